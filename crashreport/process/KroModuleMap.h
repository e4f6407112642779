#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A sorted snapshot of this process's memory map (/proc/self/maps) and of the ELF modules loaded in it.
//
// Refresh() reads the map with plain system calls into storage allocated once by the constructor: it allocates
// nothing, takes no lock and never calls the loader, so a report may take a snapshot while other threads are paused
// (and even in a signal handler). A map with more regions or longer paths than the storage holds gives a snapshot
// that is marked incomplete. Lookups are binary searches and never change the snapshot.

struct TMemoryRegion {
    std::uintptr_t Start = 0;
    std::uintptr_t End = 0; // one past the last byte
    std::uint64_t Offset = 0;
    std::uint64_t Inode = 0;
    std::uint64_t Device = 0; // major << 32 | minor
    bool Readable = false;
    bool Writable = false;
    bool Executable = false;
    bool Shared = false;
    const char* Path = "";    // the mapped file, a pseudo-path such as "[stack]", or "" for anonymous memory
    std::int32_t Module = -1; // the index of the module the region lies in, -1 for none
};

struct TLoadedModule {
    std::uintptr_t Base = 0;     // where its ELF header is mapped: the module's handle
    std::uintptr_t End = 0;      // end of its loadable extent
    std::uintptr_t LoadBias = 0; // added to the virtual addresses of its file
    const char* Path = "";       // its file, or "[vdso]"
};

// One line of /proc/self/maps ("start-end perms offset major:minor inode   path"), parsed where it lies: Path points
// into the line. The one parser of the map for every reader of it.
struct TMapsLine {
    std::uint64_t Start = 0;
    std::uint64_t End = 0; // one past the last byte
    std::uint64_t Offset = 0;
    std::uint64_t Device = 0; // major << 32 | minor
    std::uint64_t Inode = 0;
    char Flags[4] = {}; // "r-", "w-", "x-", "sp"
    const char* Path = "";
    std::size_t PathLength = 0;
};

// Parses a line (without its line end), reading only its Length bytes; false when it is no well-formed region line:
// a field missing or malformed, a number longer than 64 bits, an empty or reversed range. Allocates nothing.
bool KroParseMapsLine(const char* Line, std::size_t Length, TMapsLine& Parsed) noexcept;

class TModuleMap final {
public:
    explicit TModuleMap(std::size_t MaxRegions = 8192, std::size_t PathBytes = 512 * 1024);
    ~TModuleMap();
    TModuleMap(const TModuleMap&) = delete;
    TModuleMap& operator=(const TModuleMap&) = delete;

    // Takes a new snapshot; false when the map could not be read (the snapshot is then empty). Tests read a map of
    // their own making from another file.
    bool Refresh(const char* MapsFile = "/proc/self/maps") noexcept;
    // False when the map held more than the storage could take: regions at the highest addresses are missing.
    bool Complete() const noexcept { return IsComplete; }

    std::size_t RegionCount() const noexcept { return Regions; }
    const TMemoryRegion& Region(std::size_t Index) const noexcept { return RegionTable[Index]; }
    std::size_t ModuleCount() const noexcept { return Modules; }
    const TLoadedModule& Module(std::size_t Index) const noexcept { return ModuleTable[Index]; }

    // The region holding Address, or null for unmapped memory.
    const TMemoryRegion* FindRegion(std::uintptr_t Address) const noexcept;
    // The loaded module whose extent holds Address, or null.
    const TLoadedModule* FindModule(std::uintptr_t Address) const noexcept;
    // The module of any mapped address: inside a loaded module its handle and file; in other mapped memory the
    // region's start and its file ("" for anonymous memory). False for unmapped memory.
    bool ModuleOfAddress(std::uintptr_t Address, std::uintptr_t& Module, const char*& FileName) const noexcept;

private:
    bool ParseLine(const char* Line, std::size_t Length) noexcept;
    void FindModules() noexcept;

    std::size_t MaxRegions;
    std::size_t PathBytes;
    std::unique_ptr<TMemoryRegion[]> RegionTable;
    std::unique_ptr<TLoadedModule[]> ModuleTable;
    std::unique_ptr<char[]> PathPool;
    std::unique_ptr<char[]> LineBuffer;
    std::size_t Regions = 0;
    std::size_t Modules = 0;
    std::size_t PathUsed = 0;
    bool IsComplete = false;
};

// ModuleOfAddress on a fresh snapshot of the process, for callers outside the report path (it locks and allocates).
bool ModuleOfAddress(std::uintptr_t Address, std::uintptr_t& Module, std::string& FileName);
