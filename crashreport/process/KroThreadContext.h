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
    // Lets the thread run on; nothing when it is not paused.
    void Resume() noexcept;

    bool Paused() const noexcept { return Slot >= 0; }
    pid_t ThreadId() const noexcept { return Thread; }
    // Valid while Paused().
    const TThreadRegisters& Registers() const noexcept { return Captured; }

private:
    int Slot = -1;
    pid_t Thread = 0;
    TThreadRegisters Captured;
};
