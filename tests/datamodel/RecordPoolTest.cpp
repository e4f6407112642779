#include "PyxPerson.h"
#include "PyxRecordPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

TEST(RecordPool, HandsOutDistinctAlignedSlotsAndReusesFreedOnes) {
    TPyxRecordPool Pool(40);
    std::vector<void*> Slots;
    for (int I = 0; I < 20000; ++I) // more than the first blocks hold
        Slots.push_back(Pool.Allocate());
    EXPECT_EQ(std::set<void*>(Slots.begin(), Slots.end()).size(), Slots.size());
    for (void* Slot : Slots)
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(Slot) % 8, 0u);
    std::set<void*> Freed;
    for (size_t I = 0; I < Slots.size(); I += 2) {
        Pool.Free(Slots[I]);
        Freed.insert(Slots[I]);
    }
    for (size_t I = 0; I < Freed.size(); ++I)
        EXPECT_EQ(Freed.count(Pool.Allocate()), 1u) << "a freed slot serves the next record";
    Pool.Free(nullptr);
}

TEST(RecordPool, SlotsKeepTheirAlignmentAndDoNotOverlap) {
    TPyxRecordPool Pool(100, 64);
    std::vector<char*> Slots;
    for (int I = 0; I < 5000; ++I) {
        auto* Slot = static_cast<char*>(Pool.Allocate());
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(Slot) % 64, 0u);
        std::fill(Slot, Slot + 100, static_cast<char>(I));
        Slots.push_back(Slot);
    }
    for (size_t I = 0; I < Slots.size(); ++I)
        for (int B = 0; B < 100; ++B)
            ASSERT_EQ(Slots[I][B], static_cast<char>(I)) << "slot " << I << " overwritten";
}

TEST(RecordPool, RecordsSmallerThanAPointerGetASlotOfTheirOwn) {
    TPyxRecordPool Pool(1, 64);
    void* A = Pool.Allocate();
    void* B = Pool.Allocate();
    EXPECT_NE(A, B);
    EXPECT_GE(static_cast<char*>(B) > static_cast<char*>(A) ? static_cast<char*>(B) - static_cast<char*>(A)
                                                            : static_cast<char*>(A) - static_cast<char*>(B),
              64);
}

TEST(RecordPool, PooledEntitiesLiveAndDieThroughTheirBaseClass) {
    std::vector<std::unique_ptr<TPyxObject>> People;
    for (int I = 0; I < 1000; ++I) {
        auto P = std::make_unique<TPyxPerson>(TPyxPerson::ptPlayer);
        P->ID = I;
        P->Player = std::make_unique<TPyxPlayer>();
        People.push_back(std::move(P));
    }
    for (int I = 0; I < 1000; ++I)
        EXPECT_EQ(People[static_cast<size_t>(I)]->ID, I);
    if (PYX_RECORD_POOL) {
        for (const auto& P : People) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(P.get()) % 64, 0u) << "persons start on a cache line";
        }
    }
    People.clear();
    auto Again = std::make_unique<TPyxPerson>(TPyxPerson::ptOfficial);
    EXPECT_EQ(Again->PersonType, TPyxPerson::ptOfficial);
}
