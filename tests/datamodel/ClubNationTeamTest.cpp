// Clubs, nations and teams: the fields that must be zero (or six), record kinds, version-guarded fields, linking
// of their references and lists, transfer infos and club debts, renumbering with every reference following, and
// lists that do not fit their count.

#include "ServerTestSupport.h"

#include "SaveOrder.h"
#include "ScrambleIDs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace servertest;

namespace {

const int16_t Versions[] = {112, 145, 147};

std::string Corrupt(const std::string& Plural, const std::string& Field, int64_t Value) {
    return Plural + " seems to be corrupt.\r\n" + Field + ": " + std::to_string(Value);
}

template <class T> struct TFieldCase {
    const char* Label;
    std::function<void(T&)> Set;
    int64_t Value;
    std::size_t Width;
};

// Changes one record of a table with Set and expects the load to fail right after the changed field.
template <class T>
void ExpectFieldRejected(const wb::TWorld& Clean, std::vector<T> wb::TWorld::*Table, const std::string& TableName,
                         std::size_t Index, const char* ClassName, const std::string& Plural,
                         const TFieldCase<T>& Case) {
    wb::TWorld World = Clean;
    T& Record = (World.*Table)[Index];
    Case.Set(Record);
    const std::size_t Offset = FieldOffset((Clean.*Table)[Index], Record, World.ServerVersion);
    const std::size_t Position = wb::ServerFile(World).At(wb::IndexedName(TableName, Index)) + Offset + Case.Width;
    EXPECT_EQ(LoadFailure(World), TableLoadFailure(TableName, static_cast<int>(Index), Position, ClassName,
                                                   Corrupt(Plural, Case.Label, Case.Value)))
        << Case.Label << " at version " << World.ServerVersion;
}

} // namespace

TEST(ClubNationTeamTest, ClubFieldsThatMustBeZeroAreRejected) {
    const std::vector<TFieldCase<wb::TClub>> Cases = {
        {"Finance Type", [](wb::TClub& C) { C.FinanceType = 3; }, 3, 1},
        {"Sponsor", [](wb::TClub& C) { C.Sponsor = 70000; }, 70000, 4},
        {"Transfer Offer Count", [](wb::TClub& C) { C.TransferOfferCount = -2; }, -2, 2},
        {"Club Links", [](wb::TClub& C) { C.ClubLinks = 1; }, 1, 1},
        {"Shortlisted People Count", [](wb::TClub& C) { C.ShortlistedPeopleCount = 300; }, 300, 2},
        {"International Date Player Counts", [](wb::TClub& C) { C.InternationalDatePlayerCounts = 255; }, 255, 1},
    };
    for (int16_t Version : Versions) {
        const wb::TWorld Clean = Sample(Version);
        for (const auto& Case : Cases)
            ExpectFieldRejected(Clean, &wb::TWorld::Clubs, "Clubs", 1, "TPyxClubs", "Clubs", Case);
        ExpectFieldRejected(Clean, &wb::TWorld::Clubs, "Clubs", 2, "TPyxClubs", "Team Container",
                            TFieldCase<wb::TClub>{"Team Type", [](wb::TClub& C) { C.Container.TeamType = 2; }, 2, 1});
    }
}

TEST(ClubNationTeamTest, NationCountsThatMustBeZeroOrSixAreRejected) {
    const std::vector<TFieldCase<wb::TNation>> Cases = {
        {"FIFA Ranking Points Count", [](wb::TNation& N) { N.FIFARankingPointsCount = 1; }, 1, 1},
        {"FIFA Ranking Current Year Matches Count", [](wb::TNation& N) { N.FIFARankingCurrentYearMatchesCount = 2; }, 2,
         1},
        {"UEFA Coefficient Count", [](wb::TNation& N) { N.UEFACoefficientCount = 5; }, 5, 1},
        {"UEFA Coefficient Count", [](wb::TNation& N) { N.UEFACoefficientCount = 0; }, 0, 1},
        {"Human Player Pool Count", [](wb::TNation& N) { N.HumanPlayerPoolCount = 3; }, 3, 2},
    };
    for (int16_t Version : Versions) {
        const wb::TWorld Clean = Sample(Version);
        for (const auto& Case : Cases)
            ExpectFieldRejected(Clean, &wb::TWorld::Nations, "Nations", 3, "TPyxNations", "Nations", Case);
        ExpectFieldRejected(
            Clean, &wb::TWorld::Nations, "Nations", 0, "TPyxNations", "Team Container",
            TFieldCase<wb::TNation>{"Team Type", [](wb::TNation& N) { N.Container.TeamType = 5; }, 5, 1});
    }
}

TEST(ClubNationTeamTest, TeamFieldsThatMustBeZeroAreRejected) {
    const std::vector<TFieldCase<wb::TTeam>> Cases = {
        {"Team Selected Count", [](wb::TTeam& T) { T.TeamSelectedCount = 1; }, 1, 1},
        {"Team Fixture Block Count", [](wb::TTeam& T) { T.TeamFixtureBlockCount = 4; }, 4, 2},
    };
    for (int16_t Version : Versions) {
        const wb::TWorld Clean = Sample(Version);
        // Team 4 is of record kind 11, team 2 of kind 10.
        ASSERT_EQ(Clean.Teams[4].RecordType, 11);
        for (std::size_t Index : {std::size_t(2), std::size_t(4)})
            for (const auto& Case : Cases)
                ExpectFieldRejected(Clean, &wb::TWorld::Teams, "Teams", Index, "TPyxTeams", "Teams", Case);
    }
}

TEST(ClubNationTeamTest, UnknownRecordKindsAreRejected) {
    const wb::TWorld Clean = Sample();
    auto Expect = [&](auto Table, const std::string& Name, std::size_t Index, uint8_t Kind, const char* ClassName,
                      const std::string& Plural) {
        wb::TWorld World = Clean;
        (World.*Table)[Index].RecordType = Kind;
        EXPECT_EQ(LoadFailure(World), TableLoadFailure(Name, static_cast<int>(Index),
                                                       wb::ServerFile(World).At(wb::IndexedName(Name, Index)) + 1,
                                                       ClassName, Corrupt(Plural, "Record Type", Kind)));
    };
    Expect(&wb::TWorld::Clubs, "Clubs", 3, 1, "TPyxClubs", "Clubs");
    Expect(&wb::TWorld::Nations, "Nations", 2, 10, "TPyxNations", "Nations");
    for (uint8_t Kind : {uint8_t(0), uint8_t(9), uint8_t(12)})
        Expect(&wb::TWorld::Teams, "Teams", 1, Kind, "TPyxTeams", "Teams");
    Expect(&wb::TWorld::ClubDebts, "Club Debts", 2, 1, "TPyxClubDebts", "Club Debts");
}

TEST(ClubNationTeamTest, UnknownTransferInfoRelationshipAndDebtTypesAreRejected) {
    for (int16_t Version : Versions) {
        const wb::TWorld Clean = Sample(Version);
        // The failing item is appended to a list; its offset is where it differs from a valid item.
        auto ExpectItem = [&](auto Table, const std::string& Name, std::size_t Index, const char* ClassName,
                              auto&& AddValid, auto&& AddInvalid, const std::string& Inner) {
            auto Valid = (Clean.*Table)[Index];
            AddValid(Valid);
            auto Invalid = (Clean.*Table)[Index];
            AddInvalid(Invalid);
            wb::TWorld World = Clean;
            (World.*Table)[Index] = Invalid;
            const std::size_t Position =
                wb::ServerFile(World).At(wb::IndexedName(Name, Index)) + FieldOffset(Valid, Invalid, Version) + 1;
            EXPECT_EQ(LoadFailure(World), TableLoadFailure(Name, static_cast<int>(Index), Position, ClassName, Inner))
                << Name << " at version " << Version;
        };
        auto TransferInfo = [](uint8_t Type) {
            return [Type](auto& Container) {
                wb::TTransferInfo Info;
                Info.Type = Type;
                Container.TransferInfo.push_back(Info);
            };
        };
        auto Relationship = [](uint8_t TargetType) {
            return [TargetType](auto& Container) {
                Container.Container.Relationships.push_back(wb::TRelationship{TargetType, 10, 100, 0, -1});
            };
        };
        ExpectItem(&wb::TWorld::Clubs, "Clubs", 0, "TPyxClubs", TransferInfo(5), TransferInfo(7),
                   "Transfer Info seems to be corrupt.\r\nType: 7");
        ExpectItem(&wb::TWorld::Clubs, "Clubs", 1, "TPyxClubs", Relationship(0), Relationship(6),
                   "Relationship data seems to be corrupt.\r\nRecord Type: 6");
        ExpectItem(&wb::TWorld::Nations, "Nations", 1, "TPyxNations", Relationship(0), Relationship(200),
                   "Relationship data seems to be corrupt.\r\nRecord Type: 200");
        if (Version > 144)
            ExpectItem(&wb::TWorld::Nations, "Nations", 0, "TPyxNations", TransferInfo(9), TransferInfo(0),
                       "Transfer Info seems to be corrupt.\r\nType: 0");
        ExpectItem(
            &wb::TWorld::ClubDebts, "Club Debts", 3, "TPyxClubDebts", [](wb::TClubDebt&) {},
            [](wb::TClubDebt& D) { D.Kind = 3; }, "Club Debts seems to be corrupt.\r\nType: 3");
    }
}

TEST(ClubNationTeamTest, ATeamWithoutItsContainerStopsTheLoad) {
    const std::string NotConnected =
        "EFileCorruptError: Teams seems to be corrupt.\r\nNot connected to a Team Container";
    const wb::TWorld Clean = Sample();
    wb::TWorld World = Clean;
    World.Teams[1].ContainerID = 99;
    EXPECT_EQ(LoadFailure(World), NotConnected);
    World = Clean;
    World.Teams[2].ContainerID = -1;
    EXPECT_EQ(LoadFailure(World), NotConnected);
    World = Clean;
    ASSERT_NE(World.Teams[5].IsNationTeam, 0);
    World.Teams[5].ContainerID = static_cast<int32_t>(World.Nations.size());
    EXPECT_EQ(LoadFailure(World), NotConnected);
    // A club team is looked up among the clubs only: the ID of a nation that is no club does not connect it.
    World = Clean;
    ASSERT_LT(World.Clubs.size(), World.Nations.size());
    World.Teams[0].ContainerID = static_cast<int32_t>(World.Clubs.size());
    EXPECT_EQ(LoadFailure(World), NotConnected);
}

TEST(ClubNationTeamTest, VersionGuardedFieldsExistExactlyWhereTheirVersionsSay) {
    for (int16_t Version : Versions) {
        wb::TWorld World = Sample(Version);
        wb::TNation& Nation = World.Nations[0];
        Nation.NationByte4 = 0x44;
        Nation.NationByte6 = 0x66;
        wb::TTeam& Kind11 = World.Teams[4];
        Kind11.TeamByte6 = 0x16;
        Kind11.TeamValue1 = 0x11223344;
        Kind11.TeamBlock1 = 0x0A0B0C0D;
        Kind11.TeamBlock2 = 0x0E0F;
        Kind11.TeamBlock3 = 0x1020;
        TTempDir In("in"), Out("out");
        TPyxDatabase Db;
        ASSERT_EQ(LoadFailure(World, Db, In), "");
        const TPyxNation* N = Db.Nations.Items(0);
        const TPyxTeam* T = Db.Teams.Items(4);
        const bool V145 = Version > 144;
        EXPECT_EQ(N->NationByte4, V145 ? 0x44 : 0);
        EXPECT_EQ(N->NationByte6, Version > 146 ? 0x66 : 0);
        EXPECT_EQ(N->TransferInfo.Count(), V145 ? 1 : 0);
        EXPECT_EQ(T->TeamByte6, V145 ? 0x16 : 0);
        EXPECT_EQ(T->TeamValue1, V145 ? 0x11223344 : -1);
        EXPECT_EQ(T->TeamBlock1, V145 ? 0x0A0B0C0D : 0);
        EXPECT_EQ(T->TeamBlock2, V145 ? 0x0E0F : 0);
        EXPECT_EQ(T->TeamBlock3, V145 ? 0x1020 : 16368);
        ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
        ExpectSavedAs(World, Out);

        // The written record sizes, for records without texts or lists.
        wb::TNation Bare;
        wb::TTeam Kind10Team;
        wb::TTeam Kind11Team;
        Kind11Team.RecordType = 11;
        EXPECT_EQ(wb::RecordSize(Bare, Version), Version == 112 ? 149u : (Version == 145 ? 152u : 153u));
        EXPECT_EQ(wb::RecordSize(Kind10Team, Version), V145 ? 78u : 66u);
        EXPECT_EQ(wb::RecordSize(Kind11Team, Version), V145 ? 92u : 79u);
        EXPECT_EQ(wb::RecordSize(wb::TClub{}, Version), 96u);
    }
}

TEST(ClubNationTeamTest, UnresolvedReferencesAreWrittenBackAsNone) {
    wb::TWorld World = Sample();
    wb::TClub& Club = World.Clubs[0];
    Club.NationID = 77;
    Club.ChairmanID = 9999;
    Club.CaptainID = 9998;
    wb::TNation& Nation = World.Nations[1];
    Nation.NationalStadiumID = 50;
    Nation.ContinentID = 60;
    Nation.RegionID = 70;
    Nation.CapitalCityID = 80;
    wb::TTeam& Team = World.Teams[0];
    Team.DivisionID = 9001;
    Team.LastDivisionID = 9002;
    Team.StadiumID = 9003;
    Team.ManagerID = 9004;
    Team.ContinentalCompetitionID = 9005;
    Team.OtherDivisionID = 9006;
    wb::TWorld Expected = World;
    Expected.Clubs[0].NationID = Expected.Clubs[0].ChairmanID = Expected.Clubs[0].CaptainID = -1;
    wb::TNation& N = Expected.Nations[1];
    N.NationalStadiumID = N.ContinentID = N.RegionID = N.CapitalCityID = -1;
    wb::TTeam& T = Expected.Teams[0];
    T.DivisionID = T.LastDivisionID = T.StadiumID = T.ManagerID = T.ContinentalCompetitionID = T.OtherDivisionID = -1;
    ExpectLoadSaveWrites(World, Expected);
}

TEST(ClubNationTeamTest, UnresolvedListEntriesAreDroppedKeepingTheOrderOfTheRest) {
    wb::TWorld World = Sample();
    ASSERT_GE(World.Languages.size(), 2u);
    World.Nations[2].LanguageIDs = {World.Languages[1].ID, 4711, World.Languages[0].ID};
    World.Clubs[1].BoardMemberIDs = {World.People[13].ID, -1, World.People[9].ID};
    World.Clubs[1].ScoutIDs = {5555, World.People[12].ID};
    World.Teams[2].PhysioIDs = {World.People[7].ID, 6666};
    ASSERT_FALSE(World.Teams[2].PlayerIDs.empty());
    World.Teams[2].PlayerIDs.insert(World.Teams[2].PlayerIDs.begin() + 1, 7777);
    World.Teams[2].CoachIDs = {8888};
    World.Clubs[2].Container.TeamIDs.push_back(99);
    World.Nations[3].Container.TeamIDs.insert(World.Nations[3].Container.TeamIDs.begin(), -1);
    wb::TWorld Expected = World;
    Expected.Nations[2].LanguageIDs = {World.Languages[1].ID, World.Languages[0].ID};
    Expected.Clubs[1].BoardMemberIDs = {World.People[13].ID, World.People[9].ID};
    Expected.Clubs[1].ScoutIDs = {World.People[12].ID};
    Expected.Teams[2].PhysioIDs = {World.People[7].ID};
    Expected.Teams[2].PlayerIDs = Sample().Teams[2].PlayerIDs;
    Expected.Teams[2].CoachIDs = {};
    Expected.Clubs[2].Container.TeamIDs.pop_back();
    Expected.Nations[3].Container.TeamIDs.erase(Expected.Nations[3].Container.TeamIDs.begin());
    ExpectLoadSaveWrites(World, Expected);
}

TEST(ClubNationTeamTest, RelationshipsWithoutTheirTargetAreDroppedUntypedOnesKept) {
    wb::TWorld World = Sample();
    auto& Relationships = World.Clubs[2].Container.Relationships;
    Relationships = {wb::TRelationship{3, 1, 50, 0, 4040},   // a person that does not exist
                     wb::TRelationship{0, 10, 100, 7, 1234}, // no target type: kept, written as none
                     wb::TRelationship{1, 5, 80, 0, 0},      // club 0
                     wb::TRelationship{4, 2, 5, 0, 300},     // a team that does not exist
                     wb::TRelationship{5, 3, 5, 0, 1},       // stadium 1
                     wb::TRelationship{2, 6, 0, 0, 4}};      // nation 4
    wb::TWorld Expected = World;
    Expected.Clubs[2].Container.Relationships = {wb::TRelationship{0, 10, 100, 7, -1},
                                                 wb::TRelationship{1, 5, 80, 0, 0}, wb::TRelationship{5, 3, 5, 0, 1},
                                                 wb::TRelationship{2, 6, 0, 0, 4}};
    ExpectLoadSaveWrites(World, Expected);
}

TEST(ClubNationTeamTest, NextSalePercentagesNameThePersonByIDAt112AndByUniqueIDAfter) {
    for (int16_t Version : Versions) {
        wb::TWorld World = Sample(Version);
        const wb::TPerson& Person = World.People[5];
        ASSERT_NE(Person.ID, Person.UniqueID);
        auto NextSale = [](int32_t PersonKey, int32_t Club, uint8_t Value) {
            wb::TTransferInfo Info;
            Info.Type = 5;
            Info.PersonKey = PersonKey;
            Info.ClubID = Club;
            Info.SaleValue1 = Value;
            Info.SaleValue2 = static_cast<uint8_t>(Value + 1);
            return Info;
        };
        const bool ByUniqueID = Version > 144;
        const int32_t Key = ByUniqueID ? Person.UniqueID : Person.ID;
        const int32_t WrongKey = ByUniqueID ? Person.ID : Person.UniqueID; // names nobody in this version
        World.Clubs[2].TransferInfo = {NextSale(Key, 1, 10), NextSale(WrongKey, 0, 20), NextSale(Key, 42, 30)};
        TTempDir In("in"), Out("out");
        TPyxDatabase Db;
        ASSERT_EQ(LoadFailure(World, Db, In), "");
        const auto& Infos = Db.Clubs.Items(2)->TransferInfo;
        ASSERT_EQ(Infos.Count(), 3);
        const auto* First = dynamic_cast<const TPyxNextSalePercentage*>(Infos.Items(0));
        const auto* Second = dynamic_cast<const TPyxNextSalePercentage*>(Infos.Items(1));
        const auto* Third = dynamic_cast<const TPyxNextSalePercentage*>(Infos.Items(2));
        ASSERT_TRUE(First && Second && Third);
        ASSERT_NE(First->Person, nullptr);
        EXPECT_EQ(First->Person->UniqueID, Person.UniqueID);
        EXPECT_EQ(First->Club, Db.Clubs.Items(1));
        EXPECT_EQ(Second->Person, nullptr);
        EXPECT_EQ(Third->Club, nullptr);
        ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
        wb::TWorld Expected = World;
        Expected.Clubs[2].TransferInfo[1].PersonKey = ByUniqueID ? 0 : -1;
        Expected.Clubs[2].TransferInfo[2].ClubID = -1;
        ExpectSavedAs(Expected, Out);
    }
}

TEST(ClubNationTeamTest, TeamRecordHoldersAreFoundByUniqueID) {
    wb::TWorld World = Sample();
    wb::TTransferInfo Records;
    Records.Type = 9;
    Records.Holder1UniqueID = World.People[3].UniqueID;
    Records.RecordValue1 = -7;
    Records.Holder2UniqueID = World.People[3].ID; // an ID is no UniqueID
    Records.RecordValue2 = 300;
    Records.Texts = {u"", u"Second", u"", u"Fourth"};
    World.Nations[1].TransferInfo = {Records};
    World.Clubs[1].TransferInfo = {Records};
    wb::TWorld Expected = World;
    Expected.Nations[1].TransferInfo[0].Holder2UniqueID = 0;
    Expected.Clubs[1].TransferInfo[0].Holder2UniqueID = 0;
    ExpectLoadSaveWrites(World, Expected);
    // An item with four empty texts takes 29 bytes.
    wb::TTransferInfo Empty;
    Empty.Type = 9;
    wb::TBytes Bytes;
    wb::WriteTransferInfo(Bytes, Empty);
    EXPECT_EQ(Bytes.Size(), 29u);
}

TEST(ClubNationTeamTest, ClubDebtsOfEachKindLandWithTheirTeam) {
    wb::TWorld World = Sample();
    const auto Team = [&](std::size_t T) { return World.Teams[T].ID; };
    auto Debt = [&](int32_t TeamID, uint8_t Kind, int32_t Amount, int32_t Budget) {
        wb::TClubDebt D;
        D.TeamID = TeamID;
        D.Kind = Kind;
        D.Amount = Amount;
        D.MonthlyPaymentsLeft = static_cast<int16_t>(Amount / 1000);
        D.TransferBudget = Budget;
        D.ID = 50 + static_cast<int32_t>(World.ClubDebts.size());
        D.UniqueID = 7000 + static_cast<int32_t>(World.ClubDebts.size());
        return D;
    };
    // Out of team order, two budgets for one team (the later stays) and a debt whose team does not exist.
    World.ClubDebts = {Debt(Team(3), 2, 3000, 0), Debt(Team(0), 0, 0, 111),       Debt(Team(3), 0, 0, 333),
                       Debt(Team(0), 1, 1000, 0), Debt(Team(77 % 8), 1, 2000, 0), Debt(424242, 1, 9000, 0),
                       Debt(Team(0), 0, 0, 112),  Debt(Team(3), 1, 4000, 0)};
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    const TPyxTeam* Team0 = Db.Teams.Items(0);
    ASSERT_NE(Team0->ClubDebt, nullptr);
    EXPECT_EQ(Team0->ClubDebt->TransferBudget, 112);
    ASSERT_EQ(Team0->ClubDebts.Count(), 1);
    EXPECT_EQ(Team0->ClubDebts.Items(0)->Amount, 1000);
    const TPyxTeam* Team3 = Db.Teams.Items(3);
    ASSERT_EQ(Team3->ClubDebts.Count(), 2);
    EXPECT_EQ(Team3->ClubDebts.Items(0)->Kind, 2);
    EXPECT_EQ(Team3->ClubDebts.Items(1)->Amount, 4000);
    EXPECT_EQ(Team3->ClubDebt->TransferBudget, 333);
    EXPECT_EQ(Db.Teams.Items(1)->ClubDebt, nullptr);
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");

    // Team by team: its loans in table order, then its budget; numbered from 0.
    wb::TWorld Expected = World;
    const auto& D = World.ClubDebts;
    Expected.ClubDebts = {D[3], D[6], D[0], D[7], D[2], D[4]};
    for (std::size_t I = 0; I < Expected.ClubDebts.size(); ++I)
        Expected.ClubDebts[I].ID = static_cast<int32_t>(I);
    ExpectSavedAs(Expected, Out);
    wb::TWorld Modelled = World;
    wb::RebuildClubDebts(Modelled);
    ExpectFile(wb::ServerFile(Modelled), Out, "server_db.dat");
}

class RenumberingTest : public testing::TestWithParam<int16_t> {};

INSTANTIATE_TEST_SUITE_P(Versions, RenumberingTest, testing::ValuesIn(Versions));

TEST_P(RenumberingTest, EveryReferenceFollowsTheRenumberedEntities) {
    // The same world with the IDs of media, cities, stadiums, nations, clubs and teams out of order: a save
    // renumbers them to their positions, and every reference written afterwards, in every table, follows.
    const wb::TWorld Saved = Sample(GetParam());
    wb::TWorld World = Saved;
    wb::ScrambleIDs(World);
    ASSERT_NE(World.Clubs[0].ID, Saved.Clubs[0].ID);
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    const std::vector<int32_t> OldClubIDs = [&] {
        std::vector<int32_t> IDs;
        for (const auto& Club : World.Clubs)
            IDs.push_back(Club.ID);
        return IDs;
    }();
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    ExpectSavedAs(Saved, Out);

    // The ID indexes follow the renumbering.
    auto ExpectIndexed = [](const TPyxObjects& Collection) {
        for (int32_t I = 0; I < Collection.Count(); ++I)
            EXPECT_EQ(Collection.FindByID(I), Collection.Items(I)) << Collection.ClassName() << " " << I;
    };
    ExpectIndexed(Db.Medias);
    ExpectIndexed(Db.Cities);
    ExpectIndexed(Db.Stadiums);
    ExpectIndexed(Db.Nations);
    ExpectIndexed(Db.Clubs);
    ExpectIndexed(Db.Teams);
    for (int32_t Old : OldClubIDs)
        EXPECT_EQ(Db.Clubs.FindByID(Old), nullptr) << Old;

    // Saving again writes the same files.
    TTempDir Again("again");
    ASSERT_EQ(FailureOf([&] { Db.Save(Again.Str()); }), "");
    EXPECT_EQ(Snapshot(Again), Snapshot(Out));
}

// A list longer than its count allows fails the save naming the table; at the limit it saves.
using TFill = std::function<void(TPyxDatabase&, int32_t)>; // makes a list Count long

struct TListCase {
    const char* Name;
    const char* Table;
    int32_t Limit;
    TFill Fill;
};

// Adds New(Db) to the list List of the Index-th record of Records until it is Count long.
template <class TRecords, class TRecord, class TList, class FNew>
TFill Fill(TRecords TPyxDatabase::*Records, int32_t Index, TList TRecord::*List, FNew New) {
    return [=](TPyxDatabase& Db, int32_t Count) {
        auto& L = (Db.*Records).Items(Index)->*List;
        while (L.Count() < Count)
            L.Add(New(Db));
    };
}

// An entry that is the Index-th record of Records.
template <class TRecords> auto Record(TRecords TPyxDatabase::*Records, int32_t Index) {
    return [=](TPyxDatabase& Db) { return (Db.*Records).Items(Index); };
}

// A new entry of type T.
template <class T> std::unique_ptr<T> New(TPyxDatabase&) {
    return std::make_unique<T>();
}

using TDb = TPyxDatabase;

const TListCase ListCases[] = {
    {"ClubBoardMembers", "Clubs", 255, Fill(&TDb::Clubs, 0, &TPyxClub::BoardMembers, Record(&TDb::People, 0))},
    {"ClubScouts", "Clubs", 255, Fill(&TDb::Clubs, 1, &TPyxClub::Scouts, Record(&TDb::People, 1))},
    {"ClubRelationships", "Clubs", 255, Fill(&TDb::Clubs, 2, &TPyxClub::Relationships, New<TPyxRelationship>)},
    {"ClubTransferInfo", "Clubs", 65535, Fill(&TDb::Clubs, 2, &TPyxClub::TransferInfo, New<TPyxNextSalePercentage>)},
    {"ClubTeams", "Clubs", 255, Fill(&TDb::Clubs, 0, &TPyxClub::Teams, Record(&TDb::Teams, 0))},
    {"NationLanguages", "Nations", 255, Fill(&TDb::Nations, 1, &TPyxNation::Languages, Record(&TDb::Languages, 0))},
    {"NationKits", "Nations", 255, Fill(&TDb::Nations, 1, &TPyxNation::Kits, New<TPyxColor>)},
    {"NationTransferInfo", "Nations", 65535, Fill(&TDb::Nations, 0, &TPyxNation::TransferInfo, New<TPyxTeamRecords>)},
    {"TeamPhysios", "Teams", 255, Fill(&TDb::Teams, 1, &TPyxTeam::Physios, Record(&TDb::People, 2))},
    {"TeamCoaches", "Teams", 255, Fill(&TDb::Teams, 1, &TPyxTeam::Coaches, Record(&TDb::People, 2))},
    {"TeamPlayers", "Teams", 65535, Fill(&TDb::Teams, 2, &TPyxTeam::Players, Record(&TDb::People, 3))},
    {"MediaClubs", "Media", 255, Fill(&TDb::Medias, 0, &TPyxMedia::Clubs, Record(&TDb::Clubs, 0))},
};

class ListWidthTest : public testing::TestWithParam<TListCase> {};

INSTANTIATE_TEST_SUITE_P(Lists, ListWidthTest, testing::ValuesIn(ListCases),
                         [](const testing::TestParamInfo<TListCase>& Info) { return std::string(Info.param.Name); });

TEST_P(ListWidthTest, AListOneLongerThanItsCountFailsTheSaveBeforeAnyFileIsReplaced) {
    const TListCase& Case = GetParam();
    TTempDir Dir;
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(Sample(), Db, Dir), "");
    const auto Before = Snapshot(Dir);
    Case.Fill(Db, Case.Limit + 1);
    EXPECT_EQ(FailureOf([&] { Db.Save(Dir.Str()); }), std::string("EFileCorruptError: Couldn't save ") + Case.Table +
                                                          ".\r\nA list holds " + std::to_string(Case.Limit + 1) +
                                                          " entries; its count allows at most " +
                                                          std::to_string(Case.Limit) + ".");
    EXPECT_EQ(Snapshot(Dir), Before);
}

TEST_P(ListWidthTest, AListAtItsLimitSavesAndLoadsBack) {
    const TListCase& Case = GetParam();
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(Sample(), Db, In), "");
    Case.Fill(Db, Case.Limit);
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    TPyxDatabase Reloaded;
    Reloaded.LoadPlayingHistories = false;
    EXPECT_EQ(FailureOf([&] { Reloaded.Load(Out.Str()); }), "");
}

TEST(ClubNationTeamTest, FlagBytesKeepWhateverValueTheyHold) {
    wb::TWorld World = Sample();
    World.Clubs[0].PublicLimitedCompany = 2;
    World.Clubs[1].ProfessionalStatus = 200;
    World.Nations[0].FIFAFullMember = 2;
    World.Nations[0].NationByte1 = 0x81;
    World.Nations[0].NationBlock = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                    13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    World.Competitions[0].UsesSquadNumbers = 2;
    World.Stadiums[0].Extinct = 2;
    World.Teams[1].TeamByte9 = 0xFE;
    World.Teams[1].IsNationTeam = 0;
    ExpectLoadSaveWrites(World, World);
}

namespace {

template <class TModel, class TBuilt>
void ExpectSameRecord(const TModel& Entity, const TBuilt& Built, int16_t Version) {
    TPyxFileStream Stream;
    Entity.SaveToStream(Stream, Version);
    wb::TFileImage Expected;
    wb::WriteRecord(Expected.Bytes, Built, Version);
    EXPECT_EQ(wb::DescribeDifference(Expected, Stream.Bytes()), "") << "version " << Version;
}

} // namespace

TEST(ClubNationTeamTest, NewClubsNationsAndTeamsWriteTheirDefaults) {
    for (int16_t Version : Versions) {
        // A new club's kept values depend on the version of the loaded server file.
        wb::TClub Club;
        Club.ClubValue3 = Version == 112 ? 1 : 2;
        Club.ClubValue4 = Version == 112 ? 2 : 3;
        ExpectSameRecord(TPyxClub(Version), Club, Version);
        ExpectSameRecord(TPyxNation(), wb::TNation(), Version);
        // A new team keeps TeamValue1 -1 and the image of the double 1.0, written only where the version has them.
        ExpectSameRecord(TPyxTeam(), wb::TTeam(), Version);
        TPyxTeam Kind11;
        Kind11.RecordKind = 11;
        wb::TTeam Built11;
        Built11.RecordType = 11;
        ExpectSameRecord(Kind11, Built11, Version);
    }
    TPyxFileStream Stream;
    TPyxTeam().SaveToStream(Stream, 147);
    const auto& Bytes = Stream.Bytes();
    const std::vector<uint8_t> One = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_NE(std::search(Bytes.begin(), Bytes.end(), One.begin(), One.end()), Bytes.end());
}

TEST(ClubNationTeamTest, ClubsCreatedAfterALoadTakeTheDefaultsOfItsVersion) {
    for (int16_t Version : Versions) {
        TTempDir Dir;
        TPyxDatabase Db;
        ASSERT_EQ(LoadFailure(Sample(Version), Db, Dir), "");
        auto Club = Db.Clubs.CreateEntity(0);
        const auto* C = dynamic_cast<const TPyxClub*>(Club.get());
        ASSERT_NE(C, nullptr);
        EXPECT_EQ(C->ClubValue3, Version == 112 ? 1 : 2);
        EXPECT_EQ(C->ClubValue4, Version == 112 ? 2 : 3);
        EXPECT_EQ(C->ClubValue2, 1);
        EXPECT_EQ(C->ProfessionalStatus, 1);
    }
}
