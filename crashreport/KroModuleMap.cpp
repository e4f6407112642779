#include "KroModuleMap.h"

#include "KroElfImage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace {

// A line of the map is its addresses, flags, offset, device and inode, then the path: a path can be PATH_MAX long.
constexpr std::size_t LineCapacity = 8192;

bool ParseHex(const char*& Cursor, const char* End, std::uint64_t& Value) noexcept {
    Value = 0;
    const char* Start = Cursor;
    for (; Cursor < End; ++Cursor) {
        const char C = *Cursor;
        const int Digit = C >= '0' && C <= '9' ? C - '0' : C >= 'a' && C <= 'f' ? C - 'a' + 10 : -1;
        if (Digit < 0 || Value >> 60 != 0)
            break;
        Value = Value << 4 | static_cast<std::uint64_t>(Digit);
    }
    return Cursor != Start;
}

bool ParseDecimal(const char*& Cursor, const char* End, std::uint64_t& Value) noexcept {
    Value = 0;
    const char* Start = Cursor;
    for (; Cursor < End && *Cursor >= '0' && *Cursor <= '9' && Value < UINT64_MAX / 10; ++Cursor)
        Value = Value * 10 + static_cast<std::uint64_t>(*Cursor - '0');
    return Cursor != Start;
}

bool Expect(const char*& Cursor, const char* End, char C) noexcept {
    if (Cursor == End || *Cursor != C)
        return false;
    ++Cursor;
    return true;
}

void SkipBlanks(const char*& Cursor, const char* End) noexcept {
    while (Cursor < End && (*Cursor == ' ' || *Cursor == '\t'))
        ++Cursor;
}

} // namespace

TModuleMap::TModuleMap(std::size_t MaxRegions, std::size_t PathBytes)
    : MaxRegions(MaxRegions), PathBytes(PathBytes), RegionTable(new TMemoryRegion[MaxRegions]),
      ModuleTable(new TLoadedModule[MaxRegions]), PathPool(new char[PathBytes]), LineBuffer(new char[LineCapacity]) {}

TModuleMap::~TModuleMap() = default;

bool TModuleMap::Refresh() noexcept {
    Regions = 0;
    Modules = 0;
    PathUsed = 0;
    IsComplete = true;
    const int Fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (Fd < 0) {
        IsComplete = false;
        return false;
    }
    // Lines are gathered in LineBuffer; a line longer than it (no real one is) is dropped whole.
    char Chunk[4096];
    std::size_t LineLength = 0;
    bool Overlong = false;
    bool Failed = false;
    for (;;) {
        const ssize_t Read = read(Fd, Chunk, sizeof Chunk);
        if (Read < 0 && errno == EINTR)
            continue;
        if (Read < 0)
            Failed = true;
        if (Read <= 0)
            break;
        for (ssize_t I = 0; I < Read; ++I) {
            if (Chunk[I] != '\n') {
                if (LineLength < LineCapacity)
                    LineBuffer[LineLength++] = Chunk[I];
                else
                    Overlong = true;
                continue;
            }
            if (!Overlong && !ParseLine(LineBuffer.get(), LineLength))
                IsComplete = false;
            LineLength = 0;
            Overlong = false;
        }
    }
    if (LineLength > 0 && !Overlong && !ParseLine(LineBuffer.get(), LineLength))
        IsComplete = false;
    close(Fd);
    if (Failed) {
        Regions = 0;
        IsComplete = false;
        return false;
    }
    FindModules();
    return true;
}

bool TModuleMap::ParseLine(const char* Line, std::size_t Length) noexcept {
    const char* Cursor = Line;
    const char* End = Line + Length;
    std::uint64_t Start, Stop, Offset, Major, Minor, Inode;
    if (!ParseHex(Cursor, End, Start) || !Expect(Cursor, End, '-') || !ParseHex(Cursor, End, Stop) ||
        !Expect(Cursor, End, ' ') || End - Cursor < 5)
        return true; // not a region line: nothing to keep
    const char* Flags = Cursor;
    Cursor += 4;
    if (!Expect(Cursor, End, ' ') || !ParseHex(Cursor, End, Offset) || !Expect(Cursor, End, ' ') ||
        !ParseHex(Cursor, End, Major) || !Expect(Cursor, End, ':') || !ParseHex(Cursor, End, Minor) ||
        !Expect(Cursor, End, ' ') || !ParseDecimal(Cursor, End, Inode))
        return true;
    // The kernel lists regions in address order without overlaps; anything else is not trusted.
    if (Stop <= Start || (Regions > 0 && Start < RegionTable[Regions - 1].End))
        return true;
    if (Regions == MaxRegions)
        return false;
    SkipBlanks(Cursor, End);
    const std::size_t PathLength = static_cast<std::size_t>(End - Cursor);

    TMemoryRegion& Region = RegionTable[Regions];
    Region = TMemoryRegion{};
    Region.Start = static_cast<std::uintptr_t>(Start);
    Region.End = static_cast<std::uintptr_t>(Stop);
    Region.Offset = Offset;
    Region.Inode = Inode;
    Region.Device = Major << 32 | Minor;
    Region.Readable = Flags[0] == 'r';
    Region.Writable = Flags[1] == 'w';
    Region.Executable = Flags[2] == 'x';
    Region.Shared = Flags[3] == 's';
    bool Stored = true;
    if (PathLength > 0) {
        // Consecutive regions of one file share its path.
        const TMemoryRegion* Previous = Regions > 0 ? &RegionTable[Regions - 1] : nullptr;
        if (Previous != nullptr && std::strlen(Previous->Path) == PathLength &&
            std::memcmp(Previous->Path, Cursor, PathLength) == 0) {
            Region.Path = Previous->Path;
        } else if (PathBytes - PathUsed > PathLength) {
            char* Copy = PathPool.get() + PathUsed;
            std::memcpy(Copy, Cursor, PathLength);
            Copy[PathLength] = '\0';
            PathUsed += PathLength + 1;
            Region.Path = Copy;
        } else {
            Stored = false; // the region is kept without its path
        }
    }
    ++Regions;
    return Stored;
}

void TModuleMap::FindModules() noexcept {
    std::size_t Next = 0; // the first region not yet claimed by a module
    for (std::size_t I = 0; I < Regions; ++I) {
        const TMemoryRegion& Head = RegionTable[I];
        const bool Vdso = std::strcmp(Head.Path, "[vdso]") == 0;
        if (I < Next || Head.Offset != 0 || !Head.Readable || (Head.Path[0] != '/' && !Vdso))
            continue;
        TElfImage Image;
        if (!ReadElfImage(Head.Start, Image) || !Image.HasExecutableSegment)
            continue;
        // A loaded module has code mapped from its own file inside its extent; a file merely mapped as data (a
        // debugger's or our own reading of a module file) has not.
        std::size_t Last = I;
        bool HasCode = false;
        for (std::size_t J = I; J < Regions && RegionTable[J].Start < Image.End; ++J) {
            const TMemoryRegion& Part = RegionTable[J];
            const bool SameFile =
                Vdso ? Part.Path == Head.Path : Part.Inode == Head.Inode && Part.Device == Head.Device;
            HasCode |= SameFile && Part.Executable;
            Last = J;
        }
        if (!HasCode)
            continue;
        TLoadedModule& Module = ModuleTable[Modules];
        Module.Base = Image.Base;
        Module.End = Image.End;
        Module.LoadBias = Image.LoadBias;
        Module.Path = Head.Path;
        for (std::size_t J = I; J <= Last; ++J)
            RegionTable[J].Module = static_cast<std::int32_t>(Modules);
        ++Modules;
        Next = Last + 1;
    }
}

const TMemoryRegion* TModuleMap::FindRegion(std::uintptr_t Address) const noexcept {
    std::size_t Low = 0;
    std::size_t High = Regions;
    while (Low < High) {
        const std::size_t Middle = Low + (High - Low) / 2;
        if (RegionTable[Middle].End <= Address)
            Low = Middle + 1;
        else
            High = Middle;
    }
    return Low < Regions && RegionTable[Low].Start <= Address ? &RegionTable[Low] : nullptr;
}

const TLoadedModule* TModuleMap::FindModule(std::uintptr_t Address) const noexcept {
    std::size_t Low = 0;
    std::size_t High = Modules;
    while (Low < High) {
        const std::size_t Middle = Low + (High - Low) / 2;
        if (ModuleTable[Middle].End <= Address)
            Low = Middle + 1;
        else
            High = Middle;
    }
    return Low < Modules && ModuleTable[Low].Base <= Address ? &ModuleTable[Low] : nullptr;
}

bool TModuleMap::ModuleOfAddress(std::uintptr_t Address, std::uintptr_t& Module, const char*& FileName) const noexcept {
    if (const TLoadedModule* Loaded = FindModule(Address)) {
        Module = Loaded->Base;
        FileName = Loaded->Path;
        return true;
    }
    const TMemoryRegion* Region = FindRegion(Address);
    if (Region == nullptr)
        return false;
    Module = Region->Start;
    FileName = Region->Path[0] == '/' ? Region->Path : "";
    return true;
}

bool ModuleOfAddress(std::uintptr_t Address, std::uintptr_t& Module, std::string& FileName) {
    static std::mutex Lock;
    static TModuleMap* Snapshot = new TModuleMap; // kept to the end: other threads may still ask while we exit
    const std::lock_guard<std::mutex> Guard(Lock);
    const char* Name = "";
    if (!Snapshot->Refresh() || !Snapshot->ModuleOfAddress(Address, Module, Name))
        return false;
    FileName = Name;
    return true;
}
