#include "ProgramSymbols.h"

#include "KroDemangle.h"
#include "KroElfFileReader.h"

#include <elf.h>

#include <algorithm>

namespace {

int RankOf(unsigned char Binding) {
    switch (Binding) {
    case STB_GLOBAL:
        return 0;
    case STB_WEAK:
    case STB_GNU_UNIQUE:
        return 1;
    default:
        return 2;
    }
}

void ReadSymbols(TElfFileReader& Elf, const std::vector<TElfSection>& Sections, const TElfSection& Table,
                 TProgramSymbols& Program) {
    if (Table.EntrySize == 0 || Table.Link >= Sections.size())
        return;
    const TElfSection& Strings = Sections[Table.Link];
    const std::uint64_t Count = Table.Size / Table.EntrySize;
    // A file symbol with a name that cannot be read files no function.
    std::string File;
    for (std::uint64_t I = 0; I < Count; ++I) {
        TElfSymbol Symbol;
        if (!Elf.ReadSymbol(Table, I, Symbol))
            continue;
        if (Symbol.Type == STT_FILE && !Elf.ReadName(Strings, Symbol.NameOffset, "file", File))
            File.clear();
        if ((Symbol.Type != STT_FUNC && Symbol.Type != STT_GNU_IFUNC) || Symbol.SectionIndex == SHN_UNDEF ||
            Symbol.Value < Program.CodeStart || Symbol.Value >= Program.CodeEnd)
            continue;
        std::string Name;
        if (!Elf.ReadName(Strings, Symbol.NameOffset, "symbol", Name) || Name.empty())
            continue;
        Program.Symbols.push_back(TCodeSymbol{Symbol.Value, KroReadableSymbol(Name), RankOf(Symbol.Binding)});
        // Local symbols follow the file symbol of their object; for code without line tables that names the unit.
        if (Symbol.Binding == STB_LOCAL && !File.empty())
            Program.FiledFunctions.push_back(TFiledFunction{Symbol.Value, File});
    }
}

} // namespace

bool ReadProgramSymbols(const std::string& ProgramFile, TProgramSymbols& Program, std::string& Error) {
    TElfFileReader Elf(ProgramFile);
    if (!Elf.ReadHeader()) {
        Error = Elf.Error();
        return false;
    }
    std::vector<TElfProgram> Programs;
    if (!Elf.ReadPrograms(Programs) || Programs.empty()) {
        Error = "no program headers (not a linked program)";
        return false;
    }
    const auto Code = std::find_if(Programs.begin(), Programs.end(),
                                   [](const TElfProgram& P) { return P.Type == PT_LOAD && (P.Flags & PF_X) != 0; });
    if (Code == Programs.end()) {
        Error = "no executable segment";
        return false;
    }
    Program.CodeStart = Code->Address;
    Program.CodeEnd = Code->Address + Code->MemorySize;
    Program.Entry = Elf.Header().Entry;

    // A file whose section headers cannot be read has no symbols to give.
    std::vector<TElfSection> Sections;
    if (Elf.ReadSections(Sections)) {
        const TElfSection* Symtab = nullptr;
        const TElfSection* Dynsym = nullptr;
        for (const TElfSection& Section : Sections) {
            if (Section.Type == SHT_SYMTAB)
                Symtab = &Section;
            else if (Section.Type == SHT_DYNSYM)
                Dynsym = &Section;
        }
        if (Symtab != nullptr)
            ReadSymbols(Elf, Sections, *Symtab, Program);
        else if (Dynsym != nullptr)
            ReadSymbols(Elf, Sections, *Dynsym, Program);
    }

    // One name per address: the most visible one (a global before its local alias), then the first listed.
    std::stable_sort(Program.Symbols.begin(), Program.Symbols.end(), [](const TCodeSymbol& A, const TCodeSymbol& B) {
        return A.Address != B.Address ? A.Address < B.Address : A.Rank < B.Rank;
    });
    std::stable_sort(Program.FiledFunctions.begin(), Program.FiledFunctions.end(),
                     [](const TFiledFunction& A, const TFiledFunction& B) { return A.Address < B.Address; });
    Program.Symbols.erase(
        std::unique(Program.Symbols.begin(), Program.Symbols.end(),
                    [](const TCodeSymbol& A, const TCodeSymbol& B) { return A.Address == B.Address; }),
        Program.Symbols.end());
    return true;
}
