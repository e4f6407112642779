#include "ElfImage.h"

#include <cxxabi.h>
#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

struct TElfCloser final {
    void operator()(Elf* E) const { elf_end(E); }
};

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

void ReadSymbols(Elf* E, Elf_Scn* Table, const GElf_Shdr& Header, TElfImage& Image) {
    Elf_Data* Data = elf_getdata(Table, nullptr);
    if (Data == nullptr || Header.sh_entsize == 0)
        return;
    const std::size_t Count = Header.sh_size / Header.sh_entsize;
    const char* File = nullptr;
    for (std::size_t I = 0; I < Count; ++I) {
        GElf_Sym Symbol;
        if (gelf_getsym(Data, static_cast<int>(I), &Symbol) == nullptr)
            continue;
        const int Type = GELF_ST_TYPE(Symbol.st_info);
        if (Type == STT_FILE)
            File = elf_strptr(E, Header.sh_link, Symbol.st_name);
        if ((Type != STT_FUNC && Type != STT_GNU_IFUNC) || Symbol.st_shndx == SHN_UNDEF ||
            Symbol.st_value < Image.CodeStart || Symbol.st_value >= Image.CodeEnd)
            continue;
        const char* Name = elf_strptr(E, Header.sh_link, Symbol.st_name);
        if (Name == nullptr || *Name == '\0')
            continue;
        Image.Symbols.push_back(
            TCodeSymbol{Symbol.st_value, DemangledName(Name), RankOf(GELF_ST_BIND(Symbol.st_info))});
        // Local symbols follow the file symbol of their object; for code without line tables that names the unit.
        if (GELF_ST_BIND(Symbol.st_info) == STB_LOCAL && File != nullptr && *File != '\0')
            Image.FiledFunctions.push_back(TFiledFunction{Symbol.st_value, File});
    }
}

} // namespace

std::string DemangledName(const char* Symbol) {
    int Status = 0;
    std::unique_ptr<char, decltype(&std::free)> Plain(abi::__cxa_demangle(Symbol, nullptr, nullptr, &Status),
                                                      &std::free);
    return Status == 0 && Plain ? std::string(Plain.get()) : std::string(Symbol);
}

bool ReadElfImage(int Fd, TElfImage& Image, std::string& Error) {
    elf_version(EV_CURRENT);
    std::unique_ptr<Elf, TElfCloser> E(elf_begin(Fd, ELF_C_READ_MMAP, nullptr));
    if (!E || elf_kind(E.get()) != ELF_K_ELF) {
        Error = "not an ELF file";
        return false;
    }
    std::size_t ProgramCount = 0;
    if (elf_getphdrnum(E.get(), &ProgramCount) != 0 || ProgramCount == 0) {
        Error = "no program headers (not a linked program)";
        return false;
    }
    bool HaveCode = false;
    for (std::size_t I = 0; I < ProgramCount && !HaveCode; ++I) {
        GElf_Phdr P;
        if (gelf_getphdr(E.get(), static_cast<int>(I), &P) != nullptr && P.p_type == PT_LOAD &&
            (P.p_flags & PF_X) != 0) {
            Image.CodeStart = P.p_vaddr;
            Image.CodeEnd = P.p_vaddr + P.p_memsz;
            HaveCode = true;
        }
    }
    if (!HaveCode) {
        Error = "no executable segment";
        return false;
    }
    GElf_Ehdr Header;
    if (gelf_getehdr(E.get(), &Header) != nullptr)
        Image.Entry = Header.e_entry;

    Elf_Scn* Symtab = nullptr;
    Elf_Scn* Dynsym = nullptr;
    GElf_Shdr SymtabHeader{};
    GElf_Shdr DynsymHeader{};
    for (Elf_Scn* S = elf_nextscn(E.get(), nullptr); S != nullptr; S = elf_nextscn(E.get(), S)) {
        GElf_Shdr H;
        if (gelf_getshdr(S, &H) == nullptr)
            continue;
        if (H.sh_type == SHT_SYMTAB) {
            Symtab = S;
            SymtabHeader = H;
        } else if (H.sh_type == SHT_DYNSYM) {
            Dynsym = S;
            DynsymHeader = H;
        }
    }
    if (Symtab != nullptr)
        ReadSymbols(E.get(), Symtab, SymtabHeader, Image);
    else if (Dynsym != nullptr)
        ReadSymbols(E.get(), Dynsym, DynsymHeader, Image);

    // One name per address: the most visible one (a global before its local alias), then the first listed.
    std::stable_sort(Image.Symbols.begin(), Image.Symbols.end(), [](const TCodeSymbol& A, const TCodeSymbol& B) {
        return A.Address != B.Address ? A.Address < B.Address : A.Rank < B.Rank;
    });
    std::stable_sort(Image.FiledFunctions.begin(), Image.FiledFunctions.end(),
                     [](const TFiledFunction& A, const TFiledFunction& B) { return A.Address < B.Address; });
    Image.Symbols.erase(std::unique(Image.Symbols.begin(), Image.Symbols.end(),
                                    [](const TCodeSymbol& A, const TCodeSymbol& B) { return A.Address == B.Address; }),
                        Image.Symbols.end());
    return true;
}
