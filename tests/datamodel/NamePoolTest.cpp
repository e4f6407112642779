#include "PyxName.h"
#include "PyxNation.h"

#include <gtest/gtest.h>

TEST(NamePool, FindOrAddMatchesTextAndNationExactly) {
    TPyxNames Pool;
    TPyxNation A, B;
    TPyxName* Anna = Pool.FindOrAdd(u"Anna", &A);
    EXPECT_EQ(Pool.FindOrAdd(u"Anna", &A), Anna);
    EXPECT_NE(Pool.FindOrAdd(u"Anna", &B), Anna);
    EXPECT_NE(Pool.FindOrAdd(u"anna", &A), Anna);
    EXPECT_NE(Pool.FindOrAdd(u"Anna", nullptr), Anna);
    EXPECT_EQ(Pool.Count(), 4);
    EXPECT_EQ(Anna->UseCount, 0) << "the caller counts the use";
}

TEST(NamePool, NewNamesTakeKeysOfTheirOwn) {
    TPyxNames Pool;
    TPyxName* First = Pool.FindOrAdd(u"One", nullptr);
    TPyxName* Second = Pool.FindOrAdd(u"Two", nullptr);
    EXPECT_NE(First->UniqueID, Second->UniqueID);
    EXPECT_EQ(Pool.FindByID(First->ID), First);
    EXPECT_EQ(Pool.FindByID(Second->ID), Second);
    EXPECT_EQ(Pool.FindByUniqueID(Second->UniqueID), Second);
}

TEST(NamePool, AcquireAndReleaseKeepBothCounts) {
    TPyxNames Pool;
    TPyxNation N;
    EXPECT_EQ(Pool.Acquire(u"", &N), nullptr);
    TPyxName* Name = Pool.Acquire(u"Berg", &N);
    EXPECT_EQ(Pool.Acquire(u"Berg", &N), Name);
    EXPECT_EQ(Name->UseCount, 2);
    EXPECT_EQ(Name->References, 2);
    Pool.Release(Name);
    EXPECT_EQ(Pool.FindByUniqueID(Name->UniqueID), Name);
    const int32_t Key = Name->UniqueID;
    Pool.Release(Name);
    EXPECT_EQ(Pool.FindByUniqueID(Key), nullptr);
    EXPECT_EQ(Pool.Count(), 0);
}

TEST(NamePool, ANameWhoseStoredCountSaysOthersUseItStays) {
    TPyxNames Pool;
    TPyxName* Name = Pool.Acquire(u"Dahl", nullptr);
    Name->UseCount = 5;
    Pool.Release(Name);
    EXPECT_EQ(Pool.Count(), 1);
    EXPECT_EQ(Name->UseCount, 4);
    EXPECT_EQ(Name->References, 0);
}
