#include "KroMapFile.h"
#include "KroMapFileCache.h"
#include "KroMapFileModule.h"
#include "KroMapFileSources.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A function whose first instruction belongs to the line of its own name.
constexpr int MapMarkerLine = __LINE__ + 1;
[[gnu::noinline]] int MapMarker(int Value) {
    return Value * 3 + 1;
}

std::uintptr_t MarkerAddress() {
    return reinterpret_cast<std::uintptr_t>(&MapMarker);
}

std::string OwnProgram() {
    char Path[4096];
    const ssize_t Length = readlink("/proc/self/exe", Path, sizeof Path - 1);
    return Length > 0 ? std::string(Path, static_cast<std::size_t>(Length)) : std::string();
}

std::vector<char> FileBytes(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& Name, const std::vector<char>& Bytes) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::string TempName(const char* Tag) {
    return std::string(testing::TempDir()) + "kromap_" + Tag + "_" + std::to_string(getpid());
}

} // namespace

TEST(KroMapFileTest, ResolvesThisProgramThroughItsEmbeddedMap) {
    ASSERT_EQ(MapMarker(1), 4);
    const auto Map = GetMapFileOfAddress(MarkerAddress());
    ASSERT_TRUE(Map->Valid());
    EXPECT_EQ(Map->ModuleFileName(), OwnProgram());
    EXPECT_EQ(Map->SourceFileName(), OwnProgram());
    const TMfSegment* Segment = Map->GetSegmentOfAddress(MarkerAddress());
    ASSERT_NE(Segment, nullptr);
    EXPECT_EQ(Segment->UnitName, "KroMapFileTest");
    const TMfPublic* Public = Map->GetPublicOfAddress(MarkerAddress());
    ASSERT_NE(Public, nullptr);
    EXPECT_EQ(Public->Name, "(anonymous namespace)::MapMarker(int)");
    EXPECT_EQ(Public->Address, MarkerAddress());
    EXPECT_EQ(Map->GetLineOfAddress(MarkerAddress()), MapMarkerLine);
    EXPECT_EQ(MapSymbolNameOfAddress(MarkerAddress()), "(anonymous namespace)::MapMarker(int)");
    EXPECT_EQ(MapSymbolNameOfAddress(MarkerAddress() + 1), "");
    // The entry point the map carries is the program's own.
    EXPECT_NE(Map->GetPublicOfAddress(Map->EntryPoint()), nullptr);
    EXPECT_EQ(Map->GetPublicOfAddress(Map->EntryPoint())->Name, "_start");
}

TEST(KroMapFileTest, CacheKeepsOneMapPerModuleUntilCleared) {
    const auto First = GetMapFileOfAddress(MarkerAddress());
    EXPECT_EQ(GetMapFileOfAddress(0).get(), First.get()); // 0: the program's own module
    ClearMapCache();
    const auto Again = GetMapFileOfAddress(MarkerAddress());
    EXPECT_NE(Again.get(), First.get());
    EXPECT_TRUE(First->Valid()); // still alive for whoever held it
    EXPECT_EQ(Again->GetLineOfAddress(MarkerAddress()), MapMarkerLine);
}

TEST(KroMapFileTest, AddressesOutsideModulesGiveAnInvalidMap) {
    int OnTheStack = 0;
    for (const std::uintptr_t Address : {std::uintptr_t{16}, reinterpret_cast<std::uintptr_t>(&OnTheStack)}) {
        const auto Map = GetMapFileOfAddress(Address);
        EXPECT_FALSE(Map->Valid());
        EXPECT_EQ(Map->GetPublicOfAddress(Address), nullptr);
        EXPECT_EQ(Map->GetLineOfAddress(Address), 0);
    }
}

TEST(KroMapFileTest, StrippedCopyKeepsTheMapAndEveryAddress) {
    const std::string Stripped = TempName("stripped");
    ASSERT_EQ(std::system(("strip -o " + Stripped + " " + OwnProgram()).c_str()), 0);
    std::uintptr_t Linked = 0;
    std::uintptr_t StrippedLinked = 0;
    ASSERT_TRUE(LinkedModuleHandle(OwnProgram(), Linked));
    ASSERT_TRUE(LinkedModuleHandle(Stripped, StrippedLinked));
    EXPECT_EQ(StrippedLinked, Linked);

    std::string File;
    std::uintptr_t Loaded = 0;
    ASSERT_TRUE(FindModuleOfAddress(MarkerAddress(), File, Loaded));
    const std::uintptr_t MarkerAsLinked = MarkerAddress() - Loaded + Linked;
    const auto Map = CreateMapFile(true, Linked, Stripped);
    std::remove(Stripped.c_str());
    ASSERT_TRUE(Map->Valid());
    const auto Original = GetMapFileOfAddress(MarkerAddress());
    EXPECT_EQ(Map->Layout().CodeStart - Linked, Original->Layout().CodeStart - Loaded);
    EXPECT_EQ(Map->Layout().CodeEnd - Map->Layout().CodeStart,
              Original->Layout().CodeEnd - Original->Layout().CodeStart);
    ASSERT_NE(Map->GetPublicOfAddress(MarkerAsLinked), nullptr);
    EXPECT_EQ(Map->GetPublicOfAddress(MarkerAsLinked)->Name, "(anonymous namespace)::MapMarker(int)");
    EXPECT_EQ(Map->GetLineOfAddress(MarkerAsLinked), MapMarkerLine);
}

TEST(KroMapFileTest, DamagedModuleFilesGiveNoMapAndNoFault) {
    const std::vector<char> Program = FileBytes(OwnProgram());
    ASSERT_GT(Program.size(), 4096u);
    const std::string Damaged = TempName("damaged");
    std::mt19937 Random(16);
    // Cut copies, and copies with the ELF and section headers scrambled: headers, counts and offsets that point
    // anywhere.
    std::vector<std::size_t> Cuts = {0, 3, 16, 63, 64, 65, 500, 4096, Program.size() / 2, Program.size() - 1};
    for (const std::size_t Cut : Cuts) {
        WriteBytes(Damaged, std::vector<char>(Program.begin(), Program.begin() + static_cast<std::ptrdiff_t>(Cut)));
        EXPECT_TRUE(ReadEmbeddedMap(Damaged).empty()) << Cut;
        TModuleLayout Layout;
        (void)ReadModuleLayout(Damaged, 0, Layout);
        EXPECT_FALSE(CreateMapFile(true, 0, Damaged)->Valid() && Cut < 64) << Cut;
    }
    std::vector<char> Copy = Program;
    for (int Round = 0; Round < 200; ++Round) {
        Copy = Program;
        for (int E = 0; E < 4; ++E)
            Copy[Random() % 64] = static_cast<char>(Random());
        WriteBytes(Damaged, Copy);
        (void)ReadEmbeddedMap(Damaged);
        (void)CreateMapFile(true, 0x1000, Damaged);
    }
    std::remove(Damaged.c_str());
    EXPECT_FALSE(CreateMapFile(true, 0, "/nonexistent/program")->Valid());
    EXPECT_FALSE(CreateMapFile(false, 0, OwnProgram())->Valid());
}

TEST(KroMapFileTest, ManyThreadsAskTheCacheAtOnce) {
    // The stack tracer and the disassembler's names may ask from different threads; each gets a whole map, cached
    // or read for it alone, and the cache stays sound while it is cleared meanwhile.
    std::atomic<int> Resolved{0};
    std::vector<std::thread> Threads;
    for (int Thread = 0; Thread < 8; ++Thread)
        Threads.emplace_back([&Resolved, Thread] {
            for (int Round = 0; Round < 20; ++Round) {
                const auto Map = GetMapFileOfAddress(MarkerAddress());
                if (Map->Valid() && Map->GetLineOfAddress(MarkerAddress()) == MapMarkerLine)
                    ++Resolved;
                if (Thread == 0 && Round % 5 == 4)
                    ClearMapCache();
            }
        });
    for (std::thread& Thread : Threads)
        Thread.join();
    EXPECT_EQ(Resolved, 8 * 20);
}
