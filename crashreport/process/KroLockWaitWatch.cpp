#include "KroLockWaitWatch.h"

#include "KroFileRead.h"
#include "KroThreadContext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Reads a small file of /proc into Buffer (terminated, the line end cut); false when it cannot be read.
bool ReadLine(const char* Path, char* Buffer, std::size_t Size) noexcept {
    if (KroReadFileInto(Path, Buffer, Size) <= 0)
        return false;
    if (char* End = std::strchr(Buffer, '\n'))
        *End = '\0';
    return true;
}

bool TaskFile(pid_t Thread, const char* Name, char* Buffer, std::size_t Size) noexcept {
    char Path[64];
    std::snprintf(Path, sizeof Path, "/proc/self/task/%d/%s", static_cast<int>(Thread), Name);
    return ReadLine(Path, Buffer, Size);
}

// The fields of a syscall line: the number, then hexadecimal values.
std::size_t Fields(const char* Line, unsigned long long* Values, std::size_t Max) noexcept {
    std::size_t Count = 0;
    const char* Cursor = Line;
    while (Count < Max && *Cursor != '\0') {
        char* End = nullptr;
        Values[Count] = std::strtoull(Cursor, &End, Count == 0 ? 10 : 16);
        if (End == Cursor)
            break;
        ++Count;
        Cursor = End;
        while (*Cursor == ' ')
            ++Cursor;
    }
    return Count;
}

// Whether a syscall line of /proc (the number, six arguments, the stack and instruction pointers, in hexadecimal after
// the number) is a lock wait without a time limit.
bool IsUntimedLockWait(const char* SyscallLine) noexcept {
    unsigned long long Values[9] = {};
    if (Fields(SyscallLine, Values, 9) < 7)
        return false;
    const unsigned long long Number = Values[0];
    if (Number == SYS_futex) {
        // The wait operations: WAIT, LOCK_PI, WAIT_BITSET, WAIT_REQUEUE_PI, LOCK_PI2; the timeout is the fourth
        // argument.
        const unsigned long long Operation = Values[2] & 0x7f;
        const bool Waits = Operation == 0 || Operation == 6 || Operation == 9 || Operation == 11 || Operation == 13;
        return Waits && Values[4] == 0;
    }
#ifdef SYS_futex_waitv
    if (Number == SYS_futex_waitv)
        return Values[4] == 0;
#endif
    return false;
}

} // namespace

bool TLockWaitWatch::Stuck(std::uint32_t StuckMs) noexcept {
    const std::int64_t Now = MonotonicMs();
    const bool Gap = LastSample >= 0 && Now - LastSample > MaxGapMs;
    LastSample = Now;
    char Line[sizeof Wait];
    char Ran[sizeof Runs];
    if (Thread <= 0 || !TaskFile(Thread, "syscall", Line, sizeof Line) || !IsUntimedLockWait(Line) ||
        !TaskFile(Thread, "schedstat", Ran, sizeof Ran)) {
        Since = -1;
        return false;
    }
    // The same wait (same call, same arguments, same stack) and no run since: the stretch goes on.
    if (Gap || Since < 0 || std::strcmp(Line, Wait) != 0 || std::strcmp(Ran, Runs) != 0) {
        Since = Now;
        std::memcpy(Wait, Line, sizeof Wait);
        std::memcpy(Runs, Ran, sizeof Runs);
        return false;
    }
    return Now - Since >= static_cast<std::int64_t>(StuckMs);
}
