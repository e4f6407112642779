// Competitions, awards and their histories: the name type that must be zero, the award field of later versions,
// histories handed to their owners, sorted by year where the game's quicksort puts ties, and renumbered across
// owners.

#include "ServerTestSupport.h"

#include "QuickSort.h"
#include "SaveOrder.h"

#include <gtest/gtest.h>

#include <random>

using namespace servertest;

namespace {

// A history tagged by its UniqueID, which a save keeps.
wb::TAwardHistory AwardHistory(int32_t Award, int16_t Year, int32_t Tag) {
    wb::TAwardHistory H;
    H.ID = Tag % 100;
    H.UniqueID = Tag;
    H.AwardID = Award;
    H.Year = Year;
    H.HistoryByte1 = static_cast<uint8_t>(Tag);
    H.HistoryByte3 = 0xEE;
    return H;
}

wb::TCompetitionHistory CompetitionHistory(int32_t Competition, int16_t Year, int32_t Tag) {
    wb::TCompetitionHistory H;
    H.ID = Tag % 100;
    H.UniqueID = Tag;
    H.CompetitionID = Competition;
    H.Year = Year;
    H.FirstPlacedID = 0;
    H.SecondPlacedID = 2;
    return H;
}

template <class T> std::vector<int32_t> Tags(const std::vector<T>& Histories) {
    std::vector<int32_t> Result;
    for (const auto& H : Histories)
        Result.push_back(H.UniqueID);
    return Result;
}

} // namespace

TEST(CompetitionAwardTest, ACompetitionNameTypeOtherThanZeroIsRejected) {
    for (int16_t Version : {int16_t(112), int16_t(145), int16_t(147)}) {
        const wb::TWorld Clean = Sample(Version);
        for (uint8_t NameType : {uint8_t(1), uint8_t(4), uint8_t(255)}) {
            wb::TWorld World = Clean;
            World.Competitions[2].NameType = NameType;
            const std::size_t Position = wb::ServerFile(World).At("Competitions[2]") +
                                         FieldOffset(Clean.Competitions[2], World.Competitions[2], Version) + 1;
            EXPECT_EQ(LoadFailure(World),
                      TableLoadFailure("Competitions", 2, Position, "TPyxCompetitions",
                                       "Competitions seems to be corrupt.\r\nName Type: " + std::to_string(NameType)));
        }
    }
}

TEST(CompetitionAwardTest, AwardsCarryTheirExtraFieldOnlyAfterVersion112) {
    for (int16_t Version : {int16_t(112), int16_t(145), int16_t(147)}) {
        wb::TWorld World = Sample(Version);
        World.Awards[1].AwardExtra = 0x1234;
        TTempDir In("in"), Out("out");
        TPyxDatabase Db;
        ASSERT_EQ(LoadFailure(World, Db, In), "");
        EXPECT_EQ(Db.Awards.Items(1)->AwardExtra, Version > 144 ? 0x1234 : 0);
        ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
        ExpectSavedAs(World, Out);
        EXPECT_EQ(wb::RecordSize(wb::TAward{}, Version), Version == 112 ? 43u : 45u);
        EXPECT_EQ(wb::RecordSize(wb::TCompetition{}, Version), 43u);
        EXPECT_EQ(wb::RecordSize(wb::TAwardHistory{}, Version), 30u);
        EXPECT_EQ(wb::RecordSize(wb::TCompetitionHistory{}, Version), 31u);
    }
}

TEST(CompetitionAwardTest, UnresolvedAwardAndCompetitionReferencesAreWrittenAsNone) {
    wb::TWorld World = Sample();
    World.Awards[0].ContinentID = 700;
    World.Awards[0].NationID = 701;
    World.Awards[0].CompetitionID = 702;
    World.Competitions[1].ContinentID = 703;
    World.Competitions[1].NationID = -9;
    wb::TWorld Expected = World;
    Expected.Awards[0].ContinentID = Expected.Awards[0].NationID = Expected.Awards[0].CompetitionID = -1;
    Expected.Competitions[1].ContinentID = Expected.Competitions[1].NationID = -1;
    ExpectLoadSaveWrites(World, Expected);
}

// The table names a history's owner only by the history's own field: one the editor adds to an owner's list, or
// copies there from another owner, belongs to the owner whose list holds it.
TEST(CompetitionAwardTest, HistoriesAreSavedUnderTheOwnerWhoseListHoldsThem) {
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(Sample(), Db, In), "");
    ASSERT_GE(Db.Awards.Count(), 1);
    ASSERT_GE(Db.Competitions.Count(), 2);
    TPyxAward* Award = Db.Awards.Items(0);
    TPyxCompetition* From = Db.Competitions.Items(0);
    TPyxCompetition* To = Db.Competitions.Items(1);
    ASSERT_GE(From->Histories.Count(), 1);
    auto Added = std::make_unique<TPyxAwardHistory>();
    Added->Year = 1990;
    Award->Histories.Add(std::move(Added), true);
    To->Histories.Add(From->Histories.Items(0)->Clone(), true);
    const int32_t AwardHistories = Award->Histories.Count();
    const int32_t FromHistories = From->Histories.Count();
    const int32_t ToHistories = To->Histories.Count();
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");

    TPyxDatabase Reloaded;
    Reloaded.LoadPlayingHistories = false;
    ASSERT_EQ(FailureOf([&] { Reloaded.Load(Out.Str()); }), "");
    EXPECT_EQ(Reloaded.Awards.Items(0)->Histories.Count(), AwardHistories);
    EXPECT_EQ(Reloaded.Competitions.Items(0)->Histories.Count(), FromHistories);
    EXPECT_EQ(Reloaded.Competitions.Items(1)->Histories.Count(), ToHistories);
}

TEST(CompetitionAwardTest, AwardHistoriesSortByYearWithTiesWhereTheQuicksortPutsThem) {
    wb::TWorld World = Sample();
    ASSERT_GE(World.Awards.size(), 2u);
    const int32_t A0 = World.Awards[0].ID;
    const int32_t A1 = World.Awards[1].ID;
    // In file order, the two awards' histories interleaved, one whose award does not exist among them.
    World.AwardHistories = {AwardHistory(A0, 2001, 501), AwardHistory(A1, 1990, 601),   AwardHistory(A0, 1999, 502),
                            AwardHistory(A0, 2001, 503), AwardHistory(4711, 1995, 700), AwardHistory(A0, 2000, 504),
                            AwardHistory(A1, 1980, 602), AwardHistory(A0, 1999, 505),   AwardHistory(A0, 2001, 506)};
    World.AwardHistories[3].Person2ID = 31337; // nobody: written as none
    World.AwardHistories[5].Person1ID = World.People[4].ID;
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    ASSERT_EQ(Db.Awards.Items(0)->Histories.Count(), 6);
    ASSERT_EQ(Db.Awards.Items(1)->Histories.Count(), 2);
    EXPECT_EQ(Db.Awards.Items(2)->Histories.Count(), 0);
    EXPECT_EQ(Db.AwardHistories.Count(), 0);
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");

    // Award 0's years 2001, 1999, 2001, 2000, 1999, 2001 (tags 501..506): the partition around the middle year
    // 2001 swaps the first and last and then 503 with 505, so the ties come out as 505, 502 and 506, 501, 503.
    wb::TWorld Expected = World;
    const auto& H = World.AwardHistories;
    Expected.AwardHistories = {H[7], H[2], H[5], H[8], H[0], H[3], H[6], H[1]};
    EXPECT_EQ(Tags(Expected.AwardHistories), (std::vector<int32_t>{505, 502, 504, 506, 501, 503, 602, 601}));
    for (std::size_t I = 0; I < Expected.AwardHistories.size(); ++I)
        Expected.AwardHistories[I].ID = static_cast<int32_t>(I);
    Expected.AwardHistories[5].Person2ID = -1;
    ExpectSavedAs(Expected, Out);
    EXPECT_EQ(Db.Awards.HistoryCount, 8);
}

TEST(CompetitionAwardTest, CompetitionHistoriesSortByYearWithTiesWhereTheQuicksortPutsThem) {
    wb::TWorld World = Sample();
    const int32_t C0 = World.Competitions[0].ID;
    const int32_t C3 = World.Competitions[3].ID;
    World.CompetitionHistories = {CompetitionHistory(C3, 2000, 801), CompetitionHistory(C0, 1950, 901),
                                  CompetitionHistory(C3, 2000, 802), CompetitionHistory(-1, 2000, 999),
                                  CompetitionHistory(C3, 1999, 803)};
    World.CompetitionHistories[2].ThirdPlacedID = 4444; // no such team
    World.CompetitionHistories[2].HostsID = 5;
    wb::TWorld Expected = World;
    const auto& H = World.CompetitionHistories;
    // Competition 0 first (list order), then competition 3: 2000, 2000, 1999 pivots on the second 2000 and
    // comes out as 803, 802, 801.
    Expected.CompetitionHistories = {H[1], H[4], H[2], H[0]};
    for (std::size_t I = 0; I < Expected.CompetitionHistories.size(); ++I)
        Expected.CompetitionHistories[I].ID = static_cast<int32_t>(I);
    Expected.CompetitionHistories[2].ThirdPlacedID = -1;
    ExpectLoadSaveWrites(World, Expected);
}

TEST(CompetitionAwardTest, ManyTiedHistoriesLandWhereTheModelledQuicksortPutsThem) {
    wb::TWorld World = Sample();
    std::mt19937 Random(20240521);
    std::uniform_int_distribution<int> Year(1995, 1999), Award(0, static_cast<int>(World.Awards.size()) - 1),
        Competition(0, static_cast<int>(World.Competitions.size()) - 1);
    World.AwardHistories.clear();
    World.CompetitionHistories.clear();
    for (int32_t I = 0; I < 60; ++I) {
        World.AwardHistories.push_back(AwardHistory(World.Awards[static_cast<std::size_t>(Award(Random))].ID,
                                                    static_cast<int16_t>(Year(Random)), 10000 + I));
        World.CompetitionHistories.push_back(
            CompetitionHistory(World.Competitions[static_cast<std::size_t>(Competition(Random))].ID,
                               static_cast<int16_t>(Year(Random)), 20000 + I));
    }
    wb::TWorld Expected = World;
    wb::RenumberHistories(Expected);
    ExpectLoadSaveWrites(World, Expected);
}

TEST(CompetitionAwardTest, TheModelledQuicksortIsTheTextbookHoarePartition) {
    // The model the tests above rely on, checked on the award case worked out by hand.
    std::vector<std::pair<int16_t, char>> Items = {{2001, 'a'}, {1999, 'b'}, {2001, 'c'},
                                                   {2000, 'd'}, {1999, 'e'}, {2001, 'f'}};
    wb::QuickSort(Items, [](const auto& A, const auto& B) { return wb::CompareKeys(A.first, B.first); });
    std::string Order;
    for (const auto& Item : Items)
        Order += Item.second;
    EXPECT_EQ(Order, "ebdfac");
}
