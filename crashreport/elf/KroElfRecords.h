#pragma once

#include <cstdint>
#include <string>

// The ELF records as the readers hand them out: one form for 32-bit and 64-bit files, every field widened.

// Where a table of headers lies in the file.
struct TElfTable {
    std::uint64_t Offset = 0;
    std::uint16_t EntrySize = 0;
    std::uint16_t Count = 0;
};

// The file header.
struct TElfHeader {
    bool Is64 = true;
    std::uint16_t Type = 0;    // ET_EXEC, ET_DYN, ET_REL, ...
    std::uint16_t Machine = 0; // EM_X86_64, EM_386, ...
    std::uint64_t Entry = 0;
    TElfTable Programs;
    TElfTable Sections;                  // Count 0 with many sections: the count is then section 0's size
    std::uint16_t SectionNamesIndex = 0; // 0xFFFF with many sections: the index is then section 0's link
};

// A program header: a segment of the image.
struct TElfProgram {
    std::uint32_t Type = 0;  // PT_LOAD, PT_DYNAMIC, ...
    std::uint32_t Flags = 0; // PF_X, PF_W, PF_R
    std::uint64_t Offset = 0;
    std::uint64_t Address = 0; // the virtual address it is linked at
    std::uint64_t FileSize = 0;
    std::uint64_t MemorySize = 0;
};

// A section header with its name.
struct TElfSection {
    std::string Name;
    std::uint32_t NameOffset = 0;
    std::uint32_t Type = 0; // SHT_PROGBITS, SHT_NOBITS, SHT_SYMTAB, ...
    std::uint64_t Flags = 0;
    std::uint64_t Address = 0;
    std::uint64_t Offset = 0;
    std::uint64_t Size = 0;
    std::uint32_t Link = 0;
    std::uint32_t Info = 0;
    std::uint64_t EntrySize = 0;
};

// An entry of a symbol table; its name is read from the table's string table.
struct TElfSymbol {
    std::uint32_t NameOffset = 0;
    std::uint8_t Type = 0;    // STT_FUNC, STT_OBJECT, STT_FILE, ...
    std::uint8_t Binding = 0; // STB_LOCAL, STB_GLOBAL, STB_WEAK, ...
    std::uint16_t SectionIndex = 0;
    std::uint64_t Value = 0;
    std::uint64_t Size = 0;
};

// An entry of a relocation table (with or without addend).
struct TElfRelocation {
    std::uint64_t Offset = 0; // where the relocated word lies
    std::uint32_t Type = 0;
    std::uint32_t Symbol = 0; // index into the table's symbol table
};
