#include "PyxPlayerType.h"

void TPyxPlayerTypeTexts::LoadTexts(TPyxFileStream& Stream) {
    TypeByte = Stream.ReadByte();
    Texts.LoadByteCounted(Stream);
}

void TPyxPlayerTypeTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteByte(TypeByte);
    Texts.SaveByteCounted(Stream);
}

void TPyxPlayerTypeTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.Skip(1);
    Stream.SkipWideStrings();
}

void TPyxPlayerType::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    TypeByte = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxPlayerType::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteByte(TypeByte);
    TPyxObject::SaveToStream(Stream, Version);
}
