#pragma once

#include "KroDisAsmImageReader.h"
#include "KroDisAsmTypes.h"
#include "KroElfFileReader.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// A damaged or unsuitable file: the message says what is wrong with it.
class EKroElfError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of the file FileName; raises EKroElfError when it cannot be opened or read.
std::vector<unsigned char> ReadInputFile(const std::string& FileName);

// An x86 ELF file (32- or 64-bit, little-endian) read into memory without being loaded: its sections at their
// virtual addresses and its symbols, read through the ELF file reader, which checks every header, table, name and
// offset against the file's size.
class TKroElfFile final {
public:
    struct TSection {
        std::string Name;
        std::uint64_t Address = 0;
        std::uint64_t Size = 0;
        bool Code = false;
    };

    // Reads and checks the file; raises EKroElfError when it cannot be used.
    explicit TKroElfFile(const std::string& FileName);
    // Reads an image from bytes already in memory (the name only serves the messages).
    TKroElfFile(std::vector<unsigned char> Bytes, const std::string& FileName);

    TKroCpuMode Mode() const { return CodeMode; }
    const std::vector<TSection>& Sections() const { return SectionList; }
    // The sections' bytes at their addresses, and the symbol names.
    const TKroImageCodeReader& Reader() const { return CodeReader; }
    // The address of a function or object by its name (mangled, or demangled in full); false when unknown.
    bool FindSymbol(const std::string& Name, std::uint64_t& Address) const;

private:
    void Parse();
    void ReadSymbols(TElfFileReader& Elf, const TElfSection& Table);
    void NamePltStubs(TElfFileReader& Elf);
    [[noreturn]] void Fail(const std::string& Message) const;

    std::string File;
    std::vector<unsigned char> Bytes;
    TKroCpuMode CodeMode = TKroCpuMode::Bits64;
    std::vector<TElfSection> RawSections;
    std::vector<TSection> SectionList;
    TKroImageCodeReader CodeReader;
    std::map<std::string, std::uint64_t> Symbols;
};
