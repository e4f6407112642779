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

// The sample with code inlined into main: a vector's size() (known by its linkage name), and a helper (known by its
// plain name) in two stretches, which inlined a function in turn.
TPackedMapContent InlinedContent() {
    TPackedMapContent C = SampleContent();
    C.Inlines.Functions = {"_ZNKSt6vectorIiSaIiEE4sizeEv", "Helper", "Inner"};
    C.Inlines.Units = {"main.cpp", "stl_vector.h", "util.h"};
    C.Inlines.Calls = {
        {0x010, 0x20, 1, 0, 0, 11}, {0x040, 0x40, 1, 1, 0, 12}, {0x050, 0x10, 2, 2, 2, 7}, {0x120, 0x10, 1, 1, 0, 41}};
    C.Inlines.Rows = {{0x010, 1, 919}, {0x020, 1, 920}, {0x040, 2, 5}, {0x050, 2, 3}, {0x060, 2, 8}, {0x120, 2, 9}};
    return C;
}

std::string Frames(const TMapFile& Map, std::uintptr_t Address) {
    std::string Text;
    for (const TMfInlineFrame& Frame : Map.GetInlinedFramesOfAddress(Address))
        Text += Frame.FunctionName + "@" + Frame.UnitName + ":" + std::to_string(Frame.Line) + " ";
    return Text;
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

TEST(KroMapFilePackedTest, InlinedCallsReadAsTheMapWroteThem) {
    bool Accepted = false;
    const TMapFile Map = Read(PackMap(InlinedContent()), &Accepted);
    ASSERT_TRUE(Accepted);
    // The rest of the map reads as without them.
    EXPECT_EQ(Map.EntryPoint(), CodeStart + 0x50);
    EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x015)->Name, "main");
    EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x015), 11);
    // Innermost first, each at the line where the address stands in it; a linkage name reads demangled.
    EXPECT_EQ(Frames(Map, CodeStart + 0x015), "std::vector<int, std::allocator<int> >::size() const@stl_vector:919 ");
    EXPECT_EQ(Frames(Map, CodeStart + 0x02F), "std::vector<int, std::allocator<int> >::size() const@stl_vector:920 ");
    EXPECT_EQ(Frames(Map, CodeStart + 0x04F), "Helper@util:5 ");
    EXPECT_EQ(Frames(Map, CodeStart + 0x055), "Inner@util:3 Helper@util:7 ");
    EXPECT_EQ(Frames(Map, CodeStart + 0x060), "Helper@util:8 ");
    EXPECT_EQ(Frames(Map, CodeStart + 0x12F), "Helper@util:9 ");
    // Outside the calls there is nothing inlined.
    for (const std::uintptr_t Outside : {0x000, 0x00F, 0x030, 0x080, 0x11F, 0x130, 0x8000})
        EXPECT_EQ(Frames(Map, CodeStart + Outside), "") << Outside;
    EXPECT_EQ(Frames(Map, CodeEnd), "");

    // Without an entry point the inlined code still reads; a map without them has none.
    TPackedMapContent NoEntry = InlinedContent();
    NoEntry.EntryPoint.reset();
    const TMapFile WithoutEntry = Read(PackMap(NoEntry));
    EXPECT_EQ(WithoutEntry.EntryPoint(), 0u);
    EXPECT_EQ(Frames(WithoutEntry, CodeStart + 0x055), "Inner@util:3 Helper@util:7 ");
    EXPECT_EQ(Frames(Read(PackMap(SampleContent())), CodeStart + 0x055), "");
}

TEST(KroMapFilePackedTest, InlinedCallsOfAFunctionInlinedInManyPlacesAreToldOnce) {
    // A function inlined in five hundred places, each inlining the same call and standing on the same lines: told
    // once, the call and the lines take a byte each in every further place. Told anew in each place, they take more.
    const auto Places = [](bool Repeated) {
        TPackedMapContent C = SampleContent();
        C.Inlines.Functions = {"Outer", "Leaf"};
        C.Inlines.Units = {"a.h"};
        for (std::int32_t I = 0; I < 500; ++I) {
            const std::int32_t At = 0x400 + I * 0x20;
            const std::int32_t Shift = Repeated ? 0 : I * 3;
            C.Inlines.Calls.push_back({At, 0x10, 1, 0, 0, 100 + I});
            C.Inlines.Calls.push_back({At + 4, 0x8, 2, 1, 0, 20 + Shift});
            C.Inlines.Rows.push_back({At, 0, 21 + Shift});
            C.Inlines.Rows.push_back({At + 4, 0, 30 + Shift});
            C.Inlines.Rows.push_back({At + 8, 0, 31 + Shift});
        }
        return C;
    };
    const std::size_t Plain = EncodeMapContent(SampleContent()).size();
    const std::size_t Repeated = EncodeMapContent(Places(true)).size() - Plain;
    const std::size_t Told = EncodeMapContent(Places(false)).size() - Plain;
    EXPECT_LT(Repeated, 500u * 20);
    EXPECT_LT(Repeated + 500 * 5, Told);

    const TMapFile Map = Read(PackMap(Places(true)));
    for (const std::int32_t I : {0, 1, 250, 499}) {
        const std::uintptr_t At = CodeStart + 0x400 + static_cast<std::uintptr_t>(I) * 0x20;
        EXPECT_EQ(Frames(Map, At + 1), "Outer@a:21 ");
        EXPECT_EQ(Frames(Map, At + 5), "Leaf@a:30 Outer@a:20 ");
        EXPECT_EQ(Frames(Map, At + 9), "Leaf@a:31 Outer@a:20 ");
        EXPECT_EQ(Frames(Map, At + 0xC), "Outer@a:31 ");
        EXPECT_EQ(Frames(Map, At + 0x10), "");
    }
    // Each place keeps the line it was called from.
    ASSERT_EQ(Map.Inlines().CallsAtDepth(1).size(), 500u);
    EXPECT_EQ(Map.Inlines().CallsAtDepth(1)[377].Line, 477);
    const TMapFile Other = Read(PackMap(Places(false)));
    EXPECT_EQ(Frames(Other, CodeStart + 0x400 + 7 * 0x20 + 9), "Leaf@a:52 Outer@a:41 ");
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
    // The part of inlined code cut short, followed by more bytes, or naming a function it does not hold.
    const auto Inlined = EncodeMapContent(InlinedContent());
    auto InlinedCut = Inlined;
    InlinedCut.pop_back();
    auto InlinedLonger = Inlined;
    InlinedLonger.push_back(0);
    TPackedMapContent Unnamed = InlinedContent();
    Unnamed.Inlines.Units.clear();

    for (const auto& Bad : {Flipped, PackMapBytes(HugeCount), PackMapBytes(NegativeCount), PackMapBytes(CutShort),
                            PackMapBytes(InlinedCut), PackMapBytes(InlinedLonger), PackMap(Unnamed)}) {
        bool Accepted = false;
        const TMapFile Map = Read(Bad, &Accepted);
        EXPECT_TRUE(Accepted);
        EXPECT_TRUE(Map.Valid());
        EXPECT_TRUE(Map.Segments().empty());
        EXPECT_TRUE(Map.Publics().empty());
        EXPECT_TRUE(Map.Lines().empty());
        EXPECT_EQ(Map.GetPublicOfAddress(CodeStart + 0x100), nullptr);
        EXPECT_EQ(Map.GetLineOfAddress(CodeStart + 0x100), 0);
        EXPECT_TRUE(Map.Inlines().Empty());
    }
}

TEST(KroMapFilePackedTest, ThousandsOfMutatedMapsNeverFaultOrOverallocate) {
    std::mt19937 Random(19);
    const auto Unpacked = EncodeMapContent(InlinedContent());
    const auto Packed = PackMap(InlinedContent());
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
        ASSERT_LE(Map.Inlines().Rows().capacity(), Budget);
        for (std::size_t Depth = 1; Depth <= Map.Inlines().Depths(); ++Depth)
            ASSERT_LE(Map.Inlines().CallsAtDepth(Depth).capacity(), Budget);
        for (std::uintptr_t A = CodeStart - 0x10; A < CodeStart + 0x400; A += 0x33) {
            (void)Map.GetSegmentOfAddress(A);
            (void)Map.GetPublicOfAddress(A);
            (void)Map.GetLineOfAddress(A);
            (void)Map.GetInlinedFramesOfAddress(A);
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
