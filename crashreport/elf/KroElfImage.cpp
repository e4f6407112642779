#include "KroElfImage.h"

#include "KroSafeRead.h"

#include <cstring>
#include <elf.h>

namespace {

// No real image is this large, and no real image has this many program headers or dynamic entries; beyond these the
// headers are damaged.
constexpr std::uint64_t MaxImageSize = std::uint64_t{1} << 36;
constexpr std::uint16_t MaxProgramHeaders = 512;
constexpr std::size_t MaxDynamicEntries = 1 << 16;
constexpr std::uint64_t PageSize = 4096;

} // namespace

bool InsideImage(const TElfImage& Image, std::uintptr_t Address, std::uint64_t Size) noexcept {
    return Address >= Image.Base && Address <= Image.End && Size <= Image.End - Address;
}

bool ReadImageProgram(const TElfImage& Image, std::size_t Index, TElfProgram& Program) noexcept {
    Elf64_Phdr Raw;
    if (!KroSafeRead(Image.Programs + Index * sizeof(Elf64_Phdr), &Raw, sizeof Raw))
        return false;
    Program = TElfProgram{Raw.p_type, Raw.p_flags, Raw.p_offset, Raw.p_vaddr, Raw.p_filesz, Raw.p_memsz};
    return true;
}

bool ReadElfImage(std::uintptr_t Base, TElfImage& Image) noexcept {
    Elf64_Ehdr Header;
    if (!KroSafeRead(Base, &Header, sizeof Header))
        return false;
    if (std::memcmp(Header.e_ident, ELFMAG, SELFMAG) != 0 || Header.e_ident[EI_CLASS] != ELFCLASS64 ||
        Header.e_ident[EI_DATA] != ELFDATA2LSB || Header.e_machine != EM_X86_64 ||
        (Header.e_type != ET_EXEC && Header.e_type != ET_DYN))
        return false;
    if (Header.e_phentsize != sizeof(Elf64_Phdr) || Header.e_phnum == 0 || Header.e_phnum > MaxProgramHeaders ||
        Header.e_phoff > MaxImageSize)
        return false;

    // The first pass finds the loadable extent; the headers must lie in it to be trusted.
    std::uint64_t Lowest = UINT64_MAX;
    std::uint64_t Highest = 0;
    std::uint64_t DynamicAddressRaw = 0;
    std::uint64_t DynamicSize = 0;
    bool HasDynamic = false;
    Image = TElfImage{};
    Image.Programs = Base + static_cast<std::uintptr_t>(Header.e_phoff);
    Image.ProgramCount = Header.e_phnum;
    for (std::uint16_t I = 0; I < Header.e_phnum; ++I) {
        TElfProgram Program;
        if (!ReadImageProgram(Image, I, Program))
            return false;
        if (Program.Type == PT_LOAD) {
            if (Program.MemorySize > MaxImageSize || Program.Address > MaxImageSize)
                return false;
            Lowest = Program.Address < Lowest ? Program.Address : Lowest;
            Highest = Program.Address + Program.MemorySize > Highest ? Program.Address + Program.MemorySize : Highest;
            Image.HasExecutableSegment |= (Program.Flags & PF_X) != 0;
        } else if (Program.Type == PT_DYNAMIC && !HasDynamic) {
            HasDynamic = true;
            DynamicAddressRaw = Program.Address;
            DynamicSize = Program.MemorySize;
        }
    }
    if (Lowest == UINT64_MAX || Highest <= Lowest)
        return false;
    Lowest &= ~(PageSize - 1);
    Highest = (Highest + PageSize - 1) & ~(PageSize - 1);
    if (Highest - Lowest > MaxImageSize || Base < Lowest)
        return false;
    Image.Base = Base;
    Image.LoadBias = Base - static_cast<std::uintptr_t>(Lowest);
    if (Image.LoadBias + Highest < Image.LoadBias)
        return false;
    Image.End = Image.LoadBias + static_cast<std::uintptr_t>(Highest);
    Image.Type = Header.e_type;
    Image.Entry = Header.e_entry;
    if (!InsideImage(Image, Base + Header.e_phoff, Header.e_phnum * sizeof(Elf64_Phdr)))
        return false;
    if (HasDynamic && DynamicSize >= sizeof(Elf64_Dyn) && DynamicAddressRaw <= MaxImageSize &&
        InsideImage(Image, Image.LoadBias + DynamicAddressRaw, DynamicSize)) {
        Image.Dynamic = Image.LoadBias + static_cast<std::uintptr_t>(DynamicAddressRaw);
        const std::size_t Room = static_cast<std::size_t>(DynamicSize / sizeof(Elf64_Dyn));
        const std::size_t Limit = Room < MaxDynamicEntries ? Room : MaxDynamicEntries;
        Elf64_Dyn Entry;
        std::size_t Count = 0;
        while (Count < Limit && KroSafeRead(Image.Dynamic + Count * sizeof Entry, &Entry, sizeof Entry) &&
               Entry.d_tag != DT_NULL)
            ++Count;
        Image.DynamicCount = Count;
    }
    return true;
}

bool FindDynamicEntry(const TElfImage& Image, std::int64_t Tag, std::uint64_t& Value) noexcept {
    for (std::size_t I = 0; I < Image.DynamicCount; ++I) {
        Elf64_Dyn Entry;
        if (!KroSafeRead(Image.Dynamic + I * sizeof Entry, &Entry, sizeof Entry))
            return false;
        if (Entry.d_tag == Tag) {
            Value = Entry.d_un.d_val;
            return true;
        }
    }
    return false;
}

std::uintptr_t DynamicAddress(const TElfImage& Image, std::uint64_t Value) noexcept {
    if (InsideImage(Image, static_cast<std::uintptr_t>(Value), 1))
        return static_cast<std::uintptr_t>(Value);
    if (Value <= MaxImageSize && InsideImage(Image, Image.LoadBias + static_cast<std::uintptr_t>(Value), 1))
        return Image.LoadBias + static_cast<std::uintptr_t>(Value);
    return 0;
}
