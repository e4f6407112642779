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
