#include "SampleWorld.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

template <class T> bool HasID(const std::vector<T>& Items, int32_t ID) {
    return std::any_of(Items.begin(), Items.end(), [&](const T& Item) { return Item.ID == ID; });
}

template <class T> bool HasUniqueID(const std::vector<T>& Items, int32_t UniqueID) {
    return std::any_of(Items.begin(), Items.end(), [&](const T& Item) { return Item.UniqueID == UniqueID; });
}

template <class T> void ExpectPositionIDs(const std::vector<T>& Items, const char* Kind) {
    for (std::size_t I = 0; I < Items.size(); ++I)
        EXPECT_EQ(Items[I].ID, static_cast<int32_t>(I)) << Kind;
}

template <class T> void ExpectDistinctKeys(const std::vector<T>& Items, const char* Kind) {
    std::set<int32_t> IDs, UniqueIDs;
    for (const auto& Item : Items) {
        EXPECT_TRUE(IDs.insert(Item.ID).second) << Kind << " ID " << Item.ID;
        EXPECT_TRUE(UniqueIDs.insert(Item.UniqueID).second) << Kind << " UniqueID " << Item.UniqueID;
    }
}

// ID references must resolve or be -1: a reference that resolves nowhere would come back from a save as -1.
template <class T> void ExpectRef(const std::vector<T>& Targets, int32_t ID, const char* What) {
    EXPECT_TRUE(ID == -1 || HasID(Targets, ID)) << What << " " << ID;
}

TEST(SampleWorld, EveryRecordKindIsPresent) {
    const wb::TWorld W = wb::SampleWorld();
    for (std::size_t Count : {W.Awards.size(),
                              W.Cities.size(),
                              W.Clubs.size(),
                              W.Competitions.size(),
                              W.Continents.size(),
                              W.Injuries.size(),
                              W.Medias.size(),
                              W.Languages.size(),
                              W.Nations.size(),
                              W.FirstNames.size(),
                              W.SecondNames.size(),
                              W.CommonNames.size(),
                              W.Regions.size(),
                              W.Sponsors.size(),
                              W.Stadiums.size(),
                              W.StadiumMoves.size(),
                              W.Stages.size(),
                              W.Teams.size(),
                              W.Weathers.size(),
                              W.PlayerTypes.size(),
                              W.AwardHistories.size(),
                              W.CompetitionHistories.size(),
                              W.Loans.size(),
                              W.StartingInjuries.size(),
                              W.StartingConfidences.size(),
                              W.FutureTransfers.size(),
                              W.ClubDebts.size(),
                              W.PersonLanguages.size(),
                              W.People.size(),
                              W.PersonDatas.size(),
                              W.PlayingDatas.size(),
                              W.NonPlayingDatas.size()})
        EXPECT_GT(Count, 0u);
    std::set<uint8_t> Types, Kinds, DebtKinds, InfoTypes, TargetTypes;
    for (const auto& P : W.People) {
        Types.insert(P.RecordType);
        for (const auto& R : P.Relationships)
            TargetTypes.insert(R.TargetType);
    }
    for (const auto& T : W.Teams)
        Kinds.insert(T.RecordType);
    for (const auto& D : W.ClubDebts)
        DebtKinds.insert(D.Kind);
    for (const auto& C : W.Clubs)
        for (const auto& I : C.TransferInfo)
            InfoTypes.insert(I.Type);
    EXPECT_EQ(Types, (std::set<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(Kinds, (std::set<uint8_t>{10, 11}));
    EXPECT_EQ(DebtKinds, (std::set<uint8_t>{0, 1, 2}));
    EXPECT_EQ(InfoTypes, (std::set<uint8_t>{5, 9}));
    EXPECT_EQ(TargetTypes, (std::set<uint8_t>{0, 1, 2, 3, 4, 5}));
    ASSERT_TRUE(W.Histories.has_value());
    EXPECT_FALSE(W.Histories->Histories.empty());
}

TEST(SampleWorld, RenumberedKindsHavePositionIDsAndKeysAreDistinct) {
    const wb::TWorld W = wb::SampleWorld();
    ExpectPositionIDs(W.Medias, "media");
    ExpectPositionIDs(W.Cities, "cities");
    ExpectPositionIDs(W.Stadiums, "stadiums");
    ExpectPositionIDs(W.Nations, "nations");
    ExpectPositionIDs(W.Clubs, "clubs");
    ExpectPositionIDs(W.Teams, "teams");
    ExpectPositionIDs(W.FirstNames, "first names");
    ExpectPositionIDs(W.SecondNames, "second names");
    ExpectPositionIDs(W.CommonNames, "common names");
    ExpectPositionIDs(W.AwardHistories, "award histories");
    ExpectPositionIDs(W.CompetitionHistories, "competition histories");
    ExpectPositionIDs(W.StadiumMoves, "stadium moves");
    ExpectPositionIDs(W.ClubDebts, "club debts");
    ExpectPositionIDs(W.PersonDatas, "person data");
    ExpectPositionIDs(W.PlayingDatas, "playing data");
    ExpectPositionIDs(W.NonPlayingDatas, "non-playing data");
    ExpectDistinctKeys(W.People, "people");
    ExpectDistinctKeys(W.Clubs, "clubs");
    ExpectDistinctKeys(W.Teams, "teams");
    ExpectDistinctKeys(W.Competitions, "competitions");
    ExpectDistinctKeys(W.Awards, "awards");
}

TEST(SampleWorld, EveryTeamSharesItsUniqueIDWithAClub) {
    const wb::TWorld W = wb::SampleWorld();
    for (const auto& Team : W.Teams) {
        EXPECT_TRUE(HasUniqueID(W.Clubs, Team.UniqueID)) << "team " << Team.ID;
        if (Team.IsNationTeam != 0) {
            ASSERT_TRUE(HasID(W.Nations, Team.ContainerID));
            const auto& Teams = W.Nations[static_cast<std::size_t>(Team.ContainerID)].Container.TeamIDs;
            EXPECT_NE(std::find(Teams.begin(), Teams.end(), Team.ID), Teams.end());
        } else {
            ASSERT_TRUE(HasID(W.Clubs, Team.ContainerID));
            const auto& Club = W.Clubs[static_cast<std::size_t>(Team.ContainerID)];
            ASSERT_FALSE(Club.Container.TeamIDs.empty());
            if (Club.Container.TeamIDs[0] == Team.ID)
                EXPECT_EQ(Club.UniqueID, Team.UniqueID); // a club's first team shares the club's own UniqueID
            else
                EXPECT_NE(Club.UniqueID, Team.UniqueID); // further squads share a companion's
        }
    }
}

TEST(SampleWorld, ReferencesResolve) {
    const wb::TWorld W = wb::SampleWorld();
    for (const auto& P : W.People) {
        ExpectRef(W.Nations, P.NationID, "nation");
        ExpectRef(W.Teams, P.ClubTeamID, "club team");
        ExpectRef(W.Teams, P.NationalTeamID, "national team");
        ExpectRef(W.Cities, P.CityOfBirthID, "city of birth");
        ExpectRef(W.FirstNames, P.FirstNameID, "first name");
        ExpectRef(W.SecondNames, P.SecondNameID, "second name");
        ExpectRef(W.CommonNames, P.CommonNameID, "common name");
        EXPECT_EQ(P.IsOfficial(), P.PersonDataID == -1);
        if (!P.IsOfficial()) {
            EXPECT_TRUE(HasID(W.PersonDatas, P.PersonDataID));
        }
        if (P.IsPlayer()) {
            EXPECT_TRUE(HasID(W.PlayingDatas, P.Player.PlayingDataID));
        }
        if (P.IsStaff()) {
            EXPECT_TRUE(HasID(W.NonPlayingDatas, P.Staff.NonPlayingDataID));
        }
        for (const auto& C : P.Contracts) {
            if (C.NationContract != 0)
                ExpectRef(W.Nations, C.EmployerID, "nation employer");
            else
                ExpectRef(W.Clubs, C.EmployerID, "club employer");
            EXPECT_TRUE(C.SkippedItems.empty());
        }
        EXPECT_EQ(P.RelationshipsFlag, P.Relationships.empty() ? 0 : 1);
        for (const auto& R : P.Relationships)
            EXPECT_EQ(R.TargetType == 0, R.TargetID == -1);
    }
    for (const auto& T : W.Teams) {
        for (const auto* List : {&T.PlayerIDs, &T.CoachIDs, &T.PhysioIDs})
            for (int32_t ID : *List)
                ExpectRef(W.People, ID, "squad member");
        ExpectRef(W.People, T.ManagerID, "manager");
        ExpectRef(W.Stadiums, T.StadiumID, "stadium");
        ExpectRef(W.Competitions, T.DivisionID, "division");
    }
    for (const auto& L : W.Loans) {
        EXPECT_TRUE(HasID(W.People, L.PersonID));
        ExpectRef(W.Teams, L.TeamID, "loan team");
    }
    for (const auto& H : W.AwardHistories)
        EXPECT_TRUE(HasID(W.Awards, H.AwardID));
    for (const auto& H : W.CompetitionHistories)
        EXPECT_TRUE(HasID(W.Competitions, H.CompetitionID));
    for (const auto& M : W.Medias)
        for (int32_t Club : M.ClubUniqueIDs)
            EXPECT_TRUE(HasUniqueID(W.Clubs, Club));
    for (const auto& H : W.Histories->Histories) {
        EXPECT_TRUE(HasUniqueID(W.People, H.PersonUniqueID));
        for (const auto& E : H.Entries)
            EXPECT_TRUE(E.TeamUniqueID == -1 || HasUniqueID(W.Teams, E.TeamUniqueID));
    }
}

TEST(SampleWorld, AttachedRecordsBelongToPersonsOfTheRightRole) {
    const wb::TWorld W = wb::SampleWorld();
    auto Find = [&](int32_t ID) {
        return *std::find_if(W.People.begin(), W.People.end(), [&](const wb::TPerson& P) { return P.ID == ID; });
    };
    for (const auto& R : W.Loans)
        EXPECT_TRUE(Find(R.PersonID).IsPlayer());
    for (const auto& R : W.StartingInjuries)
        EXPECT_TRUE(Find(R.PersonID).IsPlayer());
    for (const auto& R : W.FutureTransfers)
        EXPECT_TRUE(Find(R.PersonID).IsPlayer());
    for (const auto& R : W.StartingConfidences)
        EXPECT_TRUE(Find(R.PersonID).IsStaff());
}

TEST(SampleWorld, ContractsAreClubCoOwnerNation) {
    const wb::TWorld W = wb::SampleWorld();
    bool SawCoOwned = false;
    for (const auto& P : W.People) {
        bool SeenNation = false;
        for (std::size_t I = 0; I < P.Contracts.size(); ++I) {
            const auto& C = P.Contracts[I];
            EXPECT_FALSE(SeenNation) << "a nation contract stands last";
            SeenNation = C.NationContract != 0;
            if (I == 1 && C.NationContract == 0) {
                EXPECT_EQ(C.CoOwned, 1);
                EXPECT_EQ(P.Contracts[0].CoOwned, 1);
                SawCoOwned = true;
            }
        }
    }
    EXPECT_TRUE(SawCoOwned);
}

TEST(SampleWorld, PeopleStandInStrictNationOrder) {
    wb::TSampleOptions Options;
    Options.PeopleCount = 40;
    const wb::TWorld W = wb::SampleWorld(Options);
    ASSERT_EQ(W.People.size(), 40u);
    for (std::size_t I = 1; I < W.People.size(); ++I)
        EXPECT_LT(W.People[I - 1].NationID, W.People[I].NationID);
}

TEST(SampleWorld, DirectoryFollowsTheOptions) {
    wb::TSampleOptions Options;
    Options.LanguageCount = 5;
    Options.DefaultLanguagePosition = 2;
    Options.LangVersion = 200;
    const wb::TWorld W = wb::SampleWorld(Options);
    ASSERT_EQ(W.LangDirectory.size(), 5u);
    EXPECT_EQ(W.LangDirectory[2], wb::DefaultLanguageUniqueID);
    EXPECT_EQ(W.LangVersion, 200);
    const auto Offsets = wb::LangBlockOffsets(W);
    for (std::size_t I = 0; I < W.LangDirectory.size(); ++I)
        for (const auto& Language : W.Languages) {
            if (Language.UniqueID == W.LangDirectory[I]) {
                EXPECT_EQ(Language.LangFileOffset, Offsets[I]);
            }
        }
    for (const auto& City : W.Cities)
        EXPECT_EQ(City.Texts.size(), 5u);
    EXPECT_NE(W.Cities[0].Texts.at(3).Name, W.Cities[0].Texts.at(wb::DefaultLanguageUniqueID).Name);
}

TEST(SampleWorld, ServerRecordsRepeatTheDefaultTexts) {
    const wb::TWorld W = wb::SampleWorld();
    const auto& Club = W.Clubs[0];
    const auto& Text = Club.Texts.at(wb::DefaultLanguageUniqueID);
    EXPECT_EQ(Club.Container.Name, Text.Name);
    EXPECT_EQ(Club.Nickname1, Text.Nickname1);
    EXPECT_FALSE(Club.Container.Name.empty());
    EXPECT_EQ(W.Stages[0].Own.PluralName, W.Stages[0].Texts.at(wb::DefaultLanguageUniqueID).PluralName);
    EXPECT_EQ(W.Cities[0].CitizenName, W.Cities[0].Texts.at(wb::DefaultLanguageUniqueID).CitizenName);
}

TEST(SampleWorld, Version112LeavesOutWhatItCannotStore) {
    wb::TSampleOptions Options;
    Options.Version = 112;
    const wb::TWorld W = wb::SampleWorld(Options);
    EXPECT_EQ(W.ServerExtra.size(), 15u);
    EXPECT_EQ(W.Clubs[0].ClubValue3, 1);
    EXPECT_EQ(W.Clubs[0].ClubValue4, 2);
    for (const auto& Nation : W.Nations)
        EXPECT_TRUE(Nation.TransferInfo.empty());
    // the next-sale percentage names its person by ID in version 112
    EXPECT_TRUE(HasID(W.People, W.Clubs[0].TransferInfo[0].PersonKey));
    EXPECT_EQ(wb::SampleWorld().ServerExtra.size(), 25u);
}

TEST(SampleWorld, SeedChangesValuesNotShape) {
    wb::TSampleOptions A, B;
    B.Seed = 99;
    const wb::TWorld First = wb::SampleWorld(A);
    const wb::TWorld Again = wb::SampleWorld(A);
    const wb::TWorld Other = wb::SampleWorld(B);
    EXPECT_EQ(wb::ServerFile(First).Data(), wb::ServerFile(Again).Data());
    EXPECT_NE(wb::ServerFile(First).Data(), wb::ServerFile(Other).Data());
    EXPECT_EQ(First.People.size(), Other.People.size());
    EXPECT_EQ(First.Teams.size(), Other.Teams.size());
}

TEST(SampleWorld, HistoriesCanBeLeftOutAndHaveTiedSeasons) {
    wb::TSampleOptions Options;
    Options.Histories = false;
    EXPECT_FALSE(wb::SampleWorld(Options).Histories.has_value());
    const wb::TWorld W = wb::SampleWorld();
    bool Tied = false;
    for (const auto& H : W.Histories->Histories)
        for (std::size_t I = 1; I < H.Entries.size(); ++I)
            Tied = Tied || H.Entries[I].Season == H.Entries[I - 1].Season;
    EXPECT_TRUE(Tied);
    for (std::size_t I = 1; I < W.Histories->Histories.size(); ++I)
        EXPECT_LT(W.Histories->Histories[I - 1].PersonUniqueID, W.Histories->Histories[I].PersonUniqueID);
}

TEST(SampleWorld, WriteWorldWritesTheSixFiles) {
    // The process id keeps two suites running side by side (two build trees) out of each other's folder.
    const auto Dir =
        std::filesystem::temp_directory_path() / ("wb_sample_world_test_" + std::to_string(::getpid())) / "data";
    std::filesystem::remove_all(Dir.parent_path());
    const wb::TWorld W = wb::SampleWorld();
    const wb::TWorldFiles Files = wb::WriteWorld(W, Dir.string());
    EXPECT_EQ(wb::ReadFileBytes((Dir / "server_db.dat").string()), Files.Server.Data());
    EXPECT_EQ(wb::ReadFileBytes((Dir / "people_db.dat").string()), Files.People.Data());
    EXPECT_EQ(wb::ReadFileBytes((Dir / "lang_db.dat").string()), Files.Lang.Data());
    EXPECT_EQ(wb::ReadFileBytes((Dir / "pl_hist_dt.dat").string()), Files.History->Data.Data());
    EXPECT_TRUE(std::filesystem::exists(Dir / "pl_hist_index.dat"));
    EXPECT_TRUE(std::filesystem::exists(Dir / "pl_hist_id.dat"));
    std::filesystem::remove_all(Dir.parent_path());
}

TEST(SampleWorld, DifferencesAreLocatedByPart) {
    const wb::TWorld W = wb::SampleWorld();
    const wb::TFileImage Server = wb::ServerFile(W);
    auto Bytes = Server.Data();
    Bytes[Server.At("Clubs[1]") + 3] ^= 0xFF;
    EXPECT_NE(wb::DescribeDifference(Server, Bytes).find("(Clubs[1] + 3)"), std::string::npos);
    EXPECT_EQ(wb::DescribeDifference(Server, Server.Data()), "");
}

} // namespace
