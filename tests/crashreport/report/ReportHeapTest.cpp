#include "KroReportHeap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

TEST(ReportHeapTest, BlocksAreAlignedSizedAndReused) {
    ASSERT_TRUE(ReserveReportHeap());
    void* Small = ReportHeapAllocate(10);
    ASSERT_NE(Small, nullptr);
    EXPECT_TRUE(ReportHeapOwns(Small));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Small) % 16, 0u);
    EXPECT_GE(ReportHeapBlockSize(Small), 10u);
    std::memset(Small, 0xab, 10);

    void* Aligned = ReportHeapAllocate(100, 4096);
    ASSERT_NE(Aligned, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Aligned) % 4096, 0u);
    EXPECT_GE(ReportHeapBlockSize(Aligned), 100u);

    void* Large = ReportHeapAllocate(3 << 20);
    ASSERT_NE(Large, nullptr);
    std::memset(Large, 1, 3 << 20);

    ReportHeapFree(Small);
    void* Again = ReportHeapAllocate(12);
    EXPECT_EQ(Again, Small); // the freed block of the same size comes back
    ReportHeapFree(Again);
    ReportHeapFree(Aligned);
    ReportHeapFree(Large);

    int Outside = 0;
    EXPECT_FALSE(ReportHeapOwns(&Outside));
    EXPECT_FALSE(ReportHeapOwns(nullptr));
}

TEST(ReportHeapTest, BlocksFreedByOtherThreadsAreTakenBackWhole) {
    ASSERT_TRUE(ReserveReportHeap());
    std::vector<void*> Blocks;
    for (int I = 0; I < 1000; ++I)
        Blocks.push_back(ReportHeapAllocate(48));
    std::thread First([&] {
        for (std::size_t I = 0; I < Blocks.size(); I += 2)
            ReportHeapFree(Blocks[I]);
    });
    std::thread Second([&] {
        for (std::size_t I = 1; I < Blocks.size(); I += 2)
            ReportHeapFree(Blocks[I]);
    });
    First.join();
    Second.join();
    std::set<void*> Again;
    for (int I = 0; I < 1000; ++I)
        Again.insert(ReportHeapAllocate(48));
    EXPECT_EQ(Again, std::set<void*>(Blocks.begin(), Blocks.end()));
    for (void* Block : Again)
        ReportHeapFree(Block);
}

TEST(ReportHeapTest, TheHeapStartsSmallAndGrowsWhenAReportNeedsMore) {
    ASSERT_TRUE(ReserveReportHeap());
    // A process under an address-space limit must start: the start-up takes a modest part.
    const std::size_t AtStart = ReportHeapReserved();
    EXPECT_LE(AtStart, std::size_t{64} << 20);
    const std::size_t Size = AtStart + (std::size_t{16} << 20);
    void* Big = ReportHeapAllocate(Size);
    ASSERT_NE(Big, nullptr);
    EXPECT_GE(ReportHeapReserved(), AtStart + Size);
    EXPECT_TRUE(ReportHeapOwns(Big));
    EXPECT_TRUE(ReportHeapOwns(static_cast<char*>(Big) + Size - 1));
    EXPECT_GE(ReportHeapBlockSize(Big), Size);
    static_cast<char*>(Big)[Size - 1] = 1;
    // Small blocks still come from the space left in the first part.
    void* Small = ReportHeapAllocate(32);
    ASSERT_NE(Small, nullptr);
    EXPECT_TRUE(ReportHeapOwns(Small));
    ReportHeapFree(Small);
    ReportHeapFree(Big);
}

TEST(ReportHeapTest, ScopesNestAndBelongToTheirThread) {
    EXPECT_FALSE(InReportHeapScope());
    {
        TReportHeapScope Outer;
        EXPECT_TRUE(InReportHeapScope());
        {
            TReportHeapScope Inner;
            EXPECT_TRUE(InReportHeapScope());
        }
        EXPECT_TRUE(InReportHeapScope());
        bool Elsewhere = true;
        std::thread([&] { Elsewhere = InReportHeapScope(); }).join();
        EXPECT_FALSE(Elsewhere);
    }
    EXPECT_FALSE(InReportHeapScope());
}

} // namespace
