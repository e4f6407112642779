#pragma once

#include "KroThreadContext.h"

#include <cstddef>
#include <memory>
#include <sys/types.h>

// The other threads of the process, paused while a report is made, so that their stacks hold still and nothing they
// do can disturb the report. A thread is paused only while the thread registry's lock is free, so no paused thread
// holds it (a thread whose pause would have to wait longer is left running, as the registry's writers are quick).
class TPausedThreads final {
public:
    TPausedThreads();
    ~TPausedThreads();
    TPausedThreads(const TPausedThreads&) = delete;
    TPausedThreads& operator=(const TPausedThreads&) = delete;

    // Pauses every thread of the process but the calling one.
    void PauseAll();
    void ResumeAll() noexcept;
    // Lets one paused thread run for a while (true when it was paused here), and pauses it again.
    bool ResumeOne(pid_t ThreadId) noexcept;
    void PauseOne(pid_t ThreadId) noexcept;
    // The registers of a thread paused here; null when it is not.
    const TThreadRegisters* Find(pid_t ThreadId) const noexcept;

private:
    static constexpr std::size_t MaxThreads = 1024;
    std::unique_ptr<TThreadPause[]> Pauses;
    std::size_t Count = 0;
};
