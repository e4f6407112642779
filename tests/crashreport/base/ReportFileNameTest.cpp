#include "KroReportFileName.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(ReportFileNameTest, TheFileNameTakesTheProgramsNameAndARelativeNameLiesBesideTheProgram) {
    TExceptSettings Settings = BuiltInSettings;
    Settings.BugReportFile = "%APPNAME%.txt";
    EXPECT_EQ(ApplicationName(), "kroexcept_tests");
    EXPECT_EQ(GetBugReportFileName(Settings), "kroexcept_tests.txt");
    const std::string Program = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string Folder = Program.substr(0, Program.rfind('/') + 1);
    EXPECT_EQ(BugReportFilePath(Settings), Folder + "kroexcept_tests.txt");
    Settings.BugReportFile = "/var/tmp/%AppName%-%appname%.log";
    EXPECT_EQ(BugReportFilePath(Settings), "/var/tmp/kroexcept_tests-kroexcept_tests.log");
    EXPECT_EQ(ExpandAppName("%appname% crashed"), "kroexcept_tests crashed");
}
