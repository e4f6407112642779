// Linking the people after loading: the three attribute records each person must own (and may own alone), the
// references of the person record, the attached records of server_db.dat, person languages and relationships.

#include "PeopleTestSupport.h"

#include "PeopleBuilder.h"
#include "SampleBuilder.h"
#include "SampleWorld.h"

namespace {

using TSample = wb::TSampleBuilder;

// The sample world's persons stand in plan order: 0 a player without nation, 1 and 2 players (2 co-owned),
// 3 a manager, 4 a player/coach, 5 an official, 6 to 10 staff, 11 a player on loan.
wb::TWorld Sample(int16_t Version = 147) {
    wb::TSampleOptions O;
    O.Version = Version;
    O.PeopleCount = 12;
    O.Histories = false;
    return wb::SampleWorld(O);
}

// Appends a record for Person to List, numbered from IDBase and UniqueIDBase by its position there.
template <class T> T& Attach(std::vector<T>& List, int32_t IDBase, int32_t UniqueIDBase, int32_t Person) {
    const auto Position = static_cast<int32_t>(List.size());
    T& Record = List.emplace_back();
    Record.ID = IDBase + Position;
    Record.UniqueID = UniqueIDBase + Position;
    Record.PersonID = Person;
    return Record;
}

struct TLoaded {
    pt::TFolder In;
    TPyxDatabase Db;
};

// Writes World and loads it; the test fails when the load throws.
void LoadWorld(const wb::TWorld& World, TLoaded& L) {
    pt::LoadWorld(L.Db, World, L.In);
}

// Loads Input, saves it, and compares with Expected after the save order.
void ExpectSaved(const wb::TWorld& Input, wb::TWorld Expected) {
    wb::ApplySaveOrder(Expected);
    pt::ExpectSavedAs(Input, Expected);
}

} // namespace

TEST(MandatoryRecords, APersonWithoutItsAttributeRecordsStopsTheLoad) {
    struct TCase {
        const char* Name;
        uint8_t Type;
        bool LosePersonData, LosePlayingData, LoseNonPlayingData;
        const char* Message;
    };
    const char* NoPersonData = "EFileCorruptError: Person data seems to be corrupt.\r\nNo Person Data";
    const char* NoPlayingData = "EFileCorruptError: Player data seems to be corrupt.\r\nNo Playing Data";
    const char* NoNonPlayingData =
        "EFileCorruptError: Non Player data seems to be corrupt.\r\nDoesn't have any Non Playing Data";
    const TCase Cases[] = {
        {"staff member without person data", 1, true, false, false, NoPersonData},
        {"player without person data", 2, true, false, false, NoPersonData},
        {"player/staff without person data", 3, true, false, false, NoPersonData},
        {"player without playing data", 2, false, true, false, NoPlayingData},
        {"staff member without non-playing data", 1, false, false, true, NoNonPlayingData},
        // The staff part is linked first, then the player part, then the person data.
        {"player/staff without either part's data", 3, true, true, true, NoNonPlayingData},
        {"player without playing or person data", 2, true, true, false, NoPlayingData},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        wb::TWorld W = wb::EmptyWorld(145);
        wb::AddPerson(W, 3, 1, 101);
        wb::TPerson& P = wb::AddPerson(W, C.Type, 2, 102);
        if (C.LosePersonData)
            P.PersonDataID = 99;
        if (C.LosePlayingData)
            P.Player.PlayingDataID = -1;
        if (C.LoseNonPlayingData)
            P.Staff.NonPlayingDataID = 98;
        EXPECT_EQ(pt::LoadError(W), C.Message);
    }
}

TEST(MandatoryRecords, AnOfficialNeedsNoPersonDataAndKeepsNone) {
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddPerson(W, 4, 1, 101);                   // no person data at all
    wb::AddPerson(W, 4, 2, 102).PersonDataID = 55; // a record that does not exist
    wb::AddPerson(W, 2, 3, 103);
    wb::TPerson& Official = wb::AddPerson(W, 4, 4, 104);
    Official.PersonDataID = W.People[2].PersonDataID; // the player's record: an official never takes it
    wb::AddPerson(W, 1, 5, 105);
    W.PersonDatas.push_back(W.PersonDatas[0]); // an official's record of its own
    W.PersonDatas.back().ID = 20;
    W.PersonDatas.back().UniqueID = 777;
    W.People[0].PersonDataID = 20;

    TLoaded L;
    ASSERT_NO_FATAL_FAILURE(LoadWorld(W, L));
    for (int32_t UniqueID : {101, 102, 104}) {
        const TPyxPerson* P = L.Db.People.FindByUniqueID(UniqueID);
        ASSERT_NE(P, nullptr);
        EXPECT_EQ(P->PersonData, nullptr) << UniqueID;
    }
    const TPyxPerson* Player = L.Db.People.FindByUniqueID(103);
    ASSERT_NE(Player->PersonData, nullptr);
    EXPECT_EQ(Player->PersonData->UniqueID, W.PersonDatas[0].UniqueID);

    // Officials are written with -1 and their records are gone; the player keeps its own.
    wb::TWorld Expected = W;
    for (auto& P : Expected.People)
        if (P.IsOfficial())
            P.PersonDataID = -1;
    ExpectSaved(W, Expected);
}

TEST(MandatoryRecords, ARecordClaimedByTwoPersonsStopsTheLoadNamingTableAndRecord) {
    struct TCase {
        const char* Table;
        uint8_t FirstType, SecondType;
        void (*Share)(wb::TWorld&);
    };
    const TCase Cases[] = {
        {"Person Data", 1, 2,
         [](wb::TWorld& W) {
             W.PersonDatas[1].ID = 37;
             W.People[0].PersonDataID = W.People[1].PersonDataID = 37;
         }},
        {"Playing Data", 3, 2,
         [](wb::TWorld& W) {
             W.PlayingDatas[0].ID = 37;
             W.People[0].Player.PlayingDataID = W.People[1].Player.PlayingDataID = 37;
         }},
        {"Non Playing Data", 1, 3,
         [](wb::TWorld& W) {
             W.NonPlayingDatas[1].ID = 37;
             W.People[0].Staff.NonPlayingDataID = W.People[1].Staff.NonPlayingDataID = 37;
         }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Table);
        wb::TWorld W = wb::EmptyWorld(147);
        wb::AddPerson(W, C.FirstType, 1, 101);
        wb::AddPerson(W, C.SecondType, 2, 102);
        C.Share(W);
        const std::string Error = pt::LoadError(W);
        EXPECT_EQ(Error.rfind("EFileCorruptError: " + std::string(C.Table) + " seems to be corrupt.\r\n", 0), 0u)
            << Error;
        EXPECT_NE(Error.find("37"), std::string::npos) << Error;
    }
}

TEST(MandatoryRecords, ADatabaseLoadsAgainAfterALoadThatFailedWhileLinking) {
    wb::TWorld Bad = wb::EmptyWorld(147);
    wb::AddPerson(Bad, 2, 1, 101);
    wb::AddPerson(Bad, 3, 2, 102).Player.PlayingDataID = 0;
    wb::TWorld Good = Sample();
    pt::TFolder BadFolder, GoodFolder, Out;
    wb::WriteWorld(Bad, BadFolder.Str());
    wb::WriteWorld(Good, GoodFolder.Str());
    TPyxDatabase Db;
    Db.LoadPlayingHistories = false;
    EXPECT_NE(pt::FailureOf([&] { Db.Load(BadFolder.Str()); }), "");
    EXPECT_FALSE(Db.IsLoaded());
    ASSERT_NO_FATAL_FAILURE(pt::Load(Db, GoodFolder));
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = Good;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PersonReferences, ResolveToTheirEntitiesAndUnknownOnesBecomeNil) {
    wb::TWorld W = Sample();
    wb::TPerson& Unknown = W.People[7];
    Unknown.FirstNameID = 9000;
    Unknown.SecondNameID = 9001;
    Unknown.CommonNameID = 9002;
    Unknown.NationID = 9003;
    Unknown.NationalTeamID = 9004;
    Unknown.ClubTeamID = 9005;
    Unknown.CityOfBirthID = 9006;
    W.People[5].Official.CityID = 9007;
    W.People[5].Official.DivisionUniqueID = 9008;

    TLoaded L;
    ASSERT_NO_FATAL_FAILURE(LoadWorld(W, L));
    const wb::TPerson& F = W.People[1];
    const TPyxPerson& P = *L.Db.People.FindByUniqueID(F.UniqueID);
    auto NameText = [](const std::vector<wb::TName>& Pool, int32_t ID) {
        for (const auto& N : Pool)
            if (N.ID == ID)
                return N.Text;
        return std::u16string();
    };
    EXPECT_EQ(P.GetFirstName(), NameText(W.FirstNames, F.FirstNameID));
    EXPECT_EQ(P.GetSecondName(), NameText(W.SecondNames, F.SecondNameID));
    EXPECT_EQ(P.GetCommonName(), NameText(W.CommonNames, F.CommonNameID));
    ASSERT_NE(P.Nation, nullptr);
    EXPECT_EQ(P.Nation->UniqueID, W.Nations[static_cast<std::size_t>(F.NationID)].UniqueID);
    ASSERT_NE(P.ClubTeam, nullptr);
    EXPECT_EQ(P.ClubTeam->UniqueID, W.Teams[TSample::TeamNorthport].UniqueID);
    ASSERT_NE(P.NationalTeam, nullptr);
    EXPECT_EQ(P.NationalTeam->UniqueID, W.Teams[TSample::TeamNation0].UniqueID);
    ASSERT_NE(P.CityOfBirth, nullptr);
    EXPECT_EQ(P.CityOfBirth->UniqueID, W.Cities[static_cast<std::size_t>(F.CityOfBirthID)].UniqueID);
    const TPyxPerson& Referee = *L.Db.People.FindByUniqueID(W.People[5].UniqueID);
    EXPECT_EQ(Referee.Official->City, nullptr);
    EXPECT_EQ(Referee.Official->Division, nullptr);

    const TPyxPerson& Nobody = *L.Db.People.FindByUniqueID(Unknown.UniqueID);
    EXPECT_EQ(Nobody.FirstName, nullptr);
    EXPECT_EQ(Nobody.SecondName, nullptr);
    EXPECT_EQ(Nobody.CommonName, nullptr);
    EXPECT_EQ(Nobody.Nation, nullptr);
    EXPECT_EQ(Nobody.NationalTeam, nullptr);
    EXPECT_EQ(Nobody.ClubTeam, nullptr);
    EXPECT_EQ(Nobody.CityOfBirth, nullptr);

    wb::TWorld Expected = W;
    wb::TPerson& Saved = Expected.People[7];
    Saved.FirstNameID = Saved.SecondNameID = Saved.CommonNameID = Saved.NationID = -1;
    Saved.NationalTeamID = Saved.ClubTeamID = Saved.CityOfBirthID = -1;
    Expected.People[5].Official.CityID = -1;
    Expected.People[5].Official.DivisionUniqueID = 0;
    ExpectSaved(W, Expected);
}

TEST(OfficialReferences, ResolveTheCityByIDAndTheDivisionByUniqueID) {
    wb::TWorld W = Sample(145);
    wb::TPerson& F = W.People[5];
    ASSERT_TRUE(F.IsOfficial());
    F.Official.CityID = 2;
    F.Official.DivisionUniqueID = W.Competitions[1].UniqueID;
    TLoaded L;
    ASSERT_NO_FATAL_FAILURE(LoadWorld(W, L));
    const TPyxOfficial& O = *L.Db.People.FindByUniqueID(F.UniqueID)->Official;
    ASSERT_NE(O.City, nullptr);
    EXPECT_EQ(O.City->UniqueID, W.Cities[2].UniqueID);
    ASSERT_NE(O.Division, nullptr);
    EXPECT_EQ(O.Division->UniqueID, W.Competitions[1].UniqueID);
    ExpectSaved(W, W);
}

TEST(AttachedRecords, GoToPersonsOfTheirRoleAndTheLaterOfTwoWins) {
    wb::TWorld W = Sample();
    const wb::TPerson& Player = W.People[1];
    const wb::TPerson& Manager = W.People[3];     // staff only
    const wb::TPerson& PlayerCoach = W.People[4]; // player and staff
    ASSERT_EQ(Manager.RecordType, 1);
    ASSERT_EQ(PlayerCoach.RecordType, 3);
    ASSERT_EQ(W.People[5].RecordType, 4);

    auto Loan = [&](int32_t Person, int32_t Team, int16_t Year) {
        wb::TLoan& L = Attach(W.Loans, 100, 5000, Person);
        L.TeamID = Team;
        L.StartDate = {10, Year};
        L.EndDate = {20, Year};
    };
    Loan(Manager.ID, TSample::TeamEastbridge, 2001);    // dropped: not a player
    Loan(Player.ID, TSample::TeamEastbridge, 2002);     // replaced by the next
    Loan(Player.ID, 999, 2003);                         // kept without a team
    Loan(123456, TSample::TeamEastbridge, 2004);        // dropped: nobody
    Loan(PlayerCoach.ID, TSample::TeamWestfield, 2005); // kept

    auto Injury = [&](int32_t Person, int32_t InjuryID, uint8_t Extra) {
        wb::TStartingInjury& I = Attach(W.StartingInjuries, 200, 6000, Person);
        I.InjuryID = InjuryID;
        I.Extra2 = Extra;
    };
    Injury(Manager.ID, 1, 1);      // dropped
    Injury(PlayerCoach.ID, 1, 2);  // replaced
    Injury(PlayerCoach.ID, 77, 3); // kept without an injury

    auto Confidence = [&](int32_t Person, int16_t Board) {
        wb::TStartingConfidence& C = Attach(W.StartingConfidences, 300, 7000, Person);
        C.BoardConfidence = Board;
    };
    Confidence(Player.ID, 11);      // dropped: not staff
    Confidence(W.People[5].ID, 12); // dropped: an official
    Confidence(PlayerCoach.ID, 13); // kept
    Confidence(Manager.ID, 14);     // replaces the manager's own

    auto Transfer = [&](int32_t Person, int32_t Team, int32_t Fee) {
        wb::TFutureTransfer& T = Attach(W.FutureTransfers, 400, 8000, Person);
        T.TeamID = Team;
        T.TransferFee = Fee;
    };
    Transfer(Manager.ID, TSample::TeamNorthport, 1);     // dropped
    Transfer(Player.ID, 4242, 2);                        // kept without a team
    Transfer(PlayerCoach.ID, TSample::TeamNorthport, 3); // replaces the player/coach's own

    TLoaded L;
    ASSERT_NO_FATAL_FAILURE(LoadWorld(W, L));
    const TPyxPerson& P = *L.Db.People.FindByUniqueID(Player.UniqueID);
    ASSERT_NE(P.Player->Loan, nullptr);
    EXPECT_EQ(P.Player->Loan->StartDate.Year, 2003);
    EXPECT_EQ(P.Player->Loan->Team, nullptr);
    EXPECT_EQ(P.Player->Loan->Person, &P);
    ASSERT_NE(P.Player->FutureTransfer, nullptr);
    EXPECT_EQ(P.Player->FutureTransfer->Team, nullptr);
    EXPECT_EQ(P.Player->FutureTransfer->TransferFee, 2);
    const TPyxPerson& PC = *L.Db.People.FindByUniqueID(PlayerCoach.UniqueID);
    ASSERT_NE(PC.Player->Loan, nullptr);
    ASSERT_NE(PC.Player->Loan->Team, nullptr);
    EXPECT_EQ(PC.Player->Loan->Team->UniqueID, W.Teams[TSample::TeamWestfield].UniqueID);
    ASSERT_NE(PC.Player->StartingInjury, nullptr);
    EXPECT_EQ(PC.Player->StartingInjury->Extra2, 3);
    EXPECT_EQ(PC.Player->StartingInjury->Injury, nullptr);
    ASSERT_NE(PC.NonPlayer->StartingConfidence, nullptr);
    EXPECT_EQ(PC.NonPlayer->StartingConfidence->BoardConfidence, 13);
    ASSERT_NE(PC.Player->FutureTransfer, nullptr);
    ASSERT_NE(PC.Player->FutureTransfer->Team, nullptr);
    EXPECT_EQ(PC.Player->FutureTransfer->Team->UniqueID, W.Teams[TSample::TeamNorthport].UniqueID);
    const TPyxPerson& M = *L.Db.People.FindByUniqueID(Manager.UniqueID);
    ASSERT_NE(M.NonPlayer->StartingConfidence, nullptr);
    EXPECT_EQ(M.NonPlayer->StartingConfidence->BoardConfidence, 14);

    wb::TWorld Expected = W;
    for (auto& R : Expected.Loans)
        if (R.TeamID == 999)
            R.TeamID = -1;
    for (auto& R : Expected.StartingInjuries)
        if (R.InjuryID == 77)
            R.InjuryID = -1;
    for (auto& R : Expected.FutureTransfers)
        if (R.TeamID == 4242)
            R.TeamID = -1;
    ExpectSaved(W, Expected);
}

TEST(PersonLanguages, GoToTheirPersonsInPersonOrderAndAnUnknownLanguageIsKeptAsNone) {
    wb::TWorld W = Sample(112);
    W.PersonLanguages.insert(W.PersonLanguages.begin(), wb::TPersonLanguage{987654, 0, 4}); // nobody: dropped
    W.PersonLanguages.push_back(wb::TPersonLanguage{W.People[0].ID, 66, 9});                // no such language
    W.PersonLanguages.push_back(wb::TPersonLanguage{W.People[4].ID, 2, 6});
    TLoaded L;
    ASSERT_NO_FATAL_FAILURE(LoadWorld(W, L));
    const TPyxPerson& First = *L.Db.People.FindByUniqueID(W.People[0].UniqueID);
    ASSERT_GE(First.Languages.Count(), 2);
    const TPyxPersonLanguage& Last = *First.Languages.Items(First.Languages.Count() - 1);
    EXPECT_EQ(Last.Language, nullptr);
    EXPECT_EQ(Last.Level, 9);
    EXPECT_EQ(Last.Person, &First);
    const TPyxPerson& Fourth = *L.Db.People.FindByUniqueID(W.People[4].UniqueID);
    const TPyxPersonLanguage& Added = *Fourth.Languages.Items(Fourth.Languages.Count() - 1);
    ASSERT_NE(Added.Language, nullptr);
    EXPECT_EQ(Added.Language->UniqueID, W.Languages[2].UniqueID);
    int32_t Total = 0;
    L.Db.People.ForEach([&](const TPyxPerson* P) { Total += P->Languages.Count(); });
    EXPECT_EQ(Total, static_cast<int32_t>(W.PersonLanguages.size()) - 1);

    wb::TWorld Expected = W;
    for (auto& Item : Expected.PersonLanguages)
        if (Item.LanguageID == 66)
            Item.LanguageID = -1;
    ExpectSaved(W, Expected);
}

TEST(Relationships, UntypedOnesSurviveAndTypedOnesWithoutTargetAreDropped) {
    wb::TWorld W = Sample(145);
    const int32_t Nation3 = 3;
    wb::TPerson& F = W.People[1];
    F.Relationships = {
        {0, 10, 100, 0, -1},                           // retirement: kept
        {3, 1, 50, 0, 99999},                          // no such person: dropped
        {1, 3, 60, 0, TSample::Westfield},             // kept
        {1, 4, 60, 0, 555},                            // no such club: dropped
        {2, 9, 15, 0, Nation3},                        // kept
        {2, 6, 0, 0, 444},                             // no such nation: dropped
        {4, 2, 5, 1, 333},                             // no such team: dropped
        {5, 2, 5, 2, 222},                             // no such stadium: dropped
        {0, 10, 90, 7, 55},                            // untyped with a key: kept, written without one
        {3, 2, 40, 0, W.People[3].ID},                 // kept
        {4, 1, 20, 0, TSample::TeamNorthportReserves}, // kept
        {5, 1, 30, 0, 1},                              // kept
    };
    F.RelationshipsFlag = 1;
    wb::TPerson& Lonely = W.People[7];
    Lonely.Relationships = {{3, 1, 50, 0, 88888}};
    Lonely.RelationshipsFlag = 1;

    TLoaded L;
    ASSERT_NO_FATAL_FAILURE(LoadWorld(W, L));
    const TPyxPerson& P = *L.Db.People.FindByUniqueID(F.UniqueID);
    ASSERT_EQ(P.Relationships.Count(), 7);
    const int ExpectedKinds[] = {10, 3, 9, 10, 2, 1, 1};
    for (int32_t K = 0; K < 7; ++K)
        EXPECT_EQ(P.Relationships.Items(K)->Kind, ExpectedKinds[K]) << K;
    EXPECT_EQ(P.Relationships.Items(0)->Target, nullptr);
    EXPECT_EQ(P.Relationships.Items(1)->Target, L.Db.Clubs.FindByUniqueID(W.Clubs[TSample::Westfield].UniqueID));
    EXPECT_EQ(P.Relationships.Items(2)->Target, L.Db.Nations.FindByUniqueID(W.Nations[Nation3].UniqueID));
    EXPECT_EQ(P.Relationships.Items(3)->Target, nullptr);
    EXPECT_EQ(P.Relationships.Items(4)->Target, L.Db.People.FindByUniqueID(W.People[3].UniqueID));
    EXPECT_EQ(P.Relationships.Items(5)->Target,
              L.Db.Teams.FindByUniqueID(W.Teams[TSample::TeamNorthportReserves].UniqueID));
    EXPECT_EQ(P.Relationships.Items(6)->Target, L.Db.Stadiums.FindByUniqueID(W.Stadiums[1].UniqueID));
    EXPECT_EQ(L.Db.People.FindByUniqueID(Lonely.UniqueID)->Relationships.Count(), 0);

    wb::TWorld Expected = W;
    auto& Kept = Expected.People[1].Relationships;
    Kept = {Kept[0], Kept[2], Kept[4], Kept[8], Kept[9], Kept[10], Kept[11]};
    Kept[3].TargetID = -1;
    Expected.People[7].Relationships.clear();
    Expected.People[7].RelationshipsFlag = 0; // a list that became empty is written as flag 0 alone
    ExpectSaved(W, Expected);
}

TEST(PersonGetters, CoOwnerSecondNationAndInternationalRetirement) {
    for (int16_t Version : {112, 147}) {
        SCOPED_TRACE(Version);
        wb::TWorld W = Sample(Version);
        // A second second-nationality relationship after the first: the last one counts.
        W.People[2].Relationships.push_back({2, 9, 15, 0, 1});
        TLoaded L;
        ASSERT_NO_FATAL_FAILURE(LoadWorld(W, L));
        const TPyxPerson& CoOwned = *L.Db.People.FindByUniqueID(W.People[2].UniqueID);
        if (Version > 144) {
            ASSERT_NE(CoOwned.GetCoOwner(), nullptr);
            EXPECT_EQ(CoOwned.GetCoOwner()->UniqueID, W.Clubs[TSample::Westfield].UniqueID);
        } else {
            // Files before 145 have no co-owned flag, so no contract reads as the co-owner's.
            EXPECT_EQ(CoOwned.GetCoOwner(), nullptr);
        }
        ASSERT_NE(CoOwned.GetSecondNation(), nullptr);
        EXPECT_EQ(CoOwned.GetSecondNation()->UniqueID, W.Nations[1].UniqueID);
        EXPECT_FALSE(CoOwned.GetInternationalRetirement());
        const TPyxPerson& Retired = *L.Db.People.FindByUniqueID(W.People[4].UniqueID);
        EXPECT_TRUE(Retired.GetInternationalRetirement());
        EXPECT_EQ(Retired.GetSecondNation(), nullptr);
        EXPECT_EQ(Retired.GetCoOwner(), nullptr);
    }
}

TEST(AttachedRecords, RecordTypesOtherThanZeroStopTheLoad) {
    struct TCase {
        const char* Table;
        const char* Class;
        void (*Break)(wb::TWorld&);
    };
    const TCase Cases[] = {
        {"Loans", "TPyxLoans", [](wb::TWorld& W) { W.Loans.back().RecordType = 1; }},
        {"Starting Injuries", "TPyxStartingInjuries", [](wb::TWorld& W) { W.StartingInjuries.back().RecordType = 1; }},
        {"Starting Confidence", "TPyxStartingConfidences",
         [](wb::TWorld& W) { W.StartingConfidences.back().RecordType = 1; }},
        {"Future Transfers", "TPyxFutureTransfers", [](wb::TWorld& W) { W.FutureTransfers.back().RecordType = 1; }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Table);
        wb::TWorld W = Sample(145);
        C.Break(W);
        const wb::TWorldFiles Files = wb::BuildFiles(W);
        const std::string Table = C.Table;
        std::size_t Last = 0;
        while (Files.Server.Offsets.count(wb::IndexedName(Table, Last + 1)))
            ++Last;
        // The stream stands right after the record-type byte.
        const std::size_t Position = Files.Server.At(wb::IndexedName(Table, Last)) + 1;
        EXPECT_EQ(pt::LoadError(Files), pt::TableLoadFailure(Table, static_cast<int>(Last), Position, C.Class,
                                                             Table + " seems to be corrupt.\r\nRecord Type: 1"));
    }
}

TEST(AttachedRecords, ThoseOfARetiredPersonAreDroppedWithIt) {
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddPerson(W, 2, 1, 101);
    wb::AddPerson(W, 5, 2, 102);
    wb::AddPerson(W, 3, 3, 103);
    for (int32_t Person : {1, 2, 3}) {
        wb::TLoan Loan;
        Loan.ID = Person;
        Loan.UniqueID = 900 + Person;
        Loan.PersonID = Person;
        W.Loans.push_back(Loan);
        wb::TStartingConfidence Confidence;
        Confidence.ID = Person;
        Confidence.UniqueID = 950 + Person;
        Confidence.PersonID = Person;
        Confidence.FanConfidence = static_cast<int16_t>(Person);
        W.StartingConfidences.push_back(Confidence);
        W.PersonLanguages.push_back({Person, 0, static_cast<uint8_t>(Person)});
    }
    W.Histories.emplace();
    W.Histories->Histories = {{102, {{2001, 0, 5, 1, -1}}}, {103, {{2002, 0, 6, 2, -1}}}};
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    ASSERT_EQ(Expected.Loans.size(), 2u);
    ASSERT_EQ(Expected.StartingConfidences.size(), 1u);
    ASSERT_EQ(Expected.PersonLanguages.size(), 2u);
    ASSERT_EQ(Expected.Histories->Histories.size(), 1u);
    pt::ExpectSavedAs(W, Expected);
}

TEST(PeopleReload, LoadingTheSameFolderTwiceGivesEveryPersonAndRecordOnce) {
    wb::TSampleOptions O;
    O.Version = 147;
    O.LanguageCount = 3;
    O.DefaultLanguagePosition = 1;
    O.PeopleCount = 20;
    wb::TWorld W = wb::SampleWorld(O);
    wb::UnsortPeople(W, 5);
    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    ASSERT_NO_FATAL_FAILURE(pt::Load(Db, In));
    EXPECT_EQ(Db.People.Count(), 20);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PersonLanguages, ASectionLongerThanTheFileStopsTheLoad) {
    wb::TWorldFiles Files = wb::BuildFiles(Sample(147));
    const std::size_t Count = Files.Server.At("Person Languages");
    const int32_t Items = wb::ReadI32(Files.Server.Data(), Count);
    Files.Server.Bytes.PatchI32(Count, Items + 1);
    const std::string Prefix = "EFileCorruptError: Data file seems to be corrupt, couldn't load Person Languages.\r\n";
    const std::string Error = pt::LoadError(Files);
    EXPECT_EQ(Error.substr(0, Prefix.size()), Prefix) << Error;
}
