#include "PyxPlayingHistory.h"
#include "PyxTeam.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TPyxPlayingHistoryEntry> Entry(int16_t Season, TPyxTeam* Team = nullptr) {
    auto E = std::make_unique<TPyxPlayingHistoryEntry>();
    E->Season = Season;
    E->Apps = static_cast<uint8_t>(Season % 40);
    E->Team = Team;
    return E;
}

} // namespace

TEST(PlayingHistoryList, AddKeepsACopyInOrderAndReturnsIt) {
    TPyxPlayingHistory H;
    auto First = Entry(2001);
    TPyxPlayingHistoryEntry* Added = H.Add(std::move(First));
    ASSERT_NE(Added, nullptr);
    EXPECT_EQ(Added->Season, 2001);
    H.Add(Entry(2002));
    H.Add(Entry(2003));
    ASSERT_EQ(H.Count(), 3);
    EXPECT_EQ(H.Items(0)->Season, 2001);
    EXPECT_EQ(H.Items(2)->Season, 2003);
    EXPECT_EQ(H.Items(3), nullptr);
    EXPECT_EQ(H.Items(-1), nullptr);
    EXPECT_EQ(H.Add(nullptr), nullptr);
    EXPECT_EQ(H.Count(), 3);
}

TEST(PlayingHistoryList, RemoveHandsBackTheEntryAndClosesTheGap) {
    TPyxPlayingHistory H;
    for (int16_t Year = 2000; Year < 2004; ++Year)
        H.Add(Entry(Year));
    auto Removed = H.Remove(H.Items(1));
    ASSERT_NE(Removed, nullptr);
    EXPECT_EQ(Removed->Season, 2001);
    ASSERT_EQ(H.Count(), 3);
    EXPECT_EQ(H.Items(1)->Season, 2002);
    TPyxPlayingHistoryEntry Stranger;
    EXPECT_EQ(H.Remove(&Stranger), nullptr);
    EXPECT_EQ(H.Count(), 3);
}

TEST(PlayingHistoryList, RemoveTeamDropsEveryEntryOfTheTeamOnly) {
    TPyxTeam Gone, Kept;
    TPyxPlayingHistory H;
    H.Add(Entry(2000, &Gone));
    H.Add(Entry(2001, &Kept));
    H.Add(Entry(2002, &Gone));
    H.Add(Entry(2003));
    H.RemoveTeam(&Gone);
    ASSERT_EQ(H.Count(), 2);
    EXPECT_EQ(H.Items(0)->Team, &Kept);
    EXPECT_EQ(H.Items(1)->Team, nullptr);
}
