#include "EditingWorld.h"

#include "PyxJobs.h"

using namespace ew;

namespace {

TPyxPerson* Reloaded(TEditedWorld& W, int K) {
    return W.Reloaded().People.FindByUniqueID(W.PersonKey(K));
}

bool Filed(const TPyxPeopleList& List, const TPyxPerson* P) {
    return List.Contains(P);
}

} // namespace

TEST(PersonSetters, FirstNameEqualToTheCurrentOneChangesNothing) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    TPyxName* Name = P->FirstName;
    const int16_t Uses = Name->UseCount;
    P->SetFirstName(W.Db().Names, std::u16string(Name->Text));
    EXPECT_EQ(P->FirstName, Name);
    EXPECT_EQ(Name->UseCount, Uses);
}

TEST(PersonSetters, FirstNameMovesToAnotherEntryAndFreesTheUnusedOne) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    const int32_t OldKey = P->FirstName->UniqueID;
    const int32_t Pool = W.Db().Names.FirstNames.Count();
    P->SetFirstName(W.Db().Names, u"Zebedee");
    EXPECT_EQ(W.Db().Names.FirstNames.FindByUniqueID(OldKey), nullptr);
    ASSERT_NE(P->FirstName, nullptr);
    EXPECT_EQ(P->FirstName->Text, u"Zebedee");
    EXPECT_EQ(P->FirstName->Nation, P->Nation);
    EXPECT_EQ(P->FirstName->UseCount, 1);
    EXPECT_EQ(W.Db().Names.FirstNames.Count(), Pool);
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, NorthportPlayer)->GetFirstName(), u"Zebedee");
}

TEST(PersonSetters, ClearingANameLeavesNoReference) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(WestfieldPlayer);
    P->SetSecondName(W.Db().Names, u"");
    P->SetCommonName(W.Db().Names, u"");
    EXPECT_EQ(P->SecondName, nullptr);
    EXPECT_EQ(P->CommonName, nullptr);
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, WestfieldPlayer)->GetSecondName(), u"");
}

TEST(PersonSetters, NameTheFileUndercountsStaysWhileAPersonStillUsesIt) {
    std::u16string Shared;
    int32_t SharedKey = 0;
    TPyxPerson* Added = nullptr;
    TEditedWorld W;
    {
        TPyxPerson* Owner = W.Person(NorthportPlayer);
        Added = W.Db().AddPerson();
        Added->SetNation(W.Db().Names, Owner->Nation);
        Shared = Owner->GetFirstName();
        Added->SetFirstName(W.Db().Names, Shared);
        ASSERT_EQ(Added->FirstName, Owner->FirstName);
        SharedKey = Owner->FirstName->UniqueID;
        // As a file that understates the count would hold it.
        Owner->FirstName->UseCount = 1;
    }
    const int32_t AddedKey = Added->UniqueID;
    TPyxDatabase& R = W.SaveAndReload();
    TPyxName* Name = R.Names.FirstNames.FindByUniqueID(SharedKey);
    ASSERT_NE(Name, nullptr);
    EXPECT_EQ(Name->UseCount, 1);
    EXPECT_EQ(Name->References, 2);
    R.People.FindByUniqueID(W.PersonKey(NorthportPlayer))->SetFirstName(R.Names, u"Other");
    EXPECT_EQ(R.Names.FirstNames.FindByUniqueID(SharedKey), Name) << "a person still uses the name";
    EXPECT_EQ(Name->UseCount, 0) << "the stored count keeps its arithmetic";
    EXPECT_EQ(Join(rw::DanglingReferences(R)), "");
    // Once nobody uses it, the name goes.
    R.People.FindByUniqueID(AddedKey)->SetFirstName(R.Names, u"");
    EXPECT_EQ(R.Names.FirstNames.FindByUniqueID(SharedKey), nullptr);
    EXPECT_EQ(Join(rw::DanglingReferences(R)), "");
}

TEST(PersonSetters, NationMovesThePersonCountAndRefilesTheNames) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    TPyxNation* From = P->Nation;
    TPyxNation* To = W.Nation(3);
    const int32_t FromCount = From->PersonCount, ToCount = To->PersonCount;
    const std::u16string First = P->GetFirstName(), Second = P->GetSecondName();
    P->SetNation(W.Db().Names, To);
    EXPECT_EQ(From->PersonCount, FromCount - 1);
    EXPECT_EQ(To->PersonCount, ToCount + 1);
    EXPECT_EQ(P->FirstName->Nation, To);
    EXPECT_EQ(P->SecondName->Nation, To);
    EXPECT_EQ(P->GetFirstName(), First);
    EXPECT_EQ(P->GetSecondName(), Second);
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, NorthportPlayer)->Nation->UniqueID, W.NationKey(3));
}

TEST(PersonSetters, NationToAndFromNone) {
    TEditedWorld W;
    TPyxPerson* Stateless = W.Person(FreeAgent);
    Stateless->SetNation(W.Db().Names, W.Nation(2));
    TPyxPerson* P = W.Person(WestfieldCoach);
    P->SetNation(W.Db().Names, nullptr);
    EXPECT_EQ(W.Nation(2)->PersonCount, 1);
    EXPECT_EQ(P->FirstName->Nation, nullptr);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonSetters, ClubTeamMovesThePostAndTheContract) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    P->SetClubTeam(W.Team(TeamEastbridge));
    EXPECT_FALSE(Filed(W.Team(TeamNorthport)->Players, P));
    EXPECT_TRUE(Filed(W.Team(TeamEastbridge)->Players, P));
    ASSERT_NE(P->Contracts.GetClubContract(), nullptr);
    EXPECT_EQ(P->Contracts.GetClubContract()->Employer, W.Club(Eastbridge));
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, NorthportPlayer)->ClubTeam->UniqueID, W.TeamKey(TeamEastbridge));
}

TEST(PersonSetters, LeavingTheClubFromASquadThatFilesNoPostsEndsTheCaptaincyAndSellOnRecords) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(WestfieldPlayer);
    TPyxClub* Club = W.Club(Westfield);
    TPyxTeam* U21 = W.Team(TeamWestfieldU21);
    ASSERT_EQ(U21->RecordKind, 11);
    Club->Captain = P;
    const int32_t Infos = Club->TransferInfo.Count();
    auto Sale = std::make_unique<TPyxNextSalePercentage>();
    Sale->Person = P;
    Sale->Club = W.Club(Eastbridge);
    Club->TransferInfo.Add(std::move(Sale));
    P->SetClubTeam(U21);
    EXPECT_EQ(Club->Captain, P) << "a squad of the same club keeps the captaincy";
    P->SetClubTeam(W.Team(TeamEastbridge));
    EXPECT_EQ(Club->Captain, nullptr);
    EXPECT_EQ(Club->TransferInfo.Count(), Infos);
    EXPECT_CONSISTENT(W.Db());
}

TEST(PersonSetters, LeavingTheClubEndsJobContractAndCoOwnership) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(CoOwnedPlayer);
    ASSERT_NE(P->GetCoOwner(), nullptr);
    P->SetClubTeam(nullptr);
    EXPECT_EQ(P->ClubJob, 0);
    EXPECT_EQ(P->DateJoinedClub.Year, 1900);
    EXPECT_EQ(P->GetCoOwner(), nullptr);
    EXPECT_EQ(P->Contracts.GetClubContract(), nullptr) << "the co-owner contract must not become the club contract";
    EXPECT_EQ(P->Contracts.Count(), 1);
    EXPECT_NE(P->Contracts.GetNationContract(), nullptr);
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, CoOwnedPlayer)->Contracts.Count(), 1);
}

TEST(PersonSetters, ClubTeamRefusesANationsTeam) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(FreeAgent);
    P->SetClubJob(1);
    P->SetClubTeam(W.Team(TeamNation3));
    EXPECT_EQ(P->ClubTeam, nullptr);
    EXPECT_EQ(P->Contracts.Count(), 0);
}

TEST(PersonSetters, JobWithoutATeamWaitsForTheTeamForItsContract) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(FreeAgent);
    P->SetClubJob(1);
    EXPECT_EQ(P->Contracts.Count(), 0) << "no contract without an employer";
    P->SetClubTeam(W.Team(TeamWestfield));
    ASSERT_NE(P->Contracts.GetClubContract(), nullptr);
    EXPECT_EQ(P->Contracts.GetClubContract()->Employer, W.Club(Westfield));
    EXPECT_TRUE(Filed(W.Team(TeamWestfield)->Players, P));
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonSetters, ClubJobRefilesAndANewManagerReplacesTheOld) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    TPyxPerson* Old = W.Person(NorthportManager);
    W.Club(Northport)->Captain = P;
    P->SetClubJob(17);
    EXPECT_EQ(W.Team(TeamNorthport)->Manager, P);
    EXPECT_TRUE(Filed(W.Team(TeamNorthport)->Players, P));
    EXPECT_EQ(W.Club(Northport)->Captain, P) << "a new job at the same club keeps the captaincy";
    EXPECT_EQ(Old->ClubTeam, nullptr);
    EXPECT_EQ(Old->ClubJob, 0);
    EXPECT_EQ(Old->Contracts.GetClubContract(), nullptr);
    EXPECT_EQ(Old->NationalTeam, W.Team(TeamNation0)) << "the national post is another post";
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(W.Reloaded().Clubs.FindByUniqueID(W.ClubKey(Northport))->Captain->UniqueID, W.PersonKey(NorthportPlayer));
}

TEST(PersonSetters, ChairmanJobDropsTheContractAndReplacesTheChairman) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(EastbridgePlayerCoach);
    TPyxPerson* Old = W.Person(EastbridgeChairman);
    P->SetClubJob(4);
    EXPECT_EQ(W.Club(Eastbridge)->Chairman, P);
    EXPECT_EQ(P->Contracts.GetClubContract(), nullptr);
    EXPECT_FALSE(Filed(W.Team(TeamEastbridge)->Coaches, P));
    EXPECT_EQ(Old->ClubTeam, nullptr);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonSetters, AStaleManagerReferenceCostsNobodyTheirPost) {
    TEditedWorld W;
    TPyxPerson* Coach = W.Person(WestfieldCoach);
    W.Team(TeamEastbridge)->Manager = Coach;
    TPyxPerson* P = W.Person(EastbridgePlayerCoach);
    P->SetClubJob(17);
    EXPECT_EQ(W.Team(TeamEastbridge)->Manager, P);
    EXPECT_EQ(Coach->ClubTeam, W.Team(TeamWestfield));
    EXPECT_NE(Coach->Contracts.GetClubContract(), nullptr);
    EXPECT_CONSISTENT(W.Db());
}

TEST(PersonSetters, NationalTeamAndJob) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(FreeAgent);
    P->SetNationalTeam(W.Team(TeamNation3));
    EXPECT_EQ(P->Contracts.Count(), 0) << "job 0 has no contract";
    P->SetNationalJob(1);
    ASSERT_NE(P->Contracts.GetNationContract(), nullptr);
    EXPECT_EQ(P->Contracts.GetNationContract()->Employer, W.Nation(3));
    EXPECT_TRUE(Filed(W.Team(TeamNation3)->Players, P));
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, FreeAgent)->NationalTeam->UniqueID, W.TeamKey(TeamNation3));

    P->SetNationalTeam(nullptr);
    EXPECT_EQ(P->NationalJob, 0);
    EXPECT_EQ(P->Contracts.Count(), 0);
    EXPECT_FALSE(Filed(W.Team(TeamNation3)->Players, P));
    EXPECT_CONSISTENT(W.Db());
}

TEST(PersonSetters, NationalTeamRefusesAClubsTeam) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(FreeAgent);
    P->SetNationalTeam(W.Team(TeamEastbridge));
    EXPECT_EQ(P->NationalTeam, nullptr);
}

TEST(PersonSetters, NewNationalManagerReplacesTheOld) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(WestfieldCoach);
    P->SetNationalTeam(nullptr);
    P->SetNationalTeam(W.Team(TeamNation0));
    P->SetNationalJob(16);
    EXPECT_EQ(W.Team(TeamNation0)->Manager, P);
    EXPECT_EQ(W.Person(NorthportManager)->NationalTeam, nullptr);
    EXPECT_EQ(W.Person(NorthportManager)->ClubTeam, W.Team(TeamNorthport));
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonSetters, CoOwnerContractStandsBehindTheClubContract) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    P->SetCoOwner(W.Club(Eastbridge), 147);
    EXPECT_EQ(P->GetCoOwner(), W.Club(Eastbridge));
    EXPECT_EQ(P->Contracts.Items(1), P->Contracts.GetCoOwnerContract());
    EXPECT_EQ(P->Contracts.GetClubContract()->CoOwned, 1);
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, NorthportPlayer)->GetCoOwner()->UniqueID, W.ClubKey(Eastbridge));
    P->SetCoOwner(nullptr, 147);
    EXPECT_EQ(P->GetCoOwner(), nullptr);
    EXPECT_EQ(P->Contracts.GetClubContract()->CoOwned, 0);
    EXPECT_CONSISTENT(W.Db());
}

TEST(PersonSetters, CoOwnerEvenWhenTheFileHoldsTheNationContractFirst) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    TPyxContract* Club = P->Contracts.GetClubContract();
    auto Nation = P->Contracts.Remove(P->Contracts.GetNationContract());
    P->Contracts.Insert(0, std::move(Nation));
    P->SetCoOwner(W.Club(Eastbridge), 147);
    EXPECT_EQ(P->Contracts.GetClubContract(), Club);
    EXPECT_EQ(Club->Employer, W.Club(Northport));
    EXPECT_EQ(P->GetCoOwner(), W.Club(Eastbridge));
}

TEST(PersonSetters, CoOwnerNeedsAClubContract) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(FreeAgent);
    P->SetCoOwner(W.Club(Eastbridge), 147);
    EXPECT_EQ(P->GetCoOwner(), nullptr);
    EXPECT_EQ(P->Contracts.Count(), 0);
}

TEST(PersonSetters, SecondNationAndInternationalRetirement) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(WestfieldPlayer);
    P->SetSecondNation(W.Nation(2));
    P->SetInternationalRetirement(true);
    P->SetInternationalRetirement(true);
    EXPECT_EQ(P->GetSecondNation(), W.Nation(2));
    EXPECT_TRUE(P->GetInternationalRetirement());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    TPyxPerson* R = Reloaded(W, WestfieldPlayer);
    EXPECT_EQ(R->GetSecondNation()->UniqueID, W.NationKey(2));
    EXPECT_TRUE(R->GetInternationalRetirement());
    int Retirements = 0;
    for (const auto& Rel : R->Relationships)
        Retirements += Rel->Kind == 10;
    EXPECT_EQ(Retirements, 1);
    R->SetSecondNation(nullptr);
    R->SetInternationalRetirement(false);
    EXPECT_EQ(R->GetSecondNation(), nullptr);
    EXPECT_FALSE(R->GetInternationalRetirement());
}

TEST(PersonSetters, PlayerCoachBecomingStaffLeavesTheClubPost) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(EastbridgePlayerCoach);
    P->SetInternationalRetirement(true);
    P->SetPersonType(TPyxPerson::ptNonPlayer, W.Db().GetVersion());
    EXPECT_EQ(P->Player, nullptr);
    EXPECT_NE(P->NonPlayer, nullptr);
    EXPECT_EQ(P->ClubTeam, nullptr);
    EXPECT_EQ(P->ClubJob, 0);
    EXPECT_EQ(P->Contracts.GetClubContract(), nullptr);
    EXPECT_FALSE(P->GetInternationalRetirement());
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, EastbridgePlayerCoach)->PersonType, TPyxPerson::ptNonPlayer);
}

TEST(PersonSetters, PlayerBecomingStaffLeavesTheNationalSquadsPlayersButNotItsStaff) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    TPyxTeam* National = W.Team(TeamNation0);
    ASSERT_EQ(P->NationalTeam, National);
    ASSERT_TRUE(National->Players.Contains(P));
    TPyxPerson* Coach = W.Person(EastbridgePlayerCoach);
    Coach->SetNationalTeam(W.Team(TeamNation1));
    Coach->SetNationalJob(2);
    P->SetPersonType(TPyxPerson::ptNonPlayer, W.Db().GetVersion());
    Coach->SetPersonType(TPyxPerson::ptNonPlayer, W.Db().GetVersion());
    EXPECT_FALSE(National->Players.Contains(P)) << "a squad's players are read with their player part";
    EXPECT_EQ(P->NationalTeam, nullptr);
    EXPECT_EQ(P->NationalJob, 0);
    EXPECT_EQ(P->Contracts.GetNationContract(), nullptr);
    EXPECT_EQ(Coach->NationalTeam, W.Team(TeamNation1));
    EXPECT_TRUE(W.Team(TeamNation1)->Coaches.Contains(Coach));
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonSetters, PlayerBecomingOfficialKeepsOnlyTheSecondNation) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    P->SetSecondNation(W.Nation(2));
    P->SetInternationalRetirement(true);
    P->Relationships.Add([&] {
        auto R = std::make_unique<TPyxRelationship>();
        R->TargetType = TPyxRelationship::ttClub;
        R->Kind = 3;
        R->Target = W.Club(Westfield);
        return R;
    }());
    P->SetPersonType(TPyxPerson::ptOfficial, W.Db().GetVersion());
    EXPECT_EQ(P->Player, nullptr);
    EXPECT_NE(P->Official, nullptr);
    EXPECT_EQ(P->PersonData, nullptr);
    EXPECT_EQ(P->PlayingHistory, nullptr);
    EXPECT_EQ(P->Relationships.Count(), 1);
    EXPECT_EQ(P->GetSecondNation(), W.Nation(2));
    EXPECT_EQ(P->ClubTeam, nullptr);
    EXPECT_EQ(P->NationalTeam, nullptr) << "a referee is in no squad";
    EXPECT_EQ(P->Contracts.Count(), 0);
    EXPECT_CONSISTENT(W.Db());
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    EXPECT_EQ(Reloaded(W, NorthportPlayer)->PersonType, TPyxPerson::ptOfficial);
}

TEST(PersonSetters, OfficialBecomingPlayerGetsTheRecordsAPlayerNeeds) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(Referee);
    ASSERT_EQ(P->PersonData, nullptr);
    P->SetPersonType(TPyxPerson::ptPlayerNonPlayer, W.Db().GetVersion());
    EXPECT_EQ(P->Official, nullptr);
    ASSERT_NE(P->Player, nullptr);
    ASSERT_NE(P->NonPlayer, nullptr);
    EXPECT_NE(P->Player->PlayingData, nullptr);
    EXPECT_NE(P->NonPlayer->NonPlayingData, nullptr);
    EXPECT_NE(P->PersonData, nullptr);
    W.SaveAndReload();
    EXPECT_CONSISTENT(W.Reloaded());
    TPyxPerson* R = Reloaded(W, Referee);
    EXPECT_EQ(R->PersonType, TPyxPerson::ptPlayerNonPlayer);
    EXPECT_NE(R->PersonData, nullptr);
}

TEST(PersonSetters, PersonTypeOutsideTheFourIsRefused) {
    TEditedWorld W;
    TPyxPerson* P = W.Person(NorthportPlayer);
    P->SetPersonType(0, W.Db().GetVersion());
    P->SetPersonType(7, W.Db().GetVersion());
    EXPECT_EQ(P->PersonType, TPyxPerson::ptPlayer);
    EXPECT_NE(P->Player, nullptr);
}
