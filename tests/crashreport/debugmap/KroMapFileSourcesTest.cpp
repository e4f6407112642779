#include "KroMapFileSources.h"
#include "KroMapFile.h"
#include "KroMapFilePacked.h"
#include "KroMapFileTds.h"
#include "KroMapFileText.h"
#include "MapSourceFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uintptr_t CodeStart = 0x401000;
constexpr std::uintptr_t DataStart = 0x600000;

TMapFile MapAt() {
    TMapFile Map;
    TModuleLayout Layout;
    Layout.ModuleHandle = 0x400000;
    Layout.CodeStart = CodeStart;
    Layout.CodeEnd = CodeStart + 0x1000;
    Layout.DataStart = DataStart;
    Layout.DataEnd = DataStart + 0x1000;
    Map.SetLayout(Layout);
    return Map;
}

std::string TempFolder() {
    std::string Folder = std::string(testing::TempDir()) + "kromapsources_" + std::to_string(getpid());
    mkdir(Folder.c_str(), 0700);
    return Folder;
}

void WriteFile(const std::string& Name, const std::string& Content) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out << Content;
}

std::string AsText(const std::vector<std::uint8_t>& Bytes) {
    return {Bytes.begin(), Bytes.end()};
}

template <typename Reader> void MutateAndRead(const std::string& Fixture, Reader Read) {
    std::mt19937 Random(20);
    for (int Round = 0; Round < 2000; ++Round) {
        std::string Bytes = Fixture;
        for (int E = 0; E < 1 + static_cast<int>(Random() % 8) && !Bytes.empty(); ++E) {
            const std::size_t At = Random() % Bytes.size();
            if (Random() % 5 == 0)
                Bytes.resize(At);
            else
                Bytes[At] = static_cast<char>(Random());
        }
        TMapFile Map = MapAt();
        Read(Map, Bytes);
        ASSERT_LE(Map.Segments().size() + Map.Publics().size() + Map.Lines().size(), Fixture.size());
        for (std::uintptr_t A = CodeStart; A < CodeStart + 0x300; A += 0x10) {
            (void)Map.GetPublicOfAddress(A);
            (void)Map.GetLineOfAddress(A);
        }
    }
}

} // namespace

TEST(KroMapFileSourcesTest, TextMapGivesUnitsPublicsLinesAndEntryPoint) {
    TMapFile Map = MapAt();
    ReadTextMap(Map, TextMapFixture);
    ASSERT_EQ(Map.Segments().size(), 3u); // the line with a malformed start is dropped alone
    EXPECT_EQ(Map.GetSegmentOfAddress(CodeStart + 0x40)->UnitName, "System");
    EXPECT_EQ(Map.GetSegmentOfAddress(CodeStart + 0x140)->UnitName, "Main");
    EXPECT_EQ(Map.GetSegmentOfAddress(DataStart + 0x10)->UnitName, "System");
    EXPECT_FALSE(Map.GetSegmentOfAddress(DataStart + 0x10)->Code);

    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x10)->Name, "System.@Halt0");
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x100)->Name, "initialization"); // named like its unit
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x125)->Name, "TForm1.FormCreate");
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x135)->Name, "TForm1.FormCreate"); // type info is no public
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x145)->Name, "Main.Helper");
    EXPECT_EQ(Map.GetAddressOfPublic("system", "system.randseed", false, false), DataStart + 0x10);

    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x100), 10);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x10F), 10);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x110), 11); // the decreasing entry (12) was skipped
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x12F), 11);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x170), 13); // the line with a malformed pair was not read
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x50), 0);   // no line entry of its unit
    EXPECT_EQ(Map.EntryPoint(), CodeStart + 0x100);
}

TEST(KroMapFileSourcesTest, BinaryDebugInfoGivesUnitsPublicsAndLines) {
    const auto Tds = TdsFixture();
    TMapFile Map = MapAt();
    ASSERT_TRUE(ReadBinaryDebugInfo(Map, Tds.data(), Tds.size()));
    EXPECT_TRUE(Map.Valid());
    ASSERT_EQ(Map.Segments().size(), 2u);
    EXPECT_EQ(Map.GetSegmentOfAddress(CodeStart + 0x2FF)->UnitName, "Unit1");
    EXPECT_EQ(Map.GetSegmentOfAddress(DataStart + 0x10)->UnitName, "Unit1");
    ASSERT_EQ(Map.Publics().size(), 2u); // the module symbols give way to the global ones
    EXPECT_EQ(Map.GetSymbolNameAt(CodeStart + 0x210), "TForm1.Click");
    EXPECT_EQ(Map.GetAddressOfPublic("UNIT1", "globalvar", false, false), DataStart + 0x18);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x23F), 7);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x240), 9);

    auto WrongSignature = Tds;
    WrongSignature[3] = '8';
    TMapFile Other = MapAt();
    EXPECT_FALSE(ReadBinaryDebugInfo(Other, WrongSignature.data(), WrongSignature.size()));
    EXPECT_FALSE(Other.Valid());
}

TEST(KroMapFileSourcesTest, DamagedTextAndBinarySourcesNeverFault) {
    MutateAndRead(TextMapFixture, [](TMapFile& Map, const std::string& Bytes) { ReadTextMap(Map, Bytes); });
    MutateAndRead(AsText(TdsFixture()), [](TMapFile& Map, const std::string& Bytes) {
        (void)ReadBinaryDebugInfo(Map, reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
    });
}

TEST(KroMapFileSourcesTest, SourcesBesideTheModuleAreTriedInOrder) {
    const std::string Folder = TempFolder();
    const std::string Module = Folder + "/prog.bin"; // no ELF file: no embedded map
    WriteFile(Module, "not a program");
    EXPECT_FALSE(CreateMapFile(true, 0, Module)->Valid());

    TPackedMapContent Content;
    Content.Segments = {{0, 0x10, "kro.cpp"}};
    Content.Publics = {{"FromKro", 0}};
    auto OldVersion = PackMap(Content);
    OldVersion[PackedMapMagicSize + 4] = 1;
    WriteFile(Folder + "/prog.kro", AsText(OldVersion));
    EXPECT_FALSE(CreateMapFile(true, 0, Module)->Valid());
    WriteFile(Folder + "/prog.kro", AsText(PackMap(Content)));
    auto Map = CreateMapFile(true, 0, Module);
    EXPECT_TRUE(Map->Valid());
    EXPECT_EQ(Map->SourceFileName(), Folder + "/prog.kro");

    WriteFile(Folder + "/prog.map", TextMapFixture);
    Map = CreateMapFile(true, 0, Module);
    EXPECT_EQ(Map->SourceFileName(), Folder + "/prog.map");
    EXPECT_EQ(Map->Segments().size(), 3u);

    WriteFile(Folder + "/prog.tds", AsText(TdsFixture()));
    Map = CreateMapFile(true, 0, Module);
    EXPECT_EQ(Map->SourceFileName(), Folder + "/prog.tds");
    EXPECT_EQ(Map->Publics().size(), 2u);

    for (const char* Name : {"/prog.bin", "/prog.kro", "/prog.map", "/prog.tds"})
        std::remove((Folder + Name).c_str());
    rmdir(Folder.c_str());
}

TEST(KroMapFileSourcesTest, CountlessUnitsInReverseOrderAreReadQuickly) {
    // Putting each segment in its place as it is read would take time quadratic in their count: minutes for a
    // crafted map of hundreds of thousands of units in reverse order. The text map reads all its segments before it
    // orders them once; the binary source, which extends the segment it placed last, keeps the first thousands.
    std::string Text = "Detailed map of segments\r\n\r\n";
    constexpr int Units = 200000;
    char Line[128];
    for (int I = Units - 1; I >= 0; --I) {
        std::snprintf(Line, sizeof Line, " 0001:%08X 00000010 C=CODE     S=.text    G=(none)   M=U%06d   ACBP=A9\r\n",
                      static_cast<unsigned>(I) * 16, I);
        Text += Line;
    }
    Text += "\r\n  Address             Publics by Value\r\n\r\n 0001:00000018       U000001\r\n";
    TMapFile Map = MapAt();
    ReadTextMap(Map, Text);
    ASSERT_EQ(Map.Segments().size(), static_cast<std::size_t>(Units));
    for (const int I : {0, 1, 4242, Units - 1}) {
        const TMfSegment* Segment = Map.GetSegmentOfAddress(CodeStart + static_cast<std::uintptr_t>(I) * 16 + 5);
        ASSERT_NE(Segment, nullptr) << I;
        EXPECT_EQ(Segment->UnitName, "U" + std::string(6 - std::to_string(I).size(), '0') + std::to_string(I));
    }
    ASSERT_EQ(Map.Publics().size(), 1u);
    // Named like the unit of the segment that holds it, read before the segments were ordered.
    EXPECT_EQ(Map.Publics()[0].Name, "initialization");

    TTdsBuilder B;
    for (const char C : std::string("FB09"))
        B.Bytes.push_back(static_cast<std::uint8_t>(C));
    B.I32(0);
    const std::size_t Names = B.Size();
    B.I32(1);
    B.Bytes.insert(B.Bytes.end(), {2, 'U', '1', 0});
    const std::size_t NamesSize = B.Size() - Names;
    const std::size_t Module = B.Size();
    constexpr int Segments = 60000;
    B.Pad(Module + 4);
    B.U16(Segments);
    B.U16(0);
    B.I32(1);
    B.Pad(Module + 28);
    for (int I = Segments - 1; I >= 0; --I) {
        B.U16(0);
        B.U16(1);
        B.I32(I * 16);
        B.I32(16);
    }
    const std::size_t ModuleSize = B.Size() - Module;
    B.SetI32(4, static_cast<std::int32_t>(B.Size()));
    B.U16(16);
    B.U16(12);
    B.I32(2);
    B.I32(0);
    B.Pad(B.Size() + 4);
    for (const TTdsSubsection& S :
         {TTdsSubsection{0x130, Names, NamesSize}, TTdsSubsection{0x120, Module, ModuleSize}}) {
        B.U16(S.Type);
        B.U16(0);
        B.I32(static_cast<std::int32_t>(S.Offset));
        B.I32(static_cast<std::int32_t>(S.Size));
    }
    TMapFile Binary = MapAt();
    ASSERT_TRUE(ReadBinaryDebugInfo(Binary, B.Bytes.data(), B.Bytes.size()));
    EXPECT_GE(Binary.Segments().size(), 4096u);
    EXPECT_LT(Binary.Segments().size(), static_cast<std::size_t>(Segments));
    const TMfSegment* First = Binary.GetSegmentOfAddress(CodeStart + (Segments - 1) * 16 + 5);
    ASSERT_NE(First, nullptr); // the segments listed first are kept
    EXPECT_EQ(First->UnitName, "U1");
}
