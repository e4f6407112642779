#include "EditingWorld.h"

using namespace ew;

TEST(ReferenceWalk, SampleWorldIsConsistentAsLoaded) {
    TEditedWorld W;
    EXPECT_CONSISTENT(W.Db());
    EXPECT_CONSISTENT(W.SaveAndReload());
}

TEST(ReferenceWalk, ReportsAReferenceToAnEntityOutsideItsCollection) {
    TEditedWorld W;
    TPyxPerson Stranger;
    W.Club(Northport)->Captain = &Stranger;
    const auto Found = rw::DanglingReferences(W.Db());
    ASSERT_EQ(Found.size(), 1u);
    EXPECT_NE(Found[0].find("captain"), std::string::npos);
    W.Club(Northport)->Captain = nullptr;
}

TEST(ReferenceWalk, ReportsCountsThatDisagreeWithTheReferences) {
    TEditedWorld W;
    ++W.Nation(0)->PersonCount;
    W.Team(TeamEastbridge)->Players.Add(W.Person(WestfieldCoach));
    // A companion club record taken out of the collection as it is, past the clubs' own Delete.
    W.Db().Clubs.TPyxObjects::Delete(W.Club(NorthportReservesCompanion));
    const std::string Found = Join(rw::CountMismatches(W.Db()));
    EXPECT_NE(Found.find("people, has"), std::string::npos) << Found;
    EXPECT_NE(Found.find("without that post"), std::string::npos) << Found;
    EXPECT_NE(Found.find("team " + std::to_string(W.TeamKey(TeamNorthportReserves)) +
                         " shares its UniqueID with no club record"),
              std::string::npos)
        << Found;
}
