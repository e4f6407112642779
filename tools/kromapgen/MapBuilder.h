#pragma once

#include "DwarfLocations.h"
#include "KroMapFilePacked.h"
#include "ProgramSymbols.h"

#include <string>
#include <vector>

// Turns what the generator read from a program into the content of its packed map, in offsets from the start of
// the code: one segment per stretch of contiguous code from one source file, one line entry wherever the line
// changes, one public per function address, and the inlined calls with a row wherever the line of inlined code
// changes.
TPackedMapContent BuildMapContent(const TProgramSymbols& Program, const TDwarfLocations& Locations);

// Code without line rows in a local function (up to the next symbol) of an object that the symbol table files
// under a source file gets that file as its unit, without a line: addr2line names it so, where DWARF describes no
// function there or one it knows by its plain name alone (SymbolTableFile). Of the inlined code, that marked so
// gets the file the same way, else the file of no name.
void AddFiledFunctions(const TProgramSymbols& Program, TDwarfLocations& Locations);

// Everything together: reads the program file and returns its packed map; false with Error set on failure.
bool GenerateMap(const std::string& ProgramFile, std::vector<std::uint8_t>& PackedMap, std::string& Error);
