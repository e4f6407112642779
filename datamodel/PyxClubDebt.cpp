#include "PyxClubDebt.h"

#include "PyxTeam.h"

void TPyxClubDebt::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    TeamKey = Stream.ReadInt32();
    Amount = Stream.ReadInt32();
    MonthlyPaymentsLeft = Stream.ReadInt16();
    TransferBudget = Stream.ReadInt32();
    Kind = Stream.ReadByte();
    if (Kind > 2)
        throw EFileCorruptError("Club Debts seems to be corrupt.\r\nType: " + std::to_string(Kind));
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxClubDebt::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Team, Stream);
    Stream.WriteInt32(Amount);
    Stream.WriteInt16(MonthlyPaymentsLeft);
    Stream.WriteInt32(TransferBudget);
    Stream.WriteByte(Kind);
    TPyxObject::SaveToStream(Stream, Version);
}

std::unique_ptr<TPyxClubDebt> TPyxClubDebt::Clone() const {
    auto D = std::make_unique<TPyxClubDebt>();
    D->Team = Team;
    D->Amount = Amount;
    D->MonthlyPaymentsLeft = MonthlyPaymentsLeft;
    D->TransferBudget = TransferBudget;
    D->Kind = Kind;
    return D;
}

void TPyxClubDebts::ConvertIndexes(const TPyxTeams& Teams) {
    HandOverAll("Converting Club Debt Indexes", [&](std::unique_ptr<TPyxClubDebt> D) {
        TPyxTeam* Team = D->Team = Teams.FindByID(D->TeamKey);
        if (!Team)
            return;
        if (D->Kind == 0)
            Team->SetClubDebt(std::move(D));
        else
            Team->ClubDebts.Add(std::move(D), true);
    });
}

void TPyxClubDebts::RenumberFrom(int32_t& Next, TPyxTeam* Owner) {
    // The table names a loan's team and kind only by the record's own fields: one the editor put into this list
    // without them would be dropped by the next load, or taken for the team's transfer budget.
    ForEach([&](TPyxClubDebt* D) {
        D->Team = Owner;
        if (D->Kind != 1 && D->Kind != 2)
            D->Kind = 1;
        D->ID = Next++;
    });
    RebuildIndexes();
}
