// Damaged data folders: every cut, header byte, count and record type a small world can be damaged in gives one of
// the data layer's failures, with a message that names the file or the table the damage is in.

#include "DamagedFiles.h"

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <set>

using namespace damaged;

namespace {

const char* const HistoryPrefix = "The Playing History Files seems to be corrupt, couldn't load data.\r\n";

bool IsHistoryFile(const std::string& File) {
    return StartsWith(File, "pl_hist_");
}

// The table of server_db.dat or people_db.dat, or the language table of a lang_db.dat block ("Block[1].Clubs"),
// that holds Offset; empty when Offset is in the file's own frame (header, extra block, directory, trailer).
std::string TableAt(const std::string& File, const wb::TFileImage& Image, size_t Offset) {
    const std::string* Best = nullptr;
    size_t BestStart = 0;
    for (const auto& [Name, Start] : Image.Offsets) {
        if (Start > Offset)
            continue;
        const bool IsBlockTable = StartsWith(Name, "Block[") && Contains(Name, "].") && Name.back() != ']';
        const bool IsFrame = Name == "Header" || Name == "Extra" || Name == "Trailer" || StartsWith(Name, "Directory");
        const bool IsTable = File == "lang_db.dat" ? IsBlockTable : Name.find('[') == std::string::npos;
        if (!IsTable && !IsFrame)
            continue;
        if (!Best || Start > BestStart || (Start == BestStart && Name.size() > Best->size())) {
            Best = &Name;
            BestStart = Start;
        }
    }
    if (!Best || *Best == "Header" || *Best == "Extra" || *Best == "Trailer" || StartsWith(*Best, "Directory"))
        return "";
    return *Best;
}

// The message names the table that holds Offset, or the file when Offset is in the file's frame.
bool NamesPartAt(const std::string& File, const wb::TFileImage& Image, size_t Offset, const std::string& Message) {
    if (IsHistoryFile(File))
        return StartsWith(Message, HistoryPrefix);
    const std::string Table = TableAt(File, Image, Offset);
    if (Table.empty())
        return StartsWith(Message, "Data file seems to be corrupt, couldn't load " + File + ".\r\n") ||
               StartsWith(Message, File + " doesn't seem to be a valid Pyx data file.");
    if (File == "lang_db.dat")
        return StartsWith(Message, "Data file seems to be corrupt, couldn't load the ") &&
               Contains(Message, " texts of " + Table.substr(Table.find("].") + 2) + " from lang_db.dat.\r\n");
    return StartsWith(Message, "Data file seems to be corrupt, couldn't load " + Table + ".\r\n");
}

// The load failed with a corruption error naming the table (or file) that holds Offset, or with AlsoAt set, the
// one that holds AlsoAt.
void ExpectFailureNaming(const std::string& File, const wb::TFileImage& Image, size_t Offset, const TOutcome& O,
                         const std::string& What, std::optional<size_t> AlsoAt = std::nullopt) {
    ASSERT_FALSE(O.Loaded) << What;
    ASSERT_TRUE(O.Kind == "EFileCorruptError" || O.Kind == "EPyxLoadError") << What << ": " << O;
    EXPECT_TRUE(NamesPartAt(File, Image, Offset, O.Message) || (AlsoAt && NamesPartAt(File, Image, *AlsoAt, O.Message)))
        << What << " (" << TableAt(File, Image, Offset) << "): " << O;
}

// Start, second byte, middle and last byte of every named part of a file, and its last byte.
std::set<size_t> CutPoints(const wb::TFileImage& Image) {
    std::set<size_t> Starts;
    for (const auto& [Name, Start] : Image.Offsets)
        Starts.insert(Start);
    Starts.insert(Image.Size());
    std::set<size_t> Cuts;
    for (auto It = Starts.begin(); std::next(It) != Starts.end(); ++It) {
        const size_t From = *It, To = *std::next(It);
        for (size_t Cut : {From, From + 1, From + (To - From) / 2, To - 1})
            if (Cut >= From && Cut < To)
                Cuts.insert(Cut);
    }
    return Cuts;
}

// The plural a table's record-type message starts with.
const std::map<std::string, std::string> RecordTypeNames = {
    {"Awards", "Awards"},
    {"Cities", "Cities"},
    {"Clubs", "Clubs"},
    {"Competitions", "Competitions"},
    {"Continents", "Continents"},
    {"Injuries", "Injuries"},
    {"Media", "Medias"},
    {"Languages", "Languages"},
    {"Nations", "Nations"},
    {"First Names", "Names"},
    {"Second Names", "Names"},
    {"Common Names", "Names"},
    {"Regions", "Regions"},
    {"Sponsors", "Sponsors"},
    {"Stadiums", "Stadiums"},
    {"Stadium Moves", "Stadium Moves"},
    {"Stages", "Stages"},
    {"Teams", "Teams"},
    {"Weather", "Weather"},
    {"Player Types", "Player Types"},
    {"Award Histories", "Award History"},
    {"Competition Histories", "Competition History"},
    {"Loans", "Loans"},
    {"Starting Injuries", "Starting Injuries"},
    {"Starting Confidence", "Starting Confidence"},
    {"Future Transfers", "Future Transfers"},
    {"Club Debts", "Club Debts"},
    {"People", "Person data"},
    {"Person Data", "Person Data"},
    {"Playing Data", "Playing Data"},
    {"Non Playing Data", "Non Playing Data"},
};

class CorruptionTest : public testing::TestWithParam<int16_t> {
protected:
    TFolderImages Files = Images(SmallWorld(GetParam()));
};

} // namespace

TEST_P(CorruptionTest, TheUndamagedWorldLoads) {
    EXPECT_TRUE(Load(Files).Loaded) << Load(Files);
}

TEST_P(CorruptionTest, ACutAnywhereInAnyFileNamesTheFileOrTable) {
    for (auto& [File, Image] : Files.Files) {
        const wb::TFileImage Whole = Image;
        for (size_t Cut : CutPoints(Whole)) {
            Image.Bytes.Data().resize(Cut);
            const TOutcome O = Load(Files);
            Image = Whole;
            // The terminator of a wide string is skipped, not read: when a table ends with a string, cutting its
            // terminator shows only when the next table is read.
            ExpectFailureNaming(File, Whole, Cut, O, File + " cut at " + std::to_string(Cut), Cut + 2);
        }
    }
}

TEST_P(CorruptionTest, EveryDamagedHeaderByteIsAnInvalidFileOrVersion) {
    for (auto& [File, Image] : Files.Files) {
        const wb::TFileImage Whole = Image;
        const int16_t Version = static_cast<int16_t>(Whole.Data()[9] | Whole.Data()[10] << 8);
        for (size_t At = 0; At < 12; ++At)
            for (uint8_t Flip : {0x01, 0x80, 0xFF}) {
                const uint8_t Value = static_cast<uint8_t>(Whole.Data()[At] ^ Flip);
                Image.Bytes.PatchU8(At, Value);
                const TOutcome O = Load(Files);
                Image = Whole;
                const std::string What =
                    File + " header byte " + std::to_string(At) + " set to " + std::to_string(Value);
                ASSERT_FALSE(O.Loaded) << What;
                EXPECT_EQ(O.Kind, "EFileCorruptError") << What;
                std::string Expected = File + " doesn't seem to be a valid Pyx data file.";
                if (At == 9 || At == 10) {
                    const int NewVersion = At == 9 ? static_cast<int16_t>((Version & 0xFF00) | Value)
                                                   : static_cast<int16_t>((Version & 0x00FF) | Value << 8);
                    Expected += "\r\nUnknown File Version: " + std::to_string(NewVersion);
                }
                if (IsHistoryFile(File))
                    Expected = HistoryPrefix + Expected;
                EXPECT_EQ(O.Message, Expected) << What;
            }
    }
}

TEST_P(CorruptionTest, AnotherVersionInAHeaderNeverCrashes) {
    // A file read with the layout of another accepted version misreads its records: it either loads or fails with
    // a named table, never anything else.
    for (auto& [File, Image] : Files.Files) {
        const wb::TFileImage Whole = Image;
        for (int16_t Version : {0, 1, 111, 112, 113, 144, 145, 146, 147, 148, 199, 200, 201, -1, INT16_MAX}) {
            Image.Bytes.PatchI16(9, Version);
            const TOutcome O = Load(Files);
            Image = Whole;
            EXPECT_TRUE(O.Loaded || NamesAFileOrTable(O.Message)) << File << " with version " << Version << ": " << O;
        }
    }
}

TEST_P(CorruptionTest, NegativeAndHugeCountsNameTheirTable) {
    for (auto& [File, Image] : Files.Files) {
        const wb::TFileImage Whole = Image;
        for (const auto& [Name, Offset] : Whole.Offsets) {
            const bool IsCount = File == "lang_db.dat" ? TableAt(File, Whole, Offset) == Name
                                                       : Name.find('[') == std::string::npos && Name != "Header" &&
                                                             Name != "Extra" && Name != "Trailer";
            if (!IsCount || IsHistoryFile(File) != (Name == "Count"))
                continue;
            for (int32_t Count : {-1, INT32_MIN, INT32_MAX, 0x01000000, 0x00100000}) {
                PatchI32(Image, Offset, Count);
                const TOutcome O = Load(Files);
                Image = Whole;
                ExpectFailureNaming(File, Whole, Offset, O,
                                    File + " " + Name + " count set to " + std::to_string(Count));
            }
        }
    }
}

TEST_P(CorruptionTest, OneRecordMoreThanATableHoldsNeverCrashes) {
    for (auto& [File, Image] : Files.Files) {
        const wb::TFileImage Whole = Image;
        for (const auto& [Name, Offset] : Whole.Offsets) {
            if (File != "server_db.dat" && File != "people_db.dat")
                continue;
            if (Name.find('[') != std::string::npos || Name == "Header" || Name == "Extra" || Name == "Trailer")
                continue;
            PatchI32(Image, Offset, wb::ReadI32(Whole.Data(), Offset) + 1);
            const TOutcome O = Load(Files);
            Image = Whole;
            EXPECT_TRUE(O.Loaded || NamesAFileOrTable(O.Message))
                << File << " " << Name << " with one record more: " << O;
        }
    }
}

TEST_P(CorruptionTest, TheDataTableCountsInThePeopleTableAreNotRead) {
    // people_db.dat repeats the three data tables' counts after the person count; each table carries its own.
    wb::TFileImage& People = Files["people_db.dat"];
    for (size_t At : {16u, 20u, 24u})
        PatchI32(People, People.At("People") + At - 12, -7);
    EXPECT_TRUE(Load(Files).Loaded) << Load(Files);
}

TEST_P(CorruptionTest, EveryUnknownRecordTypeNamesItsTableRecordAndType) {
    for (const char* File : {"server_db.dat", "people_db.dat"}) {
        wb::TFileImage& Image = Files[File];
        const wb::TFileImage Whole = Image;
        for (const auto& [Name, Offset] : Whole.Offsets) {
            const size_t Bracket = Name.find('[');
            if (Bracket == std::string::npos)
                continue;
            const std::string Table = Name.substr(0, Bracket);
            const std::string Index = Name.substr(Bracket + 1, Name.size() - Bracket - 2);
            if (Table == "Person Languages") // items without a type byte
                continue;
            const size_t TypeAt = Table == "People" ? Offset + 4 : Offset; // persons are preceded by their ID
            std::vector<uint8_t> Unknown = {1, 10, 255};
            if (Table == "Teams")
                Unknown = {0, 9, 12, 255};
            else if (Table == "People")
                Unknown = {0, 6, 255};
            for (uint8_t Type : Unknown) {
                Image.Bytes.PatchU8(TypeAt, Type);
                const TOutcome O = Load(Files);
                Image = Whole;
                const std::string What = std::string(File) + " " + Name + " with record type " + std::to_string(Type);
                ASSERT_FALSE(O.Loaded) << What;
                EXPECT_EQ(O.Kind, "EFileCorruptError") << What;
                EXPECT_TRUE(StartsWith(O.Message, "Data file seems to be corrupt, couldn't load " + Table +
                                                      ".\r\nError Loading Entity Number: " + Index + "\r\n"))
                    << What << ": " << O;
                const std::string Tail =
                    RecordTypeNames.at(Table) + " seems to be corrupt.\r\nRecord Type: " + std::to_string(Type);
                EXPECT_TRUE(O.Message.size() >= Tail.size() &&
                            O.Message.compare(O.Message.size() - Tail.size(), Tail.size(), Tail) == 0)
                    << What << ": " << O;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, CorruptionTest, testing::Values(112, 145, 147),
                         [](const testing::TestParamInfo<int16_t>& I) { return "V" + std::to_string(I.param); });

namespace {

// Damaged playing-history chains in the small world: the data file's entries are "History[k][j]" (file offsets),
// each with its next offset 9 bytes in; offsets in the files count from the end of the 12-byte header.
class HistoryChainTest : public testing::Test {
protected:
    TFolderImages Files = Images(SmallWorld());
    wb::TFileImage& Index = Files["pl_hist_index.dat"];
    wb::TFileImage& Id = Files["pl_hist_id.dat"];
    wb::TFileImage& Data = Files["pl_hist_dt.dat"];

    int32_t Entry(int Slot, int Index) const {
        return static_cast<int32_t>(Data.At("History[" + std::to_string(Slot) + "][" + std::to_string(Index) + "]") -
                                    12);
    }
    // Index of the last entry of a slot's chain.
    int Last(int Slot) const {
        int J = 0;
        while (Data.Offsets.count("History[" + std::to_string(Slot) + "][" + std::to_string(J + 1) + "]"))
            ++J;
        return J;
    }
    void SetNext(int Slot, int Index, int32_t Next) {
        PatchI32(Data, static_cast<size_t>(Entry(Slot, Index)) + 12 + 9, Next);
    }

    void ExpectChainError(int64_t Offset) {
        const TOutcome O = Load(Files);
        ASSERT_FALSE(O.Loaded);
        EXPECT_EQ(O.Kind, "EFileCorruptError");
        EXPECT_EQ(O.Message,
                  std::string(HistoryPrefix) +
                      "Playing history chain seems to be corrupt.\r\nEntry Offset: " + std::to_string(Offset));
    }
};

} // namespace

TEST_F(HistoryChainTest, AChainBackToItsFirstEntryIsCorrupt) {
    int Slot = 0;
    while (Data.Offsets.count("History[" + std::to_string(Slot) + "][0]") && Last(Slot) < 1)
        ++Slot;
    ASSERT_GE(Last(Slot), 1) << "the world needs a history of two entries";
    SetNext(Slot, Last(Slot), Entry(Slot, 0));
    ExpectChainError(Entry(Slot, 0));
}

TEST_F(HistoryChainTest, AnEntryPointingAtItselfIsCorrupt) {
    SetNext(1, 0, Entry(1, 0));
    ExpectChainError(Entry(1, 0));
}

TEST_F(HistoryChainTest, AChainLeavingTheFileIsCorrupt) {
    const int32_t Entries = static_cast<int32_t>(Data.Size() - 12);
    for (int32_t Next : {Entries, Entries - 5, 1 << 30, INT32_MAX, -2, -13, INT32_MIN}) {
        const wb::TFileImage Whole = Data;
        SetNext(0, 0, Next);
        ExpectChainError(Next);
        Data = Whole;
    }
}

TEST_F(HistoryChainTest, AFirstEntryOutsideTheFileIsCorrupt) {
    for (int32_t First : {-7, static_cast<int32_t>(Data.Size()), 1 << 30}) {
        const wb::TFileImage Whole = Id;
        PatchI32(Id, Id.At("Slot[2]"), First);
        ExpectChainError(First);
        Id = Whole;
    }
}

TEST_F(HistoryChainTest, ASlotOutsideTheIdFileIsCorrupt) {
    for (int32_t Slot : {-1, INT32_MIN, 1000, INT32_MAX}) {
        const wb::TFileImage Whole = Index;
        PatchI32(Index, Index.At("Index[1]") + 4, Slot);
        const TOutcome O = Load(Files);
        ASSERT_FALSE(O.Loaded) << "slot " << Slot;
        EXPECT_TRUE(StartsWith(O.Message, HistoryPrefix)) << O;
        if (Slot < 0) {
            EXPECT_EQ(O.Message, std::string(HistoryPrefix) +
                                     "Playing history index seems to be corrupt.\r\nSlot: " + std::to_string(Slot));
        }
        Index = Whole;
    }
}

TEST_F(HistoryChainTest, TwoPersonsSharingAChainEachGetTheirOwnCopy) {
    // Not what a save writes, but each person can still be given the seasons the file names for it.
    PatchI32(Index, Index.At("Index[1]") + 4, wb::ReadI32(Index.Data(), Index.At("Index[0]") + 4));
    TPyxDatabase Db;
    ASSERT_NO_THROW(Db.Load(Folder(Files)));
    const TPyxPerson* A = Db.People.FindByUniqueID(wb::ReadI32(Index.Data(), Index.At("Index[0]")));
    const TPyxPerson* B = Db.People.FindByUniqueID(wb::ReadI32(Index.Data(), Index.At("Index[1]")));
    ASSERT_TRUE(A && B && A->PlayingHistory && B->PlayingHistory);
    ASSERT_NE(A->PlayingHistory.get(), B->PlayingHistory.get());
    ASSERT_EQ(A->PlayingHistory->Count(), B->PlayingHistory->Count());
    for (int32_t I = 0; I < A->PlayingHistory->Count(); ++I)
        EXPECT_EQ(A->PlayingHistory->Items(I)->Season, B->PlayingHistory->Items(I)->Season);
}

TEST_F(HistoryChainTest, ANegativeHistoryCountIsCorrupt) {
    // Loading nothing would let the next save write the files without any history.
    PatchI32(Index, Index.At("Count"), -3);
    const TOutcome O = Load(Files);
    ASSERT_FALSE(O.Loaded);
    EXPECT_EQ(O.Message,
              std::string(HistoryPrefix) + "Playing history index seems to be corrupt.\r\nHistory Count: -3");
}

namespace {

// Type bytes inside records, set to values no reader knows, in the small world's description.
TOutcome LoadWorld(const wb::TWorld& World) {
    return Load(Folder(Images(wb::BuildFiles(World))));
}

void ExpectTableFailure(const TOutcome& O, const std::string& Table, const std::string& Tail) {
    ASSERT_FALSE(O.Loaded) << Table;
    EXPECT_EQ(O.Kind, "EFileCorruptError");
    EXPECT_TRUE(StartsWith(O.Message, "Data file seems to be corrupt, couldn't load " + Table + ".\r\n")) << O;
    EXPECT_TRUE(O.Message.size() >= Tail.size() &&
                O.Message.compare(O.Message.size() - Tail.size(), Tail.size(), Tail) == 0)
        << O;
}

} // namespace

TEST(RecordPartTypeTest, UnknownTransferInfoTypeNamesClubs) {
    wb::TWorld World = SmallWorldDescription();
    auto Club = std::find_if(World.Clubs.begin(), World.Clubs.end(), [](auto& C) { return !C.TransferInfo.empty(); });
    ASSERT_NE(Club, World.Clubs.end());
    Club->TransferInfo.front().Type = 7;
    ExpectTableFailure(LoadWorld(World), "Clubs", "Transfer Info seems to be corrupt.\r\nType: 7");
}

TEST(RecordPartTypeTest, UnknownRelationshipTargetTypeNamesPeople) {
    wb::TWorld World = SmallWorldDescription();
    auto Person =
        std::find_if(World.People.begin(), World.People.end(), [](auto& P) { return !P.Relationships.empty(); });
    ASSERT_NE(Person, World.People.end());
    Person->Relationships.front().TargetType = 6;
    ExpectTableFailure(LoadWorld(World), "People", "Relationship data seems to be corrupt.\r\nRecord Type: 6");
}

TEST(RecordPartTypeTest, UnknownContractTypeNamesPeople) {
    wb::TWorld World = SmallWorldDescription();
    auto Person = std::find_if(World.People.begin(), World.People.end(), [](auto& P) { return !P.Contracts.empty(); });
    ASSERT_NE(Person, World.People.end());
    Person->Contracts.front().ContractType = 1;
    ExpectTableFailure(LoadWorld(World), "People", "Contract data seems to be corrupt.\r\nContract Type: 1");
}

TEST(RecordPartTypeTest, UnknownClubDebtKindNamesClubDebts) {
    wb::TWorld World = SmallWorldDescription();
    ASSERT_FALSE(World.ClubDebts.empty());
    World.ClubDebts.back().Kind = 3;
    ExpectTableFailure(LoadWorld(World), "Club Debts", "Club Debts seems to be corrupt.\r\nType: 3");
}

TEST(RecordPartTypeTest, UnknownStadiumMoveKindNamesStadiumMoves) {
    wb::TWorld World = SmallWorldDescription();
    ASSERT_FALSE(World.StadiumMoves.empty());
    World.StadiumMoves.front().Kind = 3;
    ExpectTableFailure(LoadWorld(World), "Stadium Moves", "Stadium Moves seems to be corrupt.\r\nType: 3");
}

TEST(DuplicateKeyTest, TwoPersonsWithOneIDAreACorruptPeopleTable) {
    wb::TWorld World = SmallWorldDescription();
    World.People[5].ID = World.People[2].ID;
    ExpectTableFailure(LoadWorld(World), "People",
                       "Person data seems to be corrupt.\r\nDuplicate ID: " + std::to_string(World.People[2].ID));
}

TEST(DuplicateKeyTest, TwoPersonsWithOneUniqueIDAreACorruptPeopleTable) {
    wb::TWorld World = SmallWorldDescription();
    World.People[7].UniqueID = World.People[3].UniqueID;
    ExpectTableFailure(LoadWorld(World), "People",
                       "Person data seems to be corrupt.\r\nDuplicate UniqueID: " +
                           std::to_string(World.People[3].UniqueID));
}

TEST(DuplicateKeyTest, TwoSponsorsWithOneIDBothLoad) {
    // Kinds that a save does not reorder resolve a duplicate key the same way every time: both are kept.
    wb::TWorld World = SmallWorldDescription();
    ASSERT_GE(World.Sponsors.size(), 2u);
    World.Sponsors[1].ID = World.Sponsors[0].ID;
    TPyxDatabase Db;
    ASSERT_NO_THROW(Db.Load(Folder(Images(wb::BuildFiles(World)))));
    EXPECT_EQ(Db.Sponsors.Count(), static_cast<int32_t>(World.Sponsors.size()));
    EXPECT_EQ(Db.Sponsors.FindByID(World.Sponsors[0].ID), Db.Sponsors.Items(1));
}
