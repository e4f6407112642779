#include "KroMapFileCache.h"

#include "KroMapFileSources.h"
#include "KroModuleMap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace {

struct TCacheEntry final {
    std::int64_t FileTime = 0; // last write of the map's source file, in nanoseconds
    std::shared_ptr<const TMapFile> Map;
};

// One thread at a time uses the cache. The lock is only ever tried: a thread the reporter paused may hold it, and
// the reporter must not wait for it; a thread that finds it taken reads its map without the cache.
std::mutex CacheLock;

// Never destroyed: a report may be the first to need it, and a static destroyed at exit is entered in the C library's
// exit list under a lock that a thread the report paused may hold.
std::vector<TCacheEntry>& Cache() {
    static std::vector<TCacheEntry>* const Entries = new std::vector<TCacheEntry>;
    return *Entries;
}

bool FileTimeOf(const std::string& FileName, std::int64_t& Time) {
    struct stat Info {};
    if (FileName.empty() || stat(FileName.c_str(), &Info) != 0)
        return false;
    Time = static_cast<std::int64_t>(Info.st_mtim.tv_sec) * 1000000000 + Info.st_mtim.tv_nsec;
    return true;
}

std::string ReadProcMaps() {
    std::string Text;
    const int Fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        return Text;
    char Buffer[16384];
    ssize_t Got = 0;
    while ((Got = read(Fd, Buffer, sizeof Buffer)) > 0)
        Text.append(Buffer, static_cast<std::size_t>(Got));
    close(Fd);
    return Text;
}

// One line of /proc/self/maps: "start-end perms offset dev inode path".
struct TMapping final {
    std::uintptr_t Start = 0;
    std::uintptr_t End = 0;
    std::uint64_t Offset = 0;
    std::uint64_t Inode = 0;
    std::string Path;
};

bool ParseMapping(const std::string& Line, TMapping& M) {
    TMapsLine Parsed;
    if (!KroParseMapsLine(Line.data(), Line.size(), Parsed))
        return false;
    M.Start = static_cast<std::uintptr_t>(Parsed.Start);
    M.End = static_cast<std::uintptr_t>(Parsed.End);
    M.Offset = Parsed.Offset;
    M.Inode = Parsed.Inode;
    M.Path.assign(Parsed.Path, Parsed.PathLength);
    return true;
}

std::vector<TMapping> Mappings() {
    std::vector<TMapping> List;
    const std::string Text = ReadProcMaps();
    std::size_t From = 0;
    while (From < Text.size()) {
        std::size_t To = Text.find('\n', From);
        if (To == std::string::npos)
            To = Text.size();
        TMapping M;
        if (ParseMapping(Text.substr(From, To - From), M))
            List.push_back(std::move(M));
        From = To + 1;
    }
    return List;
}

} // namespace

bool FindModuleOfAddress(std::uintptr_t Address, std::string& FileName, std::uintptr_t& ModuleHandle) {
    const std::vector<TMapping> List = Mappings();
    const TMapping* Holder = nullptr;
    for (const TMapping& M : List)
        if (M.Start <= Address && Address < M.End)
            Holder = &M;
    // Only a region of a file on disk is a module; a deleted file's name cannot be opened again.
    if (Holder == nullptr || Holder->Path.empty() || Holder->Path[0] != '/' || Holder->Inode == 0)
        return false;
    for (const TMapping& M : List)
        if (M.Inode == Holder->Inode && M.Path == Holder->Path && M.Offset == 0) {
            FileName = M.Path;
            ModuleHandle = M.Start;
            return true;
        }
    return false;
}

std::shared_ptr<const TMapFile> GetMapFileOfAddress(std::uintptr_t Address) {
    if (Address == 0)
        Address = reinterpret_cast<std::uintptr_t>(&GetMapFileOfAddress);
    std::string FileName;
    std::uintptr_t ModuleHandle = 0;
    if (!FindModuleOfAddress(Address, FileName, ModuleHandle))
        return std::make_shared<const TMapFile>();

    const std::unique_lock<std::mutex> Guard(CacheLock, std::try_to_lock);
    if (!Guard.owns_lock())
        return CreateMapFile(true, ModuleHandle, FileName);
    std::vector<TCacheEntry>& Entries = Cache();
    for (std::size_t I = 0; I < Entries.size(); ++I) {
        if (Entries[I].Map->ModuleFileName() != FileName)
            continue;
        std::int64_t Time = 0;
        if (FileTimeOf(Entries[I].Map->SourceFileName(), Time) && Time == Entries[I].FileTime &&
            Entries[I].Map->Layout().ModuleHandle == ModuleHandle)
            return Entries[I].Map;
        Entries[I] = std::move(Entries.back());
        Entries.pop_back();
        break;
    }
    std::shared_ptr<const TMapFile> Map = CreateMapFile(true, ModuleHandle, FileName);
    std::int64_t Time = 0;
    if (Map->Valid() && FileTimeOf(Map->SourceFileName(), Time))
        Entries.push_back(TCacheEntry{Time, Map});
    return Map;
}

void ClearMapCache() {
    const std::lock_guard<std::mutex> Guard(CacheLock);
    Cache().clear();
}

std::string MapSymbolNameOfAddress(std::uintptr_t Address) {
    const std::shared_ptr<const TMapFile> Map = GetMapFileOfAddress(Address);
    return Map->GetSymbolNameAt(Address);
}
