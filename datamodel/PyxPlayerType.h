#pragma once

#include "PyxObjects.h"

// A player type's language record: its type byte and a list of texts.
struct TPyxPlayerTypeTexts {
    uint8_t TypeByte = 0;
    TWideStrings Texts;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

// Player types have no editor frame: they are loaded and written back unchanged.
class TPyxPlayerType final : public TPyxTranslated<TPyxPlayerTypeTexts> {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
};

class TPyxPlayerTypes final : public TPyxCollection<TPyxPlayerType> {
public:
    TPyxPlayerTypes() : TPyxCollection("Player Types") {}
    const char* ClassName() const override { return "TPyxPlayerTypes"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxPlayerTypeTexts::SkipTexts(Stream); }
    int64_t MinRecordSize() const override { return 10; }
};
