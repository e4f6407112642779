#include "KroSafeRead.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// Where process_vm_readv is refused (a seccomp filter, an old kernel), a pipe does the same job: write() reports
// EFAULT for an unreadable source instead of faulting. Pipe buffers are one page at least, so read page-sized pieces.
bool ReadThroughPipe(std::uintptr_t Source, char* Dest, std::size_t Count) noexcept {
    int Fds[2];
    if (pipe2(Fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    bool Ok = true;
    while (Ok && Count > 0) {
        const std::size_t Piece = Count < 4096 ? Count : 4096;
        const ssize_t Written = write(Fds[1], reinterpret_cast<const void*>(Source), Piece);
        Ok = Written > 0 && read(Fds[0], Dest, static_cast<std::size_t>(Written)) == Written;
        if (Ok) {
            Source += static_cast<std::size_t>(Written);
            Dest += Written;
            Count -= static_cast<std::size_t>(Written);
        }
    }
    close(Fds[0]);
    close(Fds[1]);
    return Ok;
}

} // namespace

bool KroSafeRead(std::uintptr_t Source, void* Dest, std::size_t Count) noexcept {
    if (Source == 0 || Dest == nullptr)
        return false;
    if (Count == 0)
        return true;
    if (Source + Count < Source)
        return false;
    const int SavedErrno = errno;
    iovec Local{Dest, Count};
    iovec Remote{reinterpret_cast<void*>(Source), Count};
    const ssize_t Read = process_vm_readv(getpid(), &Local, 1, &Remote, 1, 0);
    bool Ok = Read == static_cast<ssize_t>(Count);
    if (Read < 0 && (errno == ENOSYS || errno == EPERM))
        Ok = ReadThroughPipe(Source, static_cast<char*>(Dest), Count);
    errno = SavedErrno;
    return Ok;
}
