#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The packed debug map carries its content as a small header and a raw deflate stream (no zlib or gzip wrapper):
//   int32 unpacked length, int32 CRC-32 of the unpacked bytes, 4 unused bytes, then the deflate stream.

// Unpacks such a block. Anything wrong (too short, a stated length that is negative or more than deflate could ever
// expand the input to, a broken stream, a CRC that differs) gives an empty result. The stated length bounds the
// output, and the output is never allocated beyond what the input can produce.
std::vector<std::uint8_t> InflateWithCrc(const std::uint8_t* Data, std::size_t Size);

// Packs bytes into the block InflateWithCrc reads (best compression).
std::vector<std::uint8_t> DeflateWithCrc(const std::uint8_t* Data, std::size_t Size);

// CRC-32 with the standard polynomial, initial value 0xFFFFFFFF and a final complement.
std::uint32_t Crc32Of(const std::uint8_t* Data, std::size_t Size);
