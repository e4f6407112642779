#include "BuilderBase.h"

namespace wb {

TTransferInfo TeamRecords(int32_t Holder1, int16_t Value1, int32_t Holder2, int16_t Value2,
                          std::array<std::u16string, 4> Texts) {
    TTransferInfo Info;
    Info.Type = 9;
    Info.Holder1UniqueID = Holder1;
    Info.RecordValue1 = Value1;
    Info.Holder2UniqueID = Holder2;
    Info.RecordValue2 = Value2;
    Info.Texts = std::move(Texts);
    return Info;
}

// Next-sale percentages name the person by ID in version 112 and by UniqueID after it.
TTransferInfo TBuilderBase::NextSale(const TPerson& Person, int32_t Club, uint8_t Percent) const {
    TTransferInfo Info;
    Info.Type = 5;
    Info.PersonKey = World_.ServerVersion == 112 ? Person.ID : Person.UniqueID;
    Info.ClubID = Club;
    Info.SaleValue1 = Percent;
    Info.SaleValue2 = 0;
    return Info;
}

TCompetition& TBuilderBase::AddCompetitionRecord(int32_t ID, const TCompetitionNames& Names, int32_t Continent,
                                                 int32_t Nation, uint8_t Level,
                                                 const std::function<int16_t()>& Reputation) {
    TCompetition& Competition = World_.Competitions.emplace_back();
    Competition.ID = ID;
    Competition.UniqueID = NextUniqueID();
    Competition.ThreeLetterNameByte = static_cast<uint8_t>(ID % 2);
    Competition.Colours = RandomKit();
    Competition.Reputation = Reputation();
    Competition.Level = Level;
    Competition.ContinentID = Continent;
    Competition.NationID = Nation;
    Competition.CompetitionValue1 = Random_.Int(0, 20);
    Competition.CompetitionValue2 = Random_.Int(0, 1000);
    Competition.CompetitionValue3 = -1;
    Competition.UsesSquadNumbers = static_cast<uint8_t>(Level <= 2 ? 1 : 0);
    Competition.Texts = Translate<TCompetitionText>([&](int32_t L) {
        return TCompetitionText{Tr(Names.Name, L), 1, Tr(Names.Short, L), 1, Names.Three};
    });
    return Competition;
}

TClub& TBuilderBase::AddClubRecord(const std::u16string& Name, const std::u16string& ShortName, int32_t Nation) {
    // The texts first, in case a name points into the table the club is appended to.
    auto Texts = Translate<TClubText>([&](int32_t L) {
        TClubText Text;
        Text.Name = Tr(Name, L);
        Text.ShortName = Tr(ShortName, L);
        return Text;
    });
    TClub& Club = AddRecord(World_.Clubs);
    Club.NationID = Nation;
    Club.ClubValue3 = World_.ServerVersion == 112 ? 1 : 2;
    Club.ClubValue4 = World_.ServerVersion == 112 ? 2 : 3;
    Club.Texts = std::move(Texts);
    return Club;
}

void TBuilderBase::DescribeClub(TClub& Club, const std::u16string& History, const std::u16string& Nickname1,
                                const std::u16string& Nickname2) const {
    for (auto& [Language, Text] : Club.Texts) {
        Text.NameByte = 1;
        Text.ClubText = Tr(History, Language);
        Text.ClubTextByte = 2;
        Text.Nickname1 = Tr(Nickname1, Language);
        Text.Nickname1Byte = 1;
        Text.Nickname2 = Tr(Nickname2, Language);
    }
}

TTeam& TBuilderBase::AddTeamRecord(uint8_t Kind, int32_t Container, bool IsNation, int32_t SharesWithClub,
                                   uint8_t SquadType, const std::function<void(TTeam&)>& Between) {
    TTeam& Team = World_.Teams.emplace_back();
    Team.RecordType = Kind;
    Team.ID = static_cast<int32_t>(World_.Teams.size() - 1);
    Team.UniqueID = World_.Clubs[static_cast<std::size_t>(SharesWithClub)].UniqueID;
    if (Kind == 11) {
        Team.Date1 = RandomDate(1995, 2003);
        Team.Date2 = RandomDate(1995, 2003);
        Team.TeamByte1 = 26;
        Team.TeamByte2 = Random_.Byte(0, 5);
        Team.TeamByte4 = 1;
        Team.TeamByte6 = Random_.Byte(0, 5);
    }
    Team.LastPosition = Random_.Byte(1, 20);
    if (Between)
        Between(Team);
    Team.TeamValue2 = -1;
    Team.TeamByte7 = Random_.Byte(0, 2);
    Team.HomeMatchDay = Random_.Byte(0, 6);
    Team.ContinentalSeeding = Random_.Byte(0, 4);
    Team.TeamValue4 = Random_.Short(0, 100);
    Team.TeamByte8 = Random_.Byte(0, 2);
    Team.SquadType = SquadType;
    Team.IsNationTeam = static_cast<uint8_t>(IsNation ? 1 : 0);
    Team.TeamByte9 = Random_.Byte(0, 2);
    Team.ContainerID = Container;
    auto& Owner = IsNation ? World_.Nations[static_cast<std::size_t>(Container)].Container
                           : World_.Clubs[static_cast<std::size_t>(Container)].Container;
    Owner.TeamIDs.push_back(Team.ID);
    return Team;
}

void TBuilderBase::AddAwardRecord(const TAwardFacts& Facts) {
    TAward& Award = World_.Awards.emplace_back();
    Award.ID = Facts.ID;
    Award.UniqueID = NextUniqueID();
    Award.Scope = static_cast<uint8_t>(Facts.Nation >= 0 ? 1 : 2);
    Award.Colours = RandomKit();
    Award.Reputation = Random_.Short(5, 20);
    Award.AwardType = Facts.Type;
    Award.DateRule = Random_.Byte(0, 3);
    Award.AwardDate = RandomDate(2003, Facts.LastYear);
    Award.ContinentID = Facts.Continent;
    Award.NationID = Facts.Nation;
    Award.RunBy = Random_.Byte(0, 3);
    Award.Formation = Random_.Byte(0, 17);
    Award.MaxAge = Facts.MaxAge;
    Award.WinnerHomeReputation = Random_.Byte(0, 20);
    Award.WinnerWorldReputation = Random_.Byte(0, 20);
    Award.CompetitionID = Facts.Competition;
    Award.AwardExtra = Random_.Short(0, 99);
    Award.Texts = Translate<TAwardText>([&](int32_t L) {
        return TAwardText{Tr(Facts.Name, L), 1, Tr(Facts.Short, L), 0};
    });
}

void TBuilderBase::AddMediaRecord(const std::u16string& Long, const std::u16string& Short, uint8_t Type, uint8_t Period,
                                  uint8_t Scope, int32_t Target, std::vector<int32_t> ClubUniqueIDs) {
    TMedia& Media = AddRecord(World_.Medias);
    Media.MediaType = Type;
    Media.Period = Period;
    Media.Scope = Scope;
    Media.TargetUniqueID = Target;
    Media.ClubUniqueIDs = std::move(ClubUniqueIDs);
    Media.Texts = Translate<TMediaText>([&](int32_t L) { return TMediaText{Tr(Short, L), 0, Tr(Long, L), 1}; });
}

void TBuilderBase::AddClubDebt(int32_t Team, uint8_t Kind, int32_t Amount, int16_t Months, int32_t Budget) {
    TClubDebt& Debt = AddRecord(World_.ClubDebts);
    Debt.TeamID = Team;
    Debt.Kind = Kind;
    Debt.Amount = Amount;
    Debt.MonthlyPaymentsLeft = Months;
    Debt.TransferBudget = Budget;
}

void TBuilderBase::AddCompetitionHistory(int32_t Competition, int16_t Year, const std::array<int32_t, 3>& Placed,
                                         const std::function<int32_t()>& Hosts) {
    TCompetitionHistory& History = AddRecord(World_.CompetitionHistories);
    History.CompetitionID = Competition;
    History.Year = Year;
    History.FirstPlacedID = Placed[0];
    History.SecondPlacedID = Placed[1];
    History.ThirdPlacedID = Placed[2];
    History.HostsID = Hosts();
}

} // namespace wb
