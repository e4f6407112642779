#pragma once

#include "WorldTypesBasic.h"

namespace wb {

struct TLoan : TRecord {
    int32_t PersonID = -1;
    int32_t TeamID = -1;
    TDate StartDate;
    TDate EndDate;
};

struct TStartingInjury : TRecord {
    int32_t PersonID = -1;
    int32_t InjuryID = -1;
    TDate StartDate;
    TDate EndDate;
    uint8_t Extra1 = 0;
    uint8_t Extra2 = 0;
    uint8_t Extra3 = 0;
};

struct TStartingConfidence : TRecord {
    int32_t PersonID = -1;
    int16_t BoardConfidence = 0;
    int16_t FanConfidence = 0;
};

struct TFutureTransfer : TRecord {
    int32_t PersonID = -1;
    int32_t TeamID = -1;
    TDate TransferDate;
    int32_t TransferFee = 0;
    int32_t FutureWage = 0;
    uint8_t ContractYears = 0;
};

struct TPlayingHistoryEntry {
    int16_t Season = 0;
    uint8_t OnLoan = 0;
    uint8_t Apps = 0;
    uint8_t Goals = 0;
    int32_t TeamUniqueID = -1; // -1 for no team, unlike other UniqueID references
};

// One slot of the playing-history files; the writer gives slot k to the k-th history of the list.
struct TPlayingHistory {
    int32_t PersonUniqueID = 0;
    std::vector<TPlayingHistoryEntry> Entries;
};

} // namespace wb
