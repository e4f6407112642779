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
    auto Unused = [&](std::vector<TName>& Pool, std::u16string Text, int32_t Nation) {
        TName Name;
        Name.ID = static_cast<int32_t>(Pool.size());
        Name.UniqueID = NextUniqueID();
        Name.Text = std::move(Text);
        Name.NationID = Nation;
        Pool.push_back(Name);
    };
    Unused(World_.FirstNames, u"Unclaimed", -1);
    Unused(World_.FirstNames, u"Aldo", 0);
    Unused(World_.SecondNames, u"Nobody", -1);
    Unused(World_.CommonNames, u"Nemo", -1);
}

void TSampleBuilder::AddPerson(std::size_t K) {
    TPerson& Person = World_.People[K];
    const TPlan& Plan = Plans_[K];
    Person.NationID = Plan.Nation;
    if (Person.IsPlayer()) {
        auto& Player = Person.Player;
        Player.HomeReputation = Random_.Short(100, 9000);
        Player.CurrentReputation = Random_.Short(100, 9000);
        Player.WorldReputation = Random_.Short(0, 9000);
        Player.CurrentAbility = Random_.Short(40, 180);
        Player.PotentialAbility = static_cast<int16_t>(Player.CurrentAbility + Random_.Short(0, 20));
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
        TPlayingData Data;
        Data.ID = static_cast<int32_t>(World_.PlayingDatas.size());
        Data.UniqueID = NextUniqueID();
        for (auto& Attribute : Data.Attributes)
            Attribute = Random_.Byte(1, 20);
        Data.ExtraByte = Random_.Byte(0, 3);
        Player.PlayingDataID = Data.ID;
        World_.PlayingDatas.push_back(Data);
    }
    if (Person.IsStaff()) {
        auto& Staff = Person.Staff;
        Staff.HomeReputation = Random_.Short(100, 9000);
        Staff.CurrentReputation = Random_.Short(100, 9000);
        Staff.WorldReputation = Random_.Short(0, 9000);
        Staff.CurrentAbility = Random_.Short(40, 180);
        Staff.PotentialAbility = static_cast<int16_t>(Staff.CurrentAbility + Random_.Short(0, 10));
        Staff.PreferredFormation = Random_.Byte(0, 17);
        TNonPlayingData Data;
        Data.ID = static_cast<int32_t>(World_.NonPlayingDatas.size());
        Data.UniqueID = NextUniqueID();
        for (auto& Attribute : Data.Attributes)
            Attribute = Random_.Byte(1, 20);
        Staff.NonPlayingDataID = Data.ID;
        World_.NonPlayingDatas.push_back(Data);
    }
    if (Person.IsOfficial()) {
        auto& Official = Person.Official;
        Official.CityID = 1;
        Official.CurrentAbility = Random_.Short(60, 180);
        Official.PotentialAbility = static_cast<int16_t>(Official.CurrentAbility + 5);
        Official.Reputation = Random_.Short(1000, 8000);
        Official.AllowingFlow = Random_.Byte(1, 20);
        Official.Discipline = Random_.Byte(1, 20);
        Official.ImportantMatches = Random_.Byte(1, 20);
        Official.Pressure = Random_.Byte(1, 20);
        Official.Refereeing = Random_.Byte(1, 20);
        Official.RunningLine = Random_.Byte(1, 20);
        Official.Timekeeping = Random_.Byte(1, 20);
        Official.FIFAOfficial = 1;
        Official.ContinentalOfficial = 1;
        Official.DivisionUniqueID = World_.Competitions[0].UniqueID;
    } else {
        TPersonData Data;
        Data.ID = static_cast<int32_t>(World_.PersonDatas.size());
        Data.UniqueID = NextUniqueID();
        for (auto& Value : Data.Values)
            Value = Random_.Byte(1, 20);
        Person.PersonDataID = Data.ID;
        World_.PersonDatas.push_back(Data);
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
    auto Take = [&](std::vector<TName>& Pool, std::u16string Text) {
        TName Name;
        Name.ID = static_cast<int32_t>(Pool.size()); // provisional: the pools are sorted and renumbered at the end
        Name.UniqueID = NextUniqueID();
        Name.Text = std::move(Text);
        Name.UseCount = 1;
        Name.NationID = Person.NationID;
        Pool.push_back(Name);
        return Name.ID;
    };
    Person.FirstNameID = Take(World_.FirstNames, U16(FirstNames[Random_.Next() % FirstNames.size()]));
    Person.SecondNameID = Take(World_.SecondNames, U16(SecondNames[Random_.Next() % SecondNames.size()]));
    if (K % 5 == 1)
        Person.CommonNameID = Take(World_.CommonNames, U16(CommonNames[Random_.Next() % CommonNames.size()]));
}

// Club contract first, the co-owner's second, the nation's last.
void TSampleBuilder::AddContracts(TPerson& Person, const TPlan& Plan) {
    auto Fill = [&](TContract& Contract) {
        Contract.Ints5[0] = Random_.Int(0, 50000);
        Contract.EstimatedWage = Random_.Int(1, 400) * 250;
        Contract.ContractExpires = RandomDate(2004, 2008);
        Contract.Ints44[1] = Random_.Int(0, 3);
        Contract.ContractStart = RandomDate(1998, 2003);
        Contract.Short61 = Random_.Short(0, 3);
    };
    if (Plan.ClubTeam >= 0 && JobHasContract(Plan.ClubJob)) {
        TContract Club = TContract::Club(World_.Teams[static_cast<std::size_t>(Plan.ClubTeam)].ContainerID);
        Fill(Club);
        if (Person.IsPlayer())
            Club.SquadNumber = Random_.Byte(1, 40);
        Person.Contracts.push_back(Club);
        if (Plan.CoOwnerClub >= 0) {
            Person.Contracts[0].CoOwned = 1;
            TContract CoOwner = TContract::Club(Plan.CoOwnerClub);
            Fill(CoOwner);
            CoOwner.CoOwned = 1;
            CoOwner.EstimatedWage = Person.Contracts[0].EstimatedWage;
            Person.Contracts.push_back(CoOwner);
        }
    }
    if (Plan.NationalTeam >= 0 && JobHasContract(Plan.NationalJob)) {
        TContract Nation = TContract::Nation(World_.Teams[static_cast<std::size_t>(Plan.NationalTeam)].ContainerID);
        Fill(Nation);
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

// Every post lands where a team files it: players, coaches, physios, the manager; at a club's kind-10 team also
// the chairman, the board and the scouts.
void TSampleBuilder::FileIntoTeams() {
    auto File = [&](int32_t TeamIndex, uint8_t JobCode, int32_t Person) {
        if (TeamIndex < 0)
            return;
        TTeam& Team = World_.Teams[static_cast<std::size_t>(TeamIndex)];
        if (JobCode % 2 == 1)
            Team.PlayerIDs.push_back(Person);
        if (JobCode == Job::Coach || JobCode == Job::PlayerCoach || JobCode == Job::AssistantManager ||
            JobCode == Job::PlayerAssistantManager)
            Team.CoachIDs.push_back(Person);
        if (JobCode == Job::Physio)
            Team.PhysioIDs.push_back(Person);
        if (JobCode == Job::Manager || JobCode == Job::PlayerManager)
            Team.ManagerID = Person;
        if (Team.RecordType != 10 || Team.IsNationTeam != 0)
            return;
        TClub& Club = World_.Clubs[static_cast<std::size_t>(Team.ContainerID)];
        if (JobCode == Job::Chairman)
            Club.ChairmanID = Person;
        if (JobCode == Job::ManagingDirector || JobCode == Job::DirectorOfFootball || JobCode == Job::GeneralManager)
            Club.BoardMemberIDs.push_back(Person);
        if (JobCode == Job::Scout)
            Club.ScoutIDs.push_back(Person);
    };
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        File(Plans_[K].ClubTeam, Plans_[K].ClubJob, PersonID(K));
        File(Plans_[K].NationalTeam, Plans_[K].NationalJob, PersonID(K));
    }
}

// Loans, starting injuries, starting confidences and future transfers, each table in person order.
void TSampleBuilder::AddAttachedRecords() {
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        const TPerson& Person = World_.People[K];
        const bool Extra = K >= 12 && Plans_[K].ClubTeam >= 0;
        if (Person.IsPlayer() && (K == 11 || (Extra && K % 5 == 0))) {
            TLoan Loan;
            Loan.ID = static_cast<int32_t>(World_.Loans.size());
            Loan.UniqueID = NextUniqueID();
            Loan.PersonID = Person.ID;
            Loan.TeamID = K == 11 ? TeamNorthportReserves : TeamEastbridge;
            Loan.StartDate = TDate{200, 2003};
            Loan.EndDate = TDate{150, 2004};
            World_.Loans.push_back(Loan);
        }
        if (Person.IsPlayer() && (K == 0 || K == 2 || (Extra && K % 6 == 1))) {
            TStartingInjury Injury;
            Injury.ID = static_cast<int32_t>(World_.StartingInjuries.size());
            Injury.UniqueID = NextUniqueID();
            Injury.PersonID = Person.ID;
            Injury.InjuryID = World_.Injuries[K == 2 ? 2 : 0].ID;
            Injury.StartDate = TDate{Random_.Short(180, 210), 2003};
            Injury.EndDate = TDate{Random_.Short(220, 300), 2003};
            Injury.Extra1 = Random_.Byte(0, 5);
            Injury.Extra3 = 1;
            World_.StartingInjuries.push_back(Injury);
        }
        if (Person.IsStaff() && (K == 3 || K == 8)) {
            TStartingConfidence Confidence;
            Confidence.ID = static_cast<int32_t>(World_.StartingConfidences.size());
            Confidence.UniqueID = NextUniqueID();
            Confidence.PersonID = Person.ID;
            Confidence.BoardConfidence = Random_.Short(30, 100);
            Confidence.FanConfidence = Random_.Short(30, 100);
            World_.StartingConfidences.push_back(Confidence);
        }
        if (Person.IsPlayer() && (K == 4 || (Extra && K % 7 == 0))) {
            TFutureTransfer Transfer;
            Transfer.ID = static_cast<int32_t>(World_.FutureTransfers.size());
            Transfer.UniqueID = NextUniqueID();
            Transfer.PersonID = Person.ID;
            Transfer.TeamID = K == 4 ? TeamNorthport : TeamWestfield;
            Transfer.TransferDate = TDate{181, 2004};
            Transfer.TransferFee = Random_.Int(1, 100) * 50000;
            Transfer.FutureWage = Random_.Int(1, 100) * 500;
            Transfer.ContractYears = Random_.Byte(1, 5);
            World_.FutureTransfers.push_back(Transfer);
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
    for (const auto& Seed : Seeds) {
        TAwardHistory History;
        History.ID = static_cast<int32_t>(World_.AwardHistories.size());
        History.UniqueID = NextUniqueID();
        History.AwardID = Seed.Award;
        History.Year = Seed.Year;
        History.Person1ID = Winner(Seed.Person1);
        History.Person2ID = Winner(Seed.Person2);
        History.Person3ID = Winner(Seed.Person3);
        History.HistoryByte1 = Random_.Byte(0, 3);
        History.HistoryByte2 = Random_.Byte(0, 3);
        World_.AwardHistories.push_back(History);
    }
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
