#pragma once

#include "KroMapFile.h"
#include "KroMapFileInlineContent.h"
#include "KroMapFileStream.h"

#include <cstdint>
#include <vector>

// The part of a packed map that describes inlined code; it follows the entry point offset. Numbers are variable
// length (TMiniStream::ReadVarUInt, ReadVarInt), so that small ones take a byte.
//
// It tells the code as a walk from address to address: at each transition (where an inlined call starts or ends,
// or the line of inlined code changes) the calls that end are closed and those that start are opened, and, while
// any is open, the line the code stands on is given. A call site or a line is told by its place among the recent
// ones of its context (TInlineModel), by its number among all sites told so far, or in full.
//   the function names: count; sorted, each as the length it shares with the one before, the length of the rest
//     (a byte each) and the rest; a mangled C++ name is shown demangled;
//   the units: count; packed strings;
//   the number of transitions, then ten columns, each as its length in bytes and its numbers:
//     offsets (each: offset - the previous transition's), shapes (calls closed * 16 + calls opened, each counted
//     up to 15, with the rest after it when 15), sites (per opened call: 0 new, 1 by number, 2 + its recent place),
//     site numbers, new sites' functions, units and lines (line - the previous new site's), line codes (per
//     transition within inlined code: 0 new, 1 + its recent place), new lines' units and lines (line - the
//     context's last line, else the previous line told).

// Appends the part for Inlines to Out. Calls of one depth that overlap an earlier one, and calls that no call one
// level out holds, are left out; code of a call that no row covers is told at the first unit's line 0.
void WriteInlinePart(std::vector<std::uint8_t>& Out, const TPackedInlines& Inlines);

// Reads the part into Map's inlined code; false when it is damaged: cut short, followed by more bytes, or naming
// what it does not hold.
bool ReadInlinePart(TMiniStream& Stream, TMapFile& Map);
