#include "PeopleBuilder.h"

#include "SampleRandom.h"

#include <algorithm>
#include <unordered_map>

namespace wb {

namespace {

void FillPlayer(TPlayerBlock& P, TSampleRandom& R) {
    P.HomeReputation = R.Short(1, 10000);
    P.CurrentReputation = R.Short(1, 10000);
    P.WorldReputation = R.Short(1, 10000);
    P.CurrentAbility = R.Short(1, 200);
    P.PotentialAbility = R.Short(1, 200);
    P.Int14 = R.Int(-5, 5000);
    P.EstimatedValue = R.Int(1, 1000000000);
    P.Byte22 = R.Byte(1, 255);
    P.Byte23 = R.Byte(1, 255);
    P.Short24 = R.Short(1, 30000);
    P.Short26 = R.Short(1, 30000);
    P.Short28 = R.Short(1, 30000);
    P.Byte30 = R.Byte(1, 255);
    P.Short31 = R.Short(1, 30000);
    P.Short33 = R.Short(1, 30000);
    P.Byte35 = R.Byte(1, 255);
    P.DeclaredForNation = R.Byte(0, 1);
    P.Weight = R.Short(50, 110);
    P.Height = R.Short(60, 80);
    P.Byte41 = R.Byte(1, 255);
    P.Int42 = R.Int(1, 1 << 30);
    P.CareerStatsFlag = 1;
    P.CareerStats = {R.Short(1, 99),    R.Short(100, 199), R.Short(200, 299), R.Short(300, 399),
                     R.Short(400, 499), R.Short(500, 599), R.Short(600, 699), R.Short(700, 799)};
    P.IntAfterStats = R.Int(-9, 1 << 30);
    for (auto& B : P.Block28)
        B = R.Byte(0, 255);
    P.TailByte1 = R.Byte(1, 255);
    P.TailInt1 = R.Int(-3, 1 << 30);
    P.TailInt2 = R.Int(1, 1 << 30);
    P.TailByte2 = R.Byte(1, 255);
    P.TailByte145 = R.Byte(1, 255);
}

void FillStaff(TStaffBlock& S, TSampleRandom& R) {
    S.HomeReputation = R.Short(1, 10000);
    S.CurrentReputation = R.Short(1, 10000);
    S.WorldReputation = R.Short(1, 10000);
    S.CurrentAbility = R.Short(1, 200);
    S.PotentialAbility = R.Short(1, 200);
    S.PreferredFormation = R.Byte(1, 17);
}

void FillOfficial(TOfficialBlock& O, TSampleRandom& R) {
    O.CurrentAbility = R.Short(1, 200);
    O.PotentialAbility = R.Short(1, 200);
    O.Reputation = R.Short(1, 10000);
    for (uint8_t* B : {&O.AllowingFlow, &O.Discipline, &O.ImportantMatches, &O.Pressure, &O.Refereeing, &O.RunningLine,
                       &O.Timekeeping, &O.FIFAOfficial, &O.ContinentalOfficial, &O.AssistantRefereeOnly})
        *B = R.Byte(1, 20);
}

TDate RandomDate(TSampleRandom& R) {
    return TDate{R.Short(0, 364), R.Short(1930, 2004)};
}

template <class T> void Shuffle(std::vector<T>& Items, TSampleRandom& R) {
    for (std::size_t I = Items.size(); I > 1; --I)
        std::swap(Items[I - 1], Items[static_cast<std::size_t>(R.Int(0, static_cast<int32_t>(I) - 1))]);
}

// Shuffles a table and gives its records fresh IDs that are not positions; returns old ID -> new ID.
template <class T> std::unordered_map<int32_t, int32_t> Renumber(std::vector<T>& Table, TSampleRandom& R) {
    Shuffle(Table, R);
    const auto IDs = R.Distinct(Table.size(), 1000, 1000 + 50 * static_cast<int32_t>(Table.size() + 1));
    std::unordered_map<int32_t, int32_t> NewID;
    for (std::size_t I = 0; I < Table.size(); ++I) {
        NewID[Table[I].ID] = IDs[I];
        Table[I].ID = IDs[I];
    }
    return NewID;
}

void Follow(int32_t& Reference, const std::unordered_map<int32_t, int32_t>& NewID) {
    const auto It = NewID.find(Reference);
    if (It != NewID.end())
        Reference = It->second;
}

} // namespace

TPerson& AddPerson(TWorld& World, uint8_t Type, int32_t ID, int32_t UniqueID, uint64_t Seed) {
    TSampleRandom R(Seed * 7919 + static_cast<uint64_t>(UniqueID));
    TPerson Person;
    Person.RecordType = Type;
    Person.ID = ID;
    Person.UniqueID = UniqueID;
    if (Type == 5) {
        Person.Retired.Text1 = u"Retired " + std::u16string(1, static_cast<char16_t>(u'A' + R.Int(0, 25)));
        Person.Retired.Text2 = u"\u00C5sa";
        Person.Retired.Bytes = {R.Byte(0, 255), R.Byte(0, 255)};
        World.People.push_back(std::move(Person));
        return World.People.back();
    }
    if (Person.IsPlayer()) {
        FillPlayer(Person.Player, R);
        TPlayingData Data;
        Data.ID = static_cast<int32_t>(World.PlayingDatas.size());
        Data.UniqueID = R.Int(1, 1 << 30);
        for (auto& A : Data.Attributes)
            A = R.Byte(1, 20);
        Data.ExtraByte = R.Byte(1, 255);
        Person.Player.PlayingDataID = Data.ID;
        World.PlayingDatas.push_back(Data);
    }
    if (Person.IsStaff()) {
        FillStaff(Person.Staff, R);
        TNonPlayingData Data;
        Data.ID = static_cast<int32_t>(World.NonPlayingDatas.size());
        Data.UniqueID = R.Int(1, 1 << 30);
        for (auto& A : Data.Attributes)
            A = R.Byte(1, 20);
        Person.Staff.NonPlayingDataID = Data.ID;
        World.NonPlayingDatas.push_back(Data);
    }
    if (Person.IsOfficial())
        FillOfficial(Person.Official, R);
    else {
        TPersonData Data;
        Data.ID = static_cast<int32_t>(World.PersonDatas.size());
        Data.UniqueID = R.Int(1, 1 << 30);
        for (auto& V : Data.Values)
            V = R.Byte(1, 20);
        Person.PersonDataID = Data.ID;
        World.PersonDatas.push_back(Data);
    }
    Person.DateOfBirth = RandomDate(R);
    Person.InternationalApps = R.Byte(1, 255);
    Person.InternationalGoals = R.Byte(1, 255);
    Person.U21Apps = R.Byte(1, 255);
    Person.U21Goals = R.Byte(1, 255);
    Person.DateJoinedNation = RandomDate(R);
    Person.DateJoinedClub = RandomDate(R);
    Person.ByteAfterClub = R.Byte(1, 255);
    Person.IntAfterOffers1 = R.Int(1, 1 << 30);
    Person.IntAfterOffers2 = R.Int(-1, 1 << 30);
    Person.ByteBeforeTail145 = R.Byte(1, 255);
    Person.ByteBeforeTail = R.Byte(1, 255);
    Person.TrailingShort = R.Short(1, 30000);
    World.People.push_back(std::move(Person));
    return World.People.back();
}

TNation& AddNation(TWorld& World, int32_t UniqueID) {
    TNation Nation;
    Nation.ID = static_cast<int32_t>(World.Nations.size());
    Nation.UniqueID = UniqueID;
    World.Nations.push_back(std::move(Nation));
    return World.Nations.back();
}

void UnsortPeople(TWorld& World, uint64_t Seed, int NationsInUse) {
    TSampleRandom R(Seed);
    const int32_t Nations = std::min(NationsInUse, static_cast<int>(World.Nations.size()));
    for (auto& Person : World.People)
        Person.NationID = R.Int(-1, Nations - 1);
    Shuffle(World.People, R);

    const auto PersonDataIDs = Renumber(World.PersonDatas, R);
    const auto PlayingDataIDs = Renumber(World.PlayingDatas, R);
    const auto NonPlayingDataIDs = Renumber(World.NonPlayingDatas, R);
    for (auto& Person : World.People) {
        if (Person.RecordType == 5)
            continue;
        if (!Person.IsOfficial())
            Follow(Person.PersonDataID, PersonDataIDs);
        if (Person.IsPlayer())
            Follow(Person.Player.PlayingDataID, PlayingDataIDs);
        if (Person.IsStaff())
            Follow(Person.Staff.NonPlayingDataID, NonPlayingDataIDs);
    }
    Renumber(World.Loans, R);
    Renumber(World.StartingInjuries, R);
    Renumber(World.StartingConfidences, R);
    Renumber(World.FutureTransfers, R);
    Shuffle(World.PersonLanguages, R);
    if (World.Histories)
        Shuffle(World.Histories->Histories, R);
}

} // namespace wb
