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
    const std::string Found = Join(rw::CountMismatches(W.Db()));
    EXPECT_NE(Found.find("people, has"), std::string::npos) << Found;
    EXPECT_NE(Found.find("without that post"), std::string::npos) << Found;
}
