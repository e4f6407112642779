#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a packed map tells of inlined code, in offsets from the start of the code: what the map generator writes.

// Code from Start to Start + Length that the function Functions[Function] put there inlined, called from the unit
// Units[Unit] at Line of the function one level out (Depth 1: the function the code lies in).
struct TPackedInlineCall final {
    std::int32_t Start = 0;
    std::int32_t Length = 0;
    std::uint32_t Depth = 1;
    std::uint32_t Function = 0;
    std::uint32_t Unit = 0;
    std::int32_t Line = 0;
};

// The source line of inlined code from Offset up to the next row.
struct TPackedInlineRow final {
    std::int32_t Offset = 0;
    std::uint32_t Unit = 0;
    std::int32_t Line = 0;
};

struct TPackedInlines final {
    std::vector<std::string> Functions; // at most 255 bytes of each are kept
    std::vector<std::string> Units;     // file names; the reader drops the extension
    std::vector<TPackedInlineCall> Calls;
    std::vector<TPackedInlineRow> Rows;
};
