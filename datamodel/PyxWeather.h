#pragma once

#include "PyxObjects.h"

// Percentages of the wind kinds in one season.
struct TPyxWind {
    uint8_t Calm = 0, Breezy = 0, Gusty = 0, Strong = 0, Gale = 0;
};
struct TPyxPrecipitation {
    uint8_t Dry = 0, Wet = 0, Drizzle = 0, Shower = 0, DownPour = 0;
};
struct TPyxTemperature {
    uint8_t Freezing = 0, Cold = 0, Mild = 0, Fine = 0, Warm = 0, Hot = 0, VeryHot = 0;
};

// One season of a weather pattern: its first day of the year and its chances; 19 bytes on disk.
struct TPyxWeatherSeason {
    int16_t StartDay = 0;
    TPyxWind Wind;
    TPyxPrecipitation Precipitation;
    TPyxTemperature Temperature;

    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;
};

class TPyxWeather final : public TPyxObject {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    std::u16string Name;
    uint8_t Wind = 0;
    uint8_t Precipitation = 0;
    uint8_t Temperature = 0;
    TPyxWeatherSeason Spring, Summer, Autumn, Winter;
};

class TPyxWeathers final : public TPyxCollection<TPyxWeather> {
public:
    TPyxWeathers() : TPyxCollection("Weather") {}
    const char* ClassName() const override { return "TPyxWeathers"; }
    int64_t MinRecordSize() const override { return 92; }
};
