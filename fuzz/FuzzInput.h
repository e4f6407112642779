#pragma once

// The input format of the load fuzz target, shared by the target, the replay driver and the seed maker.
//
// One input holds the six data files one after the other, in the order server_db.dat, people_db.dat, lang_db.dat,
// pl_hist_index.dat, pl_hist_id.dat, pl_hist_dt.dat. Each file is a 4-byte little-endian length L followed by L
// bytes. A length of 0xFFFFFFFF leaves that file out of the folder, and so does an input that ends before the
// file's length; a length larger than what remains takes what remains. Any byte string is thus a valid input, and
// a mutation of a length moves the boundary between two files instead of making the input unusable.

#include "PyxDataFolder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pyxfuzz {

constexpr uint32_t AbsentFile = 0xFFFFFFFFu;

// The six file names in input order.
extern const std::array<const char*, 6> FileNames;

using TFileSet = std::array<std::optional<std::vector<uint8_t>>, 6>;

TFileSet SplitInput(const uint8_t* Data, size_t Size);
std::vector<uint8_t> JoinInput(const TFileSet& Files);

// The files of a set that are present, in a folder in memory.
TPyxMemoryFolder ToFolder(const TFileSet& Files);

} // namespace pyxfuzz
