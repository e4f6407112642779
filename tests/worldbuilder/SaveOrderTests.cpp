#include "SampleWorld.h"
#include "SaveOrder.h"
#include "Writers.h"

#include <gtest/gtest.h>

namespace {

wb::TPerson Person(int32_t ID, int32_t Nation, uint8_t Type = 2) {
    wb::TPerson Result;
    Result.RecordType = Type;
    Result.ID = ID;
    Result.UniqueID = 1000 + ID;
    Result.NationID = Nation;
    return Result;
}

std::vector<int32_t> PeopleIDs(const wb::TWorld& World) {
    std::vector<int32_t> IDs;
    for (const auto& P : World.People)
        IDs.push_back(P.ID);
    return IDs;
}

wb::TName Name(int32_t ID, int32_t Nation, int16_t UseCount) {
    wb::TName Result;
    Result.ID = ID;
    Result.NationID = Nation;
    Result.UseCount = UseCount;
    return Result;
}

// A stadium move or club debt of a team.
template <class T> T TeamRecord(int32_t Team, uint8_t Kind, int32_t UniqueID) {
    T Result;
    Result.TeamID = Team;
    Result.Kind = Kind;
    Result.UniqueID = UniqueID;
    return Result;
}

TEST(SaveOrder, SampleWorldsAreAlreadyInSavedForm) {
    for (int16_t Version : {112, 145, 147}) {
        wb::TSampleOptions Options;
        Options.Version = Version;
        Options.PeopleCount = 30;
        Options.Seed = static_cast<uint64_t>(Version);
        const wb::TWorld Sample = wb::SampleWorld(Options);
        wb::TWorld Saved = Sample;
        wb::ApplySaveOrder(Saved);
        const wb::TWorldFiles Want = wb::BuildFiles(Sample);
        const wb::TWorldFiles Got = wb::BuildFiles(Saved);
        EXPECT_EQ(wb::DescribeDifference(Want.Server, Got.Server.Data()), "") << Version;
        EXPECT_EQ(wb::DescribeDifference(Want.People, Got.People.Data()), "") << Version;
        EXPECT_EQ(wb::DescribeDifference(Want.Lang, Got.Lang.Data()), "") << Version;
        ASSERT_TRUE(Got.History.has_value());
        EXPECT_EQ(wb::DescribeDifference(Want.History->Index, Got.History->Index.Data()), "") << Version;
        EXPECT_EQ(wb::DescribeDifference(Want.History->Data, Got.History->Data.Data()), "") << Version;
    }
}

// Nations 1 0 1 0 for persons 10 11 12 13 are the keys of the hand-worked sort example (d b a c): 11 and 13 come
// out swapped, 10 and 12 are swapped twice and keep their order. The retired person never reaches the sort.
TEST(SaveOrder, PeopleSortByNationLikeTheGame) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.People = {Person(10, 1), Person(11, 0), Person(99, 0, 5), Person(12, 1), Person(13, 0)};
    wb::SortPeople(World);
    EXPECT_EQ(PeopleIDs(World), (std::vector<int32_t>{13, 11, 10, 12}));
}

TEST(SaveOrder, PersonWithoutNationSortsFirst) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.People = {Person(1, 2), Person(2, -1), Person(3, 0)};
    wb::SortPeople(World);
    EXPECT_EQ(PeopleIDs(World), (std::vector<int32_t>{2, 3, 1}));
}

TEST(SaveOrder, DataTablesFollowThePeopleOrder) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.People = {Person(10, 5, 3), Person(11, 2, 4), Person(12, 0, 2)};
    World.People[0].PersonDataID = 7;
    World.People[0].Player.PlayingDataID = 3;
    World.People[0].Staff.NonPlayingDataID = 9;
    World.People[2].PersonDataID = 4;
    World.People[2].Player.PlayingDataID = 8;
    World.PersonDatas.resize(2);
    World.PersonDatas[0].ID = 7;
    World.PersonDatas[1].ID = 4;
    World.PersonDatas[1].UniqueID = 44;
    World.PlayingDatas.resize(3);
    World.PlayingDatas[0].ID = 3;
    World.PlayingDatas[1].ID = 8;
    World.PlayingDatas[2].ID = 100; // nobody refers to it: not written back
    World.NonPlayingDatas.resize(1);
    World.NonPlayingDatas[0].ID = 9;
    World.Loans.resize(2);
    World.Loans[0].PersonID = 10;
    World.Loans[1].PersonID = 11; // an official has no loan
    World.PersonLanguages = {{10, 0, 5}, {12, 0, 9}, {10, 0, 2}, {55, 0, 1}};

    wb::ApplySaveOrder(World);
    EXPECT_EQ(PeopleIDs(World), (std::vector<int32_t>{12, 11, 10}));
    EXPECT_EQ(World.People[0].PersonDataID, 0);
    EXPECT_EQ(World.People[2].PersonDataID, 1);
    EXPECT_EQ(World.PersonDatas.size(), 2u);
    EXPECT_EQ(World.PersonDatas[0].UniqueID, 44);
    EXPECT_EQ(World.People[0].Player.PlayingDataID, 0);
    EXPECT_EQ(World.People[2].Player.PlayingDataID, 1);
    EXPECT_EQ(World.PlayingDatas.size(), 2u);
    EXPECT_EQ(World.NonPlayingDatas.size(), 1u);
    ASSERT_EQ(World.Loans.size(), 1u);
    EXPECT_EQ(World.Loans[0].PersonID, 10);
    EXPECT_EQ(World.Loans[0].ID, 0);
    ASSERT_EQ(World.PersonLanguages.size(), 3u);
    EXPECT_EQ(World.PersonLanguages[0].PersonID, 12);
    EXPECT_EQ(World.PersonLanguages[1].Level, 5);
    EXPECT_EQ(World.PersonLanguages[2].Level, 2);
}

TEST(SaveOrder, NamePoolsSortRenumberAndCarryThePersonsAlong) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.Nations.resize(3);
    World.FirstNames = {Name(0, 1, 1), Name(1, -1, 0), Name(2, 0, 3), Name(3, 0, 1)};
    World.People = {Person(1, 0)};
    World.People[0].FirstNameID = 2;
    World.People[0].SecondNameID = 5; // resolves nowhere: none
    wb::SortNamePools(World);
    wb::RealignNames(World);
    ASSERT_EQ(World.FirstNames.size(), 4u);
    EXPECT_EQ(World.FirstNames[0].NationID, -1);
    EXPECT_EQ(World.FirstNames[1].UseCount, 1);
    EXPECT_EQ(World.FirstNames[2].UseCount, 3);
    EXPECT_EQ(World.FirstNames[3].NationID, 1);
    for (int32_t I = 0; I < 4; ++I)
        EXPECT_EQ(World.FirstNames[static_cast<std::size_t>(I)].ID, I);
    EXPECT_EQ(World.People[0].FirstNameID, 2);
    EXPECT_EQ(World.People[0].SecondNameID, -1);
    EXPECT_EQ(World.Nations[0].FirstNameStart, 1);
    EXPECT_EQ(World.Nations[0].FirstNameCount, 2);
    EXPECT_EQ(World.Nations[1].FirstNameStart, 3);
    EXPECT_EQ(World.Nations[1].FirstNameCount, 1);
    EXPECT_EQ(World.Nations[2].FirstNameStart, -1);
    EXPECT_EQ(World.Nations[2].FirstNameCount, 0);
}

TEST(SaveOrder, NationWithoutNamesBetweenOthersGetsNone) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.Nations.resize(3);
    World.Nations[1].SecondNameStart = 5;
    World.Nations[1].SecondNameCount = 5;
    World.SecondNames = {Name(0, 0, 1), Name(1, 2, 1)};
    World.CommonNames = {Name(0, -1, 1)};
    wb::RealignNames(World);
    EXPECT_EQ(World.Nations[1].SecondNameStart, -1);
    EXPECT_EQ(World.Nations[1].SecondNameCount, 0);
    EXPECT_EQ(World.Nations[2].SecondNameStart, 1);
    for (const auto& Nation : World.Nations) {
        EXPECT_EQ(Nation.CommonNameStart, -1);
        EXPECT_EQ(Nation.CommonNameCount, 0);
    }
}

// Award 7's years 2001 (a), 2000 (b), 2001 (c): pivot b; I stops at a, J passes c and stops at b: swap -> b a c,
// then the right part a c with pivot a swaps its ties -> b c a. Award 3 comes first in award order.
TEST(SaveOrder, HistoriesGroupByOwnerSortByYearAndNumberAcross) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.Awards.resize(2);
    World.Awards[0].ID = 3;
    World.Awards[1].ID = 7;
    auto History = [](int32_t Award, int16_t Year, int32_t UniqueID) {
        wb::TAwardHistory Result;
        Result.AwardID = Award;
        Result.Year = Year;
        Result.UniqueID = UniqueID;
        return Result;
    };
    World.AwardHistories = {History(7, 2001, 'a'), History(7, 2000, 'b'), History(3, 1999, 'x'), History(7, 2001, 'c'),
                            History(9, 2000, 'z')};
    wb::RenumberHistories(World);
    std::string Order;
    for (const auto& Record : World.AwardHistories) {
        Order += static_cast<char>(Record.UniqueID);
        EXPECT_EQ(Record.ID, static_cast<int32_t>(Order.size() - 1));
    }
    EXPECT_EQ(Order, "xbca");
}

TEST(SaveOrder, StadiumMovesAndClubDebtsRegroupByTeam) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.Teams.resize(2);
    World.Teams[0].ID = 0;
    World.Teams[1].ID = 1;
    const auto Move = TeamRecord<wb::TStadiumMove>;
    World.StadiumMoves = {Move(1, 2, 1), Move(0, 2, 2), Move(1, 1, 3), Move(5, 1, 4), Move(0, 2, 5)};
    wb::RebuildStadiumMoves(World);
    ASSERT_EQ(World.StadiumMoves.size(), 3u);
    EXPECT_EQ(World.StadiumMoves[0].UniqueID, 5); // the later capacity change of team 0 replaced the earlier
    EXPECT_EQ(World.StadiumMoves[1].UniqueID, 3); // team 1: move before capacity change
    EXPECT_EQ(World.StadiumMoves[2].UniqueID, 1);
    EXPECT_EQ(World.StadiumMoves[2].ID, 2);

    const auto Debt = TeamRecord<wb::TClubDebt>;
    World.ClubDebts = {Debt(1, 0, 1), Debt(0, 0, 2), Debt(1, 1, 3), Debt(0, 2, 4), Debt(1, 2, 5)};
    wb::RebuildClubDebts(World);
    std::vector<int32_t> Order;
    for (const auto& Record : World.ClubDebts)
        Order.push_back(Record.UniqueID);
    EXPECT_EQ(Order, (std::vector<int32_t>{4, 2, 3, 5, 1}));
    EXPECT_EQ(World.ClubDebts[4].ID, 4);
}

TEST(SaveOrder, PlayingHistoriesAscendByPersonAndDropEmptyOnes) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.People = {Person(1, 0), Person(2, 0), Person(3, 0)};
    World.Histories.emplace();
    World.Histories->Histories = {{1003, {{2001, 0, 1, 0, -1}}},
                                  {1001, {{2000, 0, 1, 0, -1}}},
                                  {1002, {}},
                                  {4242, {{1999, 0, 1, 0, -1}}},
                                  {1001, {{2002, 0, 1, 0, -1}}}};
    wb::SortPlayingHistories(World);
    const auto& Histories = World.Histories->Histories;
    ASSERT_EQ(Histories.size(), 2u);
    EXPECT_EQ(Histories[0].PersonUniqueID, 1001);
    EXPECT_EQ(Histories[0].Entries[0].Season, 2002);
    EXPECT_EQ(Histories[1].PersonUniqueID, 1003);
}

} // namespace
