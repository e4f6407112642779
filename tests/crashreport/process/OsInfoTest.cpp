#include "KroFileVersion.h"
#include "KroOsInfo.h"
#include "SystemToolsTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

TEST(OsInfoTest, ClassifierFollowsTheVersionThresholdsOfBothFamilies) {
    struct TCase {
        bool Is9x, IsNT;
        std::uint32_t Major, Minor, Build;
        std::uint8_t Code;
    };
    const TCase Cases[] = {
        {true, false, 3, 95, 0, 0},    {true, false, 4, 0, 950, 1},        {true, false, 4, 0, 1000, 1},
        {true, false, 4, 0, 1001, 2},  {true, false, 4, 3, 0x4000045f, 2}, {true, false, 4, 10, 1998, 3},
        {true, false, 4, 10, 2000, 3}, {true, false, 4, 10, 2001, 4},      {true, false, 4, 10, 2222, 4},
        {true, false, 4, 10, 2700, 4}, {true, false, 4, 10, 2701, 5},      {true, false, 4, 11, 0, 5},
        {true, false, 4, 90, 3000, 5}, {true, false, 4, 91, 0, 6},         {true, false, 5, 0, 0, 6},
        {false, true, 3, 51, 1057, 7}, {false, true, 4, 0, 1381, 8},       {false, true, 5, 0, 2195, 9},
        {false, true, 5, 1, 2600, 10}, {false, true, 5, 2, 3790, 11},      {false, true, 5, 3, 0, 12},
        {false, true, 6, 0, 6000, 12}, {false, false, 6, 1, 0, 0},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(ClassifyOs(C.Is9x, C.IsNT, C.Major, C.Minor, C.Build), C.Code)
            << C.Major << "." << C.Minor << "." << C.Build;
    EXPECT_STREQ(OsCodeName(4), "Windows 98 SE");
    EXPECT_STREQ(OsCodeName(12), "Windows NT New");
    EXPECT_STREQ(OsCodeName(200), "None");

    EXPECT_EQ(ServicePackNumber("Service Pack 2"), 2);
    EXPECT_EQ(ServicePackNumber("Service Pack"), 0);
    EXPECT_EQ(ServicePackNumber("Service Pack 12a"), 12);
    const TOS Xp = MakeWindowsOsRecord(false, true, 5, 1, 2600, "Service Pack 2");
    EXPECT_EQ(Xp.OsCode, 10);
    EXPECT_EQ(Xp.CodeNT, 10);
    EXPECT_EQ(Xp.Code9x, 0);
    EXPECT_EQ(Xp.ServicePack, 2);
    EXPECT_EQ(Xp.Description, "Windows XP Service Pack 2");
    const TOS Me = MakeWindowsOsRecord(true, false, 4, 90, 0xc0000bb8, " ");
    EXPECT_EQ(Me.Build, 3000u);
    EXPECT_EQ(Me.Code9x, 5);
    EXPECT_EQ(Me.Description, "Windows ME");
}

TEST(OsInfoTest, LinuxRecordNamesTheDistributionAndTheKernel) {
    EXPECT_EQ(OsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(OsReleaseName("NAME=Fedora\nVERSION='39 (Workstation)'\n"), "Fedora 39 (Workstation)");
    EXPECT_EQ(OsReleaseName("PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$x\"\n"), "Say \"hi\" \\ $x");
    EXPECT_EQ(OsReleaseName("# nothing\nPRETTY_NAME_X=y\n"), "Linux");
    EXPECT_EQ(OsReleaseName(""), "Linux");
    EXPECT_EQ(OsReleaseName("PRETTY_NAME=\"unterminated"), "unterminated");

    const TOS Made = MakeLinuxOsRecord("6.1.0-18-amd64", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"");
    EXPECT_EQ(Made.Major, 6u);
    EXPECT_EQ(Made.Minor, 1u);
    EXPECT_EQ(Made.Build, 0u);
    EXPECT_FALSE(Made.Is9x || Made.IsNT);
    EXPECT_EQ(Made.OsCode, 0);
    EXPECT_EQ(Made.Description, "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64");

    // The live record against uname and the os-release file.
    TOS Os;
    GetOsRecord(Os);
    std::string Release = kt::CommandOutput("uname -r");
    ASSERT_FALSE(Release.empty());
    Release.pop_back();
    std::stringstream OsRelease;
    OsRelease << std::ifstream("/etc/os-release").rdbuf();
    EXPECT_EQ(Os.Description, OsReleaseName(OsRelease.str()) + ", Linux " + Release);
    EXPECT_EQ(std::to_string(Os.Major) + "." + std::to_string(Os.Minor) + "." + std::to_string(Os.Build),
              Release.substr(0, Release.find_first_not_of("0123456789.")));
    EXPECT_EQ(FreeSystemResourcesPercent(1), 0);
}

TEST(OsInfoTest, ModuleVersionsComeFromTheLibraryFileName) {
    EXPECT_EQ(FileNameVersion("/usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2"), 0x0006000400020000u);
    EXPECT_EQ(FileNameVersion("libc.so.6"), 0x0006000000000000u);
    EXPECT_EQ(FileNameVersion("libx.so.1.2.3.4"), 0x0001000200030004u);
    EXPECT_EQ(FileNameVersion("libx.so.1.2.3.4.5"), 0u);
    EXPECT_EQ(FileNameVersion("libx.so.70000"), 0u);
    EXPECT_EQ(FileNameVersion("libx.so.1a"), 0u);
    EXPECT_EQ(FileNameVersion("libx.so"), 0u);
    EXPECT_EQ(FileNameVersion("/opt/a.so.2/pyxpregame"), 0u);
    EXPECT_EQ(FormatFileVersion(0x0006000400020000u), "6.4.2.0");
    EXPECT_EQ(FormatFileVersion(0xffff000000000001u), "65535.0.0.1");

    // libstdc++.so.6 is a link to the file with the full version.
    std::string Linked = kt::CommandOutput("readlink -f /usr/lib/x86_64-linux-gnu/libstdc++.so.6");
    ASSERT_FALSE(Linked.empty());
    Linked.pop_back();
    EXPECT_EQ(ReadFileVersion("/usr/lib/x86_64-linux-gnu/libstdc++.so.6"), FileNameVersion(Linked));
    EXPECT_GT(ReadFileVersion("/usr/lib/x86_64-linux-gnu/libstdc++.so.6"), 0x0006000000000000u);
    EXPECT_EQ(ReadFileVersion("/proc/self/exe"), 0u);
}
