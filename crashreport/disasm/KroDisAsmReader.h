#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Where the disassembler's bytes come from: live memory of this process, or the sections of a file buffer, both
// addressed by virtual address. A read either delivers all bytes or fails; it never faults.
class TKroCodeReader {
public:
    TKroCodeReader() = default;
    TKroCodeReader(const TKroCodeReader&) = delete;
    TKroCodeReader& operator=(const TKroCodeReader&) = delete;
    virtual ~TKroCodeReader() = default;

    // True only when all Count bytes at Address were read into Dest.
    virtual bool Read(std::uint64_t Address, void* Dest, std::size_t Count) const = 0;

    // The range of code a function at Address may spread over (the executable mapping or section that holds it),
    // as [Begin, End). False when Address lies in no mapped memory.
    virtual bool CodeRange(std::uint64_t Address, std::uint64_t& Begin, std::uint64_t& End) const = 0;

    // The name of the symbol that starts exactly at Address, and the file of its module when that is not the main
    // one. False when nothing is known there.
    virtual bool NameOf(std::uint64_t Address, std::string& Name, std::string& Module) const = 0;

    // Reads as many bytes as can be read from Address on, up to Count; returns the count read.
    std::size_t ReadSome(std::uint64_t Address, void* Dest, std::size_t Count) const;
};
