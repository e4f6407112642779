#include "Records.h"

#include <gtest/gtest.h>

namespace {

using wb::ReadI16;
using wb::ReadI32;

TEST(RecordOffsets, StadiumFieldsSitWhereTheFileExpects) {
    wb::TStadium Stadium;
    Stadium.ClubID = 4;
    Stadium.PitchWidth = 68;
    Stadium.NameByte = 9;
    Stadium.StadiumByte2 = 7;
    Stadium.CityID = 11;
    Stadium.ID = 2;
    Stadium.UniqueID = 3;
    wb::TBytes New, Old;
    wb::WriteRecord(New, Stadium, 147);
    wb::WriteRecord(Old, Stadium, 112);
    EXPECT_EQ(ReadI32(New.Data(), 14), 4);
    EXPECT_EQ(New.Data()[18], 5); // decay's default
    EXPECT_EQ(ReadI16(New.Data(), 25), 68);
    EXPECT_EQ(New.Data()[30], 9);
    EXPECT_EQ(New.Data()[31], 7);
    EXPECT_EQ(ReadI32(New.Data(), 32), 11);
    EXPECT_EQ(ReadI32(New.Data(), 44), 3);
    EXPECT_EQ(ReadI32(Old.Data(), 31), 11);
    EXPECT_EQ(ReadI32(Old.Data(), 43), 3);
}

TEST(RecordOffsets, StadiumMoveFields) {
    wb::TStadiumMove Move;
    Move.TeamID = 1;
    Move.NewStadiumID = 2;
    Move.StartDate = {45, 2004};
    Move.NewCapacity = -1;
    Move.Kind = 2;
    Move.AlternativeStadiumID = 6;
    wb::TBytes Out;
    wb::WriteRecord(Out, Move, 147);
    EXPECT_EQ(ReadI32(Out.Data(), 1), 1);
    EXPECT_EQ(ReadI32(Out.Data(), 9), 2);
    EXPECT_EQ(ReadI16(Out.Data(), 13), 0);
    EXPECT_EQ(ReadI16(Out.Data(), 15), 1900);
    EXPECT_EQ(ReadI16(Out.Data(), 17), 45);
    EXPECT_EQ(ReadI32(Out.Data(), 21), -1);
    EXPECT_EQ(Out.Data()[25], 2);
    EXPECT_EQ(ReadI32(Out.Data(), 26), 6);
}

TEST(RecordOffsets, ContractFieldsAtVersion145) {
    wb::TContract Contract = wb::TContract::Nation(5);
    Contract.CoOwned = 1;
    Contract.EstimatedWage = 1234;
    Contract.ContractStart = {10, 2001};
    Contract.Short61 = -2;
    wb::TBytes Out;
    wb::WriteContract(Out, Contract, 145);
    EXPECT_EQ(Out.Data()[1], 1);
    EXPECT_EQ(Out.Data()[28], 1);
    EXPECT_EQ(Out.Data()[29], 1);
    EXPECT_EQ(ReadI32(Out.Data(), 30), 5);
    EXPECT_EQ(ReadI32(Out.Data(), 34), 1234);
    EXPECT_EQ(ReadI16(Out.Data(), 40), 1900);
    EXPECT_EQ(ReadI16(Out.Data(), 52), 10);
    EXPECT_EQ(Out.Data()[59], 0);
    EXPECT_EQ(ReadI16(Out.Data(), 61), -2);
}

TEST(RecordOffsets, PlayerBlockStartsAfterIDAndKind) {
    wb::TPerson Person;
    Person.RecordType = 2;
    Person.Player.PlayingDataID = 42;
    Person.Player.Weight = 80;
    Person.Player.CareerStatsFlag = 1;
    Person.Player.CareerStats.ClubLeagueGoals = 17;
    wb::TBytes Out;
    wb::WriteRecord(Out, Person, 147);
    const std::size_t Block = 5;
    EXPECT_EQ(ReadI32(Out.Data(), Block + 10), 42);
    EXPECT_EQ(ReadI32(Out.Data(), Block + 14), -1);
    EXPECT_EQ(ReadI16(Out.Data(), Block + 24), 10000);
    EXPECT_EQ(ReadI16(Out.Data(), Block + 37), 80);
    EXPECT_EQ(Out.Data()[Block + 46], 1);
    EXPECT_EQ(ReadI16(Out.Data(), Block + 47), 17);
    EXPECT_EQ(ReadI32(Out.Data(), Block + 63), -1); // the int32 after the statistics
    EXPECT_EQ(ReadI32(Out.Data(), Block + 63 + 4 + 2 + 28 + 1), 2);
}

TEST(RecordOffsets, OfficialBlockEndsWithTheDivisionUniqueID) {
    wb::TPerson Person;
    Person.RecordType = 4;
    Person.Official.CityID = 3;
    Person.Official.AssistantRefereeOnly = 1;
    Person.Official.DivisionUniqueID = 9001;
    Person.FirstNameID = 12;
    wb::TBytes Out;
    wb::WriteRecord(Out, Person, 147);
    EXPECT_EQ(ReadI32(Out.Data(), 5), 3);
    EXPECT_EQ(Out.Data()[5 + 19], 1);
    EXPECT_EQ(ReadI32(Out.Data(), 5 + 20), 9001);
    EXPECT_EQ(ReadI32(Out.Data(), 5 + 24), 12);
}

TEST(RecordOffsets, NationTransferInfoOnlyFrom145) {
    wb::TNation Nation;
    wb::TTransferInfo Info;
    Info.Type = 9;
    Nation.TransferInfo.push_back(Info);
    Nation.NationByte4 = 4;
    EXPECT_EQ(wb::RecordSize(Nation, 145), wb::RecordSize(Nation, 112) + 2 + 29 + 1);
    wb::TBytes Out;
    wb::WriteRecord(Out, Nation, 145);
    const std::size_t Info145 = 1 + 2 + 4 + 4 + 2 + 2 + 2 + 4 + 1 + 4 + 2 + 24 + 3 + 24 + 2 + 24;
    EXPECT_EQ(ReadI16(Out.Data(), Info145), 1);
    EXPECT_EQ(Out.Data()[Info145 + 2], 9);
    EXPECT_EQ(Out.Data()[Info145 + 2 + 29], 0); // StyleOfFootball follows
    EXPECT_EQ(Out.Data()[Info145 + 2 + 29 + 8], 4);
    EXPECT_EQ(Out.Data()[Info145 - 24 - 2 - 24 - 1], 6); // the coefficient count
}

TEST(RecordOffsets, ContainerPartFollowsTheClubsOwnFields) {
    wb::TClub Club;
    Club.Container.Name = u"Ab";
    Club.Container.Kits.resize(2);
    Club.Container.TeamIDs = {7};
    Club.Container.Relationships.push_back({1, 5, 80, 0, 3});
    wb::TBytes Out;
    wb::WriteRecord(Out, Club, 147);
    const std::size_t Tail = Out.Size() - 8;
    const std::size_t Relationship = Tail - 8;
    EXPECT_EQ(Out.Data()[Relationship - 1], 1);
    EXPECT_EQ(Out.Data()[Relationship + 1], 5);
    EXPECT_EQ(ReadI32(Out.Data(), Relationship + 4), 3);
    EXPECT_EQ(ReadI32(Out.Data(), Relationship - 5), 7);
    EXPECT_EQ(Out.Data()[Relationship - 6], 1);
    const std::size_t Container = Relationship - 6 - 12 - 1 - 4 - 10 - 3;
    EXPECT_EQ(Out.Data()[Container], 0); // TeamType club
    EXPECT_EQ(ReadI32(Out.Data(), Container + 3), 2);
}

} // namespace
