// A save never damages the folder: a save that is refused leaves every file as it was and no temporary file
// behind; a save killed at any moment leaves every file whole, old or new; the next save clears what a killed one
// left.

#include "DiskFolders.h"
#include "PyxDatabase.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <thread>

using disk::TTempDir;
namespace fs = std::filesystem;

namespace {

using TSnapshot = std::map<std::string, std::vector<uint8_t>>;

wb::TWorld World(int People) {
    wb::TSampleOptions O;
    O.PeopleCount = People;
    O.LanguageCount = 3;
    return wb::SampleWorld(O);
}

// Changes something in every one of the six files, so that a save that went through would show in each.
void ChangeEveryFile(TPyxDatabase& Db) {
    for (int32_t I = 0; I < Db.Clubs.Count(); ++I)
        Db.Clubs.Items(I)->Balance += 1000; // server_db.dat
    for (int32_t I = 0; I < Db.People.Count(); ++I) {
        TPyxPerson* P = Db.People.Items(I);
        P->PersonValue1 += 1; // people_db.dat
        if (P->PlayingHistory)
            for (int32_t J = 0; J < P->PlayingHistory->Count(); ++J)
                P->PlayingHistory->Items(J)->Goals += 1; // pl_hist_dt.dat
    }
    for (int32_t I = 0; I < Db.Cities.Count(); ++I)
        Db.Cities.Items(I)->CitizenName += u"s"; // lang_db.dat
    // The index and id files change with the number of histories: a new one for a person without.
    for (int32_t I = 0; I < Db.People.Count(); ++I) {
        TPyxPerson* P = Db.People.Items(I);
        if (!P->PlayingHistory || P->PlayingHistory->Count() == 0) {
            auto H = std::make_unique<TPyxPlayingHistory>();
            auto E = std::make_unique<TPyxPlayingHistoryEntry>();
            E->Season = 2001;
            H->Add(std::move(E));
            P->SetPlayingHistory(std::move(H));
            break;
        }
    }
}

std::string SaveMessage(TPyxDatabase& Db, const std::string& Path) {
    try {
        Db.Save(Path);
    } catch (const EAccessDeniedError& E) {
        return std::string("EAccessDeniedError: ") + E.what();
    } catch (const EPyxError& E) {
        return std::string(E.ClassName()) + ": " + E.what();
    }
    return "saved";
}

std::string Protected(const std::string& File) {
    return "EAccessDeniedError: Couldn't access " + File + ".\r\nMake sure the file isn't write protected.";
}

class SaveSafetyTest : public testing::Test {
protected:
    void SetUp() override {
        wb::WriteWorld(World(12), Dir.Str());
        Before = disk::Snapshot(Dir.Path);
        ASSERT_NO_THROW(Db.Load(Dir.Str()));
        ChangeEveryFile(Db);
    }

    void ExpectFolderAsBefore(const std::string& What) {
        EXPECT_TRUE(disk::Snapshot(Dir.Path) == Before) << What << ": the folder's files changed";
        EXPECT_TRUE(disk::HiddenEntries(Dir.Path).empty()) << What << ": a temporary file was left behind";
    }

    TTempDir Dir{"savesafety"};
    TSnapshot Before;
    TPyxDatabase Db;
};

} // namespace

TEST_F(SaveSafetyTest, ASaveThatGoesThroughChangesEveryFile) {
    ASSERT_EQ(SaveMessage(Db, Dir.Str()), "saved");
    const TSnapshot After = disk::Snapshot(Dir.Path);
    for (const char* File : wb::DataFileNames)
        EXPECT_NE(After.at(File), Before.at(File)) << File;
    EXPECT_TRUE(disk::HiddenEntries(Dir.Path).empty());
    TPyxDatabase Again;
    EXPECT_NO_THROW(Again.Load(Dir.Str()));
}

TEST_F(SaveSafetyTest, ASaveThatFailsHalfWayChangesNothing) {
    // A list too long for its count byte fails the save in the middle of server_db.dat, after the first tables were
    // written to the temporary file.
    TPyxClub* Club = Db.Clubs.Items(0);
    ASSERT_TRUE(Club);
    for (int I = 0; I < 256; ++I)
        Club->BoardMembers.Add(Db.People.Items(0));
    const std::string Message = SaveMessage(Db, Dir.Str());
    EXPECT_TRUE(Message.rfind("EFileCorruptError: Couldn't save Clubs.\r\n", 0) == 0) << Message;
    ExpectFolderAsBefore("a save failing in the Clubs table");
}

TEST_F(SaveSafetyTest, AWriteProtectedFileRefusesTheSaveAndChangesNothing) {
    // Root may write any file, so a file without any write permission counts as write-protected for everyone.
    for (const char* File : wb::DataFileNames) {
        fs::permissions(Dir.File(File), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        EXPECT_EQ(SaveMessage(Db, Dir.Str()), Protected(File));
        fs::permissions(Dir.File(File), fs::perms::owner_write, fs::perm_options::add);
        ExpectFolderAsBefore(std::string("saving with ") + File + " write-protected");
    }
}

TEST_F(SaveSafetyTest, AFileTheUserMayNotWriteRefusesTheSave) {
    const fs::perms Everyone = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                               fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    for (const char* File : {"server_db.dat", "lang_db.dat"}) {
        // The folder and every other file may be written by everyone; this file only by its owner, root.
        fs::permissions(Dir.Path, fs::perms::all);
        for (const char* Other : wb::DataFileNames)
            fs::permissions(Dir.File(Other), Everyone);
        fs::permissions(Dir.File(File), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
        EXPECT_EQ(disk::RunUnprivileged([&] {
                      TPyxDatabase Mine;
                      Mine.Load(Dir.Str());
                      ChangeEveryFile(Mine);
                      return SaveMessage(Mine, Dir.Str());
                  }),
                  disk::IsRoot() ? Protected(File) : std::string("saved"));
        fs::permissions(Dir.Path, fs::perms::others_write | fs::perms::group_write, fs::perm_options::remove);
        if (disk::IsRoot())
            ExpectFolderAsBefore(std::string("saving as another user with ") + File + " not writable");
    }
}

TEST_F(SaveSafetyTest, AWriteProtectedFolderRefusesTheSaveAndChangesNothing) {
    fs::permissions(Dir.Path,
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(SaveMessage(Db, Dir.Str()), Protected("server_db.dat"));
    fs::permissions(Dir.Path, fs::perms::owner_write, fs::perm_options::add);
    ExpectFolderAsBefore("saving into a write-protected folder");
}

TEST_F(SaveSafetyTest, AFolderTheUserMayNotWriteRefusesTheSave) {
    // The folder is root's and writable only by root; the save runs as another user.
    EXPECT_EQ(disk::RunUnprivileged([&] {
                  TPyxDatabase Mine;
                  Mine.Load(Dir.Str());
                  return SaveMessage(Mine, Dir.Str());
              }),
              disk::IsRoot() ? Protected("server_db.dat") : std::string("saved"));
    if (disk::IsRoot())
        ExpectFolderAsBefore("saving into another user's folder");
}

TEST_F(SaveSafetyTest, AFolderThatDoesNotExistRefusesTheSave) {
    EXPECT_EQ(SaveMessage(Db, Dir.File("no such folder")), Protected("server_db.dat"));
    ExpectFolderAsBefore("saving into a missing folder");
}

TEST_F(SaveSafetyTest, AFolderInPlaceOfAFileRefusesTheSave) {
    fs::remove(Dir.File("people_db.dat"));
    fs::create_directory(Dir.File("people_db.dat"));
    Before = disk::Snapshot(Dir.Path);
    EXPECT_EQ(SaveMessage(Db, Dir.Str()), Protected("people_db.dat"));
    ExpectFolderAsBefore("saving over a folder named people_db.dat");
}

TEST_F(SaveSafetyTest, ASecondSaveIntoAFolderBeingSavedIsRefused) {
    const int Lock = ::open(Dir.Path.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(Lock, 0);
    ASSERT_EQ(::flock(Lock, LOCK_EX), 0);
    EXPECT_EQ(SaveMessage(Db, Dir.Str()),
              "EAccessDeniedError: Couldn't access server_db.dat.\r\nAnother save into this folder is in progress.");
    ::close(Lock);
    ExpectFolderAsBefore("saving while another save holds the folder");
    EXPECT_EQ(SaveMessage(Db, Dir.Str()), "saved");
}

TEST_F(SaveSafetyTest, StaleTemporaryFilesNeitherStopALoadNorSurviveTheNextSave) {
    const std::vector<std::string> Stale = {".server_db.dat.pyxsave-AbC123", ".lang_db.dat.pyxsave-zz9zzz",
                                            ".pl_hist_dt.dat.pyxsave-000000"};
    const std::vector<std::string> Kept = {".server_db.dat.backup", ".people_db.dat.pyxsave-toolong1", "notes.txt"};
    for (const auto& Name : Stale)
        std::ofstream(Dir.File(Name)) << "half a file";
    for (const auto& Name : Kept)
        std::ofstream(Dir.File(Name)) << "not ours";
    TPyxDatabase Fresh;
    ASSERT_NO_THROW(Fresh.Load(Dir.Str()));
    ASSERT_EQ(SaveMessage(Fresh, Dir.Str()), "saved");
    for (const auto& Name : Stale)
        EXPECT_FALSE(fs::exists(Dir.File(Name))) << Name;
    for (const auto& Name : Kept)
        EXPECT_TRUE(fs::exists(Dir.File(Name))) << Name;
}

namespace {

// A large world saved over a folder by a child process that is killed at a spread of moments: afterwards every
// data file is whole, either as it was or as the save writes it, the folder loads, and the next save leaves no
// temporary file behind.
class KilledSaveTest : public testing::Test {
protected:
    void WriteOld() {
        for (const auto& [Name, Bytes] : Old)
            wb::WriteFileBytes(Dir.File(Name), Bytes);
        for (const auto& Name : disk::HiddenEntries(Dir.Path))
            fs::remove(Dir.File(Name));
    }

    TTempDir Dir{"killedsave"};
    TTempDir Reference{"killedsave_ref"};
    TSnapshot Old, New;
};

} // namespace

TEST_F(KilledSaveTest, EveryFileIsWholeOldOrNewAndTheFolderLoads) {
    wb::WriteWorld(World(800), Dir.Str());
    Old = disk::Snapshot(Dir.Path);
    // What the save writes, and how long it takes.
    auto Start = std::chrono::steady_clock::now();
    {
        TPyxDatabase Db;
        Db.Load(Dir.Str());
        ChangeEveryFile(Db);
        Start = std::chrono::steady_clock::now();
        Db.Save(Reference.Str());
    }
    const auto SaveTime = std::chrono::steady_clock::now() - Start;
    New = disk::Snapshot(Reference.Path);
    for (const char* File : wb::DataFileNames)
        ASSERT_NE(Old.at(File), New.at(File)) << File;

    constexpr int Trials = 10;
    int AllOld = 0, AllNew = 0, Mixed = 0, LeftTemporaries = 0;
    for (int Trial = 0; Trial < Trials; ++Trial) {
        WriteOld();
        int Ready[2];
        ASSERT_EQ(::pipe(Ready), 0);
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            ::close(Ready[0]);
            TPyxDatabase Db;
            Db.Load(Dir.Str());
            ChangeEveryFile(Db);
            const char Go = 'r';
            if (::write(Ready[1], &Go, 1) != 1)
                ::_exit(3);
            try {
                Db.Save(Dir.Str());
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        ::close(Ready[1]);
        char Go = 0;
        ASSERT_EQ(::read(Ready[0], &Go, 1), 1) << "the child did not load the folder";
        ::close(Ready[0]);
        // Delays from none to well past the save's own time; the last trial lets the save finish.
        if (Trial + 1 < Trials) {
            std::this_thread::sleep_for(SaveTime * Trial / (Trials - 3));
            ::kill(Child, SIGKILL);
        }
        int Status = 0;
        ::waitpid(Child, &Status, 0);
        if (Trial + 1 == Trials) {
            ASSERT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << "the unkilled save failed";
        }

        const TSnapshot After = disk::Snapshot(Dir.Path);
        int OldFiles = 0, NewFiles = 0;
        for (const char* File : wb::DataFileNames) {
            ASSERT_TRUE(After.count(File)) << File << " is missing after trial " << Trial;
            const auto& Bytes = After.at(File);
            ASSERT_TRUE(Bytes == Old.at(File) || Bytes == New.at(File))
                << File << " is torn after trial " << Trial << " (" << Bytes.size() << " bytes)";
            (Bytes == Old.at(File) ? OldFiles : NewFiles) += 1;
        }
        (OldFiles == 6 ? AllOld : NewFiles == 6 ? AllNew : Mixed) += 1;
        if (!disk::HiddenEntries(Dir.Path).empty())
            ++LeftTemporaries;

        // The folder loads, and the next save clears what the killed one left.
        TPyxDatabase Next;
        ASSERT_NO_THROW(Next.Load(Dir.Str())) << "after trial " << Trial;
        ASSERT_NO_THROW(Next.Save(Dir.Str())) << "after trial " << Trial;
        EXPECT_TRUE(disk::HiddenEntries(Dir.Path).empty()) << "after trial " << Trial;
    }
    std::cout << "killed saves: " << AllOld << " left the old files, " << AllNew << " the new ones, " << Mixed
              << " a mix; " << LeftTemporaries << " left temporary files (save time "
              << std::chrono::duration_cast<std::chrono::milliseconds>(SaveTime).count() << " ms)\n";
    EXPECT_GE(AllOld, 1);
    EXPECT_GE(AllNew, 1);
    EXPECT_GE(LeftTemporaries, 1) << "no kill hit the save while it wrote";
}
