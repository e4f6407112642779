#include "KroMapFileModule.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <limits>

namespace {

// A module file opened for bounds-checked reads.
class TModuleFile final {
public:
    explicit TModuleFile(const std::string& FileName) : Fd(open(FileName.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat Info {};
        if (Fd >= 0 && fstat(Fd, &Info) == 0 && S_ISREG(Info.st_mode))
            FileSize = static_cast<std::uint64_t>(Info.st_size);
    }
    ~TModuleFile() {
        if (Fd >= 0)
            close(Fd);
    }
    TModuleFile(const TModuleFile&) = delete;
    TModuleFile& operator=(const TModuleFile&) = delete;

    std::uint64_t Size() const { return FileSize; }

    // True only when all Count bytes at Offset lie inside the file and were read.
    bool ReadAt(std::uint64_t Offset, void* Dest, std::size_t Count) const {
        if (Fd < 0 || Offset > FileSize || Count > FileSize - Offset)
            return false;
        auto* Out = static_cast<char*>(Dest);
        while (Count > 0) {
            const ssize_t Got = pread(Fd, Out, Count, static_cast<off_t>(Offset));
            if (Got <= 0)
                return false;
            Out += Got;
            Offset += static_cast<std::uint64_t>(Got);
            Count -= static_cast<std::size_t>(Got);
        }
        return true;
    }

private:
    int Fd;
    std::uint64_t FileSize = 0;
};

// The ELF types of one file class (32 or 64 bits); only little-endian files are read.
template <typename Ehdr, typename Phdr, typename Shdr> struct TElfKind {
    using Header = Ehdr;
    using Program = Phdr;
    using Section = Shdr;
};
using TElf32 = TElfKind<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>;
using TElf64 = TElfKind<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>;

// 0 for a file that is no little-endian ELF file, else its class.
int ElfClassOf(const TModuleFile& File) {
    unsigned char Ident[EI_NIDENT];
    if (!File.ReadAt(0, Ident, sizeof Ident) || std::memcmp(Ident, ELFMAG, SELFMAG) != 0 ||
        Ident[EI_DATA] != ELFDATA2LSB)
        return 0;
    return Ident[EI_CLASS] == ELFCLASS32 || Ident[EI_CLASS] == ELFCLASS64 ? Ident[EI_CLASS] : 0;
}

// Program headers come in at most this number; more is a damaged file.
constexpr std::size_t MaxProgramHeaders = 4096;
constexpr std::size_t MaxSections = 1u << 20;

template <typename Kind> bool ReadPrograms(const TModuleFile& File, std::vector<typename Kind::Program>& Programs) {
    typename Kind::Header Header{};
    if (!File.ReadAt(0, &Header, sizeof Header) || Header.e_phentsize != sizeof(typename Kind::Program) ||
        Header.e_phnum == 0 || Header.e_phnum > MaxProgramHeaders)
        return false;
    Programs.resize(Header.e_phnum);
    return File.ReadAt(Header.e_phoff, Programs.data(), Programs.size() * sizeof(typename Kind::Program));
}

// The lowest loadable address, page-aligned: where the file's first byte lands when loaded as linked.
template <typename Program> bool LowestLoad(const std::vector<Program>& Programs, std::uint64_t& Lowest) {
    bool Found = false;
    for (const Program& P : Programs)
        if (P.p_type == PT_LOAD && P.p_offset == 0 && (!Found || P.p_vaddr < Lowest)) {
            Lowest = P.p_vaddr;
            Found = true;
        }
    if (!Found)
        for (const Program& P : Programs)
            if (P.p_type == PT_LOAD && P.p_vaddr >= P.p_offset && (!Found || P.p_vaddr - P.p_offset < Lowest)) {
                Lowest = P.p_vaddr - P.p_offset;
                Found = true;
            }
    Lowest &= ~std::uint64_t{0xFFF};
    return Found;
}

template <typename Kind> bool LayoutOf(const TModuleFile& File, std::uintptr_t ModuleHandle, TModuleLayout& Layout) {
    std::vector<typename Kind::Program> Programs;
    typename Kind::Header Header{};
    std::uint64_t Lowest = 0;
    if (!ReadPrograms<Kind>(File, Programs) || !File.ReadAt(0, &Header, sizeof Header) || !LowestLoad(Programs, Lowest))
        return false;
    const std::uintptr_t Bias = ModuleHandle - static_cast<std::uintptr_t>(Lowest);
    Layout = TModuleLayout{};
    Layout.ModuleHandle = ModuleHandle;
    bool HaveCode = false;
    bool HaveData = false;
    for (const auto& P : Programs) {
        if (P.p_type != PT_LOAD)
            continue;
        if ((P.p_flags & PF_X) != 0 && !HaveCode) {
            Layout.CodeStart = Bias + static_cast<std::uintptr_t>(P.p_vaddr);
            Layout.CodeEnd = Layout.CodeStart + static_cast<std::uintptr_t>(P.p_memsz);
            HaveCode = true;
        } else if ((P.p_flags & PF_W) != 0 && (P.p_flags & PF_X) == 0 && !HaveData) {
            Layout.DataStart = Bias + static_cast<std::uintptr_t>(P.p_vaddr);
            Layout.DataEnd = Layout.DataStart + static_cast<std::uintptr_t>(P.p_memsz);
            HaveData = true;
        }
    }
    if (Header.e_entry != 0)
        Layout.EntryPoint = Bias + static_cast<std::uintptr_t>(Header.e_entry);
    return HaveCode;
}

template <typename Kind> std::vector<std::uint8_t> SectionNamed(const TModuleFile& File, const char* Wanted) {
    typename Kind::Header Header{};
    if (!File.ReadAt(0, &Header, sizeof Header) || Header.e_shoff == 0 ||
        Header.e_shentsize != sizeof(typename Kind::Section))
        return {};
    std::size_t Count = Header.e_shnum;
    std::size_t NamesIndex = Header.e_shstrndx;
    if (Count == 0 || NamesIndex == SHN_XINDEX) {
        // Many sections: the real counts live in section 0.
        typename Kind::Section First{};
        if (!File.ReadAt(Header.e_shoff, &First, sizeof First))
            return {};
        if (Count == 0)
            Count = static_cast<std::size_t>(First.sh_size);
        if (NamesIndex == SHN_XINDEX)
            NamesIndex = First.sh_link;
    }
    if (Count == 0 || Count > MaxSections || NamesIndex >= Count ||
        Count * sizeof(typename Kind::Section) > File.Size())
        return {};
    std::vector<typename Kind::Section> Sections(Count);
    if (!File.ReadAt(Header.e_shoff, Sections.data(), Count * sizeof(typename Kind::Section)))
        return {};
    const auto& Names = Sections[NamesIndex];
    const std::size_t WantedLength = std::strlen(Wanted);
    for (const auto& S : Sections) {
        if (S.sh_type == SHT_NOBITS || S.sh_name >= Names.sh_size || Names.sh_size - S.sh_name <= WantedLength)
            continue;
        char Name[64];
        if (WantedLength + 1 > sizeof Name || !File.ReadAt(Names.sh_offset + S.sh_name, Name, WantedLength + 1) ||
            std::memcmp(Name, Wanted, WantedLength + 1) != 0)
            continue;
        if (S.sh_size == 0 || S.sh_size > File.Size() || S.sh_size > (256u << 20))
            return {};
        std::vector<std::uint8_t> Content(static_cast<std::size_t>(S.sh_size));
        if (!File.ReadAt(S.sh_offset, Content.data(), Content.size()))
            return {};
        return Content;
    }
    return {};
}

} // namespace

bool ReadModuleLayout(const std::string& FileName, std::uintptr_t ModuleHandle, TModuleLayout& Layout) {
    const TModuleFile File(FileName);
    switch (ElfClassOf(File)) {
    case ELFCLASS64:
        return LayoutOf<TElf64>(File, ModuleHandle, Layout);
    case ELFCLASS32:
        return LayoutOf<TElf32>(File, ModuleHandle, Layout);
    default:
        return false;
    }
}

bool LinkedModuleHandle(const std::string& FileName, std::uintptr_t& ModuleHandle) {
    const TModuleFile File(FileName);
    std::uint64_t Lowest = 0;
    bool Found = false;
    if (ElfClassOf(File) == ELFCLASS64) {
        std::vector<Elf64_Phdr> Programs;
        Found = ReadPrograms<TElf64>(File, Programs) && LowestLoad(Programs, Lowest);
    } else if (ElfClassOf(File) == ELFCLASS32) {
        std::vector<Elf32_Phdr> Programs;
        Found = ReadPrograms<TElf32>(File, Programs) && LowestLoad(Programs, Lowest);
    }
    if (Found)
        ModuleHandle = static_cast<std::uintptr_t>(Lowest);
    return Found;
}

std::vector<std::uint8_t> ReadEmbeddedMap(const std::string& FileName) {
    const TModuleFile File(FileName);
    switch (ElfClassOf(File)) {
    case ELFCLASS64:
        return SectionNamed<TElf64>(File, EmbeddedMapSectionName);
    case ELFCLASS32:
        return SectionNamed<TElf32>(File, EmbeddedMapSectionName);
    default:
        return {};
    }
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& FileName, std::size_t MaxSize) {
    const TModuleFile File(FileName);
    if (File.Size() == 0 || File.Size() > MaxSize)
        return {};
    std::vector<std::uint8_t> Content(static_cast<std::size_t>(File.Size()));
    if (!File.ReadAt(0, Content.data(), Content.size()))
        return {};
    return Content;
}

std::string FileNameWithoutExtension(const std::string& FileName) {
    const std::size_t Slash = FileName.rfind('/');
    const std::size_t Dot = FileName.rfind('.');
    if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash) || Dot == Slash + 1)
        return FileName;
    return FileName.substr(0, Dot);
}
