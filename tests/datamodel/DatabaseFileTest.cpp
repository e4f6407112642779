// The database's file level: opening, headers and versions of the three files, the failures of whole tables and
// sections on load and save, failed saves leaving the folder alone, and loading again after a failure.

#include "ServerTestSupport.h"

#include "PyxSaveTransaction.h"

#include <gtest/gtest.h>

#include <functional>

using namespace servertest;

namespace {

const std::string DataFiles[] = {"server_db.dat", "people_db.dat", "lang_db.dat"};

// The sample world of a version, with playing histories.
wb::TWorld SampleWithHistories(int16_t Version = 147) {
    wb::TSampleOptions Options;
    Options.Version = Version;
    return wb::SampleWorld(Options);
}

// Sets the raw header of one data file of the world.
void SetHeader(wb::TWorld& World, const std::string& File, const wb::THeader& Header) {
    if (File == "server_db.dat")
        World.ServerHeader = Header;
    else if (File == "people_db.dat")
        World.PeopleHeader = Header;
    else
        World.LangHeader = Header;
}

std::string NotValid(const std::string& File) {
    return File + " doesn't seem to be a valid Pyx data file.";
}

} // namespace

class DataFileTest : public testing::TestWithParam<std::string> {};

INSTANTIATE_TEST_SUITE_P(Files, DataFileTest, testing::ValuesIn(DataFiles),
                         [](const auto& Info) { return Info.param.substr(0, Info.param.find('_')); });

TEST_P(DataFileTest, LoadReportsAMissingFileAsAccessDenied) {
    TTempDir Dir;
    wb::WriteWorld(SampleWithHistories(), Dir.Str());
    fs::remove(Dir.File(GetParam()));
    TPyxDatabase Db;
    EXPECT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }),
              "EAccessDeniedError: Couldn't access " + GetParam() + ".\r\nMake sure the Pyx Path is correct.");
}

TEST_P(DataFileTest, LoadReportsAnUnreadableFileAsAccessDenied) {
    TTempDir Dir;
    wb::WriteWorld(SampleWithHistories(), Dir.Str());
    // A folder where the file should be cannot be read as one, whoever runs the test.
    fs::remove(Dir.File(GetParam()));
    fs::create_directory(Dir.File(GetParam()));
    TPyxDatabase Db;
    EXPECT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }),
              "EAccessDeniedError: Couldn't access " + GetParam() + ".\r\nMake sure the Pyx Path is correct.");
}

TEST_P(DataFileTest, LoadRejectsAHeaderThatDoesNotReadDat) {
    // Each byte of the header that is not the version is checked: the leading zero, the dot, the three letters
    // (case-sensitive) and the trailing zero.
    const std::vector<std::pair<std::size_t, uint8_t>> Corruptions = {{0, 1},   {1, ','}, {3, 'D'}, {5, 'A'},
                                                                      {7, 'T'}, {8, 1},   {11, 1}};
    for (const auto& [Offset, Value] : Corruptions) {
        wb::TWorld World = SampleWithHistories();
        wb::THeader Header = wb::MakeHeader(147);
        Header[Offset] = Value;
        SetHeader(World, GetParam(), Header);
        EXPECT_EQ(LoadFailure(World), "EFileCorruptError: " + NotValid(GetParam())) << "byte " << Offset;
    }
}

TEST_P(DataFileTest, LoadRejectsAnUnknownVersion) {
    for (int16_t Version : {int16_t(146), int16_t(111), int16_t(148), int16_t(-147)}) {
        wb::TWorld World = SampleWithHistories();
        SetHeader(World, GetParam(), wb::MakeHeader(Version));
        EXPECT_EQ(LoadFailure(World), "EFileCorruptError: " + NotValid(GetParam()) +
                                          "\r\nUnknown File Version: " + std::to_string(Version));
    }
}

TEST_P(DataFileTest, Version200IsAcceptedOnlyForTheLanguageFile) {
    wb::TWorld World = SampleWithHistories();
    SetHeader(World, GetParam(), wb::MakeHeader(200));
    const std::string Expected = GetParam() == "lang_db.dat"
                                     ? ""
                                     : "EFileCorruptError: " + NotValid(GetParam()) + "\r\nUnknown File Version: 200";
    EXPECT_EQ(LoadFailure(World), Expected);
}

TEST_P(DataFileTest, AFileShorterThanItsHeaderIsAShortRead) {
    TTempDir Dir;
    wb::WriteWorld(SampleWithHistories(), Dir.Str());
    wb::WriteFileBytes(Dir.File(GetParam()), {0, '.', 0, 'd', 0});
    TPyxDatabase Db;
    EXPECT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }),
              "EFileCorruptError: Data file seems to be corrupt, couldn't load " + GetParam() +
                  ".\r\nData file seems to be corrupt. Wanted to read 12 bytes, could only read 5 bytes.");
}

TEST_P(DataFileTest, AnEmptyFileIsAShortReadOfItsHeader) {
    TTempDir Dir;
    wb::WriteWorld(SampleWithHistories(), Dir.Str());
    wb::WriteFileBytes(Dir.File(GetParam()), {});
    TPyxDatabase Db;
    EXPECT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }),
              "EFileCorruptError: Data file seems to be corrupt, couldn't load " + GetParam() +
                  ".\r\nData file seems to be corrupt. Wanted to read 12 bytes, could only read 0 bytes.");
}

TEST(DatabaseFileTest, HeadersAndExtraBlocksAreWrittenBackAsRead) {
    for (int16_t Version : {int16_t(112), int16_t(145), int16_t(147)}) {
        wb::TWorld World = wb::EmptyWorld(Version);
        // The extra block and trailer hold bytes the editor does not interpret; every byte is distinct.
        for (std::size_t I = 0; I < World.ServerExtra.size(); ++I)
            World.ServerExtra[I] = static_cast<uint8_t>(0xF0 - I);
        World.PeopleTrailer = {0xDE, 0xAD, 0xBE, 0xEF};
        World.LangVersion = 200;
        ExpectLoadSaveWrites(World, World);
        EXPECT_EQ(World.ServerExtra.size(), Version == 112 ? 15u : 25u);
    }
}

TEST(DatabaseFileTest, GetVersionIsTheServerFileVersion) {
    TPyxDatabase Db;
    EXPECT_EQ(Db.GetVersion(), 0);
    TTempDir Dir;
    wb::TWorld World = wb::EmptyWorld(145);
    World.PeopleVersion = 147;
    World.LangVersion = 200;
    wb::WriteWorld(World, Dir.Str());
    Db.LoadPlayingHistories = false;
    Db.Load(Dir.Str());
    EXPECT_EQ(Db.GetVersion(), 145);
}

TEST(DatabaseFileTest, AShortReadInsideARecordNamesWantedAndReadBytes) {
    wb::TWorld World = wb::EmptyWorld(147);
    wb::TAward Award;
    Award.ID = 0;
    Award.UniqueID = 40;
    World.Awards.push_back(Award);
    Finish(World);
    TTempDir Dir;
    const wb::TWorldFiles Files = wb::WriteWorld(World, Dir.Str());
    // Cut the file two bytes into the award's UniqueID: the count still fits the bytes left, the record does not.
    const std::size_t End = Files.Server.At("Awards[0]") + wb::RecordSize(Award, 147) - 2;
    std::vector<uint8_t> Bytes(Files.Server.Data().begin(), Files.Server.Data().begin() + End);
    wb::WriteFileBytes(Dir.File("server_db.dat"), Bytes);
    TPyxDatabase Db;
    EXPECT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }),
              TableLoadFailure("Awards", 0, End, "TPyxAwards",
                               "Data file seems to be corrupt. Wanted to read 4 bytes, could only read 2 bytes."));
}

TEST(DatabaseFileTest, AFailingRecordIsReportedWithTableEntityPositionAndClass) {
    wb::TWorld World = SampleWithHistories();
    World.Clubs[2].RecordType = 3;
    TTempDir Dir;
    TPyxDatabase Db;
    const wb::TWorldFiles Files = wb::BuildFiles(World);
    EXPECT_EQ(LoadFailure(World, Db, Dir), TableLoadFailure("Clubs", 2, Files.Server.At("Clubs[2]") + 1, "TPyxClubs",
                                                            "Clubs seems to be corrupt.\r\nRecord Type: 3"));
}

TEST(DatabaseFileTest, ImpossibleTableCountsFailNamingTheTable) {
    for (int32_t Count : {int32_t(0x7FFFFFFF), int32_t(-1), int32_t(1000)}) {
        const wb::TWorld World = SampleWithHistories();
        wb::TWorldFiles Files = wb::BuildFiles(World);
        Files.Server.Bytes.PatchI32(Files.Server.At("Teams"), Count);
        TTempDir Dir;
        wb::WriteWorld(World, Dir.Str());
        wb::WriteFileBytes(Dir.File("server_db.dat"), Files.Server.Data());
        TPyxDatabase Db;
        const std::string Failure = FailureOf([&] { Db.Load(Dir.Str()); });
        EXPECT_EQ(Failure.rfind("EFileCorruptError: Data file seems to be corrupt, couldn't load Teams.\r\n", 0), 0u)
            << Failure;
        EXPECT_NE(Failure.find(std::to_string(Count)), std::string::npos) << Failure;
        EXPECT_NE(Failure.find("TPyxTeams"), std::string::npos) << Failure;
    }
}

TEST(DatabaseFileTest, ImpossibleStringLengthsAndListCountsAreShortReads) {
    const wb::TWorld World = SampleWithHistories();
    const wb::TWorldFiles Clean = wb::BuildFiles(World);
    const std::size_t Size = Clean.Server.Size();

    // A nickname that claims two billion characters: checked against the bytes left before any allocation.
    wb::TWorldFiles Files = Clean;
    wb::TClub Club = World.Clubs[1];
    Club.Nickname1 += u"xyz";
    const std::size_t NicknameAt = Clean.Server.At("Clubs[1]") + FieldOffset(World.Clubs[1], Club, 147);
    ASSERT_EQ(wb::ReadI32(Clean.Server.Data(), NicknameAt), static_cast<int32_t>(World.Clubs[1].Nickname1.size()));
    Files.Server.Bytes.PatchI32(NicknameAt, 0x7FFFFFFF);
    TTempDir Dir;
    wb::WriteWorld(World, Dir.Str());
    wb::WriteFileBytes(Dir.File("server_db.dat"), Files.Server.Data());
    TPyxDatabase Db;
    const std::size_t Left = Size - NicknameAt - 4;
    EXPECT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }),
              TableLoadFailure("Clubs", 1, Size, "TPyxClubs",
                               "Data file seems to be corrupt. Wanted to read 4294967294 bytes, could only read " +
                                   std::to_string(Left) + " bytes."));

    // A squad that claims 65,535 players.
    Files = Clean;
    wb::TTeam Team = World.Teams[0];
    Team.PlayerIDs.push_back(12345);
    const std::size_t PlayersAt = Clean.Server.At("Teams[0]") + FieldOffset(World.Teams[0], Team, 147);
    ASSERT_EQ(wb::ReadI16(Clean.Server.Data(), PlayersAt), static_cast<int16_t>(World.Teams[0].PlayerIDs.size()));
    Files.Server.Bytes.PatchI16(PlayersAt, -1);
    wb::WriteFileBytes(Dir.File("server_db.dat"), Files.Server.Data());
    EXPECT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }),
              TableLoadFailure("Teams", 0, Size, "TPyxTeams",
                               "Data file seems to be corrupt. Wanted to read 262140 bytes, could only read " +
                                   std::to_string(Size - PlayersAt - 2) + " bytes."));
}

TEST(DatabaseFileTest, PersonLanguagesThatFailToLoadAreReportedAsSuch) {
    wb::TWorld World = SampleWithHistories();
    ASSERT_FALSE(World.PersonLanguages.empty());
    const wb::TWorldFiles Clean = wb::BuildFiles(World);
    TTempDir Dir;
    wb::WriteWorld(World, Dir.Str());
    TPyxDatabase Db;

    // A count the bytes left cannot hold: negative, too large, or one more than the file holds (the last item
    // would be cut short).
    const int32_t Count0 = static_cast<int32_t>(World.PersonLanguages.size());
    for (int32_t Count : {int32_t(-5), int32_t(0x10000000), Count0 + 1}) {
        wb::TWorldFiles Files = Clean;
        Files.Server.Bytes.PatchI32(Files.Server.At("Person Languages"), Count);
        wb::WriteFileBytes(Dir.File("server_db.dat"), Files.Server.Data());
        const std::string Failure = FailureOf([&] { Db.Load(Dir.Str()); });
        EXPECT_EQ(
            Failure.rfind("EFileCorruptError: Data file seems to be corrupt, couldn't load Person Languages.\r\n", 0),
            0u)
            << Failure;
        EXPECT_NE(Failure.find(std::to_string(Count)), std::string::npos) << Failure;
    }
}

TEST(DatabaseFileTest, SaveBeforeAnyLoadIsRefused) {
    TTempDir Dir;
    TPyxDatabase Db;
    EXPECT_NE(FailureOf([&] { Db.Save(Dir.Str()); }), "");
    EXPECT_TRUE(fs::is_empty(Dir.Path));
}

// A save that fails leaves every file of the folder as it was and no temporary file behind.
class FailedSaveTest : public testing::Test {
protected:
    void SetUp() override {
        World = SampleWithHistories();
        Files = wb::WriteWorld(World, Dir.Str());
        ASSERT_EQ(FailureOf([&] { Db.Load(Dir.Str()); }), "");
        Before = Snapshot(Dir);
    }

    // Saves over the loaded folder and returns the failure; the folder must be unchanged.
    std::string SaveFailure() {
        std::string Failure = FailureOf([&] { Db.Save(Dir.Str()); });
        EXPECT_EQ(Snapshot(Dir), Before);
        return Failure;
    }

    TTempDir Dir;
    wb::TWorld World;
    wb::TWorldFiles Files;
    TPyxDatabase Db;
    std::map<std::string, std::vector<uint8_t>> Before;
};

TEST_F(FailedSaveTest, AWriteProtectedFileFailsTheSaveWithTheSaveMessage) {
    for (const std::string& Name : DataFiles) {
        fs::permissions(Dir.File(Name), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        EXPECT_EQ(SaveFailure(),
                  "EAccessDeniedError: Couldn't access " + Name + ".\r\nMake sure the file isn't write protected.");
        fs::permissions(Dir.File(Name), fs::perms::owner_write, fs::perm_options::add);
    }
    // Once writable again the same database saves the same files.
    ASSERT_EQ(FailureOf([&] { Db.Save(Dir.Str()); }), "");
    EXPECT_EQ(Snapshot(Dir), Before);
}

TEST_F(FailedSaveTest, AFolderThatDoesNotExistFailsWithTheSaveMessage) {
    const std::string Missing = Dir.Str() + "missing/";
    EXPECT_EQ(FailureOf([&] { Db.Save(Missing); }),
              "EAccessDeniedError: Couldn't access server_db.dat.\r\nMake sure the file isn't write protected.");
    EXPECT_FALSE(fs::exists(Missing));
}

TEST_F(FailedSaveTest, ATableThatFailsToSaveNamesItself) {
    TPyxClub* Club = Db.Clubs.Items(1);
    while (Club->Kits.Count() < 256)
        Club->Kits.Add(std::make_unique<TPyxColor>());
    EXPECT_EQ(SaveFailure(),
              "EFileCorruptError: Couldn't save Clubs.\r\nA list holds 256 entries; its count allows at most 255.");
}

TEST_F(FailedSaveTest, ALanguageBlockThatFailsToSaveNamesItsLanguage) {
    // lang_db.dat is the last file written: the server and people files were complete when it failed.
    TPyxNation* Nation = Db.Nations.Items(0);
    while (Nation->ExtraTexts.Count() < 256)
        Nation->ExtraTexts.Add(u"text");
    EXPECT_EQ(SaveFailure(), "EFileCorruptError: Couldn't save English Language.\r\n"
                             "A text list holds 256 texts; its count byte allows at most 255.");
}

TEST_F(FailedSaveTest, AFailedSaveLeavesTheDatabaseSavableAfterTheCauseIsRemoved) {
    TPyxTeam* Team = Db.Teams.Items(0);
    TPyxPerson* Player = Team->Players.Items(0);
    ASSERT_NE(Player, nullptr);
    const int32_t Players = Team->Players.Count();
    while (Team->Players.Count() < 65536)
        Team->Players.Add(Player);
    EXPECT_EQ(SaveFailure(), "EFileCorruptError: Couldn't save Teams.\r\n"
                             "A list holds 65536 entries; its count allows at most 65535.");
    while (Team->Players.Count() > Players)
        Team->Players.Delete(Team->Players.Count() - 1);
    ASSERT_EQ(FailureOf([&] { Db.Save(Dir.Str()); }), "");
    EXPECT_EQ(Snapshot(Dir), Before);
}

TEST(DatabaseFileTest, LoadingTwiceGivesWhatLoadingOnceGives) {
    const wb::TWorld World = SampleWithHistories();
    TTempDir In("in"), Once("once"), Twice("twice");
    wb::WriteWorld(World, In.Str());
    TPyxDatabase First, Second;
    ASSERT_EQ(FailureOf([&] { First.Load(In.Str()); }), "");
    ASSERT_EQ(FailureOf([&] {
                  Second.Load(In.Str());
                  Second.Load(In.Str());
              }),
              "");
    for (std::size_t T = 0; T < First.ServerTables().size(); ++T)
        EXPECT_EQ(First.ServerTables()[T].Collection->Count(), Second.ServerTables()[T].Collection->Count())
            << First.ServerTables()[T].Name;
    EXPECT_EQ(First.People.Count(), Second.People.Count());
    ASSERT_EQ(Second.LangFileLanguages.size(), First.LangFileLanguages.size());
    for (std::size_t I = 0; I < First.LangFileLanguages.size(); ++I)
        EXPECT_EQ(Second.LangFileLanguages[I]->UniqueID, First.LangFileLanguages[I]->UniqueID);
    EXPECT_EQ(Second.Clubs.Items(0)->LangObjects->Count(), First.Clubs.Items(0)->LangObjects->Count());
    EXPECT_EQ(Second.Clubs.NextID(), First.Clubs.NextID());
    ASSERT_EQ(FailureOf([&] { First.Save(Once.Str()); }), "");
    ASSERT_EQ(FailureOf([&] { Second.Save(Twice.Str()); }), "");
    EXPECT_EQ(Snapshot(Once), Snapshot(Twice));
    ExpectSavedAs(World, Twice);
}

TEST(DatabaseFileTest, LoadingAnotherFolderReplacesEverything) {
    wb::TSampleOptions Big;
    Big.LanguageCount = 5;
    Big.PeopleCount = 30;
    wb::TWorld Small = SampleWithHistories(145);
    TTempDir A("a"), B("b"), Out("out");
    wb::WriteWorld(wb::SampleWorld(Big), A.Str());
    wb::WriteWorld(Small, B.Str());
    TPyxDatabase Db;
    ASSERT_EQ(FailureOf([&] {
                  Db.Load(A.Str());
                  Db.Load(B.Str());
                  Db.Save(Out.Str());
              }),
              "");
    EXPECT_EQ(Db.LangFileLanguages.size(), Small.LangDirectory.size());
    ExpectSavedAs(Small, Out);
}

// Worlds that fail at different stages of a load: inside a table, in the language file, and while linking, after
// the attached records were handed to their owners.
enum class EFailure { ServerTable, PeopleFile, LangFile, Linking };

class FailedLoadTest : public testing::TestWithParam<EFailure> {
protected:
    static wb::TWorld Broken() {
        wb::TWorld World = SampleWithHistories();
        switch (GetParam()) {
        case EFailure::ServerTable:
            World.Teams[3].TeamSelectedCount = 1;
            break;
        case EFailure::PeopleFile:
            World.PeopleHeader = wb::MakeHeader(146);
            break;
        case EFailure::LangFile:
            World.LangDirectory.push_back(4242);
            break;
        case EFailure::Linking:
            World.Teams.back().ContainerID = 77;
            break;
        }
        return World;
    }
};

std::string FailureName(const testing::TestParamInfo<EFailure>& Info) {
    static const char* const Names[] = {"ServerTable", "PeopleFile", "LangFile", "Linking"};
    return Names[static_cast<int>(Info.param)];
}

INSTANTIATE_TEST_SUITE_P(Stages, FailedLoadTest,
                         testing::Values(EFailure::ServerTable, EFailure::PeopleFile, EFailure::LangFile,
                                         EFailure::Linking),
                         FailureName);

TEST_P(FailedLoadTest, TheDatabaseCanBeDestroyedAfterAFailedLoad) {
    TTempDir Dir;
    auto Db = std::make_unique<TPyxDatabase>();
    EXPECT_NE(LoadFailure(Broken(), *Db, Dir), "");
    EXPECT_FALSE(Db->IsLoaded());
    Db.reset();
}

TEST_P(FailedLoadTest, AFailedLoadRefusesToSaveAndTheNextLoadStartsClean) {
    TTempDir Bad("bad"), Good("good"), Out("out");
    TPyxDatabase Db;
    ASSERT_NE(LoadFailure(Broken(), Db, Bad), "");
    EXPECT_NE(FailureOf([&] { Db.Save(Out.Str()); }), "");
    EXPECT_TRUE(fs::is_empty(Out.Path));
    const wb::TWorld World = SampleWithHistories();
    wb::WriteWorld(World, Good.Str());
    ASSERT_EQ(FailureOf([&] {
                  Db.Load(Good.Str());
                  Db.Save(Out.Str());
              }),
              "");
    ExpectSavedAs(World, Out);
}

TEST(DatabaseFileTest, TableCountChecksAcceptTheSmallestRecords) {
    // The count check must never reject a valid table: its least record size may not exceed the smallest record
    // any version writes.
    TPyxDatabase Db;
    auto Expect = [](const TPyxObjects& Collection, std::size_t Smallest) {
        EXPECT_LE(Collection.MinRecordSize(), static_cast<int64_t>(Smallest)) << Collection.ClassName();
    };
    Expect(Db.Awards, wb::RecordSize(wb::TAward{}, 112));
    Expect(Db.Cities, wb::RecordSize(wb::TCity{}, 112));
    Expect(Db.Clubs, wb::RecordSize(wb::TClub{}, 112));
    Expect(Db.Competitions, wb::RecordSize(wb::TCompetition{}, 112));
    Expect(Db.Continents, wb::RecordSize(wb::TContinent{}, 112));
    Expect(Db.Injuries, wb::RecordSize(wb::TInjury{}, 112));
    Expect(Db.Medias, wb::RecordSize(wb::TMedia{}, 112));
    Expect(Db.Languages, wb::RecordSize(wb::TLanguage{}, 112));
    Expect(Db.Nations, wb::RecordSize(wb::TNation{}, 112));
    Expect(Db.Names.FirstNames, wb::RecordSize(wb::TName{}, 112));
    Expect(Db.Regions, wb::RecordSize(wb::TRegion{}, 112));
    Expect(Db.Sponsors, wb::RecordSize(wb::TSponsor{}, 112));
    Expect(Db.Stadiums, wb::RecordSize(wb::TStadium{}, 112));
    Expect(Db.StadiumMoves, wb::RecordSize(wb::TStadiumMove{}, 112));
    Expect(Db.Stages, wb::RecordSize(wb::TStage{}, 112));
    Expect(Db.Teams, wb::RecordSize(wb::TTeam{}, 112));
    Expect(Db.Weathers, wb::RecordSize(wb::TWeather{}, 112));
    Expect(Db.PlayerTypes, wb::RecordSize(wb::TPlayerType{}, 112));
    Expect(Db.AwardHistories, wb::RecordSize(wb::TAwardHistory{}, 112));
    Expect(Db.CompetitionHistories, wb::RecordSize(wb::TCompetitionHistory{}, 112));
    Expect(Db.ClubDebts, wb::RecordSize(wb::TClubDebt{}, 112));
}

TEST(DatabaseFileTest, StatusTextsFollowTheFixedOrder) {
    const wb::TWorld World = SampleWithHistories();
    TTempDir In("in"), Out("out");
    wb::WriteWorld(World, In.Str());
    TPyxDatabase Db;
    std::vector<std::string> Texts;
    Db.OnStatus = [&](const std::string& Text) { Texts.push_back(Text); };
    ASSERT_EQ(FailureOf([&] { Db.Load(In.Str()); }), "");
    auto IndexOf = [&](const std::string& Text) { return std::find(Texts.begin(), Texts.end(), Text) - Texts.begin(); };
    EXPECT_LT(IndexOf("Loading Awards"), IndexOf("Loading Club Debts"));
    EXPECT_LT(IndexOf("Loading Club Debts"), IndexOf("Loading Person Languages"));
    EXPECT_LT(IndexOf("Loading Person Languages"), IndexOf("Loading People"));
    EXPECT_LT(IndexOf("Loading English Language"), IndexOf("Converting Award Indexes"));
    EXPECT_LT(IndexOf("Converting Award Indexes"), IndexOf("Converting Team Indexes"));
    for (const char* Text : {"Loading Awards", "Loading Club Debts", "Loading Person Languages", "Loading People",
                             "Loading English Language", "Converting Award Indexes", "Converting Team Indexes"})
        EXPECT_LT(IndexOf(Text), static_cast<std::ptrdiff_t>(Texts.size())) << Text;
    Texts.clear();
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    const std::vector<std::string> Sorting = {"Sorting Media",
                                              "Sorting Cities",
                                              "Sorting Stadiums",
                                              "Sorting Nations",
                                              "Sorting Clubs",
                                              "Sorting Teams",
                                              "Sorting People",
                                              "Sorting First Names",
                                              "Sorting Second Names",
                                              "Sorting Common Names",
                                              "Realigning Names",
                                              "Sorting Stadium Moves",
                                              "Sorting Award Histories",
                                              "Sorting Competition Histories",
                                              "Sorting Person Configurations",
                                              "Sorting Club Debts"};
    std::vector<std::string> Seen;
    for (const std::string& Text : Texts)
        if (std::find(Sorting.begin(), Sorting.end(), Text) != Sorting.end())
            Seen.push_back(Text);
    EXPECT_EQ(Seen, Sorting);
    EXPECT_LT(IndexOf("Saving Stadiums"), IndexOf("Saving Stadium Moves"));
    EXPECT_LT(IndexOf("Saving Stadium Moves"), IndexOf("Saving Stages"));
    EXPECT_LT(IndexOf("Saving Player Types"), IndexOf("Saving Award Histories"));
    EXPECT_LT(IndexOf("Saving Club Debts"), IndexOf("Saving Person Languages"));
    EXPECT_LT(IndexOf("Saving Person Languages"), IndexOf("Saving People"));
    EXPECT_LT(IndexOf("Saving People"), IndexOf("Saving English Language"));
}

// Every table of server_db.dat rejects a record type it does not know, in its own words.
struct TRecordTypeCase {
    std::string Table;
    std::string Plural;
    std::string ClassName;
    std::function<std::size_t(wb::TWorld&)> AddBadRecord; // returns the record's index
};

template <class T> std::function<std::size_t(wb::TWorld&)> BadRecordIn(std::vector<T> wb::TWorld::*Table) {
    return [Table](wb::TWorld& World) {
        T Record;
        Record.RecordType = 7;
        (World.*Table).push_back(Record);
        return (World.*Table).size() - 1;
    };
}

class RecordTypeTest : public testing::TestWithParam<TRecordTypeCase> {};

INSTANTIATE_TEST_SUITE_P(
    Tables, RecordTypeTest,
    testing::Values(
        TRecordTypeCase{"Awards", "Awards", "TPyxAwards", BadRecordIn(&wb::TWorld::Awards)},
        TRecordTypeCase{"Cities", "Cities", "TPyxCities", BadRecordIn(&wb::TWorld::Cities)},
        TRecordTypeCase{"Clubs", "Clubs", "TPyxClubs", BadRecordIn(&wb::TWorld::Clubs)},
        TRecordTypeCase{"Competitions", "Competitions", "TPyxCompetitions", BadRecordIn(&wb::TWorld::Competitions)},
        TRecordTypeCase{"Continents", "Continents", "TPyxContinents", BadRecordIn(&wb::TWorld::Continents)},
        TRecordTypeCase{"Injuries", "Injuries", "TPyxInjuries", BadRecordIn(&wb::TWorld::Injuries)},
        TRecordTypeCase{"Media", "Medias", "TPyxMedias", BadRecordIn(&wb::TWorld::Medias)},
        TRecordTypeCase{"Languages", "Languages", "TPyxLanguages", BadRecordIn(&wb::TWorld::Languages)},
        TRecordTypeCase{"Nations", "Nations", "TPyxNations", BadRecordIn(&wb::TWorld::Nations)},
        TRecordTypeCase{"First Names", "Names", "TPyxNames", BadRecordIn(&wb::TWorld::FirstNames)},
        TRecordTypeCase{"Second Names", "Names", "TPyxNames", BadRecordIn(&wb::TWorld::SecondNames)},
        TRecordTypeCase{"Common Names", "Names", "TPyxNames", BadRecordIn(&wb::TWorld::CommonNames)},
        TRecordTypeCase{"Regions", "Regions", "TPyxRegions", BadRecordIn(&wb::TWorld::Regions)},
        TRecordTypeCase{"Sponsors", "Sponsors", "TPyxSponsors", BadRecordIn(&wb::TWorld::Sponsors)},
        TRecordTypeCase{"Stadiums", "Stadiums", "TPyxStadiums", BadRecordIn(&wb::TWorld::Stadiums)},
        TRecordTypeCase{"Stadium Moves", "Stadium Moves", "TPyxStadiumMoves", BadRecordIn(&wb::TWorld::StadiumMoves)},
        TRecordTypeCase{"Stages", "Stages", "TPyxStages", BadRecordIn(&wb::TWorld::Stages)},
        TRecordTypeCase{"Teams", "Teams", "TPyxTeams", BadRecordIn(&wb::TWorld::Teams)},
        TRecordTypeCase{"Weather", "Weather", "TPyxWeathers", BadRecordIn(&wb::TWorld::Weathers)},
        TRecordTypeCase{"Player Types", "Player Types", "TPyxPlayerTypes", BadRecordIn(&wb::TWorld::PlayerTypes)},
        TRecordTypeCase{"Award Histories", "Award History", "TPyxAwardHistories",
                        BadRecordIn(&wb::TWorld::AwardHistories)},
        TRecordTypeCase{"Competition Histories", "Competition History", "TPyxCompetitionHistories",
                        BadRecordIn(&wb::TWorld::CompetitionHistories)},
        TRecordTypeCase{"Club Debts", "Club Debts", "TPyxClubDebts", BadRecordIn(&wb::TWorld::ClubDebts)}),
    [](const testing::TestParamInfo<TRecordTypeCase>& Info) {
        std::string Name = Info.param.Table;
        std::erase(Name, ' ');
        return Name;
    });

TEST_P(RecordTypeTest, AnUnknownRecordTypeIsRejectedInTheTablesOwnWords) {
    const TRecordTypeCase& Case = GetParam();
    wb::TWorld World = wb::EmptyWorld(147);
    const std::size_t Index = Case.AddBadRecord(World);
    const std::size_t Position = wb::ServerFile(World).At(wb::IndexedName(Case.Table, Index)) + 1;
    EXPECT_EQ(LoadFailure(World), TableLoadFailure(Case.Table, static_cast<int>(Index), Position, Case.ClassName,
                                                   Case.Plural + " seems to be corrupt.\r\nRecord Type: 7"));
}
