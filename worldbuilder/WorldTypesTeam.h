#pragma once

#include "WorldTypesBasic.h"

namespace wb {

// A squad of a club or nation. RecordType is the record kind, 10 or 11; kind 11 adds the two dates and the
// TeamByte1..6 group. Fields guarded by version are written only to files of version 145 and 147.
struct TTeam : TRecord {
    TDate Date1;            // kind 11
    TDate Date2;            // kind 11
    uint8_t TeamByte1 = 26; // kind 11
    uint8_t TeamByte2 = 0;  // kind 11
    uint8_t TeamByte3 = 0;  // kind 11
    uint8_t TeamByte4 = 0;  // kind 11
    uint8_t TeamByte5 = 0;  // kind 11
    uint8_t TeamByte6 = 0;  // kind 11, versions 145 and 147
    uint8_t LastPosition = 0;
    int16_t Reputation = 0;
    int32_t DivisionID = -1;
    int32_t LastDivisionID = -1;
    int32_t TeamValue1 = -1; // versions 145 and 147
    int32_t StadiumID = -1;
    int32_t ManagerID = -1;
    int32_t TeamValue2 = -1;
    uint8_t TeamByte7 = 0;
    uint8_t HomeMatchDay = 0;
    int32_t ContinentalCompetitionID = -1;
    uint8_t ContinentalSeeding = 0;
    int16_t TeamValue3 = 10000;
    int16_t TeamValue4 = 0;
    int16_t TeamValue5 = 0;
    int16_t TeamValue6 = 0;
    std::vector<int32_t> PhysioIDs; // one-byte count
    std::vector<int32_t> PlayerIDs; // 16-bit count
    std::vector<int32_t> CoachIDs;  // one-byte count
    uint8_t TeamSelectedCount = 0;  // must be 0
    uint8_t TeamByte8 = 0;
    int16_t TeamFixtureBlockCount = 0; // must be 0
    int32_t OtherDivisionID = -1;
    // versions 145 and 147; the defaults are the bytes of the double 1.0
    int32_t TeamBlock1 = 0;
    int16_t TeamBlock2 = 0;
    int16_t TeamBlock3 = 16368;
    uint8_t SquadType = 0;
    uint8_t IsNationTeam = 0;
    uint8_t TeamByte9 = 0;
    int32_t ContainerID = -1; // club ID, or nation ID when IsNationTeam is non-zero

    TTeam() { RecordType = 10; }
};

// Kind 1: a move to a new ground; kind 2: a capacity change of the team's ground.
struct TStadiumMove : TRecord {
    int32_t TeamID = -1;
    int32_t StadiumID = -1;
    int32_t NewStadiumID = -1;
    TDate LeaveDate;
    TDate StartDate;
    int32_t NewCapacity = 0;
    uint8_t Kind = 1;
    int32_t AlternativeStadiumID = -1;
};

// Kind 0: the team's transfer budget; kind 1: a bank loan; kind 2: a loan from the chairman.
struct TClubDebt : TRecord {
    int32_t TeamID = -1;
    int32_t Amount = 0;
    int16_t MonthlyPaymentsLeft = 0;
    int32_t TransferBudget = 0;
    uint8_t Kind = 0;
};

} // namespace wb
