#include "KroStackTrace.h"
#include "KroThreadContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t ElapsedMs(Clock::time_point Since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - Since).count();
}

TEST(ThreadContextTest, APausedThreadStandsStillUntilResumed) {
    std::atomic<bool> Stop{false};
    std::atomic<std::uint64_t> Counter{0};
    std::atomic<pid_t> Worker{0};
    std::atomic<std::uintptr_t> Local{0};
    std::thread Thread([&] {
        int Marker = 0;
        Local = reinterpret_cast<std::uintptr_t>(&Marker);
        Worker = CurrentThreadId();
        while (!Stop)
            Counter.fetch_add(1, std::memory_order_relaxed);
    });
    while (Worker == 0 || Counter == 0)
        std::this_thread::yield();

    {
        TThreadPause Pause;
        ASSERT_TRUE(Pause.Pause(Worker));
        EXPECT_TRUE(Pause.Paused());
        EXPECT_EQ(Pause.ThreadId(), Worker.load());
        const std::uint64_t Before = Counter;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(Counter.load(), Before) << "the thread ran on while paused";
        // The registers are the worker's own: its stack pointer lies just below its local variable.
        const TThreadRegisters& Registers = Pause.Registers();
        EXPECT_LT(Registers.StackPointer, Local.load());
        EXPECT_LT(Local.load() - Registers.StackPointer, 64u * 1024);
        EXPECT_NE(Registers.InstructionPointer, 0u);
        EXPECT_EQ(Registers.General[15], Registers.StackPointer); // REG_RSP of the signal frame
        Pause.Resume();
        EXPECT_FALSE(Pause.Paused());
        const std::uint64_t Resumed = Counter;
        while (Counter == Resumed)
            std::this_thread::yield();
        // A second pause of the same thread works as the first; the destructor resumes it.
        ASSERT_TRUE(Pause.Pause(Worker));
    }
    const std::uint64_t After = Counter;
    while (Counter == After)
        std::this_thread::yield();
    Stop = true;
    Thread.join();
}

TEST(ThreadContextTest, AThreadThatNeverAnswersIsGivenUpWithoutAHang) {
    std::atomic<bool> Blocked{false};
    std::atomic<bool> Unblock{false};
    std::atomic<pid_t> Worker{0};
    std::thread Thread([&] {
        sigset_t Set;
        sigemptyset(&Set);
        sigaddset(&Set, ThreadPauseSignal());
        pthread_sigmask(SIG_BLOCK, &Set, nullptr);
        Worker = CurrentThreadId();
        Blocked = true;
        while (!Unblock)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // The signals sent meanwhile arrive now and find no request: the thread runs on.
        pthread_sigmask(SIG_UNBLOCK, &Set, nullptr);
    });
    while (!Blocked)
        std::this_thread::yield();

    TThreadPause Pause;
    Clock::time_point Start = Clock::now();
    EXPECT_FALSE(Pause.Pause(Worker, 200));
    EXPECT_GE(ElapsedMs(Start), 190);
    EXPECT_LT(ElapsedMs(Start), 1500);
    EXPECT_FALSE(Pause.Paused());

    // A trace waits the pause timeout at most, then gives the unreadable trace.
    Start = Clock::now();
    EXPECT_EQ(TraceOtherThread(Worker, TStackTraceRequest{}), UnreadableThreadTrace);
    EXPECT_GE(ElapsedMs(Start), static_cast<std::int64_t>(ThreadAnswerTimeoutMs) - 10);
    EXPECT_LT(ElapsedMs(Start), static_cast<std::int64_t>(ThreadAnswerTimeoutMs) + 2000);

    Unblock = true;
    Thread.join();
}

TEST(ThreadContextTest, TheThreadListHoldsEveryThread) {
    std::atomic<pid_t> Worker{0};
    std::atomic<bool> Stop{false};
    std::thread Thread([&] {
        Worker = CurrentThreadId();
        while (!Stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (Worker == 0)
        std::this_thread::yield();
    pid_t Ids[4096];
    const std::size_t Count = EnumProcessThreads(Ids, 4096);
    Stop = true;
    Thread.join();
    ASSERT_GE(Count, 2u);
    EXPECT_EQ(Ids[0], getpid()) << "the main thread comes first";
    EXPECT_NE(std::find(Ids, Ids + Count, CurrentThreadId()), Ids + Count);
    EXPECT_NE(std::find(Ids, Ids + Count, Worker.load()), Ids + Count);
    EXPECT_EQ(EnumProcessThreads(Ids, 1), 1u) << "never more than asked for";
}

} // namespace
