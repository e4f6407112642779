#include "Writers.h"

#include <gtest/gtest.h>

namespace {

using wb::IndexedName;
using wb::ReadI32;

// Two languages, English second, one city with English and French texts and one club without any.
wb::TWorld TwoLanguageWorld() {
    wb::TWorld World = wb::EmptyWorld(147);
    wb::TLanguage French;
    French.ID = 1;
    French.UniqueID = 3;
    French.Name = u"French";
    World.Languages.push_back(French);
    World.LangDirectory = {3, wb::DefaultLanguageUniqueID};
    wb::TCity City;
    City.UniqueID = 501;
    City.Texts[wb::DefaultLanguageUniqueID] = {u"Northport", 1, u"Northporter", 2};
    City.Texts[3] = {u"Port-du-Nord", 1, u"", 0};
    World.Cities.push_back(City);
    wb::TClub Club;
    Club.UniqueID = 601;
    World.Clubs.push_back(Club);
    wb::TRegion Region;
    Region.UniqueID = 701;
    World.Regions.push_back(Region);
    return World;
}

TEST(LangFile, DirectoryOffsetsPointAtTheBlocks) {
    const wb::TWorld World = TwoLanguageWorld();
    const wb::TFileImage File = wb::LangFile(World);
    EXPECT_EQ(File.Data()[12], 2);
    ASSERT_EQ(File.At("Directory[0]"), 13u);
    EXPECT_EQ(ReadI32(File.Data(), 13), 3);
    EXPECT_EQ(ReadI32(File.Data(), 21), 8);
    const int32_t First = ReadI32(File.Data(), 17);
    const int32_t Second = ReadI32(File.Data(), 25);
    EXPECT_EQ(First, 1 + 8 * 2); // the first block starts at 13 + 8N
    EXPECT_EQ(static_cast<std::size_t>(12 + First), File.At("Block[0]"));
    EXPECT_EQ(static_cast<std::size_t>(12 + Second), File.At("Block[1]"));
    EXPECT_EQ(File.At("Block[0].Cities"), File.At("Block[0]"));
    EXPECT_EQ(wb::LangBlockOffsets(World), (std::vector<int32_t>{First, Second}));
}

TEST(LangFile, EachBlockHoldsTheTwelveTablesInOrder) {
    const wb::TFileImage File = wb::LangFile(TwoLanguageWorld());
    std::size_t Previous = 0;
    for (const auto& Table : wb::LangBlockTables()) {
        const std::size_t At = File.At("Block[1]." + Table);
        EXPECT_GT(At, Previous) << Table;
        Previous = At;
    }
    EXPECT_EQ(wb::LangBlockTables().size(), 12u);
    EXPECT_EQ(ReadI32(File.Data(), File.At("Block[1].Cities")), 1);
    EXPECT_EQ(ReadI32(File.Data(), File.At("Block[1].Clubs")), 1);
    EXPECT_EQ(ReadI32(File.Data(), File.At("Block[1].Nations")), 0);
}

TEST(LangFile, RecordsCarryTheTextOfTheBlocksLanguage) {
    const wb::TFileImage File = wb::LangFile(TwoLanguageWorld());
    const std::size_t French = File.At("Block[0].Cities[0]");
    EXPECT_EQ(ReadI32(File.Data(), French), 501);
    EXPECT_EQ(ReadI32(File.Data(), French + 4), 12); // "Port-du-Nord"
    const std::size_t English = File.At("Block[1].Cities[0]");
    EXPECT_EQ(ReadI32(File.Data(), English + 4), 9); // "Northport"
    // A language without a text gets an empty record: five empty strings and four bytes for a club.
    const std::size_t Club = File.At("Block[1].Clubs[0]");
    EXPECT_EQ(File.At("Block[1].Continents") - Club, 4u + 5 * 4 + 4);
}

TEST(LangFile, RegionsTableIsEmptyUnlessAskedFor) {
    wb::TWorld World = TwoLanguageWorld();
    const wb::TFileImage Saved = wb::LangFile(World);
    EXPECT_EQ(ReadI32(Saved.Data(), Saved.At("Block[0].Regions")), 0);
    EXPECT_EQ(Saved.At("Block[0].Player Types") - Saved.At("Block[0].Regions"), 4u);
    World.WriteRegionLangRecords = true;
    const wb::TFileImage Full = wb::LangFile(World);
    EXPECT_EQ(ReadI32(Full.Data(), Full.At("Block[0].Regions")), 1);
    EXPECT_EQ(ReadI32(Full.Data(), Full.At("Block[0].Regions[0]")), 701);
}

TEST(LangFile, ExtraRecordsJoinTheirTableAndCount) {
    wb::TWorld World = TwoLanguageWorld();
    World.LangExtraRecords.push_back({3, "Stadiums", 9999, {0, 0, 0, 0, 7}});
    const wb::TFileImage File = wb::LangFile(World);
    const std::size_t Table = File.At("Block[0].Stadiums");
    EXPECT_EQ(ReadI32(File.Data(), Table), 1);
    EXPECT_EQ(ReadI32(File.Data(), Table + 4), 9999);
    EXPECT_EQ(File.Data()[Table + 12], 7);
    EXPECT_EQ(ReadI32(File.Data(), File.At("Block[1].Stadiums")), 0);
}

TEST(LangFile, AlignLangFileOffsetsCopiesTheBlockOffsets) {
    wb::TWorld World = TwoLanguageWorld();
    wb::AlignLangFileOffsets(World);
    const auto Offsets = wb::LangBlockOffsets(World);
    EXPECT_EQ(World.Languages[1].LangFileOffset, Offsets[0]);
    EXPECT_EQ(World.Languages[0].LangFileOffset, Offsets[1]);
}

TEST(LangFile, EmptyWorldHasOneBlockForEnglish) {
    const wb::TWorld World = wb::EmptyWorld(112);
    const wb::TFileImage File = wb::LangFile(World);
    EXPECT_EQ(File.Size(), 12u + 1 + 8 + 12 * 4);
    EXPECT_EQ(World.Languages[0].LangFileOffset, 9);
}

} // namespace
