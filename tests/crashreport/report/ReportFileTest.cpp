#include "KroReportFile.h"

#include "MailPeersTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>

using mailpeers::ReadWholeFile;
using mailpeers::TTempFolder;

namespace {

// A report as the composer writes one: its header starts with the "date/time" label.
std::string Report(int Number, std::size_t Size) {
    std::string Text =
        "date/time          : 2024-05-0" + std::to_string(Number % 10) + ", report " + std::to_string(Number) + "\r\n";
    while (Text.size() + 12 < Size)
        Text += "line " + std::string(5, static_cast<char>('a' + Number % 26)) + "\r\n";
    Text.resize(Size, '.');
    return Text;
}

TExceptSettings FileSettings(const std::filesystem::path& Path, std::int32_t MaxSize) {
    TExceptSettings Settings = BuiltInSettings;
    Settings.BugReportFile.Assign(Path.string());
    Settings.BugReportFileMaxSize = MaxSize;
    return Settings;
}

} // namespace

TEST(ReportFileTest, ACapOfZeroLeavesOnlyTheNewestReport) {
    TTempFolder Folder;
    const TExceptSettings Settings = FileSettings(Folder.Path / "bugreport.txt", 0);
    ASSERT_TRUE(SaveBugReport(Report(1, 3000), true, Settings));
    ASSERT_TRUE(SaveBugReport(Report(2, 700), false, Settings));
    EXPECT_EQ(ReadWholeFile(Folder.Path / "bugreport.txt"), Report(2, 700) + "\r\n\r\n");
}

TEST(ReportFileTest, TheFileStaysUnderItsCapDroppingTheOldestReportsWhole) {
    TTempFolder Folder;
    const auto Path = Folder.Path / "bugreport.txt";
    const TExceptSettings Settings = FileSettings(Path, 50000);
    const std::size_t Keep = 50000 - 50000 / 4;
    // What the file should hold, report by report.
    std::vector<std::string> InFile;
    auto Total = [&] {
        std::size_t Sum = 0;
        for (const std::string& Entry : InFile)
            Sum += Entry.size();
        return Sum;
    };
    // Reports of all sizes, some alone above three quarters of the cap and some above the whole cap.
    const std::size_t Sizes[] = {9000, 14000, 30000, 5000, 5000, 41000, 2000, 80000, 120, 36000, 37600, 51000, 700};
    int Number = 0;
    for (const std::size_t Size : Sizes) {
        const std::string Text = Report(++Number, Size);
        ASSERT_TRUE(SaveBugReport(Text, true, Settings));
        const std::string File = ReadWholeFile(Path);
        ASSERT_LE(File.size(), 50000u) << "after report " << Number;
        InFile.push_back(Text + "\r\n\r\n");
        if (Total() > 50000) {
            while (InFile.size() > 1 && Total() >= Keep)
                InFile.erase(InFile.begin());
            if (Total() >= Keep) {
                // Alone too large: its beginning up to a line end, and the separator.
                ASSERT_LT(File.size(), Keep);
                ASSERT_GT(File.size(), Keep - 40);
                EXPECT_EQ(File.substr(0, File.size() - 4), Text.substr(0, File.size() - 4));
                EXPECT_EQ(File.substr(File.size() - 6), "\r\n\r\n\r\n");
                InFile.back() = File;
            }
        }
        std::string Expected;
        for (const std::string& Entry : InFile)
            Expected += Entry;
        EXPECT_EQ(File, Expected) << "after report " << Number;
    }
}

TEST(ReportFileTest, ReportsWithoutTheHeaderLabelAreCappedToo) {
    TTempFolder Folder;
    const auto Path = Folder.Path / "bugreport.txt";
    const TExceptSettings Settings = FileSettings(Path, 1000);
    for (int I = 0; I < 20; ++I) {
        const std::string Entry = std::string(300, static_cast<char>('a' + I)) + "\r\n\r\n";
        ASSERT_TRUE(SaveBugReport(Entry.substr(0, 300), true, Settings));
        const std::string File = ReadWholeFile(Path);
        ASSERT_LE(File.size(), 1000u);
        // Without labels only the newest report can be told apart: a trimmed file holds it alone.
        const std::size_t Held = I % 3 == 0 ? 1 : I % 3 == 1 ? 2 : 3;
        ASSERT_EQ(File.size(), (I < 3 ? static_cast<std::size_t>(I + 1) : Held) * Entry.size()) << I;
        EXPECT_EQ(File.substr(File.size() - Entry.size()), Entry);
    }
}

TEST(ReportFileTest, AFileHeldByAnotherSaveIsRefusedAndLeftAlone) {
    TTempFolder Folder;
    const auto Path = Folder.Path / "bugreport.txt";
    const TExceptSettings Settings = FileSettings(Path, 50000);
    ASSERT_TRUE(SaveBugReport(Report(1, 100), true, Settings));
    const int Other = open(Path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(Other, 0);
    ASSERT_EQ(flock(Other, LOCK_EX), 0);
    EXPECT_FALSE(SaveBugReport(Report(2, 100), true, Settings));
    close(Other);
    EXPECT_EQ(ReadWholeFile(Path), Report(1, 100) + "\r\n\r\n");
    // A folder cannot be the report file.
    EXPECT_FALSE(SaveBugReport(Report(3, 100), true, FileSettings(Folder.Path, 50000)));
}

TEST(ReportFileTest, AWriteThatFailsLeavesNoHalfReportBehind) {
    TTempFolder Folder;
    const auto Path = Folder.Path / "bugreport.txt";
    const TExceptSettings Settings = FileSettings(Path, 50000);
    ASSERT_TRUE(SaveBugReport(Report(1, 100), true, Settings));
    // A disk that fills up halfway through the next report: files may not grow past 1000 bytes for a moment.
    rlimit Old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Old), 0);
    const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit Small = Old;
    Small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);
    const bool Saved = SaveBugReport(Report(2, 5000), true, Settings);
    const bool SavedNew = SaveBugReport(Report(3, 5000), true, FileSettings(Folder.Path / "new.txt", 50000));
    setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, OldHandler);
    EXPECT_FALSE(Saved);
    EXPECT_FALSE(SavedNew);
    EXPECT_EQ(ReadWholeFile(Path), Report(1, 100) + "\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(Folder.Path / "new.txt"));
}
