#pragma once

#include "BuilderBase.h"
#include "SampleWorld.h"

#include <string>
#include <string_view>

namespace wb {

// Builds SampleWorld step by step. Places and reference kinds come first, then competitions, clubs and teams, then
// the people, whose posts fill the teams' lists, and last what refers to people. Texts are set per language only;
// SyncServerTexts copies the default language into the server records at the end.
class TSampleBuilder final : TBuilderBase {
public:
    explicit TSampleBuilder(const TSampleOptions& Options);
    TWorld Build();

    // Positions of the fixed clubs and teams (their IDs, as IDs of these kinds are positions).
    enum EClub : int32_t {
        Northport,
        Eastbridge,
        Westfield,
        NorthportReserves,
        WestfieldU21,
        NationClub0,
        NationClub1,
        NationClub3,
        ClubCount
    };
    enum ETeam : int32_t {
        TeamNorthport,
        TeamNorthportReserves,
        TeamEastbridge,
        TeamWestfield,
        TeamWestfieldU21,
        TeamNation0,
        TeamNation1,
        TeamNation3,
        TeamCount
    };

private:
    struct TPlan {
        uint8_t Type = 2;
        int32_t Nation = -1;
        int32_t ClubTeam = -1;
        uint8_t ClubJob = 0;
        int32_t NationalTeam = -1;
        uint8_t NationalJob = 0;
        int32_t CoOwnerClub = -1;
    };

    // SampleWorld.cpp
    int32_t NextUniqueID() override;
    void Finish();

    // SamplePlaces.cpp
    void AddLanguages();
    void AddContinents();
    void AddRegionsSponsorsWeather();
    void AddPlayerTypesStagesInjuries();
    void AddNations();
    void AddCities();
    void AddStadiums();

    // SampleClubs.cpp
    void AddCompetitions();
    void AddClubs();
    void AddTeams();
    void AddAwards() override;
    void AddMedia() override;
    void AddStadiumMoves() override;
    void AddClubDebts() override;
    void AddCompetitionHistories() override;
    void AddClubAndNationLinks() override;

    // SamplePeople.cpp
    void PlanPeople();
    void AddPeople();
    void AddPerson(std::size_t K);
    void AddNames(TPerson& Person, std::size_t K);
    void AddContracts(TPerson& Person, const TPlan& Plan);
    void AddRelationships() override;
    void FileIntoTeams();
    void AddAttachedRecords() override;
    void AddAwardHistories() override;
    void AddPlayingHistories() override;
    int32_t PersonID(std::size_t K) const { return World_.People.at(K).ID; }
    int32_t PersonUniqueID(std::size_t K) const { return World_.People.at(K).UniqueID; }

    TSampleOptions Options_;
    uint64_t NextUniqueID_ = 0;
    int UniqueIDBits_ = 20;
    uint64_t UniqueIDMultiplier_ = 1;
    uint64_t UniqueIDOffset_ = 0;
    std::vector<TPlan> Plans_;
};

} // namespace wb
