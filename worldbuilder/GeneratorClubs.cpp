#include "GeneratorBuilder.h"
#include "SampleText.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace wb {

namespace {

constexpr std::array<const char*, 4> DivisionNames = {"Premier Division", "First Division", "Second Division",
                                                      "Third Division"};
constexpr int ClubsPerDivision = 16;

// Club name words: the first five stand before the city's name, the others after it.
constexpr std::array<const char*, 12> ClubWords = {"Dynamo", "Sporting", "Real", "Racing", "Olympic", "United",
                                                   "Rovers", "Athletic", "City", "Town",   "Albion",  "Wanderers"};
constexpr std::size_t WordsBefore = 5;

struct TSquadKind {
    uint8_t SquadType;
    const char16_t* Long;
    const char16_t* Short;
};
constexpr std::array<TSquadKind, 6> SquadKinds = {{{1, u" Reserves", u" Reserves"},
                                                   {10, u" U21", u" U21"},
                                                   {11, u" U19", u" U19"},
                                                   {3, u" B", u" B"},
                                                   {9, u" U23", u" U23"},
                                                   {18, u" U20", u" U20"}}};

std::u16string Upper(std::u16string Text) {
    for (auto& C : Text)
        if (C >= u'a' && C <= u'z')
            C = static_cast<char16_t>(C - 0x20);
    return Text;
}

} // namespace

void TWorldGenerator::AddCompetitions() {
    auto Add = [&](const std::u16string& Name, const std::u16string& Short, const std::u16string& Three,
                   int32_t Continent, int32_t Nation, uint8_t Level) {
        return AddCompetitionRecord(static_cast<int32_t>(World_.Competitions.size()), {Name, Short, Three}, Continent,
                                    Nation, Level,
                                    [&] { return static_cast<int16_t>(std::clamp(20 - 3 * Level, 1, 20)); })
            .ID;
    };
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        auto& Plan = Nations_[N];
        const auto& Nation = World_.Nations[N];
        const std::u16string Name = Nation.Texts.at(DefaultLanguageUniqueID).Name;
        const std::u16string Prefix = Upper(Name.substr(0, 2));
        const int Divisions = std::clamp((Plan.ClubCount + ClubsPerDivision - 1) / ClubsPerDivision, 1, 4);
        for (int D = 0; D < Divisions; ++D) {
            const std::u16string Division = U16(DivisionNames[static_cast<std::size_t>(D)]);
            Plan.Leagues.push_back(Add(Name + u" " + Division, Division, Prefix + U16(static_cast<long>(D + 1)),
                                       Nation.ContinentID, Nation.ID, static_cast<uint8_t>(D + 1)));
        }
        if (Plan.ClubCount >= 2)
            Plan.Cup = Add(Name + u" Cup", u"Cup", Prefix + u"C", Nation.ContinentID, Nation.ID, 5);
    }
    for (const auto& Continent : World_.Continents) {
        const std::u16string Name = Continent.Texts.at(DefaultLanguageUniqueID).Name;
        const std::u16string Short = Continent.Texts.at(DefaultLanguageUniqueID).ShortName;
        ContinentalCups_.push_back(
            Add(Name + u" Champions Cup", u"Champions Cup", Short.substr(0, 2) + u"C", Continent.ID, -1, 10));
        ContinentalCups_.push_back(
            Add(Name + u" Cup", u"Continental Cup", Short.substr(0, 2) + u"K", Continent.ID, -1, 11));
    }
    WorldTrophy_ = Add(u"World Nations Trophy", u"Nations Trophy", u"WNT", -1, -1, 20);
}

// Main clubs of every nation (strongest first, about two to a city), each with its ground; then one national
// stadium per nation.
void TWorldGenerator::AddClubsAndStadiums() {
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        auto& Plan = Nations_[N];
        std::unordered_set<std::u16string> Used;
        for (int C = 0; C < Plan.ClubCount; ++C) {
            const int32_t CityID = Plan.Cities[static_cast<std::size_t>(C / 2) % Plan.Cities.size()];
            const std::u16string CityName = World_.Cities[static_cast<std::size_t>(CityID)].Texts.at(8).Name;
            std::u16string Name, Word;
            for (int Try = 0; Try < 30 && (Name.empty() || Used.count(Name) != 0); ++Try) {
                const std::size_t W = Random_.Next() % ClubWords.size();
                Word = U16(ClubWords[W]);
                Name = W < WordsBefore ? Word + u" " + CityName : CityName + u" " + Word;
            }
            if (Used.count(Name) != 0)
                Name.append(u" ").append(U16(static_cast<long>(C)));
            Used.insert(Name);

            TClub& Club = AddClubRecord(Name, CityName, static_cast<int32_t>(N));
            const int Strength = std::max(1, 20 - C / 3);
            Club.YouthAcademy = Random_.Byte(0, 1);
            Club.YouthSetup = Random_.Byte(1, 20);
            Club.ProfessionalStatus = static_cast<uint8_t>(C < 2 * ClubsPerDivision ? 1 : Random_.Int(1, 3));
            Club.AverageAttendance = Random_.Int(500, 2000) * Strength;
            Club.MinimumAttendance = Club.AverageAttendance / 2;
            Club.MaximumAttendance = Club.AverageAttendance + Random_.Int(100, 5000);
            Club.Training = Random_.Byte(1, 20);
            Club.PublicLimitedCompany = static_cast<uint8_t>(Random_.Chance(20) ? 1 : 0);
            Club.ClubValue1 = Random_.Short(0, 300);
            Club.Balance = Random_.Int(-2000, 9000) * 100 * Strength;
            Club.ClubValue5 = Random_.Byte(0, 3);
            for (int K = Random_.Int(1, 3); K > 0; --K)
                Club.Container.Kits.push_back(RandomKit());
            const std::u16string Nick = u"The " + Word + (Word.back() == u's' ? u"" : u"s");
            const std::u16string Founded = u"Founded in " + U16(static_cast<long>(Random_.Int(1860, 1990))) + u".";
            DescribeClub(Club, Founded, Nick, C % 3 == 0 ? CityName.substr(0, 4) + u"ies" : u"");
            Plan.Clubs.push_back(Club.ID);
            MainClubs_.push_back(Club.ID);
            Clubs_.push_back(TClubPlan{static_cast<int32_t>(N), CityID, {}, -1, 0, {}});

            TStadium& Stadium = AddRecord(World_.Stadiums);
            Stadium.Capacity = Random_.Int(1000, 3500) * Strength;
            Stadium.SeatingCapacity = Stadium.Capacity - Random_.Int(0, Stadium.Capacity / 3);
            Stadium.ExpansionCapacity = Random_.Int(0, 10000);
            Stadium.Flags = Random_.Byte(0, 3);
            Stadium.ClubID = Club.ID;
            DrawGround(Stadium, [&] { return Random_.Byte(1, 4); });
            Stadium.CityID = CityID;
            Stadium.NearbyStadiumID = C % 2 == 1 ? Stadium.ID - 1 : -1;
            constexpr std::array<const char16_t*, 5> Grounds = {u" Stadium", u" Park", u" Arena", u" Road", u" Ground"};
            const std::u16string Ground = CityName + Grounds[Random_.Next() % Grounds.size()];
            Stadium.Texts = Translate<TStadiumText>([&](int32_t L) { return TStadiumText{Tr(Ground, L), 0}; });
            Clubs_.back().Stadium = Stadium.ID;
        }
    }
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        const std::u16string Name = World_.Nations[N].Texts.at(DefaultLanguageUniqueID).Name + u" National Stadium";
        TStadium& Stadium = AddRecord(World_.Stadiums);
        Stadium.Capacity = Random_.Int(20, 90) * 1000;
        Stadium.SeatingCapacity = Stadium.Capacity;
        Stadium.Flags = 0x03;
        Stadium.Decay = Random_.Byte(1, 5);
        Stadium.UsedCapacity = Stadium.Capacity;
        Stadium.PitchLength = 105;
        Stadium.PitchWidth = 68;
        Stadium.State = 1;
        Stadium.CityID = World_.Nations[N].CapitalCityID;
        Stadium.Texts = Translate<TStadiumText>([&](int32_t L) { return TStadiumText{Tr(Name, L), 1}; });
        World_.Nations[N].NationalStadiumID = Stadium.ID;
    }
}

int32_t TWorldGenerator::AddCompanionClub(const std::u16string& Name, const std::u16string& ShortName, int32_t Nation) {
    const int32_t ID = AddClubRecord(Name, ShortName, Nation).ID;
    Clubs_.push_back(TClubPlan{Nation, -1, {}, -1, 0, {}});
    return ID;
}

int32_t TWorldGenerator::AddTeam(int32_t Container, bool Nation, int32_t SharesWithClub, uint8_t SquadType,
                                 uint8_t Kind) {
    TTeam& Team = AddTeamRecord(Kind, Container, Nation, SharesWithClub, SquadType);
    if (Nation) {
        const auto& NationRecord = World_.Nations[static_cast<std::size_t>(Container)];
        Team.Reputation = NationRecord.Reputation;
        Team.StadiumID = NationRecord.NationalStadiumID;
        Team.ContinentalCompetitionID = SquadType == 0 ? WorldTrophy_ : -1;
    } else {
        auto& Club = Clubs_[static_cast<std::size_t>(Container)];
        const auto& Plan = Nations_[static_cast<std::size_t>(Club.Nation)];
        const auto Rank =
            static_cast<int>(std::find(Plan.Clubs.begin(), Plan.Clubs.end(), Container) - Plan.Clubs.begin());
        Team.Reputation = static_cast<int16_t>(std::max(500, 9000 - 150 * Rank - (SquadType != 0 ? 3000 : 0)));
        Team.StadiumID = Club.Stadium;
        Team.TeamValue1 = Random_.Int(0, 50);
        if (SquadType == 0) {
            Team.DivisionID = Plan.Leagues[std::min<std::size_t>(static_cast<std::size_t>(Rank / ClubsPerDivision),
                                                                 Plan.Leagues.size() - 1)];
            Team.LastDivisionID = Team.DivisionID;
            Team.OtherDivisionID = Plan.Cup;
            const auto Continent =
                static_cast<std::size_t>(World_.Nations[static_cast<std::size_t>(Club.Nation)].ContinentID);
            if (Rank < 2 && Plan.ClubCount >= 4)
                Team.ContinentalCompetitionID = ContinentalCups_[2 * Continent];
            else if (Rank < 4 && Plan.ClubCount >= 8)
                Team.ContinentalCompetitionID = ContinentalCups_[2 * Continent + 1];
        }
        Club.Teams.push_back(Team.ID);
    }
    return Team.ID;
}

// A club's first team shares the club's UniqueID; every further squad (one in three clubs has one, one in seven
// two) comes with a companion club that carries its name and lends it its UniqueID. National teams do the same.
void TWorldGenerator::AddTeams() {
    for (int32_t Club : MainClubs_) {
        AddTeam(Club, false, Club, 0, 10);
        const int Roll = Random_.Int(0, 99);
        const int Extra = Roll < 50 ? 0 : (Roll < 85 ? 1 : 2);
        const std::size_t First = Random_.Next() % SquadKinds.size();
        // A copy: the companion clubs are appended to the table this would point into.
        const TClubText Texts = World_.Clubs[static_cast<std::size_t>(Club)].Texts.at(DefaultLanguageUniqueID);
        for (int S = 0; S < Extra; ++S) {
            const auto& Kind = SquadKinds[(First + static_cast<std::size_t>(S)) % SquadKinds.size()];
            const int32_t Companion = AddCompanionClub(Texts.Name + Kind.Long, Texts.ShortName + Kind.Short,
                                                       World_.Clubs[static_cast<std::size_t>(Club)].NationID);
            AddTeam(Club, false, Companion, Kind.SquadType, static_cast<uint8_t>(Random_.Chance(40) ? 11 : 10));
        }
    }
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        const auto ID = static_cast<int32_t>(N);
        const std::u16string Name = World_.Nations[N].Texts.at(DefaultLanguageUniqueID).Name;
        Nations_[N].Team =
            AddTeam(ID, true, AddCompanionClub(Name, Name, ID), 0, static_cast<uint8_t>(Random_.Chance(20) ? 11 : 10));
        if (Nations_[N].PeopleCount >= 400)
            Nations_[N].U21Team = AddTeam(ID, true, AddCompanionClub(Name + u" U21", Name + u" U21", ID), 10, 10);
    }
}

void TWorldGenerator::AddAwards() {
    auto Add = [&](const std::u16string& Name, const std::u16string& Short, int32_t Continent, int32_t Nation,
                   int32_t Competition, uint8_t MaxAge) {
        AddAwardRecord({.ID = static_cast<int32_t>(World_.Awards.size()),
                        .Name = Name,
                        .Short = Short,
                        .Type = static_cast<uint8_t>(MaxAge != 0 ? 1 : 0),
                        .Continent = Continent,
                        .Nation = Nation,
                        .Competition = Competition,
                        .MaxAge = MaxAge,
                        .LastYear = 2004});
    };
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        const auto& Nation = World_.Nations[N];
        const std::u16string Name = Nation.Texts.at(DefaultLanguageUniqueID).Name;
        if (Nations_[N].ClubCount >= 4)
            Add(Name + u" Player of the Year", u"Player of the Year", Nation.ContinentID, Nation.ID,
                Nations_[N].Leagues.front(), 0);
        if (Nations_[N].ClubCount >= 12)
            Add(Name + u" Young Player of the Year", u"Young Player", Nation.ContinentID, Nation.ID,
                Nations_[N].Leagues.front(), 21);
    }
    for (const auto& Continent : World_.Continents)
        Add(Continent.Texts.at(DefaultLanguageUniqueID).Name + u" Footballer of the Year", u"Footballer of the Year",
            Continent.ID, -1, ContinentalCups_[2 * static_cast<std::size_t>(Continent.ID)], 0);
}

// Media of every scope: club (1), city (2), region (3), nation (4), continent (5), none (6), competition (7).
void TWorldGenerator::AddMedia() {
    AddMediaRecord(u"Worldwide Football Online", u"WFO", 6, 1, 6, 0, {});
    for (const auto& Continent : World_.Continents) {
        const std::u16string Name = Continent.Texts.at(DefaultLanguageUniqueID).Name;
        AddMediaRecord(Name + u" Football Weekly", Continent.Texts.at(DefaultLanguageUniqueID).ShortName + u" Weekly",
                       2, 4, 5, Continent.UniqueID, {});
        const auto& Region = World_.Regions[static_cast<std::size_t>(RegionOf(Continent.ID, 0))];
        AddMediaRecord(u"Radio " + Name, u"Radio " + Name.substr(0, 3), 4, 1, 3, Region.UniqueID, {});
    }
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        const auto& Nation = World_.Nations[N];
        const auto& Plan = Nations_[N];
        const std::u16string Name = Nation.Texts.at(DefaultLanguageUniqueID).Name;
        std::vector<int32_t> TopClubs;
        for (std::size_t C = 0; C < Plan.Clubs.size() && C < 5; ++C)
            TopClubs.push_back(World_.Clubs[static_cast<std::size_t>(Plan.Clubs[C])].UniqueID);
        AddMediaRecord(Name + u" Sport TV", Name.substr(0, 2) + u" TV", 5, 1, 4, Nation.UniqueID, TopClubs);
        const auto& Capital = World_.Cities[static_cast<std::size_t>(Nation.CapitalCityID)];
        AddMediaRecord(Capital.Texts.at(DefaultLanguageUniqueID).Name + u" Evening Post", u"Evening Post", 1, 9, 2,
                       Capital.UniqueID, {});
        if (Plan.ClubCount >= 4) {
            const auto& League = World_.Competitions[static_cast<std::size_t>(Plan.Leagues.front())];
            AddMediaRecord(League.Texts.at(DefaultLanguageUniqueID).Name + u" Insider", u"Insider", 3, 5, 7,
                           League.UniqueID, {});
        }
    }
    for (int32_t Club : MainClubs_) {
        if (!Random_.Chance(10))
            continue;
        const auto& Record = World_.Clubs[static_cast<std::size_t>(Club)];
        const auto& City = World_.Cities[static_cast<std::size_t>(Clubs_[static_cast<std::size_t>(Club)].City)];
        AddMediaRecord(u"The " + City.Texts.at(DefaultLanguageUniqueID).Name + u" Echo", u"Echo", 1, 2, 1,
                       Record.UniqueID, {Record.UniqueID});
    }
}

// Now and then a club is building a new ground (a move, with a new stadium record) or changing the capacity of
// its own (a capacity change).
void TWorldGenerator::AddStadiumMoves() {
    for (int32_t Club : MainClubs_) {
        const auto& Plan = Clubs_[static_cast<std::size_t>(Club)];
        const int32_t Team = Plan.Teams.front();
        const auto& Old = World_.Stadiums[static_cast<std::size_t>(Plan.Stadium)];
        if (Random_.Chance(2)) {
            TStadium New = Old;
            New.ID = static_cast<int32_t>(World_.Stadiums.size());
            New.UniqueID = NextUniqueID();
            New.Capacity = Old.Capacity + Random_.Int(5, 30) * 1000;
            New.SeatingCapacity = New.Capacity;
            New.UsedCapacity = 0;
            New.State = 1;
            New.NearbyStadiumID = Old.ID;
            const std::u16string Name = u"New " + Old.Texts.at(DefaultLanguageUniqueID).Name;
            New.Texts = Translate<TStadiumText>([&](int32_t L) { return TStadiumText{Tr(Name, L), 0}; });
            TStadiumMove& Move = AddRecord(World_.StadiumMoves);
            Move.TeamID = Team;
            Move.StadiumID = Old.ID;
            Move.NewStadiumID = New.ID;
            Move.LeaveDate = TDate{Random_.Short(120, 180), 2004};
            Move.StartDate = TDate{Random_.Short(190, 230), 2004};
            Move.NewCapacity = -1;
            Move.Kind = 1;
            Move.AlternativeStadiumID = World_.Nations[static_cast<std::size_t>(Plan.Nation)].NationalStadiumID;
            World_.Stadiums.push_back(std::move(New));
        }
        if (Random_.Chance(3)) {
            TStadiumMove& Change = AddRecord(World_.StadiumMoves);
            Change.TeamID = Team;
            Change.StadiumID = Plan.Stadium;
            Change.StartDate = RandomDate(2003, 2004);
            Change.NewCapacity =
                World_.Stadiums[static_cast<std::size_t>(Plan.Stadium)].Capacity + Random_.Int(1, 10) * 1000;
            Change.Kind = 2;
            Change.AlternativeStadiumID = Plan.Stadium;
        }
    }
}

void TWorldGenerator::AddClubDebts() {
    for (int32_t Club : MainClubs_) {
        const int32_t Team = FirstTeamOf(Club);
        if (Random_.Chance(25))
            AddClubDebt(Team, 1, Random_.Int(1, 200) * 50000, Random_.Short(6, 120), 0);
        if (Random_.Chance(8))
            AddClubDebt(Team, 2, Random_.Int(1, 100) * 20000, Random_.Short(6, 60), 0);
        if (Random_.Chance(90))
            AddClubDebt(Team, 0, 0, 0, Random_.Int(0, 400) * 25000);
    }
}

// Past winners: a nation's clubs for its competitions, the continent's leading clubs for continental cups, and
// national teams (with a host) for the world trophy. Years ascend and are distinct within each competition.
void TWorldGenerator::AddCompetitionHistories() {
    std::vector<std::vector<int32_t>> ContinentTeams(World_.Continents.size());
    for (std::size_t N = 0; N < Nations_.size(); ++N)
        for (std::size_t C = 0; C < Nations_[N].Clubs.size() && C < 3; ++C)
            ContinentTeams[static_cast<std::size_t>(World_.Nations[N].ContinentID)].push_back(
                FirstTeamOf(Nations_[N].Clubs[C]));
    std::vector<int32_t> NationTeams;
    for (const auto& Plan : Nations_)
        NationTeams.push_back(Plan.Team);

    for (const auto& Competition : World_.Competitions) {
        std::vector<int32_t> Candidates;
        if (Competition.NationID >= 0) {
            for (int32_t Club : Nations_[static_cast<std::size_t>(Competition.NationID)].Clubs)
                Candidates.push_back(FirstTeamOf(Club));
        } else if (Competition.ContinentID >= 0) {
            Candidates = ContinentTeams[static_cast<std::size_t>(Competition.ContinentID)];
        } else {
            Candidates = NationTeams;
        }
        if (Candidates.empty())
            continue;
        for (int16_t Year = 1994; Year <= 2003; ++Year) {
            if (!Random_.Chance(60))
                continue;
            std::array<int32_t, 3> Placed = {-1, -1, -1};
            for (std::size_t P = 0; P < Placed.size() && P < Candidates.size(); ++P) {
                int32_t Team = PickOf(Candidates);
                while (std::find(Placed.begin(), Placed.end(), Team) != Placed.end())
                    Team = PickOf(Candidates);
                Placed[P] = Team;
            }
            AddCompetitionHistory(Competition.ID, Year, Placed,
                                  [&] { return Competition.ID == WorldTrophy_ ? PickOf(Candidates) : -1; });
        }
    }
}

// What clubs and nations say about people and each other: captains, record holders, next-sale percentages of
// co-owned players, rivals and favourite staff.
void TWorldGenerator::AddClubAndNationLinks() {
    const std::array<std::u16string, 4> ClubRecordTexts = {u"Most Appearances", u"Most Goals", u"Record Fee Paid",
                                                           u"Record Fee Received"};
    for (int32_t ClubID : MainClubs_) {
        auto& Club = World_.Clubs[static_cast<std::size_t>(ClubID)];
        const auto& Plan = Clubs_[static_cast<std::size_t>(ClubID)];
        const auto& Nation = Nations_[static_cast<std::size_t>(Plan.Nation)];
        if (!Plan.Players.empty()) {
            Club.CaptainID = World_.People[Plan.Players[Random_.Next() % Plan.Players.size()]].ID;
            if (Random_.Chance(25)) {
                const auto& Holder1 = World_.People[Plan.Players[Random_.Next() % Plan.Players.size()]];
                const auto& Holder2 = World_.People[Plan.Players[Random_.Next() % Plan.Players.size()]];
                Club.TransferInfo.push_back(TeamRecords(Holder1.UniqueID, Random_.Short(50, 600),
                                                        Random_.Chance(50) ? Holder2.UniqueID : 0,
                                                        Random_.Short(10, 200), ClubRecordTexts));
            }
        }
        if (Nation.Clubs.size() > 1 && Random_.Chance(40)) {
            int32_t Rival = PickOf(Nation.Clubs);
            if (Rival != ClubID)
                Club.Container.Relationships.push_back(
                    TRelationship{1, 5, static_cast<uint8_t>(Random_.Int(10, 20) * 5), 0, Rival});
        }
        if (!Nation.Staff.empty() && Random_.Chance(5))
            Club.Container.Relationships.push_back(
                TRelationship{3, 1, static_cast<uint8_t>(Random_.Int(1, 20) * 5), 0,
                              World_.People[Nation.Staff[Random_.Next() % Nation.Staff.size()]].ID});
    }
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        const auto& Plan = Plans_[K];
        if (Plan.CoOwnerClub < 0)
            continue;
        const auto Percent = static_cast<uint8_t>(Random_.Int(2, 10) * 5);
        World_.Clubs[static_cast<std::size_t>(Plan.Club)].TransferInfo.push_back(
            NextSale(World_.People[K], Plan.CoOwnerClub, Percent));
    }
    const std::array<std::u16string, 4> NationRecordTexts = {u"Most Caps", u"Top Scorer", u"", u""};
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        auto& Nation = World_.Nations[N];
        if (Nations_.size() > 1 && Random_.Chance(30)) {
            const auto Rival = static_cast<int32_t>(Random_.Next() % Nations_.size());
            if (Rival != Nation.ID)
                Nation.Container.Relationships.push_back(TRelationship{2, 6, 0, 0, Rival});
        }
        const auto& Players = Nations_[N].Players;
        if (Options_.Version > 144 && !Players.empty() && Random_.Chance(25))
            Nation.TransferInfo.push_back(TeamRecords(World_.People[Players[Random_.Next() % Players.size()]].UniqueID,
                                                      Random_.Short(20, 150),
                                                      World_.People[Players[Random_.Next() % Players.size()]].UniqueID,
                                                      Random_.Short(5, 70), NationRecordTexts));
    }
}

} // namespace wb
