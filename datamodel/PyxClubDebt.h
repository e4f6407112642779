#pragma once

#include "PyxObjects.h"

class TPyxTeam;
class TPyxTeams;

// One entry of a team's finances: its transfer budget (kind 0) or a loan from the bank (1) or the chairman (2).
class TPyxClubDebt final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    // A copy with ID and UniqueID 0, for editing.
    std::unique_ptr<TPyxClubDebt> Clone() const;

    TPyxTeam* Team = nullptr;
    int32_t Amount = 0;
    int16_t MonthlyPaymentsLeft = 0;
    int32_t TransferBudget = 0;
    uint8_t Kind = 0;

    // Raw key read from the file, until linking.
    int32_t TeamKey = -1;
};

// The database's load-time table of club debts, and each team's list of its loans.
class TPyxClubDebts final : public TPyxCollection<TPyxClubDebt> {
public:
    TPyxClubDebts() : TPyxCollection("Club Debts") {}
    const char* ClassName() const override { return "TPyxClubDebts"; }
    int64_t MinRecordSize() const override { return 24; }
    // Hands each debt to its team: loans to its list, the transfer budget as its single entry. Empty afterwards.
    void ConvertIndexes(const TPyxTeams& Teams);
    // Numbers a team's loans in list order from Next on, each stamped as Owner's loan.
    void RenumberFrom(int32_t& Next, TPyxTeam* Owner);
};
