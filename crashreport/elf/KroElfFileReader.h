#pragma once

#include "KroElfRecords.h"
#include "KroFileHandle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An ELF file read without being loaded: the one reader of ELF files for the crash reporter (a module's layout and
// its embedded debug map) and for the tools (the disassembler's sections and symbols, the map generator's code and
// functions). Little-endian files of 32 and 64 bits. Every header, table, name and offset is checked against the
// file's size before it is used, so a damaged or hostile file is refused with a message that says what is wrong,
// never read past its end; nothing is allocated beyond what the file really holds.
//
// The bytes come from a regular file, read at offsets as they are needed (a module file may be large, and a report
// reads a few headers of it), or from a buffer already in memory.
class TElfFileReader final {
public:
    // Reads from the regular file FileName; a file that cannot be opened reads as empty.
    explicit TElfFileReader(const std::string& FileName);
    // Reads from Size bytes at Bytes, which must outlive the reader.
    TElfFileReader(const unsigned char* Bytes, std::size_t Size);
    ~TElfFileReader();
    TElfFileReader(const TElfFileReader&) = delete;
    TElfFileReader& operator=(const TElfFileReader&) = delete;

    // What the last failed call found wrong ("not an ELF file", "section .text lies beyond the end of the file").
    const std::string& Error() const noexcept { return Message; }
    std::uint64_t Size() const noexcept { return FileSize; }
    // True only when all Count bytes at Offset lie inside the file and were read.
    bool ReadAt(std::uint64_t Offset, void* Dest, std::size_t Count) const;

    // Reads and checks the file header (an ELF file, 32 or 64 bits, little-endian); every call below needs it.
    bool ReadHeader();
    const TElfHeader& Header() const noexcept { return FileHeader; }

    // The program headers.
    bool ReadPrograms(std::vector<TElfProgram>& Programs);

    // The section headers, without their names (a file without section headers is an error).
    bool ReadSections(std::vector<TElfSection>& Sections);
    // Fills in the names of the sections ReadSections gave.
    bool ReadSectionNames(std::vector<TElfSection>& Sections);
    // Whether the section's name is Name, reading no more of the name table than Name is long; false for a name
    // that lies outside the name table.
    bool SectionNameIs(const std::vector<TElfSection>& Sections, const TElfSection& Section, std::string_view Name);
    // Whether the section's contents lie inside the file (a section without contents in the file always does); the
    // error names the section by its Name.
    bool CheckContents(const TElfSection& Section);

    // The zero-terminated name at Offset of the string table Table; the error calls it a What name ("a symbol name
    // runs past the end of its string table").
    bool ReadName(const TElfSection& Table, std::uint64_t Offset, const char* What, std::string& Name);

    // The symbol tables: the entry size of this file's symbols, and symbol Index of Table.
    std::uint64_t SymbolEntrySize() const noexcept { return FileHeader.Is64 ? 24 : 16; }
    bool ReadSymbol(const TElfSection& Table, std::uint64_t Index, TElfSymbol& Symbol);

    // The relocation tables (SHT_RELA or SHT_REL): the size of their entries in this file, and relocation Index.
    std::uint64_t RelocationEntrySize(const TElfSection& Table) const noexcept;
    bool ReadRelocation(const TElfSection& Table, std::uint64_t Index, TElfRelocation& Relocation);

private:
    bool Fail(std::string Text);
    bool ReadRecord(std::uint64_t Offset, unsigned char* Record, std::size_t Count, const char* What);
    std::uint64_t Word(const unsigned char* Record, std::size_t At) const noexcept;
    std::uint64_t Field(const unsigned char* Record, std::size_t At, unsigned Bytes) const noexcept;
    void ReadTable(const unsigned char* Record, std::size_t OffsetAt, std::size_t SizeAt,
                   TElfTable& Table) const noexcept;
    bool ReadSection(std::uint64_t Index, TElfSection& Section);

    TKroFileHandle File;
    const unsigned char* Bytes = nullptr;
    std::uint64_t FileSize = 0;
    // Reads from a file go through a window of the file, so that walking a table costs a system call a window.
    mutable std::vector<unsigned char> Window;
    mutable std::uint64_t WindowStart = 0;
    TElfHeader FileHeader;
    std::uint64_t NamesTable = 0; // the index of the section name table, once ReadSections found it
    std::string Message;
};
