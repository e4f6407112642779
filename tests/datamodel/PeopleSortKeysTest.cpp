#include "PyxDatabase.h"
#include "PyxName.h"

#include "DiskFolders.h"
#include "WorldGenerator.h"
#include "Writers.h"

#include <gtest/gtest.h>

namespace {

std::vector<int32_t> PersonIDs(const TPyxPeople& People) {
    std::vector<int32_t> IDs;
    People.ForEach([&](const TPyxPerson* P) { IDs.push_back(P->ID); });
    return IDs;
}

// Loads a generated world of 1500 people into both databases.
void LoadGenerated(uint64_t Seed, TPyxDatabase& A, TPyxDatabase& B) {
    wb::TGeneratorOptions Options;
    Options.PeopleCount = 1500;
    Options.Seed = Seed;
    const disk::TTempDir Dir;
    wb::WriteWorld(wb::GenerateWorld(Options), Dir.Str());
    A.Load(Dir.Str());
    B.Load(Dir.Str());
}

} // namespace

// The people sort runs the quicksort over nation keys gathered beforehand; it must leave every tie where the
// quicksort by the collection's comparison leaves it, sort after sort.
TEST(PeopleSortKeys, OrderEqualsTheQuicksortByComparisonEverySort) {
    TPyxDatabase ByKeys, ByCompare;
    LoadGenerated(3, ByKeys, ByCompare);
    const std::vector<int32_t> Loaded = PersonIDs(ByKeys.People);
    ASSERT_EQ(Loaded, PersonIDs(ByCompare.People));
    for (int Round = 0; Round < 3; ++Round) {
        ByKeys.People.Sort();
        ByCompare.People.TPyxObjects::Sort();
        ASSERT_EQ(PersonIDs(ByKeys.People), PersonIDs(ByCompare.People)) << "after sort " << Round + 1;
    }
    // The loaded order is already by nation: only ties moved, and they did.
    EXPECT_NE(PersonIDs(ByKeys.People), Loaded);
}

// The name pools sort over keys of nation and use count the way their comparison orders them.
TEST(PeopleSortKeys, NamePoolsOrderAsTheQuicksortByComparison) {
    TPyxDatabase ByKeys, ByCompare;
    LoadGenerated(4, ByKeys, ByCompare);
    auto UniqueIDs = [](const TPyxNames& Pool) {
        std::vector<int32_t> IDs;
        Pool.ForEach([&](const TPyxName* N) { IDs.push_back(N->UniqueID); });
        return IDs;
    };
    // Shuffle the use counts (negative ones included) so that the sort has real work and ties to place.
    for (TPyxDatabase* Db : {&ByKeys, &ByCompare})
        for (int32_t I = 0; I < Db->Names.SecondNames.Count(); ++I)
            Db->Names.SecondNames.Items(I)->UseCount = static_cast<int16_t>((I * 7919) % 23 - 5);
    ByKeys.Names.SecondNames.Sort();
    ByCompare.Names.SecondNames.TPyxObjects::Sort();
    EXPECT_EQ(UniqueIDs(ByKeys.Names.SecondNames), UniqueIDs(ByCompare.Names.SecondNames));
}
