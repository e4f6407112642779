#pragma once

#include "KroElfExports.h"
#include "KroModuleMap.h"
#include "KroTraceMap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The stack tracer's table of the modules it has met: each module's code and data ranges, its debug map and its
// exports, entered when an address of the module is first seen and kept for the life of the process (a module that
// is unloaded and replaced by another at the same place is entered anew). Lookups of memory go through a snapshot of
// the process's memory map that Refresh() takes for each trace.

struct TTraceModule {
    std::uintptr_t Handle = 0; // where the ELF header lies
    std::uintptr_t End = 0;    // end of the module's extent
    std::string Path;
    std::string FileName;         // without folder
    std::uintptr_t CodeStart = 0; // the executable segments, from the first byte to the last
    std::uintptr_t CodeEnd = 0;
    std::uintptr_t DataStart = 0; // the writable segments
    std::uintptr_t DataEnd = 0;
    std::uintptr_t EntryPoint = 0; // the map's entry point, else the ELF header's, 0 for none
    std::uintptr_t LoadBias = 0;   // added to the file's virtual addresses
    // The search table of the module's unwind information (.eh_frame_hdr): pairs of 32-bit offsets from UnwindHeader
    // (a function's start, its frame description), sorted by start. 0 and 0 when the module has none.
    std::uintptr_t UnwindHeader = 0;
    std::uintptr_t UnwindTable = 0;
    std::uint64_t UnwindCount = 0;
    std::unique_ptr<TTraceMap> Map;       // null: the module carries no debug map
    std::unique_ptr<TElfExports> Exports; // null: none, or not yet read

    bool InCode(std::uintptr_t Address) const noexcept { return Address > CodeStart && Address <= CodeEnd; }
    bool InData(std::uintptr_t Address) const noexcept { return Address > DataStart && Address <= DataEnd; }
};

class TTraceModules final {
public:
    TTraceModules();

    // A new snapshot of the process's memory; false when the map cannot be read.
    bool Refresh() noexcept;
    // The mapped region that holds Address, or null.
    const TMemoryRegion* RegionOf(std::uintptr_t Address) const noexcept;

    // The module whose extent holds Address, entered when it is met first; -1 for memory outside any module (or a
    // module whose headers cannot be read).
    std::int32_t Enter(std::uintptr_t Address);
    // The module whose code holds Address (start <= Address < end), entered when it is met first; -1 for none.
    std::int32_t CodeModule(std::uintptr_t Address);
    // The entered module whose code or data range holds Address (start < Address <= end), -1 for none.
    std::int32_t FindByRange(std::uintptr_t Address) const noexcept;

    std::size_t Count() const noexcept { return Modules.size(); }
    // Forgets every module entered.
    void Clear() noexcept {
        Modules.clear();
        ++ReplacedCount;
    }
    const TTraceModule& operator[](std::int32_t Index) const { return *Modules[static_cast<std::size_t>(Index)]; }

    // The start of the export of the module whose code holds the return address Address (start < Address <= start
    // + size), 0 for none.
    std::uintptr_t ExportHolding(std::int32_t Module, std::uintptr_t Address);
    // The readable name of the export at exactly Address, empty for none.
    std::string ExportNameAt(std::int32_t Module, std::uintptr_t Address);
    // Whether the module was replaced since it was entered (the caller then forgets what it knew of it).
    std::uint64_t Generation() const noexcept { return ReplacedCount; }

private:
    const TElfExports* ExportsOf(std::int32_t Module);

    TModuleMap Memory;
    std::vector<std::unique_ptr<TTraceModule>> Modules;
    std::uint64_t ReplacedCount = 0;
};
