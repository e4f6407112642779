#include "PyxTeamContainer.h"

#include "PyxClub.h"
#include "PyxNation.h"
#include "PyxPeople.h"
#include "PyxTeam.h"
#include "PyxText.h"

void TPyxTeamContainer::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    TeamType = Stream.ReadByte();
    if (TeamType > 1)
        throw EFileCorruptError("Team Container seems to be corrupt.\r\nTeam Type: " + std::to_string(TeamType));
    NameByte = Stream.ReadByte();
    ShortNameByte = Stream.ReadByte();
    Stream.ReadWideString(Name);
    Stream.ReadWideString(ShortName);
    Kits.LoadByteCounted(Stream, Version);
    Teams.LoadByteCounted(Stream);
    Relationships.LoadByteCounted(Stream, Version);
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxTeamContainer::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(TeamType);
    Stream.WriteByte(NameByte);
    Stream.WriteByte(ShortNameByte);
    Stream.WriteWideString(Name);
    Stream.WriteWideString(ShortName);
    Kits.SaveByteCounted(Stream, Version);
    Teams.SaveByteCounted(Stream);
    Relationships.SaveByteCounted(Stream, Version);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxTeamContainer::Matches(const std::u16string& Text) const {
    if (Teams.Count() == 0)
        return false;
    return AnsiContainsText(Name, Text) || AnsiContainsText(ShortName, Text);
}

void TPyxTeamContainer::ConvertContainerIndexes(const TPyxNations& Nations, const TPyxPeople& People,
                                                const TPyxStadiums& Stadiums, const TPyxTeams& Teams_,
                                                const TPyxClubs& Clubs) {
    Teams.ConvertIndexes(Teams_);
    Relationships.ConvertIndexes(Nations, People, Stadiums, Teams_, Clubs);
}

void TPyxTeamContainer::RemovePerson(const TPyxPerson* Person) {
    Relationships.RemoveTarget(Person);
}

void TPyxTeamContainer::RemoveClub(const TPyxClub* Club) {
    Relationships.RemoveTarget(Club);
}

void TPyxTeamContainer::RemoveNation(const TPyxNation* Nation) {
    Relationships.RemoveTarget(Nation);
}

void TPyxTeamContainer::RemoveTeam(const TPyxTeam* Team) {
    Teams.RemoveAll(Team);
    Relationships.RemoveTarget(Team);
}
