#include "PyxNation.h"

#include "PyxCity.h"
#include "PyxClub.h"
#include "PyxContinent.h"
#include "PyxName.h"
#include "PyxPeople.h"
#include "PyxRegion.h"
#include "PyxStadium.h"
#include "PyxTeam.h"
#include "PyxText.h"

namespace {

[[noreturn]] void RaiseNationField(const char* Field, int64_t Value) {
    throw EFileCorruptError(std::string("Nations seems to be corrupt.\r\n") + Field + ": " + std::to_string(Value));
}

// A nation's language record, read into and written from a texts record and the nation's own fields alike: the
// nation holds its default-language texts in fields it shares with clubs, so it cannot be a texts record itself.
// The extra texts are appended to those already held.
template <class T> void ReadNationTexts(T& Texts, TPyxFileStream& Stream) {
    Stream.ReadWideString(Texts.Name);
    Texts.NameByte = Stream.ReadByte();
    Stream.ReadWideString(Texts.ShortName);
    Texts.ShortNameByte = Stream.ReadByte();
    Stream.ReadWideString(Texts.ThreeLetterName);
    Stream.ReadWideString(Texts.NationalityName);
    Texts.ExtraTexts.LoadByteCounted(Stream);
}

template <class T> void WriteNationTexts(const T& Texts, TPyxFileStream& Stream) {
    Stream.WriteWideString(Texts.Name);
    Stream.WriteByte(Texts.NameByte);
    Stream.WriteWideString(Texts.ShortName);
    Stream.WriteByte(Texts.ShortNameByte);
    Stream.WriteWideString(Texts.ThreeLetterName);
    Stream.WriteWideString(Texts.NationalityName);
    Texts.ExtraTexts.SaveByteCounted(Stream);
}

} // namespace

void TPyxNationTexts::LoadTexts(TPyxFileStream& Stream) {
    ReadNationTexts(*this, Stream);
}

void TPyxNationTexts::SaveTexts(TPyxFileStream& Stream) const {
    WriteNationTexts(*this, Stream);
}

void TPyxNationTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.SkipWideString();
    Stream.SkipWideStrings();
}

void TPyxNation::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    ClubCount = Stream.ReadInt16();
    PersonCount = Stream.ReadInt32();
    NationValue1 = Stream.ReadInt32();
    Reputation = Stream.ReadInt16();
    FIFARankingPoints = Stream.ReadInt16();
    NationValue2 = Stream.ReadInt16();
    NationalStadiumKey = Stream.ReadInt32();
    NationByte1 = Stream.ReadByte();
    NationValue3 = Stream.ReadInt32();
    NationValue4 = Stream.ReadInt16();
    FirstNameStart = Stream.ReadInt32();
    SecondNameStart = Stream.ReadInt32();
    CommonNameStart = Stream.ReadInt32();
    FirstNameCount = Stream.ReadInt32();
    SecondNameCount = Stream.ReadInt32();
    CommonNameCount = Stream.ReadInt32();
    FIFARankingPointsCount = Stream.ReadByte();
    if (FIFARankingPointsCount != 0)
        RaiseNationField("FIFA Ranking Points Count", FIFARankingPointsCount);
    FIFARankingCurrentYearMatchesCount = Stream.ReadByte();
    if (FIFARankingCurrentYearMatchesCount != 0)
        RaiseNationField("FIFA Ranking Current Year Matches Count", FIFARankingCurrentYearMatchesCount);
    UEFACoefficientCount = Stream.ReadByte();
    if (UEFACoefficientCount != 6)
        RaiseNationField("UEFA Coefficient Count", UEFACoefficientCount);
    Stream.Read(UEFACoefficients.data(), sizeof UEFACoefficients);
    HumanPlayerPoolCount = Stream.ReadInt16();
    if (HumanPlayerPoolCount != 0)
        RaiseNationField("Human Player Pool Count", HumanPlayerPoolCount);
    Stream.Read(NationBlock.data(), sizeof NationBlock);
    if (Version > 144)
        TransferInfo.LoadWordCounted(Stream, Version);
    StyleOfFootball = Stream.ReadByte();
    StateOfDevelopment = Stream.ReadByte();
    GroupMembership = Stream.ReadByte();
    GameImportance = Stream.ReadByte();
    LeagueStandard = Stream.ReadByte();
    NationByte2 = Stream.ReadByte();
    NationByte3 = Stream.ReadByte();
    FIFAFullMember = Stream.ReadByte();
    if (Version > 144)
        NationByte4 = Stream.ReadByte();
    ContinentKey = Stream.ReadInt32();
    RegionKey = Stream.ReadInt32();
    CapitalCityKey = Stream.ReadInt32();
    Languages.LoadByteCounted(Stream);
    NationByte5 = Stream.ReadByte();
    if (Version > 146)
        NationByte6 = Stream.ReadByte();
    TPyxTeamContainer::LoadFromStream(Stream, Version);
}

void TPyxNation::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteInt16(ClubCount);
    Stream.WriteInt32(PersonCount);
    Stream.WriteInt32(NationValue1);
    Stream.WriteInt16(Reputation);
    Stream.WriteInt16(FIFARankingPoints);
    Stream.WriteInt16(NationValue2);
    WriteID(NationalStadium, Stream);
    Stream.WriteByte(NationByte1);
    Stream.WriteInt32(NationValue3);
    Stream.WriteInt16(NationValue4);
    Stream.WriteInt32(FirstNameStart);
    Stream.WriteInt32(SecondNameStart);
    Stream.WriteInt32(CommonNameStart);
    Stream.WriteInt32(FirstNameCount);
    Stream.WriteInt32(SecondNameCount);
    Stream.WriteInt32(CommonNameCount);
    Stream.WriteByte(FIFARankingPointsCount);
    Stream.WriteByte(FIFARankingCurrentYearMatchesCount);
    Stream.WriteByte(UEFACoefficientCount);
    Stream.Write(UEFACoefficients.data(), sizeof UEFACoefficients);
    Stream.WriteInt16(HumanPlayerPoolCount);
    Stream.Write(NationBlock.data(), sizeof NationBlock);
    if (Version > 144)
        TransferInfo.SaveWordCounted(Stream, Version);
    Stream.WriteByte(StyleOfFootball);
    Stream.WriteByte(StateOfDevelopment);
    Stream.WriteByte(GroupMembership);
    Stream.WriteByte(GameImportance);
    Stream.WriteByte(LeagueStandard);
    Stream.WriteByte(NationByte2);
    Stream.WriteByte(NationByte3);
    Stream.WriteByte(FIFAFullMember);
    if (Version > 144)
        Stream.WriteByte(NationByte4);
    WriteID(Continent, Stream);
    WriteID(Region, Stream);
    WriteID(CapitalCity, Stream);
    Languages.SaveByteCounted(Stream);
    Stream.WriteByte(NationByte5);
    if (Version > 146)
        Stream.WriteByte(NationByte6);
    TPyxTeamContainer::SaveToStream(Stream, Version);
}

void TPyxNation::LoadLangFromStream(TPyxFileStream& Stream) {
    ReadNationTexts(*this, Stream);
}

void TPyxNation::SaveLangToStream(TPyxFileStream& Stream) const {
    WriteNationTexts(*this, Stream);
}

bool TPyxNation::Matches(const std::u16string& Text) const {
    if (Teams.Count() == 0)
        return false;
    return AnsiContainsText(Name, Text) || AnsiContainsText(ShortName, Text) || AnsiContainsText(ThreeLetterName, Text);
}

void TPyxNation::ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, const TPyxLanguages& Languages_,
                                const TPyxCities& Cities, const TPyxRegions& Regions, const TPyxContinents& Continents,
                                const TPyxStadiums& Stadiums, const TPyxTeams& Teams_, const TPyxClubs& Clubs,
                                int16_t Version) {
    NationalStadium = Stadiums.FindByID(NationalStadiumKey);
    Continent = Continents.FindByID(ContinentKey);
    Region = Regions.FindByID(RegionKey);
    CapitalCity = Cities.FindByID(CapitalCityKey);
    Languages.ConvertIndexes(Languages_);
    TransferInfo.ConvertIndexes(People, Clubs, Version);
    ConvertContainerIndexes(Nations, People, Stadiums, Teams_, Clubs);
}

void TPyxNation::RemovePerson(const TPyxPerson* Person) {
    TransferInfo.ClearRecordHolder(Person);
    TransferInfo.RemoveSalePercentagesForPerson(Person);
    TPyxTeamContainer::RemovePerson(Person);
}

void TPyxNation::RemoveClub(const TPyxClub* Club) {
    TransferInfo.RemoveSalePercentagesForClub(Club);
    TPyxTeamContainer::RemoveClub(Club);
}

float TPyxNation::GetUEFACoefficient(int Year) const {
    return Year >= 1998 && Year <= 2003 ? UEFACoefficients[static_cast<size_t>(Year - 1998)] : 0.0f;
}

void TPyxNation::SetUEFACoefficient(int Year, float Value) {
    if (Year >= 1998 && Year <= 2003)
        UEFACoefficients[static_cast<size_t>(Year - 1998)] = Value;
}

void TPyxNations::ConvertIndexes(const TPyxPeople& People, const TPyxLanguages& Languages, const TPyxCities& Cities,
                                 const TPyxRegions& Regions, const TPyxContinents& Continents,
                                 const TPyxStadiums& Stadiums, const TPyxTeams& Teams, const TPyxClubs& Clubs,
                                 int16_t Version) {
    LinkEach("Converting Nation Indexes", [&](TPyxNation* N) {
        N->ConvertIndexes(*this, People, Languages, Cities, Regions, Continents, Stadiums, Teams, Clubs, Version);
    });
}

void TPyxNations::RealignNames(const TPyxNamePools& Names) {
    struct TPool {
        const TPyxNames& Names;
        const char* Status;
        int32_t TPyxNation::*Start;
        int32_t TPyxNation::*Total;
    };
    const TPool Pools[] = {
        {Names.FirstNames, "Realigning First Names", &TPyxNation::FirstNameStart, &TPyxNation::FirstNameCount},
        {Names.SecondNames, "Realigning Second Names", &TPyxNation::SecondNameStart, &TPyxNation::SecondNameCount},
        {Names.CommonNames, "Realigning Common Names", &TPyxNation::CommonNameStart, &TPyxNation::CommonNameCount},
    };
    // The pools are sorted by nation ID and the nations renumbered to their positions, so the names of nation a
    // form one run starting at the first name with nation ID a.
    auto Clear = [&](const TPool& P, int32_t From, int32_t To) {
        for (int32_t N = std::max(From, 0); N < To && N < Count(); ++N) {
            Items(N)->*P.Start = -1;
            Items(N)->*P.Total = 0;
        }
    };
    for (const TPool& P : Pools) {
        DoStatus(P.Status);
        int32_t Current = -1;
        int32_t Run = 0;
        const int32_t Total = P.Names.Count();
        for (int32_t I = 0; I < Total; ++I) {
            const TPyxName* Name = P.Names.Items(I);
            int32_t A = Name->Nation ? Name->Nation->ID : -1;
            if (A > Current) {
                if (Current >= 0 && Current < Count())
                    Items(Current)->*P.Total = Run;
                Clear(P, Current + 1, A);
                if (A < Count())
                    Items(A)->*P.Start = I;
                Current = A;
                Run = 1;
            } else {
                ++Run;
            }
            DoProgress(I, Total);
        }
        if (Current >= 0 && Current < Count())
            Items(Current)->*P.Total = Run;
        Clear(P, Current + 1, Count());
    }
}
