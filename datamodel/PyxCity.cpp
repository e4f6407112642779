#include "PyxCity.h"

#include "PyxNation.h"
#include "PyxText.h"
#include "PyxWeather.h"

void TPyxCityTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Stream.ReadWideString(CitizenName);
    CitizenByte = Stream.ReadByte();
}

void TPyxCityTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteWideString(CitizenName);
    Stream.WriteByte(CitizenByte);
}

void TPyxCityTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.Skip(1);
}

void TPyxCity::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    NameByte = Stream.ReadByte();
    Latitude = Stream.ReadSingle();
    Longitude = Stream.ReadSingle();
    Attraction = Stream.ReadByte();
    NationKey = Stream.ReadInt32();
    WeatherKey = Stream.ReadInt32();
    Stream.ReadWideString(CitizenName);
    CitizenByte = Stream.ReadByte();
    Altitude = Stream.ReadInt16();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxCity::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteByte(NameByte);
    Stream.WriteSingle(Latitude);
    Stream.WriteSingle(Longitude);
    Stream.WriteByte(Attraction);
    WriteID(Nation, Stream);
    WriteID(Weather, Stream);
    Stream.WriteWideString(CitizenName);
    Stream.WriteByte(CitizenByte);
    Stream.WriteInt16(Altitude);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxCity::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text);
}

void TPyxCities::ConvertIndexes(const TPyxNations& Nations, const TPyxWeathers& Weathers) {
    LinkEach("Converting City Indexes", [&](TPyxCity* C) {
        C->Nation = Nations.FindByID(C->NationKey);
        C->Weather = Weathers.FindByID(C->WeatherKey);
    });
}
