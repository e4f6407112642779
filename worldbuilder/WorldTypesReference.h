#pragma once

#include "WorldTypesBasic.h"

#include <array>

namespace wb {

struct TCityText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string CitizenName;
    uint8_t CitizenByte = 0;
};

struct TCity : TRecord {
    uint8_t NameByte = 0;
    TF32 Latitude;
    TF32 Longitude;
    uint8_t Attraction = 0;
    int32_t NationID = -1;
    int32_t WeatherID = -1;
    std::u16string CitizenName;
    uint8_t CitizenByte = 0;
    int16_t Altitude = 0;
    TTexts<TCityText> Texts;
};

struct TContinentText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    std::u16string ContinentalityName;
    std::u16string FederationName;
    uint8_t FederationNameByte = 0;
    std::u16string ShortFederationName;
    uint8_t ShortFederationNameByte = 0;
    TWideStringList ExtraTexts; // written with a one-byte count
};

struct TContinent : TRecord {
    uint8_t NameByte = 0;
    uint8_t FederationNameByte = 0;
    uint8_t ShortFederationNameByte = 0;
    TF32 RegionalStrength;
    uint8_t ContinentByte = 0;
    TTexts<TContinentText> Texts;
};

// No language texts; LangFileOffset is what the game keeps of the language's block in the language file.
struct TLanguage : TRecord {
    std::u16string Name;
    uint8_t LanguageByte = 0;
    int32_t LangFileOffset = 0;
    uint8_t Influence = 0;
    uint8_t Difficulty = 0;
    int16_t Family = 0;
    int16_t Group = 0;
    int16_t SubGroup = 0;
};

// An entry of one of the three shared name pools (first, second, common names).
struct TName : TRecord {
    std::u16string Text;
    int16_t UseCount = 0;
    int32_t NationID = -1;
};

// Regions store nothing but the frame; their language record is empty.
struct TRegion : TRecord {};

struct TSponsor : TRecord {};

struct TWeatherSeason {
    int16_t StartDay = 0;
    std::array<uint8_t, 5> Wind{};          // calm, breezy, gusty, strong, gale
    std::array<uint8_t, 5> Precipitation{}; // dry, wet, drizzle, shower, downpour
    std::array<uint8_t, 7> Temperature{};   // freezing, cold, mild, fine, warm, hot, very hot
};

struct TWeather : TRecord {
    std::u16string Name;
    uint8_t Wind = 0;
    uint8_t Precipitation = 0;
    uint8_t Temperature = 0;
    std::array<TWeatherSeason, 4> Seasons{}; // spring, summer, autumn, winter
};

struct TPlayerTypeText {
    uint8_t TypeByte = 0;
    TWideStringList Texts; // written with a one-byte count
};

struct TPlayerType : TRecord {
    uint8_t TypeByte = 0;
    TTexts<TPlayerTypeText> Texts;
};

} // namespace wb
