#pragma once

#include "KroThreadContext.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sys/types.h>

// The other threads of the process, paused while a report is made, so that their stacks hold still and nothing they
// do can disturb the report. A thread is paused only while the thread registry's lock is free, so no paused thread
// holds it.
//
// All threads are asked at once and waited for together, and the wait for those that do not answer is paid once per
// report. A thread the kernel shows blocking the pause signal, or stopped, is given up at once; one that merely has
// not run yet (a loaded machine) is waited for up to ThreadAnswerTimeoutMs; where the kernel cannot tell, the wait
// ends when none has answered for QuietMs. A thread given up is left running and counted as unpausable; the report
// names it.
class TPausedThreads final {
public:
    // How long the wait goes on without any answer before threads whose state is unknown are given up.
    static constexpr std::uint32_t QuietMs = 200;

    TPausedThreads();
    ~TPausedThreads();
    TPausedThreads(const TPausedThreads&) = delete;
    TPausedThreads& operator=(const TPausedThreads&) = delete;

    // Pauses every thread of the process but the calling one, the threads that report an exception of their own and
    // those that end after their report.
    void PauseAll();
    void ResumeAll() noexcept;
    // Lets one paused thread run for a while (true when it was paused here), and pauses it again.
    bool ResumeOne(pid_t ThreadId) noexcept;
    void PauseOne(pid_t ThreadId) noexcept;
    // The registers of a thread paused here; null when it is not.
    const TThreadRegisters* Find(pid_t ThreadId) const noexcept;
    // Whether PauseAll asked the thread and it did not answer.
    bool Unpausable(pid_t ThreadId) const noexcept;

private:
    static constexpr std::size_t MaxThreads = 1024;
    std::unique_ptr<TThreadPause[]> Pauses;
    std::unique_ptr<bool[]> Silent;
    std::size_t Count = 0;
    // The registry's lock stayed taken when the threads were paused: later pauses only try it.
    bool RegistryStuck = false;
};

// How a pause of one thread came out.
enum class TPauseOutcome { Paused, Gone, Silent };

// Pauses one thread, waiting at most WaitMs for its answer: a thread that has ended is Gone; one that does not answer
// in time stays running (Silent).
TPauseOutcome PauseWithin(TThreadPause& Pause, pid_t ThreadId, std::uint32_t WaitMs) noexcept;
