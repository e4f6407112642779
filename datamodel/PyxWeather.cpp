#include "PyxWeather.h"

#include "PyxText.h"

void TPyxWeatherSeason::LoadFromStream(TPyxFileStream& Stream) {
    StartDay = Stream.ReadInt16();
    Stream.Read(&Wind, sizeof Wind);
    Stream.Read(&Precipitation, sizeof Precipitation);
    Stream.Read(&Temperature, sizeof Temperature);
}

void TPyxWeatherSeason::SaveToStream(TPyxFileStream& Stream) const {
    Stream.WriteInt16(StartDay);
    Stream.Write(&Wind, sizeof Wind);
    Stream.Write(&Precipitation, sizeof Precipitation);
    Stream.Write(&Temperature, sizeof Temperature);
}

static_assert(sizeof(TPyxWind) == 5 && sizeof(TPyxPrecipitation) == 5 && sizeof(TPyxTemperature) == 7,
              "the season's chances are read and written as their byte images");

void TPyxWeather::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.ReadWideString(Name);
    Wind = Stream.ReadByte();
    Precipitation = Stream.ReadByte();
    Temperature = Stream.ReadByte();
    for (TPyxWeatherSeason* S : {&Spring, &Summer, &Autumn, &Winter})
        S->LoadFromStream(Stream);
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxWeather::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteWideString(Name);
    Stream.WriteByte(Wind);
    Stream.WriteByte(Precipitation);
    Stream.WriteByte(Temperature);
    for (const TPyxWeatherSeason* S : {&Spring, &Summer, &Autumn, &Winter})
        S->SaveToStream(Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxWeather::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text);
}
