// The people table of people_db.dat as a whole: whole worlds not in saved form loaded and saved in the order the
// nation sort leaves them, record kinds, retired persons, the prefixes and counts, and the three data tables.

#include "PeopleTestSupport.h"

#include "PeopleBuilder.h"
#include "SampleWorld.h"

#include <algorithm>

namespace {

struct TWorldCase {
    int16_t Version;
    int Languages;
    int DefaultPosition;
    bool Histories;
};

class UnsortedPeople : public testing::TestWithParam<TWorldCase> {};

std::vector<int32_t> UniqueIDsOf(const std::vector<wb::TPerson>& People) {
    std::vector<int32_t> IDs;
    for (const auto& P : People)
        IDs.push_back(P.UniqueID);
    return IDs;
}

std::vector<int32_t> UniqueIDsOf(const TPyxPeople& People) {
    std::vector<int32_t> IDs;
    People.ForEach([&](const TPyxPerson* P) { IDs.push_back(P->UniqueID); });
    return IDs;
}

// Takes a sample world out of saved form, loads it, saves it and expects what the save order predicts.
void ExpectUnsortedWorldSaved(const wb::TSampleOptions& O, int NationsInUse) {
    wb::TWorld Input = wb::SampleWorld(O);
    wb::UnsortPeople(Input, O.Seed, NationsInUse);

    wb::TWorld Expected = Input;
    wb::ApplySaveOrder(Expected);
    // The world must exercise the sort's ties: a stable sort by nation would give another order.
    std::vector<wb::TPerson> Stable = Input.People;
    std::stable_sort(Stable.begin(), Stable.end(),
                     [](const wb::TPerson& A, const wb::TPerson& B) { return A.NationID < B.NationID; });
    ASSERT_NE(UniqueIDsOf(Stable), UniqueIDsOf(Expected.People));

    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, Input, In));
    EXPECT_EQ(UniqueIDsOf(Db.People), UniqueIDsOf(Input.People)) << "loading keeps the file order";
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    EXPECT_EQ(UniqueIDsOf(Db.People), UniqueIDsOf(Expected.People));
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
    EXPECT_EQ(Out.Has("pl_hist_index.dat"), O.Histories);
}

} // namespace

TEST_P(UnsortedPeople, SaveWritesPeopleInNationQuicksortOrderWithTheirRecordsRenumbered) {
    const TWorldCase C = GetParam();
    wb::TSampleOptions O;
    O.Version = C.Version;
    O.LanguageCount = C.Languages;
    O.DefaultLanguagePosition = C.DefaultPosition;
    O.Histories = C.Histories;
    O.PeopleCount = 41;
    O.Seed = static_cast<uint64_t>(C.Version) * 10 + static_cast<uint64_t>(C.Languages);
    ExpectUnsortedWorldSaved(O, 4);
}

TEST(UnsortedPeopleLarge, HundredsOfPeopleOverAFewNationsSaveInQuicksortOrder) {
    wb::TSampleOptions O;
    O.Version = 147;
    O.LanguageCount = 2;
    O.DefaultLanguagePosition = 1;
    O.PeopleCount = 400;
    O.Seed = 99;
    ExpectUnsortedWorldSaved(O, 7);
}

INSTANTIATE_TEST_SUITE_P(Worlds, UnsortedPeople,
                         testing::Values(TWorldCase{112, 1, 0, true}, TWorldCase{112, 4, 3, false},
                                         TWorldCase{145, 2, 1, true}, TWorldCase{145, 5, 2, false},
                                         TWorldCase{147, 3, 2, false}, TWorldCase{147, 5, 4, true}),
                         [](const testing::TestParamInfo<TWorldCase>& I) {
                             return std::string("V") + std::to_string(I.param.Version) + "_" +
                                    std::to_string(I.param.Languages) + "languages_default" +
                                    std::to_string(I.param.DefaultPosition) +
                                    (I.param.Histories ? "_histories" : "_nohistories");
                         });

TEST(PeopleSort, PeopleSharingANationLandWhereTheQuicksortPutsThem) {
    // Nations 1, 0, 1, 0, 1 for A..E. Worked through by hand: the first pass around C swaps A with E and C with D,
    // giving E B D | C A; the left part around B swaps E with D; the right part swaps C with A.
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddNation(W, 500);
    wb::AddNation(W, 501);
    const int32_t Nations[] = {1, 0, 1, 0, 1};
    for (int32_t K = 0; K < 5; ++K)
        wb::AddPerson(W, 2, 10 + K, 100 + K).NationID = Nations[K];
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    const std::vector<int32_t> ByHand = {103, 101, 104, 100, 102}; // D B E A C
    ASSERT_EQ(UniqueIDsOf(Expected.People), ByHand);
    pt::ExpectSavedAs(W, Expected);
}

TEST(PeopleSort, PersonsWithoutAKnownNationSortFirst) {
    wb::TWorld W = wb::EmptyWorld(145);
    wb::AddNation(W, 500);
    wb::AddNation(W, 501);
    wb::AddPerson(W, 2, 1, 101).NationID = 1;
    wb::AddPerson(W, 1, 2, 102).NationID = 77; // no such nation: loaded and saved without one
    wb::AddPerson(W, 3, 3, 103).NationID = 0;
    wb::AddPerson(W, 4, 4, 104).NationID = -1;
    wb::TWorld Expected = W;
    Expected.People[1].NationID = -1;
    wb::ApplySaveOrder(Expected);
    ASSERT_EQ(UniqueIDsOf(Expected.People), (std::vector<int32_t>{104, 102, 103, 101}));
    pt::ExpectSavedAs(W, Expected);
}

TEST(PeopleSort, PeopleSortByTheIDsTheirNationsAreSavedWith) {
    // Nations stored under IDs 5 and 2 are saved as 0 and 1; the persons are sorted by those new IDs.
    wb::TWorld W = wb::EmptyWorld(112);
    wb::AddNation(W, 500).ID = 5;
    wb::AddNation(W, 501).ID = 2;
    const int32_t Nations[] = {2, 5, 2, 5};
    for (int32_t K = 0; K < 4; ++K)
        wb::AddPerson(W, 1, K + 1, 101 + K).NationID = Nations[K];
    wb::TWorld Expected = W;
    Expected.Nations[0].ID = 0;
    Expected.Nations[1].ID = 1;
    for (auto& P : Expected.People)
        P.NationID = P.NationID == 5 ? 0 : 1;
    wb::ApplySaveOrder(Expected);
    ASSERT_EQ(Expected.People[0].NationID, 0);
    ASSERT_EQ(Expected.People[1].NationID, 0);
    pt::ExpectSavedAs(W, Expected);
}

TEST(RetiredPersons, AreReadAndDroppedSoASaveShrinksThePeopleCount) {
    for (int16_t Version : {112, 145, 147}) {
        SCOPED_TRACE(Version);
        wb::TWorld W = wb::EmptyWorld(Version);
        wb::AddPerson(W, 5, 1, 101);
        wb::AddPerson(W, 2, 2, 102);
        wb::AddPerson(W, 5, 3, 103);
        wb::AddPerson(W, 3, 4, 104);
        wb::AddPerson(W, 5, 5, 105);
        pt::TFolder In, Out;
        TPyxDatabase Db;
        ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
        ASSERT_EQ(Db.People.Count(), 2);
        EXPECT_EQ(Db.People.Items(0)->UniqueID, 102);
        EXPECT_EQ(Db.People.Items(1)->UniqueID, 104);
        EXPECT_EQ(Db.People.FindByUniqueID(103), nullptr);
        EXPECT_EQ(Db.People.FindByID(5), nullptr);
        ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
        wb::TWorld Expected = W;
        wb::ApplySaveOrder(Expected);
        ASSERT_EQ(Expected.People.size(), 2u);
        pt::ExpectFiles(wb::BuildFiles(Expected), Out);
        EXPECT_EQ(wb::ReadI32(wb::ReadFileBytes(Out.File("people_db.dat")), 12), 2);
    }
}

// A retired person is dropped, but the history files a save without histories leaves alone still name it by its
// UniqueID: a new person given that key would take its history on the next load.
TEST(RetiredPersons, TheirKeysAreNotGivenToNewPersons) {
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddPerson(W, 2, 1, 101);
    wb::AddPerson(W, 5, 2, 102);
    W.Histories.emplace();
    W.Histories->Histories = {{102, {wb::TPlayingHistoryEntry{2001, 0, 10, 2, -1}}}};
    pt::TFolder Folder;
    wb::WriteWorld(W, Folder.Str());
    TPyxDatabase Db;
    Db.LoadPlayingHistories = false;
    ASSERT_EQ(pt::FailureOf([&] { Db.Load(Folder.Str()); }), "");
    const TPyxPerson* Added = Db.AddPerson();
    EXPECT_GT(Added->ID, 2);
    EXPECT_GT(Added->UniqueID, 102);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Folder));

    TPyxDatabase Reloaded;
    ASSERT_NO_FATAL_FAILURE(pt::Load(Reloaded, Folder));
    const TPyxPerson* New = Reloaded.People.FindByUniqueID(Added->UniqueID);
    ASSERT_NE(New, nullptr);
    EXPECT_EQ(New->PlayingHistory, nullptr);
}

TEST(PeopleTable, PrefixIDAndDataTableCountsAreNotReadBack) {
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddPerson(W, 3, 40, 140).PrefixID = 999;
    wb::AddPerson(W, 1, 41, 141).PrefixID = -7;
    wb::TWorldFiles Files = wb::BuildFiles(W);
    const std::size_t Counts = Files.People.At("People") + 4;
    for (std::size_t K = 0; K < 3; ++K)
        Files.People.Bytes.PatchI32(Counts + 4 * K, 12345 + static_cast<int32_t>(K));
    pt::TFolder In, Out;
    pt::WriteFiles(Files, In);
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::Load(Db, In));
    EXPECT_EQ(Db.People.Items(0)->ID, 40);
    EXPECT_EQ(Db.People.FindByID(999), nullptr);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    for (auto& P : Expected.People)
        P.PrefixID.reset();
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
    const auto Saved = wb::ReadFileBytes(Out.File("people_db.dat"));
    EXPECT_EQ(wb::ReadI32(Saved, 12), 2);
    EXPECT_EQ(wb::ReadI32(Saved, 16), 2) << "person data";
    EXPECT_EQ(wb::ReadI32(Saved, 20), 1) << "playing data";
    EXPECT_EQ(wb::ReadI32(Saved, 24), 2) << "non-playing data";
}

TEST(PeopleTable, UnknownRecordKindsStopTheLoad) {
    for (uint8_t Kind : {0, 6, 7, 255}) {
        SCOPED_TRACE(static_cast<int>(Kind));
        wb::TWorld W = wb::EmptyWorld(147);
        wb::AddPerson(W, 2, 1, 101);
        wb::AddPerson(W, 1, 2, 102).RecordType = Kind;
        const wb::TWorldFiles Files = wb::BuildFiles(W);
        // The stream stands right after the kind byte, which follows the record's 4-byte prefix.
        EXPECT_EQ(pt::LoadError(Files),
                  pt::TableLoadFailure("People", 1, Files.People.At("People[1]") + 5, "TPyxPeople",
                                       "Person data seems to be corrupt.\r\nRecord Type: " + std::to_string(Kind)));
    }
}

TEST(PersonDataTables, RecordTypesOtherThanZeroStopTheLoad) {
    struct TCase {
        const char* Table;
        const char* Class;
        const char* Plural;
    };
    for (const TCase& C : {TCase{"Person Data", "TPyxPersonDatas", "Person Data"},
                           TCase{"Playing Data", "TPyxPlayingDatas", "Playing Data"},
                           TCase{"Non Playing Data", "TPyxNonPlayingDatas", "Non Playing Data"}}) {
        SCOPED_TRACE(C.Table);
        wb::TWorld W = wb::EmptyWorld(145);
        wb::AddPerson(W, 3, 1, 101);
        wb::AddPerson(W, 3, 2, 102);
        if (std::string(C.Table) == "Person Data")
            W.PersonDatas[1].RecordType = 2;
        else if (std::string(C.Table) == "Playing Data")
            W.PlayingDatas[1].RecordType = 2;
        else
            W.NonPlayingDatas[1].RecordType = 2;
        const wb::TWorldFiles Files = wb::BuildFiles(W);
        EXPECT_EQ(pt::LoadError(Files),
                  pt::TableLoadFailure(C.Table, 1, Files.People.At(std::string(C.Table) + "[1]") + 1, C.Class,
                                       std::string(C.Plural) + " seems to be corrupt.\r\nRecord Type: 2"));
    }
}

TEST(PersonDataTables, OnlyTheRecordsOfPersonsAreWrittenNumberedInPersonOrder) {
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddPerson(W, 3, 1, 101);
    wb::AddPerson(W, 2, 2, 102);
    wb::AddPerson(W, 1, 3, 103);
    // Records nobody refers to, and the persons' own records under IDs that are not positions, in reverse.
    W.PersonDatas.push_back(W.PersonDatas[0]);
    W.PersonDatas.back().ID = 50;
    W.PlayingDatas.insert(W.PlayingDatas.begin(), W.PlayingDatas[1]);
    W.PlayingDatas.front().ID = 60;
    W.NonPlayingDatas.push_back(W.NonPlayingDatas[1]);
    W.NonPlayingDatas.back().ID = 70;
    std::reverse(W.PersonDatas.begin(), W.PersonDatas.end());
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    ASSERT_EQ(Expected.PersonDatas.size(), 3u);
    ASSERT_EQ(Expected.PlayingDatas.size(), 2u);
    ASSERT_EQ(Expected.NonPlayingDatas.size(), 2u);
    // Each person's own record, found through the ID it referred to in the input, at the person's position.
    auto DataOf = [&](int32_t PersonUniqueID) {
        for (const auto& P : W.People)
            if (P.UniqueID == PersonUniqueID)
                for (const auto& D : W.PersonDatas)
                    if (D.ID == P.PersonDataID)
                        return D.UniqueID;
        return 0;
    };
    for (std::size_t K = 0; K < 3; ++K) {
        EXPECT_EQ(Expected.People[K].PersonDataID, static_cast<int32_t>(K));
        EXPECT_EQ(Expected.PersonDatas[K].UniqueID, DataOf(Expected.People[K].UniqueID));
    }
    pt::ExpectSavedAs(W, Expected);
}

TEST(PersonDataTables, PlayingDataCarriesItsExtraByteOnlyAbove144) {
    for (int16_t Version : {112, 145, 147}) {
        SCOPED_TRACE(Version);
        wb::TWorld W = wb::EmptyWorld(Version);
        wb::AddPerson(W, 2, 1, 101);
        wb::AddPerson(W, 2, 2, 102);
        pt::TFolder In, Out;
        TPyxDatabase Db;
        ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
        const TPyxPlayingData* Data = Db.People.Items(1)->Player->PlayingData.get();
        ASSERT_NE(Data, nullptr);
        EXPECT_EQ(Data->ExtraByte, Version > 144 ? W.PlayingDatas[1].ExtraByte : 0);
        EXPECT_EQ(Data->Determination, W.PlayingDatas[1].Attributes[64]);
        EXPECT_EQ(Data->Goalkeeper, W.PlayingDatas[1].Attributes[0]);
        ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
        wb::TWorld Saved = W;
        wb::ApplySaveOrder(Saved);
        const wb::TWorldFiles Expected = wb::BuildFiles(Saved);
        pt::ExpectFiles(Expected, Out);
        // Two records between the table's count and the next table: 74 bytes each at 112, 75 above.
        EXPECT_EQ(Expected.People.At("Non Playing Data") - Expected.People.At("Playing Data"),
                  4u + 2u * (Version > 144 ? 75u : 74u));
    }
}
