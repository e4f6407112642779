#include "KroLiveCodeReader.h"

#include "KroModuleMap.h"
#include "KroSafeRead.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::atomic<TKroNameResolver> ExportResolver{nullptr};
std::atomic<TKroNameResolver> SymbolResolver{nullptr};

// Finds the mapping of /proc/self/maps that holds Address. Reads the file in pieces into a fixed buffer: the
// report path keeps away from the heap where it can.
bool FindMapping(std::uint64_t Address, std::uint64_t& Begin, std::uint64_t& End) {
    int Fd;
    do
        Fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    while (Fd < 0 && errno == EINTR);
    if (Fd < 0)
        return false;
    char Buffer[4096];
    std::size_t Filled = 0;
    bool Found = false;
    bool AtEnd = false;
    bool InLongLine = false; // the rest of a line that did not fit the buffer
    while (!Found) {
        if (!AtEnd && Filled < sizeof(Buffer)) {
            const ssize_t Got = read(Fd, Buffer + Filled, sizeof(Buffer) - Filled);
            if (Got < 0 && errno == EINTR)
                continue;
            if (Got <= 0)
                AtEnd = true;
            else
                Filled += static_cast<std::size_t>(Got);
        }
        std::size_t LineEnd = 0;
        while (LineEnd < Filled && Buffer[LineEnd] != '\n')
            ++LineEnd;
        if (LineEnd == Filled && !AtEnd && Filled < sizeof(Buffer))
            continue; // the line is not complete yet
        if (Filled == 0)
            break;
        // A line longer than the buffer is read from its first piece: only its path is cut.
        TMapsLine Line;
        if (!InLongLine && KroParseMapsLine(Buffer, LineEnd, Line) && Line.Start <= Address && Address < Line.End) {
            Begin = Line.Start;
            End = Line.End;
            Found = true;
        }
        // Drop the line (a line longer than the buffer is dropped in pieces).
        const std::size_t Drop = LineEnd < Filled ? LineEnd + 1 : Filled;
        InLongLine = LineEnd == Filled;
        for (std::size_t I = Drop; I < Filled; ++I)
            Buffer[I - Drop] = Buffer[I];
        Filled -= Drop;
    }
    close(Fd);
    return Found;
}

} // namespace

void KroSetExportNameResolver(TKroNameResolver Resolver) noexcept {
    ExportResolver.store(Resolver);
}

void KroSetSymbolNameResolver(TKroNameResolver Resolver) noexcept {
    SymbolResolver.store(Resolver);
}

bool TKroLiveCodeReader::Read(std::uint64_t Address, void* Dest, std::size_t Count) const {
    return KroSafeRead(static_cast<std::uintptr_t>(Address), Dest, Count);
}

bool TKroLiveCodeReader::CodeRange(std::uint64_t Address, std::uint64_t& Begin, std::uint64_t& End) const {
    return Address != 0 && FindMapping(Address, Begin, End);
}

bool TKroLiveCodeReader::NameOf(std::uint64_t Address, std::string& Name, std::string& Module) const {
    Name.clear();
    Module.clear();
    for (const TKroNameResolver Resolver : {ExportResolver.load(), SymbolResolver.load()})
        if (Resolver != nullptr && Resolver(Address, Name, Module) && !Name.empty())
            return true;
    Name.clear();
    Module.clear();
    return false;
}
