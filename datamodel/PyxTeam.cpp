#include "PyxTeam.h"

#include "PyxClub.h"
#include "PyxCompetition.h"
#include "PyxNation.h"
#include "PyxPeople.h"
#include "PyxStadium.h"
#include "PyxText.h"

namespace {

[[noreturn]] void RaiseTeamField(const char* Field, int64_t Value) {
    throw EFileCorruptError(std::string("Teams seems to be corrupt.\r\n") + Field + ": " + std::to_string(Value));
}

struct TSuffix {
    uint8_t SquadType;
    const char16_t* Long;
    const char16_t* Short;
};

const TSuffix Suffixes[] = {
    {1, u" Reserves", u" Reserves"}, {2, u" A", u" A"},      {3, u" B", u" B"},      {9, u" U23", u" U23"},
    {10, u" U21", u" U21"},          {11, u" U19", u" U19"}, {12, u" U18", u" U18"}, {13, u" C", u" C"},
    {14, u" Amateurs", u" (A)"},     {15, u" II", u" II"},   {16, u" 2", u" 2"},     {17, u" 3", u" 3"},
    {18, u" U20", u" U20"},
};

const TSuffix* FindSuffix(uint8_t SquadType) {
    for (const TSuffix& S : Suffixes)
        if (S.SquadType == SquadType)
            return &S;
    return nullptr;
}

} // namespace

std::u16string TPyxTeam::GetLongSuffix() const {
    const TSuffix* S = FindSuffix(SquadType);
    return S ? S->Long : u"";
}

std::u16string TPyxTeam::GetShortSuffix() const {
    const TSuffix* S = FindSuffix(SquadType);
    return S ? S->Short : u"";
}

std::u16string TPyxTeam::GetName() const {
    return (Container ? Container->GetName() : u"") + GetShortSuffix();
}

bool TPyxTeam::Matches(const std::u16string& Text) const {
    if (!Container)
        return false;
    return AnsiContainsText(Container->Name + GetLongSuffix(), Text) ||
           AnsiContainsText(Container->ShortName + GetShortSuffix(), Text);
}

void TPyxTeam::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    if (RecordKind == 11) {
        Date1.LoadFromStream(Stream);
        Date2.LoadFromStream(Stream);
        TeamByte1 = Stream.ReadByte();
        TeamByte2 = Stream.ReadByte();
        TeamByte3 = Stream.ReadByte();
        TeamByte4 = Stream.ReadByte();
        TeamByte5 = Stream.ReadByte();
        if (Version > 144)
            TeamByte6 = Stream.ReadByte();
    }
    LastPosition = Stream.ReadByte();
    Reputation = Stream.ReadInt16();
    DivisionKey = Stream.ReadInt32();
    LastDivisionKey = Stream.ReadInt32();
    if (Version > 144)
        TeamValue1 = Stream.ReadInt32();
    StadiumKey = Stream.ReadInt32();
    ManagerKey = Stream.ReadInt32();
    TeamValue2 = Stream.ReadInt32();
    TeamByte7 = Stream.ReadByte();
    HomeMatchDay = Stream.ReadByte();
    ContinentalCompetitionKey = Stream.ReadInt32();
    ContinentalSeeding = Stream.ReadByte();
    TeamValue3 = Stream.ReadInt16();
    TeamValue4 = Stream.ReadInt16();
    TeamValue5 = Stream.ReadInt16();
    TeamValue6 = Stream.ReadInt16();
    Physios.LoadByteCounted(Stream);
    Players.LoadWordCounted(Stream);
    Coaches.LoadByteCounted(Stream);
    TeamSelectedCount = Stream.ReadByte();
    if (TeamSelectedCount != 0)
        RaiseTeamField("Team Selected Count", TeamSelectedCount);
    TeamByte8 = Stream.ReadByte();
    TeamFixtureBlockCount = Stream.ReadInt16();
    if (TeamFixtureBlockCount != 0)
        RaiseTeamField("Team Fixture Block Count", TeamFixtureBlockCount);
    OtherDivisionKey = Stream.ReadInt32();
    if (Version > 144) {
        TeamBlock1 = Stream.ReadInt32();
        TeamBlock2 = Stream.ReadInt16();
        TeamBlock3 = Stream.ReadInt16();
    }
    SquadType = Stream.ReadByte();
    IsNationTeam = Stream.ReadByte();
    TeamByte9 = Stream.ReadByte();
    ContainerKey = Stream.ReadInt32();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxTeam::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(RecordKind);
    if (RecordKind == 11) {
        Date1.SaveToStream(Stream);
        Date2.SaveToStream(Stream);
        Stream.WriteByte(TeamByte1);
        Stream.WriteByte(TeamByte2);
        Stream.WriteByte(TeamByte3);
        Stream.WriteByte(TeamByte4);
        Stream.WriteByte(TeamByte5);
        if (Version > 144)
            Stream.WriteByte(TeamByte6);
    }
    Stream.WriteByte(LastPosition);
    Stream.WriteInt16(Reputation);
    WriteID(Division, Stream);
    WriteID(LastDivision, Stream);
    if (Version > 144)
        Stream.WriteInt32(TeamValue1);
    WriteID(Stadium, Stream);
    WriteID(Manager, Stream);
    Stream.WriteInt32(TeamValue2);
    Stream.WriteByte(TeamByte7);
    Stream.WriteByte(HomeMatchDay);
    WriteID(ContinentalCompetition, Stream);
    Stream.WriteByte(ContinentalSeeding);
    Stream.WriteInt16(TeamValue3);
    Stream.WriteInt16(TeamValue4);
    Stream.WriteInt16(TeamValue5);
    Stream.WriteInt16(TeamValue6);
    Physios.SaveByteCounted(Stream);
    Players.SaveWordCounted(Stream);
    Coaches.SaveByteCounted(Stream);
    Stream.WriteByte(TeamSelectedCount);
    Stream.WriteByte(TeamByte8);
    Stream.WriteInt16(TeamFixtureBlockCount);
    WriteID(OtherDivision, Stream);
    if (Version > 144) {
        Stream.WriteInt32(TeamBlock1);
        Stream.WriteInt16(TeamBlock2);
        Stream.WriteInt16(TeamBlock3);
    }
    Stream.WriteByte(SquadType);
    Stream.WriteByte(IsNationTeam);
    Stream.WriteByte(TeamByte9);
    WriteID(Container, Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxTeam::ConvertIndexes(const TPyxCompetitions& Competitions, const TPyxStadiums& Stadiums,
                              const TPyxNations& Nations, const TPyxClubs& Clubs, const TPyxPeople& People) {
    Division = Competitions.FindByID(DivisionKey);
    LastDivision = Competitions.FindByID(LastDivisionKey);
    ContinentalCompetition = Competitions.FindByID(ContinentalCompetitionKey);
    OtherDivision = Competitions.FindByID(OtherDivisionKey);
    Stadium = Stadiums.FindByID(StadiumKey);
    Manager = People.FindByID(ManagerKey);
    Physios.ConvertIndexes(People);
    Players.ConvertIndexes(People);
    Coaches.ConvertIndexes(People);
    if (IsNationTeam != 0)
        Container = Nations.FindByID(ContainerKey);
    else
        Container = Clubs.FindByID(ContainerKey);
    if (!Container)
        throw EFileCorruptError("Teams seems to be corrupt.\r\nNot connected to a Team Container");
}

std::unique_ptr<TPyxObject> TPyxTeams::CreateEntity(uint8_t RecordType) {
    if (RecordType != 10 && RecordType != 11)
        RaiseRecordType("Teams", RecordType);
    auto T = std::make_unique<TPyxTeam>();
    T->RecordKind = RecordType;
    return T;
}

void TPyxTeams::ConvertIndexes(const TPyxCompetitions& Competitions, const TPyxStadiums& Stadiums,
                               const TPyxNations& Nations, const TPyxClubs& Clubs, const TPyxPeople& People) {
    LinkEach("Converting Team Indexes",
             [&](TPyxTeam* T) { T->ConvertIndexes(Competitions, Stadiums, Nations, Clubs, People); });
}

void TPyxTeams::RenumberStadiumMoves() {
    MoveCount = 0;
    for (int32_t I = 0; I < Count(); ++I) {
        TPyxTeam* T = Items(I);
        if (T->StadiumMove)
            T->StadiumMove->ID = MoveCount++;
        if (T->CapacityChange)
            T->CapacityChange->ID = MoveCount++;
        DoProgress(I, Count());
    }
}

void TPyxTeams::SaveStadiumMoves(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteInt32(MoveCount);
    for (int32_t I = 0; I < Count(); ++I) {
        const TPyxTeam* T = Items(I);
        if (T->StadiumMove)
            T->StadiumMove->SaveToStream(Stream, Version);
        if (T->CapacityChange)
            T->CapacityChange->SaveToStream(Stream, Version);
        DoProgress(I, Count());
    }
}

void TPyxTeams::RenumberClubDebts() {
    DebtCount = 0;
    for (int32_t I = 0; I < Count(); ++I) {
        TPyxTeam* T = Items(I);
        T->ClubDebts.RenumberFrom(DebtCount, T);
        if (T->ClubDebt)
            T->ClubDebt->ID = DebtCount++;
        DoProgress(I, Count());
    }
}

void TPyxTeams::SaveClubDebts(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteInt32(DebtCount);
    for (int32_t I = 0; I < Count(); ++I) {
        const TPyxTeam* T = Items(I);
        T->ClubDebts.ForEach([&](const TPyxClubDebt* D) { D->SaveToStream(Stream, Version); });
        if (T->ClubDebt)
            T->ClubDebt->SaveToStream(Stream, Version);
        DoProgress(I, Count());
    }
}
