#pragma once

#include "WorldTypesBasic.h"

#include <array>

namespace wb {

// Relationship of a person, club or nation. Target types: 0 none, 1 club, 2 nation, 3 person, 4 team, 5 stadium;
// the target is stored by ID (-1 none).
struct TRelationship {
    uint8_t TargetType = 0;
    uint8_t Kind = 0;
    uint8_t Amount = 0;
    uint8_t Unnamed = 0;
    int32_t TargetID = -1;
};

// A transfer-info item of a club or nation. Type 5 (next-sale percentage) writes PersonKey, ClubID, SaleValue1 and
// SaleValue2; type 9 (team records) writes the two holders, their values and the four texts. Any other type is
// written as the type byte alone, which is as far as a loader gets.
struct TTransferInfo {
    uint8_t Type = 5;
    // type 5: the person by ID at version 112 and by UniqueID (0 none) above 144; the club by ID
    int32_t PersonKey = 0;
    int32_t ClubID = -1;
    uint8_t SaleValue1 = 0;
    uint8_t SaleValue2 = 0;
    // type 9: holders by UniqueID (0 none)
    int32_t Holder1UniqueID = 0;
    int16_t RecordValue1 = 0;
    int32_t Holder2UniqueID = 0;
    int16_t RecordValue2 = 0;
    std::array<std::u16string, 4> Texts;
};

// The part clubs and nations share, written after their own fields and before the ID/UniqueID tail.
struct TContainerPart {
    uint8_t TeamType = 0; // 0 club, 1 nation
    uint8_t NameByte = 0;
    uint8_t ShortNameByte = 0;
    std::u16string Name;
    std::u16string ShortName;
    std::vector<TColor> Kits;                 // one-byte count
    std::vector<int32_t> TeamIDs;             // one-byte count
    std::vector<TRelationship> Relationships; // one-byte count
};

struct TClubText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string ClubText;
    uint8_t ClubTextByte = 0;
    std::u16string Nickname1;
    uint8_t Nickname1Byte = 0;
    std::u16string Nickname2;
};

struct TClub : TRecord {
    int32_t NationID = -1;
    uint8_t ClubTextByte = 0;
    std::u16string Nickname1;
    uint8_t Nickname1Byte = 0;
    std::u16string Nickname2;
    uint8_t YouthAcademy = 0;
    uint8_t YouthSetup = 0;
    uint8_t ProfessionalStatus = 1;
    int32_t AverageAttendance = 0;
    int32_t MinimumAttendance = 0;
    int32_t MaximumAttendance = 0;
    uint8_t Training = 0;
    uint8_t PublicLimitedCompany = 0;
    int32_t ChairmanID = -1;
    int16_t ClubValue1 = 0;
    std::vector<int32_t> BoardMemberIDs; // one-byte count
    std::vector<int32_t> ScoutIDs;       // one-byte count
    uint8_t FinanceType = 0;             // must be 0
    int32_t Balance = 0;
    int32_t Sponsor = 0;                     // must be 0
    int16_t TransferOfferCount = 0;          // must be 0
    std::vector<TTransferInfo> TransferInfo; // 16-bit count
    uint8_t ClubLinks = 0;                   // must be 0
    int32_t ClubValue2 = 1;
    int32_t ClubValue3 = 2;                    // a new club of a version-112 database gets 1
    int32_t ClubValue4 = 3;                    // ... and 2
    int16_t ShortlistedPeopleCount = 0;        // must be 0
    uint8_t InternationalDatePlayerCounts = 0; // must be 0
    uint8_t ClubValue5 = 0;
    int32_t CaptainID = -1;
    TContainerPart Container;
    TTexts<TClubText> Texts;
};

struct TNationText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string ThreeLetterName;
    std::u16string NationalityName;
    TWideStringList ExtraTexts; // one-byte count
};

struct TNation : TRecord {
    int16_t ClubCount = 0;
    int32_t PersonCount = 0;
    int32_t NationValue1 = 0;
    int16_t Reputation = 0;
    int16_t FIFARankingPoints = 0;
    int16_t NationValue2 = 0;
    int32_t NationalStadiumID = -1;
    uint8_t NationByte1 = 255;
    int32_t NationValue3 = 0;
    int16_t NationValue4 = 0;
    int32_t FirstNameStart = -1;
    int32_t SecondNameStart = -1;
    int32_t CommonNameStart = -1;
    int32_t FirstNameCount = 0;
    int32_t SecondNameCount = 0;
    int32_t CommonNameCount = 0;
    uint8_t FIFARankingPointsCount = 0;             // must be 0
    uint8_t FIFARankingCurrentYearMatchesCount = 0; // must be 0
    uint8_t UEFACoefficientCount = 6;               // must be 6; the six floats follow whatever it says
    std::array<TF32, 6> UEFACoefficients{};         // seasons ending 1998 .. 2003
    int16_t HumanPlayerPoolCount = 0;               // must be 0
    std::array<uint8_t, 24> NationBlock{};
    std::vector<TTransferInfo> TransferInfo; // 16-bit count; only in files of version 145 and 147
    uint8_t StyleOfFootball = 0;
    uint8_t StateOfDevelopment = 0;
    uint8_t GroupMembership = 0;
    uint8_t GameImportance = 0;
    uint8_t LeagueStandard = 0;
    uint8_t NationByte2 = 0;
    uint8_t NationByte3 = 0;
    uint8_t FIFAFullMember = 0;
    uint8_t NationByte4 = 0; // versions 145 and 147
    int32_t ContinentID = -1;
    int32_t RegionID = -1;
    int32_t CapitalCityID = -1;
    std::vector<int32_t> LanguageIDs; // one-byte count
    uint8_t NationByte5 = 0;
    uint8_t NationByte6 = 0; // version 147 only
    TContainerPart Container;
    TTexts<TNationText> Texts;

    TNation() { Container.TeamType = 1; }
};

} // namespace wb
