#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

// Watches another thread of this process for a wait that cannot end by itself: the thread sits in one lock wait with no
// time limit (a futex wait without a timeout) and does not run at all, sample after sample. A reporting thread uses it
// to tell an exception thread stuck on a lock that a paused thread holds from one that is busy, or waits for the user
// or the network (those waits are polls, or have a time limit).
//
// The kernel tells what a thread waits in (/proc/self/task/ID/syscall) and whether it ran (schedstat); where the
// system does not tell, a thread never counts as stuck. Nothing here allocates or locks.
class TLockWaitWatch final {
public:
    explicit TLockWaitWatch(pid_t ThreadId) noexcept : Thread(ThreadId) {}

    // Takes a sample. True once the thread has been seen in the same lock wait, without running, for StuckMs. Samples
    // must come often: after a gap of more than MaxGapMs (the watcher itself was held up) the watch starts anew.
    bool Stuck(std::uint32_t StuckMs) noexcept;

    static constexpr std::int64_t MaxGapMs = 500;

private:
    pid_t Thread;
    std::int64_t Since = -1; // when the current stretch of the same wait began; -1: none
    std::int64_t LastSample = -1;
    char Wait[192] = {}; // what the thread waited in at Since (the syscall line)
    char Runs[96] = {};  // how much it had run at Since (the schedstat line)
};
