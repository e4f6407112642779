#include "Writers.h"

#include <gtest/gtest.h>

namespace {

using wb::ReadI16;
using wb::ReadI32;

wb::THistoryFiles ThreeAndOne() {
    wb::THistoryFiles Files;
    Files.Histories.push_back({1001, {{2001, 0, 30, 4, 77}, {2002, 1, 12, 0, -1}, {2003, 0, 25, 9, 78}}});
    Files.Histories.push_back({1002, {{1999, 0, 3, 0, 77}}});
    return Files;
}

TEST(HistoryFiles, ThreeEntriesChainThroughTheirNextOffsets) {
    const auto Images = wb::HistoryFiles(ThreeAndOne());
    const auto& Data = Images.Data.Data();
    EXPECT_EQ(ReadI32(Images.Id.Data(), 12), 0);  // first entry of slot 0
    EXPECT_EQ(ReadI32(Images.Id.Data(), 16), 26); // last entry of slot 0
    EXPECT_EQ(ReadI32(Data, 12 + 9), 13);
    EXPECT_EQ(ReadI32(Data, 12 + 13 + 9), 26);
    EXPECT_EQ(ReadI32(Data, 12 + 26 + 9), -1);
    EXPECT_EQ(ReadI16(Data, 12 + 13), 2002);
    EXPECT_EQ(Data[12 + 13 + 2], 1);
    EXPECT_EQ(ReadI32(Data, 12 + 13 + 5), -1);
}

TEST(HistoryFiles, SlotsFollowTheListAndChainsAreContiguous) {
    const auto Images = wb::HistoryFiles(ThreeAndOne());
    const auto& Index = Images.Index.Data();
    EXPECT_EQ(ReadI32(Index, 12), 2);
    EXPECT_EQ(ReadI32(Index, 16), 1001);
    EXPECT_EQ(ReadI32(Index, 20), 0);
    EXPECT_EQ(ReadI32(Index, 24), 1002);
    EXPECT_EQ(ReadI32(Index, 28), 1);
    EXPECT_EQ(ReadI32(Images.Id.Data(), 20), 39);
    EXPECT_EQ(ReadI32(Images.Id.Data(), 24), 39);
    EXPECT_EQ(ReadI32(Images.Data.Data(), 12 + 39 + 9), -1);
    EXPECT_EQ(Images.Data.Size(), 12u + 4 * 13);
    EXPECT_EQ(Images.Data.At("History[1][0]"), 12u + 39);
}

TEST(HistoryFiles, NoHistoriesLeaveHeadersAndAZeroCount) {
    const auto Images = wb::HistoryFiles(wb::THistoryFiles{});
    EXPECT_EQ(Images.Index.Size(), 16u);
    EXPECT_EQ(ReadI32(Images.Index.Data(), 12), 0);
    EXPECT_EQ(Images.Id.Size(), 12u);
    EXPECT_EQ(Images.Data.Size(), 12u);
}

TEST(HistoryFiles, HeadersCarryTheirVersions) {
    wb::THistoryFiles Files;
    Files.IndexVersion = 112;
    const auto Images = wb::HistoryFiles(Files);
    EXPECT_EQ(ReadI16(Images.Index.Data(), 9), 112);
    EXPECT_EQ(ReadI16(Images.Id.Data(), 9), 1);
    EXPECT_EQ(ReadI16(Images.Data.Data(), 9), 1);
    Files.IdHeader = wb::MakeHeader(112);
    EXPECT_EQ(ReadI16(wb::HistoryFiles(Files).Id.Data(), 9), 112);
}

} // namespace
