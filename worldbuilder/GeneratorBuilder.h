#pragma once

#include "BuilderBase.h"
#include "NameMaker.h"
#include "WorldGenerator.h"

#include <string>
#include <string_view>
#include <vector>

namespace wb {

// Builds GenerateWorld's world in stages: places and reference kinds, then competitions, clubs and teams, then
// the people and their posts, then what refers to people, and last the save order. Every table's IDs are list
// positions; UniqueIDs come from one rising counter, so they are distinct across all kinds.
class TWorldGenerator final : TBuilderBase {
public:
    explicit TWorldGenerator(const TGeneratorOptions& Options);
    TWorld Build();

private:
    struct TNationPlan {
        int PeopleCount = 0;
        int ClubCount = 0; // main clubs, about one per fifteen persons and at least one
        int Style = 0;
        std::vector<int32_t> Clubs;   // main clubs, strongest first
        std::vector<int32_t> Cities;  // the capital first
        std::vector<int32_t> Leagues; // top division first
        int32_t Cup = -1;
        int32_t Team = -1;                // the national team
        int32_t U21Team = -1;             // -1 for the smaller nations
        std::vector<std::size_t> Players; // people indices, in person order
        std::vector<std::size_t> Staff;
    };
    struct TClubPlan {
        int32_t Nation = -1;
        int32_t City = -1;
        std::vector<int32_t> Teams; // the first team first
        int32_t Stadium = -1;
        std::size_t NextJob = 0;
        std::vector<std::size_t> Players; // people indices of the first team's players
    };
    struct TPost {
        int32_t Team = -1;
        uint8_t Job = 0;
    };
    struct TPlan {
        uint8_t Type = 2;
        int32_t Nation = -1;
        int32_t Club = -1; // main club of the club post
        TPost ClubPost;
        TPost NationalPost;
        int32_t CoOwnerClub = -1;
    };

    // GeneratorPlaces.cpp
    int32_t NextUniqueID() override;
    void AddLanguages();
    void AddContinentsAndRegions();
    // The region of a continent's nation for a draw of 0..3 (the first region for 0).
    static int32_t RegionOf(int32_t Continent, int Draw);
    void AddSponsorsWeatherTypesStagesInjuries();
    void PlanNations();
    void AddNations();
    void AddCities();

    // GeneratorClubs.cpp
    void AddCompetitions();
    void AddClubsAndStadiums();
    void AddTeams();
    int32_t AddTeam(int32_t Container, bool Nation, int32_t SharesWithClub, uint8_t SquadType, uint8_t Kind);
    int32_t AddCompanionClub(const std::u16string& Name, const std::u16string& ShortName, int32_t Nation);
    void AddAwards() override;
    void AddMedia() override;
    void AddStadiumMoves() override;
    void AddClubDebts() override;
    void AddCompetitionHistories() override;
    void AddClubAndNationLinks() override;

    // GeneratorPeople.cpp
    void PlanPeople();
    void PlanNationalTeams();
    void AddPeople();
    void AddPerson(std::size_t K);
    void AddNames();
    void AddRelationships() override;
    void FileIntoTeams();
    void AddPersonLanguages();
    void AddAttachedRecords() override;
    void AddAwardHistories() override;
    void AddPlayingHistories() override;
    void AddRetiredPersons();
    int32_t FirstTeamOf(int32_t Club) const { return Clubs_[static_cast<std::size_t>(Club)].Teams.at(0); }
    int32_t RandomOtherFirstTeam(int32_t Nation, int32_t ExceptClub);

    TGeneratorOptions Options_;
    TNameMaker Names_;
    int32_t LastUniqueID_ = 1000;
    std::vector<TNationPlan> Nations_;
    std::vector<TClubPlan> Clubs_; // by club ID; companion clubs have no plan of their own beyond their nation
    std::vector<int32_t> MainClubs_;
    std::vector<int32_t> ContinentalCups_; // per continent: champions cup, then cup
    int32_t WorldTrophy_ = -1;
    std::vector<TPlan> Plans_;
};

} // namespace wb
