#pragma once

#include "PyxObjects.h"

struct TPyxInjuryTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string SentenceName;
    uint8_t SentenceNameByte = 0;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

// One type of injury of the game's catalogue.
class TPyxInjury final : public TPyxTranslated<TPyxInjuryTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    uint8_t Category = 0;
    uint8_t Chance = 0;
    int16_t MinimumDaysOut = 0;
    int16_t ExtraDaysOut = 0;
    uint8_t InactiveRatio = 0;
    uint8_t Recurring = 0;
    uint8_t Severity = 0;
};

class TPyxInjuries final : public TPyxCollection<TPyxInjury> {
public:
    TPyxInjuries() : TPyxCollection("Injuries") {}
    const char* ClassName() const override { return "TPyxInjuries"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxInjuryTexts::SkipTexts(Stream); }
    int64_t MinRecordSize() const override { return 28; }
};
