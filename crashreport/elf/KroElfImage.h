#pragma once

#include "KroElfRecords.h"

#include <cstddef>
#include <cstdint>

// The headers of an ELF image loaded in this process, read from memory. Every byte is read through KroSafeRead and
// every offset and count is checked, so a damaged, hostile or half-unmapped image is refused, never faulted on.
// Nothing here allocates or takes a lock: it may run in a signal handler.

struct TElfImage {
    std::uintptr_t Base = 0;     // where the ELF header is mapped: the module's handle
    std::uintptr_t End = 0;      // end of the highest loadable segment, page-rounded: what may be read lies below it
    std::uintptr_t LoadBias = 0; // added to the image's virtual addresses (0 for a fixed-address executable)
    std::uint16_t Type = 0;      // ET_EXEC or ET_DYN
    std::uint64_t Entry = 0;     // the entry point's virtual address, 0 for none
    std::uintptr_t Programs = 0; // the program headers in memory
    std::uint16_t ProgramCount = 0;
    std::uintptr_t Dynamic = 0;   // the dynamic section in memory, 0 when the image has none
    std::size_t DynamicCount = 0; // its entries, up to and without the terminating DT_NULL
    bool HasExecutableSegment = false;
};

// Reads and checks the ELF header and the program headers at Base (64-bit, this machine, an executable or shared
// object). False for anything else; Image is then undefined.
bool ReadElfImage(std::uintptr_t Base, TElfImage& Image) noexcept;

// Program header Index (below ProgramCount); false when it cannot be read.
bool ReadImageProgram(const TElfImage& Image, std::size_t Index, TElfProgram& Program) noexcept;

// The value of the first dynamic entry with Tag; false when there is none or the section cannot be read.
bool FindDynamicEntry(const TElfImage& Image, std::int64_t Tag, std::uint64_t& Value) noexcept;

// An address taken from the dynamic section as an absolute address inside the image. The loader relocates most of
// these entries in place and leaves others (and those of the vdso) as virtual addresses: both forms are accepted. 0
// when it points outside the image.
std::uintptr_t DynamicAddress(const TElfImage& Image, std::uint64_t Value) noexcept;

// Whether [Address, Address + Size) lies inside the image.
bool InsideImage(const TElfImage& Image, std::uintptr_t Address, std::uint64_t Size) noexcept;
