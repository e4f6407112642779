#pragma once

#include "PyxColor.h"
#include "PyxYearHistories.h"

class TPyxCompetition;
class TPyxCompetitions;
class TPyxContinent;
class TPyxContinents;
class TPyxNation;
class TPyxNations;
class TPyxTeam;
class TPyxTeams;

// One year's final placings of a competition, and its hosts.
class TPyxCompetitionHistory final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    // An unowned copy with ID and UniqueID 0, for editing a copy of the list.
    std::unique_ptr<TPyxCompetitionHistory> Clone() const;
    void SetOwner(TPyxCompetition* Owner) { Competition = Owner; }

    TPyxCompetition* Competition = nullptr;
    int16_t Year = 0;
    TPyxTeam* FirstPlaced = nullptr;
    TPyxTeam* SecondPlaced = nullptr;
    TPyxTeam* ThirdPlaced = nullptr;
    TPyxTeam* Hosts = nullptr;

    // Raw keys read from the file, until linking.
    int32_t CompetitionKey = -1;
    int32_t FirstPlacedKey = -1, SecondPlacedKey = -1, ThirdPlacedKey = -1, HostsKey = -1;
};

class TPyxCompetitionHistories final : public TPyxYearHistories<TPyxCompetitionHistory> {
public:
    TPyxCompetitionHistories() : TPyxYearHistories("Competition History") {}
    const char* ClassName() const override { return "TPyxCompetitionHistories"; }
    int64_t MinRecordSize() const override { return 31; }

    // Hands every record to its competition; records whose competition is missing are dropped. Empty afterwards.
    void ConvertIndexes(const TPyxCompetitions& Competitions, const TPyxTeams& Teams);
};

struct TPyxCompetitionTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string ThreeLetterName;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

class TPyxCompetition final : public TPyxTranslated<TPyxCompetitionTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;
    // A deleted team no longer appears in any of the competition's histories.
    void RemoveTeam(const TPyxTeam* Team);

    uint8_t ThreeLetterNameByte = 0;
    TPyxColor Colours;
    int16_t Reputation = 0;
    uint8_t NameType = 0; // must be 0 in the file
    uint8_t Level = 0;
    TPyxContinent* Continent = nullptr;
    TPyxNation* Nation = nullptr;
    int32_t CompetitionValue1 = 0, CompetitionValue2 = 0, CompetitionValue3 = 0;
    uint8_t UsesSquadNumbers = 0;
    TPyxCompetitionHistories Histories;

    // Raw keys read from the file, until linking.
    int32_t ContinentKey = -1, NationKey = -1;
};

// The competitions, whose histories a save writes as the Competition Histories table (RenumberHistories,
// SaveHistories).
class TPyxCompetitions final : public TPyxHistoryOwners<TPyxCompetition> {
public:
    TPyxCompetitions() : TPyxHistoryOwners("Competitions") {}
    const char* ClassName() const override { return "TPyxCompetitions"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxCompetitionTexts::SkipTexts(Stream); }
    int64_t MinRecordSize() const override { return 43; }

    void ConvertIndexes(const TPyxContinents& Continents, const TPyxNations& Nations);
};
