#pragma once

#include "PyxObjects.h"

// A continent's translatable texts: its language record in lang_db.dat.
struct TPyxContinentTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    std::u16string ContinentalityName;
    std::u16string FederationName;
    uint8_t FederationNameByte = 0;
    std::u16string ShortFederationName;
    uint8_t ShortFederationNameByte = 0;
    TWideStrings ExtraTexts;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

class TPyxContinent final : public TPyxTranslated<TPyxContinentTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    float RegionalStrength = 0;
    uint8_t ContinentByte = 0;
};

class TPyxContinents final : public TPyxCollection<TPyxContinent> {
public:
    TPyxContinents() : TPyxCollection("Continents") {}
    const char* ClassName() const override { return "TPyxContinents"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxContinentTexts::SkipTexts(Stream); }
    int64_t MinRecordSize() const override { return 17; }
};
