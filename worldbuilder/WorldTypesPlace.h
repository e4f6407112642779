#pragma once

#include "WorldTypesBasic.h"

namespace wb {

struct TStadiumText {
    std::u16string Name;
    uint8_t NameByte = 0;
};

struct TStadium : TRecord {
    int32_t Capacity = 0;
    int32_t SeatingCapacity = 0;
    int32_t ExpansionCapacity = 0;
    uint8_t Flags = 0; // covered, undersoil heating, not in use, soon not in use; bits 4-7 kept
    int32_t ClubID = -1;
    uint8_t Decay = 5;
    int32_t UsedCapacity = 0;
    int16_t PitchLength = 0;
    int16_t PitchWidth = 0;
    uint8_t StadiumByte1 = 0;
    uint8_t State = 0;
    uint8_t Extinct = 0;
    uint8_t NameByte = 0;
    uint8_t StadiumByte2 = 0; // versions 145 and 147
    int32_t CityID = -1;
    int32_t NearbyStadiumID = -1;
    TTexts<TStadiumText> Texts;
};

struct TStageText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string PluralName;
    uint8_t PluralNameByte = 0;
};

// The server record holds the same six fields as the language record.
struct TStage : TRecord {
    TStageText Own;
    TTexts<TStageText> Texts;
};

struct TMediaText {
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string LongName;
    uint8_t LongNameByte = 0;
};

struct TMedia : TRecord {
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string LongName;
    uint8_t LongNameByte = 0;
    uint8_t MediaType = 1;
    std::vector<int32_t> ClubUniqueIDs; // one-byte count
    uint8_t Period = 2;
    uint8_t Scope = 6;
    int32_t TargetUniqueID = 0; // of the kind Scope names; 0 none
    TTexts<TMediaText> Texts;
};

struct TInjuryText {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string SentenceName;
    uint8_t SentenceNameByte = 0;
};

struct TInjury : TRecord {
    std::u16string Name;
    uint8_t NameByte = 0;
    uint8_t Category = 0;
    std::u16string SentenceName;
    uint8_t SentenceNameByte = 0;
    uint8_t Chance = 0;
    int16_t MinimumDaysOut = 0;
    int16_t ExtraDaysOut = 0;
    uint8_t InactiveRatio = 0;
    uint8_t Recurring = 0;
    uint8_t Severity = 0;
    TTexts<TInjuryText> Texts;
};

} // namespace wb
