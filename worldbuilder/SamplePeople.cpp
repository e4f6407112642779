#include "SampleBuilder.h"
#include "SampleText.h"

#include <array>

namespace wb {

namespace {

constexpr std::array<const char*, 16> FirstNames = {"Anna", "Bram",  "Carl", "Dario", "Emil", "Felix", "Goran", "Hugo",
                                                    "Ivo",  "Jonas", "Kai",  "Luca",  "Mats", "Niko",  "Oskar", "Per"};
constexpr std::array<const char*, 16> SecondNames = {"Berg",  "Castell", "Dahl",   "Eriksen", "Ferro", "Gallo",
                                                     "Holm",  "Ibsen",   "Jansen", "Kovac",   "Lund",  "Moreau",
                                                     "Novak", "Olsen",   "Petrov", "Quist"};
constexpr std::array<const char*, 4> CommonNames = {"Zico", "Nene", "Tito", "Pepe"};

// Reputations and abilities, drawn alike into a player's and a staff member's block; the potential ability lies up
// to Headroom above the current one.
template <class TBlock> void DrawStanding(TBlock& Block, TSampleRandom& Random, int Headroom) {
    Block.HomeReputation = Random.Short(100, 9000);
    Block.CurrentReputation = Random.Short(100, 9000);
    Block.WorldReputation = Random.Short(0, 9000);
    Block.CurrentAbility = Random.Short(40, 180);
    Block.PotentialAbility = static_cast<int16_t>(Block.CurrentAbility + Random.Short(0, Headroom));
}

} // namespace

// People stand in nation order: the first has no nation, the next two nations 0 and 1, every later person k the
// nation k (nation 2 stays empty). The first twelve hold fixed posts; the rest are players and staff in turn.
void TSampleBuilder::PlanPeople() {
    const auto Count = static_cast<std::size_t>(Options_.PeopleCount);
    Plans_.assign(Count, TPlan{});
    for (std::size_t K = 0; K < Count; ++K)
        Plans_[K].Nation = K == 0 ? -1 : (K <= 2 ? static_cast<int32_t>(K) - 1 : static_cast<int32_t>(K));
    auto Post = [&](std::size_t K, uint8_t Type, int32_t Team, uint8_t JobCode, int32_t National = -1,
                    uint8_t NationalJob = 0) {
        Plans_[K].Type = Type;
        Plans_[K].ClubTeam = Team;
        Plans_[K].ClubJob = JobCode;
        Plans_[K].NationalTeam = National;
        Plans_[K].NationalJob = NationalJob;
    };
    Post(0, 2, -1, Job::None);
    Post(1, 2, TeamNorthport, Job::Player, TeamNation0, Job::Player);
    Post(2, 2, TeamNorthport, Job::Player, TeamNation1, Job::Player);
    Plans_[2].CoOwnerClub = Westfield;
    Post(3, 1, TeamNorthport, Job::Manager, TeamNation0, Job::Manager);
    Post(4, 3, TeamEastbridge, Job::PlayerCoach);
    Post(5, 4, -1, Job::None);
    Post(6, 1, TeamEastbridge, Job::Chairman);
    Post(7, 1, TeamNorthport, Job::Physio);
    Post(8, 1, TeamWestfield, Job::Coach, TeamNation3, Job::Coach);
    Post(9, 1, TeamNorthport, Job::Scout);
    Post(10, 1, TeamWestfield, Job::ManagingDirector);
    Post(11, 2, TeamWestfield, Job::Player, TeamNation3, Job::Player);
    constexpr std::array<std::pair<int32_t, uint8_t>, 4> StaffPosts = {{{TeamEastbridge, Job::AssistantManager},
                                                                        {TeamNorthport, Job::GeneralManager},
                                                                        {TeamEastbridge, Job::DirectorOfFootball},
                                                                        {TeamWestfieldU21, Job::Coach}}};
    constexpr std::array<int32_t, 5> PlayerTeams = {TeamEastbridge, TeamWestfieldU21, TeamNorthportReserves,
                                                    TeamWestfield, TeamNorthport};
    // Beyond a couple of hundred extra people nobody gets a post, so byte-counted squad and board lists stay within
    // their counts however large the world.
    constexpr std::size_t LastWithPost = 12 + 200;
    for (std::size_t K = 12; K < Count; ++K) {
        if (K >= LastWithPost)
            Post(K, K % 4 == 0 ? 1 : 2, -1, Job::None);
        else if (K % 4 == 0)
            Post(K, 1, StaffPosts[(K / 4) % 4].first, StaffPosts[(K / 4) % 4].second);
        else
            Post(K, 2, PlayerTeams[K % 5], Job::Player);
    }
}

void TSampleBuilder::AddPeople() {
    const auto IDs = Random_.Distinct(Plans_.size(), 1, 8 * static_cast<int32_t>(Plans_.size()));
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        TPerson Person;
        Person.RecordType = Plans_[K].Type;
        Person.ID = IDs[K];
        Person.UniqueID = NextUniqueID();
        World_.People.push_back(std::move(Person));
        AddPerson(K);
    }
    // Names nobody uses any more stay in their pools; one has no nation, one belongs to nation 0.
    AddName(World_.FirstNames, u"Unclaimed", 0, -1);
    AddName(World_.FirstNames, u"Aldo", 0, 0);
    AddName(World_.SecondNames, u"Nobody", 0, -1);
    AddName(World_.CommonNames, u"Nemo", 0, -1);
}

void TSampleBuilder::AddPerson(std::size_t K) {
    TPerson& Person = World_.People[K];
    const TPlan& Plan = Plans_[K];
    Person.NationID = Plan.Nation;
    if (Person.IsPlayer()) {
        auto& Player = Person.Player;
        DrawStanding(Player, Random_, 20);
        Player.EstimatedValue = Random_.Int(0, 400) * 25000;
        Player.Short26 = Random_.Short(0, 30);
        Player.DeclaredForNation = static_cast<uint8_t>(Plan.NationalTeam >= 0 ? 1 : 0);
        Player.Weight = Random_.Short(60, 95);
        Player.Height = Random_.Short(65, 77);
        Player.Byte41 = Random_.Byte(0, 2);
        if (K == 1 || K == 2 || K % 3 == 0) {
            Player.CareerStatsFlag = 1;
            const int16_t Apps = Random_.Short(20, 400);
            Player.CareerStats = {Random_.Short(0, 60),
                                  Random_.Short(0, 80),
                                  Apps,
                                  Random_.Short(0, 60),
                                  Random_.Short(0, 80),
                                  Apps,
                                  static_cast<int16_t>(Apps - 10),
                                  static_cast<int16_t>(Apps - 10)};
        }
        Player.Block28[K % 28] = Random_.Byte(1, 9);
        Player.TailInt1 = Options_.Version == 112 ? -3 : 2;
        Player.TailByte145 = Random_.Byte(0, 1);
        AddPlayingData(Person, [&](TPlayingData& Data) {
            for (auto& Attribute : Data.Attributes)
                Attribute = Random_.Byte(1, 20);
        });
    }
    if (Person.IsStaff()) {
        DrawStanding(Person.Staff, Random_, 10);
        Person.Staff.PreferredFormation = Random_.Byte(0, 17);
        AddNonPlayingData(Person);
    }
    if (Person.IsOfficial()) {
        auto& Official = Person.Official;
        Official.CityID = 1;
        Official.CurrentAbility = Random_.Short(60, 180);
        Official.PotentialAbility = static_cast<int16_t>(Official.CurrentAbility + 5);
        Official.Reputation = Random_.Short(1000, 8000);
        DrawRefereeing(Official);
        Official.FIFAOfficial = 1;
        Official.ContinentalOfficial = 1;
        Official.DivisionUniqueID = World_.Competitions[0].UniqueID;
    } else {
        AddPersonData(Person);
    }
    Person.DateOfBirth = Person.IsPlayer() ? RandomDate(1970, 1986) : RandomDate(1940, 1970);
    if (Plan.NationalTeam >= 0) {
        Person.NationalTeamID = Plan.NationalTeam;
        Person.NationalJob = Plan.NationalJob;
        Person.DateJoinedNation = RandomDate(1996, 2003);
        if (Person.IsPlayer()) {
            Person.InternationalApps = Random_.Byte(1, 90);
            Person.InternationalGoals = Random_.Byte(0, 30);
        }
    }
    if (Person.IsPlayer()) {
        Person.U21Apps = Random_.Byte(0, 20);
        Person.U21Goals = Random_.Byte(0, 5);
    }
    if (Plan.ClubTeam >= 0) {
        Person.ClubTeamID = Plan.ClubTeam;
        Person.ClubJob = Plan.ClubJob;
        Person.DateJoinedClub = RandomDate(1995, 2003);
    }
    Person.ByteAfterClub = Random_.Byte(0, 1);
    Person.CityOfBirthID = K % 3 == 0 ? -1 : static_cast<int32_t>(K % World_.Cities.size());
    if (K % 4 == 1)
        Person.IntAfterOffers1 = Random_.Int(1, 9);
    Person.ByteBeforeTail145 = Random_.Byte(0, 1);
    Person.ByteBeforeTail = Random_.Byte(0, 1);
    if (Person.IsPlayer() && Person.IsStaff())
        Person.TrailingShort = 7;
    AddContracts(Person, Plan);
    AddNames(Person, K);

    const int32_t Native = Plan.Nation < 0 ? 0 : World_.Nations[static_cast<std::size_t>(Plan.Nation)].LanguageIDs[0];
    World_.PersonLanguages.push_back(
        TPersonLanguage{Person.ID, Native, static_cast<uint8_t>(Plan.Nation < 0 ? 8 : 10)});
    if (K % 3 == 0 || K == 2)
        World_.PersonLanguages.push_back(TPersonLanguage{Person.ID, K == 2 ? 1 : 5, Random_.Byte(3, 7)});
}

void TSampleBuilder::AddNames(TPerson& Person, std::size_t K) {
    const int32_t Nation = Person.NationID;
    Person.FirstNameID = AddName(World_.FirstNames, U16(FirstNames[Random_.Next() % FirstNames.size()]), 1, Nation);
    Person.SecondNameID = AddName(World_.SecondNames, U16(SecondNames[Random_.Next() % SecondNames.size()]), 1, Nation);
    if (K % 5 == 1)
        Person.CommonNameID =
            AddName(World_.CommonNames, U16(CommonNames[Random_.Next() % CommonNames.size()]), 1, Nation);
}

// Club contract first, the co-owner's second, the nation's last.
void TSampleBuilder::AddContracts(TPerson& Person, const TPlan& Plan) {
    AddClubContracts(Person, Plan.ClubTeam, Plan.ClubJob, Plan.CoOwnerClub);
    if (Plan.NationalTeam >= 0 && JobHasContract(Plan.NationalJob)) {
        TContract Nation = TContract::Nation(World_.Teams[static_cast<std::size_t>(Plan.NationalTeam)].ContainerID);
        FillContract(Nation);
        Person.Contracts.push_back(Nation);
    }
}

void TSampleBuilder::AddRelationships() {
    auto Set = [&](std::size_t K, std::vector<TRelationship> Relationships) {
        auto& Person = World_.People[K];
        Person.Relationships = std::move(Relationships);
        Person.RelationshipsFlag = Person.Relationships.empty() ? 0 : 1;
    };
    Set(1, {{1, 3, 60, 0, Eastbridge}});
    Set(2, {{2, 9, 15, 0, 3}, {3, 1, 70, 0, PersonID(3)}});
    Set(3, {{3, 2, 40, 0, PersonID(6)}, {1, 3, 100, 0, Northport}});
    Set(4, {{1, 4, 25, 0, Westfield}, {0, 10, 100, 0, -1}});
    Set(6, {{4, 3, 50, 0, TeamEastbridge}, {5, 3, 30, 0, 2}});
}

void TSampleBuilder::FileIntoTeams() {
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        FileIntoTeam(Plans_[K].ClubTeam, Plans_[K].ClubJob, PersonID(K));
        FileIntoTeam(Plans_[K].NationalTeam, Plans_[K].NationalJob, PersonID(K));
    }
}

// Loans, starting injuries, starting confidences and future transfers, each table in person order.
void TSampleBuilder::AddAttachedRecords() {
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        const TPerson& Person = World_.People[K];
        const bool Extra = K >= 12 && Plans_[K].ClubTeam >= 0;
        if (Person.IsPlayer() && (K == 11 || (Extra && K % 5 == 0))) {
            TLoan& Loan = AddRecord(World_.Loans);
            Loan.PersonID = Person.ID;
            Loan.TeamID = K == 11 ? TeamNorthportReserves : TeamEastbridge;
            Loan.StartDate = TDate{200, 2003};
            Loan.EndDate = TDate{150, 2004};
        }
        if (Person.IsPlayer() && (K == 0 || K == 2 || (Extra && K % 6 == 1)))
            AddStartingInjury(
                Person.ID, [&] { return World_.Injuries[K == 2 ? 2 : 0].ID; }, 220);
        if (Person.IsStaff() && (K == 3 || K == 8))
            AddStartingConfidence(Person.ID);
        if (Person.IsPlayer() && (K == 4 || (Extra && K % 7 == 0))) {
            TFutureTransfer& Transfer = AddRecord(World_.FutureTransfers);
            Transfer.PersonID = Person.ID;
            Transfer.TeamID = K == 4 ? TeamNorthport : TeamWestfield;
            Transfer.TransferDate = TDate{181, 2004};
            Transfer.TransferFee = Random_.Int(1, 100) * 50000;
            Transfer.FutureWage = Random_.Int(1, 100) * 500;
            Transfer.ContractYears = Random_.Byte(1, 5);
        }
    }
}

// Grouped by award in award order, years ascending and distinct within each award.
void TSampleBuilder::AddAwardHistories() {
    struct TSeed {
        int32_t Award;
        int16_t Year;
        int Person1, Person2, Person3;
    };
    constexpr std::array<TSeed, 5> Seeds = {{{20, 2001, 1, 2, -1},
                                             {20, 2002, 2, 1, 4},
                                             {21, 2003, 11, -1, -1},
                                             {22, 2000, 2, -1, -1},
                                             {22, 2003, 4, 1, 11}}};
    auto Winner = [&](int K) { return K < 0 ? -1 : PersonID(static_cast<std::size_t>(K)); };
    for (const auto& Seed : Seeds)
        AddAwardHistory(Seed.Award, Seed.Year, [&] {
            return std::array<int32_t, 3>{Winner(Seed.Person1), Winner(Seed.Person2), Winner(Seed.Person3)};
        });
}

// Players' seasons; two spells in one season (a loan), and teams outside the database (-1).
void TSampleBuilder::AddPlayingHistories() {
    if (!Options_.Histories)
        return;
    THistoryFiles Files;
    Files.IndexVersion = Options_.Version;
    auto TeamUID = [&](int32_t Team) { return World_.Teams[static_cast<std::size_t>(Team)].UniqueID; };
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        const TPerson& Person = World_.People[K];
        if (!Person.IsPlayer())
            continue;
        TPlayingHistory History;
        History.PersonUniqueID = Person.UniqueID;
        auto Season = [&](int16_t Year, int32_t TeamUniqueID, uint8_t OnLoan = 0) {
            History.Entries.push_back(
                TPlayingHistoryEntry{Year, OnLoan, Random_.Byte(1, 46), Random_.Byte(0, 20), TeamUniqueID});
        };
        if (K == 0) {
            Season(2002, -1);
            Season(2003, TeamUID(TeamNorthportReserves));
        } else if (K == 2) {
            Season(1999, TeamUID(TeamWestfield));
            Season(2000, TeamUID(TeamWestfield));
            Season(2001, TeamUID(TeamEastbridge), 1);
            Season(2001, TeamUID(TeamNorthport));
        } else {
            const int Seasons = Random_.Int(1, 3);
            for (int S = 0; S < Seasons; ++S)
                Season(static_cast<int16_t>(2001 + S),
                       S == 0 || Plans_[K].ClubTeam < 0 ? -1 : TeamUID(Plans_[K].ClubTeam));
        }
        Files.Histories.push_back(std::move(History));
    }
    World_.Histories = std::move(Files);
}

} // namespace wb
