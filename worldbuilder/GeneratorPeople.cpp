#include "GeneratorBuilder.h"
#include "SampleText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

namespace wb {

namespace {

// The posts a club fills first, in order; further staff coach or scout.
constexpr std::array<uint8_t, 12> StaffJobs = {Job::Manager,          Job::Chairman,       Job::Coach,
                                               Job::AssistantManager, Job::Physio,         Job::Scout,
                                               Job::ManagingDirector, Job::Coach,          Job::DirectorOfFootball,
                                               Job::Physio,           Job::GeneralManager, Job::Scout};

constexpr std::size_t NationalSquad = 22;
constexpr std::size_t NationalU21Squad = 18;
constexpr int16_t CurrentSeason = 2003;

} // namespace

int32_t TWorldGenerator::RandomOtherFirstTeam(int32_t Nation, int32_t ExceptClub) {
    const auto& Candidates = Nation >= 0 && Nations_[static_cast<std::size_t>(Nation)].Clubs.size() > 1
                                 ? Nations_[static_cast<std::size_t>(Nation)].Clubs
                                 : MainClubs_;
    int32_t Club = PickOf(Candidates);
    for (int Try = 0; Try < 5 && Club == ExceptClub; ++Try)
        Club = PickOf(Candidates);
    return FirstTeamOf(Club);
}

// Types: about three in four persons play, one in five is staff, a few are both, one in fifty referees. Most
// players and staff have a club of their own nation; staff are dealt out to the nation's clubs in turn, so that
// every club gets its manager and chairman before any gets a second coach.
void TWorldGenerator::PlanPeople() {
    int Placed = 0;
    for (const auto& Nation : Nations_)
        Placed += Nation.PeopleCount;
    Plans_.reserve(static_cast<std::size_t>(Options_.PeopleCount));
    for (int K = Placed; K < Options_.PeopleCount; ++K) {
        TPlan Plan;
        Plan.Type = static_cast<uint8_t>(Random_.Chance(70) ? 2 : 1);
        Plans_.push_back(Plan);
    }
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        auto& Nation = Nations_[N];
        std::size_t StaffTurn = Random_.Next() % Nation.Clubs.size();
        for (int K = 0; K < Nation.PeopleCount; ++K) {
            TPlan Plan;
            Plan.Nation = static_cast<int32_t>(N);
            const int Roll = Random_.Int(0, 999);
            Plan.Type = Roll < 20 ? 4 : (Roll < 210 ? 1 : (Roll < 240 ? 3 : 2));
            if (Plan.Type == 2 && !Random_.Chance(6)) {
                Plan.Club = Random_.Chance(88) ? PickOf(Nation.Clubs) : PickOf(MainClubs_);
                const auto& Teams = Clubs_[static_cast<std::size_t>(Plan.Club)].Teams;
                const bool Squad = Teams.size() > 1 && Random_.Chance(30);
                Plan.ClubPost = {Squad ? Teams[1 + Random_.Next() % (Teams.size() - 1)] : Teams[0], Job::Player};
                if (MainClubs_.size() > 1 && Random_.Chance(1)) {
                    const int32_t CoOwner = PickOf(MainClubs_);
                    if (CoOwner != Plan.Club)
                        Plan.CoOwnerClub = CoOwner;
                }
            } else if (Plan.Type == 3) {
                Plan.Club = PickOf(Nation.Clubs);
                Plan.ClubPost = {FirstTeamOf(Plan.Club),
                                 Random_.Chance(70) ? Job::PlayerCoach : Job::PlayerAssistantManager};
            } else if (Plan.Type == 1 && !Random_.Chance(8)) {
                Plan.Club = Nation.Clubs[StaffTurn++ % Nation.Clubs.size()];
                auto& Club = Clubs_[static_cast<std::size_t>(Plan.Club)];
                const uint8_t JobCode = Club.NextJob < StaffJobs.size() ? StaffJobs[Club.NextJob]
                                                                        : (Club.NextJob % 2 ? Job::Coach : Job::Scout);
                ++Club.NextJob;
                int32_t Team = Club.Teams[0];
                if (JobCode == Job::Coach && Club.Teams.size() > 1 && Random_.Chance(30))
                    Team = Club.Teams[1 + Random_.Next() % (Club.Teams.size() - 1)];
                Plan.ClubPost = {Team, JobCode};
            }
            const std::size_t Index = Plans_.size();
            if (Plan.Type & 2)
                Nation.Players.push_back(Index);
            if (Plan.Type & 1)
                Nation.Staff.push_back(Index);
            if (Plan.Club >= 0 && (Plan.ClubPost.Job & 1) != 0 &&
                Plan.ClubPost.Team == Clubs_[static_cast<std::size_t>(Plan.Club)].Teams[0])
                Clubs_[static_cast<std::size_t>(Plan.Club)].Players.push_back(Index);
            Plans_.push_back(Plan);
        }
    }
}

void TWorldGenerator::AddPeople() {
    World_.People.reserve(Plans_.size());
    for (std::size_t K = 0; K < Plans_.size(); ++K)
        AddPerson(K);
}

void TWorldGenerator::AddPerson(std::size_t K) {
    const TPlan& Plan = Plans_[K];
    TPerson Person;
    Person.RecordType = Plan.Type;
    Person.ID = static_cast<int32_t>(K);
    Person.UniqueID = NextUniqueID();
    Person.NationID = Plan.Nation;
    const TNationPlan* Nation = Plan.Nation >= 0 ? &Nations_[static_cast<std::size_t>(Plan.Nation)] : nullptr;

    // Better clubs have better people: a club's rank in its nation sets the level its people play at.
    int Level = 80;
    if (Plan.Club >= 0) {
        const auto& Clubs =
            Nations_[static_cast<std::size_t>(Clubs_[static_cast<std::size_t>(Plan.Club)].Nation)].Clubs;
        const auto Rank = std::find(Clubs.begin(), Clubs.end(), Plan.Club) - Clubs.begin();
        Level = 160 - static_cast<int>(std::min<std::ptrdiff_t>(Rank, 40)) * 2;
    }
    const auto Ability = [&](int Spread) {
        return static_cast<int16_t>(std::clamp(Level + Random_.Int(-Spread, Spread), 20, 195));
    };
    const auto Reputation = [&](int16_t CurrentAbility) {
        return static_cast<int16_t>(std::clamp(CurrentAbility * 45 + Random_.Int(-1500, 1500), 0, 10000));
    };

    if (Person.IsPlayer()) {
        auto& Player = Person.Player;
        Player.CurrentAbility = Ability(40);
        Player.PotentialAbility = static_cast<int16_t>(std::min(200, Player.CurrentAbility + Random_.Int(0, 40)));
        Player.HomeReputation = Reputation(Player.CurrentAbility);
        Player.CurrentReputation =
            static_cast<int16_t>(std::clamp(Player.HomeReputation + Random_.Int(-500, 500), 0, 10000));
        Player.WorldReputation = static_cast<int16_t>(Player.HomeReputation / 2);
        Player.EstimatedValue = Player.CurrentAbility * Player.CurrentAbility * Random_.Int(5, 120);
        Player.Short26 = Random_.Short(0, 30);
        Player.Weight = Random_.Short(60, 95);
        Player.Height = Random_.Short(65, 78);
        Player.Byte41 = Random_.Byte(0, 2);
        if (Random_.Chance(40)) {
            Player.CareerStatsFlag = 1;
            const int16_t Apps = Random_.Short(20, 500);
            const int16_t League = static_cast<int16_t>(Apps - Random_.Int(0, Apps / 4));
            const int16_t Goals = Random_.Short(0, Apps / 3);
            Player.CareerStats = {static_cast<int16_t>(Goals * 3 / 4),
                                  Goals,
                                  Apps,
                                  static_cast<int16_t>(Goals * 3 / 4),
                                  Goals,
                                  Apps,
                                  League,
                                  League};
        }
        for (int B = Random_.Int(0, 4); B > 0; --B)
            Player.Block28[Random_.Next() % Player.Block28.size()] = Random_.Byte(1, 9);
        Player.TailInt1 = Options_.Version == 112 ? -3 : 2;
        Player.TailByte145 = Random_.Byte(0, 1);
        // The first twelve bytes rate the positions: one natural position, the rest weaker.
        AddPlayingData(Person, [&](TPlayingData& Data) {
            for (std::size_t A = 0; A < Data.Attributes.size(); ++A)
                Data.Attributes[A] = A < 12 ? Random_.Byte(1, 8) : Random_.Byte(1, 20);
            Data.Attributes[Random_.Next() % 7] = 20;
        });
    }
    if (Person.IsStaff()) {
        auto& Staff = Person.Staff;
        Staff.CurrentAbility = Ability(30);
        Staff.PotentialAbility = static_cast<int16_t>(std::min(200, Staff.CurrentAbility + Random_.Int(0, 10)));
        Staff.HomeReputation = Reputation(Staff.CurrentAbility);
        Staff.CurrentReputation = Staff.HomeReputation;
        Staff.WorldReputation = static_cast<int16_t>(Staff.HomeReputation / 3);
        Staff.PreferredFormation = Random_.Byte(0, 17);
        AddNonPlayingData(Person);
    }
    if (Person.IsOfficial()) {
        auto& Official = Person.Official;
        Official.CityID = Nation ? PickOf(Nation->Cities) : -1;
        Official.CurrentAbility = Random_.Short(60, 180);
        Official.PotentialAbility = static_cast<int16_t>(Official.CurrentAbility + Random_.Int(0, 15));
        Official.Reputation = Random_.Short(1000, 8000);
        DrawRefereeing(Official);
        Official.FIFAOfficial = static_cast<uint8_t>(Random_.Chance(20) ? 1 : 0);
        Official.ContinentalOfficial = static_cast<uint8_t>(Random_.Chance(30) ? 1 : 0);
        Official.AssistantRefereeOnly = static_cast<uint8_t>(Random_.Chance(40) ? 1 : 0);
        Official.DivisionUniqueID =
            Nation ? World_.Competitions[static_cast<std::size_t>(Nation->Leagues.front())].UniqueID : 0;
    } else {
        AddPersonData(Person);
    }
    Person.DateOfBirth = Person.IsPlayer() ? RandomDate(1968, 1987)
                                           : (Person.IsOfficial() ? RandomDate(1950, 1975) : RandomDate(1935, 1972));
    if (Person.IsPlayer()) {
        Person.U21Apps = Random_.Byte(0, 20);
        Person.U21Goals = Random_.Byte(0, 5);
    }
    if (Plan.ClubPost.Team >= 0) {
        Person.ClubTeamID = Plan.ClubPost.Team;
        Person.ClubJob = Plan.ClubPost.Job;
        Person.DateJoinedClub = RandomDate(std::min(2003, std::max(1985, Person.DateOfBirth.Year + 17)), 2003);
    }
    Person.ByteAfterClub = Random_.Byte(0, 1);
    Person.CityOfBirthID = Nation && Random_.Chance(60) ? PickOf(Nation->Cities) : -1;
    if (Random_.Chance(25))
        Person.IntAfterOffers1 = Random_.Int(1, 9);
    Person.ByteBeforeTail145 = Random_.Byte(0, 1);
    Person.ByteBeforeTail = Random_.Byte(0, 1);
    if (Person.IsPlayer() && Person.IsStaff())
        Person.TrailingShort = Random_.Short(1, 9);
    // Club contract first, the co-owner's second; the nation's is appended when the national squads are picked.
    AddClubContracts(Person, Plan.ClubPost.Team, Plan.ClubPost.Job, Plan.CoOwnerClub);
    World_.People.push_back(std::move(Person));
}

// The best players of a nation make its squad, its best young ones the under-21 squad; a manager and a coach
// come from the nation's staff, free ones first.
void TWorldGenerator::PlanNationalTeams() {
    auto Appoint = [&](std::size_t K, int32_t Team, uint8_t JobCode) {
        Plans_[K].NationalPost = {Team, JobCode};
        TPerson& Person = World_.People[K];
        Person.NationalTeamID = Team;
        Person.NationalJob = JobCode;
        Person.DateJoinedNation = RandomDate(1994, 2003);
        if (Person.IsPlayer()) {
            Person.Player.DeclaredForNation = 1;
            Person.InternationalApps = Random_.Byte(1, 120);
            Person.InternationalGoals = Random_.Byte(0, Person.InternationalApps / 3);
        }
        TContract Contract = TContract::Nation(World_.Teams[static_cast<std::size_t>(Team)].ContainerID);
        Contract.EstimatedWage = Random_.Int(1, 100) * 100;
        Contract.ContractExpires = RandomDate(2004, 2006);
        Contract.ContractStart = Person.DateJoinedNation;
        Person.Contracts.push_back(Contract);
    };
    for (auto& Nation : Nations_) {
        std::vector<std::size_t> Ranked = Nation.Players;
        std::stable_sort(Ranked.begin(), Ranked.end(), [&](std::size_t A, std::size_t B) {
            return World_.People[A].Player.CurrentAbility > World_.People[B].Player.CurrentAbility;
        });
        std::size_t U21 = 0;
        for (std::size_t R = 0; R < Ranked.size(); ++R) {
            if (R < NationalSquad)
                Appoint(Ranked[R], Nation.Team, Job::Player);
            else if (Nation.U21Team >= 0 && U21 < NationalU21Squad &&
                     World_.People[Ranked[R]].DateOfBirth.Year >= 1983) {
                Appoint(Ranked[R], Nation.U21Team, Job::Player);
                ++U21;
            }
        }
        std::vector<std::size_t> Free;
        for (std::size_t K : Nation.Staff)
            if (Plans_[K].Club < 0 && Plans_[K].Type == 1)
                Free.push_back(K);
        if (!Free.empty())
            Appoint(Free[0], Nation.Team, Job::Manager);
        if (Free.size() > 1)
            Appoint(Free[1], Nation.Team, Job::Coach);
    }
}

// Each nation keeps pools of first, second and common names. Persons draw from them with a strong bias to the
// first entries, so that some names are common, many rare and a few unused; the use counts follow.
void TWorldGenerator::AddNames() {
    std::vector<std::vector<std::size_t>> Members(Nations_.size() + 1);
    for (std::size_t K = 0; K < Plans_.size(); ++K)
        Members[Plans_[K].Nation >= 0 ? static_cast<std::size_t>(Plans_[K].Nation) : Nations_.size()].push_back(K);
    auto Skewed = [&](std::size_t Size) {
        const double U = static_cast<double>(Random_.Int(0, 999999)) / 1000000.0;
        return static_cast<std::size_t>(std::floor(static_cast<double>(Size) * U * U));
    };
    auto MakePool = [&](std::size_t Size, auto Make) {
        std::vector<std::u16string> Texts;
        std::unordered_set<std::u16string> Used;
        for (std::size_t I = 0; I < Size; ++I) {
            std::u16string Text = Make();
            for (int Try = 0; Try < 10 && Used.count(Text) != 0; ++Try)
                Text = Make();
            Used.insert(Text);
            Texts.push_back(std::move(Text));
        }
        return Texts;
    };
    auto Append = [&](std::vector<TName>& Pool, const std::vector<std::u16string>& Texts, const std::vector<int>& Uses,
                      int32_t Nation) {
        const auto First = static_cast<int32_t>(Pool.size());
        for (std::size_t I = 0; I < Texts.size(); ++I)
            AddName(Pool, Texts[I], static_cast<int16_t>(std::min(Uses[I], 32767)), Nation);
        return First;
    };
    for (std::size_t G = 0; G < Members.size(); ++G) {
        const auto& People = Members[G];
        const std::size_t Count = People.size();
        const int Style = G < Nations_.size() ? Nations_[G].Style : 4;
        const int32_t Nation = G < Nations_.size() ? static_cast<int32_t>(G) : -1;
        const auto Firsts =
            MakePool(std::min<std::size_t>(120, 4 + Count / 6), [&] { return Names_.FirstName(Style); });
        const auto Seconds =
            MakePool(std::min<std::size_t>(1000, 8 + Count / 2), [&] { return Names_.SecondName(Style); });
        const auto Commons =
            MakePool(std::min<std::size_t>(60, 2 + Count / 40), [&] { return Names_.CommonName(Style); });
        std::vector<int> FirstUses(Firsts.size()), SecondUses(Seconds.size()), CommonUses(Commons.size());
        std::vector<std::array<std::size_t, 3>> Chosen(Count);
        for (std::size_t M = 0; M < Count; ++M) {
            auto& Pick = Chosen[M];
            Pick[0] = Skewed(Firsts.size());
            Pick[1] = Skewed(Seconds.size());
            Pick[2] =
                World_.People[People[M]].IsPlayer() && Random_.Chance(5) ? Skewed(Commons.size()) : Commons.size();
            ++FirstUses[Pick[0]];
            ++SecondUses[Pick[1]];
            if (Pick[2] < Commons.size())
                ++CommonUses[Pick[2]];
        }
        const int32_t FirstBase = Append(World_.FirstNames, Firsts, FirstUses, Nation);
        const int32_t SecondBase = Append(World_.SecondNames, Seconds, SecondUses, Nation);
        const int32_t CommonBase = Append(World_.CommonNames, Commons, CommonUses, Nation);
        for (std::size_t M = 0; M < Count; ++M) {
            TPerson& Person = World_.People[People[M]];
            Person.FirstNameID = FirstBase + static_cast<int32_t>(Chosen[M][0]);
            Person.SecondNameID = SecondBase + static_cast<int32_t>(Chosen[M][1]);
            if (Chosen[M][2] < Commons.size())
                Person.CommonNameID = CommonBase + static_cast<int32_t>(Chosen[M][2]);
        }
    }
}

void TWorldGenerator::FileIntoTeams() {
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        FileIntoTeam(Plans_[K].ClubPost.Team, Plans_[K].ClubPost.Job, World_.People[K].ID);
        FileIntoTeam(Plans_[K].NationalPost.Team, Plans_[K].NationalPost.Job, World_.People[K].ID);
    }
}

// The nation's language natively, sometimes a second one, and often the language of a club abroad.
void TWorldGenerator::AddPersonLanguages() {
    const auto LanguageCount = static_cast<int32_t>(World_.Languages.size());
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        const TPlan& Plan = Plans_[K];
        const int32_t ID = World_.People[K].ID;
        std::vector<int32_t> Spoken;
        auto Speak = [&](int32_t Language, uint8_t Level) {
            if (std::find(Spoken.begin(), Spoken.end(), Language) != Spoken.end())
                return;
            Spoken.push_back(Language);
            World_.PersonLanguages.push_back(TPersonLanguage{ID, Language, Level});
        };
        const std::vector<int32_t> NoLanguages;
        const auto& Native =
            Plan.Nation >= 0 ? World_.Nations[static_cast<std::size_t>(Plan.Nation)].LanguageIDs : NoLanguages;
        Speak(Native.empty() ? 0 : Native[0], static_cast<uint8_t>(Native.empty() ? 8 : 10));
        if (Native.size() > 1)
            Speak(Native[1], Random_.Byte(6, 10));
        else if (Random_.Chance(20))
            Speak(Random_.Int(0, LanguageCount - 1), Random_.Byte(3, 9));
        if (Plan.Club >= 0 && Random_.Chance(60)) {
            const auto& Club = World_.Clubs[static_cast<std::size_t>(Plan.Club)];
            Speak(World_.Nations[static_cast<std::size_t>(Club.NationID)].LanguageIDs[0], Random_.Byte(2, 7));
        }
    }
}

// One person in eight has preferences: favourite and disliked clubs and staff, a second nationality, or has
// retired from international football.
void TWorldGenerator::AddRelationships() {
    std::vector<int32_t> AllStaff;
    for (std::size_t K = 0; K < Plans_.size(); ++K)
        if (World_.People[K].IsStaff())
            AllStaff.push_back(World_.People[K].ID);
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        if (!Random_.Chance(12))
            continue;
        TPerson& Person = World_.People[K];
        bool Nationality = false, Retirement = false;
        for (int R = Random_.Int(1, 3); R > 0; --R) {
            const auto Amount = static_cast<uint8_t>(Random_.Int(1, 20) * 5);
            switch (Random_.Int(0, 5)) {
            case 0:
                Person.Relationships.push_back({1, 3, Amount, 0, PickOf(MainClubs_)});
                break;
            case 1:
                Person.Relationships.push_back({1, 4, Amount, 0, PickOf(MainClubs_)});
                break;
            case 2:
                if (!AllStaff.empty())
                    Person.Relationships.push_back({3, 1, Amount, 0, PickOf(AllStaff)});
                break;
            case 3:
                if (!AllStaff.empty())
                    Person.Relationships.push_back({3, 2, Amount, 0, PickOf(AllStaff)});
                break;
            case 4:
                if (Person.IsPlayer() && !Nationality && Nations_.size() > 1) {
                    const auto Second = static_cast<int32_t>(Random_.Next() % Nations_.size());
                    if (Second != Person.NationID) {
                        Person.Relationships.push_back({2, 9, 15, 0, Second});
                        Nationality = true;
                    }
                }
                break;
            default:
                if (Person.IsPlayer() && !Retirement && Person.DateOfBirth.Year < 1976) {
                    Person.Relationships.push_back({0, 10, 100, 0, -1});
                    Retirement = true;
                }
                break;
            }
        }
        Person.RelationshipsFlag = static_cast<uint8_t>(Person.Relationships.empty() ? 0 : 1);
    }
}

// Loans, starting injuries, starting confidences and future transfers, each table in person order.
void TWorldGenerator::AddAttachedRecords() {
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        const TPlan& Plan = Plans_[K];
        const TPerson& Person = World_.People[K];
        const int32_t ClubNation = Plan.Club >= 0 ? Clubs_[static_cast<std::size_t>(Plan.Club)].Nation : -1;
        if (Person.IsPlayer() && Plan.Club >= 0 && Random_.Chance(4)) {
            TLoan& Loan = AddRecord(World_.Loans);
            Loan.PersonID = Person.ID;
            Loan.TeamID = RandomOtherFirstTeam(ClubNation, Plan.Club);
            Loan.StartDate = TDate{Random_.Short(200, 240), 2003};
            Loan.EndDate = TDate{Random_.Short(100, 150), 2004};
        }
        if (Person.IsPlayer() && Random_.Chance(3))
            AddStartingInjury(
                Person.ID, [&] { return Random_.Int(0, static_cast<int32_t>(World_.Injuries.size()) - 1); }, 215);
        if (Person.IsStaff() && Plan.ClubPost.Job == Job::Manager && Random_.Chance(60))
            AddStartingConfidence(Person.ID);
        if (Person.IsPlayer() && Plan.Club >= 0 && Random_.Chance(1)) {
            TFutureTransfer& Transfer = AddRecord(World_.FutureTransfers);
            Transfer.PersonID = Person.ID;
            Transfer.TeamID = RandomOtherFirstTeam(ClubNation, Plan.Club);
            Transfer.TransferDate = TDate{Random_.Short(181, 200), 2004};
            Transfer.TransferFee = Random_.Int(1, 200) * 50000;
            Transfer.FutureWage = Random_.Int(1, 100) * 500;
            Transfer.ContractYears = Random_.Byte(1, 5);
        }
    }
}

// Winners of the nations' awards are their own players; a continent's award goes to players of its nations.
void TWorldGenerator::AddAwardHistories() {
    std::vector<std::vector<std::size_t>> ContinentPlayers(World_.Continents.size());
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        auto& Players = ContinentPlayers[static_cast<std::size_t>(World_.Nations[N].ContinentID)];
        const auto& Own = Nations_[N].Players;
        Players.insert(Players.end(), Own.begin(),
                       Own.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(Own.size(), 30)));
    }
    for (const auto& Award : World_.Awards) {
        const auto& Candidates = Award.NationID >= 0 ? Nations_[static_cast<std::size_t>(Award.NationID)].Players
                                                     : ContinentPlayers[static_cast<std::size_t>(Award.ContinentID)];
        if (Candidates.empty())
            continue;
        auto Winner = [&](int Percent) {
            return Random_.Chance(Percent) ? World_.People[Candidates[Random_.Next() % Candidates.size()]].ID : -1;
        };
        for (int16_t Year = 1994; Year <= 2003; ++Year) {
            if (!Random_.Chance(70))
                continue;
            TAwardHistory& History = AddAwardHistory(Award.ID, Year, [&] {
                const int32_t First = Winner(100);
                const int32_t Second = Winner(70);
                return std::array<int32_t, 3>{First, Second, Second >= 0 ? Winner(70) : -1};
            });
            History.HistoryByte3 = Random_.Byte(0, 1);
        }
    }
}

// Up to ten seasons per player: the current club since the player joined it, other clubs of the nation (or teams
// outside the database) before, and now and then a loan spell beside the parent club in the same season.
void TWorldGenerator::AddPlayingHistories() {
    if (!Options_.Histories)
        return;
    THistoryFiles Files;
    Files.IndexVersion = Options_.Version;
    auto TeamUID = [&](int32_t Team) { return Team < 0 ? -1 : World_.Teams[static_cast<std::size_t>(Team)].UniqueID; };
    for (std::size_t K = 0; K < Plans_.size(); ++K) {
        const TPlan& Plan = Plans_[K];
        const TPerson& Person = World_.People[K];
        if (!Person.IsPlayer() || !Random_.Chance(92))
            continue;
        const int First = std::min<int>(CurrentSeason, std::max(1990, Person.DateOfBirth.Year + 17));
        const int Seasons = std::min(CurrentSeason - First + 1, Random_.Int(1, 10));
        const int32_t Current = TeamUID(Plan.ClubPost.Team);
        const int Joined = Plan.ClubPost.Team >= 0 ? Person.DateJoinedClub.Year : 9999;
        int32_t Previous = Random_.Chance(10) ? -1 : TeamUID(RandomOtherFirstTeam(Plan.Nation, Plan.Club));
        TPlayingHistory History;
        History.PersonUniqueID = Person.UniqueID;
        for (int Year = CurrentSeason - Seasons + 1; Year <= CurrentSeason; ++Year) {
            const auto Season = static_cast<int16_t>(Year);
            if (Random_.Chance(25))
                Previous = Random_.Chance(10) ? -1 : TeamUID(RandomOtherFirstTeam(Plan.Nation, Plan.Club));
            const int32_t Team = Year >= Joined ? Current : Previous;
            if (Random_.Chance(7)) {
                const uint8_t Apps = Random_.Byte(1, 20);
                History.Entries.push_back({Season, 1, Apps, Random_.Byte(0, Apps / 3),
                                           TeamUID(RandomOtherFirstTeam(Plan.Nation, Plan.Club))});
            }
            const uint8_t Apps = Random_.Byte(0, 46);
            History.Entries.push_back({Season, 0, Apps, Random_.Byte(0, Apps / 3), Team});
        }
        Files.Histories.push_back(std::move(History));
    }
    World_.Histories = std::move(Files);
}

// Retired persons stand among the others in the people table, as the game's files have them; a load skips them.
void TWorldGenerator::AddRetiredPersons() {
    const auto Count =
        static_cast<std::size_t>(static_cast<int64_t>(Options_.PeopleCount) * Options_.RetiredPerMille / 1000);
    if (Count == 0)
        return;
    std::vector<std::size_t> Positions(Count);
    for (auto& Position : Positions)
        Position = Random_.Next() % (World_.People.size() + 1);
    std::sort(Positions.begin(), Positions.end());
    std::vector<TPerson> People;
    People.reserve(World_.People.size() + Count);
    std::size_t Next = 0;
    for (std::size_t K = 0; K <= World_.People.size(); ++K) {
        for (; Next < Count && Positions[Next] == K; ++Next) {
            TPerson Retired;
            Retired.RecordType = 5;
            Retired.ID = Options_.PeopleCount + static_cast<int32_t>(Next);
            Retired.UniqueID = NextUniqueID();
            const int Style = Random_.Int(0, TNameMaker::StyleCount - 1);
            Retired.Retired.Text1 = Names_.FirstName(Style) + u" " + Names_.SecondName(Style);
            if (Random_.Chance(50))
                Retired.Retired.Text2 =
                    World_.Clubs[static_cast<std::size_t>(PickOf(MainClubs_))].Texts.at(DefaultLanguageUniqueID).Name;
            Retired.Retired.Bytes = {Random_.Byte(0, 255), Random_.Byte(0, 255)};
            People.push_back(std::move(Retired));
        }
        if (K < World_.People.size())
            People.push_back(std::move(World_.People[K]));
    }
    World_.People = std::move(People);
}

} // namespace wb
