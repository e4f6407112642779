#include "BuilderBase.h"

namespace wb {

int32_t TBuilderBase::AddName(std::vector<TName>& Pool, std::u16string Text, int16_t UseCount, int32_t Nation) {
    TName& Name = AddRecord(Pool);
    Name.Text = std::move(Text);
    Name.UseCount = UseCount;
    Name.NationID = Nation;
    return Name.ID;
}

void TBuilderBase::AddPlayingData(TPerson& Person, const std::function<void(TPlayingData&)>& DrawAttributes) {
    TPlayingData& Data = AddRecord(World_.PlayingDatas);
    DrawAttributes(Data);
    Data.ExtraByte = Random_.Byte(0, 3);
    Person.Player.PlayingDataID = Data.ID;
}

void TBuilderBase::AddNonPlayingData(TPerson& Person) {
    TNonPlayingData& Data = AddRecord(World_.NonPlayingDatas);
    for (auto& Attribute : Data.Attributes)
        Attribute = Random_.Byte(1, 20);
    Person.Staff.NonPlayingDataID = Data.ID;
}

void TBuilderBase::AddPersonData(TPerson& Person) {
    TPersonData& Data = AddRecord(World_.PersonDatas);
    for (auto& Value : Data.Values)
        Value = Random_.Byte(1, 20);
    Person.PersonDataID = Data.ID;
}

void TBuilderBase::DrawRefereeing(TOfficialBlock& Official) {
    Official.AllowingFlow = Random_.Byte(1, 20);
    Official.Discipline = Random_.Byte(1, 20);
    Official.ImportantMatches = Random_.Byte(1, 20);
    Official.Pressure = Random_.Byte(1, 20);
    Official.Refereeing = Random_.Byte(1, 20);
    Official.RunningLine = Random_.Byte(1, 20);
    Official.Timekeeping = Random_.Byte(1, 20);
}

void TBuilderBase::FillContract(TContract& Contract) {
    Contract.Ints5[0] = Random_.Int(0, 50000);
    Contract.EstimatedWage = Random_.Int(1, 400) * 250;
    Contract.ContractExpires = RandomDate(2004, 2008);
    Contract.Ints44[1] = Random_.Int(0, 3);
    Contract.ContractStart = RandomDate(1998, 2003);
    Contract.Short61 = Random_.Short(0, 3);
}

// A co-owned player has two club contracts, both marked, the co-owner's at the same wage.
void TBuilderBase::AddClubContracts(TPerson& Person, int32_t Team, uint8_t Job, int32_t CoOwnerClub) {
    if (Team < 0 || !JobHasContract(Job))
        return;
    TContract Club = TContract::Club(World_.Teams[static_cast<std::size_t>(Team)].ContainerID);
    FillContract(Club);
    if (Person.IsPlayer())
        Club.SquadNumber = Random_.Byte(1, 40);
    Person.Contracts.push_back(Club);
    if (CoOwnerClub >= 0) {
        Person.Contracts[0].CoOwned = 1;
        TContract CoOwner = TContract::Club(CoOwnerClub);
        FillContract(CoOwner);
        CoOwner.CoOwned = 1;
        CoOwner.EstimatedWage = Person.Contracts[0].EstimatedWage;
        Person.Contracts.push_back(CoOwner);
    }
}

// Players, coaches, physios and the manager are filed with the team; at a club's kind-10 team also the chairman,
// the board and the scouts.
void TBuilderBase::FileIntoTeam(int32_t TeamIndex, uint8_t JobCode, int32_t Person) {
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
}

void TBuilderBase::AddStartingInjury(int32_t Person, const std::function<int32_t()>& Injury, int16_t EarliestEnd) {
    TStartingInjury& Record = AddRecord(World_.StartingInjuries);
    Record.PersonID = Person;
    Record.InjuryID = Injury();
    Record.StartDate = TDate{Random_.Short(180, 210), 2003};
    Record.EndDate = TDate{Random_.Short(EarliestEnd, 300), 2003};
    Record.Extra1 = Random_.Byte(0, 5);
    Record.Extra3 = 1;
}

void TBuilderBase::AddStartingConfidence(int32_t Person) {
    TStartingConfidence& Confidence = AddRecord(World_.StartingConfidences);
    Confidence.PersonID = Person;
    Confidence.BoardConfidence = Random_.Short(30, 100);
    Confidence.FanConfidence = Random_.Short(30, 100);
}

TAwardHistory& TBuilderBase::AddAwardHistory(int32_t Award, int16_t Year,
                                             const std::function<std::array<int32_t, 3>()>& Winners) {
    TAwardHistory& History = AddRecord(World_.AwardHistories);
    History.AwardID = Award;
    History.Year = Year;
    const auto Persons = Winners();
    History.Person1ID = Persons[0];
    History.Person2ID = Persons[1];
    History.Person3ID = Persons[2];
    History.HistoryByte1 = Random_.Byte(0, 3);
    History.HistoryByte2 = Random_.Byte(0, 3);
    return History;
}

} // namespace wb
