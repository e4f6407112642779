#include "QuickSort.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TItem {
    char Name;
    int Key;
};

std::string SortedNames(std::vector<TItem> Items) {
    wb::QuickSort(Items, [](const TItem& A, const TItem& B) { return wb::CompareKeys(A.Key, B.Key); });
    std::string Names;
    for (const auto& Item : Items)
        Names += Item.Name;
    return Names;
}

// a1 b0 c1 d0, worked by hand: pivot b (slot 1); I stops at a, J at d: swap -> d b c a, I=1, J=2; I stops at b,
// J passes c and stops at b: swap b with itself, I=2, J=0. Left part d (alone), right part c a with pivot c:
// I stops at c, J at a: swap -> a c. Result d b a c: b and d come out reversed, while a and c, swapped twice,
// keep their order.
TEST(QuickSort, TiesLandWhereTheHoarePartitionPutsThem) {
    EXPECT_EQ(SortedNames({{'a', 1}, {'b', 0}, {'c', 1}, {'d', 0}}), "dbac");
}

TEST(QuickSort, AnAlreadySortedPairOfTiesIsSwapped) {
    EXPECT_EQ(SortedNames({{'x', 5}, {'y', 5}}), "yx");
}

// Three ties: pivot y; I stops at x, J at z: swap -> z y x, then I and J meet at y. Reversed.
TEST(QuickSort, ThreeTiesAreReversed) {
    EXPECT_EQ(SortedNames({{'x', 5}, {'y', 5}, {'z', 5}}), "zyx");
}

TEST(QuickSort, DistinctKeysEndSortedAndSortedInputStays) {
    EXPECT_EQ(SortedNames({{'c', 3}, {'a', 1}, {'e', 5}, {'b', 2}, {'d', 4}}), "abcde");
    EXPECT_EQ(SortedNames({{'a', -1}, {'b', 0}, {'c', 7}}), "abc");
}

TEST(QuickSort, EmptyAndSingleItemsAreFine) {
    EXPECT_EQ(SortedNames({}), "");
    EXPECT_EQ(SortedNames({{'q', 1}}), "q");
}

} // namespace
