#pragma once

// Helpers shared by the tests of server_db.dat, lang_db.dat and the database's file level: temporary folders,
// loading a builder world, exact failure texts, comparing written files with the builder's images.

#include "PyxDatabase.h"

#include "DiskFolders.h"
#include "Records.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace servertest {

namespace fs = std::filesystem;

using disk::TTempDir;

// The sample world of a version, without playing histories.
inline wb::TWorld Sample(int16_t Version = 147) {
    wb::TSampleOptions Options;
    Options.Version = Version;
    Options.Histories = false;
    return wb::SampleWorld(Options);
}

// "<class>: <message>" of the failure, or "" when F completes.
template <class F> std::string FailureOf(F&& Action) {
    try {
        Action();
    } catch (const EPyxError& E) {
        return std::string(E.ClassName()) + ": " + E.what();
    }
    return "";
}

// The message of a load failure at "Entity Number" Index of a table, as the database reports it.
inline std::string TableLoadFailure(const std::string& Table, int Index, std::size_t Position,
                                    const std::string& ClassName, const std::string& Inner) {
    return "EFileCorruptError: Data file seems to be corrupt, couldn't load " + Table +
           ".\r\nError Loading Entity Number: " + std::to_string(Index) +
           "\r\nFile Position: " + std::to_string(Position) + "\r\nClass Type: " + ClassName + "\r\n" + Inner;
}

// Writes World to Dir and loads it into Db (the playing histories when the world has them); the failure text or "".
inline std::string LoadFailure(const wb::TWorld& World, TPyxDatabase& Db, const TTempDir& Dir) {
    wb::WriteWorld(World, Dir.Str());
    Db.LoadPlayingHistories = World.Histories.has_value();
    return FailureOf([&] { Db.Load(Dir.Str()); });
}

// The failure text of loading World, or "" when it loads.
inline std::string LoadFailure(const wb::TWorld& World) {
    TTempDir Dir("in");
    TPyxDatabase Db;
    return LoadFailure(World, Db, Dir);
}

// Every regular file of a folder with its bytes.
inline std::map<std::string, std::vector<uint8_t>> Snapshot(const TTempDir& Dir) {
    std::map<std::string, std::vector<uint8_t>> Files;
    for (const auto& Entry : fs::directory_iterator(Dir.Path))
        Files[Entry.path().filename().string()] =
            Entry.is_regular_file() ? wb::ReadFileBytes(Entry.path().string()) : std::vector<uint8_t>{};
    return Files;
}

// Expects the written file Name of Dir to hold exactly the image.
inline void ExpectFile(const wb::TFileImage& Expected, const TTempDir& Dir, const std::string& Name) {
    EXPECT_EQ(wb::DescribeDifference(Expected, wb::ReadFileBytes(Dir.File(Name))), "") << Name;
}

// Expects server_db.dat, people_db.dat and lang_db.dat of Dir to be the files the builder writes for Expected.
inline void ExpectSavedAs(const wb::TWorld& Expected, const TTempDir& Dir) {
    const wb::TWorldFiles Files = wb::BuildFiles(Expected);
    ExpectFile(Files.Server, Dir, "server_db.dat");
    ExpectFile(Files.People, Dir, "people_db.dat");
    ExpectFile(Files.Lang, Dir, "lang_db.dat");
}

// Loads World, saves it to a second folder and expects the builder's files of Expected there.
inline void ExpectLoadSaveWrites(const wb::TWorld& World, const wb::TWorld& Expected) {
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    const std::string Failure = FailureOf([&] {
        if (std::string Load = LoadFailure(World, Db, In); !Load.empty())
            throw EPyxError(Load);
        Db.Save(Out.Str());
    });
    ASSERT_EQ(Failure, "");
    ExpectSavedAs(Expected, Out);
}

// Where two encodings of one record first differ: the offset of the field a test changed, counted from the
// record's first byte, independent of how the model reads it.
template <class T> std::size_t FieldOffset(const T& Record, const T& Changed, int16_t Version) {
    wb::TBytes A, B;
    wb::WriteRecord(A, Record, Version);
    wb::WriteRecord(B, Changed, Version);
    const auto& X = A.Data();
    const auto& Y = B.Data();
    std::size_t At = 0;
    while (At < X.size() && At < Y.size() && X[At] == Y[At])
        ++At;
    return At;
}

// A world with one nation, its club and the club's first team (sharing the club's UniqueID), and one stadium:
// the smallest world with a team, for tests that add what they need.
inline wb::TWorld ClubWorld(int16_t Version) {
    wb::TWorld World = wb::EmptyWorld(Version);
    wb::TNation Nation;
    Nation.ID = 0;
    Nation.UniqueID = 300;
    Nation.Texts[wb::DefaultLanguageUniqueID].Name = u"Nordland";
    World.Nations.push_back(Nation);
    wb::TClub Club;
    Club.ID = 0;
    Club.UniqueID = 100;
    Club.NationID = 0;
    Club.Texts[wb::DefaultLanguageUniqueID].Name = u"Northport";
    Club.Container.TeamIDs = {0};
    if (Version == 112) {
        Club.ClubValue3 = 1;
        Club.ClubValue4 = 2;
    }
    World.Clubs.push_back(Club);
    wb::TTeam Team;
    Team.ID = 0;
    Team.UniqueID = 100;
    Team.ContainerID = 0;
    Team.StadiumID = 0;
    World.Teams.push_back(Team);
    wb::TStadium Stadium;
    Stadium.ID = 0;
    Stadium.UniqueID = 500;
    Stadium.ClubID = 0;
    World.Stadiums.push_back(Stadium);
    return World;
}

// Puts a world built by hand into the form a save keeps: the server records repeat the default-language texts and
// the languages carry the offsets of their blocks.
inline void Finish(wb::TWorld& World) {
    wb::SyncServerTexts(World);
    wb::AlignLangFileOffsets(World);
}

} // namespace servertest
