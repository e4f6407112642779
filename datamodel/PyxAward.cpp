#include "PyxAward.h"

#include "PyxCompetition.h"
#include "PyxContinent.h"
#include "PyxNation.h"
#include "PyxPeople.h"
#include "PyxText.h"

void TPyxAwardHistory::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    AwardKey = Stream.ReadInt32();
    Year = Stream.ReadInt16();
    Person1Key = Stream.ReadInt32();
    Person2Key = Stream.ReadInt32();
    Person3Key = Stream.ReadInt32();
    HistoryByte1 = Stream.ReadByte();
    HistoryByte2 = Stream.ReadByte();
    HistoryByte3 = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxAwardHistory::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Award, Stream);
    Stream.WriteInt16(Year);
    WriteID(Person1, Stream);
    WriteID(Person2, Stream);
    WriteID(Person3, Stream);
    Stream.WriteByte(HistoryByte1);
    Stream.WriteByte(HistoryByte2);
    Stream.WriteByte(HistoryByte3);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxAwardHistories::ConvertIndexes(const TPyxAwards& Awards, const TPyxPeople& People) {
    HandOverAll("Converting Award History Indexes", [&](std::unique_ptr<TPyxAwardHistory> H) {
        H->Award = Awards.FindByID(H->AwardKey);
        if (!H->Award)
            return;
        H->Person1 = People.FindByID(H->Person1Key);
        H->Person2 = People.FindByID(H->Person2Key);
        H->Person3 = People.FindByID(H->Person3Key);
        H->Award->Histories.Add(std::move(H), true);
    });
}

void TPyxAwardTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Stream.ReadWideString(ShortName);
    ShortNameByte = Stream.ReadByte();
}

void TPyxAwardTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteWideString(ShortName);
    Stream.WriteByte(ShortNameByte);
}

void TPyxAwardTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.Skip(1);
}

void TPyxAward::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    NameByte = Stream.ReadByte();
    ShortNameByte = Stream.ReadByte();
    Scope = Stream.ReadByte();
    Colours.LoadFromStream(Stream);
    Reputation = Stream.ReadInt16();
    AwardType = Stream.ReadByte();
    DateRule = Stream.ReadByte();
    AwardDate.LoadFromStream(Stream);
    ContinentKey = Stream.ReadInt32();
    NationKey = Stream.ReadInt32();
    RunBy = Stream.ReadByte();
    Formation = Stream.ReadByte();
    MaxAge = Stream.ReadByte();
    WinnerHomeReputation = Stream.ReadByte();
    WinnerWorldReputation = Stream.ReadByte();
    CompetitionKey = Stream.ReadInt32();
    if (Version > 144)
        AwardExtra = Stream.ReadInt16();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxAward::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteByte(NameByte);
    Stream.WriteByte(ShortNameByte);
    Stream.WriteByte(Scope);
    Colours.SaveToStream(Stream);
    Stream.WriteInt16(Reputation);
    Stream.WriteByte(AwardType);
    Stream.WriteByte(DateRule);
    AwardDate.SaveToStream(Stream);
    WriteID(Continent, Stream);
    WriteID(Nation, Stream);
    Stream.WriteByte(RunBy);
    Stream.WriteByte(Formation);
    Stream.WriteByte(MaxAge);
    Stream.WriteByte(WinnerHomeReputation);
    Stream.WriteByte(WinnerWorldReputation);
    WriteID(Competition, Stream);
    if (Version > 144)
        Stream.WriteInt16(AwardExtra);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxAward::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text) || AnsiContainsText(ShortName, Text);
}

void TPyxAward::RemovePerson(const TPyxPerson* Person) {
    Histories.ForEach([&](TPyxAwardHistory* H) {
        for (TPyxPerson** P : {&H->Person1, &H->Person2, &H->Person3})
            if (*P == Person)
                *P = nullptr;
    });
}

void TPyxAwards::ConvertIndexes(const TPyxContinents& Continents, const TPyxNations& Nations,
                                const TPyxCompetitions& Competitions) {
    LinkEach("Converting Award Indexes", [&](TPyxAward* A) {
        A->Continent = Continents.FindByID(A->ContinentKey);
        A->Nation = Nations.FindByID(A->NationKey);
        A->Competition = Competitions.FindByID(A->CompetitionKey);
    });
}
