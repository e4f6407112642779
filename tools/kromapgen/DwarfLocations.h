#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The source locations of a program's code as its DWARF gives them.
// The file index of code that DWARF knows as a function's but gives no location: no file may be named for it.
inline constexpr std::uint32_t NoLocationFile = 0xFFFFFFFF;
// The file index of code that no line row covers and that DWARF places in a function it knows by its plain name
// alone (no linkage name): addr2line then looks the function up in the symbol table and names the file that the
// symbol table files the symbol holding the code under (see ResolveSymbolTableFiles in MapBuilder.h).
inline constexpr std::uint32_t SymbolTableFile = 0xFFFFFFFE;

// A stretch of code and its source location (file index and line; line 0: the compiler gave none).
struct TLocatedRange final {
    std::uint64_t Start = 0;
    std::uint64_t End = 0;  // exclusive
    std::uint32_t File = 0; // index into the file names
    std::int32_t Line = 0;
};

// An inlined call: the code from Start to End came from the function FunctionNames[Function], inlined at File and
// Line of the function one level out. Depth 1: inlined into the function the code lies in; 2: into that inlined
// function; and so on.
struct TInlinedCall final {
    std::uint64_t Start = 0;
    std::uint64_t End = 0; // exclusive
    std::uint32_t Depth = 1;
    std::uint32_t Function = 0;
    std::uint32_t File = 0;
    std::int32_t Line = 0;
};

struct TDwarfLocations final {
    // Every address seen from the function it was compiled into: where code was inlined, the location is the call
    // site in the outermost function (what addr2line -i prints last), so that the unit, the function and the line
    // of an address agree. Sorted by address, without overlaps. Code of functions without rows has NoLocationFile
    // or SymbolTableFile.
    std::vector<TLocatedRange> Outermost;
    // The code of inlined calls at its own line (what addr2line -i prints first), covering every depth-1 call;
    // code without a line row there has line 0 and the file of no name, or SymbolTableFile where the innermost
    // call at it inlined a function known by its plain name. Sorted, without overlaps.
    std::vector<TLocatedRange> Inlined;
    // Every inlined call, sorted by start and depth; calls of one depth do not overlap.
    std::vector<TInlinedCall> Calls;
    std::vector<std::string> FileNames; // as the line tables name them (paths)
    std::uint32_t NoFile = 0;           // the index of the file of no name
    // The inlined functions as addr2line names them: the linkage name (mangled; made readable when longer than a map
    // keeps), else the plain name.
    std::vector<std::string> FunctionNames;
};

// Reads the locations of all code in [CodeStart, CodeEnd) that the DWARF line tables and inlined calls cover.
// FunctionStarts: the addresses where the symbol table starts functions, sorted. False with Error set when the file
// has no readable DWARF.
bool ReadDwarfLocations(int Fd, std::uint64_t CodeStart, std::uint64_t CodeEnd,
                        const std::vector<std::uint64_t>& FunctionStarts, TDwarfLocations& Locations,
                        std::string& Error);

// Adds the parts of Fill that no range of Located covers, with their file and line; the first of overlapping Fill
// ranges wins. Both sorted by start; Located stays sorted.
void FillLocationGaps(std::vector<TLocatedRange>& Located, std::vector<TLocatedRange> Fill);
