#pragma once

#include "KroDisAsmReader.h"

#include <map>
#include <vector>

// Code and data held in buffers at given virtual addresses: the sections of a file that is decoded without being
// loaded, or code a test places where it wants. The buffers are borrowed and must outlive the reader.
class TKroImageCodeReader final : public TKroCodeReader {
public:
    // Places Size bytes at Address. A function is analysed within the segment that holds it.
    void AddSegment(std::uint64_t Address, const unsigned char* Bytes, std::size_t Size);
    // Places Size zero bytes at Address (a section without file contents, as .bss).
    void AddZeroSegment(std::uint64_t Address, std::uint64_t Size);
    // Names the address (the first name given for an address stays).
    void AddName(std::uint64_t Address, const std::string& Name);

    bool Read(std::uint64_t Address, void* Dest, std::size_t Count) const override;
    bool CodeRange(std::uint64_t Address, std::uint64_t& Begin, std::uint64_t& End) const override;
    bool NameOf(std::uint64_t Address, std::string& Name, std::string& Module) const override;

    // The address of the first symbol with this name; false when there is none.
    bool AddressOf(const std::string& Name, std::uint64_t& Address) const;

private:
    struct TSegment {
        std::uint64_t Address;
        const unsigned char* Bytes; // nullptr: zeros
        std::uint64_t Size;
    };
    const TSegment* SegmentOf(std::uint64_t Address) const;

    std::vector<TSegment> Segments;
    std::map<std::uint64_t, std::string> Names;
};
