#pragma once

#include <bit>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace wb {

// The language whose texts the game keeps in the entities' own fields.
inline constexpr int32_t DefaultLanguageUniqueID = 8;

// A 32-bit float kept as its bit pattern, so that copying a world never disturbs a NaN payload.
struct TF32 {
    uint32_t Bits = 0;

    TF32() = default;
    TF32(float Value) : Bits(std::bit_cast<uint32_t>(Value)) {}
    static TF32 FromBits(uint32_t RawBits) {
        TF32 Result;
        Result.Bits = RawBits;
        return Result;
    }
    float Value() const { return std::bit_cast<float>(Bits); }
    bool operator==(const TF32&) const = default;
};

// Day of the year (0 = 1 January) and year; a new date is day 0 of 1900.
struct TDate {
    int16_t Day = 0;
    int16_t Year = 1900;
    bool operator==(const TDate&) const = default;
};

// One kit: three 15-bit colours, stored minor, major, trim.
struct TColor {
    int16_t Minor = 0;
    int16_t Major = 0;
    int16_t Trim = 0;
    bool operator==(const TColor&) const = default;
};

// Fields every server and people record carries: the leading record-type byte and the ID/UniqueID tail.
// RecordType is written as given, so a test can store an unknown type.
struct TRecord {
    uint8_t RecordType = 0;
    int32_t ID = 0;
    int32_t UniqueID = 0;
};

// Texts of a translated record, one language record per language UniqueID. The language file writer takes the
// record of each directory language from here and writes a default-constructed one when a language is missing.
template <class TText> using TTexts = std::map<int32_t, TText>;

using TWideStringList = std::vector<std::u16string>;

} // namespace wb
