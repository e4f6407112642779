#include "Hashtable.h"

#include <gtest/gtest.h>

TEST(HashtableTest, HashKeepsTheRemainderMagnitude) {
    THashtable<int> T(3);
    EXPECT_EQ(T.Hash(-7), 1);
    EXPECT_EQ(T.Hash(7), 1);
    EXPECT_EQ(T.Hash(INT32_MIN), std::abs(INT32_MIN % 3));
}

TEST(HashtableTest, PutReplacesAnExistingKeyAndReturnsTheOldValue) {
    int A = 1, B = 2;
    THashtable<int> T(4);
    EXPECT_EQ(T.Put(5, &A), nullptr);
    EXPECT_EQ(T.Put(5, &B), &A);
    EXPECT_EQ(T.Count(), 1);
    EXPECT_EQ(T.Get(5), &B);
}

TEST(HashtableTest, RemoveOfAMissingKeyReturnsNil) {
    int A = 1;
    THashtable<int> T(2);
    T.Put(1, &A);
    EXPECT_EQ(T.Remove(3), nullptr);
    EXPECT_EQ(T.Remove(1), &A);
    EXPECT_EQ(T.Count(), 0);
    EXPECT_EQ(T.Get(1), nullptr);
}

TEST(HashtableTest, SetBucketCountZeroLeavesOneEmptyBucket) {
    int A = 1;
    THashtable<int> T(8);
    T.Put(1, &A);
    T.SetBucketCount(0);
    EXPECT_EQ(T.BucketCount(), 1);
    EXPECT_EQ(T.Count(), 0);
    EXPECT_EQ(T.Get(1), nullptr);
}

TEST(HashtableTest, ChainsHoldManyKeysAndRecycleRemovedNodes) {
    std::vector<int> Values(1000);
    THashtable<int> T(7);
    for (int I = 0; I < 1000; ++I)
        T.Put(I * 13 - 500, &Values[static_cast<size_t>(I)]);
    for (int I = 0; I < 1000; I += 2)
        EXPECT_EQ(T.Remove(I * 13 - 500), &Values[static_cast<size_t>(I)]);
    for (int I = 0; I < 1000; I += 2)
        T.Put(I * 13 - 500, &Values[static_cast<size_t>(I)]);
    EXPECT_EQ(T.Count(), 1000);
    for (int I = 0; I < 1000; ++I)
        ASSERT_EQ(T.Get(I * 13 - 500), &Values[static_cast<size_t>(I)]);
}
