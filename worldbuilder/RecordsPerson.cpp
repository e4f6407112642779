#include "Records.h"

namespace wb {

bool JobHasContract(uint8_t JobCode) {
    switch (JobCode) {
    case Job::None:
    case Job::Chairman:
    case Job::ManagingDirector:
    case Job::DirectorOfFootball:
    case Job::GeneralManager:
        return false;
    default:
        return true;
    }
}

TContract TContract::Club(int32_t EmployerClubID) {
    TContract Contract;
    Contract.EmployerID = EmployerClubID;
    return Contract;
}

TContract TContract::Nation(int32_t EmployerNationID) {
    TContract Contract;
    Contract.NationContract = 1;
    Contract.EmployerID = EmployerNationID;
    Contract.Byte42 = 255;
    Contract.Byte57 = 255;
    Contract.Byte58 = 0;
    Contract.SquadNumber = 0;
    return Contract;
}

void WriteContract(TBytes& Out, const TContract& Contract, int16_t Version) {
    Out.U8(Contract.ContractType);
    Out.U8(Contract.Byte1);
    Out.U8(Contract.Byte2);
    Out.I16(Contract.Short3);
    for (int32_t Value : Contract.Ints5)
        Out.I32(Value);
    Out.U8(static_cast<uint8_t>(Contract.SkippedItems.size()));
    for (const auto& Item : Contract.SkippedItems)
        Out.Raw(Item);
    Out.I32(Contract.Int22);
    Out.U8(Contract.Byte26);
    Out.U8(Contract.Byte27);
    if (HasV145(Version))
        Out.U8(Contract.CoOwned);
    Out.U8(Contract.NationContract);
    Out.I32(Contract.EmployerID);
    Out.I32(Contract.EstimatedWage);
    WriteDate(Out, Contract.ContractExpires);
    Out.U8(Contract.Byte42);
    Out.U8(Contract.Byte43);
    for (int32_t Value : Contract.Ints44)
        Out.I32(Value);
    if (HasV145(Version))
        WriteDate(Out, Contract.ContractStart);
    Out.U8(Contract.Byte56);
    Out.U8(Contract.Byte57);
    Out.U8(Contract.Byte58);
    Out.U8(Contract.SquadNumber);
    Out.U8(Contract.Byte60);
    if (HasV145(Version))
        Out.I16(Contract.Short61);
}

static void WritePlayerBlock(TBytes& Out, const TPlayerBlock& Player, int16_t Version) {
    Out.I16(Player.HomeReputation);
    Out.I16(Player.CurrentReputation);
    Out.I16(Player.WorldReputation);
    Out.I16(Player.CurrentAbility);
    Out.I16(Player.PotentialAbility);
    Out.I32(Player.PlayingDataID);
    Out.I32(Player.Int14);
    Out.I32(Player.EstimatedValue);
    Out.U8(Player.Byte22);
    Out.U8(Player.Byte23);
    Out.I16(Player.Short24);
    Out.I16(Player.Short26);
    Out.I16(Player.Short28);
    Out.U8(Player.Byte30);
    Out.I16(Player.Short31);
    Out.I16(Player.Short33);
    Out.U8(Player.Byte35);
    Out.U8(Player.DeclaredForNation);
    Out.I16(Player.Weight);
    Out.I16(Player.Height);
    Out.U8(Player.Byte41);
    Out.I32(Player.Int42);
    Out.U8(Player.CareerStatsFlag);
    if (Player.CareerStatsFlag != 0) {
        const auto& Stats = Player.CareerStats;
        for (int16_t Value : {Stats.ClubLeagueGoals, Stats.ClubGoals, Stats.ClubAppearances, Stats.LeagueGoals,
                              Stats.Goals, Stats.Appearances, Stats.ClubLeagueAppearances, Stats.LeagueAppearances})
            Out.I16(Value);
    }
    Out.I32(Player.IntAfterStats);
    Out.U8(Player.ExtraPlayingData);
    Out.U8(Player.BookingCount);
    Out.Raw(Player.Block28);
    Out.U8(Player.TailByte1);
    Out.I32(Player.TailInt1);
    Out.I32(Player.TailInt2);
    Out.U8(Player.TailByte2);
    if (HasV145(Version))
        Out.U8(Player.TailByte145);
}

static void WriteStaffBlock(TBytes& Out, const TStaffBlock& Staff) {
    Out.I16(Staff.HomeReputation);
    Out.I16(Staff.CurrentReputation);
    Out.I16(Staff.WorldReputation);
    Out.I16(Staff.CurrentAbility);
    Out.I16(Staff.PotentialAbility);
    Out.U8(Staff.PreferredFormation);
    Out.I32(Staff.NonPlayingDataID);
}

static void WriteOfficialBlock(TBytes& Out, const TOfficialBlock& Official) {
    Out.I32(Official.CityID);
    Out.I16(Official.CurrentAbility);
    Out.I16(Official.PotentialAbility);
    Out.I16(Official.Reputation);
    for (uint8_t Value : {Official.AllowingFlow, Official.Discipline, Official.ImportantMatches, Official.Pressure,
                          Official.Refereeing, Official.RunningLine, Official.Timekeeping, Official.FIFAOfficial,
                          Official.ContinentalOfficial, Official.AssistantRefereeOnly})
        Out.U8(Value);
    Out.I32(Official.DivisionUniqueID);
}

static void WritePersonCore(TBytes& Out, const TPerson& Person, int16_t Version) {
    if (Person.IsPlayer())
        WritePlayerBlock(Out, Person.Player, Version);
    if (Person.IsStaff())
        WriteStaffBlock(Out, Person.Staff);
    if (Person.IsOfficial())
        WriteOfficialBlock(Out, Person.Official);
    Out.I32(Person.FirstNameID);
    Out.I32(Person.SecondNameID);
    Out.I32(Person.CommonNameID);
    WriteDate(Out, Person.DateOfBirth);
    Out.I32(Person.NationID);
    Out.U8(Person.InternationalApps);
    Out.U8(Person.InternationalGoals);
    if (HasV145(Version)) {
        Out.U8(Person.U21Apps);
        Out.U8(Person.U21Goals);
    }
    Out.I32(Person.NationalTeamID);
    Out.U8(Person.NationalJob);
    WriteDate(Out, Person.DateJoinedNation);
    Out.I32(Person.ClubTeamID);
    Out.U8(Person.ClubJob);
    WriteDate(Out, Person.DateJoinedClub);
    Out.U8(Person.ByteAfterClub);
    Out.I32(Person.PersonDataID);
    Out.I32(Person.CityOfBirthID);
    Out.U8(Person.TransferOfferCount);
    Out.I32(Person.IntAfterOffers1);
    Out.I32(Person.IntAfterOffers2);
    Out.U8(static_cast<uint8_t>(Person.Contracts.size()));
    for (const auto& Contract : Person.Contracts)
        WriteContract(Out, Contract, Version);
    Out.U8(Person.ContractOfferCount);
    Out.U8(Person.RelationshipsFlag);
    if (Person.RelationshipsFlag != 0) {
        Out.U8(static_cast<uint8_t>(Person.Relationships.size()));
        for (const auto& Relationship : Person.Relationships)
            WriteRelationship(Out, Relationship);
    }
    Out.I16(Person.InterestedClubCount);
    if (HasV145(Version))
        Out.U8(Person.ByteBeforeTail145);
    Out.U8(Person.ByteBeforeTail);
}

void WriteRecord(TBytes& Out, const TPerson& Person, int16_t Version) {
    Out.I32(Person.PrefixID.value_or(Person.ID));
    Out.U8(Person.RecordType);
    if (Person.RecordType == 5) {
        Out.WStr(Person.Retired.Text1);
        Out.WStr(Person.Retired.Text2);
        Out.Raw(Person.Retired.Bytes);
        WriteTail(Out, Person);
        return;
    }
    WritePersonCore(Out, Person, Version);
    WriteTail(Out, Person);
    if (HasV145(Version) && Person.IsPlayer() && Person.IsStaff())
        Out.I16(Person.TrailingShort);
}

void WriteRecord(TBytes& Out, const TPersonData& Data, int16_t) {
    Out.U8(Data.RecordType);
    Out.Raw(Data.Values);
    WriteTail(Out, Data);
}

void WriteRecord(TBytes& Out, const TPlayingData& Data, int16_t Version) {
    Out.U8(Data.RecordType);
    Out.Raw(Data.Attributes);
    if (HasV145(Version))
        Out.U8(Data.ExtraByte);
    WriteTail(Out, Data);
}

void WriteRecord(TBytes& Out, const TNonPlayingData& Data, int16_t) {
    Out.U8(Data.RecordType);
    Out.Raw(Data.Attributes);
    WriteTail(Out, Data);
}

void WritePersonLanguage(TBytes& Out, const TPersonLanguage& Item) {
    Out.I32(Item.PersonID);
    Out.I32(Item.LanguageID);
    Out.U8(Item.Level);
}

} // namespace wb
