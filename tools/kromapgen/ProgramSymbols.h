#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the map generator takes from a linked program's ELF headers and symbol table.
struct TCodeSymbol final {
    std::uint64_t Address = 0;
    std::string Name; // demangled
    int Rank = 0;     // global 0, weak 1, local 2: of several names at one address the lowest rank wins
};

// A local function and the source file the symbol table files it under (the file symbol before it).
struct TFiledFunction final {
    std::uint64_t Address = 0;
    std::string File;
};

struct TProgramSymbols final {
    std::uint64_t CodeStart = 0; // the executable loadable segment
    std::uint64_t CodeEnd = 0;
    std::uint64_t Entry = 0;
    std::vector<TCodeSymbol> Symbols;           // the functions in the code, sorted by address, one per address
    std::vector<TFiledFunction> FiledFunctions; // sorted by address
};

// Reads the program headers and the function symbols (of .symtab, else .dynsym) of the ELF file ProgramFile.
// False with Error set when the file is no ELF program with an executable segment.
bool ReadProgramSymbols(const std::string& ProgramFile, TProgramSymbols& Program, std::string& Error);
