#include "PyxClub.h"

#include "PyxNation.h"
#include "PyxPeople.h"
#include "PyxStadium.h"
#include "PyxTeam.h"

namespace {

[[noreturn]] void RaiseClubField(const char* Field, int64_t Value) {
    throw EFileCorruptError(std::string("Clubs seems to be corrupt.\r\n") + Field + ": " + std::to_string(Value));
}

// A club's language record, read into and written from a texts record and the club's own fields alike: the club
// holds its default-language texts in fields it shares with nations, so it cannot be a texts record itself.
template <class T> void ReadClubTexts(T& Texts, TPyxFileStream& Stream) {
    Stream.ReadWideString(Texts.Name);
    Texts.NameByte = Stream.ReadByte();
    Stream.ReadWideString(Texts.ShortName);
    Texts.ShortNameByte = Stream.ReadByte();
    Stream.ReadWideString(Texts.ClubText);
    Texts.ClubTextByte = Stream.ReadByte();
    Stream.ReadWideString(Texts.Nickname1);
    Texts.Nickname1Byte = Stream.ReadByte();
    Stream.ReadWideString(Texts.Nickname2);
}

template <class T> void WriteClubTexts(const T& Texts, TPyxFileStream& Stream) {
    Stream.WriteWideString(Texts.Name);
    Stream.WriteByte(Texts.NameByte);
    Stream.WriteWideString(Texts.ShortName);
    Stream.WriteByte(Texts.ShortNameByte);
    Stream.WriteWideString(Texts.ClubText);
    Stream.WriteByte(Texts.ClubTextByte);
    Stream.WriteWideString(Texts.Nickname1);
    Stream.WriteByte(Texts.Nickname1Byte);
    Stream.WriteWideString(Texts.Nickname2);
}

} // namespace

void TPyxClubTexts::LoadTexts(TPyxFileStream& Stream) {
    ReadClubTexts(*this, Stream);
}

void TPyxClubTexts::SaveTexts(TPyxFileStream& Stream) const {
    WriteClubTexts(*this, Stream);
}

void TPyxClubTexts::SkipTexts(TPyxFileStream& Stream) {
    for (int I = 0; I < 4; ++I) {
        Stream.SkipWideString();
        Stream.Skip(1);
    }
    Stream.SkipWideString();
}

TPyxClub::TPyxClub(int16_t ServerVersion)
    : ClubValue3(ServerVersion == 112 ? 1 : 2), ClubValue4(ServerVersion == 112 ? 2 : 3) {}

void TPyxClub::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    NationKey = Stream.ReadInt32();
    ClubTextByte = Stream.ReadByte();
    Stream.ReadWideString(Nickname1);
    Nickname1Byte = Stream.ReadByte();
    Stream.ReadWideString(Nickname2);
    YouthAcademy = Stream.ReadByte();
    YouthSetup = Stream.ReadByte();
    ProfessionalStatus = Stream.ReadByte();
    AverageAttendance = Stream.ReadInt32();
    MinimumAttendance = Stream.ReadInt32();
    MaximumAttendance = Stream.ReadInt32();
    Training = Stream.ReadByte();
    PublicLimitedCompany = Stream.ReadByte();
    ChairmanKey = Stream.ReadInt32();
    ClubValue1 = Stream.ReadInt16();
    BoardMembers.LoadByteCounted(Stream);
    Scouts.LoadByteCounted(Stream);
    FinanceType = Stream.ReadByte();
    if (FinanceType != 0)
        RaiseClubField("Finance Type", FinanceType);
    Balance = Stream.ReadInt32();
    Sponsor = Stream.ReadInt32();
    if (Sponsor != 0)
        RaiseClubField("Sponsor", Sponsor);
    TransferOfferCount = Stream.ReadInt16();
    if (TransferOfferCount != 0)
        RaiseClubField("Transfer Offer Count", TransferOfferCount);
    TransferInfo.LoadWordCounted(Stream, Version);
    ClubLinks = Stream.ReadByte();
    if (ClubLinks != 0)
        RaiseClubField("Club Links", ClubLinks);
    ClubValue2 = Stream.ReadInt32();
    ClubValue3 = Stream.ReadInt32();
    ClubValue4 = Stream.ReadInt32();
    ShortlistedPeopleCount = Stream.ReadInt16();
    if (ShortlistedPeopleCount != 0)
        RaiseClubField("Shortlisted People Count", ShortlistedPeopleCount);
    InternationalDatePlayerCounts = Stream.ReadByte();
    if (InternationalDatePlayerCounts != 0)
        RaiseClubField("International Date Player Counts", InternationalDatePlayerCounts);
    ClubValue5 = Stream.ReadByte();
    CaptainKey = Stream.ReadInt32();
    TPyxTeamContainer::LoadFromStream(Stream, Version);
}

void TPyxClub::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Nation, Stream);
    Stream.WriteByte(ClubTextByte);
    Stream.WriteWideString(Nickname1);
    Stream.WriteByte(Nickname1Byte);
    Stream.WriteWideString(Nickname2);
    Stream.WriteByte(YouthAcademy);
    Stream.WriteByte(YouthSetup);
    Stream.WriteByte(ProfessionalStatus);
    Stream.WriteInt32(AverageAttendance);
    Stream.WriteInt32(MinimumAttendance);
    Stream.WriteInt32(MaximumAttendance);
    Stream.WriteByte(Training);
    Stream.WriteByte(PublicLimitedCompany);
    WriteID(Chairman, Stream);
    Stream.WriteInt16(ClubValue1);
    BoardMembers.SaveByteCounted(Stream);
    Scouts.SaveByteCounted(Stream);
    Stream.WriteByte(FinanceType);
    Stream.WriteInt32(Balance);
    Stream.WriteInt32(Sponsor);
    Stream.WriteInt16(TransferOfferCount);
    TransferInfo.SaveWordCounted(Stream, Version);
    Stream.WriteByte(ClubLinks);
    Stream.WriteInt32(ClubValue2);
    Stream.WriteInt32(ClubValue3);
    Stream.WriteInt32(ClubValue4);
    Stream.WriteInt16(ShortlistedPeopleCount);
    Stream.WriteByte(InternationalDatePlayerCounts);
    Stream.WriteByte(ClubValue5);
    WriteID(Captain, Stream);
    TPyxTeamContainer::SaveToStream(Stream, Version);
}

void TPyxClub::LoadLangFromStream(TPyxFileStream& Stream) {
    ReadClubTexts(*this, Stream);
}

void TPyxClub::SaveLangToStream(TPyxFileStream& Stream) const {
    WriteClubTexts(*this, Stream);
}

void TPyxClub::ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, int16_t Version,
                              const TPyxStadiums& Stadiums, const TPyxTeams& Teams_, const TPyxClubs& Clubs) {
    Nation = Nations.FindByID(NationKey);
    Chairman = People.FindByID(ChairmanKey);
    BoardMembers.ConvertIndexes(People);
    Scouts.ConvertIndexes(People);
    TransferInfo.ConvertIndexes(People, Clubs, Version);
    Captain = People.FindByID(CaptainKey);
    ConvertContainerIndexes(Nations, People, Stadiums, Teams_, Clubs);
}

void TPyxClub::RemovePerson(const TPyxPerson* Person) {
    // Also a club the person has left may name them: a stale post, or the sell-on records a former club keeps.
    RemovePersonFromPosts(Person);
    TransferInfo.ClearRecordHolder(Person);
    TPyxTeamContainer::RemovePerson(Person);
}

void TPyxClub::RemoveClub(const TPyxClub* Club) {
    TransferInfo.RemoveSalePercentagesForClub(Club);
    TPyxTeamContainer::RemoveClub(Club);
}

void TPyxClub::RemoveNation(const TPyxNation* ANation) {
    if (Nation == ANation)
        Nation = nullptr;
    TPyxTeamContainer::RemoveNation(ANation);
}

void TPyxClubs::ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, int16_t Version,
                               const TPyxStadiums& Stadiums, const TPyxTeams& Teams) {
    LinkEach("Converting Club Indexes",
             [&](TPyxClub* C) { C->ConvertIndexes(Nations, People, Version, Stadiums, Teams, *this); });
}
