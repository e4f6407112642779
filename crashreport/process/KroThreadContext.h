#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <sys/types.h>

// Pausing another thread of this process and capturing its registers, the way a report needs it: the thread is sent a
// real-time signal with tgkill; its handler copies the registers it was interrupted with and then waits, inside the
// handler, until it is resumed. The reporter reads the paused thread's stack meanwhile; the stack cannot change under
// it.
//
// Every wait of the pausing side is bounded: a thread that has ended, blocks the signal or never gets to run its
// handler is given up after the timeout, and a handler that arrives after that finds no request and returns at once.
// Nothing here allocates: the requests live in a fixed table, and the handler uses only atomics and futexes.

// The registers a paused thread was interrupted with.
struct TThreadRegisters {
    std::uintptr_t InstructionPointer = 0;
    std::uintptr_t StackPointer = 0;
    std::uintptr_t FramePointer = 0;
    // The general registers in the order of the kernel's signal frame (REG_R8 ... REG_CR2 of <sys/ucontext.h>).
    std::array<std::uint64_t, 23> General{};
};

// How long a pause waits for the thread to answer: as long as a suspension may wait for the locks it needs.
inline constexpr std::uint32_t ThreadAnswerTimeoutMs = 2000;

// The monotonic clock in milliseconds, the time base of the deadlines here.
std::int64_t MonotonicMs() noexcept;

// The real-time signal that pauses threads.
int ThreadPauseSignal() noexcept;

// Installs the pause signal's handler; the first TThreadPause does it too. Call it once at start-up, outside any
// signal handler. False when the signal cannot be handled.
bool InstallThreadPauseHandler() noexcept;

// The calling thread's kernel id.
pid_t CurrentThreadId() noexcept;

// The kernel ids of this process's threads, from /proc/self/task, in the order listed there; at most MaxCount. 0 when
// the list cannot be read. Allocation-free.
std::size_t EnumProcessThreads(pid_t* ThreadIds, std::size_t MaxCount) noexcept;

// The name the system keeps for a thread of this process (/proc/self/task/ID/comm: its pthread name, else the
// program's name, at most 15 bytes); false when the thread is gone. Allocation-free.
bool ThreadSystemName(pid_t ThreadId, char* Name, std::size_t Size) noexcept;

// One paused thread. The destructor resumes it.
class TThreadPause final {
public:
    TThreadPause() = default;
    ~TThreadPause();
    TThreadPause(const TThreadPause&) = delete;
    TThreadPause& operator=(const TThreadPause&) = delete;

    // Pauses the thread ThreadId of this process (never the calling one) and captures its registers. False when the
    // thread does not exist any more, refuses the signal or does not answer within TimeoutMs; it then stays running.
    // A pause already held is resumed first.
    bool Pause(pid_t ThreadId, std::uint32_t TimeoutMs = ThreadAnswerTimeoutMs) noexcept;
    // Lets the thread run on; nothing when it is not paused. A request still unanswered is withdrawn.
    void Resume() noexcept;

    // Pausing in steps, so that many threads can be asked at once and waited for together: Request sends the signal
    // and returns at once (false when the thread does not exist or no request can be made); Answered() looks, without
    // waiting, whether the thread has answered, and then it is paused; Withdraw() gives an unanswered request up, and
    // a thread that answers later runs on. Pause() is the three in one.
    bool Request(pid_t ThreadId) noexcept;
    bool Answered() noexcept;
    void Withdraw() noexcept;
    bool Requested() const noexcept { return Pending >= 0; }

    bool Paused() const noexcept { return Slot >= 0; }
    pid_t ThreadId() const noexcept { return Thread; }
    // Valid while Paused().
    const TThreadRegisters& Registers() const noexcept { return Captured; }

private:
    int Slot = -1;    // the request answered: the thread is paused
    int Pending = -1; // the request sent and not answered yet
    pid_t Thread = 0;
    TThreadRegisters Captured;
};

// Counts every answer to a pause request: a reporter that waits for many threads reads it, looks at its requests and
// waits for it to change.
std::uint32_t PauseAnswerCount() noexcept;
// Waits until the count is no longer Seen, or until the monotonic time DeadlineMs.
void AwaitPauseAnswer(std::uint32_t Seen, std::int64_t DeadlineMs) noexcept;
