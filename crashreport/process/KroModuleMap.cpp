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

// A number that does not fit 64 bits leaves digits behind, which the next field's check refuses.
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
    for (; Cursor < End && *Cursor >= '0' && *Cursor <= '9'; ++Cursor) {
        const auto Digit = static_cast<std::uint64_t>(*Cursor - '0');
        if (Value > (UINT64_MAX - Digit) / 10)
            return false;
        Value = Value * 10 + Digit;
    }
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

bool KroParseMapsLine(const char* Line, std::size_t Length, TMapsLine& Parsed) noexcept {
    Parsed = TMapsLine{};
    const char* Cursor = Line;
    const char* End = Line + Length;
    std::uint64_t Major = 0;
    std::uint64_t Minor = 0;
    if (Line == nullptr || !ParseHex(Cursor, End, Parsed.Start) || !Expect(Cursor, End, '-') ||
        !ParseHex(Cursor, End, Parsed.End) || !Expect(Cursor, End, ' ') || End - Cursor < 4)
        return false;
    static constexpr char Allowed[4][3] = {"r-", "w-", "x-", "sp"};
    for (int I = 0; I < 4; ++I) {
        if (Cursor[I] != Allowed[I][0] && Cursor[I] != Allowed[I][1])
            return false;
        Parsed.Flags[I] = Cursor[I];
    }
    Cursor += 4;
    if (!Expect(Cursor, End, ' ') || !ParseHex(Cursor, End, Parsed.Offset) || !Expect(Cursor, End, ' ') ||
        !ParseHex(Cursor, End, Major) || !Expect(Cursor, End, ':') || !ParseHex(Cursor, End, Minor) ||
        !Expect(Cursor, End, ' ') || !ParseDecimal(Cursor, End, Parsed.Inode))
        return false;
    if (Cursor < End && *Cursor != ' ' && *Cursor != '\t')
        return false; // the inode runs into something else
    if (Parsed.End <= Parsed.Start || Major > 0xFFFFFFFFu || Minor > 0xFFFFFFFFu)
        return false;
    Parsed.Device = Major << 32 | Minor;
    SkipBlanks(Cursor, End);
    Parsed.Path = Cursor;
    Parsed.PathLength = static_cast<std::size_t>(End - Cursor);
    return true;
}

TModuleMap::TModuleMap(std::size_t MaxRegions, std::size_t PathBytes)
    : MaxRegions(MaxRegions), PathBytes(PathBytes), RegionTable(new TMemoryRegion[MaxRegions]),
      ModuleTable(new TLoadedModule[MaxRegions]), PathPool(new char[PathBytes]), LineBuffer(new char[LineCapacity]) {}

TModuleMap::~TModuleMap() = default;

bool TModuleMap::Refresh(const char* MapsFile) noexcept {
    Regions = 0;
    Modules = 0;
    PathUsed = 0;
    IsComplete = true;
    const int Fd = open(MapsFile, O_RDONLY | O_CLOEXEC);
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
    TMapsLine Parsed;
    if (!KroParseMapsLine(Line, Length, Parsed))
        return true; // not a region line: nothing to keep
    // The kernel lists regions in address order without overlaps; anything else is not trusted.
    if (Regions > 0 && Parsed.Start < RegionTable[Regions - 1].End)
        return true;
    if (Regions == MaxRegions)
        return false;
    const char* Cursor = Parsed.Path;
    const std::size_t PathLength = Parsed.PathLength;

    TMemoryRegion& Region = RegionTable[Regions];
    Region = TMemoryRegion{};
    Region.Start = static_cast<std::uintptr_t>(Parsed.Start);
    Region.End = static_cast<std::uintptr_t>(Parsed.End);
    Region.Offset = Parsed.Offset;
    Region.Inode = Parsed.Inode;
    Region.Device = Parsed.Device;
    Region.Readable = Parsed.Flags[0] == 'r';
    Region.Writable = Parsed.Flags[1] == 'w';
    Region.Executable = Parsed.Flags[2] == 'x';
    Region.Shared = Parsed.Flags[3] == 's';
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
