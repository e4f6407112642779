#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A stretch of code and the source location it belongs to, seen from the function it was compiled into: where
// inlined code was inlined, the location is the call site in the outermost function (what addr2line -i prints
// last), so that the unit, the function and the line of an address agree.
// The file index of code that DWARF knows as a function's but gives no location: no file may be named for it.
inline constexpr std::uint32_t NoLocationFile = 0xFFFFFFFF;

struct TLocatedRange final {
    std::uint64_t Start = 0;
    std::uint64_t End = 0;  // exclusive
    std::uint32_t File = 0; // index into the file names
    std::int32_t Line = 0;  // 0: the compiler gave no line
};

// The outermost locations of all code in [CodeStart, CodeEnd) that the DWARF line tables cover, sorted by address
// and without overlaps. False with Error set when the file has no readable DWARF.
// FileNames receives the files as the line tables name them (paths).
bool ReadOutermostLocations(int Fd, std::uint64_t CodeStart, std::uint64_t CodeEnd, std::vector<TLocatedRange>& Ranges,
                            std::vector<std::string>& FileNames, std::string& Error);

// Adds the parts of Fill that no range of Located covers, with their file and line; the first of overlapping Fill
// ranges wins. Both sorted by start; Located stays sorted.
void FillLocationGaps(std::vector<TLocatedRange>& Located, std::vector<TLocatedRange> Fill);
