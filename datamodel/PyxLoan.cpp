#include "PyxLoan.h"

#include "PyxPeople.h"
#include "PyxTeam.h"

void TPyxLoan::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    PersonKey = Stream.ReadInt32();
    TeamKey = Stream.ReadInt32();
    StartDate.LoadFromStream(Stream);
    EndDate.LoadFromStream(Stream);
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxLoan::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Person, Stream);
    WriteID(Team, Stream);
    StartDate.SaveToStream(Stream);
    EndDate.SaveToStream(Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxLoans::ConvertIndexes(const TPyxPeople& People, const TPyxTeams& Teams) {
    HandOverAll("Converting Loan Indexes", [&](std::unique_ptr<TPyxLoan> L) {
        L->Person = People.FindByID(L->PersonKey);
        if (!L->Person || !L->Person->IsPlayer())
            return;
        L->Team = Teams.FindByID(L->TeamKey);
        L->Person->Player->SetLoan(std::move(L));
    });
}
