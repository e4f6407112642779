// The two load options: without playing histories the three history files are neither read nor written, and
// without all languages only the default language's block of lang_db.dat is read and the file is not written.

#include "PeopleTestSupport.h"

#include "SampleWorld.h"

#include <chrono>

namespace {

namespace fs = std::filesystem;

const char* const HistoryFiles[] = {"pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"};

wb::TWorld Sample(int Languages, int DefaultPosition, bool Histories) {
    wb::TSampleOptions O;
    O.Version = 145;
    O.LanguageCount = Languages;
    O.DefaultLanguagePosition = DefaultPosition;
    O.PeopleCount = 14;
    O.Histories = Histories;
    return wb::SampleWorld(O);
}

// Sets a file's modification time well into the past, so that any rewrite shows.
fs::file_time_type Age(const std::string& Path) {
    const auto Old = fs::last_write_time(Path) - std::chrono::hours(240);
    fs::last_write_time(Path, Old);
    return Old;
}

} // namespace

TEST(LoadOptions, WithoutHistoriesAFolderWithoutHistoryFilesLoadsAndSavesNone) {
    const wb::TWorld W = Sample(2, 1, false);
    pt::TFolder In, Out;
    wb::WriteWorld(W, In.Str());
    TPyxDatabase Db;
    Db.LoadPlayingHistories = false;
    ASSERT_EQ(pt::FailureOf([&] { Db.Load(In.Str()); }), "");
    ASSERT_EQ(pt::FailureOf([&] { Db.Save(Out.Str()); }), "");
    for (const char* Name : HistoryFiles)
        EXPECT_FALSE(Out.Has(Name)) << Name;
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(LoadOptions, WithoutHistoriesTheHistoryFilesAreNeitherReadNorWritten) {
    wb::TWorld W = Sample(3, 2, true);
    // Headers no load would accept: reading them at all would fail.
    W.Histories->IndexVersion = 146;
    W.Histories->IdVersion = 9;
    W.Histories->DataVersion = 9;
    pt::TFolder Folder;
    const wb::TWorldFiles Files = wb::WriteWorld(W, Folder.Str());
    std::vector<fs::file_time_type> Times;
    for (const char* Name : HistoryFiles)
        Times.push_back(Age(Folder.File(Name)));

    TPyxDatabase Db;
    Db.LoadPlayingHistories = false;
    ASSERT_EQ(pt::FailureOf([&] { Db.Load(Folder.Str()); }), "");
    Db.People.ForEach([](const TPyxPerson* P) { EXPECT_EQ(P->PlayingHistory, nullptr); });
    ASSERT_EQ(pt::FailureOf([&] { Db.Save(Folder.Str()); }), "");

    const wb::TFileImage* Images[] = {&Files.History->Index, &Files.History->Id, &Files.History->Data};
    for (std::size_t K = 0; K < 3; ++K) {
        SCOPED_TRACE(HistoryFiles[K]);
        EXPECT_EQ(wb::DescribeDifference(*Images[K], wb::ReadFileBytes(Folder.File(HistoryFiles[K]))), "");
        EXPECT_EQ(fs::last_write_time(Folder.File(HistoryFiles[K])), Times[K]);
    }
    // The same folder with the option set is refused, so the files above were really never read.
    TPyxDatabase Reader;
    EXPECT_NE(pt::FailureOf([&] { Reader.Load(Folder.Str()); }), "");
}

TEST(LoadOptions, WithoutAllLanguagesOnlyTheDefaultBlockIsReadAndLangFileIsNotWritten) {
    const wb::TWorld W = Sample(4, 2, false);
    wb::TWorldFiles Files = wb::BuildFiles(W);
    // The blocks of the other languages cannot be read: their first table claims more records than the file has.
    for (std::size_t K = 0; K < W.LangDirectory.size(); ++K)
        if (W.LangDirectory[K] != wb::DefaultLanguageUniqueID)
            Files.Lang.Bytes.PatchI32(Files.Lang.At(wb::IndexedName("Block", K) + ".Cities"), 0x7FFFFFF0);
    pt::TFolder Folder;
    pt::WriteFiles(Files, Folder);
    const auto LangTime = Age(Folder.File("lang_db.dat"));

    TPyxDatabase All;
    All.LoadPlayingHistories = false;
    EXPECT_NE(pt::FailureOf([&] { All.Load(Folder.Str()); }), "");

    TPyxDatabase Db;
    Db.LoadPlayingHistories = false;
    Db.LoadAllLanguages = false;
    ASSERT_EQ(pt::FailureOf([&] { Db.Load(Folder.Str()); }), "");
    EXPECT_EQ(Db.LangFileLanguages.size(), W.LangDirectory.size());
    ASSERT_GT(Db.Cities.Count(), 0);
    EXPECT_EQ(Db.Cities.Items(0)->LangObjects, nullptr);
    EXPECT_EQ(Db.Clubs.Items(0)->LangObjects, nullptr);
    EXPECT_EQ(Db.Clubs.Items(0)->GetName(), W.Clubs[0].Texts.at(wb::DefaultLanguageUniqueID).Name);
    ASSERT_EQ(pt::FailureOf([&] { Db.Save(Folder.Str()); }), "");

    EXPECT_EQ(wb::DescribeDifference(Files.Lang, wb::ReadFileBytes(Folder.File("lang_db.dat"))), "");
    EXPECT_EQ(fs::last_write_time(Folder.File("lang_db.dat")), LangTime);
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Folder, false);
}

TEST(LoadOptions, SwitchingAnOptionOnAfterTheLoadWritesNoFileThatWasNotRead) {
    // The histories or the other languages were never read: writing their files would replace what the folder
    // holds with nothing (and the history files with headers that were never read).
    for (bool Histories : {true, false}) {
        SCOPED_TRACE(Histories ? "histories switched on" : "all languages switched on");
        const wb::TWorld W = Sample(3, 1, true);
        pt::TFolder Folder;
        const wb::TWorldFiles Files = wb::WriteWorld(W, Folder.Str());
        std::vector<fs::file_time_type> Times;
        for (const char* Name : HistoryFiles)
            Times.push_back(Age(Folder.File(Name)));
        const auto LangTime = Age(Folder.File("lang_db.dat"));

        TPyxDatabase Db;
        (Histories ? Db.LoadPlayingHistories : Db.LoadAllLanguages) = false;
        ASSERT_EQ(pt::FailureOf([&] { Db.Load(Folder.Str()); }), "");
        Db.LoadPlayingHistories = true;
        Db.LoadAllLanguages = true;
        ASSERT_EQ(pt::FailureOf([&] { Db.Save(Folder.Str()); }), "");

        const wb::TFileImage* Images[] = {&Files.History->Index, &Files.History->Id, &Files.History->Data};
        if (Histories)
            for (std::size_t K = 0; K < 3; ++K) {
                SCOPED_TRACE(HistoryFiles[K]);
                EXPECT_EQ(wb::DescribeDifference(*Images[K], wb::ReadFileBytes(Folder.File(HistoryFiles[K]))), "");
                EXPECT_EQ(fs::last_write_time(Folder.File(HistoryFiles[K])), Times[K]);
            }
        else {
            EXPECT_EQ(wb::DescribeDifference(Files.Lang, wb::ReadFileBytes(Folder.File("lang_db.dat"))), "");
            EXPECT_EQ(fs::last_write_time(Folder.File("lang_db.dat")), LangTime);
        }
        // The folder still loads whole and says what it said before.
        TPyxDatabase Again;
        ASSERT_NO_FATAL_FAILURE(pt::Load(Again, Folder));
        wb::TWorld Expected = W;
        wb::ApplySaveOrder(Expected);
        pt::ExpectFiles(wb::BuildFiles(Expected), Folder);
    }
}
