#include "PyxPerson.h"

#include "PyxCity.h"
#include "PyxClub.h"
#include "PyxCompetition.h"
#include "PyxHandOver.h"
#include "PyxName.h"
#include "PyxNation.h"
#include "PyxPeople.h"
#include "PyxStadium.h"
#include "PyxTeam.h"
#include "PyxText.h"

#include <algorithm>
#include <array>

namespace {

[[noreturn]] void RaisePersonField(const char* Field, int64_t Value) {
    throw EFileCorruptError(std::string("Person data seems to be corrupt.\r\n") + Field + ": " + std::to_string(Value));
}

} // namespace

std::u16string TPyxPerson::GetFirstName() const {
    return FirstName ? FirstName->Text : u"";
}
std::u16string TPyxPerson::GetSecondName() const {
    return SecondName ? SecondName->Text : u"";
}
std::u16string TPyxPerson::GetCommonName() const {
    return CommonName ? CommonName->Text : u"";
}

std::u16string TPyxPerson::GetName() const {
    if (CommonName && !CommonName->Text.empty())
        return CommonName->Text;
    std::u16string Second = GetSecondName();
    if (FirstName && !FirstName->Text.empty())
        return Second.empty() ? FirstName->Text : Second + u", " + FirstName->Text;
    return Second;
}

bool TPyxPerson::Matches(const std::u16string& Text) const {
    // A search runs this for each of some 300,000 persons, so nothing is built on the heap: the text is folded
    // once into a stack buffer and tried against the names where they are.
    std::array<char16_t, 32> Buffer;
    if (Text.size() > Buffer.size())
        return MatchesLongText(Text);
    FoldCase(Text, Buffer.data());
    const std::u16string_view Key(Buffer.data(), Text.size());
    if (CommonName && !CommonName->Text.empty() && ContainsFoldedText(CommonName->Text, Key))
        return true;
    // The names as the search sees them: "First Second", "First", or " Second" when only that is set. A text
    // without a space lies wholly in one of the two names, for no other character folds to a space.
    const std::u16string_view First = FirstName ? std::u16string_view(FirstName->Text) : std::u16string_view();
    const bool HasSecond = SecondName && !SecondName->Text.empty();
    const std::u16string_view Second = HasSecond ? std::u16string_view(SecondName->Text) : std::u16string_view();
    if (Key.find(u' ') == std::u16string_view::npos)
        return ContainsFoldedText(First, Key) || ContainsFoldedText(Second, Key);
    const size_t Length = First.size() + (HasSecond ? 1 + Second.size() : 0);
    if (Key.size() > Length)
        return false;
    std::array<char16_t, 128> Joined;
    if (Length > Joined.size())
        return MatchesLongText(Text);
    FoldCase(First, Joined.data());
    if (HasSecond) {
        Joined[First.size()] = u' ';
        FoldCase(Second, Joined.data() + First.size() + 1);
    }
    return std::u16string_view(Joined.data(), Length).find(Key) != std::u16string_view::npos;
}

// Matches as the names read, for texts and names too long for the stack buffers.
bool TPyxPerson::MatchesLongText(const std::u16string& Text) const {
    if (CommonName && !CommonName->Text.empty() && AnsiContainsText(CommonName->Text, Text))
        return true;
    std::u16string Full = GetFirstName();
    if (SecondName && !SecondName->Text.empty())
        Full.append(u" ").append(SecondName->Text);
    return AnsiContainsText(Full, Text);
}

void TPyxPerson::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    if (IsPlayer()) {
        Player = std::make_unique<TPyxPlayer>(Version, false);
        Player->LoadFromStream(Stream, Version);
    }
    if (IsNonPlayer()) {
        NonPlayer = std::make_unique<TPyxNonPlayer>(false);
        NonPlayer->LoadFromStream(Stream);
    }
    if (IsOfficial()) {
        Official = std::make_unique<TPyxOfficial>();
        Official->LoadFromStream(Stream);
    }
    FirstNameKey = Stream.ReadInt32();
    SecondNameKey = Stream.ReadInt32();
    CommonNameKey = Stream.ReadInt32();
    DateOfBirth.LoadFromStream(Stream);
    NationKey = Stream.ReadInt32();
    InternationalApps = Stream.ReadByte();
    InternationalGoals = Stream.ReadByte();
    if (Version > 144) {
        U21Apps = Stream.ReadByte();
        U21Goals = Stream.ReadByte();
    }
    NationalTeamKey = Stream.ReadInt32();
    NationalJob = Stream.ReadByte();
    DateJoinedNation.LoadFromStream(Stream);
    ClubTeamKey = Stream.ReadInt32();
    ClubJob = Stream.ReadByte();
    DateJoinedClub.LoadFromStream(Stream);
    PersonByte1 = Stream.ReadByte();
    PersonDataKey = Stream.ReadInt32();
    CityOfBirthKey = Stream.ReadInt32();
    TransferOfferCount = Stream.ReadByte();
    if (TransferOfferCount != 0)
        RaisePersonField("Transfer Offer Count", TransferOfferCount);
    PersonValue1 = Stream.ReadInt32();
    PersonValue2 = Stream.ReadInt32();
    Contracts.LoadByteCounted(Stream, Version);
    ContractOfferCount = Stream.ReadByte();
    if (ContractOfferCount != 0)
        RaisePersonField("Contract Offer Count", ContractOfferCount);
    if (Stream.ReadByte() != 0)
        Relationships.LoadByteCounted(Stream, Version);
    InterestedClubCount = Stream.ReadInt16();
    if (InterestedClubCount != 0)
        RaisePersonField("Interested Club Count", InterestedClubCount);
    if (Version > 144)
        PersonByte2 = Stream.ReadByte();
    PersonByte3 = Stream.ReadByte();
    TPyxObject::LoadFromStream(Stream, Version);
    if (Version > 144 && IsPlayerAndNonPlayer())
        PersonValue3 = Stream.ReadInt16();
}

void TPyxPerson::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    WriteID(this, Stream);
    Stream.WriteByte(PersonType);
    if (Player)
        Player->SaveToStream(Stream, Version);
    if (NonPlayer)
        NonPlayer->SaveToStream(Stream);
    if (Official)
        Official->SaveToStream(Stream);
    WriteID(FirstName, Stream);
    WriteID(SecondName, Stream);
    WriteID(CommonName, Stream);
    DateOfBirth.SaveToStream(Stream);
    WriteID(Nation, Stream);
    Stream.WriteByte(InternationalApps);
    Stream.WriteByte(InternationalGoals);
    if (Version > 144) {
        Stream.WriteByte(U21Apps);
        Stream.WriteByte(U21Goals);
    }
    WriteID(NationalTeam, Stream);
    Stream.WriteByte(NationalJob);
    DateJoinedNation.SaveToStream(Stream);
    WriteID(ClubTeam, Stream);
    Stream.WriteByte(ClubJob);
    DateJoinedClub.SaveToStream(Stream);
    Stream.WriteByte(PersonByte1);
    WriteID(PersonData.get(), Stream);
    WriteID(CityOfBirth, Stream);
    Stream.WriteByte(TransferOfferCount);
    Stream.WriteInt32(PersonValue1);
    Stream.WriteInt32(PersonValue2);
    Contracts.SaveByteCounted(Stream, Version);
    Stream.WriteByte(ContractOfferCount);
    Stream.WriteByte(Relationships.Count() > 0 ? 1 : 0);
    if (Relationships.Count() > 0)
        Relationships.SaveByteCounted(Stream, Version);
    Stream.WriteInt16(InterestedClubCount);
    if (Version > 144)
        Stream.WriteByte(PersonByte2);
    Stream.WriteByte(PersonByte3);
    TPyxObject::SaveToStream(Stream, Version);
    if (Version > 144 && IsPlayerAndNonPlayer())
        Stream.WriteInt16(PersonValue3);
}

void TPyxPerson::InitNew(int16_t ServerVersion) {
    PersonType = ptPlayer;
    Player = std::make_unique<TPyxPlayer>(ServerVersion);
    NonPlayer.reset();
    Official.reset();
    FirstName = SecondName = CommonName = nullptr;
    Nation = nullptr;
    NationalTeam = ClubTeam = nullptr;
    InternationalApps = InternationalGoals = U21Apps = U21Goals = 0;
    NationalJob = ClubJob = 0;
    PersonByte1 = 0;
    PersonData = std::make_unique<TPyxPersonData>();
    CityOfBirth = nullptr;
    TransferOfferCount = ContractOfferCount = 0;
    InterestedClubCount = 0;
    PersonValue1 = 0;
    PersonValue2 = -1;
    PersonByte2 = PersonByte3 = 0;
    PersonValue3 = 0;
    PlayingHistory.reset();
}

void TPyxPerson::ConvertIndexes(TPyxPersonLinks& L) {
    if (NonPlayer)
        NonPlayer->ConvertIndexes(L.NonPlayingDatas);
    if (Player)
        Player->ConvertIndexes(L.PlayingDatas);
    if (Official)
        Official->ConvertIndexes(L.Cities, L.Competitions);
    FirstName = L.Names.FirstNames.FindByID(FirstNameKey);
    SecondName = L.Names.SecondNames.FindByID(SecondNameKey);
    CommonName = L.Names.CommonNames.FindByID(CommonNameKey);
    Nation = L.Nations.FindByID(NationKey);
    NationalTeam = L.Teams.FindByID(NationalTeamKey);
    ClubTeam = L.Teams.FindByID(ClubTeamKey);
    // An official keeps no personality record: none is written for one, so none may be kept that would be
    // written with a stale number.
    if (!IsOfficial()) {
        PersonData = L.PersonDatas.Take(PersonDataKey, "person");
        if (!PersonData)
            throw EFileCorruptError("Person data seems to be corrupt.\r\nNo Person Data");
    }
    CityOfBirth = L.Cities.FindByID(CityOfBirthKey);
    Contracts.ConvertIndexes(L.Clubs, L.Nations);
    Relationships.ConvertIndexes(L.Nations, L.People, L.Stadiums, L.Teams, L.Clubs);
}

TPyxClub* TPyxPerson::GetCoOwner() const {
    TPyxContract* C = Contracts.GetCoOwnerContract();
    return C ? static_cast<TPyxClub*>(C->Employer) : nullptr;
}

TPyxNation* TPyxPerson::GetSecondNation() const {
    TPyxNation* Result = nullptr;
    for (const auto& R : Relationships)
        if (R->Kind == 9)
            Result = dynamic_cast<TPyxNation*>(R->Target);
    return Result;
}

bool TPyxPerson::GetInternationalRetirement() const {
    for (const auto& R : Relationships)
        if (R->Kind == 10)
            return true;
    return false;
}
