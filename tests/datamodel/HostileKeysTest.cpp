// Keys chosen so that a plain remainder puts them all into one bucket: the loader's hash tables may not let a file
// turn each lookup into a walk over the whole table.

#include "DamagedFiles.h"

#include <chrono>
#include <unordered_map>

using namespace damaged;

namespace {

double LoadSeconds(const wb::TWorld& World, TOutcome& Outcome) {
    wb::TWorld W = World;
    const TFolderImages Files = Images(wb::BuildFiles(W));
    const auto Start = std::chrono::steady_clock::now();
    Outcome = Load(Files);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

wb::TWorld Empty() {
    wb::TWorld World = wb::EmptyWorld(147);
    World.Histories = wb::THistoryFiles{};
    return World;
}

} // namespace

TEST(HostileKeysTest, KeysOfOneRemainderLoadInLinearTime) {
    // 40000 sponsors whose IDs and UniqueIDs are all multiples of the table's bucket count took 8 seconds with a
    // plain remainder; a million would have taken hours.
    constexpr int32_t Count = 40000;
    wb::TWorld World = Empty();
    for (int32_t I = 0; I < Count; ++I) {
        wb::TSponsor S;
        S.ID = S.UniqueID = I * Count;
        World.Sponsors.push_back(S);
    }
    TOutcome O;
    const double Seconds = LoadSeconds(World, O);
    EXPECT_TRUE(O.Loaded) << O;
    EXPECT_LT(Seconds, 2.0);
}

TEST(HostileKeysTest, PersonDataKeysOfOneBucketLoadInLinearTime) {
    // The person data records are handed to their persons through a hashed map sized to the table; keys that are
    // multiples of its bucket count would all share one bucket without the mixing.
    constexpr int32_t Count = 20000;
    std::unordered_map<int32_t, size_t> Plain;
    Plain.reserve(Count);
    const auto Step = static_cast<int32_t>(Plain.bucket_count());
    wb::TWorld World = Empty();
    for (int32_t I = 0; I < Count; ++I) {
        wb::TPersonData D;
        D.ID = I * Step;
        D.UniqueID = I;
        World.PersonDatas.push_back(D);
    }
    TOutcome O;
    const double Seconds = LoadSeconds(World, O);
    EXPECT_TRUE(O.Loaded) << O;
    EXPECT_LT(Seconds, 2.0);
}
