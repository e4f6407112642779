#include "KroModuleMap.h"
#include "KroSafeRead.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::string OwnPath() {
    char Path[PATH_MAX];
    return realpath("/proc/self/exe", Path) != nullptr ? Path : "";
}

int NotInlined(int X) {
    return X * 3 + 1;
}

TModuleMap* HandlerSnapshot = nullptr;
volatile bool HandlerRefreshed = false;

void RefreshInHandler(int) {
    HandlerRefreshed = HandlerSnapshot->Refresh();
}

} // namespace

TEST(ModuleMapTest, FindsTheModuleOfCodeAndDataAndRefusesUnmappedAddresses) {
    TModuleMap Map;
    ASSERT_TRUE(Map.Refresh());
    EXPECT_TRUE(Map.Complete());

    // Our own code: the module is this program, its handle the place of its ELF header.
    std::uintptr_t Module = 0;
    const char* File = nullptr;
    const auto Code = reinterpret_cast<std::uintptr_t>(&NotInlined);
    ASSERT_TRUE(Map.ModuleOfAddress(Code, Module, File));
    EXPECT_EQ(File, OwnPath());
    char Magic[4];
    ASSERT_TRUE(KroSafeRead(Module, Magic, 4));
    EXPECT_EQ(std::memcmp(Magic,
                          "\x7f"
                          "ELF",
                          4),
              0);
    const TLoadedModule* Own = Map.FindModule(Code);
    ASSERT_NE(Own, nullptr);
    EXPECT_EQ(Own->Base, Module);
    EXPECT_LT(Code, Own->End);

    // libc's code and its data (the FILE that stdout points to lives in libc's writable segment) are one module.
    std::uintptr_t LibcCode = 0, LibcData = 0;
    const char* LibcFile = nullptr;
    ASSERT_TRUE(Map.ModuleOfAddress(reinterpret_cast<std::uintptr_t>(&getpid), LibcCode, LibcFile));
    EXPECT_NE(std::string(LibcFile).find("/libc.so.6"), std::string::npos) << LibcFile;
    ASSERT_TRUE(Map.ModuleOfAddress(reinterpret_cast<std::uintptr_t>(stdout), LibcData, File));
    EXPECT_EQ(LibcData, LibcCode);
    EXPECT_NE(LibcCode, Module);

    // The stack is mapped memory of no module and no file.
    int OnStack = 0;
    const auto Stack = reinterpret_cast<std::uintptr_t>(&OnStack);
    ASSERT_TRUE(Map.ModuleOfAddress(Stack, Module, File));
    EXPECT_STREQ(File, "");
    EXPECT_EQ(Map.FindModule(Stack), nullptr);
    const TMemoryRegion* StackRegion = Map.FindRegion(Stack);
    ASSERT_NE(StackRegion, nullptr);
    EXPECT_TRUE(StackRegion->Readable && StackRegion->Writable && !StackRegion->Executable);
    EXPECT_EQ(Module, StackRegion->Start);

    // A page mapped and taken away again is a hole.
    const long Page = sysconf(_SC_PAGESIZE);
    void* Hole = mmap(nullptr, Page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(Hole, MAP_FAILED);
    ASSERT_EQ(munmap(Hole, Page), 0);
    Map.Refresh();
    EXPECT_FALSE(Map.ModuleOfAddress(reinterpret_cast<std::uintptr_t>(Hole), Module, File));
    EXPECT_EQ(Map.FindRegion(reinterpret_cast<std::uintptr_t>(Hole)), nullptr);
    EXPECT_FALSE(Map.ModuleOfAddress(0, Module, File));

    // The convenience form on a fresh snapshot.
    std::string Name;
    ASSERT_TRUE(ModuleOfAddress(Code, Module, Name));
    EXPECT_EQ(Name, OwnPath());
    EXPECT_EQ(Module, Own->Base);
}

TEST(ModuleMapTest, SnapshotAgreesWithTheKernelsMapAndSurvivesSmallStorage) {
    TModuleMap Map;
    ASSERT_TRUE(Map.Refresh());
    std::ifstream Maps("/proc/self/maps");
    std::set<std::string> ExecutableFiles;
    for (std::string Line; std::getline(Maps, Line);) {
        const std::size_t Path = Line.find('/');
        if (Line.size() > 20 && Line.find(" r-xp ") != std::string::npos && Path != std::string::npos)
            ExecutableFiles.insert(Line.substr(Path));
    }
    // Every module is a file with code mapped, and every file with code mapped is a module.
    std::set<std::string> Modules;
    for (std::size_t I = 0; I < Map.ModuleCount(); ++I) {
        const TLoadedModule& M = Map.Module(I);
        EXPECT_LT(M.Base, M.End);
        if (I > 0) {
            EXPECT_LE(Map.Module(I - 1).End, M.Base);
        }
        if (std::strcmp(M.Path, "[vdso]") != 0)
            Modules.insert(M.Path);
    }
    EXPECT_EQ(Modules, ExecutableFiles);
    for (std::size_t I = 1; I < Map.RegionCount(); ++I)
        EXPECT_LE(Map.Region(I - 1).End, Map.Region(I).Start);

    // Too little room: the snapshot says so and keeps what fitted.
    TModuleMap Small(3, 40);
    EXPECT_TRUE(Small.Refresh());
    EXPECT_FALSE(Small.Complete());
    EXPECT_EQ(Small.RegionCount(), 3u);

    // The snapshot is taken without allocating, so a signal handler may take it.
    HandlerSnapshot = &Map;
    struct sigaction Action {
    }, Previous{};
    Action.sa_handler = RefreshInHandler;
    ASSERT_EQ(sigaction(SIGUSR1, &Action, &Previous), 0);
    raise(SIGUSR1);
    sigaction(SIGUSR1, &Previous, nullptr);
    EXPECT_TRUE(HandlerRefreshed);
    EXPECT_NE(Map.FindModule(reinterpret_cast<std::uintptr_t>(&NotInlined)), nullptr);
}

namespace {

TMapsLine Parsed(const std::string& Line, bool& Ok) {
    TMapsLine Result;
    Ok = KroParseMapsLine(Line.data(), Line.size(), Result);
    return Result;
}

} // namespace

TEST(ModuleMapTest, TheMapsLineParserReadsEveryFieldAndRefusesDamagedLines) {
    bool Ok = false;
    const std::string Good = "7f0000001000-7f0000003000 r-xp 00002000 fd:01 123456789                  /usr/lib/x.so";
    TMapsLine Line = Parsed(Good, Ok);
    ASSERT_TRUE(Ok);
    EXPECT_EQ(Line.Start, 0x7f0000001000u);
    EXPECT_EQ(Line.End, 0x7f0000003000u);
    EXPECT_EQ(Line.Offset, 0x2000u);
    EXPECT_EQ(Line.Device, std::uint64_t{0xfd} << 32 | 1);
    EXPECT_EQ(Line.Inode, 123456789u);
    EXPECT_EQ(std::string(Line.Flags, 4), "r-xp");
    EXPECT_EQ(std::string(Line.Path, Line.PathLength), "/usr/lib/x.so");
    // Anonymous memory has no path; a path may hold blanks.
    // The line's path points into the text parsed, which must outlive it.
    const std::string Anonymous = "1000-2000 rw-s 00000000 00:00 0";
    Line = Parsed(Anonymous, Ok);
    ASSERT_TRUE(Ok);
    EXPECT_EQ(Line.PathLength, 0u);
    const std::string Blanks = "1000-2000 rw-p 00000000 00:00 0   /tmp/a b (deleted)";
    Line = Parsed(Blanks, Ok);
    ASSERT_TRUE(Ok);
    EXPECT_EQ(std::string(Line.Path, Line.PathLength), "/tmp/a b (deleted)");

    // Every field cut short or damaged in turn, and numbers too long for 64 bits.
    const char* const Damaged[] = {
        "",
        "1000",
        "1000-",
        "1000-2000",
        "1000-2000 ",
        "1000-2000 r-x",
        "1000-2000 r-xq 0 00:00 0",
        "1000-2000 R-xp 0 00:00 0",
        "1000-2000 r-xp",
        "1000-2000 r-xp 0",
        "1000-2000 r-xp 0 00",
        "1000-2000 r-xp 0 00:",
        "1000-2000 r-xp 0 00:00",
        "1000-2000 r-xp 0 00:00 ",
        "1000-2000 r-xp 0 00:00 12x /path",
        "1000-2000 r-xp g 00:00 0",
        "1000 2000 r-xp 0 00:00 0",
        "-2000 r-xp 0 00:00 0",
        "2000-1000 r-xp 0 00:00 0",
        "2000-2000 r-xp 0 00:00 0",
        "10000000000000000-20000000000000000 r-xp 0 00:00 0",
        "1000-2000 r-xp 10000000000000000 00:00 0",
        "1000-2000 r-xp 0 100000000:00 0",
        "1000-2000 r-xp 0 00:00 99999999999999999999",
        "1000-2000\tr-xp 0 00:00 0",
        "garbage that is no line of the map",
    };
    for (const char* Text : Damaged) {
        Parsed(Text, Ok);
        EXPECT_FALSE(Ok) << "'" << Text << "'";
    }
    // Only the given length is read: the good line cut anywhere before its inode is refused.
    for (std::size_t Cut = 0; Cut < Good.find("123456789"); ++Cut) {
        const std::string Prefix = Good.substr(0, Cut);
        TMapsLine Ignored;
        EXPECT_FALSE(KroParseMapsLine(Prefix.data(), Prefix.size(), Ignored)) << Cut;
    }
}

TEST(ModuleMapTest, ADamagedMapKeepsItsGoodRegionsOnly) {
    // Regions out of order or overlapping the one before are not trusted; damaged lines are skipped; a line longer
    // than any real one is dropped whole; the last line needs no line end.
    const std::string Map = "1000-2000 r--p 00000000 00:00 0 [first]\n"
                            "not a region\n"
                            "3000-4000 rw-p 00000000 00:00 0\n"
                            "3800-5000 rw-p 00000000 00:00 0 [overlaps]\n"
                            "0800-0900 rw-p 00000000 00:00 0 [below]\n"
                            "6000-7000 r-xp 00001000 08:02 42 /" +
                            std::string(10000, 'x') +
                            "\n"
                            "8000-9000 r-xs 00002000 08:02 43 /the/file\n"
                            "9000-a000 r-xs 00003000 08:02 43 /the/file\n"
                            "b000-c000 ---p 00000000 00:00 0";
    char Name[] = "/tmp/kroexcept-maps-XXXXXX";
    const int Fd = mkstemp(Name);
    ASSERT_GE(Fd, 0);
    ASSERT_EQ(write(Fd, Map.data(), Map.size()), static_cast<ssize_t>(Map.size()));
    close(Fd);
    TModuleMap Snapshot;
    ASSERT_TRUE(Snapshot.Refresh(Name));
    unlink(Name);
    ASSERT_EQ(Snapshot.RegionCount(), 5u);
    const std::uintptr_t Starts[] = {0x1000, 0x3000, 0x8000, 0x9000, 0xb000};
    for (std::size_t Index = 0; Index < 5; ++Index)
        EXPECT_EQ(Snapshot.Region(Index).Start, Starts[Index]);
    EXPECT_STREQ(Snapshot.Region(0).Path, "[first]");
    EXPECT_TRUE(Snapshot.Region(2).Shared && Snapshot.Region(2).Executable && !Snapshot.Region(2).Writable);
    EXPECT_EQ(Snapshot.Region(3).Path, Snapshot.Region(2).Path); // one copy of a shared path
    EXPECT_EQ(Snapshot.Region(3).Offset, 0x3000u);
    EXPECT_FALSE(Snapshot.Region(4).Readable);
    EXPECT_EQ(Snapshot.FindRegion(0x5000), nullptr);
    EXPECT_EQ(Snapshot.ModuleCount(), 0u); // nothing there is a loaded module of ours
    EXPECT_FALSE(Snapshot.Refresh("/nonexistent/maps"));
    EXPECT_EQ(Snapshot.RegionCount(), 0u);
}
