#pragma once

#include "KroMapFile.h"
#include "KroMapFileInlineContent.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The packed debug map: the form in which a map is embedded in a module (or kept in a ".kro" file).
//   offset 0, 14 bytes: the magic text; 14: int32 body length L; 18: int32 format version (2); 22: the body, L bytes:
//   the unpacked map deflated (see KroZip.h), then enciphered with LegacyEncipher under DeriveMapKey(L).
// The unpacked map: segments (int32 count; int32 start offset, int32 length, packed string unit each), publics
// (int32 count; packed string name, the first address as int32 offset, each further one as a packed integer added
// to the one before), line entries (int32 count; the first as int32 line and int32 offset, the others as packed
// integer deltas of both), then either nothing, the int32 entry point offset, or the entry point offset (-1 for
// none) followed by the inlined code (see KroMapFileInlinePart.h). Offsets count from the start of the code.

inline constexpr char PackedMapMagic[] = "PyxKroDebugMap";
inline constexpr std::size_t PackedMapMagicSize = sizeof PackedMapMagic - 1;
inline constexpr std::size_t PackedMapHeaderSize = PackedMapMagicSize + 8;
inline constexpr std::int32_t PackedMapVersion = 2;

// What a map holds, in offsets from the start of the code: what the map generator writes.
struct TPackedMapContent final {
    struct TSegment final {
        std::int32_t Start = 0;
        std::int32_t Length = 0;
        std::string Unit; // file name; the reader drops the extension
    };
    struct TPublic final {
        std::string Name; // at most 255 bytes are kept
        std::int32_t Offset = 0;
    };
    struct TLine final {
        std::int32_t LineNumber = 0;
        std::int32_t Offset = 0;
    };
    using TInlineCall = TPackedInlineCall;
    using TInlineRow = TPackedInlineRow;
    using TInlines = TPackedInlines;
    std::vector<TSegment> Segments;
    std::vector<TPublic> Publics;
    std::vector<TLine> Lines;
    std::optional<std::int32_t> EntryPoint;
    TInlines Inlines; // written when it holds calls
};

// The key of a map body of L bytes: "PyxKro$" with L as at least 7 upper-case hexadecimal digits, then "PyxKro" with L
// as at least 8 decimal digits; that text twice, enciphered (LegacyEncipher) with itself as the password.
std::string DeriveMapKey(std::int32_t BodyLength);

// Fills Map from a packed map. False (Map untouched) when the header is not one of ours: too short, wrong magic or
// version, a body length that does not match. True once the header is accepted: the map is then valid, and a body
// that fails (cipher, inflate, CRC, a count the bytes cannot hold, a part cut short) leaves it empty.
bool ReadPackedMap(TMapFile& Map, const std::uint8_t* Data, std::size_t Size);

// The unpacked map bytes of the content.
std::vector<std::uint8_t> EncodeMapContent(const TPackedMapContent& Content);
// The whole packed map of the content: header, then the deflated and enciphered body.
std::vector<std::uint8_t> PackMap(const TPackedMapContent& Content);
// The packed map around an unpacked body given as is (the tests build damaged maps with it).
std::vector<std::uint8_t> PackMapBytes(const std::vector<std::uint8_t>& Unpacked);
