#include "PyxContinent.h"

#include "PyxText.h"

void TPyxContinentTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Stream.ReadWideString(ShortName);
    Stream.ReadWideString(ContinentalityName);
    Stream.ReadWideString(FederationName);
    FederationNameByte = Stream.ReadByte();
    Stream.ReadWideString(ShortFederationName);
    ShortFederationNameByte = Stream.ReadByte();
    ExtraTexts.LoadByteCounted(Stream);
}

void TPyxContinentTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteWideString(ShortName);
    Stream.WriteWideString(ContinentalityName);
    Stream.WriteWideString(FederationName);
    Stream.WriteByte(FederationNameByte);
    Stream.WriteWideString(ShortFederationName);
    Stream.WriteByte(ShortFederationNameByte);
    ExtraTexts.SaveByteCounted(Stream);
}

void TPyxContinentTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.SkipWideString();
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideStrings();
}

void TPyxContinent::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    NameByte = Stream.ReadByte();
    FederationNameByte = Stream.ReadByte();
    ShortFederationNameByte = Stream.ReadByte();
    RegionalStrength = Stream.ReadSingle();
    ContinentByte = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxContinent::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteByte(NameByte);
    Stream.WriteByte(FederationNameByte);
    Stream.WriteByte(ShortFederationNameByte);
    Stream.WriteSingle(RegionalStrength);
    Stream.WriteByte(ContinentByte);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxContinent::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text) || AnsiContainsText(ShortName, Text) ||
           AnsiContainsText(ContinentalityName, Text) || AnsiContainsText(FederationName, Text) ||
           AnsiContainsText(ShortFederationName, Text);
}
