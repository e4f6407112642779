#include "PyxFutureTransfer.h"

#include "PyxPeople.h"
#include "PyxTeam.h"

void TPyxFutureTransfer::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    PersonKey = Stream.ReadInt32();
    TeamKey = Stream.ReadInt32();
    TransferDate.LoadFromStream(Stream);
    TransferFee = Stream.ReadInt32();
    FutureWage = Stream.ReadInt32();
    ContractYears = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxFutureTransfer::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Person, Stream);
    WriteID(Team, Stream);
    TransferDate.SaveToStream(Stream);
    Stream.WriteInt32(TransferFee);
    Stream.WriteInt32(FutureWage);
    Stream.WriteByte(ContractYears);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxFutureTransfers::ConvertIndexes(const TPyxPeople& People, const TPyxTeams& Teams) {
    HandOverAll("Converting Future Transfer Indexes", [&](std::unique_ptr<TPyxFutureTransfer> F) {
        F->Person = People.FindByID(F->PersonKey);
        if (!F->Person || !F->Person->IsPlayer())
            return;
        F->Team = Teams.FindByID(F->TeamKey);
        F->Person->Player->SetFutureTransfer(std::move(F));
    });
}
