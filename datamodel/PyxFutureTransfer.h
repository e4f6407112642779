#pragma once

#include "PyxDate.h"
#include "PyxObjects.h"

class TPyxPerson;
class TPyxPeople;
class TPyxTeam;
class TPyxTeams;

// A player's agreed transfer to another team; after loading it belongs to the player.
class TPyxFutureTransfer final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    TPyxPerson* Person = nullptr;
    TPyxTeam* Team = nullptr;
    TPyxDate TransferDate;
    int32_t TransferFee = 0;
    int32_t FutureWage = 0;
    uint8_t ContractYears = 0;

    // Raw keys read from the file, until linking.
    int32_t PersonKey = -1, TeamKey = -1;
};

class TPyxFutureTransfers final : public TPyxCollection<TPyxFutureTransfer> {
public:
    TPyxFutureTransfers() : TPyxCollection("Future Transfers") {}
    const char* ClassName() const override { return "TPyxFutureTransfers"; }
    int64_t MinRecordSize() const override { return 30; }
    void ConvertIndexes(const TPyxPeople& People, const TPyxTeams& Teams);
};
