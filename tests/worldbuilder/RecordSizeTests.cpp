#include "Records.h"

#include <gtest/gtest.h>

namespace {

using wb::RecordSize;

TEST(RecordSize, StadiumLosesItsSecondByteAtVersion112) {
    EXPECT_EQ(RecordSize(wb::TStadium{}, 145), 48u);
    EXPECT_EQ(RecordSize(wb::TStadium{}, 147), 48u);
    EXPECT_EQ(RecordSize(wb::TStadium{}, 112), 47u);
}

TEST(RecordSize, ContractIs63BytesFrom145And56Before) {
    wb::TBytes New, Old;
    wb::WriteContract(New, wb::TContract::Club(3), 145);
    wb::WriteContract(Old, wb::TContract::Club(3), 112);
    EXPECT_EQ(New.Size(), 63u);
    EXPECT_EQ(Old.Size(), 56u);
}

TEST(RecordSize, ContractSkippedItemsAreFiveBytesEach) {
    wb::TContract Contract;
    Contract.SkippedItems.resize(3);
    wb::TBytes Out;
    wb::WriteContract(Out, Contract, 147);
    EXPECT_EQ(Out.Size(), 63u + 15u);
    EXPECT_EQ(Out.Data()[21], 3);
}

TEST(RecordSize, NationContractDefaultsDifferInFourBytes) {
    wb::TBytes Club, Nation;
    wb::WriteContract(Club, wb::TContract::Club(1), 147);
    wb::WriteContract(Nation, wb::TContract::Nation(1), 147);
    std::vector<std::size_t> Differences;
    for (std::size_t I = 0; I < Club.Size(); ++I)
        if (Club.Data()[I] != Nation.Data()[I])
            Differences.push_back(I);
    EXPECT_EQ(Differences, (std::vector<std::size_t>{29, 42, 57, 58, 59})); // the flag, then the four defaults
    EXPECT_EQ(Nation.Data()[42], 255);
    EXPECT_EQ(Club.Data()[59], 255);
}

TEST(RecordSize, TeamRecordsWithEmptyTextsTake29Bytes) {
    wb::TTransferInfo Info;
    Info.Type = 9;
    wb::TBytes Out;
    wb::WriteTransferInfo(Out, Info);
    EXPECT_EQ(Out.Size(), 29u);
}

TEST(RecordSize, NextSalePercentageTakes11Bytes) {
    wb::TBytes Out;
    wb::WriteTransferInfo(Out, wb::TTransferInfo{});
    EXPECT_EQ(Out.Size(), 11u);
}

TEST(RecordSize, PersonDataTables) {
    EXPECT_EQ(RecordSize(wb::TPersonData{}, 147), 17u);
    EXPECT_EQ(RecordSize(wb::TPlayingData{}, 112), 74u);
    EXPECT_EQ(RecordSize(wb::TPlayingData{}, 145), 75u);
    EXPECT_EQ(RecordSize(wb::TNonPlayingData{}, 147), 37u);
}

TEST(RecordSize, AttachedRecords) {
    EXPECT_EQ(RecordSize(wb::TStadiumMove{}, 147), 38u);
    EXPECT_EQ(RecordSize(wb::TLoan{}, 147), 25u);
    EXPECT_EQ(RecordSize(wb::TStartingInjury{}, 147), 28u);
    EXPECT_EQ(RecordSize(wb::TStartingConfidence{}, 147), 17u);
    EXPECT_EQ(RecordSize(wb::TFutureTransfer{}, 147), 30u);
    EXPECT_EQ(RecordSize(wb::TClubDebt{}, 147), 24u);
    wb::TBytes Out;
    wb::WritePersonLanguage(Out, wb::TPersonLanguage{});
    EXPECT_EQ(Out.Size(), 9u);
}

TEST(RecordSize, TeamKind11AddsDatesAndBytes) {
    wb::TTeam Kind10;
    wb::TTeam Kind11;
    Kind11.RecordType = 11;
    const std::size_t Plain112 = RecordSize(Kind10, 112);
    EXPECT_EQ(RecordSize(Kind10, 145), Plain112 + 12);         // TeamValue1 and the 8-byte team block
    EXPECT_EQ(RecordSize(Kind11, 112), Plain112 + 8 + 5);      // two dates, five bytes
    EXPECT_EQ(RecordSize(Kind11, 147), Plain112 + 12 + 8 + 6); // and the sixth byte
}

TEST(RecordSize, NationGrowsWithEachVersionGuard) {
    wb::TNation Nation;
    const std::size_t At112 = RecordSize(Nation, 112);
    EXPECT_EQ(RecordSize(Nation, 145), At112 + 2 + 1); // empty transfer info count, NationByte4
    EXPECT_EQ(RecordSize(Nation, 147), At112 + 2 + 1 + 1);
}

TEST(RecordSize, AwardExtraOnlyFrom145) {
    EXPECT_EQ(RecordSize(wb::TAward{}, 145), RecordSize(wb::TAward{}, 112) + 2);
}

TEST(RecordSize, PersonBlocksFollowTheTypeBits) {
    wb::TPerson Staff;
    Staff.RecordType = 1;
    wb::TPerson Player = Staff;
    Player.RecordType = 2;
    wb::TPerson Both = Staff;
    Both.RecordType = 3;
    wb::TPerson Official = Staff;
    Official.RecordType = 4;
    const std::size_t Staff145 = RecordSize(Staff, 145);
    const std::size_t PlayerBlock145 = 92;
    EXPECT_EQ(RecordSize(Player, 145), Staff145 - 15 + PlayerBlock145);
    EXPECT_EQ(RecordSize(Both, 145), Staff145 + PlayerBlock145 + 2); // and the trailing int16
    EXPECT_EQ(RecordSize(Both, 112), RecordSize(Staff, 112) + PlayerBlock145 - 1);
    EXPECT_EQ(RecordSize(Official, 145), Staff145 - 15 + 24);
    // Version 145 adds the U21 bytes and one byte before the tail to the core, and one byte to the player block.
    EXPECT_EQ(Staff145, RecordSize(Staff, 112) + 3);
}

TEST(RecordSize, PersonRecordStartsWithItsIDAndKind) {
    wb::TPerson Person;
    Person.RecordType = 2;
    Person.ID = 77;
    wb::TBytes Out;
    wb::WriteRecord(Out, Person, 147);
    EXPECT_EQ(wb::ReadI32(Out.Data(), 0), 77);
    EXPECT_EQ(Out.Data()[4], 2);
    Person.PrefixID = -5;
    wb::TBytes Prefixed;
    wb::WriteRecord(Prefixed, Person, 147);
    EXPECT_EQ(wb::ReadI32(Prefixed.Data(), 0), -5);
    EXPECT_EQ(wb::ReadI32(Prefixed.Data(), Prefixed.Size() - 8), 77);
}

TEST(RecordSize, CareerStatsAndRelationshipsOnlyBehindTheirFlags) {
    wb::TPerson Person;
    Person.RecordType = 2;
    const std::size_t Plain = RecordSize(Person, 147);
    Person.Relationships.push_back(wb::TRelationship{});
    EXPECT_EQ(RecordSize(Person, 147), Plain);
    Person.RelationshipsFlag = 1;
    EXPECT_EQ(RecordSize(Person, 147), Plain + 1 + 8);
    Person.Player.CareerStatsFlag = 1;
    EXPECT_EQ(RecordSize(Person, 147), Plain + 1 + 8 + 16);
}

TEST(RecordSize, RetiredPersonIsTwoStringsAndTwoBytes) {
    wb::TPerson Retired;
    Retired.RecordType = 5;
    Retired.Retired.Text1 = u"ab";
    EXPECT_EQ(RecordSize(Retired, 147), 4u + 1 + 10 + 4 + 2 + 8);
}

} // namespace
