#pragma once

#include "KroElfImage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The exports of an ELF module loaded in this process: the defined symbols of its dynamic symbol table (.dynsym),
// found through PT_DYNAMIC (DT_SYMTAB, DT_STRTAB, DT_STRSZ, and the symbol count from DT_GNU_HASH or DT_HASH).
//
// Load() copies the tables out of memory through the safe read, in pieces, checking every offset and count against
// the image; a damaged or hostile module gives false (or loses the damaged symbols), never a fault, and never more
// memory than its tables really occupy. It allocates: hold one TElfExports per module for many lookups, and build it
// before other threads are paused. Names are the raw (mangled) ones; UnmangleName turns them into readable ones.

struct TElfExport {
    std::string_view Name;      // without version; points into the TElfExports that made it
    std::uintptr_t Address = 0; // absolute, in this process
    std::uint64_t Size = 0;
    std::uint8_t Type = 0;      // STT_FUNC, STT_OBJECT, STT_GNU_IFUNC (the resolver's address) or STT_NOTYPE
    std::uint8_t Binding = 0;   // STB_GLOBAL, STB_WEAK or STB_GNU_UNIQUE
    bool DefaultVersion = true; // false for an older version of a name that also has a newer default one
};

class TElfExports final {
public:
    // Reads the exports of the module whose ELF header is mapped at Module; false when it has none or they are
    // damaged beyond use.
    bool Load(std::uintptr_t Module);

    const TElfImage& Image() const noexcept { return ImageInfo; }
    // Every export, by ascending address.
    const std::vector<TElfExport>& Exports() const noexcept { return ByAddress; }

    // The address of the export Name (its default version when it has several), 0 when there is none.
    std::uintptr_t AddressOf(std::string_view Name) const noexcept;
    // The export at exactly Address (a global before a weak alias, then the shortest name), or null.
    const TElfExport* At(std::uintptr_t Address) const noexcept;
    // The export at the highest address at or below Address within the module, or null. Its Size tells whether
    // Address lies inside it.
    const TElfExport* NearestBelow(std::uintptr_t Address) const noexcept;

private:
    TElfImage ImageInfo;
    std::vector<char> Strings;
    std::vector<TElfExport> ByAddress;
    std::vector<std::uint32_t> ByName; // indexes into ByAddress, by name then default version first
};

// The address of the export Name of Module (its load address), 0 when there is none. Each call reads the module's
// tables anew.
std::uintptr_t GetProcAddressEx(std::uintptr_t Module, std::string_view Name);

// The readable name of the export at exactly Address in Module, "" when there is none. Each call reads the module's
// tables anew; for many lookups hold a TElfExports and use ExportNameText on its results.
std::string GetExportName(std::uintptr_t Module, std::uintptr_t Address);

// An export's name as a report shows it: unmangled, with its unit in front when the mangling names one.
std::string ExportNameText(std::string_view RawName);
