#pragma once

#include "DwarfLocations.h"

#include <cstdint>
#include <vector>

// Where a unit's inlined calls lie, as addr2line finds them.

// Marks a range that is a function's own code, and a call inlined straight into a function.
inline constexpr std::uint32_t NoInstance = 0xFFFFFFFF;

// One inlined call as DWARF describes it, and the call it lies in (NoInstance: straight in a function).
struct TCallInstance final {
    std::uint32_t Parent = NoInstance;
    std::uint32_t Depth = 1;
    std::uint32_t Function = 0;
    std::uint32_t File = 0;
    std::int32_t Line = 0;
};

// A range of code that names its innermost function: an inlined call's (Instance), or a function's own
// (NoInstance). Order: the place of its description among all, in the order DWARF lists them.
struct TCallCandidate final {
    std::uint64_t Start = 0;
    std::uint64_t End = 0;
    std::uint32_t Instance = NoInstance;
    std::uint32_t Order = 0;
};

// The compiler's ranges of inlined calls need not nest: a call's range may reach past the range of the call it lies
// in. Like addr2line, an address belongs to the smallest range that holds it (of equal ones, the one DWARF lists
// last), and the calls it was inlined through are that one's callers, whatever their own ranges say. Appends to
// Calls each call where it so belongs, in as few ranges as it takes; the ranges appended nest.
void PlaceInlinedCalls(const std::vector<TCallInstance>& Instances, const std::vector<TCallCandidate>& Candidates,
                       std::vector<TInlinedCall>& Calls);
