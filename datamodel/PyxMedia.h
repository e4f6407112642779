#pragma once

#include "PyxList.h"
#include "PyxObjects.h"

class TPyxClub;
class TPyxClubs;
class TPyxCities;
class TPyxCompetitions;
class TPyxContinents;
class TPyxNations;
class TPyxRegions;

using TPyxClubList = TPyxList<TPyxClub>;

struct TPyxMediaTexts {
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string LongName;
    uint8_t LongNameByte = 0;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

// A newspaper, broadcaster, website or the like: the clubs it follows and the area it covers.
class TPyxMedia final : public TPyxTranslated<TPyxMediaTexts> {
public:
    enum : uint8_t {
        scClub = 1,
        scCity = 2,
        scRegion = 3,
        scNation = 4,
        scContinent = 5,
        scWorld = 6,
        scCompetition = 7
    };

    std::u16string GetName() const override { return LongName; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    void ClearTarget(const TPyxObject* Object) {
        if (Target == Object)
            Target = nullptr;
    }
    void RemoveClub(const TPyxClub* Club);

    uint8_t MediaType = 1;
    TPyxClubList Clubs; // by UniqueID on disk
    uint8_t Period = 2;
    uint8_t Scope = scWorld;
    TPyxObject* Target = nullptr; // of the kind Scope names; by UniqueID on disk

    // Raw key read from the file, until linking.
    int32_t TargetKey = 0;
};

class TPyxMedias final : public TPyxCollection<TPyxMedia> {
public:
    TPyxMedias() : TPyxCollection("Medias") {}
    const char* ClassName() const override { return "TPyxMedias"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxMediaTexts::SkipTexts(Stream); }
    // Keeps the order; every media's ID becomes its position.
    void Sort() override { RenumberByIndex(); }
    int64_t MinRecordSize() const override { return 27; }

    void ConvertIndexes(const TPyxClubs& Clubs, const TPyxCities& Cities, const TPyxCompetitions& Competitions,
                        const TPyxContinents& Continents, const TPyxNations& Nations, const TPyxRegions& Regions);
};
