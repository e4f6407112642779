#include "DiskFolders.h"
#include "PyxDatabase.h"
#include "PyxSaveTransaction.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <fstream>

// A save killed among its final renames leaves some data files new and some old, with the new ones still waiting
// as temporary files listed in the save's commit journal. The next load must complete the renames, so it never
// reads a mix of two saves.

namespace {

std::string TempName(const std::string& File) {
    return "." + File + ".pyxsave-k1ll3d";
}

void WriteText(const std::filesystem::path& Path, const std::string& Text) {
    std::ofstream(Path, std::ios::binary) << Text;
}

// Dir holds world Old; the files of world New stand beside them as a killed save's temporary files, the first
// Renamed of them already moved into place, and the journal lists them all (plus Extra lines).
void KillAfterRenames(const disk::TTempDir& Dir, const disk::TTempDir& New, int Renamed, const std::string& Extra) {
    std::string Journal = Extra;
    for (int I = 0; I < 6; ++I) {
        const std::string File = wb::DataFileNames[I];
        const auto Target = Dir.Path / (I < Renamed ? File : TempName(File));
        std::filesystem::copy_file(New.Path / File, Target, std::filesystem::copy_options::overwrite_existing);
        Journal += TempName(File) + "\t" + File + "\n";
    }
    WriteText(Dir.Path / ".pyxsave-commit", Journal);
}

wb::TWorld World(uint64_t Seed) {
    wb::TSampleOptions O;
    O.Seed = Seed;
    O.PeopleCount = 40;
    return wb::SampleWorld(O);
}

} // namespace

TEST(SaveJournalTest, ALoadCompletesTheRenamesOfASaveKilledAmongThem) {
    disk::TTempDir Dir("journal_dir"), New("journal_new");
    wb::WriteWorld(World(1), Dir.Str());
    wb::WriteWorld(World(2), New.Str());
    const auto Expected = disk::Snapshot(New.Path);
    for (int Renamed : {0, 2, 5}) {
        wb::WriteWorld(World(1), Dir.Str());
        KillAfterRenames(Dir, New, Renamed, "");
        TPyxDatabase Db;
        ASSERT_NO_THROW(Db.Load(Dir.Str())) << Renamed << " files renamed";
        EXPECT_EQ(disk::Snapshot(Dir.Path), Expected) << Renamed << " files renamed";
        EXPECT_TRUE(disk::HiddenEntries(Dir.Path).empty()) << Renamed << " files renamed";
    }
}

TEST(SaveJournalTest, JournalLinesNamingOtherFilesAreIgnored) {
    disk::TTempDir Dir("journal_hostile"), New("journal_hostile_new");
    wb::WriteWorld(World(1), Dir.Str());
    wb::WriteWorld(World(2), New.Str());
    WriteText(Dir.Path / "keep.txt", "mine");
    WriteText(Dir.Path / ".notes", "hidden but not ours");
    KillAfterRenames(Dir, New, 3, ".notes\tkeep.txt\nkeep.txt\tserver_db.dat\n.server_db.dat.pyxsave-k1ll3d\t../x\n");
    TPyxDatabase Db;
    ASSERT_NO_THROW(Db.Load(Dir.Str()));
    const auto After = disk::Snapshot(Dir.Path);
    EXPECT_EQ(std::string(After.at("keep.txt").begin(), After.at("keep.txt").end()), "mine");
    EXPECT_TRUE(After.count(".notes"));
    EXPECT_EQ(After.at("server_db.dat"), disk::Snapshot(New.Path).at("server_db.dat"));
}

TEST(SaveJournalTest, ACompletedSaveLeavesNoJournal) {
    disk::TTempDir Dir("journal_done"), Out("journal_done_out");
    wb::WriteWorld(World(3), Dir.Str());
    TPyxDatabase Db;
    Db.Load(Dir.Str());
    Db.Save(Out.Str());
    EXPECT_TRUE(disk::HiddenEntries(Out.Path).empty());
}

namespace {

// Writes "server_db.dat" and "people_db.dat" through one save whose rename of Blocked fails: a non-empty folder of
// that name stands where the file was when the save began.
void SaveWithBlockedRename(const disk::TTempDir& Dir, const std::string& Blocked) {
    TPyxSaveTransaction Save(Dir.Str());
    for (const char* File : {"server_db.dat", "people_db.dat"})
        Save.Create(File).Write("new", 3);
    std::filesystem::remove(Dir.Path / Blocked);
    std::filesystem::create_directory(Dir.Path / Blocked);
    WriteText(Dir.Path / Blocked / "inside", "x");
    EXPECT_THROW(Save.Commit(), EAccessDeniedError);
}

std::string Text(const std::map<std::string, std::vector<uint8_t>>& Files, const std::string& Name) {
    return std::string(Files.at(Name).begin(), Files.at(Name).end());
}

} // namespace

TEST(SaveJournalTest, ARenameFailingAfterTheFirstIsCompletedByTheNextLoad) {
    disk::TTempDir Dir("journal_blocked");
    for (const char* File : {"server_db.dat", "people_db.dat"})
        WriteText(Dir.Path / File, "old");
    SaveWithBlockedRename(Dir, "people_db.dat");
    auto Files = disk::Snapshot(Dir.Path);
    EXPECT_EQ(Text(Files, "server_db.dat"), "new");
    EXPECT_TRUE(Files.count(".pyxsave-commit"));

    std::filesystem::remove_all(Dir.Path / "people_db.dat");
    TPyxSaveTransaction::FinishInterruptedSave(Dir.Str());
    Files = disk::Snapshot(Dir.Path);
    EXPECT_EQ(Text(Files, "people_db.dat"), "new");
    EXPECT_TRUE(disk::HiddenEntries(Dir.Path).empty());
}

TEST(SaveJournalTest, AFirstRenameFailingReplacesNothingAndLeavesNothing) {
    disk::TTempDir Dir("journal_blocked_first");
    for (const char* File : {"server_db.dat", "people_db.dat"})
        WriteText(Dir.Path / File, "old");
    SaveWithBlockedRename(Dir, "server_db.dat");
    EXPECT_EQ(Text(disk::Snapshot(Dir.Path), "people_db.dat"), "old");
    EXPECT_TRUE(disk::HiddenEntries(Dir.Path).empty());
}

TEST(SaveJournalTest, ASaveThatCannotWriteItsJournalReplacesNothing) {
    disk::TTempDir Dir("journal_unwritable");
    for (const char* File : {"server_db.dat", "people_db.dat"})
        WriteText(Dir.Path / File, "old");
    std::filesystem::create_directory(Dir.Path / ".pyxsave-commit.new");
    {
        TPyxSaveTransaction Save(Dir.Str());
        for (const char* File : {"server_db.dat", "people_db.dat"})
            Save.Create(File).Write("new", 3);
        EXPECT_THROW(Save.Commit(), EAccessDeniedError);
    }
    const auto Files = disk::Snapshot(Dir.Path);
    EXPECT_EQ(Text(Files, "server_db.dat"), "old");
    EXPECT_EQ(Text(Files, "people_db.dat"), "old");
    EXPECT_EQ(Files.size(), 2u);
}
