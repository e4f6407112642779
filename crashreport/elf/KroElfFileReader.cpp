#include "KroElfFileReader.h"

#include <cerrno>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads of at most this many bytes go through the window; larger ones straight to the file.
constexpr std::size_t WindowSize = 64 * 1024;
// No linked file has more sections than this; a count beyond it is damage, and its table would take memory out of
// proportion.
constexpr std::uint64_t MaxSections = std::uint64_t{1} << 20;
// Names are read in pieces of this size, so that a name costs no more than its own length.
constexpr std::size_t NamePiece = 256;

bool ReadFromFile(int Fd, std::uint64_t Offset, unsigned char* Out, std::size_t Count) {
    while (Count > 0) {
        const ssize_t Got = pread(Fd, Out, Count, static_cast<off_t>(Offset));
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got <= 0)
            return false;
        Out += Got;
        Offset += static_cast<std::uint64_t>(Got);
        Count -= static_cast<std::size_t>(Got);
    }
    return true;
}

} // namespace

TElfFileReader::TElfFileReader(const std::string& FileName) : File(open(FileName.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat Info {};
    if (File.IsOpen() && fstat(File.Get(), &Info) == 0 && S_ISREG(Info.st_mode))
        FileSize = static_cast<std::uint64_t>(Info.st_size);
}

TElfFileReader::TElfFileReader(const unsigned char* Bytes, std::size_t Size) : Bytes(Bytes), FileSize(Size) {}

TElfFileReader::~TElfFileReader() = default;

bool TElfFileReader::Fail(std::string Text) {
    Message = std::move(Text);
    return false;
}

bool TElfFileReader::ReadAt(std::uint64_t Offset, void* Dest, std::size_t Count) const {
    if (Offset > FileSize || Count > FileSize - Offset)
        return false;
    auto* Out = static_cast<unsigned char*>(Dest);
    if (Bytes != nullptr) {
        std::memcpy(Out, Bytes + Offset, Count);
        return true;
    }
    if (!File.IsOpen())
        return false;
    if (Count > WindowSize)
        return ReadFromFile(File.Get(), Offset, Out, Count);
    if (Offset < WindowStart || Offset - WindowStart + Count > Window.size()) {
        const std::uint64_t Rest = FileSize - Offset;
        Window.resize(static_cast<std::size_t>(Rest < WindowSize ? Rest : WindowSize));
        WindowStart = Offset;
        if (!ReadFromFile(File.Get(), Offset, Window.data(), Window.size())) {
            Window.clear();
            return false;
        }
    }
    std::memcpy(Out, Window.data() + (Offset - WindowStart), Count);
    return true;
}

std::uint64_t TElfFileReader::Field(const unsigned char* Record, std::size_t At, unsigned Count) const noexcept {
    std::uint64_t Value = 0;
    for (unsigned I = 0; I < Count; ++I)
        Value |= static_cast<std::uint64_t>(Record[At + I]) << (8 * I);
    return Value;
}

// An address-sized field: 8 bytes in a 64-bit file, 4 in a 32-bit one.
std::uint64_t TElfFileReader::Word(const unsigned char* Record, std::size_t At) const noexcept {
    return Field(Record, At, FileHeader.Is64 ? 8 : 4);
}

bool TElfFileReader::ReadRecord(std::uint64_t Offset, unsigned char* Record, std::size_t Count, const char* What) {
    if (!ReadAt(Offset, Record, Count))
        return Fail(std::string("the ") + What + " lies beyond the end of the file");
    return true;
}

// A table's offset (an address-sized field at OffsetAt), then its entry size and count (16 bits each from SizeAt).
void TElfFileReader::ReadTable(const unsigned char* Record, std::size_t OffsetAt, std::size_t SizeAt,
                               TElfTable& Table) const noexcept {
    Table.Offset = Word(Record, OffsetAt);
    Table.EntrySize = static_cast<std::uint16_t>(Field(Record, SizeAt, 2));
    Table.Count = static_cast<std::uint16_t>(Field(Record, SizeAt + 2, 2));
}

bool TElfFileReader::ReadHeader() {
    unsigned char Ident[EI_NIDENT];
    if (!ReadAt(0, Ident, sizeof Ident) || std::memcmp(Ident, ELFMAG, SELFMAG) != 0)
        return Fail("not an ELF file");
    if (Ident[EI_CLASS] != ELFCLASS32 && Ident[EI_CLASS] != ELFCLASS64)
        return Fail("unknown ELF class " + std::to_string(Ident[EI_CLASS]));
    if (Ident[EI_DATA] != ELFDATA2LSB)
        return Fail("not a little-endian ELF file");
    FileHeader = TElfHeader{};
    const bool Is64 = Ident[EI_CLASS] == ELFCLASS64;
    FileHeader.Is64 = Is64;
    unsigned char Record[sizeof(Elf64_Ehdr)];
    if (!ReadRecord(0, Record, Is64 ? sizeof(Elf64_Ehdr) : sizeof(Elf32_Ehdr), "ELF header"))
        return false;
    FileHeader.Type = static_cast<std::uint16_t>(Field(Record, 16, 2));
    FileHeader.Machine = static_cast<std::uint16_t>(Field(Record, 18, 2));
    FileHeader.Entry = Word(Record, 24);
    ReadTable(Record, Is64 ? 32 : 28, Is64 ? 54 : 42, FileHeader.Programs);
    ReadTable(Record, Is64 ? 40 : 32, Is64 ? 58 : 46, FileHeader.Sections);
    FileHeader.SectionNamesIndex = static_cast<std::uint16_t>(Field(Record, Is64 ? 62 : 50, 2));
    return true;
}

bool TElfFileReader::ReadPrograms(std::vector<TElfProgram>& Programs) {
    Programs.clear();
    const bool Is64 = FileHeader.Is64;
    const std::size_t Minimum = Is64 ? sizeof(Elf64_Phdr) : sizeof(Elf32_Phdr);
    if (FileHeader.Programs.Count == 0)
        return true; // an object file: nothing loads
    if (FileHeader.Programs.EntrySize < Minimum)
        return Fail("program header entries of " + std::to_string(FileHeader.Programs.EntrySize) +
                    " bytes are too small");
    // The count is 16 bits wide and every entry is checked against the file: the table cannot take much memory.
    for (std::uint64_t Index = 0; Index < FileHeader.Programs.Count; ++Index) {
        const std::uint64_t Base = FileHeader.Programs.Offset + Index * FileHeader.Programs.EntrySize;
        unsigned char Record[sizeof(Elf64_Phdr)];
        if (Base < FileHeader.Programs.Offset || !ReadAt(Base, Record, Minimum))
            return Fail("a program header lies beyond the end of the file");
        TElfProgram Program;
        Program.Type = static_cast<std::uint32_t>(Field(Record, 0, 4));
        if (Is64) {
            Program.Flags = static_cast<std::uint32_t>(Field(Record, 4, 4));
            Program.Offset = Field(Record, 8, 8);
            Program.Address = Field(Record, 16, 8);
            Program.FileSize = Field(Record, 32, 8);
            Program.MemorySize = Field(Record, 40, 8);
        } else {
            Program.Offset = Field(Record, 4, 4);
            Program.Address = Field(Record, 8, 4);
            Program.FileSize = Field(Record, 16, 4);
            Program.MemorySize = Field(Record, 20, 4);
            Program.Flags = static_cast<std::uint32_t>(Field(Record, 24, 4));
        }
        Programs.push_back(Program);
    }
    return true;
}

bool TElfFileReader::ReadSection(std::uint64_t Index, TElfSection& Section) {
    const std::uint64_t EntrySize = FileHeader.Sections.EntrySize;
    const std::uint64_t Base = FileHeader.Sections.Offset + Index * EntrySize;
    if (Index > FileSize / EntrySize || Base < FileHeader.Sections.Offset)
        return Fail("a section header lies beyond the end of the file");
    const bool Is64 = FileHeader.Is64;
    unsigned char Record[sizeof(Elf64_Shdr)];
    if (!ReadRecord(Base, Record, Is64 ? sizeof(Elf64_Shdr) : sizeof(Elf32_Shdr), "section header"))
        return false;
    Section = TElfSection{};
    Section.NameOffset = static_cast<std::uint32_t>(Field(Record, 0, 4));
    Section.Type = static_cast<std::uint32_t>(Field(Record, 4, 4));
    Section.Flags = Word(Record, 8);
    Section.Address = Word(Record, Is64 ? 16 : 12);
    Section.Offset = Word(Record, Is64 ? 24 : 16);
    Section.Size = Word(Record, Is64 ? 32 : 20);
    Section.Link = static_cast<std::uint32_t>(Field(Record, Is64 ? 40 : 24, 4));
    Section.Info = static_cast<std::uint32_t>(Field(Record, Is64 ? 44 : 28, 4));
    Section.EntrySize = Word(Record, Is64 ? 56 : 36);
    return true;
}

bool TElfFileReader::ReadSections(std::vector<TElfSection>& Sections) {
    Sections.clear();
    if (FileHeader.Sections.Offset == 0)
        return Fail("the file has no section headers");
    const std::uint64_t Minimum = FileHeader.Is64 ? sizeof(Elf64_Shdr) : sizeof(Elf32_Shdr);
    if (FileHeader.Sections.EntrySize < Minimum)
        return Fail("section header entries of " + std::to_string(FileHeader.Sections.EntrySize) +
                    " bytes are too small");
    // Many sections: the real count and name table index live in the first header.
    TElfSection First;
    if (!ReadSection(0, First))
        return false;
    const std::uint64_t Count = FileHeader.Sections.Count != 0 ? FileHeader.Sections.Count : First.Size;
    const std::uint64_t NamesIndex =
        FileHeader.SectionNamesIndex != SHN_XINDEX ? FileHeader.SectionNamesIndex : First.Link;
    if (Count > FileSize / FileHeader.Sections.EntrySize)
        return Fail(std::to_string(Count) + " section headers do not fit in the file");
    if (Count > MaxSections)
        return Fail(std::to_string(Count) + " section headers are more than a linked file has");
    Sections.reserve(static_cast<std::size_t>(Count));
    for (std::uint64_t Index = 0; Index < Count; ++Index) {
        TElfSection Section;
        if (!ReadSection(Index, Section))
            return false;
        Sections.push_back(Section);
    }
    if (NamesIndex >= Sections.size())
        return Fail("the section name table index " + std::to_string(NamesIndex) + " is out of range");
    NamesTable = NamesIndex;
    return true;
}

bool TElfFileReader::ReadSectionNames(std::vector<TElfSection>& Sections) {
    if (NamesTable >= Sections.size())
        return Fail("the section name table index " + std::to_string(NamesTable) + " is out of range");
    TElfSection Names = Sections[NamesTable];
    Names.Name = "names";
    if (!CheckContents(Names))
        return false;
    for (TElfSection& Section : Sections) {
        Section.Name.clear();
        if (Section.Type != SHT_NULL && !ReadName(Names, Section.NameOffset, "section", Section.Name))
            return false;
    }
    return true;
}

bool TElfFileReader::SectionNameIs(const std::vector<TElfSection>& Sections, const TElfSection& Section,
                                   std::string_view Name) {
    if (NamesTable >= Sections.size())
        return false;
    const TElfSection& Names = Sections[NamesTable];
    if (Section.NameOffset >= Names.Size || Names.Size - Section.NameOffset <= Name.size())
        return false;
    char Text[NamePiece];
    if (Name.size() + 1 > sizeof Text || !ReadAt(Names.Offset + Section.NameOffset, Text, Name.size() + 1))
        return false;
    return Text[Name.size()] == '\0' && std::string_view(Text, Name.size()) == Name;
}

bool TElfFileReader::CheckContents(const TElfSection& Section) {
    if (Section.Type == SHT_NOBITS)
        return true;
    if (Section.Offset > FileSize || FileSize - Section.Offset < Section.Size)
        return Fail("section " + Section.Name + " lies beyond the end of the file");
    return true;
}

bool TElfFileReader::ReadName(const TElfSection& Table, std::uint64_t Offset, const char* What, std::string& Name) {
    Name.clear();
    if (Table.Type == SHT_NOBITS || Offset >= Table.Size)
        return Fail(std::string("a ") + What + " name lies outside its string table");
    char Piece[NamePiece];
    for (std::uint64_t At = Offset; At < Table.Size;) {
        const std::uint64_t Rest = Table.Size - At;
        const std::size_t Count = static_cast<std::size_t>(Rest < sizeof Piece ? Rest : sizeof Piece);
        if (Table.Offset + At < Table.Offset || !ReadAt(Table.Offset + At, Piece, Count))
            return Fail(std::string("a ") + What + " name lies beyond the end of the file");
        const void* End = std::memchr(Piece, '\0', Count);
        if (End != nullptr) {
            Name.append(Piece, static_cast<std::size_t>(static_cast<const char*>(End) - Piece));
            return true;
        }
        Name.append(Piece, Count);
        At += Count;
    }
    return Fail(std::string("a ") + What + " name runs past the end of its string table");
}

bool TElfFileReader::ReadSymbol(const TElfSection& Table, std::uint64_t Index, TElfSymbol& Symbol) {
    unsigned char Record[sizeof(Elf64_Sym)];
    const std::uint64_t Base = Table.Offset + Index * Table.EntrySize;
    if (!ReadRecord(Base, Record, static_cast<std::size_t>(SymbolEntrySize()), "symbol"))
        return false;
    Symbol = TElfSymbol{};
    Symbol.NameOffset = static_cast<std::uint32_t>(Field(Record, 0, 4));
    std::uint8_t Info;
    if (FileHeader.Is64) {
        Info = Record[4];
        Symbol.SectionIndex = static_cast<std::uint16_t>(Field(Record, 6, 2));
        Symbol.Value = Field(Record, 8, 8);
        Symbol.Size = Field(Record, 16, 8);
    } else {
        Symbol.Value = Field(Record, 4, 4);
        Symbol.Size = Field(Record, 8, 4);
        Info = Record[12];
        Symbol.SectionIndex = static_cast<std::uint16_t>(Field(Record, 14, 2));
    }
    Symbol.Type = Info & 0xF;
    Symbol.Binding = Info >> 4;
    return true;
}

std::uint64_t TElfFileReader::RelocationEntrySize(const TElfSection& Table) const noexcept {
    const bool Addend = Table.Type == SHT_RELA;
    return FileHeader.Is64 ? (Addend ? 24 : 16) : (Addend ? 12 : 8);
}

bool TElfFileReader::ReadRelocation(const TElfSection& Table, std::uint64_t Index, TElfRelocation& Relocation) {
    unsigned char Record[16];
    const std::size_t Words = FileHeader.Is64 ? 16 : 8;
    if (!ReadRecord(Table.Offset + Index * RelocationEntrySize(Table), Record, Words, "relocation"))
        return false;
    Relocation.Offset = Word(Record, 0);
    const std::uint64_t Info = Word(Record, FileHeader.Is64 ? 8 : 4);
    Relocation.Type = static_cast<std::uint32_t>(FileHeader.Is64 ? (Info & 0xFFFFFFFFu) : (Info & 0xFF));
    Relocation.Symbol = static_cast<std::uint32_t>(FileHeader.Is64 ? (Info >> 32) : (Info >> 8));
    return true;
}
