#include "KroSharedBlock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Where the C library keeps named shared memory.
constexpr const char* SharedMemoryFolder = "/dev/shm";

bool OwnedAlone(int File) noexcept {
    struct stat Status {};
    return fstat(File, &Status) == 0 && S_ISREG(Status.st_mode) && Status.st_uid == geteuid() &&
           (Status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

} // namespace

int CreateOwnSharedBlock(const char* Name) noexcept {
    const int File = shm_open(Name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (File < 0)
        return -1;
    // The umask may have narrowed the mode; the block must still open for reading and writing.
    fchmod(File, 0600);
    return File;
}

int OpenOwnSharedBlock(const char* Name, int Flags) noexcept {
    const int File = shm_open(Name, Flags | O_CLOEXEC | O_NOFOLLOW, 0);
    if (File < 0)
        return -1;
    if (!OwnedAlone(File)) {
        close(File);
        errno = EACCES;
        return -1;
    }
    return File;
}

bool SharedBlockOfAnotherUser(const char* Name) noexcept {
    char Path[128];
    if (std::snprintf(Path, sizeof Path, "%s%s", SharedMemoryFolder, Name) >= static_cast<int>(sizeof Path))
        return false;
    struct stat Status {};
    return lstat(Path, &Status) == 0 && Status.st_uid != geteuid();
}

void RemoveStaleSharedBlocks(std::string_view Prefix, bool (*Stale)(pid_t Process, int File)) {
    DIR* Folder = opendir(SharedMemoryFolder);
    if (Folder == nullptr)
        return;
    while (const dirent* Entry = readdir(Folder)) {
        const std::string_view Name = Entry->d_name;
        if (Name.size() <= Prefix.size() + 1 || Name.substr(0, Prefix.size()) != Prefix || Name[Prefix.size()] != '$')
            continue;
        const std::string Digits(Name.substr(Prefix.size() + 1));
        char* End = nullptr;
        const unsigned long Process = std::strtoul(Digits.c_str(), &End, 16);
        if (End == nullptr || *End != '\0' || Process == 0 || Process > 0x7fffffff)
            continue;
        const std::string Path = "/" + std::string(Name);
        const int File = OpenOwnSharedBlock(Path.c_str(), O_RDONLY);
        if (File < 0)
            continue; // another user's: not ours to judge
        const bool Remove = Stale(static_cast<pid_t>(Process), File);
        close(File);
        if (Remove)
            shm_unlink(Path.c_str());
    }
    closedir(Folder);
}

bool ProcessRuns(pid_t Process, std::uint64_t* StartTime) noexcept {
    if (StartTime != nullptr)
        *StartTime = 0;
    char Path[32];
    std::snprintf(Path, sizeof Path, "/proc/%d/stat", static_cast<int>(Process));
    const int File = open(Path, O_RDONLY | O_CLOEXEC);
    if (File < 0)
        return false;
    char Buffer[1024];
    const ssize_t Read = read(File, Buffer, sizeof Buffer - 1);
    close(File);
    if (Read <= 0)
        return false;
    Buffer[Read] = '\0';
    // The command name may hold blanks and parentheses: fields are counted from the last ")".
    const char* Field = std::strrchr(Buffer, ')');
    if (Field == nullptr || Field[1] != ' ')
        return false;
    const char State = Field[2];
    if (State == 'Z' || State == 'X' || State == 'x')
        return false;
    if (StartTime != nullptr) {
        // ") S ppid ...": the start time is field 22, the 20th after the name.
        for (int Blanks = 0; *Field != '\0' && Blanks < 20; ++Field)
            if (*Field == ' ')
                ++Blanks;
        *StartTime = std::strtoull(Field, nullptr, 10);
    }
    return true;
}
