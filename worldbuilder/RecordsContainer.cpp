#include "Records.h"

namespace wb {

void WriteRelationship(TBytes& Out, const TRelationship& Relationship) {
    Out.U8(Relationship.TargetType);
    Out.U8(Relationship.Kind);
    Out.U8(Relationship.Amount);
    Out.U8(Relationship.Unnamed);
    Out.I32(Relationship.TargetID);
}

void WriteTransferInfo(TBytes& Out, const TTransferInfo& Info) {
    Out.U8(Info.Type);
    if (Info.Type == 5) {
        Out.I32(Info.PersonKey);
        Out.I32(Info.ClubID);
        Out.U8(Info.SaleValue1);
        Out.U8(Info.SaleValue2);
    } else if (Info.Type == 9) {
        Out.I32(Info.Holder1UniqueID);
        Out.I16(Info.RecordValue1);
        Out.I32(Info.Holder2UniqueID);
        Out.I16(Info.RecordValue2);
        for (const auto& Text : Info.Texts)
            Out.WStr(Text);
    }
}

static void WriteTransferInfoList(TBytes& Out, const std::vector<TTransferInfo>& Infos) {
    Out.U16(static_cast<uint16_t>(Infos.size()));
    for (const auto& Info : Infos)
        WriteTransferInfo(Out, Info);
}

void WriteContainerPart(TBytes& Out, const TContainerPart& Container) {
    Out.U8(Container.TeamType);
    Out.U8(Container.NameByte);
    Out.U8(Container.ShortNameByte);
    Out.WStr(Container.Name);
    Out.WStr(Container.ShortName);
    Out.U8(static_cast<uint8_t>(Container.Kits.size()));
    for (const auto& Kit : Container.Kits)
        WriteColor(Out, Kit);
    WriteIDList8(Out, Container.TeamIDs);
    Out.U8(static_cast<uint8_t>(Container.Relationships.size()));
    for (const auto& Relationship : Container.Relationships)
        WriteRelationship(Out, Relationship);
}

void WriteRecord(TBytes& Out, const TClub& Club, int16_t) {
    Out.U8(Club.RecordType);
    Out.I32(Club.NationID);
    Out.U8(Club.ClubTextByte);
    Out.WStr(Club.Nickname1);
    Out.U8(Club.Nickname1Byte);
    Out.WStr(Club.Nickname2);
    Out.U8(Club.YouthAcademy);
    Out.U8(Club.YouthSetup);
    Out.U8(Club.ProfessionalStatus);
    Out.I32(Club.AverageAttendance);
    Out.I32(Club.MinimumAttendance);
    Out.I32(Club.MaximumAttendance);
    Out.U8(Club.Training);
    Out.U8(Club.PublicLimitedCompany);
    Out.I32(Club.ChairmanID);
    Out.I16(Club.ClubValue1);
    WriteIDList8(Out, Club.BoardMemberIDs);
    WriteIDList8(Out, Club.ScoutIDs);
    Out.U8(Club.FinanceType);
    Out.I32(Club.Balance);
    Out.I32(Club.Sponsor);
    Out.I16(Club.TransferOfferCount);
    WriteTransferInfoList(Out, Club.TransferInfo);
    Out.U8(Club.ClubLinks);
    Out.I32(Club.ClubValue2);
    Out.I32(Club.ClubValue3);
    Out.I32(Club.ClubValue4);
    Out.I16(Club.ShortlistedPeopleCount);
    Out.U8(Club.InternationalDatePlayerCounts);
    Out.U8(Club.ClubValue5);
    Out.I32(Club.CaptainID);
    WriteContainerPart(Out, Club.Container);
    WriteTail(Out, Club);
}

void WriteRecord(TBytes& Out, const TNation& Nation, int16_t Version) {
    Out.U8(Nation.RecordType);
    Out.I16(Nation.ClubCount);
    Out.I32(Nation.PersonCount);
    Out.I32(Nation.NationValue1);
    Out.I16(Nation.Reputation);
    Out.I16(Nation.FIFARankingPoints);
    Out.I16(Nation.NationValue2);
    Out.I32(Nation.NationalStadiumID);
    Out.U8(Nation.NationByte1);
    Out.I32(Nation.NationValue3);
    Out.I16(Nation.NationValue4);
    Out.I32(Nation.FirstNameStart);
    Out.I32(Nation.SecondNameStart);
    Out.I32(Nation.CommonNameStart);
    Out.I32(Nation.FirstNameCount);
    Out.I32(Nation.SecondNameCount);
    Out.I32(Nation.CommonNameCount);
    Out.U8(Nation.FIFARankingPointsCount);
    Out.U8(Nation.FIFARankingCurrentYearMatchesCount);
    Out.U8(Nation.UEFACoefficientCount);
    for (const auto& Coefficient : Nation.UEFACoefficients)
        Out.F32Bits(Coefficient.Bits);
    Out.I16(Nation.HumanPlayerPoolCount);
    Out.Raw(Nation.NationBlock);
    if (HasV145(Version))
        WriteTransferInfoList(Out, Nation.TransferInfo);
    Out.U8(Nation.StyleOfFootball);
    Out.U8(Nation.StateOfDevelopment);
    Out.U8(Nation.GroupMembership);
    Out.U8(Nation.GameImportance);
    Out.U8(Nation.LeagueStandard);
    Out.U8(Nation.NationByte2);
    Out.U8(Nation.NationByte3);
    Out.U8(Nation.FIFAFullMember);
    if (HasV145(Version))
        Out.U8(Nation.NationByte4);
    Out.I32(Nation.ContinentID);
    Out.I32(Nation.RegionID);
    Out.I32(Nation.CapitalCityID);
    WriteIDList8(Out, Nation.LanguageIDs);
    Out.U8(Nation.NationByte5);
    if (HasV147(Version))
        Out.U8(Nation.NationByte6);
    WriteContainerPart(Out, Nation.Container);
    WriteTail(Out, Nation);
}

void WriteLangRecord(TBytes& Out, const TClubText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.ShortName);
    Out.U8(Text.ShortNameByte);
    Out.WStr(Text.ClubText);
    Out.U8(Text.ClubTextByte);
    Out.WStr(Text.Nickname1);
    Out.U8(Text.Nickname1Byte);
    Out.WStr(Text.Nickname2);
}

void WriteLangRecord(TBytes& Out, const TNationText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.ShortName);
    Out.U8(Text.ShortNameByte);
    Out.WStr(Text.ThreeLetterName);
    Out.WStr(Text.NationalityName);
    WriteWideStringList(Out, Text.ExtraTexts);
}

} // namespace wb
