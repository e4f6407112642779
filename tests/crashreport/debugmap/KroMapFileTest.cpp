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
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "SystemToolsTestSupport.h"

// This file is compiled optimised in every build (see CMakeLists.txt), so that the map is read on inlined code.
// Calls the compiler inlines into MapMarker two levels deep; each makes a call of its own, so that code of its
// own lies there. They have external linkage, so that DWARF knows them by their linkage names.
namespace KroMapTest {

std::atomic<std::uintptr_t> InnerCall{0};
std::atomic<int> Calls{0};

[[gnu::noinline]] int MapOpaque(int Value) {
    Calls.fetch_add(1);
    return Value + 1;
}

// The call that returns here lies in the innermost inlined function.
[[gnu::noinline]] int MapRecordCall(int Value) {
    InnerCall = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)) - 1;
    return MapOpaque(Value);
}

[[gnu::always_inline]] inline int MapInnermost(int Value) {
    return MapRecordCall(Value) * 3;
}

[[gnu::always_inline]] inline int MapInlined(int Value) {
    const int Inner = MapInnermost(Value);
    return MapOpaque(Inner) ^ 5;
}

[[gnu::noinline]] int MapMarker(int Value) {
    const int Result = MapInlined(Value) + 1;
    return MapOpaque(Result);
}

} // namespace KroMapTest

namespace {

using KroMapTest::MapMarker;

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

// An address of this program as its file has it.
std::uintptr_t AsLinked(std::uintptr_t Address) {
    std::string File;
    std::uintptr_t Loaded = 0;
    std::uintptr_t Linked = 0;
    if (!FindModuleOfAddress(Address, File, Loaded) || !LinkedModuleHandle(OwnProgram(), Linked))
        return 0;
    return Address - Loaded + Linked;
}

// What addr2line -f -C -i says of addresses of this program: for each, the functions inlined there innermost first,
// then the one they were inlined into, each with its unit and line.
std::vector<std::vector<TMfInlineFrame>> Addr2LineFrames(const std::vector<std::uintptr_t>& Addresses) {
    std::string Command = "addr2line -a -f -C -i -e " + OwnProgram();
    char Hex[32];
    for (const std::uintptr_t Address : Addresses) {
        std::snprintf(Hex, sizeof Hex, " %jx", static_cast<std::uintmax_t>(AsLinked(Address)));
        Command += Hex;
    }
    std::istringstream Lines(kt::CommandOutput(Command));
    std::vector<std::vector<TMfInlineFrame>> Frames;
    for (std::string Function, Location; std::getline(Lines, Function);) {
        if (Function.rfind("0x", 0) == 0) {
            Frames.emplace_back();
            continue;
        }
        if (Frames.empty() || !std::getline(Lines, Location))
            return {};
        const std::size_t Colon = Location.rfind(':');
        std::string Unit = Location.substr(0, Colon);
        Unit = Unit.substr(Unit.rfind('/') + 1);
        Unit = Unit.substr(0, Unit.rfind('.'));
        Frames.back().push_back(TMfInlineFrame{Function, Unit, std::atoi(Location.c_str() + Colon + 1)});
    }
    return Frames.size() == Addresses.size() ? Frames : std::vector<std::vector<TMfInlineFrame>>{};
}

// The line addr2line gives the marker's first instruction (where the compiler placed it, which need not be the line
// of the function's name).
std::int32_t MarkerLine() {
    static const auto Frames = Addr2LineFrames({MarkerAddress()});
    return Frames.empty() || Frames[0].empty() ? -1 : Frames[0].back().Line;
}

// The map names each address as addr2line does: each inlined function, and the unit and line of the outermost.
// MapDelta moves an address of this process to the map's (a map read for the program's file as linked).
void ExpectFramesOfAddr2Line(const TMapFile& Map, const std::vector<std::uintptr_t>& Addresses,
                             std::intptr_t MapDelta = 0) {
    const auto Wanted = Addr2LineFrames(Addresses);
    ASSERT_EQ(Wanted.size(), Addresses.size()) << "addr2line could not be run";
    for (std::size_t A = 0; A < Addresses.size(); ++A) {
        const std::uintptr_t At = Addresses[A] + static_cast<std::uintptr_t>(MapDelta);
        const std::vector<TMfInlineFrame> Inlined = Map.GetInlinedFramesOfAddress(At);
        ASSERT_EQ(Inlined.size() + 1, Wanted[A].size()) << std::hex << Addresses[A];
        for (std::size_t I = 0; I < Inlined.size(); ++I) {
            EXPECT_EQ(Inlined[I].FunctionName, Wanted[A][I].FunctionName) << std::hex << Addresses[A] << " " << I;
            EXPECT_EQ(Inlined[I].UnitName, Wanted[A][I].UnitName) << std::hex << Addresses[A] << " " << I;
            EXPECT_EQ(Inlined[I].Line, Wanted[A][I].Line) << std::hex << Addresses[A] << " " << I;
        }
        if (Wanted[A].back().UnitName == "??") { // padding after the function: no source at all
            EXPECT_EQ(Map.GetLineOfAddress(At), 0) << std::hex << Addresses[A];
            continue;
        }
        const TMfSegment* Segment = Map.GetSegmentOfAddress(At);
        ASSERT_NE(Segment, nullptr) << std::hex << Addresses[A];
        EXPECT_EQ(Segment->UnitName, Wanted[A].back().UnitName) << std::hex << Addresses[A];
        EXPECT_EQ(Map.GetLineOfAddress(At), Wanted[A].back().Line) << std::hex << Addresses[A];
    }
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
    EXPECT_EQ(Public->Name, "KroMapTest::MapMarker(int)");
    EXPECT_EQ(Public->Address, MarkerAddress());
    EXPECT_EQ(Map->GetLineOfAddress(MarkerAddress()), MarkerLine());
    EXPECT_EQ(MapSymbolNameOfAddress(MarkerAddress()), "KroMapTest::MapMarker(int)");
    EXPECT_EQ(MapSymbolNameOfAddress(MarkerAddress() + 1), "");
    // The entry point the map carries is the program's own.
    EXPECT_NE(Map->GetPublicOfAddress(Map->EntryPoint()), nullptr);
    EXPECT_EQ(Map->GetPublicOfAddress(Map->EntryPoint())->Name, "_start");
}

TEST(KroMapFileTest, InlinedCodeIsNamedAsAddr2LineNamesIt) {
    ASSERT_EQ(MapMarker(2), 17);
    const auto Map = GetMapFileOfAddress(MarkerAddress());
    ASSERT_TRUE(Map->Valid());
    // The innermost call: two functions inlined, innermost first; the marker holds them.
    const std::uintptr_t Inner = KroMapTest::InnerCall;
    ASSERT_NE(Inner, 0u);
    const std::vector<TMfInlineFrame> Frames = Map->GetInlinedFramesOfAddress(Inner);
    ASSERT_EQ(Frames.size(), 2u);
    EXPECT_EQ(Frames[0].FunctionName, "KroMapTest::MapInnermost(int)");
    EXPECT_EQ(Frames[1].FunctionName, "KroMapTest::MapInlined(int)");
    EXPECT_EQ(Map->GetPublicOfAddress(Inner)->Name, "KroMapTest::MapMarker(int)");
    // Every byte of the marker, inlined or not.
    std::vector<std::uintptr_t> Addresses;
    for (std::uintptr_t Address = MarkerAddress();
         Map->GetPublicOfAddress(Address) != nullptr && Map->GetPublicOfAddress(Address)->Address == MarkerAddress();
         ++Address)
        Addresses.push_back(Address);
    ASSERT_GT(Addresses.size(), 8u);
    ExpectFramesOfAddr2Line(*Map, Addresses);
}

TEST(KroMapFileTest, CacheKeepsOneMapPerModuleUntilCleared) {
    const auto First = GetMapFileOfAddress(MarkerAddress());
    EXPECT_EQ(GetMapFileOfAddress(0).get(), First.get()); // 0: the program's own module
    ClearMapCache();
    const auto Again = GetMapFileOfAddress(MarkerAddress());
    EXPECT_NE(Again.get(), First.get());
    EXPECT_TRUE(First->Valid()); // still alive for whoever held it
    EXPECT_EQ(Again->GetLineOfAddress(MarkerAddress()), MarkerLine());
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

    const std::uintptr_t MarkerAsLinked = AsLinked(MarkerAddress());
    const auto Map = CreateMapFile(true, Linked, Stripped);
    std::remove(Stripped.c_str());
    ASSERT_TRUE(Map->Valid());
    const auto Original = GetMapFileOfAddress(MarkerAddress());
    std::string File;
    std::uintptr_t Loaded = 0;
    ASSERT_TRUE(FindModuleOfAddress(MarkerAddress(), File, Loaded));
    EXPECT_EQ(Map->Layout().CodeStart - Linked, Original->Layout().CodeStart - Loaded);
    EXPECT_EQ(Map->Layout().CodeEnd - Map->Layout().CodeStart,
              Original->Layout().CodeEnd - Original->Layout().CodeStart);
    ASSERT_NE(Map->GetPublicOfAddress(MarkerAsLinked), nullptr);
    EXPECT_EQ(Map->GetPublicOfAddress(MarkerAsLinked)->Name, "KroMapTest::MapMarker(int)");
    EXPECT_EQ(Map->GetLineOfAddress(MarkerAsLinked), MarkerLine());
    ASSERT_EQ(MapMarker(3), 10);
    const std::uintptr_t Inner = KroMapTest::InnerCall;
    EXPECT_EQ(Map->GetInlinedFramesOfAddress(AsLinked(Inner)).size(), 2u);
    ExpectFramesOfAddr2Line(*Map, {Inner, MarkerAddress()},
                            static_cast<std::intptr_t>(MarkerAsLinked) - static_cast<std::intptr_t>(MarkerAddress()));
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
    const std::int32_t Line = MarkerLine();
    for (int Thread = 0; Thread < 8; ++Thread)
        Threads.emplace_back([&Resolved, Thread, Line] {
            for (int Round = 0; Round < 20; ++Round) {
                const auto Map = GetMapFileOfAddress(MarkerAddress());
                if (Map->Valid() && Map->GetLineOfAddress(MarkerAddress()) == Line)
                    ++Resolved;
                if (Thread == 0 && Round % 5 == 4)
                    ClearMapCache();
            }
        });
    for (std::thread& Thread : Threads)
        Thread.join();
    EXPECT_EQ(Resolved, 8 * 20);
}
