#pragma once

#include "WorldTypesContainer.h"

#include <array>
#include <optional>

namespace wb {

// Job codes of club and national-team posts.
namespace Job {
inline constexpr uint8_t None = 0, Player = 1, Coach = 2, PlayerCoach = 3, Chairman = 4, ManagingDirector = 8,
                         DirectorOfFootball = 10, Physio = 12, Scout = 14, Manager = 16, PlayerManager = 17,
                         AssistantManager = 20, PlayerAssistantManager = 21, GeneralManager = 24;
}

// Whether a post with this job is backed by a contract.
bool JobHasContract(uint8_t JobCode);

// Field names for unnamed values follow their offset at version 145 where the offset is fixed.
struct TContract {
    uint8_t ContractType = 0; // must be 0
    uint8_t Byte1 = 1;
    uint8_t Byte2 = 0;
    int16_t Short3 = 0;
    std::array<int32_t, 4> Ints5{};
    std::vector<std::array<uint8_t, 5>> SkippedItems; // its size is the count byte; a loader drops them
    int32_t Int22 = 0;
    uint8_t Byte26 = 0;
    uint8_t Byte27 = 0;
    uint8_t CoOwned = 0; // versions 145 and 147
    uint8_t NationContract = 0;
    int32_t EmployerID = -1; // club ID, or nation ID for a nation contract
    int32_t EstimatedWage = 0;
    TDate ContractExpires;
    uint8_t Byte42 = 1; // club 1, nation 255
    uint8_t Byte43 = 0;
    std::array<int32_t, 2> Ints44{};
    TDate ContractStart; // versions 145 and 147
    uint8_t Byte56 = 0;
    uint8_t Byte57 = 2;        // club 2, nation 255
    uint8_t Byte58 = 25;       // club 25, nation 0
    uint8_t SquadNumber = 255; // club 255 (none), nation 0
    uint8_t Byte60 = 0;
    int16_t Short61 = 0; // versions 145 and 147

    static TContract Club(int32_t EmployerClubID);
    static TContract Nation(int32_t EmployerNationID);
};

struct TCareerStats {
    int16_t ClubLeagueGoals = 0;
    int16_t ClubGoals = 0;
    int16_t ClubAppearances = 0;
    int16_t LeagueGoals = 0;
    int16_t Goals = 0;
    int16_t Appearances = 0;
    int16_t ClubLeagueAppearances = 0;
    int16_t LeagueAppearances = 0;
};

// Player block of a person record; named fields after the career statistics have no fixed offset.
struct TPlayerBlock {
    int16_t HomeReputation = 0;
    int16_t CurrentReputation = 0;
    int16_t WorldReputation = 0;
    int16_t CurrentAbility = 0;
    int16_t PotentialAbility = 0;
    int32_t PlayingDataID = -1;
    int32_t Int14 = -1;
    int32_t EstimatedValue = 0;
    uint8_t Byte22 = 0;
    uint8_t Byte23 = 0;
    int16_t Short24 = 10000;
    int16_t Short26 = 0;
    int16_t Short28 = 10000;
    uint8_t Byte30 = 0;
    int16_t Short31 = 0;
    int16_t Short33 = 0;
    uint8_t Byte35 = 0;
    uint8_t DeclaredForNation = 0;
    int16_t Weight = 0;
    int16_t Height = 0;
    uint8_t Byte41 = 0;
    int32_t Int42 = 0;
    uint8_t CareerStatsFlag = 0; // the sixteen bytes of CareerStats follow when non-zero
    TCareerStats CareerStats;
    int32_t IntAfterStats = -1;
    uint8_t ExtraPlayingData = 0; // must be 0
    uint8_t BookingCount = 0;     // must be 0
    std::array<uint8_t, 28> Block28{};
    uint8_t TailByte1 = 0;
    int32_t TailInt1 = 2; // a new player of a version-112 database gets -3
    int32_t TailInt2 = 0;
    uint8_t TailByte2 = 0;
    uint8_t TailByte145 = 0; // versions 145 and 147
};

struct TStaffBlock {
    int16_t HomeReputation = 0;
    int16_t CurrentReputation = 0;
    int16_t WorldReputation = 0;
    int16_t CurrentAbility = 0;
    int16_t PotentialAbility = 0;
    uint8_t PreferredFormation = 0;
    int32_t NonPlayingDataID = -1;
};

struct TOfficialBlock {
    int32_t CityID = -1;
    int16_t CurrentAbility = 0;
    int16_t PotentialAbility = 0;
    int16_t Reputation = 0;
    uint8_t AllowingFlow = 0;
    uint8_t Discipline = 0;
    uint8_t ImportantMatches = 0;
    uint8_t Pressure = 0;
    uint8_t Refereeing = 0;
    uint8_t RunningLine = 0;
    uint8_t Timekeeping = 0;
    uint8_t FIFAOfficial = 0;
    uint8_t ContinentalOfficial = 0;
    uint8_t AssistantRefereeOnly = 0;
    int32_t DivisionUniqueID = 0; // competition by UniqueID, 0 none
};

// Body of a retired-person record (kind 5), which a loader reads and drops.
struct TRetiredBody {
    std::u16string Text1;
    std::u16string Text2;
    std::array<uint8_t, 2> Bytes{};
};

// A person of people_db.dat. RecordType is the person type (bit 0 staff, bit 1 player, bit 2 official) and the
// record kind; the blocks are written for the bits that are set, whatever the blocks hold. Kind 5 writes the
// retired body instead of everything between the kind byte and the tail.
struct TPerson : TRecord {
    std::optional<int32_t> PrefixID; // the int32 written before the kind byte; ID when not set
    TPlayerBlock Player;
    TStaffBlock Staff;
    TOfficialBlock Official;
    TRetiredBody Retired;
    int32_t FirstNameID = -1;
    int32_t SecondNameID = -1;
    int32_t CommonNameID = -1;
    TDate DateOfBirth;
    int32_t NationID = -1;
    uint8_t InternationalApps = 0;
    uint8_t InternationalGoals = 0;
    uint8_t U21Apps = 0;  // versions 145 and 147
    uint8_t U21Goals = 0; // versions 145 and 147
    int32_t NationalTeamID = -1;
    uint8_t NationalJob = 0;
    TDate DateJoinedNation;
    int32_t ClubTeamID = -1;
    uint8_t ClubJob = 0;
    TDate DateJoinedClub;
    uint8_t ByteAfterClub = 0;
    int32_t PersonDataID = -1;
    int32_t CityOfBirthID = -1;
    uint8_t TransferOfferCount = 0; // must be 0
    int32_t IntAfterOffers1 = 0;
    int32_t IntAfterOffers2 = -1;
    std::vector<TContract> Contracts; // one-byte count
    uint8_t ContractOfferCount = 0;   // must be 0
    uint8_t RelationshipsFlag = 0;    // the count and the relationships follow only when non-zero
    std::vector<TRelationship> Relationships;
    int16_t InterestedClubCount = 0; // must be 0
    uint8_t ByteBeforeTail145 = 0;   // versions 145 and 147
    uint8_t ByteBeforeTail = 0;
    int16_t TrailingShort = 0; // after the tail; versions 145 and 147, person type with bits 0 and 1

    bool IsStaff() const { return (RecordType & 1) != 0; }
    bool IsPlayer() const { return (RecordType & 2) != 0; }
    bool IsOfficial() const { return (RecordType & 4) != 0; }
};

struct TPersonData : TRecord {
    // adaptability, ambition, loyalty, pressure, professionalism, sportsmanship, temperament, controversy
    std::array<uint8_t, 8> Values{};
};

struct TPlayingData : TRecord {
    std::array<uint8_t, 65> Attributes{}; // goalkeeper .. determination, in file order
    uint8_t ExtraByte = 0;                // versions 145 and 147
};

struct TNonPlayingData : TRecord {
    std::array<uint8_t, 28> Attributes{}; // attacking .. tactical knowledge, in file order
};

struct TPersonLanguage {
    int32_t PersonID = -1;
    int32_t LanguageID = -1;
    uint8_t Level = 0;
};

} // namespace wb
