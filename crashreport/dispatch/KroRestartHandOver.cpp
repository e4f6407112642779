#include "KroRestartHandOver.h"

#include "KroStrings.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct THandOver {
    std::int32_t OldProcess;
    std::int32_t Reserved;
    std::int64_t History[10];
};
static_assert(sizeof(THandOver) == 88);

TExceptionHistory History{};
pid_t Predecessor = 0;

void WaitForEnd(pid_t Process, std::uint32_t TimeoutMs) {
    const int Handle = static_cast<int>(syscall(SYS_pidfd_open, Process, 0));
    if (Handle < 0)
        return; // gone already (or not ours to see)
    pollfd Wait{Handle, POLLIN, 0};
    poll(&Wait, 1, static_cast<int>(TimeoutMs));
    close(Handle);
}

} // namespace

TExceptionHistory& ExceptionHistory() noexcept {
    return History;
}

std::string RestartHandOverName(pid_t NewProcess) {
    return "/KroExceptRestart$" + IntToHexText(static_cast<std::uint32_t>(NewProcess));
}

bool WriteRestartHandOver(pid_t NewProcess, const TExceptionHistory& Times) {
    const std::string Name = RestartHandOverName(NewProcess);
    const int File = shm_open(Name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (File < 0)
        return false;
    THandOver Block{};
    Block.OldProcess = static_cast<std::int32_t>(getpid());
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
    if (const char* Replaced = getenv(RestartEnvironmentName); Replaced != nullptr) {
        const long Old = std::strtol(Replaced, nullptr, 10);
        // The program's own children are no restarts.
        unsetenv(RestartEnvironmentName);
        if (Old > 0 && Old != getpid()) {
            Predecessor = static_cast<pid_t>(Old);
            WaitForEnd(Predecessor, TimeoutMs);
        }
    }
    const std::string Name = RestartHandOverName(getpid());
    const int File = shm_open(Name.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (File < 0)
        return false;
    THandOver Block{};
    const bool Read = read(File, &Block, sizeof Block) == static_cast<ssize_t>(sizeof Block);
    close(File);
    shm_unlink(Name.c_str());
    if (!Read)
        return false;
    if (Block.OldProcess > 0 && Block.OldProcess != getpid() && Block.OldProcess != Predecessor) {
        Predecessor = Block.OldProcess;
        WaitForEnd(Block.OldProcess, TimeoutMs);
    }
    std::memcpy(History.data(), Block.History, sizeof Block.History);
    return true;
}
