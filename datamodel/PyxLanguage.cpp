#include "PyxLanguage.h"

#include "PyxText.h"

void TPyxLanguage::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.ReadWideString(Name);
    LanguageByte = Stream.ReadByte();
    LangFileOffset = Stream.ReadInt32();
    Influence = Stream.ReadByte();
    Difficulty = Stream.ReadByte();
    Family = Stream.ReadInt16();
    Group = Stream.ReadInt16();
    SubGroup = Stream.ReadInt16();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxLanguage::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteWideString(Name);
    Stream.WriteByte(LanguageByte);
    Stream.WriteInt32(LangFileOffset);
    Stream.WriteByte(Influence);
    Stream.WriteByte(Difficulty);
    Stream.WriteInt16(Family);
    Stream.WriteInt16(Group);
    Stream.WriteInt16(SubGroup);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxLanguage::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text);
}
