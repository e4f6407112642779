#pragma once

#include "SampleRandom.h"
#include "World.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

struct TContinentSeed;

// A club's or nation's record holders (a type-9 transfer info), holders by UniqueID (0 none).
TTransferInfo TeamRecords(int32_t Holder1, int16_t Value1, int32_t Holder2, int16_t Value2,
                          std::array<std::u16string, 4> Texts);

struct TCompetitionNames {
    std::u16string Name, Short, Three;
};

struct TAwardFacts {
    int32_t ID = 0;
    std::u16string Name, Short;
    uint8_t Type = 0;
    int32_t Continent = -1, Nation = -1, Competition = -1; // a nation's award has scope 1, the others 2
    uint8_t MaxAge = 0;
    int LastYear = 2003; // of the award date, drawn from 2003
};

// What the sample world's builder and the world generator share: the random stream, the world under construction,
// texts per language and the records both make alike. A seed's bytes depend on the order of the draws: every
// helper draws in the order of the fields it sets, and a function a builder passes in draws at its turn.
class TBuilderBase {
public:
    TBuilderBase(const TBuilderBase&) = delete;
    TBuilderBase& operator=(const TBuilderBase&) = delete;

protected:
    explicit TBuilderBase(uint64_t Seed) : Random_(Seed) {}
    virtual ~TBuilderBase() = default;

    // Each builder hands out UniqueIDs its own way; a helper takes the next one where its record is made.
    virtual int32_t NextUniqueID() = 0;

    // The stages both builders run once the people stand, in this order, which their UniqueIDs and draws follow.
    void AddRecordsAfterPeople();
    virtual void AddRelationships() = 0;
    virtual void AddClubAndNationLinks() = 0;
    virtual void AddAwards() = 0;
    virtual void AddAwardHistories() = 0;
    virtual void AddCompetitionHistories() = 0;
    virtual void AddMedia() = 0;
    virtual void AddStadiumMoves() = 0;
    virtual void AddClubDebts() = 0;
    virtual void AddAttachedRecords() = 0;
    virtual void AddPlayingHistories() = 0;
    // Each nation's persons and clubs, as the game counts them.
    void CountNationMembers();

    // Base in Language: unchanged in the default language, tagged in the others (BuilderBase.cpp).
    std::u16string Tr(std::u16string_view Base, int32_t Language) const;
    template <class TText, class TMake> TTexts<TText> Translate(TMake Make) const {
        TTexts<TText> Texts;
        for (int32_t Language : World_.LangDirectory)
            Texts[Language] = Make(Language);
        return Texts;
    }
    TDate RandomDate(int FirstYear, int LastYear);
    TColor RandomKit();
    int32_t PickOf(const std::vector<int32_t>& Items); // -1 for none
    // A new record at the end of Table, with its position as ID and the next UniqueID.
    template <class T> T& AddRecord(std::vector<T>& Table) {
        T& Record = Table.emplace_back();
        Record.ID = static_cast<int32_t>(Table.size() - 1);
        Record.UniqueID = NextUniqueID();
        return Record;
    }

    // Reference kinds from the tables of BuilderSeeds.h (BuilderReference.cpp). IDs are positions unless given.
    // The languages are the table's first Known; the directory holds English at DefaultPosition among the next
    // DirectoryCount - 1 languages of the table.
    void AddLanguages(std::size_t Known, int DirectoryCount, int DefaultPosition);
    void AddContinent(const TContinentSeed& Seed, float RegionalStrength,
                      const std::vector<std::u16string>& ExtraTexts);
    void AddRegions(int Count);
    void AddSponsors(int Count); // IDs from 1
    TWeather& AddWeather(std::size_t Climate);
    void AddPlayerType(int32_t ID, std::size_t Seed);
    void AddStage(int32_t ID, std::size_t Seed);
    void AddInjury(int32_t ID, std::size_t Seed, uint8_t InactiveRatio);

    // Places (BuilderPlaces.cpp). Where the builders differ in one field amid shared draws, a function gives that
    // field at its turn. Figures: value 1, the reputation, ranking points, values 2 to 4.
    void DrawNationFigures(TNation& Nation, const std::function<int16_t()>& Reputation);
    // Coefficients (European nations), the nation block, style of football to byte 3, membership, bytes 4 to 6.
    void DrawNationCharacter(TNation& Nation, const std::function<uint8_t()>& FIFAFullMember);
    TTexts<TNationText> NationTexts(const std::u16string& Name, bool Association) const;
    // Decay, used capacity (all of it), pitch, the state and the bytes beside it.
    void DrawGround(TStadium& Stadium, const std::function<uint8_t()>& State);

    // Clubs, teams and what belongs to them (BuilderClubs.cpp). Competitions: squad numbers up to level 2.
    TCompetition& AddCompetitionRecord(int32_t ID, const TCompetitionNames& Names, int32_t Continent, int32_t Nation,
                                       uint8_t Level, const std::function<int16_t()>& Reputation);
    // A club with nothing but its names; main clubs go on from here, companion clubs and national teams' clubs
    // stay so.
    TClub& AddClubRecord(const std::u16string& Name, const std::u16string& ShortName, int32_t Nation);
    void DescribeClub(TClub& Club, const std::u16string& History, const std::u16string& Nickname1,
                      const std::u16string& Nickname2) const;
    // A team of Container (a nation when IsNation) that shares SharesWithClub's UniqueID, filed with its owner:
    // kind 11's dates and bytes, the last position, what Between draws, then match day, seeding and the rest.
    TTeam& AddTeamRecord(uint8_t Kind, int32_t Container, bool IsNation, int32_t SharesWithClub, uint8_t SquadType,
                         const std::function<void(TTeam&)>& Between = {});
    TTransferInfo NextSale(const TPerson& Person, int32_t Club, uint8_t Percent) const;
    void AddAwardRecord(const TAwardFacts& Facts);
    void AddMediaRecord(const std::u16string& Long, const std::u16string& Short, uint8_t Type, uint8_t Period,
                        uint8_t Scope, int32_t Target, std::vector<int32_t> ClubUniqueIDs);
    void AddClubDebt(int32_t Team, uint8_t Kind, int32_t Amount, int16_t Months, int32_t Budget);
    void AddCompetitionHistory(int32_t Competition, int16_t Year, const std::array<int32_t, 3>& Placed,
                               const std::function<int32_t()>& Hosts);

    // People and what refers to them (BuilderPeople.cpp). Names' IDs are provisional until the pools are sorted.
    int32_t AddName(std::vector<TName>& Pool, std::u16string Text, int16_t UseCount, int32_t Nation);
    void AddPlayingData(TPerson& Person, const std::function<void(TPlayingData&)>& DrawAttributes);
    void AddNonPlayingData(TPerson& Person);
    void AddPersonData(TPerson& Person);
    void DrawRefereeing(TOfficialBlock& Official); // allowing flow to timekeeping
    void FillContract(TContract& Contract);
    void AddClubContracts(TPerson& Person, int32_t Team, uint8_t Job, int32_t CoOwnerClub);
    void FileIntoTeam(int32_t Team, uint8_t Job, int32_t Person);
    void AddStartingInjury(int32_t Person, const std::function<int32_t()>& Injury, int16_t EarliestEnd);
    void AddStartingConfidence(int32_t Person);
    TAwardHistory& AddAwardHistory(int32_t Award, int16_t Year, const std::function<std::array<int32_t, 3>()>& Winners);

    TSampleRandom Random_;
    TWorld World_;
};

} // namespace wb
