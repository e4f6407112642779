#include "WorldGenerator.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

namespace {

wb::TGeneratorOptions Small(int People = 1500, uint64_t Seed = 1) {
    wb::TGeneratorOptions Options;
    Options.PeopleCount = People;
    Options.Seed = Seed;
    return Options;
}

// A generated world of 1,500 persons, shared by the tests that only read it.
const wb::TWorld& World() {
    static const wb::TWorld Generated = wb::GenerateWorld(Small());
    return Generated;
}

template <class T> std::set<int> Values(const std::vector<T>& Items, int (*Of)(const T&)) {
    std::set<int> Result;
    for (const auto& Item : Items)
        Result.insert(Of(Item));
    return Result;
}

std::vector<const wb::TPerson*> Persons(const wb::TWorld& W) {
    std::vector<const wb::TPerson*> Result;
    for (const auto& Person : W.People)
        if (Person.RecordType != 5)
            Result.push_back(&Person);
    return Result;
}

} // namespace

TEST(WorldGenerator, SameOptionsWriteTheSameBytesAndAnotherSeedOthers) {
    const auto First = wb::BuildFiles(wb::GenerateWorld(Small(600, 5)));
    const auto Again = wb::BuildFiles(wb::GenerateWorld(Small(600, 5)));
    const auto Other = wb::BuildFiles(wb::GenerateWorld(Small(600, 6)));
    EXPECT_EQ(First.Server.Data(), Again.Server.Data());
    EXPECT_EQ(First.People.Data(), Again.People.Data());
    EXPECT_EQ(First.Lang.Data(), Again.Lang.Data());
    EXPECT_EQ(First.History->Data.Data(), Again.History->Data.Data());
    EXPECT_NE(First.People.Data(), Other.People.Data());
}

TEST(WorldGenerator, RejectsOptionsOutsideTheirRanges) {
    auto With = [](auto Change) {
        auto Options = Small(100);
        Change(Options);
        return Options;
    };
    EXPECT_THROW(wb::GenerateWorld(With([](auto& O) { O.Version = 146; })), std::invalid_argument);
    EXPECT_THROW(wb::GenerateWorld(With([](auto& O) { O.PeopleCount = 0; })), std::invalid_argument);
    EXPECT_THROW(wb::GenerateWorld(With([](auto& O) { O.LanguageCount = 0; })), std::invalid_argument);
    EXPECT_THROW(wb::GenerateWorld(With([](auto& O) { O.LanguageCount = wb::MaxGeneratedLanguages + 1; })),
                 std::invalid_argument);
    EXPECT_THROW(wb::GenerateWorld(With([](auto& O) { O.DefaultLanguagePosition = 3; })), std::invalid_argument);
}

TEST(WorldGenerator, HoldsThePeopleAskedForPlusTheRetired) {
    const auto& W = World();
    EXPECT_EQ(Persons(W).size(), 1500u);
    EXPECT_EQ(W.People.size(), 1500u + 1500u * 5 / 1000);
}

TEST(WorldGenerator, EveryRecordKindIsPresent) {
    const auto& W = World();
    EXPECT_FALSE(W.Awards.empty());
    EXPECT_FALSE(W.Cities.empty());
    EXPECT_FALSE(W.Clubs.empty());
    EXPECT_FALSE(W.Competitions.empty());
    EXPECT_FALSE(W.Continents.empty());
    EXPECT_FALSE(W.Injuries.empty());
    EXPECT_FALSE(W.Medias.empty());
    EXPECT_FALSE(W.Languages.empty());
    EXPECT_FALSE(W.Nations.empty());
    EXPECT_FALSE(W.FirstNames.empty());
    EXPECT_FALSE(W.SecondNames.empty());
    EXPECT_FALSE(W.CommonNames.empty());
    EXPECT_FALSE(W.Regions.empty());
    EXPECT_FALSE(W.Sponsors.empty());
    EXPECT_FALSE(W.Stadiums.empty());
    EXPECT_FALSE(W.Stages.empty());
    EXPECT_FALSE(W.Teams.empty());
    EXPECT_FALSE(W.Weathers.empty());
    EXPECT_FALSE(W.PlayerTypes.empty());
    EXPECT_FALSE(W.AwardHistories.empty());
    EXPECT_FALSE(W.CompetitionHistories.empty());
    EXPECT_FALSE(W.Loans.empty());
    EXPECT_FALSE(W.StartingInjuries.empty());
    EXPECT_FALSE(W.StartingConfidences.empty());
    EXPECT_FALSE(W.FutureTransfers.empty());
    EXPECT_FALSE(W.PersonLanguages.empty());
    EXPECT_FALSE(W.PersonDatas.empty());
    EXPECT_FALSE(W.PlayingDatas.empty());
    EXPECT_FALSE(W.NonPlayingDatas.empty());
    ASSERT_TRUE(W.Histories);
    EXPECT_FALSE(W.Histories->Histories.empty());

    EXPECT_EQ(Values<wb::TPerson>(W.People, [](const wb::TPerson& P) { return int(P.RecordType); }),
              (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Values<wb::TTeam>(W.Teams, [](const wb::TTeam& T) { return int(T.RecordType); }),
              (std::set<int>{10, 11}));
    EXPECT_EQ(Values<wb::TStadiumMove>(W.StadiumMoves, [](const wb::TStadiumMove& M) { return int(M.Kind); }),
              (std::set<int>{1, 2}));
    EXPECT_EQ(Values<wb::TClubDebt>(W.ClubDebts, [](const wb::TClubDebt& D) { return int(D.Kind); }),
              (std::set<int>{0, 1, 2}));
    EXPECT_EQ(Values<wb::TMedia>(W.Medias, [](const wb::TMedia& M) { return int(M.Scope); }),
              (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
    std::set<int> InfoTypes, PersonTargets;
    for (const auto& Club : W.Clubs)
        for (const auto& Info : Club.TransferInfo)
            InfoTypes.insert(Info.Type);
    for (const auto* Person : Persons(W))
        for (const auto& Relationship : Person->Relationships)
            PersonTargets.insert(Relationship.TargetType);
    EXPECT_EQ(InfoTypes, (std::set<int>{5, 9}));
    EXPECT_EQ(PersonTargets, (std::set<int>{0, 1, 2, 3}));
}

TEST(WorldGenerator, HasTheFourteenNamedRegionsAndPutsNationsAndMediaInThem) {
    const auto& W = World();
    ASSERT_EQ(W.Regions.size(), 14u);
    std::set<int32_t> RegionUniqueIDs;
    for (std::size_t I = 0; I < W.Regions.size(); ++I) {
        EXPECT_EQ(W.Regions[I].ID, static_cast<int32_t>(I));
        RegionUniqueIDs.insert(W.Regions[I].UniqueID);
    }
    for (const auto& Nation : W.Nations) {
        EXPECT_GE(Nation.RegionID, 0);
        EXPECT_LT(Nation.RegionID, 14);
    }
    for (const auto& Media : W.Medias) {
        if (Media.Scope == 3) {
            EXPECT_EQ(RegionUniqueIDs.count(Media.TargetUniqueID), 1u);
        }
    }
}

TEST(WorldGenerator, HasAboutOneClubPerFifteenPersonsWithOneToThreeSquads) {
    const auto& W = World();
    int MainClubs = 0;
    for (const auto& Club : W.Clubs) {
        if (Club.Container.TeamIDs.empty())
            continue;
        ++MainClubs;
        EXPECT_LE(Club.Container.TeamIDs.size(), 3u);
    }
    EXPECT_NEAR(MainClubs, 1500 / 15, 1500 / 15 / 4);
    EXPECT_LE(wb::GenerateWorld(Small(12000)).Nations.size(), 200u);
}

TEST(WorldGenerator, EveryTeamSharesItsUniqueIDWithAClubRecord) {
    const auto& W = World();
    std::map<int32_t, std::size_t> ClubByUniqueID;
    for (std::size_t C = 0; C < W.Clubs.size(); ++C)
        EXPECT_TRUE(ClubByUniqueID.emplace(W.Clubs[C].UniqueID, C).second) << "club " << C;
    for (const auto& Team : W.Teams) {
        const auto It = ClubByUniqueID.find(Team.UniqueID);
        ASSERT_NE(It, ClubByUniqueID.end()) << "team " << Team.ID;
        const auto& Owner = Team.IsNationTeam ? W.Nations.at(static_cast<std::size_t>(Team.ContainerID)).Container
                                              : W.Clubs.at(static_cast<std::size_t>(Team.ContainerID)).Container;
        const bool FirstTeam = !Team.IsNationTeam && Owner.TeamIDs.front() == Team.ID;
        // The first team shares the club's own UniqueID; every other squad has a companion club of its own.
        EXPECT_EQ(It->second == static_cast<std::size_t>(Team.ContainerID), FirstTeam) << "team " << Team.ID;
        EXPECT_NE(std::find(Owner.TeamIDs.begin(), Owner.TeamIDs.end(), Team.ID), Owner.TeamIDs.end());
    }
}

TEST(WorldGenerator, ContractsStandClubFirstCoOwnerSecondNationLast) {
    int CoOwned = 0, WithNation = 0;
    for (const auto* Person : Persons(World())) {
        const auto& Contracts = Person->Contracts;
        for (std::size_t K = 1; K < Contracts.size(); ++K)
            EXPECT_LE(Contracts[K - 1].NationContract, Contracts[K].NationContract) << "person " << Person->ID;
        if (!Contracts.empty() && Contracts[0].CoOwned) {
            ++CoOwned;
            ASSERT_GE(Contracts.size(), 2u);
            EXPECT_EQ(Contracts[1].CoOwned, 1);
            EXPECT_EQ(Contracts[1].NationContract, 0);
            EXPECT_NE(Contracts[1].EmployerID, Contracts[0].EmployerID);
        }
        WithNation += !Contracts.empty() && Contracts.back().NationContract ? 1 : 0;
        EXPECT_EQ(Person->ClubTeamID >= 0 && wb::JobHasContract(Person->ClubJob),
                  !Contracts.empty() && !Contracts[0].NationContract)
            << "person " << Person->ID;
    }
    EXPECT_GT(CoOwned, 0);
    EXPECT_GT(WithNation, 0);
}

TEST(WorldGenerator, PersonsHoldTheDataOfTheirType) {
    const auto& W = World();
    for (const auto* P : Persons(W)) {
        EXPECT_EQ(P->PersonDataID >= 0, !P->IsOfficial()) << "person " << P->ID;
        if (P->PersonDataID >= 0) {
            EXPECT_LT(static_cast<std::size_t>(P->PersonDataID), W.PersonDatas.size());
        }
        if (P->IsPlayer()) {
            EXPECT_LT(static_cast<std::size_t>(P->Player.PlayingDataID), W.PlayingDatas.size());
        }
        if (P->IsStaff()) {
            EXPECT_LT(static_cast<std::size_t>(P->Staff.NonPlayingDataID), W.NonPlayingDatas.size());
        }
        EXPECT_LT(P->NationID, static_cast<int32_t>(W.Nations.size()));
        EXPECT_LT(P->ClubTeamID, static_cast<int32_t>(W.Teams.size()));
        EXPECT_LT(P->FirstNameID, static_cast<int32_t>(W.FirstNames.size()));
        EXPECT_LT(P->SecondNameID, static_cast<int32_t>(W.SecondNames.size()));
        EXPECT_EQ(W.FirstNames.at(static_cast<std::size_t>(P->FirstNameID)).NationID, P->NationID);
    }
}

TEST(WorldGenerator, NamePoolsCountTheirUses) {
    const auto& W = World();
    std::vector<int> Uses(W.SecondNames.size());
    for (const auto* P : Persons(W))
        ++Uses.at(static_cast<std::size_t>(P->SecondNameID));
    int Shared = 0;
    for (std::size_t N = 0; N < Uses.size(); ++N) {
        EXPECT_EQ(W.SecondNames[N].UseCount, Uses[N]) << "second name " << N;
        Shared += Uses[N] > 1 ? 1 : 0;
    }
    EXPECT_GT(Shared, 0);
}

TEST(WorldGenerator, AttachedRecordsBelongToPersonsOfTheirRole) {
    const auto& W = World();
    std::map<int32_t, const wb::TPerson*> ByID;
    for (const auto* P : Persons(W))
        ByID[P->ID] = P;
    for (const auto& Loan : W.Loans)
        EXPECT_TRUE(ByID.at(Loan.PersonID)->IsPlayer());
    for (const auto& Injury : W.StartingInjuries)
        EXPECT_TRUE(ByID.at(Injury.PersonID)->IsPlayer());
    for (const auto& Transfer : W.FutureTransfers)
        EXPECT_TRUE(ByID.at(Transfer.PersonID)->IsPlayer());
    for (const auto& Confidence : W.StartingConfidences)
        EXPECT_TRUE(ByID.at(Confidence.PersonID)->IsStaff());
    std::map<int32_t, const wb::TPerson*> ByUniqueID;
    for (const auto* P : Persons(W))
        ByUniqueID[P->UniqueID] = P;
    for (const auto& History : W.Histories->Histories) {
        EXPECT_TRUE(ByUniqueID.at(History.PersonUniqueID)->IsPlayer());
        EXPECT_FALSE(History.Entries.empty());
    }
}

TEST(WorldGenerator, PutsEnglishWhereAskedAndSecondByDefault) {
    EXPECT_EQ(World().LangDirectory.size(), 3u);
    EXPECT_EQ(World().LangDirectory[1], wb::DefaultLanguageUniqueID);
    auto Options = Small(100);
    Options.LanguageCount = 5;
    Options.DefaultLanguagePosition = 4;
    const auto W = wb::GenerateWorld(Options);
    ASSERT_EQ(W.LangDirectory.size(), 5u);
    EXPECT_EQ(W.LangDirectory[4], wb::DefaultLanguageUniqueID);
    EXPECT_EQ(std::set<int32_t>(W.LangDirectory.begin(), W.LangDirectory.end()).size(), 5u);
}
