#pragma once

#include "PyxLanguage.h"
#include "PyxTeamContainer.h"
#include "PyxTransferInfo.h"

#include <array>

class TPyxStadium;
class TPyxStadiums;
class TPyxContinent;
class TPyxContinents;
class TPyxRegion;
class TPyxRegions;
class TPyxCity;
class TPyxCities;
struct TPyxNamePools;

// A nation's language record.
struct TPyxNationTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string ThreeLetterName;
    std::u16string NationalityName;
    TWideStrings ExtraTexts;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

using TPyxNationLang = TPyxLangOf<TPyxNationTexts>;
using TPyxNationsLang = TPyxLangObjectsOf<TPyxNationLang>;

class TPyxNation final : public TPyxTeamContainer {
public:
    TPyxNation() { TeamType = 1; }

    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    void CreateLangObjects() override { LangObjects = std::make_unique<TPyxNationsLang>(); }
    void LoadLangFromStream(TPyxFileStream& Stream) override;
    void SaveLangToStream(TPyxFileStream& Stream) const override;
    bool Matches(const std::u16string& Text) const override;
    TPyxNationLang* Lang(int32_t Index) const {
        return LangObjects ? static_cast<const TPyxNationsLang&>(*LangObjects).Items(Index) : nullptr;
    }

    void ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, const TPyxLanguages& Languages,
                        const TPyxCities& Cities, const TPyxRegions& Regions, const TPyxContinents& Continents,
                        const TPyxStadiums& Stadiums, const TPyxTeams& Teams, const TPyxClubs& Clubs, int16_t Version);
    void RemovePerson(const TPyxPerson* Person) override;
    void RemoveClub(const TPyxClub* Club) override;

    // The coefficient of the season ending in Year (1998..2003), else 0; other years are not stored.
    float GetUEFACoefficient(int Year) const;
    void SetUEFACoefficient(int Year, float Value);

    int16_t ClubCount = 0;
    int32_t PersonCount = 0;
    int32_t NationValue1 = 0;
    int16_t Reputation = 0;
    int16_t FIFARankingPoints = 0;
    int16_t NationValue2 = 0;
    TPyxStadium* NationalStadium = nullptr;
    uint8_t NationByte1 = 255;
    int32_t NationValue3 = 0;
    int16_t NationValue4 = 0;
    int32_t FirstNameStart = -1, SecondNameStart = -1, CommonNameStart = -1;
    int32_t FirstNameCount = 0, SecondNameCount = 0, CommonNameCount = 0;
    uint8_t FIFARankingPointsCount = 0;             // must be 0 in the file
    uint8_t FIFARankingCurrentYearMatchesCount = 0; // must be 0 in the file
    uint8_t UEFACoefficientCount = 6;               // must be 6 in the file
    std::array<float, 6> UEFACoefficients{};        // seasons ending 1998..2003
    int16_t HumanPlayerPoolCount = 0;               // must be 0 in the file
    std::array<uint8_t, 24> NationBlock{};
    TPyxTransferInfoList TransferInfo; // stored from version 145
    uint8_t StyleOfFootball = 0;
    uint8_t StateOfDevelopment = 0;
    uint8_t GroupMembership = 0;
    uint8_t GameImportance = 0;
    uint8_t LeagueStandard = 0;
    uint8_t NationByte2 = 0, NationByte3 = 0;
    uint8_t FIFAFullMember = 0;
    uint8_t NationByte4 = 0; // stored from version 145
    TPyxContinent* Continent = nullptr;
    TPyxRegion* Region = nullptr;
    TPyxCity* CapitalCity = nullptr;
    TPyxLanguageList Languages;
    uint8_t NationByte5 = 0;
    uint8_t NationByte6 = 0; // stored from version 147
    std::u16string ThreeLetterName;
    std::u16string NationalityName;
    TWideStrings ExtraTexts;

    // Raw keys read from the file, until linking.
    int32_t NationalStadiumKey = -1, ContinentKey = -1, RegionKey = -1, CapitalCityKey = -1;
};

class TPyxNations final : public TPyxCollection<TPyxNation> {
public:
    TPyxNations() : TPyxCollection("Nations") {}
    const char* ClassName() const override { return "TPyxNations"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxNationTexts::SkipTexts(Stream); }
    // Keeps the order; every nation's ID becomes its position.
    void Sort() override { RenumberByIndex(); }
    int64_t MinRecordSize() const override { return 149; }

    void ConvertIndexes(const TPyxPeople& People, const TPyxLanguages& Languages, const TPyxCities& Cities,
                        const TPyxRegions& Regions, const TPyxContinents& Continents, const TPyxStadiums& Stadiums,
                        const TPyxTeams& Teams, const TPyxClubs& Clubs, int16_t Version);
    // Records where each nation's names stand in the three sorted name pools.
    void RealignNames(const TPyxNamePools& Names);

private:
    // A nation is deleted with its teams and unlinked everywhere first (TPyxDatabase::DeleteNation).
    using TPyxObjects::Delete;
};
