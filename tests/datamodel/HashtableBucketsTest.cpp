#include "Hashtable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TItem {
    int32_t Key;
};

} // namespace

// Keys that share one remainder make the table change how it chooses buckets half-way; nothing it holds may be
// lost or found under the wrong key by that.
TEST(HashtableBuckets, KeysOfOneRemainderStayFindableAcrossTheSwitch) {
    constexpr int32_t Buckets = 1000;
    constexpr int32_t Count = 5000;
    THashtable<TItem> Table(Buckets);
    std::vector<TItem> Items(Count);
    for (int32_t I = 0; I < Count; ++I) {
        Items[static_cast<size_t>(I)].Key = I * Buckets;
        EXPECT_EQ(Table.Put(I * Buckets, &Items[static_cast<size_t>(I)]), nullptr);
    }
    EXPECT_EQ(Table.Count(), Count);
    EXPECT_TRUE(Table.UsesMixedBuckets());
    for (int32_t I = 0; I < Count; ++I)
        ASSERT_EQ(Table.Get(I * Buckets), &Items[static_cast<size_t>(I)]) << I;
    EXPECT_EQ(Table.Get(7), nullptr);
    EXPECT_EQ(Table.Get(Count * Buckets), nullptr);
    // A second Put of a key replaces its value, removal unlinks exactly that key, and the freed node serves again.
    TItem Other{0};
    EXPECT_EQ(Table.Put(3 * Buckets, &Other), &Items[3]);
    EXPECT_EQ(Table.Get(3 * Buckets), &Other);
    EXPECT_EQ(Table.Remove(4 * Buckets), &Items[4]);
    EXPECT_EQ(Table.Get(4 * Buckets), nullptr);
    EXPECT_EQ(Table.Count(), Count - 1);
    EXPECT_EQ(Table.Put(4 * Buckets, &Items[4]), nullptr);
    for (int32_t I = 0; I < Count; ++I)
        ASSERT_EQ(Table.Get(I * Buckets), I == 3 ? &Other : &Items[static_cast<size_t>(I)]) << I;
}

TEST(HashtableBuckets, FreedNodesAreNotRefiledWhenTheTableSwitches) {
    constexpr int32_t Buckets = 64;
    THashtable<TItem> Table(Buckets);
    std::vector<TItem> Items(200);
    // Nodes put and removed before the switch sit on the free list; the switch must not file them again.
    for (int32_t I = 0; I < 20; ++I)
        Table.Put(I * Buckets, &Items[static_cast<size_t>(I)]);
    for (int32_t I = 0; I < 20; I += 2)
        Table.Remove(I * Buckets);
    for (int32_t I = 20; I < 200; ++I)
        Table.Put(I * Buckets, &Items[static_cast<size_t>(I)]);
    EXPECT_EQ(Table.Count(), 190);
    EXPECT_TRUE(Table.UsesMixedBuckets());
    for (int32_t I = 0; I < 200; ++I)
        EXPECT_EQ(Table.Get(I * Buckets), I < 20 && I % 2 == 0 ? nullptr : &Items[static_cast<size_t>(I)]) << I;
}

TEST(HashtableBuckets, NegativeKeysAreFiledLikeAnyOther) {
    THashtable<TItem> Table(10);
    std::vector<TItem> Items(100);
    for (int32_t I = 0; I < 100; ++I)
        Table.Put(-I * 7 - 1, &Items[static_cast<size_t>(I)]);
    for (int32_t I = 0; I < 100; ++I)
        EXPECT_EQ(Table.Get(-I * 7 - 1), &Items[static_cast<size_t>(I)]);
    EXPECT_EQ(Table.Get(-2), nullptr);
}

TEST(HashtableBuckets, PositionsAndScatteredKeysKeepThePlainRemainder) {
    constexpr int32_t Count = 100000;
    THashtable<TItem> Positions(Count), Scattered(Count);
    std::vector<TItem> Items(Count);
    uint32_t State = 12345;
    for (int32_t I = 0; I < Count; ++I) {
        Positions.Put(I, &Items[static_cast<size_t>(I)]);
        State = State * 1664525u + 1013904223u;
        Scattered.Put(static_cast<int32_t>(State >> 1), &Items[static_cast<size_t>(I)]);
    }
    EXPECT_FALSE(Positions.UsesMixedBuckets());
    EXPECT_FALSE(Scattered.UsesMixedBuckets());
    Positions.SetBucketCount(10);
    EXPECT_FALSE(Positions.UsesMixedBuckets());
}
