#include "PyxCompetition.h"

#include "PyxContinent.h"
#include "PyxNation.h"
#include "PyxTeam.h"
#include "PyxText.h"

void TPyxCompetitionHistory::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    CompetitionKey = Stream.ReadInt32();
    Year = Stream.ReadInt16();
    FirstPlacedKey = Stream.ReadInt32();
    SecondPlacedKey = Stream.ReadInt32();
    ThirdPlacedKey = Stream.ReadInt32();
    HostsKey = Stream.ReadInt32();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxCompetitionHistory::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Competition, Stream);
    Stream.WriteInt16(Year);
    WriteID(FirstPlaced, Stream);
    WriteID(SecondPlaced, Stream);
    WriteID(ThirdPlaced, Stream);
    WriteID(Hosts, Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

std::unique_ptr<TPyxCompetitionHistory> TPyxCompetitionHistory::Clone() const {
    auto H = std::make_unique<TPyxCompetitionHistory>();
    H->Competition = Competition;
    H->Year = Year;
    H->FirstPlaced = FirstPlaced;
    H->SecondPlaced = SecondPlaced;
    H->ThirdPlaced = ThirdPlaced;
    H->Hosts = Hosts;
    return H;
}

void TPyxCompetitionHistories::ConvertIndexes(const TPyxCompetitions& Competitions, const TPyxTeams& Teams) {
    HandOverAll("Converting Competition History Indexes", [&](std::unique_ptr<TPyxCompetitionHistory> H) {
        H->Competition = Competitions.FindByID(H->CompetitionKey);
        if (!H->Competition)
            return;
        H->FirstPlaced = Teams.FindByID(H->FirstPlacedKey);
        H->SecondPlaced = Teams.FindByID(H->SecondPlacedKey);
        H->ThirdPlaced = Teams.FindByID(H->ThirdPlacedKey);
        H->Hosts = Teams.FindByID(H->HostsKey);
        H->Competition->Histories.Add(std::move(H), true);
    });
}

void TPyxCompetitionTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Stream.ReadWideString(ShortName);
    ShortNameByte = Stream.ReadByte();
    Stream.ReadWideString(ThreeLetterName);
}

void TPyxCompetitionTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteWideString(ShortName);
    Stream.WriteByte(ShortNameByte);
    Stream.WriteWideString(ThreeLetterName);
}

void TPyxCompetitionTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
}

void TPyxCompetition::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    NameByte = Stream.ReadByte();
    ShortNameByte = Stream.ReadByte();
    ThreeLetterNameByte = Stream.ReadByte();
    Colours.LoadFromStream(Stream);
    Reputation = Stream.ReadInt16();
    NameType = Stream.ReadByte();
    if (NameType != 0)
        throw EFileCorruptError("Competitions seems to be corrupt.\r\nName Type: " + std::to_string(NameType));
    Level = Stream.ReadByte();
    ContinentKey = Stream.ReadInt32();
    NationKey = Stream.ReadInt32();
    CompetitionValue1 = Stream.ReadInt32();
    CompetitionValue2 = Stream.ReadInt32();
    CompetitionValue3 = Stream.ReadInt32();
    UsesSquadNumbers = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxCompetition::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteByte(NameByte);
    Stream.WriteByte(ShortNameByte);
    Stream.WriteByte(ThreeLetterNameByte);
    Colours.SaveToStream(Stream);
    Stream.WriteInt16(Reputation);
    Stream.WriteByte(NameType);
    Stream.WriteByte(Level);
    WriteID(Continent, Stream);
    WriteID(Nation, Stream);
    Stream.WriteInt32(CompetitionValue1);
    Stream.WriteInt32(CompetitionValue2);
    Stream.WriteInt32(CompetitionValue3);
    Stream.WriteByte(UsesSquadNumbers);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxCompetition::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text) || AnsiContainsText(ShortName, Text) || AnsiContainsText(ThreeLetterName, Text);
}

void TPyxCompetition::RemoveTeam(const TPyxTeam* Team) {
    Histories.ForEach([&](TPyxCompetitionHistory* H) {
        for (TPyxTeam** T : {&H->FirstPlaced, &H->SecondPlaced, &H->ThirdPlaced, &H->Hosts})
            if (*T == Team)
                *T = nullptr;
    });
}

void TPyxCompetitions::ConvertIndexes(const TPyxContinents& Continents, const TPyxNations& Nations) {
    LinkEach("Converting Competition Indexes", [&](TPyxCompetition* C) {
        C->Continent = Continents.FindByID(C->ContinentKey);
        C->Nation = Nations.FindByID(C->NationKey);
    });
}
