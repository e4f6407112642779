#pragma once

#include "WorldTypesBasic.h"

namespace wb {

struct TAwardText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
};

struct TAward : TRecord {
    uint8_t NameByte = 0;
    uint8_t ShortNameByte = 0;
    uint8_t Scope = 0;
    TColor Colours;
    int16_t Reputation = 0;
    uint8_t AwardType = 0;
    uint8_t DateRule = 0;
    TDate AwardDate;
    int32_t ContinentID = -1;
    int32_t NationID = -1;
    uint8_t RunBy = 0;
    uint8_t Formation = 0;
    uint8_t MaxAge = 0;
    uint8_t WinnerHomeReputation = 0;
    uint8_t WinnerWorldReputation = 0;
    int32_t CompetitionID = -1;
    int16_t AwardExtra = 0; // only in files of version 145 and 147
    TTexts<TAwardText> Texts;
};

struct TCompetitionText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string ThreeLetterName; // no byte behind it
};

struct TCompetition : TRecord {
    uint8_t NameByte = 0;
    uint8_t ShortNameByte = 0;
    uint8_t ThreeLetterNameByte = 0;
    TColor Colours;
    int16_t Reputation = 0;
    uint8_t NameType = 0; // must be 0 in a loadable file
    uint8_t Level = 0;
    int32_t ContinentID = -1;
    int32_t NationID = -1;
    int32_t CompetitionValue1 = 0;
    int32_t CompetitionValue2 = 0;
    int32_t CompetitionValue3 = 0;
    uint8_t UsesSquadNumbers = 0;
    TTexts<TCompetitionText> Texts;
};

struct TAwardHistory : TRecord {
    int32_t AwardID = -1;
    int16_t Year = 0;
    int32_t Person1ID = -1;
    int32_t Person2ID = -1;
    int32_t Person3ID = -1;
    uint8_t HistoryByte1 = 0;
    uint8_t HistoryByte2 = 0;
    uint8_t HistoryByte3 = 0;
};

struct TCompetitionHistory : TRecord {
    int32_t CompetitionID = -1;
    int16_t Year = 0;
    int32_t FirstPlacedID = -1;
    int32_t SecondPlacedID = -1;
    int32_t ThirdPlacedID = -1;
    int32_t HostsID = -1;
};

} // namespace wb
