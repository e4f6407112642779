#include "Records.h"

namespace wb {

void WriteTail(TBytes& Out, const TRecord& Record) {
    Out.I32(Record.ID);
    Out.I32(Record.UniqueID);
}

void WriteDate(TBytes& Out, const TDate& Date) {
    Out.I16(Date.Day);
    Out.I16(Date.Year);
}

void WriteColor(TBytes& Out, const TColor& Color) {
    Out.I16(Color.Minor);
    Out.I16(Color.Major);
    Out.I16(Color.Trim);
}

void WriteWideStringList(TBytes& Out, const TWideStringList& Texts) {
    Out.U8(static_cast<uint8_t>(Texts.size()));
    for (const auto& Text : Texts)
        Out.WStr(Text);
}

void WriteIDList8(TBytes& Out, const std::vector<int32_t>& Keys) {
    Out.U8(static_cast<uint8_t>(Keys.size()));
    for (int32_t Key : Keys)
        Out.I32(Key);
}

void WriteIDList16(TBytes& Out, const std::vector<int32_t>& Keys) {
    Out.U16(static_cast<uint16_t>(Keys.size()));
    for (int32_t Key : Keys)
        Out.I32(Key);
}

void WriteRecord(TBytes& Out, const TCity& City, int16_t) {
    Out.U8(City.RecordType);
    Out.U8(City.NameByte);
    Out.F32Bits(City.Latitude.Bits);
    Out.F32Bits(City.Longitude.Bits);
    Out.U8(City.Attraction);
    Out.I32(City.NationID);
    Out.I32(City.WeatherID);
    Out.WStr(City.CitizenName);
    Out.U8(City.CitizenByte);
    Out.I16(City.Altitude);
    WriteTail(Out, City);
}

void WriteRecord(TBytes& Out, const TContinent& Continent, int16_t) {
    Out.U8(Continent.RecordType);
    Out.U8(Continent.NameByte);
    Out.U8(Continent.FederationNameByte);
    Out.U8(Continent.ShortFederationNameByte);
    Out.F32Bits(Continent.RegionalStrength.Bits);
    Out.U8(Continent.ContinentByte);
    WriteTail(Out, Continent);
}

void WriteRecord(TBytes& Out, const TLanguage& Language, int16_t) {
    Out.U8(Language.RecordType);
    Out.WStr(Language.Name);
    Out.U8(Language.LanguageByte);
    Out.I32(Language.LangFileOffset);
    Out.U8(Language.Influence);
    Out.U8(Language.Difficulty);
    Out.I16(Language.Family);
    Out.I16(Language.Group);
    Out.I16(Language.SubGroup);
    WriteTail(Out, Language);
}

void WriteRecord(TBytes& Out, const TName& Name, int16_t) {
    Out.U8(Name.RecordType);
    Out.WStr(Name.Text);
    Out.I16(Name.UseCount);
    Out.I32(Name.NationID);
    WriteTail(Out, Name);
}

void WriteRecord(TBytes& Out, const TRegion& Region, int16_t) {
    Out.U8(Region.RecordType);
    WriteTail(Out, Region);
}

void WriteRecord(TBytes& Out, const TSponsor& Sponsor, int16_t) {
    Out.U8(Sponsor.RecordType);
    WriteTail(Out, Sponsor);
}

static void WriteSeason(TBytes& Out, const TWeatherSeason& Season) {
    Out.I16(Season.StartDay);
    Out.Raw(Season.Wind);
    Out.Raw(Season.Precipitation);
    Out.Raw(Season.Temperature);
}

void WriteRecord(TBytes& Out, const TWeather& Weather, int16_t) {
    Out.U8(Weather.RecordType);
    Out.WStr(Weather.Name);
    Out.U8(Weather.Wind);
    Out.U8(Weather.Precipitation);
    Out.U8(Weather.Temperature);
    for (const auto& Season : Weather.Seasons)
        WriteSeason(Out, Season);
    WriteTail(Out, Weather);
}

void WriteRecord(TBytes& Out, const TPlayerType& PlayerType, int16_t) {
    Out.U8(PlayerType.RecordType);
    Out.U8(PlayerType.TypeByte);
    WriteTail(Out, PlayerType);
}

void WriteLangRecord(TBytes& Out, const TCityText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.CitizenName);
    Out.U8(Text.CitizenByte);
}

void WriteLangRecord(TBytes& Out, const TContinentText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.ShortName);
    Out.WStr(Text.ContinentalityName);
    Out.WStr(Text.FederationName);
    Out.U8(Text.FederationNameByte);
    Out.WStr(Text.ShortFederationName);
    Out.U8(Text.ShortFederationNameByte);
    WriteWideStringList(Out, Text.ExtraTexts);
}

void WriteLangRecord(TBytes& Out, const TPlayerTypeText& Text) {
    Out.U8(Text.TypeByte);
    WriteWideStringList(Out, Text.Texts);
}

} // namespace wb
