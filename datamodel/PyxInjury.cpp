#include "PyxInjury.h"

#include "PyxText.h"

void TPyxInjuryTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Stream.ReadWideString(SentenceName);
    SentenceNameByte = Stream.ReadByte();
}

void TPyxInjuryTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteWideString(SentenceName);
    Stream.WriteByte(SentenceNameByte);
}

void TPyxInjuryTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.Skip(1);
}

void TPyxInjury::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Category = Stream.ReadByte();
    Stream.ReadWideString(SentenceName);
    SentenceNameByte = Stream.ReadByte();
    Chance = Stream.ReadByte();
    MinimumDaysOut = Stream.ReadInt16();
    ExtraDaysOut = Stream.ReadInt16();
    InactiveRatio = Stream.ReadByte();
    Recurring = Stream.ReadByte();
    Severity = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxInjury::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteByte(Category);
    Stream.WriteWideString(SentenceName);
    Stream.WriteByte(SentenceNameByte);
    Stream.WriteByte(Chance);
    Stream.WriteInt16(MinimumDaysOut);
    Stream.WriteInt16(ExtraDaysOut);
    Stream.WriteByte(InactiveRatio);
    Stream.WriteByte(Recurring);
    Stream.WriteByte(Severity);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxInjury::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text) || AnsiContainsText(SentenceName, Text);
}
