#include "EditingWorld.h"

#include "Writers.h"

#include <algorithm>

using namespace ew;

namespace {

// A text that differs per language: the default's own, then one per extra language slot.
std::u16string Text(const char16_t* Base, int Language) {
    return std::u16string(Base) + u" \u00E9" + static_cast<char16_t>(u'0' + Language);
}

int ExtraLanguages(const TPyxDatabase& Db) {
    return static_cast<int>(Db.LangFileLanguages.size()) - 1;
}

} // namespace

TEST(AddEntity, PersonIsANewPlayerWithFreshKeys) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    const int32_t MaxID = Db.People.MaxID(), MaxUniqueID = Db.People.MaxUniqueID();
    TPyxPerson* P = Db.AddPerson();
    EXPECT_EQ(P->ID, MaxID + 1);
    EXPECT_EQ(P->UniqueID, MaxUniqueID + 1);
    EXPECT_EQ(P->PersonType, TPyxPerson::ptPlayer);
    EXPECT_EQ(P->LangObjects, nullptr);
    EXPECT_EQ(Db.People.FindByID(P->ID), P);
    P->SetNation(Db.Names, W.Nation(2));
    P->SetFirstName(Db.Names, u"Newman");
    P->SetSecondName(Db.Names, u"Fresh");
    P->SetClubTeam(W.Team(TeamEastbridge));
    P->SetClubJob(1);
    EXPECT_CONSISTENT(Db);
    const int32_t ID = P->ID, Key = P->UniqueID;
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    TPyxPerson* Back = R.People.FindByUniqueID(Key);
    ASSERT_NE(Back, nullptr);
    EXPECT_EQ(Back->ID, ID) << "people keep their IDs";
    EXPECT_EQ(Back->GetName(), u"Fresh, Newman");
    EXPECT_EQ(Back->ClubTeam->UniqueID, W.TeamKey(TeamEastbridge));
}

TEST(AddEntity, PersonKeyIsAboveARetiredPersonsThatAnUnloadedHistoryStillNames) {
    // The retired record holds the highest UniqueID of the people table and has a playing history; the load drops
    // the record, and a save without the histories leaves their files as they were.
    wb::TWorld World = wb::SampleWorld(TEditedWorld::DefaultOptions());
    int32_t Highest = 0;
    for (const wb::TPerson& P : World.People)
        Highest = std::max(Highest, P.UniqueID);
    wb::TPerson Retired;
    Retired.RecordType = 5;
    Retired.ID = static_cast<int32_t>(World.People.size());
    Retired.UniqueID = Highest + 1;
    Retired.Retired.Text1 = u"Long Retired";
    World.People.push_back(Retired);
    World.Histories->Histories.push_back({Retired.UniqueID, {{1971, 0, 30, 12, -1}}});
    TTempDir Folder("retired_key");
    wb::WriteWorld(World, Folder.Str());
    int32_t Key = 0;
    {
        TPyxDatabase Db;
        Db.LoadPlayingHistories = false;
        Db.Load(Folder.Str());
        Key = Db.AddPerson()->UniqueID;
        EXPECT_GT(Key, Retired.UniqueID);
        Db.Save(Folder.Str());
    }
    TPyxDatabase Back;
    Back.Load(Folder.Str());
    TPyxPerson* P = Back.People.FindByUniqueID(Key);
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->PlayingHistory, nullptr) << "the new person took over the retired person's seasons";
}

TEST(AddEntity, ClubWithItsFirstSquadAndTextsInEveryLanguage) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    TPyxClub* Club = Db.AddClub();
    ASSERT_EQ(Club->Teams.Count(), 1);
    TPyxTeam* Team = Club->Teams.Items(0);
    EXPECT_EQ(Team->UniqueID, Club->UniqueID);
    EXPECT_EQ(Team->Container, Club);
    EXPECT_EQ(Db.Teams.FindByUniqueID(Club->UniqueID), Team);
    ASSERT_EQ(Club->LangObjects->Count(), ExtraLanguages(Db));
    Club->Name = Text(u"Southgate", 0);
    Club->ShortName = Text(u"Southg.", 0);
    for (int L = 0; L < ExtraLanguages(Db); ++L) {
        Club->Lang(L)->Name = Text(u"Southgate", L + 1);
        Club->Lang(L)->ShortName = Text(u"Southg.", L + 1);
    }
    Club->SetNation(W.Nation(2));
    const int32_t Key = Club->UniqueID;
    EXPECT_CONSISTENT(Db);
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    TPyxClub* Back = R.Clubs.FindByUniqueID(Key);
    ASSERT_NE(Back, nullptr);
    EXPECT_EQ(Back->ID, R.Clubs.Count() - 1) << "appended, and numbered by position on saving";
    EXPECT_EQ(Back->Name, Text(u"Southgate", 0));
    for (int L = 0; L < ExtraLanguages(R); ++L) {
        EXPECT_EQ(Back->Lang(L)->Name, Text(u"Southgate", L + 1));
        EXPECT_EQ(Back->Lang(L)->ShortName, Text(u"Southg.", L + 1));
    }
    ASSERT_EQ(Back->Teams.Count(), 1);
    EXPECT_EQ(Back->Teams.Items(0)->UniqueID, Key);
    EXPECT_EQ(Back->Nation->UniqueID, W.NationKey(2));
}

TEST(AddEntity, SquadWithItsCompanionClub) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    TPyxClub* Club = W.Club(Eastbridge);
    TPyxTeam* Squad = Db.AddSquad(*Club);
    EXPECT_EQ(Club->Teams.Count(), 2);
    EXPECT_EQ(Squad->Container, Club);
    EXPECT_EQ(Squad->SquadType, 3);
    TPyxClub* Companion = Db.Clubs.FindByUniqueID(Squad->UniqueID);
    ASSERT_NE(Companion, nullptr);
    EXPECT_NE(Companion, Club);
    EXPECT_EQ(Companion->LangObjects->Count(), ExtraLanguages(Db));
    W.Person(FreeAgent)->SetClubTeam(Squad);
    W.Person(FreeAgent)->SetClubJob(1);
    EXPECT_CONSISTENT(Db);
    const int32_t Key = Squad->UniqueID;
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    TPyxTeam* Back = R.Teams.FindByUniqueID(Key);
    ASSERT_NE(Back, nullptr);
    EXPECT_EQ(Back->Container->UniqueID, W.ClubKey(Eastbridge));
    EXPECT_NE(R.Clubs.FindByUniqueID(Key), nullptr);
    EXPECT_TRUE(Back->Players.Contains(R.People.FindByUniqueID(W.PersonKey(FreeAgent))));
}

TEST(AddEntity, SharedKeyOfASquadIsAboveEveryClubsAndTeamsKey) {
    wb::TWorld World = wb::SampleWorld(TEditedWorld::DefaultOptions());
    // A club record without a team holds the highest UniqueID of both tables.
    wb::TClub Extra = World.Clubs.back();
    Extra.ID = static_cast<int32_t>(World.Clubs.size());
    Extra.UniqueID = 40000000;
    Extra.NationID = -1;
    Extra.Container.TeamIDs.clear();
    World.Clubs.push_back(Extra);
    TEditedWorld W(World);
    TPyxDatabase& Db = W.Db();
    ASSERT_GT(Db.Clubs.MaxUniqueID(), Db.Teams.MaxUniqueID());
    TPyxTeam* Squad = Db.AddSquad(*W.Club(Westfield));
    EXPECT_EQ(Squad->UniqueID, 40000001);
    TPyxClub* Added = Db.AddClub();
    EXPECT_EQ(Added->UniqueID, 40000002);
    // Deleting the squad takes its own companion, never the unrelated club.
    Db.DeleteClubTeam(*W.Club(Westfield), Squad);
    EXPECT_NE(Db.Clubs.FindByUniqueID(40000000), nullptr);
    EXPECT_EQ(Db.Clubs.FindByUniqueID(40000001), nullptr);
    EXPECT_CONSISTENT(Db);
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(AddEntity, StadiumCityAndMediaWithTextsInEveryLanguage) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    const int32_t StadiumMax = Db.Stadiums.MaxUniqueID();
    TPyxStadium* S = Db.AddStadium();
    TPyxCity* C = Db.AddCity();
    TPyxMedia* M = Db.AddMedia();
    EXPECT_EQ(S->UniqueID, StadiumMax + 1);
    EXPECT_EQ(Db.Cities.FindByUniqueID(C->UniqueID), C);
    EXPECT_EQ(Db.Medias.FindByID(M->ID), M);
    S->Name = Text(u"Arena", 0);
    C->Name = Text(u"Harbour", 0);
    C->CitizenName = Text(u"Harbourite", 0);
    M->LongName = Text(u"Gazette", 0);
    M->ShortName = Text(u"Gaz", 0);
    for (int L = 0; L < ExtraLanguages(Db); ++L) {
        S->Lang(L)->Name = Text(u"Arena", L + 1);
        C->Lang(L)->Name = Text(u"Harbour", L + 1);
        C->Lang(L)->CitizenName = Text(u"Harbourite", L + 1);
        M->Lang(L)->LongName = Text(u"Gazette", L + 1);
        M->Lang(L)->ShortName = Text(u"Gaz", L + 1);
    }
    M->Clubs.Add(W.Club(Westfield));
    S->Club = W.Club(Westfield);
    const int32_t SK = S->UniqueID, CK = C->UniqueID, MK = M->UniqueID;
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    TPyxStadium* S2 = R.Stadiums.FindByUniqueID(SK);
    TPyxCity* C2 = R.Cities.FindByUniqueID(CK);
    TPyxMedia* M2 = R.Medias.FindByUniqueID(MK);
    ASSERT_TRUE(S2 && C2 && M2);
    EXPECT_EQ(S2->ID, R.Stadiums.Count() - 1);
    EXPECT_EQ(C2->ID, R.Cities.Count() - 1);
    EXPECT_EQ(M2->ID, R.Medias.Count() - 1);
    EXPECT_EQ(S2->Name, Text(u"Arena", 0));
    EXPECT_EQ(C2->CitizenName, Text(u"Harbourite", 0));
    EXPECT_EQ(M2->LongName, Text(u"Gazette", 0));
    EXPECT_EQ(S2->Club->UniqueID, W.ClubKey(Westfield));
    ASSERT_EQ(M2->Clubs.Count(), 1);
    for (int L = 0; L < ExtraLanguages(R); ++L) {
        EXPECT_EQ(S2->Lang(L)->Name, Text(u"Arena", L + 1));
        EXPECT_EQ(C2->Lang(L)->Name, Text(u"Harbour", L + 1));
        EXPECT_EQ(C2->Lang(L)->CitizenName, Text(u"Harbourite", L + 1));
        EXPECT_EQ(M2->Lang(L)->LongName, Text(u"Gazette", L + 1));
        EXPECT_EQ(M2->Lang(L)->ShortName, Text(u"Gaz", L + 1));
    }
}

TEST(AddEntity, LanguageSlotsFollowTheDirectoryWithoutTheDefault) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    TPyxCity* C = Db.AddCity();
    std::vector<const TPyxLanguage*> Expected;
    for (const TPyxLanguage* L : Db.LangFileLanguages)
        if (L->UniqueID != Db.DefaultLanguageUniqueID)
            Expected.push_back(L);
    ASSERT_EQ(C->LangObjects->Count(), static_cast<int32_t>(Expected.size()));
    for (int32_t I = 0; I < C->LangObjects->Count(); ++I)
        EXPECT_EQ(C->LangObjects->Items(I)->Language, Expected[static_cast<size_t>(I)]);
}

TEST(AddEntity, TeamRecordsSetByTheEditorAreWrittenWithTheirTeam) {
    TEditedWorld W;
    TPyxTeam* Team = W.Team(TeamEastbridge);
    Team->SetStadiumMove(std::make_unique<TPyxStadiumMove>());
    Team->SetCapacityChange(std::make_unique<TPyxStadiumMove>());
    Team->SetClubDebt(std::make_unique<TPyxClubDebt>());
    Team->ClubDebt->TransferBudget = 777;
    auto Loan = std::make_unique<TPyxClubDebt>();
    Loan->Kind = 2;
    Loan->Amount = 5000;
    Team->AddLoan(std::move(Loan));
    EXPECT_CONSISTENT(W.Db());
    TPyxTeam* Back = W.SaveAndReload().Teams.FindByUniqueID(W.TeamKey(TeamEastbridge));
    ASSERT_NE(Back, nullptr);
    ASSERT_NE(Back->StadiumMove, nullptr);
    EXPECT_EQ(Back->StadiumMove->Kind, 1);
    ASSERT_NE(Back->CapacityChange, nullptr);
    EXPECT_EQ(Back->CapacityChange->Kind, 2);
    ASSERT_NE(Back->ClubDebt, nullptr);
    EXPECT_EQ(Back->ClubDebt->TransferBudget, 777);
    ASSERT_EQ(Back->ClubDebts.Count(), Team->ClubDebts.Count());
    EXPECT_EQ(Back->ClubDebts.Items(Back->ClubDebts.Count() - 1)->Amount, 5000);
}

// A loan put straight into a team's list, as a copy edited elsewhere is put back, has neither team nor loan kind
// of its own: it is still written as that team's loan, not dropped nor taken for its transfer budget.
TEST(AddEntity, LoansPutIntoATeamsListAreWrittenAsItsLoans) {
    TEditedWorld W;
    TPyxTeam* Team = W.Team(TeamEastbridge);
    Team->SetClubDebt(std::make_unique<TPyxClubDebt>());
    Team->ClubDebt->TransferBudget = 777;
    auto Loan = std::make_unique<TPyxClubDebt>();
    Loan->Amount = 4000;
    Team->ClubDebts.Add(std::move(Loan), true);
    const int32_t Loans = Team->ClubDebts.Count();
    TPyxTeam* Back = W.SaveAndReload().Teams.FindByUniqueID(W.TeamKey(TeamEastbridge));
    ASSERT_NE(Back, nullptr);
    ASSERT_NE(Back->ClubDebt, nullptr);
    EXPECT_EQ(Back->ClubDebt->TransferBudget, 777);
    ASSERT_EQ(Back->ClubDebts.Count(), Loans);
    EXPECT_EQ(Back->ClubDebts.Items(Loans - 1)->Amount, 4000);
}

TEST(AddEntity, PersonRecordsSetByTheEditorAreWrittenWithTheirPerson) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    TPyxPerson* P = Db.AddPerson();
    P->SetPersonType(TPyxPerson::ptPlayerNonPlayer, Db.GetVersion());
    auto Loan = std::make_unique<TPyxLoan>();
    Loan->Team = W.Team(TeamEastbridge);
    P->Player->SetLoan(std::move(Loan));
    P->Player->SetStartingInjury(std::make_unique<TPyxStartingInjury>());
    auto Transfer = std::make_unique<TPyxFutureTransfer>();
    Transfer->TransferFee = 1234;
    P->Player->SetFutureTransfer(std::move(Transfer));
    auto Confidence = std::make_unique<TPyxStartingConfidence>();
    Confidence->BoardConfidence = 42;
    P->NonPlayer->SetStartingConfidence(std::move(Confidence));
    auto Language = std::make_unique<TPyxPersonLanguage>();
    Language->Language = Db.Languages.Items(0);
    Language->Level = 7;
    P->Languages.Add(std::move(Language));
    const int32_t Key = P->UniqueID;
    TPyxPerson* Back = W.SaveAndReload().People.FindByUniqueID(Key);
    ASSERT_NE(Back, nullptr);
    ASSERT_TRUE(Back->Player && Back->NonPlayer);
    ASSERT_NE(Back->Player->Loan, nullptr);
    EXPECT_EQ(Back->Player->Loan->Team->UniqueID, W.TeamKey(TeamEastbridge));
    EXPECT_NE(Back->Player->StartingInjury, nullptr);
    ASSERT_NE(Back->Player->FutureTransfer, nullptr);
    EXPECT_EQ(Back->Player->FutureTransfer->TransferFee, 1234);
    ASSERT_NE(Back->NonPlayer->StartingConfidence, nullptr);
    EXPECT_EQ(Back->NonPlayer->StartingConfidence->BoardConfidence, 42);
    ASSERT_EQ(Back->Languages.Count(), 1);
    EXPECT_EQ(Back->Languages.Items(0)->Level, 7);
}
