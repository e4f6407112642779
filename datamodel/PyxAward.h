#pragma once

#include "PyxColor.h"
#include "PyxDate.h"
#include "PyxYearHistories.h"

class TPyxAward;
class TPyxAwards;
class TPyxContinent;
class TPyxContinents;
class TPyxNation;
class TPyxNations;
class TPyxCompetition;
class TPyxCompetitions;
class TPyxPerson;
class TPyxPeople;

// One year's winners of an award.
class TPyxAwardHistory final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    void SetOwner(TPyxAward* Owner) { Award = Owner; }

    TPyxAward* Award = nullptr;
    int16_t Year = 0;
    TPyxPerson* Person1 = nullptr;
    TPyxPerson* Person2 = nullptr;
    TPyxPerson* Person3 = nullptr;
    uint8_t HistoryByte1 = 0, HistoryByte2 = 0, HistoryByte3 = 0;

    // Raw keys read from the file, until linking.
    int32_t AwardKey = -1;
    int32_t Person1Key = -1, Person2Key = -1, Person3Key = -1;
};

// An award's history records; the database's instance only carries them from the file to their awards.
class TPyxAwardHistories final : public TPyxYearHistories<TPyxAwardHistory> {
public:
    TPyxAwardHistories() : TPyxYearHistories("Award History") {}
    const char* ClassName() const override { return "TPyxAwardHistories"; }
    int64_t MinRecordSize() const override { return 30; }

    // Hands every record to its award; records whose award is missing are dropped. Empty afterwards.
    void ConvertIndexes(const TPyxAwards& Awards, const TPyxPeople& People);
};

struct TPyxAwardTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

class TPyxAward final : public TPyxTranslated<TPyxAwardTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;
    // A deleted person no longer appears in any of the award's histories.
    void RemovePerson(const TPyxPerson* Person);

    TPyxAwardHistories Histories;
    uint8_t Scope = 0;
    TPyxColor Colours;
    int16_t Reputation = 0;
    uint8_t AwardType = 0;
    uint8_t DateRule = 0;
    TPyxDate AwardDate;
    TPyxContinent* Continent = nullptr;
    TPyxNation* Nation = nullptr;
    uint8_t RunBy = 0;
    uint8_t Formation = 0;
    uint8_t MaxAge = 0;
    uint8_t WinnerHomeReputation = 0;
    uint8_t WinnerWorldReputation = 0;
    TPyxCompetition* Competition = nullptr;
    int16_t AwardExtra = 0; // stored from version 145

    // Raw keys read from the file, until linking.
    int32_t ContinentKey = -1, NationKey = -1, CompetitionKey = -1;
};

// The awards, whose histories a save writes as the Award Histories table (RenumberHistories, SaveHistories).
class TPyxAwards final : public TPyxHistoryOwners<TPyxAward> {
public:
    TPyxAwards() : TPyxHistoryOwners("Awards") {}
    const char* ClassName() const override { return "TPyxAwards"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxAwardTexts::SkipTexts(Stream); }
    int64_t MinRecordSize() const override { return 43; }

    void ConvertIndexes(const TPyxContinents& Continents, const TPyxNations& Nations,
                        const TPyxCompetitions& Competitions);
};
