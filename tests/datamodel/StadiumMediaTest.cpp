// Stadiums, stadium moves, stages, media and injuries: version-guarded layout, flag bits, move kinds and their
// attachment to teams, media scopes and club lists, and which of the kinds a save renumbers.

#include "ServerTestSupport.h"

#include "SaveOrder.h"

#include <gtest/gtest.h>

using namespace servertest;

namespace {

wb::TStadiumMove Move(int32_t Team, uint8_t Kind, int32_t UniqueID) {
    wb::TStadiumMove M;
    M.ID = UniqueID % 100;
    M.UniqueID = UniqueID;
    M.TeamID = Team;
    M.Kind = Kind;
    M.StadiumID = 1;
    M.NewStadiumID = Kind == 1 ? 2 : -1;
    M.LeaveDate = wb::TDate{static_cast<int16_t>(UniqueID % 365), 2003};
    M.StartDate = wb::TDate{12, 2004};
    M.NewCapacity = Kind == 1 ? -1 : UniqueID * 10;
    M.AlternativeStadiumID = Kind == 1 ? 0 : 1;
    return M;
}

} // namespace

TEST(StadiumMediaTest, AStadiumHasItsSecondByteOnlyAfterVersion112) {
    for (int16_t Version : {int16_t(112), int16_t(145), int16_t(147)}) {
        wb::TWorld World = Sample(Version);
        World.Stadiums[1].StadiumByte2 = 0xB2;
        World.Stadiums[1].StadiumByte1 = 0xB1;
        TTempDir In("in"), Out("out");
        TPyxDatabase Db;
        ASSERT_EQ(LoadFailure(World, Db, In), "");
        EXPECT_EQ(Db.Stadiums.Items(1)->StadiumByte1, 0xB1);
        EXPECT_EQ(Db.Stadiums.Items(1)->StadiumByte2, Version > 144 ? 0xB2 : 0);
        ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
        ExpectSavedAs(World, Out);
        EXPECT_EQ(wb::RecordSize(wb::TStadium{}, Version), Version == 112 ? 47u : 48u);
        EXPECT_EQ(wb::RecordSize(wb::TStadiumMove{}, Version), 38u);
    }
}

TEST(StadiumMediaTest, FlagSettersChangeOneBitAndKeepTheUpperFour) {
    TPyxStadium Stadium;
    Stadium.Flags = 0x13;
    Stadium.SetNotInUse(true);
    EXPECT_EQ(Stadium.Flags, 0x17);
    Stadium.SetCovered(false);
    EXPECT_EQ(Stadium.Flags, 0x16);

    wb::TWorld World = Sample();
    World.Stadiums[0].Flags = 0xF3;
    World.Stadiums[2].Flags = 0xA0;
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    TPyxStadium* S = Db.Stadiums.Items(0);
    EXPECT_TRUE(S->GetCovered());
    EXPECT_TRUE(S->GetUndersoilHeating());
    EXPECT_FALSE(S->GetNotInUse());
    EXPECT_FALSE(S->GetSoonNotInUse());
    S->SetNotInUse(true);
    S->SetUndersoilHeating(false);
    S->SetSoonNotInUse(true);
    S->SetCovered(false);
    S->SetCovered(false);
    EXPECT_EQ(S->Flags, 0xFC);
    EXPECT_FALSE(Db.Stadiums.Items(2)->GetCovered());
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    wb::TWorld Expected = World;
    Expected.Stadiums[0].Flags = 0xFC;
    ExpectSavedAs(Expected, Out);
}

TEST(StadiumMediaTest, UnknownStadiumMoveKindsAreRejected) {
    const wb::TWorld Clean = Sample();
    ASSERT_GE(Clean.StadiumMoves.size(), 2u);
    for (uint8_t Kind : {uint8_t(0), uint8_t(3), uint8_t(255)}) {
        wb::TWorld World = Clean;
        World.StadiumMoves[1].Kind = Kind;
        const std::size_t Position = wb::ServerFile(World).At("Stadium Moves[1]") +
                                     FieldOffset(Clean.StadiumMoves[1], World.StadiumMoves[1], 147) + 1;
        EXPECT_EQ(LoadFailure(World),
                  TableLoadFailure("Stadium Moves", 1, Position, "TPyxStadiumMoves",
                                   "Stadium Moves seems to be corrupt.\r\nType: " + std::to_string(Kind)));
    }
}

TEST(StadiumMediaTest, MovesGoToTheirTeamsTheLaterOfAKindStaysAndOrphansDisappear) {
    wb::TWorld World = Sample();
    World.StadiumMoves = {Move(3, 2, 901), Move(0, 1, 902), Move(99, 1, 903),
                          Move(3, 1, 904), Move(0, 1, 905), Move(3, 2, 906)};
    World.StadiumMoves[4].AlternativeStadiumID = 4242; // no such stadium
    World.StadiumMoves[5].NewStadiumID = 3;
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    const TPyxTeam* Team0 = Db.Teams.Items(0);
    const TPyxTeam* Team3 = Db.Teams.Items(3);
    ASSERT_NE(Team0->StadiumMove, nullptr);
    EXPECT_EQ(Team0->StadiumMove->UniqueID, 905);
    EXPECT_EQ(Team0->StadiumMove->AlternativeStadium, nullptr);
    EXPECT_EQ(Team0->CapacityChange, nullptr);
    ASSERT_NE(Team3->StadiumMove, nullptr);
    ASSERT_NE(Team3->CapacityChange, nullptr);
    EXPECT_EQ(Team3->StadiumMove->UniqueID, 904);
    EXPECT_EQ(Team3->CapacityChange->UniqueID, 906);
    EXPECT_EQ(Team3->CapacityChange->NewStadium, Db.Stadiums.Items(3));
    EXPECT_EQ(Team3->CapacityChange->NewCapacity, 9060);
    for (int32_t T = 0; T < Db.Teams.Count(); ++T) {
        if (T != 0 && T != 3) {
            EXPECT_TRUE(!Db.Teams.Items(T)->StadiumMove && !Db.Teams.Items(T)->CapacityChange) << T;
        }
    }
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");

    // Team by team, the move before the change, numbered from 0.
    wb::TWorld Expected = World;
    const auto& M = World.StadiumMoves;
    Expected.StadiumMoves = {M[4], M[3], M[5]};
    Expected.StadiumMoves[0].AlternativeStadiumID = -1;
    for (std::size_t I = 0; I < Expected.StadiumMoves.size(); ++I)
        Expected.StadiumMoves[I].ID = static_cast<int32_t>(I);
    ExpectSavedAs(Expected, Out);

    // No moves at all: the table is written as its count 0.
    World.StadiumMoves.clear();
    ExpectLoadSaveWrites(World, World);
}

TEST(StadiumMediaTest, MediaTargetsResolveByUniqueIDAmongTheKindTheirScopeNames) {
    wb::TWorld World = Sample();
    const int32_t Club = World.Clubs[1].UniqueID;
    ASSERT_EQ(World.Teams[2].UniqueID, Club); // the club's first team shares its UniqueID
    struct TCase {
        uint8_t Scope;
        int32_t Target;
        bool Kept;
    };
    const std::vector<TCase> Cases = {
        {1, Club, true},
        {2, World.Cities[1].UniqueID, true},
        {3, World.Regions[4].UniqueID, true},
        {4, World.Nations[2].UniqueID, true},
        {5, World.Continents[0].UniqueID, true},
        {7, World.Competitions[3].UniqueID, true},
        {6, Club, false},                       // worldwide: no target whatever the file holds
        {9, Club, false},                       // an unknown scope names nothing
        {2, Club, false},                       // a club's UniqueID is no city's
        {3, World.Regions[4].ID + 77777, false} // no such region
    };
    const std::size_t First = World.Medias.size();
    for (const TCase& Case : Cases) {
        wb::TMedia Media;
        Media.ID = static_cast<int32_t>(World.Medias.size());
        Media.UniqueID = 8000 + Media.ID;
        Media.Scope = Case.Scope;
        Media.TargetUniqueID = Case.Target;
        Media.Texts[wb::DefaultLanguageUniqueID].LongName = u"Scope " + std::u16string(1, char16_t('0' + Case.Scope));
        World.Medias.push_back(Media);
    }
    Finish(World);
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    auto TargetOf = [&](std::size_t K) { return Db.Medias.Items(static_cast<int32_t>(First + K))->Target; };
    EXPECT_EQ(TargetOf(0), Db.Clubs.Items(1));
    EXPECT_EQ(TargetOf(1), Db.Cities.Items(1));
    EXPECT_EQ(TargetOf(2), Db.Regions.Items(4));
    EXPECT_EQ(TargetOf(3), Db.Nations.Items(2));
    EXPECT_EQ(TargetOf(4), Db.Continents.Items(0));
    EXPECT_EQ(TargetOf(5), Db.Competitions.Items(3));
    for (std::size_t K = 6; K < Cases.size(); ++K)
        EXPECT_EQ(TargetOf(K), nullptr) << K;
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    wb::TWorld Expected = World;
    for (std::size_t K = 0; K < Cases.size(); ++K)
        if (!Cases[K].Kept)
            Expected.Medias[First + K].TargetUniqueID = 0;
    ExpectSavedAs(Expected, Out);
}

TEST(StadiumMediaTest, MediaClubListsDropUnknownClubsAndKeepTheOrder) {
    wb::TWorld World = Sample();
    const int32_t A = World.Clubs[2].UniqueID;
    const int32_t B = World.Clubs[0].UniqueID;
    World.Medias[0].ClubUniqueIDs = {A, 123456, B, A};
    World.Medias[1].ClubUniqueIDs = {0};
    wb::TWorld Expected = World;
    Expected.Medias[0].ClubUniqueIDs = {A, B, A};
    Expected.Medias[1].ClubUniqueIDs = {};
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    const auto& Clubs = Db.Medias.Items(0)->Clubs;
    ASSERT_EQ(Clubs.Count(), 3);
    EXPECT_EQ(Clubs.Items(0), Db.Clubs.Items(2));
    EXPECT_EQ(Clubs.Items(1), Db.Clubs.Items(0));
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    ExpectSavedAs(Expected, Out);
}

TEST(StadiumMediaTest, StadiumsAndMediaAreRenumberedStagesAndInjuriesKeepTheirIDs) {
    wb::TWorld World = Sample();
    ASSERT_GE(World.Stages.size(), 2u);
    ASSERT_GE(World.Injuries.size(), 2u);
    World.Stages[0].ID = 40;
    World.Stages[1].ID = 7;
    // Starting injuries name their injury by ID; they follow the new IDs.
    for (auto& Injury : World.StartingInjuries) {
        if (Injury.InjuryID == World.Injuries[0].ID)
            Injury.InjuryID = 93;
        else if (Injury.InjuryID == World.Injuries[1].ID)
            Injury.InjuryID = -4;
    }
    World.Injuries[0].ID = 93;
    World.Injuries[1].ID = -4;
    // Media are not referred to by ID: their IDs simply become their positions.
    wb::TWorld Expected = World;
    for (std::size_t I = 0; I < World.Medias.size(); ++I)
        World.Medias[I].ID = 50 - 2 * static_cast<int32_t>(I);
    // A stadium's own references, unresolved ones written as none.
    World.Stadiums[0].NearbyStadiumID = 31337;
    World.Stadiums[0].CityID = 31338;
    World.Stadiums[0].ClubID = 31339;
    Expected.Stadiums[0].NearbyStadiumID = Expected.Stadiums[0].CityID = Expected.Stadiums[0].ClubID = -1;
    ExpectLoadSaveWrites(World, Expected);
}

TEST(StadiumMediaTest, NewStadiumsMovesAndMediaWriteTheirDefaults) {
    for (int16_t Version : {int16_t(112), int16_t(145), int16_t(147)}) {
        auto Expect = [&](const TPyxObject& Entity, auto Built) {
            TPyxFileStream Stream;
            Entity.SaveToStream(Stream, Version);
            wb::TFileImage Expected;
            wb::WriteRecord(Expected.Bytes, Built, Version);
            EXPECT_EQ(wb::DescribeDifference(Expected, Stream.Bytes()), "") << "version " << Version;
        };
        Expect(TPyxStadium(), wb::TStadium()); // decay 5
        Expect(TPyxMedia(), wb::TMedia());     // a newspaper, weekday mornings, worldwide
        wb::TStadiumMove Move;
        Move.Kind = 0;
        Move.NewCapacity = 0;
        Expect(TPyxStadiumMove(), Move);
    }
}
