#include "PyxStartingInjury.h"

#include "PyxInjury.h"
#include "PyxPeople.h"

void TPyxStartingInjury::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    PersonKey = Stream.ReadInt32();
    InjuryKey = Stream.ReadInt32();
    StartDate.LoadFromStream(Stream);
    EndDate.LoadFromStream(Stream);
    Extra1 = Stream.ReadByte();
    Extra2 = Stream.ReadByte();
    Extra3 = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxStartingInjury::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Person, Stream);
    WriteID(Injury, Stream);
    StartDate.SaveToStream(Stream);
    EndDate.SaveToStream(Stream);
    Stream.WriteByte(Extra1);
    Stream.WriteByte(Extra2);
    Stream.WriteByte(Extra3);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxStartingInjuries::ConvertIndexes(const TPyxPeople& People, const TPyxInjuries& Injuries) {
    HandOverAll("Converting Starting Injury Indexes", [&](std::unique_ptr<TPyxStartingInjury> S) {
        S->Person = People.FindByID(S->PersonKey);
        if (!S->Person || !S->Person->IsPlayer())
            return;
        S->Injury = Injuries.FindByID(S->InjuryKey);
        S->Person->Player->SetStartingInjury(std::move(S));
    });
}
