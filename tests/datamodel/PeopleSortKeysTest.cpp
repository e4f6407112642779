#include "PyxDatabase.h"

#include "WorldGenerator.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<int32_t> PersonIDs(const TPyxPeople& People) {
    std::vector<int32_t> IDs;
    People.ForEach([&](const TPyxPerson* P) { IDs.push_back(P->ID); });
    return IDs;
}

} // namespace

// The people sort runs the quicksort over nation keys gathered beforehand; it must leave every tie where the
// quicksort by the collection's comparison leaves it, sort after sort.
TEST(PeopleSortKeys, OrderEqualsTheQuicksortByComparisonEverySort) {
    wb::TGeneratorOptions Options;
    Options.PeopleCount = 1500;
    Options.Seed = 3;
    const fs::path Dir = fs::temp_directory_path() / ("pyx_sortkeys_" + std::to_string(::getpid()));
    wb::WriteWorld(wb::GenerateWorld(Options), Dir.string());
    TPyxDatabase ByKeys, ByCompare;
    ByKeys.Load(Dir.string());
    ByCompare.Load(Dir.string());
    fs::remove_all(Dir);
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
