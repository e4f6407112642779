// Hostile counts and lengths in every count field: the loader decides against the bytes that remain before it
// allocates, so loading S bytes never takes more than a small multiple of S. This file is its own test program:
// it counts every allocation through a replaced operator new (fuzz/AllocationMeter.cpp).

#include "AllocationMeter.h"
#include "DamagedFiles.h"
#include "FuzzBody.h"

#include <climits>

using namespace damaged;

namespace {

size_t TotalSize(const TFolderImages& Files) {
    size_t Size = 0;
    for (const auto& [Name, Image] : Files.Files)
        Size += Image.Size();
    return Size;
}

// Loads the folder and checks the heap's peak against the bound the fuzz target enforces.
TOutcome LoadWithinBound(const TFolderImages& Files, const std::string& What) {
    const TPyxMemoryFolder In = Folder(Files);
    const size_t Size = TotalSize(Files);
    const size_t Base = pyxfuzz::LiveBytes();
    pyxfuzz::ResetPeak();
    const TOutcome O = Load(In);
    const size_t Peak = pyxfuzz::PeakBytes() - Base;
    EXPECT_LE(Peak, pyxfuzz::MemoryAllowance + pyxfuzz::MemoryFactor * Size)
        << What << ": " << Size << " bytes of files took " << Peak << " bytes of heap; " << O;
    return O;
}

void ExpectRejectedWithinBound(TFolderImages& Files, wb::TFileImage& Image, size_t Offset,
                               std::initializer_list<int32_t> Values, const std::string& What) {
    const wb::TFileImage Whole = Image;
    for (int32_t Value : Values) {
        PatchI32(Image, Offset, Value);
        const TOutcome O = LoadWithinBound(Files, What + " = " + std::to_string(Value));
        EXPECT_FALSE(O.Loaded) << What << " = " << Value;
        EXPECT_TRUE(O.Loaded || NamesAFileOrTable(O.Message)) << What << " = " << Value << ": " << O;
        Image = Whole;
    }
}

// The first byte in which two builds of a world differ: the count or length field of whatever the two differ in.
size_t FirstDifference(const std::vector<uint8_t>& A, const std::vector<uint8_t>& B) {
    size_t I = 0;
    while (I < A.size() && I < B.size() && A[I] == B[I])
        ++I;
    return I;
}

} // namespace

TEST(MemoryBoundTest, AGenuineWorldLoadsWithinTheBound) {
    wb::TSampleOptions O;
    O.LanguageCount = 5;
    O.PeopleCount = 2000;
    const TFolderImages Files = Images(wb::BuildFiles(wb::SampleWorld(O)));
    EXPECT_TRUE(LoadWithinBound(Files, "sample world").Loaded);
}

TEST(MemoryBoundTest, HugeTableCountsAllocateNothingForThem) {
    TFolderImages Files = Images(SmallWorld());
    for (const char* File : {"server_db.dat", "people_db.dat", "pl_hist_index.dat"}) {
        wb::TFileImage& Image = Files[File];
        const wb::TFileImage Whole = Image;
        for (const auto& [Name, Offset] : Whole.Offsets) {
            if (Name.find('[') != std::string::npos || Name == "Header" || Name == "Extra" || Name == "Trailer")
                continue;
            // Far more records than the rest of the file could hold are refused; as many records of the smallest
            // kind as it could hold may or may not load, but within the bound.
            const auto Fits = static_cast<int32_t>((Whole.Size() - Offset) / 9);
            ExpectRejectedWithinBound(Files, Image, Offset, {INT32_MAX, 0x10000000, Fits * 9 + 1},
                                      std::string(File) + " " + Name + " count");
            PatchI32(Image, Offset, Fits);
            LoadWithinBound(Files, std::string(File) + " " + Name + " count " + std::to_string(Fits));
            Image = Whole;
        }
    }
}

TEST(MemoryBoundTest, HugeLanguageTableCountsAllocateNothingForThem) {
    TFolderImages Files = Images(SmallWorld());
    wb::TFileImage& Lang = Files["lang_db.dat"];
    for (const auto& [Name, Offset] : wb::TFileImage(Lang).Offsets) {
        if (!StartsWith(Name, "Block[") || !Contains(Name, "].") || Name.back() == ']')
            continue;
        const auto Fits = static_cast<int32_t>((Lang.Size() - Offset) / 4);
        ExpectRejectedWithinBound(Files, Lang, Offset, {INT32_MAX, Fits + 1}, "lang_db.dat " + Name + " count");
    }
}

TEST(MemoryBoundTest, HugeWideStringLengthsAllocateNothingForThem) {
    // The first two bytes in which a world with a one-letter and a two-letter name differ are the name's length.
    wb::TWorld A = SmallWorldDescription(), B = A;
    A.Languages[0].Name = u"x";
    B.Languages[0].Name = u"xy";
    TFolderImages Files = Images(wb::BuildFiles(A));
    wb::TFileImage& Server = Files["server_db.dat"];
    const size_t At = FirstDifference(Server.Data(), wb::BuildFiles(B).Server.Data());
    ASSERT_EQ(wb::ReadI32(Server.Data(), At), 1);
    const auto Fits = static_cast<int32_t>((Server.Size() - At) / 2 - 3);
    ExpectRejectedWithinBound(Files, Server, At, {INT32_MAX, 0x40000000, Fits + 2}, "language name length");
    PatchI32(Server, At, Fits);
    const TOutcome O = LoadWithinBound(Files, "a name as long as the rest of the file");
    EXPECT_FALSE(O.Loaded);
}

TEST(MemoryBoundTest, HugeTransferInfoCountsAllocateNothingForThem) {
    wb::TWorld A = SmallWorldDescription(), B = A;
    auto Club = std::find_if(A.Clubs.begin(), A.Clubs.end(), [](auto& C) { return !C.TransferInfo.empty(); });
    ASSERT_NE(Club, A.Clubs.end());
    B.Clubs[static_cast<size_t>(Club - A.Clubs.begin())].TransferInfo.push_back(Club->TransferInfo.front());
    TFolderImages Files = Images(wb::BuildFiles(A));
    wb::TFileImage& Server = Files["server_db.dat"];
    const size_t At = FirstDifference(Server.Data(), wb::BuildFiles(B).Server.Data());
    ASSERT_EQ(wb::ReadU8(Server.Data(), At), Club->TransferInfo.size());
    for (uint16_t Count : {0xFFFF, 0x8000, 0x0800}) {
        const wb::TFileImage Whole = Server;
        Server.Bytes.PatchI16(At, static_cast<int16_t>(Count));
        const TOutcome O = LoadWithinBound(Files, "transfer info count " + std::to_string(Count));
        EXPECT_FALSE(O.Loaded);
        EXPECT_TRUE(StartsWith(O.Message, "Data file seems to be corrupt, couldn't load Clubs.\r\n")) << O;
        Server = Whole;
    }
}

TEST(MemoryBoundTest, HugeSquadCountsAllocateNothingForThem) {
    wb::TWorld A = SmallWorldDescription(), B = A;
    auto Team = std::find_if(A.Teams.begin(), A.Teams.end(), [](auto& T) { return !T.PlayerIDs.empty(); });
    ASSERT_NE(Team, A.Teams.end());
    B.Teams[static_cast<size_t>(Team - A.Teams.begin())].PlayerIDs.push_back(Team->PlayerIDs.front());
    TFolderImages Files = Images(wb::BuildFiles(A));
    wb::TFileImage& Server = Files["server_db.dat"];
    const size_t At = FirstDifference(Server.Data(), wb::BuildFiles(B).Server.Data());
    const wb::TFileImage Whole = Server;
    Server.Bytes.PatchI16(At, static_cast<int16_t>(0xFFFF));
    const TOutcome O = LoadWithinBound(Files, "squad count 65535");
    EXPECT_FALSE(O.Loaded);
    EXPECT_TRUE(StartsWith(O.Message, "Data file seems to be corrupt, couldn't load Teams.\r\n")) << O;
}

TEST(MemoryBoundTest, HugeHistoryChainsAreBoundedByTheDataFile) {
    // An index that names one chain many times loads a copy for each person, but all copies together may not
    // exceed a few times the entries the data file holds.
    TFolderImages Files = Images(SmallWorld());
    wb::TFileImage& Index = Files["pl_hist_index.dat"];
    const int32_t Slot = wb::ReadI32(Index.Data(), Index.At("Index[1]") + 4);
    const int32_t Person = wb::ReadI32(Index.Data(), Index.At("Index[1]"));
    const int32_t Copies = 200000;
    Index.Bytes.Data().resize(Index.At("Count"));
    Index.Bytes.I32(Copies);
    for (int32_t I = 0; I < Copies; ++I) {
        Index.Bytes.I32(Person);
        Index.Bytes.I32(Slot);
    }
    const TOutcome O = LoadWithinBound(Files, "one chain named 200000 times");
    ASSERT_FALSE(O.Loaded);
    EXPECT_TRUE(StartsWith(O.Message, "The Playing History Files seems to be corrupt, couldn't load data.\r\n")) << O;
}

TEST(MemoryBoundTest, ALanguageListedTwiceIsRefused) {
    wb::TWorld World = SmallWorldDescription();
    World.LangDirectory.push_back(World.LangDirectory.back());
    wb::AlignLangFileOffsets(World);
    const TOutcome O = LoadWithinBound(Images(wb::BuildFiles(World)), "a language listed twice");
    ASSERT_FALSE(O.Loaded);
    EXPECT_EQ(O.Message, "lang_db.dat doesn't seem to be a valid Pyx data file.\r\nDuplicate Language: " +
                             std::to_string(World.LangDirectory.back()));
}

TEST(MemoryBoundTest, ABlockOffsetIntoTheDirectoryIsRefused) {
    TFolderImages Files = Images(SmallWorld());
    wb::TFileImage& Lang = Files["lang_db.dat"];
    PatchI32(Lang, Lang.At("Directory[1]") + 4, 8);
    const TOutcome O = LoadWithinBound(Files, "a block offset into the directory");
    ASSERT_FALSE(O.Loaded);
    EXPECT_EQ(O.Message, "lang_db.dat doesn't seem to be a valid Pyx data file.\r\nLanguage Offset: 8");
}

TEST(MemoryBoundTest, ManyLanguagesOverManyEntitiesWithEmptyBlocksAreRefused) {
    // 255 languages and 20000 regions: every language would give every region a text object, 5 million objects
    // from files of a few hundred kilobytes whose blocks hold no texts at all.
    const wb::TWorld World = wb::ManyLanguagesWorld(20000, u"L");
    const TOutcome O = LoadWithinBound(Images(wb::BuildFiles(World)), "255 languages over 20000 regions");
    ASSERT_FALSE(O.Loaded);
    EXPECT_EQ(O.Message, "lang_db.dat doesn't seem to be a valid Pyx data file.\r\n254 extra languages for 20000 "
                         "entities with texts need more texts than the files hold.");
}

TEST(MemoryBoundTest, ManyLanguagesOverAFewEntitiesLoad) {
    const wb::TWorld World = wb::ManyLanguagesWorld(14);
    EXPECT_TRUE(LoadWithinBound(Images(wb::BuildFiles(World)), "255 languages over 14 regions").Loaded);
}
