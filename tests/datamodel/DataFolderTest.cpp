// Loading and saving through a folder in memory is loading and saving through the disk, without the disk.

#include "DiskFolders.h"
#include "PyxDatabase.h"
#include "SampleWorld.h"
#include "Writers.h"

namespace {

wb::TWorld World() {
    wb::TSampleOptions O;
    O.PeopleCount = 12;
    O.LanguageCount = 3;
    O.DefaultLanguagePosition = 1;
    return wb::SampleWorld(O);
}

TPyxMemoryFolder InMemory(const wb::TWorldFiles& Files) {
    TPyxMemoryFolder Folder;
    for (const auto& [Name, Image] : wb::NamedImages(Files))
        Folder.Files[Name] = Image->Data();
    return Folder;
}

} // namespace

TEST(DataFolderTest, AMemoryFolderLoadsAndSavesWhatTheDiskDoes) {
    const wb::TWorld W = World();
    disk::TTempDir In("folder_in"), Out("folder_out");
    const wb::TWorldFiles Files = wb::WriteWorld(W, In.Str());
    TPyxDatabase FromDisk, FromMemory;
    FromDisk.Load(In.Str());
    FromDisk.Save(Out.Str());
    TPyxMemoryFolder Memory = InMemory(Files);
    FromMemory.Load(Memory);
    TPyxMemoryFolder Saved;
    FromMemory.Save(Saved);
    EXPECT_TRUE(disk::Snapshot(Out.Path) == Saved.Files);
    EXPECT_EQ(Saved.Files.at("server_db.dat"), Files.Server.Data());
}

TEST(DataFolderTest, AFileMissingFromAMemoryFolderIsAnAccessError) {
    TPyxMemoryFolder Memory = InMemory(wb::BuildFiles(World()));
    Memory.Files.erase("pl_hist_id.dat");
    TPyxDatabase Db;
    try {
        Db.Load(Memory);
        FAIL() << "loaded without pl_hist_id.dat";
    } catch (const EAccessDeniedError& E) {
        EXPECT_STREQ(E.what(), "Couldn't access pl_hist_id.dat.\r\nMake sure the Pyx Path is correct.");
    }
}

TEST(DataFolderTest, AFailedSaveLeavesAMemoryFolderAsItWas) {
    TPyxMemoryFolder Memory = InMemory(wb::BuildFiles(World()));
    TPyxDatabase Db;
    Db.Load(Memory);
    Db.Clubs.Items(0)->Balance = 12345;
    for (int I = 0; I < 300; ++I)
        Db.Nations.Items(0)->Languages.Add(Db.Languages.Items(0));
    const auto Before = Memory.Files;
    EXPECT_THROW(Db.Save(Memory), EFileCorruptError);
    EXPECT_TRUE(Memory.Files == Before);
}
