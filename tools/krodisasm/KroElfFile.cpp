#include "KroElfFile.h"

#include "KroDemangle.h"
#include "KroDisAsmDecoder.h"
#include "KroFileRead.h"

#include <elf.h>

std::vector<unsigned char> ReadInputFile(const std::string& FileName) {
    std::vector<unsigned char> Bytes;
    switch (KroReadFile(FileName.c_str(), Bytes)) {
    case TKroFileRead::Read:
        return Bytes;
    case TKroFileRead::CannotOpen:
        throw EKroElfError(FileName + ": cannot open the file");
    default:
        throw EKroElfError(FileName + ": cannot read the file");
    }
}

TKroElfFile::TKroElfFile(const std::string& FileName) : TKroElfFile(ReadInputFile(FileName), FileName) {}

TKroElfFile::TKroElfFile(std::vector<unsigned char> Contents, const std::string& FileName)
    : File(FileName), Bytes(std::move(Contents)) {
    Parse();
}

void TKroElfFile::Fail(const std::string& Message) const {
    throw EKroElfError(File + ": " + Message);
}

void TKroElfFile::Parse() {
    TElfFileReader Elf(Bytes.data(), Bytes.size());
    if (!Elf.ReadHeader())
        Fail(Elf.Error());
    const TElfHeader& Header = Elf.Header();
    if (Header.Machine == EM_X86_64 && Header.Is64)
        CodeMode = TKroCpuMode::Bits64;
    else if (Header.Machine == EM_386 && !Header.Is64)
        CodeMode = TKroCpuMode::Bits32;
    else
        Fail("not an x86 ELF file (machine " + std::to_string(Header.Machine) + ")");
    // An object file's sections all start at address 0 until the linker places them: read at their addresses they
    // would overlap, and every section would show the first one's code.
    if (Header.Type == ET_REL)
        Fail("a relocatable object file, whose sections have no addresses yet: link it first");
    if (!Elf.ReadSections(RawSections) || !Elf.ReadSectionNames(RawSections))
        Fail(Elf.Error());
    for (const TElfSection& Raw : RawSections) {
        if (!Elf.CheckContents(Raw))
            Fail(Elf.Error());
        TSection Section;
        Section.Name = Raw.Name;
        Section.Address = Raw.Address;
        Section.Size = Raw.Size;
        Section.Code = (Raw.Flags & SHF_EXECINSTR) != 0 && Raw.Type != SHT_NOBITS;
        if ((Raw.Flags & SHF_ALLOC) != 0 && Raw.Size > 0) {
            if (Raw.Type == SHT_NOBITS)
                CodeReader.AddZeroSegment(Raw.Address, Raw.Size);
            else
                CodeReader.AddSegment(Raw.Address, Bytes.data() + Raw.Offset, static_cast<std::size_t>(Raw.Size));
        }
        SectionList.push_back(Section);
    }
    for (const TElfSection& Raw : RawSections)
        if (Raw.Type == SHT_SYMTAB || Raw.Type == SHT_DYNSYM)
            ReadSymbols(Elf, Raw);
    NamePltStubs(Elf);
}

void TKroElfFile::ReadSymbols(TElfFileReader& Elf, const TElfSection& Table) {
    if (Table.EntrySize < Elf.SymbolEntrySize())
        Fail("symbol table " + Table.Name + " has entries of " + std::to_string(Table.EntrySize) + " bytes");
    if (Table.Link >= RawSections.size())
        Fail("symbol table " + Table.Name + " names a string table that does not exist");
    TElfSection Strings = RawSections[Table.Link];
    Strings.Name = "symbol names";
    if (!Elf.CheckContents(Strings))
        Fail(Elf.Error());
    const std::uint64_t Count = Table.Size / Table.EntrySize;
    for (std::uint64_t Index = 1; Index < Count; ++Index) {
        TElfSymbol Entry;
        if (!Elf.ReadSymbol(Table, Index, Entry))
            Fail(Elf.Error());
        // Functions, objects and untyped labels that lie in a section.
        if (Entry.SectionIndex == SHN_UNDEF || Entry.SectionIndex >= SHN_LORESERVE || Entry.NameOffset == 0 ||
            (Entry.Type != STT_NOTYPE && Entry.Type != STT_OBJECT && Entry.Type != STT_FUNC &&
             Entry.Type != STT_GNU_IFUNC))
            continue;
        std::string Symbol;
        if (!Elf.ReadName(Strings, Entry.NameOffset, "symbol", Symbol))
            Fail(Elf.Error());
        if (Symbol.empty())
            continue;
        const std::string Readable = KroReadableSymbol(Symbol);
        Symbols.emplace(Symbol, Entry.Value);
        Symbols.emplace(Readable, Entry.Value);
        if (Symbol[0] != '.') // not a local label
            CodeReader.AddName(Entry.Value, Readable);
    }
}

// Calls into shared libraries go through stubs in .plt or .plt.sec; they get the names "symbol@plt" from the
// jump-slot relocations, as the stub reads its target from the slot.
void TKroElfFile::NamePltStubs(TElfFileReader& Elf) {
    std::map<std::uint64_t, std::string> SlotNames;
    for (const TElfSection& Raw : RawSections) {
        if (Raw.Type != SHT_RELA && Raw.Type != SHT_REL)
            continue;
        const std::uint64_t Entry = Elf.RelocationEntrySize(Raw);
        if (Raw.Link == 0 || Raw.Link >= RawSections.size())
            continue;
        const TElfSection& Table = RawSections[Raw.Link];
        if (Table.Type != SHT_DYNSYM && Table.Type != SHT_SYMTAB)
            continue;
        if (Table.EntrySize < Elf.SymbolEntrySize() || Table.Link >= RawSections.size())
            continue;
        const TElfSection& Strings = RawSections[Table.Link];
        for (std::uint64_t Index = 0; (Index + 1) * Entry <= Raw.Size; ++Index) {
            TElfRelocation Relocation;
            if (!Elf.ReadRelocation(Raw, Index, Relocation))
                Fail(Elf.Error());
            // R_X86_64_JUMP_SLOT and R_386_JMP_SLOT alike.
            if (Relocation.Type != R_X86_64_JUMP_SLOT || Relocation.Symbol == 0 ||
                Relocation.Symbol >= Table.Size / Table.EntrySize)
                continue;
            TElfSymbol Symbol;
            if (!Elf.ReadSymbol(Table, Relocation.Symbol, Symbol))
                Fail(Elf.Error());
            std::string Name;
            if (Symbol.NameOffset != 0) {
                if (!Elf.ReadName(Strings, Symbol.NameOffset, "symbol", Name))
                    Fail(Elf.Error());
                SlotNames.emplace(Relocation.Offset, KroReadableSymbol(Name) + "@plt");
            }
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
