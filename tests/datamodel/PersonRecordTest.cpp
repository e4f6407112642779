// One person record of people_db.dat: the blocks of every person type, the fields each version adds, the counts
// the game fills during play (which must be zero), and the flags that say whether a part follows.

#include "PeopleTestSupport.h"

#include "PeopleBuilder.h"

namespace {

class PersonRecord : public testing::TestWithParam<int16_t> {};

// The end of person K's record in the people table.
std::size_t RecordEnd(const wb::TWorldFiles& Files, std::size_t K, std::size_t Persons) {
    return K + 1 < Persons ? Files.People.At(wb::IndexedName("People", K + 1)) : Files.People.At("Person Data");
}

} // namespace

TEST_P(PersonRecord, EveryPersonTypeIsReadIntoItsPartsAndWrittenBack) {
    const int16_t Version = GetParam();
    const bool V145 = Version > 144;
    wb::TWorld W = wb::EmptyWorld(Version);
    wb::AddPerson(W, 1, 11, 101, Version);
    wb::AddPerson(W, 2, 12, 102, Version);
    wb::AddPerson(W, 2, 13, 103, Version).Player.CareerStatsFlag = 0;
    wb::AddPerson(W, 3, 14, 104, Version);
    wb::AddPerson(W, 4, 15, 105, Version);
    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    ASSERT_EQ(Db.People.Count(), 5);

    for (int32_t K = 0; K < 5; ++K) {
        SCOPED_TRACE(K);
        const wb::TPerson& F = W.People[static_cast<std::size_t>(K)];
        const TPyxPerson& P = *Db.People.Items(K);
        EXPECT_EQ(P.PersonType, F.RecordType);
        EXPECT_EQ(P.ID, F.ID);
        EXPECT_EQ(P.UniqueID, F.UniqueID);
        EXPECT_EQ(P.Player != nullptr, F.IsPlayer());
        EXPECT_EQ(P.NonPlayer != nullptr, F.IsStaff());
        EXPECT_EQ(P.Official != nullptr, F.IsOfficial());
        EXPECT_EQ(P.PersonData != nullptr, !F.IsOfficial());
        EXPECT_EQ(P.DateOfBirth.DayOfYear, F.DateOfBirth.Day);
        EXPECT_EQ(P.DateOfBirth.Year, F.DateOfBirth.Year);
        EXPECT_EQ(P.InternationalApps, F.InternationalApps);
        EXPECT_EQ(P.InternationalGoals, F.InternationalGoals);
        EXPECT_EQ(P.U21Apps, V145 ? F.U21Apps : 0);
        EXPECT_EQ(P.U21Goals, V145 ? F.U21Goals : 0);
        EXPECT_EQ(P.DateJoinedClub.Year, F.DateJoinedClub.Year);
        EXPECT_EQ(P.DateJoinedNation.DayOfYear, F.DateJoinedNation.Day);
        EXPECT_EQ(P.PersonByte1, F.ByteAfterClub);
        EXPECT_EQ(P.PersonValue1, F.IntAfterOffers1);
        EXPECT_EQ(P.PersonValue2, F.IntAfterOffers2);
        EXPECT_EQ(P.PersonByte2, V145 ? F.ByteBeforeTail145 : 0);
        EXPECT_EQ(P.PersonByte3, F.ByteBeforeTail);
        EXPECT_EQ(P.PersonValue3, V145 && F.RecordType == 3 ? F.TrailingShort : 0);
        if (P.Player) {
            const TPyxPlayer& Pl = *P.Player;
            EXPECT_EQ(Pl.HomeReputation, F.Player.HomeReputation);
            EXPECT_EQ(Pl.PotentialAbility, F.Player.PotentialAbility);
            EXPECT_EQ(Pl.EstimatedValue, F.Player.EstimatedValue);
            EXPECT_EQ(Pl.DeclaredForNation, F.Player.DeclaredForNation);
            EXPECT_EQ(Pl.Weight, F.Player.Weight);
            EXPECT_EQ(Pl.Height, F.Player.Height);
            EXPECT_EQ(Pl.CareerStats != nullptr, F.Player.CareerStatsFlag != 0);
            if (Pl.CareerStats) {
                EXPECT_EQ(Pl.CareerStats->ClubLeagueGoals, F.Player.CareerStats.ClubLeagueGoals);
                EXPECT_EQ(Pl.CareerStats->Goals, F.Player.CareerStats.Goals);
                EXPECT_EQ(Pl.CareerStats->LeagueAppearances, F.Player.CareerStats.LeagueAppearances);
            }
            EXPECT_EQ(Pl.PlayerValue8, F.Player.IntAfterStats);
            EXPECT_EQ(Pl.PlayerBlock[27], F.Player.Block28[27]);
            EXPECT_EQ(Pl.PlayerValue9, F.Player.TailInt1);
            EXPECT_EQ(Pl.PlayerByte7, F.Player.TailByte2);
            EXPECT_EQ(Pl.PlayerByte8, V145 ? F.Player.TailByte145 : 0);
        }
        if (P.NonPlayer) {
            EXPECT_EQ(P.NonPlayer->WorldReputation, F.Staff.WorldReputation);
            EXPECT_EQ(P.NonPlayer->PreferredFormation, F.Staff.PreferredFormation);
        }
        if (P.Official) {
            EXPECT_EQ(P.Official->Reputation, F.Official.Reputation);
            EXPECT_EQ(P.Official->AllowingFlow, F.Official.AllowingFlow);
            EXPECT_EQ(P.Official->AssistantRefereeOnly, F.Official.AssistantRefereeOnly);
        }
    }
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

INSTANTIATE_TEST_SUITE_P(Versions, PersonRecord, testing::Values(112, 145, 147),
                         [](const testing::TestParamInfo<int16_t>& I) {
                             return std::string("V") + std::to_string(I.param);
                         });

TEST(PersonRecordLayout, AnOfficialRecordGainsThreeBytesAbove144) {
    // Prefix 4, kind 1, official block 24, names 12, birth 4, nation 4, caps 2, national post 9, club post 9, byte,
    // person data 4, city 4, offer count, two int32, contract count, contract offer count, relationship flag,
    // interested clubs 2, byte, ID and UniqueID 8: 101 bytes; above 144 the U21 caps and a byte add three.
    for (int16_t Version : {112, 145, 147}) {
        SCOPED_TRACE(Version);
        wb::TWorld W = wb::EmptyWorld(Version);
        wb::AddPerson(W, 4, 1, 101);
        pt::TFolder In, Out;
        TPyxDatabase Db;
        ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
        ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
        const auto Saved = wb::ReadFileBytes(Out.File("people_db.dat"));
        // header 12, four counts 16, the record, three empty tables 12, trailer 4
        EXPECT_EQ(Saved.size(), 12u + 16u + (Version > 144 ? 104u : 101u) + 12u + 4u);
        pt::ExpectFiles(wb::BuildFiles(W), Out);
    }
}

TEST(PersonRecordLayout, OnlyAPlayerAndStaffMemberCarriesTheTrailingShortAbove144) {
    for (int16_t Version : {112, 145}) {
        SCOPED_TRACE(Version);
        wb::TWorld W = wb::EmptyWorld(Version);
        wb::AddPerson(W, 2, 1, 101).TrailingShort = 1111;
        wb::AddPerson(W, 3, 2, 102).TrailingShort = 2222;
        wb::AddPerson(W, 1, 3, 103).TrailingShort = 3333;
        const wb::TWorldFiles Files = wb::BuildFiles(W);
        // The player/staff record's UniqueID is followed by the short, then the next record's prefix.
        const std::size_t Tail = RecordEnd(Files, 1, 3) - (Version > 144 ? 2 : 0);
        EXPECT_EQ(wb::ReadI32(Files.People.Data(), Tail - 4), 102);
        pt::TFolder In, Out;
        pt::WriteFiles(Files, In);
        TPyxDatabase Db;
        ASSERT_NO_FATAL_FAILURE(pt::Load(Db, In));
        EXPECT_EQ(Db.People.Items(1)->PersonValue3, Version > 144 ? 2222 : 0);
        EXPECT_EQ(Db.People.Items(2)->ID, 3) << "the records after it are read from the right place";
        ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
        wb::TWorld Expected = W;
        wb::ApplySaveOrder(Expected);
        pt::ExpectFiles(wb::BuildFiles(Expected), Out);
    }
}

TEST(PersonRecordLayout, CareerStatsFollowAnyNonZeroFlagAndAreWrittenWithFlagOne) {
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddPerson(W, 2, 1, 101).Player.CareerStatsFlag = 9;
    wb::AddPerson(W, 3, 2, 102).Player.CareerStatsFlag = 0;
    wb::TWorld Expected = W;
    Expected.People[0].Player.CareerStatsFlag = 1;
    wb::ApplySaveOrder(Expected);
    pt::ExpectSavedAs(W, Expected);
}

TEST(PersonRecordLayout, RelationshipsFollowOnlyANonZeroFlagAndAreWrittenWithFlagOne) {
    wb::TWorld W = wb::EmptyWorld(145);
    // Flag 0: no count byte follows, whatever the description holds.
    wb::AddPerson(W, 1, 1, 101).Relationships = {{0, 10, 100, 0, -1}};
    wb::AddPerson(W, 2, 2, 102).RelationshipsFlag = 7;
    W.People[1].Relationships = {{0, 10, 100, 3, -1}, {0, 10, 50, 4, -1}};
    // A flag with a count of zero: nothing to write back but the flag 0.
    wb::AddPerson(W, 3, 3, 103).RelationshipsFlag = 1;
    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    EXPECT_EQ(Db.People.Items(0)->Relationships.Count(), 0);
    ASSERT_EQ(Db.People.Items(1)->Relationships.Count(), 2);
    EXPECT_EQ(Db.People.Items(1)->Relationships.Items(1)->Amount, 50);
    EXPECT_EQ(Db.People.Items(1)->Relationships.Items(0)->RelationshipByte, 3);
    EXPECT_EQ(Db.People.Items(2)->Relationships.Count(), 0);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    Expected.People[0].Relationships.clear();
    Expected.People[1].RelationshipsFlag = 1;
    Expected.People[2].RelationshipsFlag = 0;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}

TEST(PersonRecordCounts, CountsTheGameFillsDuringPlayMustBeZero) {
    // An official at version 147 without contracts or relationships ends: offer count, two int32, contract count,
    // contract offer count, relationship flag, interested clubs (int16), two bytes, ID and UniqueID. The stream
    // stands right after the offending field.
    struct TCase {
        const char* Field;
        void (*Set)(wb::TPerson&);
        std::size_t FromEnd;
        const char* Message;
    };
    const TCase Cases[] = {
        {"transfer offers", [](wb::TPerson& P) { P.TransferOfferCount = 3; }, 23,
         "Person data seems to be corrupt.\r\nTransfer Offer Count: 3"},
        {"contract offers", [](wb::TPerson& P) { P.ContractOfferCount = 1; }, 13,
         "Person data seems to be corrupt.\r\nContract Offer Count: 1"},
        {"interested clubs", [](wb::TPerson& P) { P.InterestedClubCount = 0x0102; }, 10,
         "Person data seems to be corrupt.\r\nInterested Club Count: 258"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Field);
        wb::TWorld W = wb::EmptyWorld(147);
        wb::AddPerson(W, 2, 1, 101);
        C.Set(wb::AddPerson(W, 4, 2, 102));
        const wb::TWorldFiles Files = wb::BuildFiles(W);
        EXPECT_EQ(pt::LoadError(Files),
                  pt::TableLoadFailure("People", 1, RecordEnd(Files, 1, 2) - C.FromEnd, "TPyxPeople", C.Message));
    }
}

TEST(PersonRecordCounts, APlayersExtraPlayingDataAndBookingsMustBeZero) {
    // Without career statistics the player block holds 47 bytes up to the flag, then an int32, the extra-playing
    // data byte and the booking count; the record's prefix and kind byte come before the block.
    struct TCase {
        const char* Field;
        void (*Set)(wb::TPlayerBlock&);
        std::size_t After;
        const char* Message;
    };
    const TCase Cases[] = {
        {"extra playing data", [](wb::TPlayerBlock& P) { P.ExtraPlayingData = 7; }, 5 + 52,
         "Player data seems to be corrupt.\r\nExtra Playing Data: True"},
        {"bookings", [](wb::TPlayerBlock& P) { P.BookingCount = 4; }, 5 + 53,
         "Player data seems to be corrupt.\r\nBooking Count: 4"},
    };
    for (const TCase& C : Cases)
        for (uint8_t Type : {2, 3}) {
            SCOPED_TRACE(std::string(C.Field) + " of type " + std::to_string(Type));
            wb::TWorld W = wb::EmptyWorld(112);
            wb::AddPerson(W, 1, 1, 101);
            wb::TPerson& P = wb::AddPerson(W, Type, 2, 102);
            P.Player.CareerStatsFlag = 0;
            C.Set(P.Player);
            const wb::TWorldFiles Files = wb::BuildFiles(W);
            EXPECT_EQ(pt::LoadError(Files), pt::TableLoadFailure("People", 1, Files.People.At("People[1]") + C.After,
                                                                 "TPyxPeople", C.Message));
        }
}
