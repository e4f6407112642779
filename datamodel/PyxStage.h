#pragma once

#include "PyxObjects.h"

// A stage's texts: the same six fields in server_db.dat and in each language record.
struct TPyxStageTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string PluralName;
    uint8_t PluralNameByte = 0;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

// A named phase of a competition.
class TPyxStage final : public TPyxTranslated<TPyxStageTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;
};

class TPyxStages final : public TPyxCollection<TPyxStage> {
public:
    TPyxStages() : TPyxCollection("Stages") {}
    const char* ClassName() const override { return "TPyxStages"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxStageTexts::SkipTexts(Stream); }
    int64_t MinRecordSize() const override { return 24; }
};
