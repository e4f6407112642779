#include "PyxStartingConfidence.h"

#include "PyxPeople.h"

void TPyxStartingConfidence::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    PersonKey = Stream.ReadInt32();
    BoardConfidence = Stream.ReadInt16();
    FanConfidence = Stream.ReadInt16();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxStartingConfidence::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Person, Stream);
    Stream.WriteInt16(BoardConfidence);
    Stream.WriteInt16(FanConfidence);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxStartingConfidences::ConvertIndexes(const TPyxPeople& People) {
    HandOverAll("Converting Starting Confidence Indexes", [&](std::unique_ptr<TPyxStartingConfidence> S) {
        S->Person = People.FindByID(S->PersonKey);
        if (S->Person && S->Person->IsNonPlayer())
            S->Person->NonPlayer->SetStartingConfidence(std::move(S));
    });
}
