#pragma once

#include "PyxDate.h"
#include "PyxObjects.h"

class TPyxTeam;
class TPyxTeams;
class TPyxStadium;
class TPyxStadiums;

// A team's planned move to a new ground (kind 1) or a capacity change of its ground (kind 2). After loading it
// belongs to its team, which writes it back.
class TPyxStadiumMove final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    TPyxTeam* Team = nullptr;
    TPyxStadium* Stadium = nullptr;
    TPyxStadium* NewStadium = nullptr;
    TPyxDate LeaveDate;
    TPyxDate StartDate;
    int32_t NewCapacity = 0;
    uint8_t Kind = 0;
    TPyxStadium* AlternativeStadium = nullptr;

    // Raw keys read from the file, until linking.
    int32_t TeamKey = -1, StadiumKey = -1, NewStadiumKey = -1, AlternativeStadiumKey = -1;
};

class TPyxStadiumMoves final : public TPyxCollection<TPyxStadiumMove> {
public:
    TPyxStadiumMoves() : TPyxCollection("Stadium Moves") {}
    const char* ClassName() const override { return "TPyxStadiumMoves"; }
    int64_t MinRecordSize() const override { return 38; }

    // Hands every move to its team (a later move of one kind replaces an earlier one); moves whose team is
    // missing are dropped. Empty afterwards.
    void ConvertIndexes(const TPyxTeams& Teams, const TPyxStadiums& Stadiums);
};
