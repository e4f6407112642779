// A club or national move with a new job as one change, and the co-owner a version 112 file cannot hold.

#include "EditingWorld.h"

#include "PyxClub.h"
#include "PyxJobs.h"
#include "PyxTeam.h"

using namespace ew;

namespace {

bool Filed(const TPyxPeopleList& List, const TPyxPerson* P) {
    return List.Contains(P);
}

} // namespace

TEST(PersonPosts, AManagerMovingToAnotherClubAsCoachLeavesThatClubsManagerInPlace) {
    TEditedWorld W;
    TPyxPerson* Manager = W.Person(NorthportManager);
    TPyxPerson* WestfieldManager = W.Person(WestfieldDirector);
    WestfieldManager->SetClubJob(16);
    ASSERT_EQ(W.Team(TeamWestfield)->Manager, WestfieldManager);

    Manager->SetClubPost(W.Team(TeamWestfield), 2);
    EXPECT_EQ(W.Team(TeamWestfield)->Manager, WestfieldManager);
    EXPECT_EQ(WestfieldManager->ClubTeam, W.Team(TeamWestfield));
    EXPECT_EQ(WestfieldManager->ClubJob, 16);
    EXPECT_EQ(Manager->ClubTeam, W.Team(TeamWestfield));
    EXPECT_EQ(Manager->ClubJob, 2);
    EXPECT_TRUE(Filed(W.Team(TeamWestfield)->Coaches, Manager));
    EXPECT_EQ(W.Team(TeamNorthport)->Manager, nullptr);
    ASSERT_NE(Manager->Contracts.GetClubContract(), nullptr);
    EXPECT_EQ(Manager->Contracts.GetClubContract()->Employer, W.Club(Westfield));
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonPosts, AChairmanMovingToAnotherClubAsCoachLeavesThatClubsChairmanInPlace) {
    TEditedWorld W;
    TPyxPerson* Chairman = W.Person(EastbridgeChairman);
    TPyxPerson* NorthportChairman = W.Person(NorthportScout);
    NorthportChairman->SetClubJob(4);
    ASSERT_EQ(W.Club(Northport)->Chairman, NorthportChairman);

    Chairman->SetClubPost(W.Team(TeamNorthport), 2);
    EXPECT_EQ(W.Club(Northport)->Chairman, NorthportChairman);
    EXPECT_EQ(NorthportChairman->ClubTeam, W.Team(TeamNorthport));
    EXPECT_EQ(W.Club(Eastbridge)->Chairman, nullptr);
    EXPECT_TRUE(Filed(W.Team(TeamNorthport)->Coaches, Chairman));
    ASSERT_NE(Chairman->Contracts.GetClubContract(), nullptr) << "a coach's job carries a contract";
    EXPECT_EQ(Chairman->Contracts.GetClubContract()->Employer, W.Club(Northport));
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonPosts, ACoachMovingToAnotherClubAsManagerTakesOnlyThatClubsPost) {
    TEditedWorld W;
    TPyxPerson* Coach = W.Person(WestfieldCoach);
    TPyxPerson* WestfieldManager = W.Person(WestfieldDirector);
    TPyxPerson* NorthportsManager = W.Person(NorthportManager);
    WestfieldManager->SetClubJob(16);

    Coach->SetClubPost(W.Team(TeamNorthport), 16);
    EXPECT_EQ(W.Team(TeamWestfield)->Manager, WestfieldManager) << "the old club's manager keeps the post";
    EXPECT_EQ(W.Team(TeamNorthport)->Manager, Coach);
    EXPECT_EQ(NorthportsManager->ClubTeam, nullptr) << "a new manager replaces the old";
    EXPECT_FALSE(Filed(W.Team(TeamWestfield)->Coaches, Coach));
    EXPECT_CONSISTENT(W.Db());

    // Within one team the post setter is the job setter; nil leaves the club.
    Coach->SetClubPost(W.Team(TeamNorthport), 20);
    EXPECT_EQ(W.Team(TeamNorthport)->Manager, nullptr);
    EXPECT_TRUE(Filed(W.Team(TeamNorthport)->Coaches, Coach));
    Coach->SetClubPost(nullptr, 2);
    EXPECT_EQ(Coach->ClubTeam, nullptr);
    EXPECT_EQ(Coach->ClubJob, 0);
    EXPECT_EQ(Coach->Contracts.GetClubContract(), nullptr);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonPosts, ANationalManagerMovingToAnotherNationAsCoachLeavesThatNationsManagerInPlace) {
    TEditedWorld W;
    TPyxPerson* Manager = W.Person(NorthportManager);
    TPyxPerson* Nation3Manager = W.Person(WestfieldCoach);
    Nation3Manager->SetNationalJob(16);
    ASSERT_EQ(W.Team(TeamNation3)->Manager, Nation3Manager);

    Manager->SetNationalPost(W.Team(TeamNation3), 2);
    EXPECT_EQ(W.Team(TeamNation3)->Manager, Nation3Manager);
    EXPECT_EQ(Nation3Manager->NationalTeam, W.Team(TeamNation3));
    EXPECT_EQ(W.Team(TeamNation0)->Manager, nullptr);
    EXPECT_TRUE(Filed(W.Team(TeamNation3)->Coaches, Manager));
    ASSERT_NE(Manager->Contracts.GetNationContract(), nullptr);
    EXPECT_EQ(Manager->Contracts.GetNationContract()->Employer, W.Nation(3));
    EXPECT_EQ(Manager->ClubTeam, W.Team(TeamNorthport)) << "the club post is another post";
    EXPECT_CONSISTENT(W.Db());

    // A free agent takes a national post with its job at once.
    TPyxPerson* Free = W.Person(FreeAgent);
    Free->SetNationalPost(W.Team(TeamNation0), 20);
    EXPECT_EQ(Free->NationalJob, 20);
    EXPECT_TRUE(Filed(W.Team(TeamNation0)->Coaches, Free));
    EXPECT_NE(Free->Contracts.GetNationContract(), nullptr);
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(PersonPosts, ACoOwnerIsRefusedWhereTheFilesHaveNoCoOwnedField) {
    wb::TSampleOptions Options = TEditedWorld::DefaultOptions();
    Options.Version = 112;
    TEditedWorld W(wb::SampleWorld(Options));
    // The sample's co-owned player reads back at this version with the two club contracts its file holds; the
    // refusal keeps any other player from joining it.
    const std::string Before = Join(rw::Problems(W.Db()));
    TPyxPerson* P = W.Person(NorthportPlayer);
    const int32_t Contracts = P->Contracts.Count();
    EXPECT_FALSE(P->SetCoOwner(W.Club(Eastbridge), W.Db().GetVersion()));
    EXPECT_EQ(P->GetCoOwner(), nullptr);
    EXPECT_EQ(P->Contracts.Count(), Contracts);
    EXPECT_EQ(P->Contracts.GetClubContract()->CoOwned, 0);
    EXPECT_TRUE(P->SetCoOwner(nullptr, W.Db().GetVersion())) << "ending a co-ownership always works";
    TPyxDatabase& Reloaded = W.SaveAndReload();
    EXPECT_EQ(Join(rw::Problems(Reloaded)), Before);
    TPyxPerson* R = Reloaded.People.FindByUniqueID(W.PersonKey(NorthportPlayer));
    EXPECT_EQ(R->Contracts.Count(), Contracts);
    EXPECT_EQ(R->GetCoOwner(), nullptr);
    EXPECT_EQ(R->Contracts.GetClubContract()->Employer, R->ClubTeam->GetClub());

    // From version 145 the same call co-owns the player.
    TEditedWorld Later;
    TPyxPerson* L = Later.Person(NorthportPlayer);
    EXPECT_TRUE(L->SetCoOwner(Later.Club(Eastbridge), Later.Db().GetVersion()));
    EXPECT_EQ(L->GetCoOwner(), Later.Club(Eastbridge));
}
