#pragma once

#include "PyxDate.h"
#include "PyxObjects.h"

class TPyxPerson;
class TPyxPeople;
class TPyxTeam;
class TPyxTeams;

// A player's loan to another team; after loading it belongs to the player.
class TPyxLoan final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    TPyxPerson* Person = nullptr;
    TPyxTeam* Team = nullptr;
    TPyxDate StartDate;
    TPyxDate EndDate;

    // Raw keys read from the file, until linking.
    int32_t PersonKey = -1, TeamKey = -1;
};

class TPyxLoans final : public TPyxCollection<TPyxLoan> {
public:
    TPyxLoans() : TPyxCollection("Loans") {}
    const char* ClassName() const override { return "TPyxLoans"; }
    int64_t MinRecordSize() const override { return 25; }
    // Hands each loan to its player (a later one replaces an earlier one); loans of no player are dropped.
    void ConvertIndexes(const TPyxPeople& People, const TPyxTeams& Teams);
};
