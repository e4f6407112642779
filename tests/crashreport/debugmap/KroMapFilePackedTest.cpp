#include "KroMapFilePacked.h"
#include "KroCrypt.h"
#include "KroMapFileStream.h"
#include "KroZip.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

constexpr std::uintptr_t CodeStart = 0x401000;
constexpr std::uintptr_t CodeEnd = 0x409000;

TMapFile EmptyMapAt() {
    TMapFile Map;
    TModuleLayout Layout;
    Layout.ModuleHandle = 0x400000;
    Layout.CodeStart = CodeStart;
    Layout.CodeEnd = CodeEnd;
    Map.SetLayout(Layout);
    return Map;
}

// Two units: main.cpp with main and a helper, then util.cpp with one function far enough away that the deltas need
// the long form of the packed integers.
TPackedMapContent SampleContent() {
    TPackedMapContent C;
    C.Segments = {{0x000, 0x180, "main.cpp"}, {0x200, 0x1000, "util.cpp"}};
    C.Publics = {
        {"main", 0x000}, {"(anonymous namespace)::Helper(int)", 0x100}, {"util::Split(std::string_view)", 0x200}};
    C.Lines = {{10, 0x000}, {11, 0x010}, {12, 0x020}, {40, 0x100}, {41, 0x140}, {300, 0x200}, {305, 0x208}};
    C.EntryPoint = 0x050;
    return C;
}

TMapFile Read(const std::vector<std::uint8_t>& Packed, bool* Accepted = nullptr) {
    TMapFile Map = EmptyMapAt();
    const bool Ok = ReadPackedMap(Map, Packed.data(), Packed.size());
    if (Accepted != nullptr)
        *Accepted = Ok;
    return Map;
}

std::vector<std::uint8_t> Stream(std::initializer_list<int> Bytes) {
    std::vector<std::uint8_t> Out;
    for (const int B : Bytes)
        Out.push_back(static_cast<std::uint8_t>(B));
    return Out;
}

} // namespace

TEST(KroMapFilePackedTest, PackedIntegersAndStringsReadAsTheMapWritesThem) {
    TMiniStream S(Stream({0x80, 0x78, 0x56, 0x34, 0x12, 0xFF, 0x7F, 0x81, 0x80, 0x01}));
    std::int32_t V = 0;
    ASSERT_TRUE(S.ReadPackedInt(V));
    EXPECT_EQ(V, 0x12345678);
    ASSERT_TRUE(S.ReadPackedInt(V));
    EXPECT_EQ(V, -1);
    ASSERT_TRUE(S.ReadPackedInt(V));
    EXPECT_EQ(V, 127);
    ASSERT_TRUE(S.ReadPackedInt(V));
    EXPECT_EQ(V, -127);
    // 0x80 announces four more bytes; with one left the read fails and consumes nothing.
    EXPECT_FALSE(S.ReadPackedInt(V));
    EXPECT_EQ(S.Remaining(), 2u);

    TMiniStream Strings(Stream({3, 'a', 'b', 'c', 5, 'x'}));
    std::string Text = "kept";
    ASSERT_TRUE(Strings.ReadPackedString(Text));
    EXPECT_EQ(Text, "abc");
    EXPECT_FALSE(Strings.ReadPackedString(Text));
    EXPECT_EQ(Text, "abc");
    char Buffer[8];
    EXPECT_EQ(Strings.Read(Buffer, sizeof Buffer), 2u);
    EXPECT_EQ(Strings.Read(Buffer, sizeof Buffer), 0u);
}

TEST(KroMapFilePackedTest, KeyIsTheLengthTextEncipheredWithItself) {
    std::string Plain = "PyxKro$0001234PyxKro00004660";
    Plain += Plain;
    std::string Expected = Plain;
    LegacyEncipher(Expected, Plain);
    EXPECT_EQ(DeriveMapKey(0x1234), Expected);
    EXPECT_EQ(DeriveMapKey(99999999).size(), 56u); // up to eight decimal digits
    EXPECT_NE(DeriveMapKey(0x1234), DeriveMapKey(0x1235));
}

TEST(KroMapFilePackedTest, BodyIsEncipheredInWholeBlocksUnderItsLengthKey) {
    const auto Unpacked = EncodeMapContent(SampleContent());
    const auto Deflated = DeflateWithCrc(Unpacked.data(), Unpacked.size());
    const auto Packed = PackMap(SampleContent());
    ASSERT_EQ(Packed.size(), PackedMapHeaderSize + Deflated.size());
    std::vector<std::uint8_t> Body(Packed.begin() + PackedMapHeaderSize, Packed.end());
    const std::size_t Whole = Body.size() / 8 * 8;
    EXPECT_NE(std::memcmp(Body.data(), Deflated.data(), Whole), 0);
    EXPECT_EQ(std::memcmp(Body.data() + Whole, Deflated.data() + Whole, Body.size() - Whole), 0);
    LegacyDecipher(Body.data(), Body.size(), DeriveMapKey(static_cast<std::int32_t>(Body.size())));
    EXPECT_EQ(Body, Deflated);

    // Under another key the body does not inflate: the map is accepted but empty.
    auto OtherKey = Deflated;
    LegacyEncipher(OtherKey.data(), OtherKey.size(), DeriveMapKey(7));
    std::vector<std::uint8_t> Wrong(Packed.begin(), Packed.begin() + PackedMapHeaderSize);
    Wrong.insert(Wrong.end(), OtherKey.begin(), OtherKey.end());
    bool Accepted = false;
    const TMapFile Map = Read(Wrong, &Accepted);
    EXPECT_TRUE(Accepted);
    EXPECT_TRUE(Map.Publics().empty());
}

TEST(KroMapFilePackedTest, ResolvesUnitFunctionAndLineOfTheMapItWrote) {
    bool Accepted = false;
    const TMapFile Map = Read(PackMap(SampleContent()), &Accepted);
    ASSERT_TRUE(Accepted);
    EXPECT_TRUE(Map.Valid());
    EXPECT_EQ(Map.EntryPoint(), CodeStart + 0x50);

    const TMfSegment* Segment = Map.GetSegmentOfAddress(CodeStart + 0x117);
    ASSERT_NE(Segment, nullptr);
    EXPECT_EQ(Segment->UnitName, "main");
    EXPECT_EQ(Map.GetSegmentOfAddress(CodeStart + 0x1F0), nullptr); // between the units
    EXPECT_EQ(Map.GetSegmentOfAddress(CodeStart + 0x207)->UnitName, "util");

    // main in main.cpp keeps its name: the unit-initialization rule of the linker maps does not hold for C++.
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x0FF)->Name, "main");
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x100)->Name, "(anonymous namespace)::Helper(int)");
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x000), 10);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x01F), 11);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x13F), 40);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x17F), 41);
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x1F0), 0); // no unit, no line
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x300), 305);

    EXPECT_EQ(Map.GetAddressOfPublic("MAIN", "(Anonymous Namespace)::helper(int)", true, false), CodeStart + 0x100);
    EXPECT_EQ(Map.GetAddressOfPublic("main", "(Anonymous Namespace)::helper(int)", true, true), 0u);
    EXPECT_EQ(Map.GetAddressOfPublic("util", "main", true, false), 0u);
    EXPECT_EQ(Map.GetSymbolNameAt(CodeStart + 0x200), "util::Split(std::string_view)");
    EXPECT_EQ(Map.GetSymbolNameAt(CodeStart + 0x201), "");
}

TEST(KroMapFilePackedTest, LastPublicReachesToTheCodeEndAndNoFurther) {
    const TMapFile Map = Read(PackMap(SampleContent()));
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart - 1), nullptr);
    ASSERT_NE(Map.GetPublicOfAddress(CodeEnd - 1), nullptr);
    EXPECT_EQ(Map.GetPublicOfAddress(CodeEnd - 1)->Name, "util::Split(std::string_view)");
    EXPECT_EQ(Map.GetPublicOfAddress(CodeEnd), nullptr);
    EXPECT_EQ(Map.GetPublicOfAddress(CodeEnd + 0x1000), nullptr);
    EXPECT_EQ(Map.GetLineOfAddress(CodeEnd), 0);
    EXPECT_EQ(Map.GetSegmentOfAddress(CodeEnd), nullptr);
}

TEST(KroMapFilePackedTest, WrongHeadersAreRejectedSoTheNextSourceIsTried) {
    const auto Good = PackMap(SampleContent());
    auto OldVersion = Good;
    OldVersion[PackedMapMagicSize + 4] = 1;
    auto WrongMagic = Good;
    WrongMagic[0] ^= 0x20;
    auto LongerThanTheFile = Good;
    LongerThanTheFile[PackedMapMagicSize] += 1;
    std::vector<std::uint8_t> HeaderOnly(Good.begin(), Good.begin() + PackedMapHeaderSize);
    for (const auto* Bad : {&OldVersion, &WrongMagic, &LongerThanTheFile, &HeaderOnly}) {
        bool Accepted = true;
        const TMapFile Map = Read(*Bad, &Accepted);
        EXPECT_FALSE(Accepted);
        EXPECT_FALSE(Map.Valid());
        EXPECT_TRUE(Map.Publics().empty());
    }
}

TEST(KroMapFilePackedTest, DamagedBodiesGiveAValidEmptyMap) {
    // A flipped bit in the compressed stream, and well-formed bodies whose counts and parts lie about their size.
    auto Flipped = PackMap(SampleContent());
    Flipped[PackedMapHeaderSize + 20] ^= 0x10;

    auto Unpacked = EncodeMapContent(SampleContent());
    auto HugeCount = Unpacked;
    HugeCount[0] = 0xFF, HugeCount[1] = 0xFF, HugeCount[2] = 0xFF, HugeCount[3] = 0x7F;
    auto NegativeCount = Unpacked;
    NegativeCount[3] = 0x80;
    auto CutShort = Unpacked;
    CutShort.resize(Unpacked.size() - 9);

    for (const auto& Bad : {Flipped, PackMapBytes(HugeCount), PackMapBytes(NegativeCount), PackMapBytes(CutShort)}) {
        bool Accepted = false;
        const TMapFile Map = Read(Bad, &Accepted);
        EXPECT_TRUE(Accepted);
        EXPECT_TRUE(Map.Valid());
        EXPECT_TRUE(Map.Segments().empty());
        EXPECT_TRUE(Map.Publics().empty());
        EXPECT_TRUE(Map.Lines().empty());
        EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x100), nullptr);
        EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x100), 0);
    }
}

TEST(KroMapFilePackedTest, ThousandsOfMutatedMapsNeverFaultOrOverallocate) {
    std::mt19937 Random(19);
    const auto Unpacked = EncodeMapContent(SampleContent());
    const auto Packed = PackMap(SampleContent());
    for (int Round = 0; Round < 4000; ++Round) {
        // Half the rounds damage the unpacked map and pack it again with a fitting CRC, so the damage reaches the
        // reader of the parts; the other half damage the packed bytes, header included.
        const bool Inner = Round % 2 == 0;
        std::vector<std::uint8_t> Bytes = Inner ? Unpacked : Packed;
        const int Edits = 1 + static_cast<int>(Random() % 6);
        for (int E = 0; E < Edits && !Bytes.empty(); ++E) {
            const std::size_t At = Random() % Bytes.size();
            switch (Random() % 4) {
            case 0:
                Bytes[At] ^= static_cast<std::uint8_t>(1u << (Random() % 8));
                break;
            case 1:
                Bytes[At] = static_cast<std::uint8_t>(Random());
                break;
            case 2:
                Bytes.resize(At);
                break;
            default:
                Bytes.insert(Bytes.begin() + static_cast<std::ptrdiff_t>(At), static_cast<std::uint8_t>(Random()));
                break;
            }
        }
        const auto Input = Inner ? PackMapBytes(Bytes) : Bytes;
        const TMapFile Map = Read(Input);
        // Whatever was read, the map holds no more items than the unpacked bytes could describe.
        const std::size_t Budget = Unpacked.size() + 64;
        ASSERT_LE(Map.Segments().capacity(), Budget);
        ASSERT_LE(Map.Publics().capacity(), Budget);
        ASSERT_LE(Map.Lines().capacity(), Budget);
        for (std::uintptr_t A = CodeStart - 0x10; A < CodeStart + 0x400; A += 0x33) {
            (void)Map.GetSegmentOfAddress(A);
            (void)Map.GetPublicOfAddress(A);
            (void)Map.GetLineOfAddress(A);
        }
        (void)Map.GetAddressOfPublic("main", "main", true, false);
    }
}

TEST(KroMapFilePackedTest, AMapOfManyUnitsInReverseOrderIsReadInOnePass) {
    // A crafted map may list its segments in any order; putting each one in its place as it is read would take time
    // quadratic in their count (minutes here), while sorting once at the end takes a moment.
    TPackedMapContent C;
    constexpr std::int32_t Units = 300000;
    for (std::int32_t I = Units - 1; I >= 0; --I)
        C.Segments.push_back({I * 16, 16, "u" + std::to_string(I)});
    C.Publics = {{"first", 0}};
    const TMapFile Map = Read(PackMap(C));
    ASSERT_EQ(Map.Segments().size(), static_cast<std::size_t>(Units));
    for (const std::int32_t I : {0, 1, 4242, Units - 1}) {
        const TMfSegment* Segment = Map.GetSegmentOfAddress(CodeStart + static_cast<std::uintptr_t>(I) * 16 + 3);
        ASSERT_NE(Segment, nullptr) << I;
        EXPECT_EQ(Segment->UnitName, "u" + std::to_string(I));
    }
}
