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

} // namespace

void TPyxNationTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
    Stream.ReadWideString(ShortName);
    ShortNameByte = Stream.ReadByte();
    Stream.ReadWideString(ThreeLetterName);
    Stream.ReadWideString(NationalityName);
    ExtraTexts.LoadByteCounted(Stream);
}

void TPyxNationTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
    Stream.WriteWideString(ShortName);
    Stream.WriteByte(ShortNameByte);
    Stream.WriteWideString(ThreeLetterName);
    Stream.WriteWideString(NationalityName);
    ExtraTexts.SaveByteCounted(Stream);
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

TPyxNationTexts TPyxNation::GetTexts() const {
    TPyxNationTexts T;
    T.Name = Name;
    T.NameByte = NameByte;
    T.ShortName = ShortName;
    T.ShortNameByte = ShortNameByte;
    T.ThreeLetterName = ThreeLetterName;
    T.NationalityName = NationalityName;
    T.ExtraTexts = ExtraTexts;
    return T;
}

void TPyxNation::SetTexts(const TPyxNationTexts& T) {
    Name = T.Name;
    NameByte = T.NameByte;
    ShortName = T.ShortName;
    ShortNameByte = T.ShortNameByte;
    ThreeLetterName = T.ThreeLetterName;
    NationalityName = T.NationalityName;
    ExtraTexts = T.ExtraTexts;
}

void TPyxNation::LoadLangFromStream(TPyxFileStream& Stream) {
    // The default-language record appends its extra texts to those already held.
    TPyxNationTexts T;
    T.LoadTexts(Stream);
    TWideStrings Extra = ExtraTexts;
    for (int32_t I = 0; I < T.ExtraTexts.Count(); ++I)
        Extra.Add(T.ExtraTexts.Get(I));
    T.ExtraTexts = Extra;
    SetTexts(T);
}

void TPyxNation::SaveLangToStream(TPyxFileStream& Stream) const {
    GetTexts().SaveTexts(Stream);
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

std::unique_ptr<TPyxObject> TPyxNations::CreateEntity(uint8_t RecordType) {
    if (RecordType != 0)
        RaiseRecordType("Nations", RecordType);
    return std::make_unique<TPyxNation>();
}

void TPyxNations::ConvertIndexes(const TPyxPeople& People, const TPyxLanguages& Languages, const TPyxCities& Cities,
                                 const TPyxRegions& Regions, const TPyxContinents& Continents,
                                 const TPyxStadiums& Stadiums, const TPyxTeams& Teams, const TPyxClubs& Clubs,
                                 int16_t Version) {
    LinkEach("Converting Nation Indexes", [&](TPyxNation* N) {
        N->ConvertIndexes(*this, People, Languages, Cities, Regions, Continents, Stadiums, Teams, Clubs, Version);
    });
}

void TPyxNations::RealignNames(const TPyxNames& FirstNames, const TPyxNames& SecondNames,
                               const TPyxNames& CommonNames) {
    struct TPool {
        const TPyxNames& Names;
        const char* Status;
        int32_t TPyxNation::*Start;
        int32_t TPyxNation::*Total;
    };
    const TPool Pools[] = {
        {FirstNames, "Realigning First Names", &TPyxNation::FirstNameStart, &TPyxNation::FirstNameCount},
        {SecondNames, "Realigning Second Names", &TPyxNation::SecondNameStart, &TPyxNation::SecondNameCount},
        {CommonNames, "Realigning Common Names", &TPyxNation::CommonNameStart, &TPyxNation::CommonNameCount},
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
