#pragma once

#include "PyxObjectList.h"

#include <cstdint>

// One kit's colours, each a 15-bit RGB value on disk (bits 10-14 red, 5-9 green, 0-4 blue). The getters and setters
// convert to and from 24-bit colours $00BBGGRR.
class TPyxColor final {
public:
    uint32_t Minor() const { return To24(RawMinor); }
    uint32_t Major() const { return To24(RawMajor); }
    uint32_t Trim() const { return To24(RawTrim); }
    void SetMinor(uint32_t C) { RawMinor = To15(C); }
    void SetMajor(uint32_t C) { RawMajor = To15(C); }
    void SetTrim(uint32_t C) { RawTrim = To15(C); }

    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;

    static uint32_t To24(int16_t C15);
    static int16_t To15(uint32_t C24);

    bool operator==(const TPyxColor&) const = default;

    // The stored values, in file order.
    int16_t RawMinor = 0;
    int16_t RawMajor = 0;
    int16_t RawTrim = 0;
};

// A club's or nation's kits (up to three), byte-counted in its record.
class TPyxColorList final : public TPyxObjectList<TPyxColor> {
public:
    std::unique_ptr<TPyxColor> ReadItem(TPyxFileStream& Stream, int16_t Version) override;
    void WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const override;
    int64_t MinItemSize() const override { return 6; }
    TPyxColor* Colors(int32_t Index) const { return Items(Index); }
};
