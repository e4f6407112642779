#pragma once

#include "PyxObjectList.h"
#include "PyxRecordPool.h"

class TPyxPerson;
class TPyxLanguage;
class TPyxPeople;
class TPyxLanguages;

// A language a person speaks, with its fluency.
class TPyxPersonLanguage final : public TPyxPooled<TPyxPersonLanguage> {
public:
    std::unique_ptr<TPyxPersonLanguage> Clone() const;
    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;

    TPyxPerson* Person = nullptr;
    TPyxLanguage* Language = nullptr;
    uint8_t Level = 0;

    // Raw keys read from the file, until linking.
    int32_t PersonKey = -1;
    int32_t LanguageKey = -1;
};

class TPyxPersonLanguageList final : public TPyxObjectList<TPyxPersonLanguage> {
public:
    std::unique_ptr<TPyxPersonLanguage> ReadItem(TPyxFileStream& Stream, int16_t Version) override;
    void WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const override;
    int64_t MinItemSize() const override { return 9; }

    // Hands every item read from server_db.dat to the person it names; items without a person are dropped. The
    // list is empty afterwards.
    void ConvertIndexes(const TPyxPeople& People, const TPyxLanguages& Languages);
};
