#pragma once

#include "PyxObjects.h"

class TPyxNation;
class TPyxWeather;

// A city's translatable texts: its language record in lang_db.dat.
struct TPyxCityTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string CitizenName;
    uint8_t CitizenByte = 0;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

class TPyxCity final : public TPyxTranslated<TPyxCityTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    float Latitude = 0;
    float Longitude = 0;
    uint8_t Attraction = 0;
    TPyxNation* Nation = nullptr;
    TPyxWeather* Weather = nullptr;
    int16_t Altitude = 0;

    // Raw keys read from the file, until linking.
    int32_t NationKey = -1;
    int32_t WeatherKey = -1;
};

class TPyxNations;
class TPyxWeathers;

class TPyxCities final : public TPyxCollection<TPyxCity> {
public:
    TPyxCities() : TPyxCollection("Cities") {}
    const char* ClassName() const override { return "TPyxCities"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxCityTexts::SkipTexts(Stream); }
    // Keeps the order; every city's ID becomes its position.
    void Sort() override { RenumberByIndex(); }
    int64_t MinRecordSize() const override { return 34; }

    void ConvertIndexes(const TPyxNations& Nations, const TPyxWeathers& Weathers);
};
