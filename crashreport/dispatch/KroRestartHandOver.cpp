#include "KroRestartHandOver.h"

#include "KroSharedBlock.h"
#include "KroStrings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr const char* BlockPrefix = "KroExceptRestart";

struct THandOver {
    std::int32_t OldProcess;
    std::uint32_t RestartMarks;
    std::int64_t History[10];
};
static_assert(sizeof(THandOver) == 88);

TExceptionHistory History{};
std::uint32_t Marks = 0;
pid_t Predecessor = 0;

void WaitForEnd(pid_t Process, std::uint32_t TimeoutMs) {
    const int Handle = static_cast<int>(syscall(SYS_pidfd_open, Process, 0));
    if (Handle < 0)
        return; // gone already (or not ours to see)
    pollfd Wait{Handle, POLLIN, 0};
    poll(&Wait, 1, static_cast<int>(TimeoutMs));
    close(Handle);
}

// A hand-over is read by the process it names, once that one runs: one whose process is gone was never read.
bool StaleHandOver(pid_t Process, int) {
    return !ProcessRuns(Process);
}

} // namespace

TExceptionHistory& ExceptionHistory() noexcept {
    return History;
}

std::uint32_t& RestartMarks() noexcept {
    return Marks;
}

std::string RestartHandOverName(pid_t NewProcess) {
    return "/" + std::string(BlockPrefix) + "$" + IntToHexText(static_cast<std::uint32_t>(NewProcess));
}

bool WriteRestartHandOver(pid_t NewProcess, const TExceptionHistory& Times, std::uint32_t RestartMarks) {
    const std::string Name = RestartHandOverName(NewProcess);
    int File = CreateOwnSharedBlock(Name.c_str());
    if (File < 0 && errno == EEXIST) {
        // The new process runs: a block under its id was left by an earlier process with that id, and is stale. One
        // of another user's is not ours to replace, and the new process then starts without the history.
        if (SharedBlockOfAnotherUser(Name.c_str()))
            return false;
        shm_unlink(Name.c_str());
        File = CreateOwnSharedBlock(Name.c_str());
    }
    if (File < 0)
        return false;
    THandOver Block{};
    Block.OldProcess = static_cast<std::int32_t>(getpid());
    Block.RestartMarks = RestartMarks;
    std::memcpy(Block.History, Times.data(), sizeof Block.History);
    const bool Written = write(File, &Block, sizeof Block) == static_cast<ssize_t>(sizeof Block);
    close(File);
    if (!Written)
        shm_unlink(Name.c_str());
    return Written;
}

pid_t RestartPredecessor() noexcept {
    return Predecessor;
}

bool TakeOverRestartHistory(std::uint32_t TimeoutMs) {
    pid_t Replaced = 0;
    if (const char* Marker = getenv(RestartEnvironmentName); Marker != nullptr) {
        const long Old = std::strtol(Marker, nullptr, 10);
        // The program's own children are no restarts.
        unsetenv(RestartEnvironmentName);
        if (Old > 0 && Old != getpid()) {
            Replaced = static_cast<pid_t>(Old);
            Predecessor = Replaced;
            WaitForEnd(Predecessor, TimeoutMs);
        }
    }
    const std::string Name = RestartHandOverName(getpid());
    const int File = OpenOwnSharedBlock(Name.c_str(), O_RDONLY);
    if (File < 0)
        return false;
    THandOver Block{};
    const bool Read = read(File, &Block, sizeof Block) == static_cast<ssize_t>(sizeof Block);
    close(File);
    shm_unlink(Name.c_str());
    // Only a restart reads a hand-over, and only its predecessor's: a block under this id without one was left for an
    // earlier process that had this id and never came to read it.
    if (!Read || Replaced == 0 || Block.OldProcess != Replaced)
        return false;
    std::memcpy(History.data(), Block.History, sizeof Block.History);
    Marks = Block.RestartMarks;
    return true;
}

void RemoveStaleRestartHandOvers() {
    RemoveStaleSharedBlocks(BlockPrefix, &StaleHandOver);
}
