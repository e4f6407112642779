// Data files that cannot be read: missing, unreadable, not a file, or a folder path that is a file. Each gives the
// access error naming the file, and none makes the load wait.

#include "DiskFolders.h"
#include "PyxDatabase.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <sys/stat.h>

using disk::TTempDir;

namespace {

std::string LoadMessage(const std::string& Path) {
    TPyxDatabase Db;
    try {
        Db.Load(Path);
    } catch (const EAccessDeniedError& E) {
        return std::string("EAccessDeniedError: ") + E.what();
    } catch (const EPyxError& E) {
        return std::string(E.ClassName()) + ": " + E.what();
    }
    return "loaded";
}

std::string AccessMessage(const std::string& File) {
    return "EAccessDeniedError: Couldn't access " + File + ".\r\nMake sure the Pyx Path is correct.";
}

class AccessTest : public testing::Test {
protected:
    void SetUp() override {
        wb::TSampleOptions O;
        O.PeopleCount = 12;
        O.LanguageCount = 2;
        wb::WriteWorld(wb::SampleWorld(O), Dir.Str());
        ASSERT_EQ(LoadMessage(Dir.Str()), "loaded");
    }

    TTempDir Dir{"access"};
};

} // namespace

TEST_F(AccessTest, AMissingFileIsNamed) {
    for (const char* File : wb::DataFileNames) {
        const std::string Saved = Dir.File(std::string(File) + ".away");
        std::filesystem::rename(Dir.File(File), Saved);
        EXPECT_EQ(LoadMessage(Dir.Str()), AccessMessage(File));
        std::filesystem::rename(Saved, Dir.File(File));
    }
}

TEST_F(AccessTest, MissingHistoryFilesDoNotMatterWhenHistoriesAreNotLoaded) {
    for (const char* File : {"pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"})
        std::filesystem::remove(Dir.File(File));
    TPyxDatabase Db;
    Db.LoadPlayingHistories = false;
    EXPECT_NO_THROW(Db.Load(Dir.Str()));
}

TEST_F(AccessTest, AFolderInPlaceOfAFileIsNamed) {
    for (const char* File : wb::DataFileNames) {
        const std::string Saved = Dir.File(std::string(File) + ".away");
        std::filesystem::rename(Dir.File(File), Saved);
        std::filesystem::create_directory(Dir.File(File));
        EXPECT_EQ(LoadMessage(Dir.Str()), AccessMessage(File));
        std::filesystem::remove(Dir.File(File));
        std::filesystem::rename(Saved, Dir.File(File));
    }
}

TEST_F(AccessTest, ANamedPipeInPlaceOfAFileIsNamedWithoutWaiting) {
    // Opening a pipe for reading would wait for a writer for ever; the alarm ends the test program if it does.
    for (const char* File : wb::DataFileNames) {
        const std::string Saved = Dir.File(std::string(File) + ".away");
        std::filesystem::rename(Dir.File(File), Saved);
        ASSERT_EQ(::mkfifo(Dir.File(File).c_str(), 0644), 0);
        ::alarm(20);
        EXPECT_EQ(LoadMessage(Dir.Str()), AccessMessage(File));
        ::alarm(0);
        std::filesystem::remove(Dir.File(File));
        std::filesystem::rename(Saved, Dir.File(File));
    }
}

TEST_F(AccessTest, ADanglingLinkInPlaceOfAFileIsNamed) {
    for (const char* File : wb::DataFileNames) {
        const std::string Saved = Dir.File(std::string(File) + ".away");
        std::filesystem::rename(Dir.File(File), Saved);
        std::filesystem::create_symlink(Dir.File("nowhere"), Dir.File(File));
        EXPECT_EQ(LoadMessage(Dir.Str()), AccessMessage(File));
        std::filesystem::remove(Dir.File(File));
        std::filesystem::rename(Saved, Dir.File(File));
    }
}

TEST_F(AccessTest, AnUnreadableFileIsNamed) {
    for (const char* File : wb::DataFileNames) {
        std::filesystem::permissions(Dir.File(File), std::filesystem::perms::none);
        EXPECT_EQ(disk::RunUnprivileged([&] { return LoadMessage(Dir.Str()); }), AccessMessage(File));
        std::filesystem::permissions(Dir.File(File), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_write |
                                                         std::filesystem::perms::others_read);
    }
    // With read permission back the same user loads the folder: the refusals above were the permissions'.
    EXPECT_EQ(disk::RunUnprivileged([&] { return LoadMessage(Dir.Str()); }), "loaded");
}

TEST_F(AccessTest, AFolderPathThatIsAFileNamesTheFirstFile) {
    EXPECT_EQ(LoadMessage(Dir.File("server_db.dat")), AccessMessage("server_db.dat"));
    EXPECT_EQ(LoadMessage(Dir.File("server_db.dat") + "/"), AccessMessage("server_db.dat"));
}

TEST_F(AccessTest, AFolderPathThatDoesNotExistNamesTheFirstFile) {
    EXPECT_EQ(LoadMessage(Dir.File("no such folder")), AccessMessage("server_db.dat"));
}

TEST_F(AccessTest, AnUnreadableFolderNamesTheFirstFile) {
    std::filesystem::permissions(Dir.Path, std::filesystem::perms::none);
    EXPECT_EQ(disk::RunUnprivileged([&] { return LoadMessage(Dir.Str()); }), AccessMessage("server_db.dat"));
}
