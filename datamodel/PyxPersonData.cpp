#include "PyxPersonData.h"

static_assert(sizeof(TPyxPersonDataFields) == 8 && sizeof(TPyxPlayingDataFields) == 65 &&
                  sizeof(TPyxNonPlayingDataFields) == 28,
              "the attribute records are read and written as the byte images of these structs");

void TPyxPersonData::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.Read(static_cast<TPyxPersonDataFields*>(this), sizeof(TPyxPersonDataFields));
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxPersonData::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.Write(static_cast<const TPyxPersonDataFields*>(this), sizeof(TPyxPersonDataFields));
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxPlayingData::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.Read(static_cast<TPyxPlayingDataFields*>(this), sizeof(TPyxPlayingDataFields));
    if (Version > 144)
        ExtraByte = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxPlayingData::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.Write(static_cast<const TPyxPlayingDataFields*>(this), sizeof(TPyxPlayingDataFields));
    if (Version > 144)
        Stream.WriteByte(ExtraByte);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxNonPlayingData::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.Read(static_cast<TPyxNonPlayingDataFields*>(this), sizeof(TPyxNonPlayingDataFields));
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxNonPlayingData::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.Write(static_cast<const TPyxNonPlayingDataFields*>(this), sizeof(TPyxNonPlayingDataFields));
    TPyxObject::SaveToStream(Stream, Version);
}
