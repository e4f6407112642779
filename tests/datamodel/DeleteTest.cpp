#include "EditingWorld.h"

#include "PyxJobs.h"

using namespace ew;

namespace {

// Every entity of a kind, deleted one at a time from a fresh world: the world stays consistent in memory and
// after a save and reload, the deleted entity is gone and nothing else of its kind went with it (beyond what
// Expected allows).
template <class Pick, class Remove> void DeleteEachOf(const char* Kind, int Count, Pick PickOne, Remove RemoveOne) {
    for (int K = 0; K < Count; ++K) {
        SCOPED_TRACE(std::string(Kind) + " " + std::to_string(K));
        TEditedWorld W;
        TPyxObject* Victim = PickOne(W, K);
        const int32_t Key = Victim->UniqueID;
        RemoveOne(W, Victim);
        EXPECT_CONSISTENT(W.Db());
        TPyxDatabase& R = W.SaveAndReload();
        EXPECT_CONSISTENT(R);
        EXPECT_EQ(R.Clubs.Count(), W.Db().Clubs.Count());
        EXPECT_EQ(R.Teams.Count(), W.Db().Teams.Count());
        EXPECT_EQ(R.Nations.Count(), W.Db().Nations.Count());
        EXPECT_EQ(R.People.Count(), W.Db().People.Count());
        (void)Key;
    }
}

int CountRelationshipsTargeting(const TPyxDatabase& Db, const TPyxObject* Target) {
    int N = 0;
    auto Count = [&](const TPyxRelationshipList& L) {
        for (const auto& R : L)
            N += R->Target == Target;
    };
    Db.People.ForEach([&](TPyxPerson* P) { Count(P->Relationships); });
    Db.Clubs.ForEach([&](TPyxClub* C) { Count(C->Relationships); });
    Db.Nations.ForEach([&](TPyxNation* Nat) { Count(Nat->Relationships); });
    return N;
}

std::unique_ptr<TPyxRelationship> Relationship(uint8_t TargetType, uint8_t Kind, TPyxObject* Target) {
    auto R = std::make_unique<TPyxRelationship>();
    R->TargetType = TargetType;
    R->Kind = Kind;
    R->Amount = 50;
    R->Target = Target;
    return R;
}

} // namespace

TEST(Delete, EachClubLeavesAConsistentWorld) {
    const int Clubs = TEditedWorld().Db().Clubs.Count();
    DeleteEachOf(
        "club", Clubs, [](TEditedWorld& W, int K) -> TPyxObject* { return W.Db().Clubs.Items(K); },
        [](TEditedWorld& W, TPyxObject* E) {
            const int32_t Key = E->UniqueID;
            const int32_t Before = W.Db().Clubs.Count();
            // A companion record stands for a squad of another club (or a national team) that shares its key.
            bool Companion = false;
            W.Db().Teams.ForEach(
                [&](TPyxTeam* T) { Companion = Companion || (T->UniqueID == Key && T->Container != E); });
            W.Db().DeleteClub(static_cast<TPyxClub*>(E));
            if (Companion) {
                EXPECT_EQ(W.Db().Clubs.FindByUniqueID(Key), E) << "a companion goes only with its squad";
                EXPECT_EQ(W.Db().Clubs.Count(), Before);
            } else {
                EXPECT_EQ(W.Db().Clubs.FindByUniqueID(Key), nullptr);
                EXPECT_LT(W.Db().Clubs.Count(), Before);
            }
        });
}

TEST(Delete, EachNationLeavesAConsistentWorld) {
    const int Nations = TEditedWorld().Db().Nations.Count();
    DeleteEachOf(
        "nation", Nations, [](TEditedWorld& W, int K) -> TPyxObject* { return W.Db().Nations.Items(K); },
        [](TEditedWorld& W, TPyxObject* E) {
            const int32_t Key = E->UniqueID;
            const int32_t Clubs = W.Db().Clubs.Count();
            W.Db().DeleteNation(static_cast<TPyxNation*>(E));
            EXPECT_EQ(W.Db().Nations.FindByUniqueID(Key), nullptr);
            EXPECT_EQ(W.Db().Clubs.Count(), Clubs) << "a nation's delete takes no club with it";
        });
}

TEST(Delete, EachTeamLeavesAConsistentWorld) {
    const int Teams = TEditedWorld().Db().Teams.Count();
    DeleteEachOf(
        "team", Teams, [](TEditedWorld& W, int K) -> TPyxObject* { return W.Db().Teams.Items(K); },
        [](TEditedWorld& W, TPyxObject* E) {
            const int32_t Key = E->UniqueID;
            W.Db().DeleteTeam(static_cast<TPyxTeam*>(E));
            EXPECT_EQ(W.Db().Teams.FindByUniqueID(Key), nullptr);
        });
}

TEST(Delete, EachPersonLeavesAConsistentWorld) {
    const int People = TEditedWorld().Db().People.Count();
    DeleteEachOf(
        "person", People, [](TEditedWorld& W, int K) -> TPyxObject* { return W.Db().People.Items(K); },
        [](TEditedWorld& W, TPyxObject* E) {
            const int32_t Key = E->UniqueID;
            W.Db().DeletePerson(static_cast<TPyxPerson*>(E));
            EXPECT_EQ(W.Db().People.FindByUniqueID(Key), nullptr);
        });
}

TEST(Delete, ClubTakesItsSquadsAndTheirCompanionsAndNothingElse) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    const int32_t Clubs = Db.Clubs.Count();
    const int32_t Teams = Db.Teams.Count();
    Db.DeleteClub(W.Club(Northport));
    EXPECT_EQ(Db.Clubs.Count(), Clubs - 2);
    EXPECT_EQ(Db.Teams.Count(), Teams - 2);
    EXPECT_EQ(Db.Clubs.FindByUniqueID(W.ClubKey(NorthportReservesCompanion)), nullptr);
    TPyxPerson* Player = W.Person(NorthportPlayer);
    EXPECT_EQ(Player->ClubTeam, nullptr);
    EXPECT_EQ(Player->Contracts.GetClubContract(), nullptr);
    EXPECT_EQ(Player->NationalTeam, W.Team(TeamNation0)) << "the national post belongs elsewhere";
    ASSERT_NE(Player->Contracts.GetNationContract(), nullptr);
    TPyxPerson* Loanee = W.Person(WestfieldPlayer);
    EXPECT_EQ(Loanee->Player->Loan, nullptr) << "the loan was at the deleted reserves";
    EXPECT_EQ(Loanee->ClubTeam, W.Team(TeamWestfield));

    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    EXPECT_EQ(R.Clubs.FindByUniqueID(W.ClubKey(Northport)), nullptr);
    EXPECT_NE(R.Clubs.FindByUniqueID(W.ClubKey(Eastbridge)), nullptr);
    TPyxPerson* Reloaded = R.People.FindByUniqueID(W.PersonKey(WestfieldPlayer));
    EXPECT_EQ(Reloaded->ClubTeam->UniqueID, W.TeamKey(TeamWestfield));
}

TEST(Delete, ClubEndsTheCoOwnershipItHolds) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(CoOwnedPlayer);
    ASSERT_EQ(P->GetCoOwner(), W.Club(Westfield));
    W.Db().DeleteClub(W.Club(Westfield));
    EXPECT_EQ(P->GetCoOwner(), nullptr);
    ASSERT_NE(P->Contracts.GetClubContract(), nullptr);
    EXPECT_EQ(P->Contracts.GetClubContract()->Employer, W.Club(Northport));
    EXPECT_EQ(P->Contracts.GetClubContract()->CoOwned, 0);
    EXPECT_CONSISTENT(W.Db());
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    EXPECT_EQ(R.People.FindByUniqueID(W.PersonKey(CoOwnedPlayer))->Contracts.Count(), 2) << "club and nation";
}

TEST(Delete, ClubRemovesContractsItEmploysOutsideItsTeams) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(FreeAgent);
    P->Contracts.AddClubContract()->Employer = W.Club(Eastbridge);
    W.Db().DeleteClub(W.Club(Eastbridge));
    EXPECT_EQ(P->Contracts.Count(), 0);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(Delete, ClubRemovesNationsRelationshipsAndSellOnRecordsNamingIt) {
    TEditedWorld W;
    TPyxNation* N = W.Nation(3);
    const int32_t Relationships = N->Relationships.Count();
    const int32_t Infos = N->TransferInfo.Count();
    N->Relationships.Add(Relationship(TPyxRelationship::ttClub, 4, W.Club(Eastbridge)));
    auto Sale = std::make_unique<TPyxNextSalePercentage>();
    Sale->Person = W.Person(NorthportPlayer);
    Sale->Club = W.Club(Eastbridge);
    N->TransferInfo.Add(std::move(Sale));
    W.Db().DeleteClub(W.Club(Eastbridge));
    EXPECT_EQ(N->Relationships.Count(), Relationships);
    EXPECT_EQ(N->TransferInfo.Count(), Infos);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(Delete, TeamClearsEveryPostOnItWhateverTheJob) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    TPyxTeam* Team = W.Team(TeamEastbridge);
    TPyxPerson* Chairman = W.Person(EastbridgeChairman);
    ASSERT_EQ(Chairman->ClubTeam, Team);
    W.Person(FreeAgent)->Relationships.Add(Relationship(TPyxRelationship::ttTeam, 3, Team));
    W.Club(Westfield)->Relationships.Add(Relationship(TPyxRelationship::ttTeam, 5, Team));
    Db.DeleteClubTeam(*W.Club(Eastbridge), Team);
    EXPECT_EQ(Chairman->ClubTeam, nullptr);
    EXPECT_EQ(Chairman->ClubJob, 0);
    EXPECT_EQ(W.Club(Eastbridge)->Chairman, nullptr);
    EXPECT_EQ(W.Person(EastbridgePlayerCoach)->ClubTeam, nullptr);
    EXPECT_EQ(W.Person(EastbridgePlayerCoach)->Contracts.GetClubContract(), nullptr);
    EXPECT_NE(Db.Clubs.FindByUniqueID(W.ClubKey(Eastbridge)), nullptr) << "a first team takes no club with it";
    EXPECT_CONSISTENT(Db);
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    EXPECT_EQ(R.Teams.FindByUniqueID(W.TeamKey(TeamEastbridge)), nullptr);
}

TEST(Delete, TeamRemovesEveryRelationshipTargetingIt) {
    TEditedWorld W;
    TPyxTeam* Team = W.Team(TeamWestfield);
    W.Person(FreeAgent)->Relationships.Add(Relationship(TPyxRelationship::ttTeam, 3, Team));
    W.Club(Eastbridge)->Relationships.Add(Relationship(TPyxRelationship::ttTeam, 5, Team));
    W.Nation(1)->Relationships.Add(Relationship(TPyxRelationship::ttTeam, 6, Team));
    ASSERT_GE(CountRelationshipsTargeting(W.Db(), Team), 3);
    W.Db().DeleteTeam(Team);
    EXPECT_EQ(CountRelationshipsTargeting(W.Db(), Team), 0);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(Delete, NationalTeamClearsEveryNationalPost) {
    TEditedWorld W;
    TPyxTeam* Team = W.Team(TeamNation0);
    W.Db().DeleteTeam(Team);
    for (int K : {NorthportPlayer, NorthportManager}) {
        TPyxPerson* P = W.Person(K);
        EXPECT_EQ(P->NationalTeam, nullptr);
        EXPECT_EQ(P->NationalJob, 0);
        EXPECT_EQ(P->Contracts.GetNationContract(), nullptr);
        EXPECT_NE(P->ClubTeam, nullptr) << "the club post belongs elsewhere";
    }
    EXPECT_EQ(W.Nation(0)->Teams.Count(), 0);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(Delete, TeamLeavesPeopleListedThereButPostedElsewhere) {
    TEditedWorld W;
    TPyxPerson* Coach = W.Person(WestfieldCoach);
    W.Team(TeamEastbridge)->Coaches.Add(Coach);
    W.Db().DeleteTeam(W.Team(TeamEastbridge));
    EXPECT_EQ(Coach->ClubTeam, W.Team(TeamWestfield));
    EXPECT_EQ(Coach->ClubJob, 2);
    ASSERT_NE(Coach->Contracts.GetClubContract(), nullptr);
    EXPECT_EQ(Coach->Contracts.GetClubContract()->Employer, W.Club(Westfield));
    EXPECT_CONSISTENT(W.Db());
}

TEST(Delete, SquadTakesItsTeamlessCompanionClub) {
    TEditedWorld W;
    TPyxClub* Club = W.Club(Northport);
    W.Db().DeleteClubTeam(*Club, W.Team(TeamNorthportReserves));
    EXPECT_EQ(W.Db().Clubs.FindByUniqueID(W.ClubKey(NorthportReservesCompanion)), nullptr);
    EXPECT_EQ(Club->Teams.Count(), 1);
    EXPECT_EQ(W.Person(WestfieldPlayer)->Player->Loan, nullptr);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(Delete, SquadKeepsAClubSharingItsKeyThatRunsTeams) {
    TEditedWorld W;
    TPyxClub* Companion = W.Club(NorthportReservesCompanion);
    Companion->Teams.Add(W.Team(TeamEastbridge));
    W.Db().DeleteClubTeam(*W.Club(Northport), W.Team(TeamNorthportReserves));
    EXPECT_EQ(W.Db().Clubs.FindByUniqueID(W.ClubKey(NorthportReservesCompanion)), Companion);
    EXPECT_EQ(W.Db().Teams.FindByUniqueID(W.TeamKey(TeamNorthportReserves)), nullptr);
    Companion->Teams.Clear();
    EXPECT_CONSISTENT(W.Db());
}

TEST(Delete, SquadOfAnotherClubIsLeftAlone) {
    TEditedWorld W;
    const int32_t Teams = W.Db().Teams.Count();
    W.Db().DeleteClubTeam(*W.Club(Eastbridge), W.Team(TeamWestfieldU21));
    EXPECT_EQ(W.Db().Teams.Count(), Teams);
    EXPECT_EQ(W.Club(Westfield)->Teams.Count(), 2);
}

TEST(Delete, NationClearsItselfEverywhere) {
    TEditedWorld W;
    TPyxDatabase& Db = W.Db();
    TPyxNation* N = W.Nation(0);
    int Names = 0;
    for (const TPyxNames* Pool : {&Db.Names.FirstNames, &Db.Names.SecondNames, &Db.Names.CommonNames})
        Pool->ForEach([&](TPyxName* Name) { Names += Name->Nation == N; });
    ASSERT_GT(Names, 0);
    Db.DeleteNation(N);
    EXPECT_EQ(W.Club(Northport)->Nation, nullptr);
    EXPECT_EQ(W.Person(NorthportPlayer)->Nation, nullptr);
    EXPECT_EQ(W.Person(NorthportPlayer)->NationalTeam, nullptr);
    EXPECT_EQ(Db.Teams.FindByUniqueID(W.TeamKey(TeamNation0)), nullptr);
    EXPECT_EQ(CountRelationshipsTargeting(Db, N), 0);
    EXPECT_CONSISTENT(Db);
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    EXPECT_EQ(R.People.FindByUniqueID(W.PersonKey(NorthportPlayer))->Nation, nullptr);
}

TEST(Delete, PersonDropsAFormerClubsSellOnRecord) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(WestfieldPlayer);
    TPyxClub* Former = W.Club(Eastbridge);
    const int32_t Infos = Former->TransferInfo.Count();
    auto Sale = std::make_unique<TPyxNextSalePercentage>();
    Sale->Person = P;
    Sale->Club = Former;
    Former->TransferInfo.Add(std::move(Sale));
    W.Db().DeletePerson(P);
    EXPECT_EQ(Former->TransferInfo.Count(), Infos);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(Delete, PersonLeavesNoPostOrListNamingThem) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    W.Club(Eastbridge)->Captain = P;
    W.Team(TeamWestfield)->Players.Add(P);
    W.Club(Westfield)->Scouts.Add(P);
    W.Person(WestfieldCoach)->Relationships.Add(Relationship(TPyxRelationship::ttPerson, 1, P));
    W.Db().DeletePerson(P);
    EXPECT_EQ(W.Club(Eastbridge)->Captain, nullptr);
    EXPECT_EQ(ew::Join(rw::DanglingReferences(W.Db())), "");
    EXPECT_CONSISTENT(W.Db());
}

TEST(Delete, PersonGivesBackTheirNamesAndNationCount) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(EastbridgeChairman);
    const int32_t FirstKey = P->FirstName->UniqueID;
    TPyxNation* N = P->Nation;
    const int32_t Count = N->PersonCount;
    W.Db().DeletePerson(P);
    EXPECT_EQ(W.Db().Names.FirstNames.FindByUniqueID(FirstKey), nullptr) << "nobody else used the name";
    EXPECT_EQ(N->PersonCount, Count - 1);
    EXPECT_EQ(W.Club(Eastbridge)->Chairman, nullptr);
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    EXPECT_EQ(R.Names.FirstNames.FindByUniqueID(FirstKey), nullptr);
}

TEST(Delete, FirstTeamStaysWhileOtherSquadsRemain) {
    TEditedWorld W;
    TPyxClub* Club = W.Club(Northport);
    TPyxTeam* First = W.Team(TeamNorthport);
    ASSERT_EQ(Club->Teams.Items(0), First);
    const int32_t Teams = W.Db().Teams.Count();
    EXPECT_FALSE(W.Db().DeleteClubTeam(*Club, First));
    EXPECT_EQ(W.Db().Teams.Count(), Teams);
    EXPECT_EQ(Club->Teams.Items(0), First);
    EXPECT_EQ(First->Container, Club);
    // Once the other squad went, the first team is the club's last and may go.
    EXPECT_TRUE(W.Db().DeleteClubTeam(*Club, W.Team(TeamNorthportReserves)));
    EXPECT_TRUE(W.Db().DeleteClubTeam(*Club, First));
    EXPECT_EQ(Club->Teams.Count(), 0);
    EXPECT_CONSISTENT(W.Db());
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    EXPECT_EQ(R.Teams.FindByUniqueID(W.TeamKey(TeamNorthport)), nullptr);
}

TEST(Delete, NoSquadIsAddedToAClubWithoutAFirstTeam) {
    TEditedWorld W;
    const int32_t Teams = W.Db().Teams.Count(), Clubs = W.Db().Clubs.Count();
    EXPECT_EQ(W.Db().AddSquad(*W.Club(NorthportReservesCompanion)), nullptr);
    EXPECT_EQ(W.Db().Teams.Count(), Teams);
    EXPECT_EQ(W.Db().Clubs.Count(), Clubs);
    EXPECT_EQ(W.Club(NorthportReservesCompanion)->Teams.Count(), 0);
}

TEST(Delete, CompanionClubStaysWhileItsSquadRemains) {
    TEditedWorld W;
    TPyxClub* Companion = W.Club(NorthportReservesCompanion);
    TPyxTeam* Squad = W.Team(TeamNorthportReserves);
    ASSERT_EQ(Companion->UniqueID, Squad->UniqueID);
    ASSERT_NE(Squad->Container, Companion);
    Companion->Name = u"Northport Reserves (kept)";
    const int32_t Clubs = W.Db().Clubs.Count(), Teams = W.Db().Teams.Count();
    EXPECT_EQ(W.Db().TeamStoodFor(*Companion), Squad);
    EXPECT_EQ(W.Db().TeamStoodFor(*W.Club(Northport)), nullptr) << "its first team is its own";
    W.Db().DeleteClub(Companion);
    EXPECT_EQ(W.Db().Clubs.Count(), Clubs);
    EXPECT_EQ(W.Db().Teams.Count(), Teams);
    EXPECT_EQ(W.Db().Clubs.FindByUniqueID(Squad->UniqueID), Companion);
    EXPECT_CONSISTENT(W.Db());
    // The save and reload keep the squad with its companion, names and all.
    TPyxDatabase& R = W.SaveAndReload();
    EXPECT_CONSISTENT(R);
    ASSERT_NE(R.Clubs.FindByUniqueID(W.TeamKey(TeamNorthportReserves)), nullptr);
    EXPECT_EQ(R.Clubs.FindByUniqueID(W.TeamKey(TeamNorthportReserves))->Name, u"Northport Reserves (kept)");
    EXPECT_EQ(R.Clubs.Count(), Clubs);
    // Once the squad went, the companion went with it.
    EXPECT_TRUE(W.Db().DeleteClubTeam(*W.Club(Northport), Squad));
    EXPECT_EQ(W.Db().Clubs.Count(), Clubs - 1);
    EXPECT_CONSISTENT(W.Db());
}

TEST(Delete, ClubWithSeveralSquadsGoesWithAllOfThem) {
    TEditedWorld W;
    const int32_t Teams = W.Db().Teams.Count();
    W.Db().DeleteClub(W.Club(Northport));
    EXPECT_EQ(W.Db().Teams.Count(), Teams - 2);
    EXPECT_EQ(W.Db().Clubs.FindByUniqueID(W.ClubKey(NorthportReservesCompanion)), nullptr);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}
