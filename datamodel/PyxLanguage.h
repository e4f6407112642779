#pragma once

#include "PyxList.h"
#include "PyxObjects.h"

// A language of the game world. Languages have no texts in lang_db.dat; the languages of its directory are found
// here by UniqueID.
class TPyxLanguage final : public TPyxObject {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    std::u16string Name;
    uint8_t LanguageByte = 0;
    // Replaced on load by the language's block offset in lang_db.dat's directory.
    int32_t LangFileOffset = 0;
    uint8_t Influence = 0;
    uint8_t Difficulty = 0;
    int16_t Family = 0;
    int16_t Group = 0;
    int16_t SubGroup = 0;
};

class TPyxLanguages final : public TPyxCollection<TPyxLanguage> {
public:
    TPyxLanguages() : TPyxCollection("Languages") {}
    const char* ClassName() const override { return "TPyxLanguages"; }
    int64_t MinRecordSize() const override { return 26; }
};

using TPyxLanguageList = TPyxList<TPyxLanguage>;
