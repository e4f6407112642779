#include "PyxStage.h"

#include "PyxText.h"

void TPyxStageTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Stream.ReadWideString(ShortName);
    ShortNameByte = Stream.ReadByte();
    Stream.ReadWideString(PluralName);
    PluralNameByte = Stream.ReadByte();
}

void TPyxStageTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteWideString(ShortName);
    Stream.WriteByte(ShortNameByte);
    Stream.WriteWideString(PluralName);
    Stream.WriteByte(PluralNameByte);
}

void TPyxStageTexts::SkipTexts(TPyxFileStream& Stream) {
    for (int I = 0; I < 3; ++I) {
        Stream.SkipWideString();
        Stream.Skip(1);
    }
}

void TPyxStage::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    LoadTexts(Stream);
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxStage::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    SaveTexts(Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxStage::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text) || AnsiContainsText(ShortName, Text) || AnsiContainsText(PluralName, Text);
}
