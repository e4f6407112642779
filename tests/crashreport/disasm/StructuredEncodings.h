#pragma once

#include <cstdint>
#include <vector>

// Random instructions built the way instructions are built, so that every opcode map is reached as often as the
// one-byte map: legacy prefixes and REX, the 0F, 0F 38 and 0F 3A maps, VEX (both forms), EVEX (maps 1, 2, 3, 5
// and 6, with masks, zeroing, broadcasts and rounding), XOP; then ModRM, SIB and displacement bytes, and immediates
// that favour the values with names (predicates, 0, 1, 0x10, 0x11). Random bytes alone would seldom reach the
// vector maps, and objdump decodes most of what these give.
std::vector<std::vector<unsigned char>> StructuredEncodings(std::size_t Count, bool Bits64, std::uint64_t Seed);
