#include "SampleBuilder.h"
#include "SampleText.h"

#include <array>

namespace wb {

namespace {

constexpr int32_t CompetitionIDBase = 10; // competitions keep their IDs on a save; these are not positions

struct TClubSeed {
    const char *Name, *Short, *Nick1, *Nick2;
    int32_t Nation;
};
constexpr std::array<TClubSeed, 3> ClubSeeds = {{{"Northport United", "Northport", "The Harbourmen", "United", 0},
                                                 {"Eastbridge Rovers", "Eastbridge", "The Rovers", "", 1},
                                                 {"Westfield Athletic", "Westfield", "The Athletic", "Wessies", 3}}};

TRelationship Relationship(uint8_t TargetType, uint8_t Kind, uint8_t Amount, int32_t TargetID) {
    return TRelationship{TargetType, Kind, Amount, 0, TargetID};
}

} // namespace

void TSampleBuilder::AddCompetitions() {
    struct TSeed {
        const char *Name, *Short, *Three;
        int32_t Continent, Nation;
        uint8_t Level;
    };
    constexpr std::array<TSeed, 6> Seeds = {{{"Aldoria Premier League", "Premier League", "APL", 0, 0, 1},
                                             {"Aldoria Cup", "Cup", "ACU", 0, 0, 2},
                                             {"Belmark First Division", "First Division", "BFD", 0, 1, 1},
                                             {"Dunmore League", "League", "DUL", 0, 3, 1},
                                             {"Continental Champions Cup", "Champions Cup", "CCC", 0, -1, 10},
                                             {"World Nations Trophy", "Nations Trophy", "WNT", -1, -1, 20}}};
    for (std::size_t I = 0; I < Seeds.size(); ++I) {
        const auto& Seed = Seeds[I];
        AddCompetitionRecord(CompetitionIDBase + static_cast<int32_t>(I),
                             {U16(Seed.Name), U16(Seed.Short), U16(Seed.Three)}, Seed.Continent, Seed.Nation,
                             Seed.Level, [&] { return Random_.Short(5, 20); });
    }
}

void TSampleBuilder::AddClubs() {
    for (const auto& Seed : ClubSeeds) {
        TClub& Club = AddClubRecord(U16(Seed.Name), U16(Seed.Short), Seed.Nation);
        Club.YouthAcademy = Random_.Byte(0, 1);
        Club.YouthSetup = Random_.Byte(1, 20);
        Club.ProfessionalStatus = 1;
        Club.AverageAttendance = Random_.Int(8000, 30000);
        Club.MinimumAttendance = Club.AverageAttendance / 2;
        Club.MaximumAttendance = Club.AverageAttendance + Random_.Int(1000, 5000);
        Club.Training = Random_.Byte(1, 20);
        Club.PublicLimitedCompany = static_cast<uint8_t>(Seed.Nation == 0 ? 1 : 0);
        Club.ClubValue1 = Random_.Short(0, 300);
        Club.Balance = Random_.Int(-2000000, 9000000);
        Club.ClubValue5 = Random_.Byte(0, 3);
        for (int K = 0; K < 1 + Seed.Nation % 3; ++K)
            Club.Container.Kits.push_back(RandomKit());
        DescribeClub(Club, u"Founded by dock workers.", U16(Seed.Nick1), U16(Seed.Nick2));
    }
    // A second squad's companion club carries the squad's names; a national team's club record the nation's.
    AddClubRecord(u"Northport United Reserves", u"Northport Reserves", 0);
    AddClubRecord(u"Westfield Athletic U21", u"Westfield U21", 3);
    for (int32_t Nation : {0, 1, 3}) {
        const auto& Name = World_.Nations[static_cast<std::size_t>(Nation)].Texts.at(DefaultLanguageUniqueID).Name;
        AddClubRecord(Name, Name, Nation);
    }
}

void TSampleBuilder::AddTeams() {
    struct TSeed {
        uint8_t Kind;
        int32_t Container;
        uint8_t IsNation, SquadType;
        int32_t SharesWithClub, Stadium, Division, ContinentalCompetition;
    };
    constexpr int32_t None = -1;
    constexpr int32_t L = CompetitionIDBase;
    constexpr std::array<TSeed, TeamCount> Seeds = {{
        {10, Northport, 0, 0, Northport, 0, L + 0, L + 4},
        {10, Northport, 0, 1, NorthportReserves, 0, None, None},
        {10, Eastbridge, 0, 0, Eastbridge, 2, L + 2, L + 4},
        {10, Westfield, 0, 0, Westfield, 3, L + 3, None},
        {11, Westfield, 0, 10, WestfieldU21, 3, None, None},
        {10, 0, 1, 0, NationClub0, 4, None, L + 5},
        {11, 1, 1, 0, NationClub1, 2, None, L + 5},
        {10, 3, 1, 0, NationClub3, 3, None, L + 5},
    }};
    for (std::size_t I = 0; I < Seeds.size(); ++I) {
        const auto& Seed = Seeds[I];
        TTeam& Team = AddTeamRecord(Seed.Kind, Seed.Container, Seed.IsNation != 0, Seed.SharesWithClub, Seed.SquadType,
                                    [&](TTeam& Drawn) {
                                        Drawn.Reputation = Random_.Short(1000, 9000);
                                        Drawn.TeamValue1 = Seed.IsNation ? -1 : Random_.Int(0, 50);
                                    });
        Team.DivisionID = Seed.Division;
        Team.LastDivisionID = Seed.Division;
        Team.StadiumID = Seed.Stadium;
        Team.ContinentalCompetitionID = Seed.ContinentalCompetition;
        Team.OtherDivisionID = Seed.IsNation ? None : L + 1;
    }
}

void TSampleBuilder::AddClubAndNationLinks() {
    auto& Clubs = World_.Clubs;
    Clubs[Northport].CaptainID = PersonID(1);
    Clubs[Eastbridge].CaptainID = PersonID(4);
    Clubs[Westfield].CaptainID = PersonID(11);

    Clubs[Northport].TransferInfo = {
        NextSale(World_.People[2], Westfield, 20),
        TeamRecords(PersonUniqueID(1), 312, PersonUniqueID(11), 97,
                    {u"Most Appearances", u"Most Goals", u"Record Fee Paid", u"Record Fee Received"})};
    Clubs[Eastbridge].TransferInfo = {TeamRecords(PersonUniqueID(4), 188, 0, 0, {})};

    Clubs[Northport].Container.Relationships = {Relationship(1, 5, 80, Eastbridge),
                                                Relationship(3, 1, 60, PersonID(3))};
    Clubs[Eastbridge].Container.Relationships = {Relationship(1, 5, 70, Northport)};
    World_.Nations[0].Container.Relationships = {Relationship(2, 6, 0, 1)};
    World_.Nations[1].Container.Relationships = {Relationship(2, 6, 0, 0)};
    if (Options_.Version > 144)
        World_.Nations[0].TransferInfo = {
            TeamRecords(PersonUniqueID(1), 45, PersonUniqueID(2), 12, {u"Most Caps", u"Top Scorer", u"", u""})};
}

void TSampleBuilder::AddAwards() {
    struct TSeed {
        const char *Name, *Short;
        int32_t Continent, Nation, Competition;
        uint8_t MaxAge;
    };
    constexpr std::array<TSeed, 3> Seeds = {
        {{"Aldoria Player of the Year", "Player of the Year", 0, 0, CompetitionIDBase, 0},
         {"Aldoria Young Player of the Year", "Young Player", 0, 0, CompetitionIDBase, 21},
         {"Continental Footballer of the Year", "Footballer of the Year", 0, -1, -1, 0}}};
    for (std::size_t I = 0; I < Seeds.size(); ++I) {
        const auto& Seed = Seeds[I];
        AddAwardRecord({.ID = 20 + static_cast<int32_t>(I),
                        .Name = U16(Seed.Name),
                        .Short = U16(Seed.Short),
                        .Type = static_cast<uint8_t>(I),
                        .Continent = Seed.Continent,
                        .Nation = Seed.Nation,
                        .Competition = Seed.Competition,
                        .MaxAge = Seed.MaxAge});
    }
}

void TSampleBuilder::AddMedia() {
    const auto& Clubs = World_.Clubs;
    struct TSeed {
        const char *Long, *Short;
        uint8_t Type, Period, Scope;
        int32_t Target;
    };
    // Targets of each scope: a club, a city, a region, a nation, a continent, none, a competition.
    const std::array<TSeed, 7> Seeds = {{
        {"The Northport Echo", "Echo", 1, 2, 1, Clubs[Northport].UniqueID},
        {"Aldenburg Evening Post", "Evening Post", 1, 9, 2, World_.Cities[1].UniqueID},
        {"Radio Southern Europe", "RSE", 4, 1, 3, World_.Regions[12].UniqueID},
        {"Aldoria Sport TV", "AS TV", 5, 1, 4, World_.Nations[0].UniqueID},
        {"Continental Football Weekly", "CFW", 2, 4, 5, World_.Continents[0].UniqueID},
        {"Worldwide Football Online", "WFO", 6, 1, 6, 0},
        {"Premier League Insider", "Insider", 3, 5, 7, World_.Competitions[0].UniqueID},
    }};
    for (std::size_t I = 0; I < Seeds.size(); ++I) {
        const auto& Seed = Seeds[I];
        std::vector<int32_t> Covered;
        if (I < 2)
            Covered = {Clubs[Northport].UniqueID};
        else if (I == 3)
            Covered = {Clubs[Northport].UniqueID, Clubs[Eastbridge].UniqueID, Clubs[Westfield].UniqueID};
        AddMediaRecord(U16(Seed.Long), U16(Seed.Short), Seed.Type, Seed.Period, Seed.Scope, Seed.Target, Covered);
    }
}

// Per team in team order: its move, then its capacity change.
void TSampleBuilder::AddStadiumMoves() {
    TStadiumMove Move;
    Move.TeamID = TeamNorthport;
    Move.StadiumID = 0;
    Move.NewStadiumID = 1;
    Move.LeaveDate = TDate{150, 2004};
    Move.StartDate = TDate{200, 2004};
    Move.NewCapacity = -1;
    Move.Kind = 1;
    Move.AlternativeStadiumID = 2;

    TStadiumMove Change;
    Change.TeamID = TeamNorthport;
    Change.StadiumID = 0;
    Change.StartDate = TDate{100, 2003};
    Change.NewCapacity = 35000;
    Change.Kind = 2;
    Change.AlternativeStadiumID = 0;

    TStadiumMove SecondChange = Change;
    SecondChange.TeamID = TeamWestfield;
    SecondChange.StadiumID = 3;
    SecondChange.StartDate = TDate{30, 2004};
    SecondChange.NewCapacity = 18000;
    SecondChange.AlternativeStadiumID = 3;

    for (TStadiumMove Record : {Move, Change, SecondChange}) {
        Record.ID = static_cast<int32_t>(World_.StadiumMoves.size());
        Record.UniqueID = NextUniqueID();
        World_.StadiumMoves.push_back(Record);
    }
}

// Per team in team order: its loans, then its transfer budget.
void TSampleBuilder::AddClubDebts() {
    AddClubDebt(TeamNorthport, 1, 5000000, 48, 0);
    AddClubDebt(TeamNorthport, 2, 1200000, 12, 0);
    AddClubDebt(TeamNorthport, 0, 0, 0, 3000000);
    AddClubDebt(TeamEastbridge, 0, 0, 0, 800000);
    AddClubDebt(TeamWestfield, 1, 2000000, 24, 0);
    AddClubDebt(TeamWestfield, 0, 0, 0, 1500000);
}

// Grouped by competition in competition order, years ascending and distinct within each.
void TSampleBuilder::AddCompetitionHistories() {
    struct TSeed {
        int32_t Competition;
        int16_t Year;
        int32_t First, Second, Third, Hosts;
    };
    constexpr int32_t None = -1;
    constexpr int32_t L = CompetitionIDBase;
    constexpr std::array<TSeed, 8> Seeds = {{
        {L + 0, 2000, TeamNorthport, TeamWestfield, None, None},
        {L + 0, 2001, TeamWestfield, TeamNorthport, None, None},
        {L + 0, 2002, TeamNorthport, None, None, None},
        {L + 2, 2002, TeamEastbridge, None, None, None},
        {L + 4, 2001, TeamNorthport, TeamEastbridge, TeamWestfield, None},
        {L + 4, 2003, TeamWestfield, TeamNorthport, None, None},
        {L + 5, 1998, TeamNation0, TeamNation1, TeamNation3, TeamNation1},
        {L + 5, 2002, TeamNation3, TeamNation0, None, TeamNation0},
    }};
    for (const auto& Seed : Seeds)
        AddCompetitionHistory(Seed.Competition, Seed.Year, {Seed.First, Seed.Second, Seed.Third},
                              [&] { return Seed.Hosts; });
}

} // namespace wb
