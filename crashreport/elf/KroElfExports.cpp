#include "KroElfExports.h"

#include "KroSafeRead.h"
#include "KroUnmangle.h"

#include <algorithm>
#include <elf.h>

namespace {

// Tables are copied in pieces of this size, so that memory grows only with bytes that are really there.
constexpr std::size_t Piece = 64 * 1024;
// No real module has more symbols or a larger string table.
constexpr std::uint64_t MaxSymbols = 1 << 22;
constexpr std::uint64_t MaxStrings = std::uint64_t{256} << 20;

template <class T> bool ReadArray(std::uintptr_t Source, std::uint64_t Count, std::vector<T>& Into) {
    Into.clear();
    const std::size_t PerPiece = Piece / sizeof(T);
    for (std::uint64_t Done = 0; Done < Count;) {
        const std::size_t Take = static_cast<std::size_t>(Count - Done < PerPiece ? Count - Done : PerPiece);
        Into.resize(static_cast<std::size_t>(Done) + Take);
        if (!KroSafeRead(Source + Done * sizeof(T), Into.data() + Done, Take * sizeof(T))) {
            Into.clear();
            Into.shrink_to_fit();
            return false;
        }
        Done += Take;
    }
    return true;
}

// The number of symbols a GNU hash table covers: the highest symbol any bucket starts with, then along its chain to
// the entry that ends it.
bool CountGnuHashSymbols(const TElfImage& Image, std::uintptr_t Table, std::uint64_t& Count) noexcept {
    std::uint32_t Header[4]; // buckets, first hashed symbol, bloom words, bloom shift
    if (!InsideImage(Image, Table, sizeof Header) || !KroSafeRead(Table, Header, sizeof Header))
        return false;
    const std::uint64_t Buckets = Header[0];
    const std::uint64_t FirstHashed = Header[1];
    const std::uint64_t BucketsAt = Table + sizeof Header + std::uint64_t{Header[2]} * 8;
    if (Buckets == 0 || !InsideImage(Image, static_cast<std::uintptr_t>(BucketsAt), Buckets * 4))
        return false;
    std::uint32_t Highest = 0;
    std::uint32_t Words[256];
    for (std::uint64_t Done = 0; Done < Buckets;) {
        const std::uint64_t Take = Buckets - Done < 256 ? Buckets - Done : 256;
        if (!KroSafeRead(static_cast<std::uintptr_t>(BucketsAt + Done * 4), Words, Take * 4))
            return false;
        for (std::uint64_t I = 0; I < Take; ++I)
            Highest = Words[I] > Highest ? Words[I] : Highest;
        Done += Take;
    }
    if (Highest < FirstHashed) {
        Count = FirstHashed;
        return Count <= MaxSymbols;
    }
    const std::uint64_t ChainAt = BucketsAt + Buckets * 4;
    for (std::uint64_t Symbol = Highest; Symbol < MaxSymbols;) {
        const std::uintptr_t At = static_cast<std::uintptr_t>(ChainAt + (Symbol - FirstHashed) * 4);
        const std::uint64_t Room = (Image.End - std::min<std::uintptr_t>(At, Image.End)) / 4;
        const std::uint64_t Take = Room < 256 ? Room : 256;
        if (Take == 0 || !KroSafeRead(At, Words, Take * 4))
            return false;
        for (std::uint64_t I = 0; I < Take; ++I, ++Symbol)
            if (Words[I] & 1) {
                Count = Symbol + 1;
                return true;
            }
    }
    return false;
}

bool CountSymbols(const TElfImage& Image, std::uint64_t& Count) noexcept {
    std::uint64_t Value;
    if (FindDynamicEntry(Image, DT_GNU_HASH, Value))
        if (const std::uintptr_t Table = DynamicAddress(Image, Value); Table != 0)
            if (CountGnuHashSymbols(Image, Table, Count))
                return true;
    if (FindDynamicEntry(Image, DT_HASH, Value)) {
        const std::uintptr_t Table = DynamicAddress(Image, Value);
        std::uint32_t Header[2]; // buckets, chain entries (one per symbol)
        if (Table != 0 && InsideImage(Image, Table, sizeof Header) && KroSafeRead(Table, Header, sizeof Header)) {
            Count = Header[1];
            return Count <= MaxSymbols;
        }
    }
    return false;
}

std::size_t LeadingUnderscores(std::string_view Name) noexcept {
    const std::size_t Count = Name.find_first_not_of('_');
    return Count == std::string_view::npos ? Name.size() : Count;
}

// Order of preference among several names at one address: the public name before internal aliases ("getpid" before
// "__getpid"), a global before a weak alias, then the shortest name, then alphabetical.
bool Preferred(const TElfExport& A, const TElfExport& B) noexcept {
    if (A.Address != B.Address)
        return A.Address < B.Address;
    if (A.DefaultVersion != B.DefaultVersion)
        return A.DefaultVersion;
    if (LeadingUnderscores(A.Name) != LeadingUnderscores(B.Name))
        return LeadingUnderscores(A.Name) < LeadingUnderscores(B.Name);
    if ((A.Binding == STB_WEAK) != (B.Binding == STB_WEAK))
        return B.Binding == STB_WEAK;
    if (A.Name.size() != B.Name.size())
        return A.Name.size() < B.Name.size();
    return A.Name < B.Name;
}

} // namespace

bool TElfExports::Load(std::uintptr_t Module) {
    Strings.clear();
    ByAddress.clear();
    ByName.clear();
    if (!ReadElfImage(Module, ImageInfo) || ImageInfo.Dynamic == 0)
        return false;
    std::uint64_t SymbolTable, StringTable, StringSize, Count;
    std::uint64_t EntrySize = sizeof(Elf64_Sym);
    if (!FindDynamicEntry(ImageInfo, DT_SYMTAB, SymbolTable) || !FindDynamicEntry(ImageInfo, DT_STRTAB, StringTable) ||
        !FindDynamicEntry(ImageInfo, DT_STRSZ, StringSize) || !CountSymbols(ImageInfo, Count))
        return false;
    FindDynamicEntry(ImageInfo, DT_SYMENT, EntrySize);
    const std::uintptr_t Symbols = DynamicAddress(ImageInfo, SymbolTable);
    const std::uintptr_t Names = DynamicAddress(ImageInfo, StringTable);
    if (EntrySize != sizeof(Elf64_Sym) || Symbols == 0 || Names == 0 || Count > MaxSymbols || StringSize > MaxStrings ||
        !InsideImage(ImageInfo, Symbols, Count * sizeof(Elf64_Sym)) || !InsideImage(ImageInfo, Names, StringSize))
        return false;
    std::vector<Elf64_Sym> Table;
    if (!ReadArray(Symbols, Count, Table) || !ReadArray(Names, StringSize, Strings))
        return false;

    // Versions only tell which of several equal names is the default; without a readable table all count as default.
    std::vector<std::uint16_t> Versions;
    std::uint64_t VersionTable;
    if (FindDynamicEntry(ImageInfo, DT_VERSYM, VersionTable)) {
        const std::uintptr_t At = DynamicAddress(ImageInfo, VersionTable);
        if (At == 0 || !InsideImage(ImageInfo, At, Count * 2) || !ReadArray(At, Count, Versions))
            Versions.clear();
    }

    for (std::size_t I = 1; I < Table.size(); ++I) {
        const Elf64_Sym& Symbol = Table[I];
        const std::uint8_t Type = ELF64_ST_TYPE(Symbol.st_info);
        const std::uint8_t Binding = ELF64_ST_BIND(Symbol.st_info);
        if (Symbol.st_shndx == SHN_UNDEF || Symbol.st_shndx == SHN_ABS || Symbol.st_name >= Strings.size())
            continue;
        if (Type != STT_FUNC && Type != STT_OBJECT && Type != STT_GNU_IFUNC && Type != STT_NOTYPE)
            continue;
        if (Binding != STB_GLOBAL && Binding != STB_WEAK && Binding != STB_GNU_UNIQUE)
            continue;
        const char* Name = Strings.data() + Symbol.st_name;
        const std::size_t Room = Strings.size() - Symbol.st_name;
        const std::size_t Length = std::find(Name, Name + Room, '\0') - Name;
        const std::uintptr_t Address = ImageInfo.LoadBias + static_cast<std::uintptr_t>(Symbol.st_value);
        if (Length == 0 || Length == Room || !InsideImage(ImageInfo, Address, 1))
            continue;
        TElfExport Export;
        Export.Name = std::string_view(Name, Length);
        Export.Address = Address;
        Export.Size = Symbol.st_size;
        Export.Type = Type;
        Export.Binding = Binding;
        Export.DefaultVersion = Versions.empty() || (Versions[I] & 0x8000) == 0;
        ByAddress.push_back(Export);
    }
    std::sort(ByAddress.begin(), ByAddress.end(), Preferred);
    ByName.resize(ByAddress.size());
    for (std::uint32_t I = 0; I < ByName.size(); ++I)
        ByName[I] = I;
    std::sort(ByName.begin(), ByName.end(), [this](std::uint32_t A, std::uint32_t B) {
        const TElfExport& X = ByAddress[A];
        const TElfExport& Y = ByAddress[B];
        return X.Name != Y.Name ? X.Name < Y.Name : X.DefaultVersion > Y.DefaultVersion;
    });
    return true;
}

std::uintptr_t TElfExports::AddressOf(std::string_view Name) const noexcept {
    const auto Found = std::lower_bound(ByName.begin(), ByName.end(), Name,
                                        [this](std::uint32_t I, std::string_view N) { return ByAddress[I].Name < N; });
    return Found != ByName.end() && ByAddress[*Found].Name == Name ? ByAddress[*Found].Address : 0;
}

const TElfExport* TElfExports::At(std::uintptr_t Address) const noexcept {
    const auto Found = std::lower_bound(ByAddress.begin(), ByAddress.end(), Address,
                                        [](const TElfExport& E, std::uintptr_t A) { return E.Address < A; });
    return Found != ByAddress.end() && Found->Address == Address ? &*Found : nullptr;
}

const TElfExport* TElfExports::NearestBelow(std::uintptr_t Address) const noexcept {
    if (!InsideImage(ImageInfo, Address, 1))
        return nullptr;
    auto Found = std::upper_bound(ByAddress.begin(), ByAddress.end(), Address,
                                  [](std::uintptr_t A, const TElfExport& E) { return A < E.Address; });
    if (Found == ByAddress.begin())
        return nullptr;
    --Found;
    // The preferred name of that address comes first among its equals.
    while (Found != ByAddress.begin() && (Found - 1)->Address == Found->Address)
        --Found;
    return &*Found;
}

std::uintptr_t GetProcAddressEx(std::uintptr_t Module, std::string_view Name) {
    TElfExports Exports;
    return Exports.Load(Module) ? Exports.AddressOf(Name) : 0;
}

std::string GetExportName(std::uintptr_t Module, std::uintptr_t Address) {
    TElfExports Exports;
    if (!Exports.Load(Module))
        return {};
    const TElfExport* Export = Exports.At(Address);
    return Export != nullptr ? ExportNameText(Export->Name) : std::string();
}

std::string ExportNameText(std::string_view RawName) {
    std::string Name(RawName);
    std::string Unit;
    if (UnmangleName(Name, Unit) && !Unit.empty())
        return Unit + "." + Name;
    return Name;
}
