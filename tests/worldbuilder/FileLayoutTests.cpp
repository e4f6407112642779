#include "Records.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <gtest/gtest.h>

namespace {

using wb::IndexedName;
using wb::ReadI32;

const std::vector<std::string> ServerTables = {"Awards",
                                               "Cities",
                                               "Clubs",
                                               "Competitions",
                                               "Continents",
                                               "Injuries",
                                               "Media",
                                               "Languages",
                                               "Nations",
                                               "First Names",
                                               "Second Names",
                                               "Common Names",
                                               "Regions",
                                               "Sponsors",
                                               "Stadiums",
                                               "Stadium Moves",
                                               "Stages",
                                               "Teams",
                                               "Weather",
                                               "Player Types",
                                               "Award Histories",
                                               "Competition Histories",
                                               "Loans",
                                               "Starting Injuries",
                                               "Starting Confidence",
                                               "Future Transfers",
                                               "Club Debts",
                                               "Person Languages"};

TEST(ServerFile, HeaderExtraBlockThenTablesInFileOrder) {
    const wb::TWorld World = wb::SampleWorld();
    const wb::TFileImage File = wb::ServerFile(World);
    EXPECT_EQ(File.At("Extra"), 12u);
    EXPECT_EQ(File.At("Awards"), 12u + 25);
    std::size_t Previous = File.At("Extra");
    for (const auto& Table : ServerTables) {
        EXPECT_GT(File.At(Table), Previous) << Table;
        Previous = File.At(Table);
    }
    EXPECT_EQ(ReadI32(File.Data(), File.At("Clubs")), static_cast<int32_t>(World.Clubs.size()));
    EXPECT_EQ(File.At(IndexedName("Clubs", 0)), File.At("Clubs") + 4);
    EXPECT_EQ(File.At("Cities") - File.At(IndexedName("Awards", World.Awards.size() - 1)),
              wb::RecordSize(World.Awards.back(), 147));
    EXPECT_EQ(File.Size() - File.At("Person Languages"), 4 + 9 * World.PersonLanguages.size());
}

TEST(ServerFile, Version112HasTheShortExtraBlock) {
    wb::TSampleOptions Options;
    Options.Version = 112;
    const wb::TFileImage File = wb::ServerFile(wb::SampleWorld(Options));
    EXPECT_EQ(File.At("Awards"), 12u + 15);
    EXPECT_EQ(wb::ReadI16(File.Data(), 9), 112);
}

TEST(ServerFile, RawHeaderReplacesTheStandardOne) {
    wb::TWorld World = wb::EmptyWorld(147);
    World.ServerHeader = wb::MakeHeader(147);
    (*World.ServerHeader)[3] = 'D';
    const wb::TFileImage File = wb::ServerFile(World);
    EXPECT_EQ(File.Data()[3], 'D');
    EXPECT_EQ(File.Size(), 12u + 25 + 27 * 4 + 4 + wb::RecordSize(World.Languages[0], 147)); // English alone
}

TEST(PeopleFile, CountsPrefixedRecordsTablesAndTrailer) {
    const wb::TWorld World = wb::SampleWorld();
    const wb::TFileImage File = wb::PeopleFile(World);
    const std::size_t People = File.At("People");
    EXPECT_EQ(People, 12u);
    EXPECT_EQ(ReadI32(File.Data(), People), static_cast<int32_t>(World.People.size()));
    EXPECT_EQ(ReadI32(File.Data(), People + 4), static_cast<int32_t>(World.PersonDatas.size()));
    EXPECT_EQ(ReadI32(File.Data(), People + 8), static_cast<int32_t>(World.PlayingDatas.size()));
    EXPECT_EQ(ReadI32(File.Data(), People + 12), static_cast<int32_t>(World.NonPlayingDatas.size()));
    EXPECT_EQ(File.At("People[0]"), People + 16);
    EXPECT_EQ(ReadI32(File.Data(), File.At("People[1]")), World.People[1].ID);
    EXPECT_EQ(File.Data()[File.At("People[1]") + 4], World.People[1].RecordType);
    EXPECT_EQ(File.At("Playing Data") - File.At("Person Data"), 4 + 17 * World.PersonDatas.size());
    EXPECT_EQ(File.At("Non Playing Data") - File.At("Playing Data"), 4 + 75 * World.PlayingDatas.size());
    EXPECT_EQ(File.At("Trailer"), File.Size() - 4);
    EXPECT_EQ(ReadI32(File.Data(), File.At("Trailer")), 0x2A);
}

} // namespace
