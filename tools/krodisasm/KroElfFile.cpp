#include "KroElfFile.h"

#include "KroDisAsmDecoder.h"

#include <cstdlib>
#include <cxxabi.h>
#include <fstream>
#include <memory>

namespace {

constexpr std::uint64_t ElfRelocatable = 1;
constexpr std::uint32_t SectionNoBits = 8;
constexpr std::uint32_t SectionSymbols = 2;
constexpr std::uint32_t SectionDynamicSymbols = 11;
constexpr std::uint32_t SectionRela = 4;
constexpr std::uint32_t SectionRel = 9;
constexpr std::uint64_t FlagAlloc = 2;
constexpr std::uint64_t FlagExec = 4;
constexpr std::uint32_t JumpSlot = 7; // R_X86_64_JUMP_SLOT and R_386_JMP_SLOT alike

std::vector<unsigned char> ReadWholeFile(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    if (!In)
        throw EKroElfError(FileName + ": cannot open the file");
    In.seekg(0, std::ios::end);
    const std::streamoff Size = In.tellg();
    if (Size < 0)
        throw EKroElfError(FileName + ": cannot read the file");
    In.seekg(0, std::ios::beg);
    std::vector<unsigned char> Bytes(static_cast<std::size_t>(Size));
    if (Size > 0 && !In.read(reinterpret_cast<char*>(Bytes.data()), Size))
        throw EKroElfError(FileName + ": cannot read the file");
    return Bytes;
}

std::string Demangled(const std::string& Name) {
    if (Name.size() < 2 || Name[0] != '_' || Name[1] != 'Z')
        return Name;
    int Status = 0;
    std::unique_ptr<char, decltype(&std::free)> Text(abi::__cxa_demangle(Name.c_str(), nullptr, nullptr, &Status),
                                                     &std::free);
    return Status == 0 && Text ? std::string(Text.get()) : Name;
}

} // namespace

TKroElfFile::TKroElfFile(const std::string& FileName) : TKroElfFile(ReadWholeFile(FileName), FileName) {}

TKroElfFile::TKroElfFile(std::vector<unsigned char> Contents, const std::string& FileName)
    : File(FileName), Bytes(std::move(Contents)) {
    Parse();
}

void TKroElfFile::Fail(const std::string& Message) const {
    throw EKroElfError(File + ": " + Message);
}

std::uint64_t TKroElfFile::Read(std::uint64_t Offset, unsigned Count, const char* What) const {
    if (Offset > Bytes.size() || Bytes.size() - Offset < Count)
        Fail(std::string("the ") + What + " lies beyond the end of the file");
    std::uint64_t Value = 0;
    for (unsigned I = 0; I < Count; ++I)
        Value |= static_cast<std::uint64_t>(Bytes[static_cast<std::size_t>(Offset) + I]) << (8 * I);
    return Value;
}

std::string TKroElfFile::StringAt(const TRawSection& Table, std::uint64_t Offset, const char* What) const {
    if (Table.Type == SectionNoBits || Offset >= Table.Size)
        Fail(std::string("a ") + What + " name lies outside its string table");
    std::string Text;
    for (std::uint64_t At = Table.Offset + Offset; At < Table.Offset + Table.Size; ++At) {
        const unsigned char C = Bytes[static_cast<std::size_t>(At)];
        if (C == 0)
            return Text;
        Text += static_cast<char>(C);
    }
    Fail(std::string("a ") + What + " name runs past the end of its string table");
}

void TKroElfFile::CheckContents(const TRawSection& Section, const std::string& Name) const {
    if (Section.Type == SectionNoBits)
        return;
    if (Section.Offset > Bytes.size() || Bytes.size() - Section.Offset < Section.Size)
        Fail("section " + Name + " lies beyond the end of the file");
}

void TKroElfFile::Parse() {
    if (Bytes.size() < 16 || Bytes[0] != 0x7F || Bytes[1] != 'E' || Bytes[2] != 'L' || Bytes[3] != 'F')
        Fail("not an ELF file");
    if (Bytes[4] != 1 && Bytes[4] != 2)
        Fail("unknown ELF class " + std::to_string(Bytes[4]));
    if (Bytes[5] != 1)
        Fail("not a little-endian ELF file");
    Is64 = Bytes[4] == 2;
    const std::uint64_t Machine = Read(18, 2, "ELF header");
    if (Machine == 62 && Is64)
        CodeMode = TKroCpuMode::Bits64;
    else if (Machine == 3 && !Is64)
        CodeMode = TKroCpuMode::Bits32;
    else
        Fail("not an x86 ELF file (machine " + std::to_string(Machine) + ")");
    // An object file's sections all start at address 0 until the linker places them: read at their addresses they
    // would overlap, and every section would show the first one's code.
    if (Read(16, 2, "ELF header") == ElfRelocatable)
        Fail("a relocatable object file, whose sections have no addresses yet: link it first");
    const std::uint64_t SectionOffset = Is64 ? Read(40, 8, "ELF header") : Read(32, 4, "ELF header");
    const std::uint64_t EntrySize = Read(Is64 ? 58 : 46, 2, "ELF header");
    std::uint64_t Count = Read(Is64 ? 60 : 48, 2, "ELF header");
    std::uint64_t NamesIndex = Read(Is64 ? 62 : 50, 2, "ELF header");
    if (SectionOffset == 0)
        Fail("the file has no section headers");
    const std::uint64_t MinimumEntry = Is64 ? 64 : 40;
    if (EntrySize < MinimumEntry)
        Fail("section header entries of " + std::to_string(EntrySize) + " bytes are too small");
    auto Header = [&](std::uint64_t Index) {
        TRawSection Section;
        const std::uint64_t Base = SectionOffset + Index * EntrySize;
        if (Index > Bytes.size() / EntrySize || Base < SectionOffset)
            Fail("a section header lies beyond the end of the file");
        Section.NameOffset = static_cast<std::uint32_t>(Read(Base, 4, "section header"));
        Section.Type = static_cast<std::uint32_t>(Read(Base + 4, 4, "section header"));
        if (Is64) {
            Section.Flags = Read(Base + 8, 8, "section header");
            Section.Address = Read(Base + 16, 8, "section header");
            Section.Offset = Read(Base + 24, 8, "section header");
            Section.Size = Read(Base + 32, 8, "section header");
            Section.Link = static_cast<std::uint32_t>(Read(Base + 40, 4, "section header"));
            Section.EntrySize = Read(Base + 56, 8, "section header");
        } else {
            Section.Flags = Read(Base + 8, 4, "section header");
            Section.Address = Read(Base + 12, 4, "section header");
            Section.Offset = Read(Base + 16, 4, "section header");
            Section.Size = Read(Base + 20, 4, "section header");
            Section.Link = static_cast<std::uint32_t>(Read(Base + 24, 4, "section header"));
            Section.EntrySize = Read(Base + 36, 4, "section header");
        }
        return Section;
    };
    // Many sections: the real count and name-table index live in the first header.
    const TRawSection First = Header(0);
    if (Count == 0)
        Count = First.Size;
    if (NamesIndex == 0xFFFF)
        NamesIndex = First.Link;
    if (Count > Bytes.size() / EntrySize)
        Fail(std::to_string(Count) + " section headers do not fit in the file");
    for (std::uint64_t Index = 0; Index < Count; ++Index)
        RawSections.push_back(Header(Index));
    if (NamesIndex >= RawSections.size())
        Fail("the section name table index " + std::to_string(NamesIndex) + " is out of range");
    const TRawSection& Names = RawSections[static_cast<std::size_t>(NamesIndex)];
    CheckContents(Names, "names");
    for (const TRawSection& Raw : RawSections) {
        TSection Section;
        Section.Name = Raw.Type == 0 ? std::string() : StringAt(Names, Raw.NameOffset, "section");
        CheckContents(Raw, Section.Name);
        Section.Address = Raw.Address;
        Section.Size = Raw.Size;
        Section.Code = (Raw.Flags & FlagExec) != 0 && Raw.Type != SectionNoBits;
        if ((Raw.Flags & FlagAlloc) != 0 && Raw.Size > 0) {
            if (Raw.Type == SectionNoBits)
                CodeReader.AddZeroSegment(Raw.Address, Raw.Size);
            else
                CodeReader.AddSegment(Raw.Address, Bytes.data() + Raw.Offset, static_cast<std::size_t>(Raw.Size));
        }
        SectionList.push_back(Section);
    }
    for (std::size_t Index = 0; Index < RawSections.size(); ++Index) {
        const TRawSection& Raw = RawSections[Index];
        if (Raw.Type == SectionSymbols || Raw.Type == SectionDynamicSymbols)
            ReadSymbols(Raw, SectionList[Index].Name);
    }
    NamePltStubs();
}

void TKroElfFile::ReadSymbols(const TRawSection& Table, const std::string& Name) {
    const std::uint64_t SymbolSize = Is64 ? 24 : 16;
    if (Table.EntrySize < SymbolSize)
        Fail("symbol table " + Name + " has entries of " + std::to_string(Table.EntrySize) + " bytes");
    if (Table.Link >= RawSections.size())
        Fail("symbol table " + Name + " names a string table that does not exist");
    const TRawSection& Strings = RawSections[Table.Link];
    CheckContents(Strings, "symbol names");
    const std::uint64_t Count = Table.Size / Table.EntrySize;
    for (std::uint64_t Index = 1; Index < Count; ++Index) {
        const std::uint64_t Base = Table.Offset + Index * Table.EntrySize;
        const std::uint64_t NameOffset = Read(Base, 4, "symbol");
        std::uint64_t Value;
        unsigned Info;
        std::uint64_t SectionIndex;
        if (Is64) {
            Info = static_cast<unsigned>(Read(Base + 4, 1, "symbol"));
            SectionIndex = Read(Base + 6, 2, "symbol");
            Value = Read(Base + 8, 8, "symbol");
        } else {
            Value = Read(Base + 4, 4, "symbol");
            Info = static_cast<unsigned>(Read(Base + 12, 1, "symbol"));
            SectionIndex = Read(Base + 14, 2, "symbol");
        }
        const unsigned Type = Info & 15;
        // Functions, objects and untyped labels that lie in a section.
        if (SectionIndex == 0 || SectionIndex >= 0xFF00 || NameOffset == 0 || (Type > 2 && Type != 10))
            continue;
        const std::string Symbol = StringAt(Strings, NameOffset, "symbol");
        if (Symbol.empty())
            continue;
        const std::string Readable = Demangled(Symbol);
        Symbols.emplace(Symbol, Value);
        Symbols.emplace(Readable, Value);
        if (Symbol[0] != '.') // not a local label
            CodeReader.AddName(Value, Readable);
    }
}

// Calls into shared libraries go through stubs in .plt or .plt.sec; they get the names "symbol@plt" from the
// jump-slot relocations, as the stub reads its target from the slot.
void TKroElfFile::NamePltStubs() {
    std::map<std::uint64_t, std::string> SlotNames;
    for (const TRawSection& Raw : RawSections) {
        if (Raw.Type != SectionRela && Raw.Type != SectionRel)
            continue;
        const std::uint64_t Entry = Raw.Type == SectionRela ? (Is64 ? 24 : 12) : (Is64 ? 16 : 8);
        if (Raw.Link == 0 || Raw.Link >= RawSections.size())
            continue;
        const TRawSection& Table = RawSections[Raw.Link];
        if (Table.Type != SectionDynamicSymbols && Table.Type != SectionSymbols)
            continue;
        const std::uint64_t SymbolSize = Is64 ? 24 : 16;
        if (Table.EntrySize < SymbolSize || Table.Link >= RawSections.size())
            continue;
        const TRawSection& Strings = RawSections[Table.Link];
        for (std::uint64_t At = 0; At + Entry <= Raw.Size; At += Entry) {
            const std::uint64_t Base = Raw.Offset + At;
            const std::uint64_t Slot = Read(Base, Is64 ? 8 : 4, "relocation");
            const std::uint64_t Info = Read(Base + (Is64 ? 8 : 4), Is64 ? 8 : 4, "relocation");
            const std::uint64_t Type = Is64 ? (Info & 0xFFFFFFFFu) : (Info & 0xFF);
            const std::uint64_t Symbol = Is64 ? (Info >> 32) : (Info >> 8);
            if (Type != JumpSlot || Symbol == 0 || Symbol >= Table.Size / Table.EntrySize)
                continue;
            const std::uint64_t NameOffset = Read(Table.Offset + Symbol * Table.EntrySize, 4, "symbol");
            if (NameOffset != 0)
                SlotNames.emplace(Slot, Demangled(StringAt(Strings, NameOffset, "symbol")) + "@plt");
        }
    }
    if (SlotNames.empty())
        return;
    const TKroDecoder Decoder(CodeReader, CodeMode);
    for (std::size_t Index = 0; Index < RawSections.size(); ++Index) {
        const TSection& Section = SectionList[Index];
        if (!Section.Code || (Section.Name != ".plt" && Section.Name != ".plt.sec"))
            continue;
        std::uint64_t Address = Section.Address;
        while (Address < Section.Address + Section.Size) {
            TKroInstruction Instruction;
            Decoder.Decode(Address, Instruction);
            // The stub jumps through its slot (a lazy slot points back into the stub, which makes the jump look like
            // none: the operand tells the slot all the same).
            const TKroOperand& Operand = Instruction.Operands[0];
            const bool Through = Instruction.OperandCount == 1 && Operand.Kind == TKroOperandKind::Memory &&
                                 Operand.AbsoluteKnown && std::string(Instruction.Mnemonic) == "jmp";
            const auto Found = Through ? SlotNames.find(Operand.Address) : SlotNames.end();
            if (Found != SlotNames.end()) {
                const std::uint64_t Stub = Address - (Address - Section.Address) % 16;
                CodeReader.AddName(Stub, Found->second);
            }
            Address = Instruction.Info.NextInstruction;
        }
    }
}

bool TKroElfFile::FindSymbol(const std::string& Name, std::uint64_t& Address) const {
    const auto Found = Symbols.find(Name);
    if (Found == Symbols.end())
        return CodeReader.AddressOf(Name, Address);
    Address = Found->second;
    return true;
}
