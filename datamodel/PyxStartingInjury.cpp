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

std::unique_ptr<TPyxObject> TPyxStartingInjuries::CreateEntity(uint8_t RecordType) {
    if (RecordType != 0)
        RaiseRecordType("Starting Injuries", RecordType);
    return std::make_unique<TPyxStartingInjury>();
}

void TPyxStartingInjuries::ConvertIndexes(const TPyxPeople& People, const TPyxInjuries& Injuries) {
    DoStatus("Converting Starting Injury Indexes");
    auto Loaded = ReleaseAll();
    const int64_t Total = static_cast<int64_t>(Loaded.size());
    for (int64_t I = 0; I < Total; ++I) {
        std::unique_ptr<TPyxStartingInjury> S(
            static_cast<TPyxStartingInjury*>(Loaded[static_cast<size_t>(I)].release()));
        S->Person = People.FindByID(S->PersonKey);
        if (S->Person && S->Person->IsPlayer()) {
            S->Injury = Injuries.FindByID(S->InjuryKey);
            S->Person->Player->SetStartingInjury(std::move(S));
        }
        DoProgress(I, Total);
    }
}
