// The three playing-history files: chains of entries read against people and teams, written back slot by slot
// in ascending person UniqueID, and files whose chains or slots cannot be followed.

#include "PeopleTestSupport.h"

#include "PeopleBuilder.h"
#include "SampleBuilder.h"
#include "SampleWorld.h"

#include <chrono>

namespace {

const std::string HistoryError =
    "EFileCorruptError: The Playing History Files seems to be corrupt, couldn't load data.\r\n";

wb::TPlayingHistoryEntry Season(int16_t Year, uint8_t Apps, int32_t Team = -1, uint8_t OnLoan = 0) {
    return wb::TPlayingHistoryEntry{Year, OnLoan, Apps, static_cast<uint8_t>(Apps / 3), Team};
}

// Players with UniqueIDs 10, 20, 30, ... and the history files, empty.
wb::TWorld PlayersWithHistoryFiles(int Players, int16_t Version = 147) {
    wb::TWorld W = wb::EmptyWorld(Version);
    for (int K = 0; K < Players; ++K)
        wb::AddPerson(W, 2, K + 1, 10 * (K + 1));
    W.Histories.emplace();
    W.Histories->IndexVersion = Version;
    return W;
}

std::string StartOf(const std::string& Text, std::size_t Length) {
    return Text.substr(0, Length);
}

} // namespace

TEST(PlayingHistoryFiles, ChainsAreWrittenContiguouslyWithTheirOffsets) {
    wb::TWorld W = PlayersWithHistoryFiles(2);
    // Given in the files in the wrong order; the save puts UniqueID 10 first.
    W.Histories->Histories = {{20, {Season(2001, 30), Season(2002, 31)}},
                              {10, {Season(1999, 10), Season(2000, 11), Season(2001, 12)}}};
    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    const TPyxPlayingHistory* H = Db.People.FindByUniqueID(10)->PlayingHistory.get();
    ASSERT_NE(H, nullptr);
    ASSERT_EQ(H->Count(), 3);
    EXPECT_EQ(H->Items(0)->Season, 1999);
    EXPECT_EQ(H->Items(2)->Apps, 12);
    EXPECT_EQ(H->Items(2)->Goals, 4);
    EXPECT_EQ(H->Items(1)->Team, nullptr);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));

    const auto Index = wb::ReadFileBytes(Out.File("pl_hist_index.dat"));
    const auto Id = wb::ReadFileBytes(Out.File("pl_hist_id.dat"));
    const auto Data = wb::ReadFileBytes(Out.File("pl_hist_dt.dat"));
    ASSERT_EQ(Index.size(), 12u + 4u + 2u * 8u);
    EXPECT_EQ(wb::ReadI32(Index, 12), 2);
    EXPECT_EQ(wb::ReadI32(Index, 16), 10);
    EXPECT_EQ(wb::ReadI32(Index, 20), 0);
    EXPECT_EQ(wb::ReadI32(Index, 24), 20);
    EXPECT_EQ(wb::ReadI32(Index, 28), 1);
    ASSERT_EQ(Id.size(), 12u + 2u * 8u);
    EXPECT_EQ(wb::ReadI32(Id, 12), 0);  // first entry of slot 0
    EXPECT_EQ(wb::ReadI32(Id, 16), 26); // its last
    EXPECT_EQ(wb::ReadI32(Id, 20), 39);
    EXPECT_EQ(wb::ReadI32(Id, 24), 52);
    ASSERT_EQ(Data.size(), 12u + 5u * 13u);
    EXPECT_EQ(wb::ReadI16(Data, 12), 1999);
    EXPECT_EQ(wb::ReadI32(Data, 12 + 9), 13);
    EXPECT_EQ(wb::ReadI32(Data, 12 + 13 + 9), 26);
    EXPECT_EQ(wb::ReadI32(Data, 12 + 26 + 9), -1);
    EXPECT_EQ(wb::ReadI32(Data, 12 + 39 + 9), 52);
    EXPECT_EQ(wb::ReadI32(Data, 12 + 52 + 9), -1);
    EXPECT_EQ(wb::ReadI32(Data, 12 + 52 + 5), -1) << "no team";

    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PlayingHistoryFiles, SlotsInAnyOrderLoadAndAreSavedInAscendingUniqueID) {
    wb::TWorld W = PlayersWithHistoryFiles(3);
    W.Histories->Histories = {{30, {Season(2003, 3)}}, {10, {Season(2001, 1)}}, {20, {Season(2002, 2)}}};
    wb::TWorldFiles Files = wb::BuildFiles(W);
    // List the slots as 2, 0, 1: the index entries say which slot is whose.
    auto& Index = Files.History->Index;
    const int32_t Order[][2] = {{20, 2}, {30, 0}, {10, 1}};
    for (std::size_t I = 0; I < 3; ++I) {
        Index.Bytes.PatchI32(Index.At(wb::IndexedName("Index", I)), Order[I][0]);
        Index.Bytes.PatchI32(Index.At(wb::IndexedName("Index", I)) + 4, Order[I][1]);
    }
    pt::TFolder In, Out;
    pt::WriteFiles(Files, In);
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::Load(Db, In));
    for (int32_t K = 1; K <= 3; ++K) {
        const TPyxPlayingHistory* H = Db.People.FindByUniqueID(10 * K)->PlayingHistory.get();
        ASSERT_NE(H, nullptr);
        EXPECT_EQ(H->Items(0)->Season, 2000 + K);
    }
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    ASSERT_EQ(Expected.Histories->Histories[0].PersonUniqueID, 10);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PlayingHistoryFiles, APersonListedTwiceKeepsTheLaterHistory) {
    wb::TWorld W = PlayersWithHistoryFiles(2, 112);
    W.Histories->Histories = {
        {20, {Season(1990, 1), Season(1991, 2)}}, {10, {Season(1995, 5)}}, {20, {Season(2000, 7)}}};
    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    const TPyxPlayingHistory* H = Db.People.FindByUniqueID(20)->PlayingHistory.get();
    ASSERT_NE(H, nullptr);
    ASSERT_EQ(H->Count(), 1);
    EXPECT_EQ(H->Items(0)->Season, 2000);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    ASSERT_EQ(Expected.Histories->Histories.size(), 2u);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PlayingHistoryFiles, TwoIndexEntriesMayNameOneSlot) {
    wb::TWorld W = PlayersWithHistoryFiles(2);
    W.Histories->Histories = {{10, {Season(1998, 8), Season(1999, 9)}}, {20, {Season(2000, 7)}}};
    wb::TWorldFiles Files = wb::BuildFiles(W);
    Files.History->Index.Bytes.PatchI32(Files.History->Index.At("Index[1]") + 4, 0);
    pt::TFolder In, Out;
    pt::WriteFiles(Files, In);
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::Load(Db, In));
    for (int32_t UniqueID : {10, 20}) {
        const TPyxPlayingHistory* H = Db.People.FindByUniqueID(UniqueID)->PlayingHistory.get();
        ASSERT_NE(H, nullptr);
        ASSERT_EQ(H->Count(), 2);
        EXPECT_EQ(H->Items(1)->Season, 1999);
    }
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    Expected.Histories->Histories[1].Entries = Expected.Histories->Histories[0].Entries;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PlayingHistoryFiles, EmptyHistoriesAndThoseOfUnknownPersonsGetNoIndexEntry) {
    wb::TWorld W = PlayersWithHistoryFiles(3, 145);
    W.Histories->Histories = {{30, {Season(2001, 1)}}, {20, {}}, {999, {Season(2002, 2)}}};
    wb::TWorldFiles Files = wb::BuildFiles(W);
    // An empty chain starts at -1.
    Files.History->Id.Bytes.PatchI32(Files.History->Id.At("Slot[1]"), -1);
    pt::TFolder In, Out;
    pt::WriteFiles(Files, In);
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::Load(Db, In));
    ASSERT_NE(Db.People.FindByUniqueID(20)->PlayingHistory, nullptr);
    EXPECT_EQ(Db.People.FindByUniqueID(20)->PlayingHistory->Count(), 0);
    EXPECT_EQ(Db.People.FindByUniqueID(10)->PlayingHistory, nullptr);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    ASSERT_EQ(Expected.Histories->Histories.size(), 1u);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
    EXPECT_EQ(wb::ReadI32(wb::ReadFileBytes(Out.File("pl_hist_index.dat")), 12), 1);
}

TEST(PlayingHistoryFiles, NoHistoriesLeaveTheFilesWithTheirHeadersAndACountOfZero) {
    wb::TWorld W = PlayersWithHistoryFiles(2, 145);
    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    EXPECT_EQ(Db.People.Items(0)->PlayingHistory, nullptr);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    const auto Index = wb::ReadFileBytes(Out.File("pl_hist_index.dat"));
    ASSERT_EQ(Index.size(), 16u);
    EXPECT_EQ(wb::ReadI32(Index, 12), 0);
    EXPECT_EQ(wb::ReadI16(Index, 9), 145);
    EXPECT_EQ(wb::ReadFileBytes(Out.File("pl_hist_id.dat")).size(), 12u);
    EXPECT_EQ(wb::ReadFileBytes(Out.File("pl_hist_dt.dat")).size(), 12u);
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PlayingHistoryFiles, EntriesFindTheirTeamsByUniqueIDAndUnknownTeamsAreSavedAsNone) {
    wb::TSampleOptions O;
    O.Version = 145;
    O.PeopleCount = 14;
    wb::TWorld W = wb::SampleWorld(O);
    ASSERT_TRUE(W.Histories && !W.Histories->Histories.empty());
    auto& Entries = W.Histories->Histories[0].Entries;
    Entries.push_back(Season(2004, 20, 123456789, 1));
    Entries.push_back(Season(2005, 21, W.Teams[wb::TSampleBuilder::TeamWestfieldU21].UniqueID));
    pt::TFolder In;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    const TPyxPlayingHistory& H = *Db.People.FindByUniqueID(W.Histories->Histories[0].PersonUniqueID)->PlayingHistory;
    const int32_t N = H.Count();
    ASSERT_EQ(N, static_cast<int32_t>(Entries.size()));
    EXPECT_EQ(H.Items(N - 2)->Team, nullptr);
    EXPECT_EQ(H.Items(N - 2)->OnLoan, 1);
    ASSERT_NE(H.Items(N - 1)->Team, nullptr);
    EXPECT_EQ(H.Items(N - 1)->Team->UniqueID, W.Teams[wb::TSampleBuilder::TeamWestfieldU21].UniqueID);

    wb::TWorld Expected = W;
    Expected.Histories->Histories[0].Entries[Entries.size() - 2].TeamUniqueID = -1;
    wb::ApplySaveOrder(Expected);
    pt::ExpectSavedAs(W, Expected);
}

TEST(PlayingHistoryHeaders, UnknownVersionsAndBadHeadersStopTheLoad) {
    struct TCase {
        const char* Name;
        void (*Set)(wb::THistoryFiles&);
        std::string Message;
    };
    const std::string Invalid = " doesn't seem to be a valid Pyx data file.";
    const TCase Cases[] = {
        {"index 146", [](wb::THistoryFiles& H) { H.IndexVersion = 146; },
         "pl_hist_index.dat" + Invalid + "\r\nUnknown File Version: 146"},
        {"index 1", [](wb::THistoryFiles& H) { H.IndexVersion = 1; },
         "pl_hist_index.dat" + Invalid + "\r\nUnknown File Version: 1"},
        {"id 112", [](wb::THistoryFiles& H) { H.IdVersion = 112; },
         "pl_hist_id.dat" + Invalid + "\r\nUnknown File Version: 112"},
        {"data 2", [](wb::THistoryFiles& H) { H.DataVersion = 2; },
         "pl_hist_dt.dat" + Invalid + "\r\nUnknown File Version: 2"},
        {"data DAT",
         [](wb::THistoryFiles& H) {
             H.DataHeader = wb::MakeHeader(1);
             (*H.DataHeader)[3] = 'D';
         },
         "pl_hist_dt.dat" + Invalid},
        {"id without its leading zero",
         [](wb::THistoryFiles& H) {
             H.IdHeader = wb::MakeHeader(1);
             (*H.IdHeader)[0] = 1;
         },
         "pl_hist_id.dat" + Invalid},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        wb::TWorld W = PlayersWithHistoryFiles(1);
        W.Histories->Histories = {{10, {Season(2001, 1)}}};
        C.Set(*W.Histories);
        EXPECT_EQ(pt::LoadError(W), HistoryError + C.Message);
    }
}

TEST(PlayingHistoryHeaders, AnyIndexVersionLoadsWithAnyPeopleVersionAndIsWrittenBack) {
    for (int16_t Index : {112, 145, 147}) {
        SCOPED_TRACE(Index);
        wb::TWorld W = PlayersWithHistoryFiles(2, 147);
        W.Histories->IndexVersion = Index;
        W.Histories->Histories = {{20, {Season(2001, 1)}}, {10, {Season(2002, 2)}}};
        wb::TWorld Expected = W;
        wb::ApplySaveOrder(Expected);
        pt::ExpectSavedAs(W, Expected);
    }
}

TEST(PlayingHistoryHeaders, AMissingFileIsReportedByName) {
    for (const char* Name : {"pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"}) {
        SCOPED_TRACE(Name);
        wb::TWorld W = PlayersWithHistoryFiles(1);
        pt::TFolder In;
        wb::WriteWorld(W, In.Str());
        std::filesystem::remove(In.File(Name));
        TPyxDatabase Db;
        EXPECT_EQ(pt::FailureOf([&] { Db.Load(In.Str()); }), std::string("EAccessDeniedError: Couldn't access ") +
                                                                 Name + ".\r\nMake sure the Pyx Path is correct.");
    }
}

TEST(PlayingHistoryChains, ChainsThatCannotBeFollowedStopTheLoad) {
    struct TCase {
        const char* Name;
        void (*Patch)(wb::THistoryImages&);
        std::string Detail; // the reason after the database's line; empty where any reason will do
    };
    static constexpr auto Next = [](wb::THistoryImages& H, const char* Entry, int32_t Offset) {
        H.Data.Bytes.PatchI32(H.Data.At(Entry) + 9, Offset);
    };
    static constexpr auto Slot = [](wb::THistoryImages& H, const char* Entry, int32_t Value) {
        H.Index.Bytes.PatchI32(H.Index.At(Entry) + 4, Value);
    };
    const std::string Chain = "Playing history chain seems to be corrupt.\r\nEntry Offset: ";
    const std::string Index = "Playing history index seems to be corrupt.\r\nSlot: ";
    const TCase Cases[] = {
        {"a chain back to its first entry", [](wb::THistoryImages& H) { Next(H, "History[0][2]", 0); }, Chain + "0"},
        {"a chain back to its middle", [](wb::THistoryImages& H) { Next(H, "History[0][2]", 13); }, Chain + "13"},
        {"an entry pointing at itself", [](wb::THistoryImages& H) { Next(H, "History[1][0]", 39); }, Chain + "39"},
        {"an entry pointing into the header", [](wb::THistoryImages& H) { Next(H, "History[0][0]", -12); },
         Chain + "-12"},
        {"an entry pointing before the header", [](wb::THistoryImages& H) { Next(H, "History[0][0]", -100); },
         Chain + "-100"},
        {"an entry pointing past the end", [](wb::THistoryImages& H) { Next(H, "History[0][1]", 1 << 30); },
         Chain + "1073741824"},
        {"an entry pointing at the last bytes", [](wb::THistoryImages& H) { Next(H, "History[0][1]", 45); }, ""},
        {"a first offset past the end", [](wb::THistoryImages& H) { H.Id.Bytes.PatchI32(H.Id.At("Slot[1]"), 100000); },
         Chain + "100000"},
        {"a first offset in the header", [](wb::THistoryImages& H) { H.Id.Bytes.PatchI32(H.Id.At("Slot[0]"), -8); },
         Chain + "-8"},
        {"a slot past the id file", [](wb::THistoryImages& H) { Slot(H, "Index[1]", 2); }, Index + "2"},
        {"a slot far past the id file", [](wb::THistoryImages& H) { Slot(H, "Index[0]", 1 << 29); },
         Index + "536870912"},
        {"slot -1, in the id file's header", [](wb::THistoryImages& H) { Slot(H, "Index[0]", -1); }, Index + "-1"},
        {"slot -2, before the id file", [](wb::THistoryImages& H) { Slot(H, "Index[1]", -2); }, Index + "-2"},
        {"more index entries than the index holds",
         [](wb::THistoryImages& H) { H.Index.Bytes.PatchI32(H.Index.At("Count"), 3); }, ""},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        wb::TWorld W = PlayersWithHistoryFiles(2);
        W.Histories->Histories = {{10, {Season(1999, 1), Season(2000, 2), Season(2001, 3)}},
                                  {20, {Season(2002, 4), Season(2003, 5)}}};
        wb::TWorldFiles Files = wb::BuildFiles(W);
        C.Patch(*Files.History);
        const std::string Error = pt::LoadError(Files);
        if (C.Detail.empty())
            EXPECT_EQ(StartOf(Error, HistoryError.size()), HistoryError) << Error;
        else
            EXPECT_EQ(Error, HistoryError + C.Detail);
    }
}

TEST(PlayingHistoryChains, ManyIndexEntriesOnOneLongChainCannotMakeTheLoadSlow) {
    // One chain through every entry of the data file, and as many index entries all naming it: following each
    // would read entries times entries records. The load must give up after a small multiple of the file.
    constexpr int Entries = 20000;
    wb::TWorld W = PlayersWithHistoryFiles(1);
    wb::TPlayingHistory Long{10, {}};
    for (int K = 0; K < Entries; ++K)
        Long.Entries.push_back(Season(static_cast<int16_t>(1900 + K % 100), 1));
    W.Histories->Histories = {Long};
    wb::TWorldFiles Files = wb::BuildFiles(W);
    wb::TFileImage& Index = Files.History->Index;
    Index.Bytes.Data().resize(Index.At("Count"));
    Index.Bytes.I32(Entries);
    for (int K = 0; K < Entries; ++K) {
        Index.Bytes.I32(K % 2 == 0 ? 10 : 5555); // a known person and one nobody is
        Index.Bytes.I32(0);
    }
    const auto Start = std::chrono::steady_clock::now();
    const std::string Error = pt::LoadError(Files);
    const auto Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    EXPECT_EQ(StartOf(Error, HistoryError.size()), HistoryError) << Error;
    EXPECT_LT(Seconds, 20.0);
}
