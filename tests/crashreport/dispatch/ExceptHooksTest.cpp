#include "KroExceptHooks.h"
#include "KroThreadHook.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr int FaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};

// Stand-ins that a program may have set before the reporter starts: the shutdown must give them back.
void ProgramsOwnHandler(int) {}
void ProgramsOwnTerminate() {
    std::abort();
}

std::size_t ThreadCount() {
    std::size_t Count = 0;
    for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator("/proc/self/task"))
        ++Count;
    return Count;
}

// The kernel's flag for an action's own return path, which the C library adds to every action it sets.
constexpr int ReturnPathFlag = 0x04000000;

// The handler, its flags and its mask.
bool SameAction(const struct sigaction& A, const struct sigaction& B) {
    if (A.sa_handler != B.sa_handler || (A.sa_flags & ~ReturnPathFlag) != (B.sa_flags & ~ReturnPathFlag))
        return false;
    for (int Signal = 1; Signal < NSIG; ++Signal)
        if (sigismember(&A.sa_mask, Signal) != sigismember(&B.sa_mask, Signal))
            return false;
    return true;
}

} // namespace

TEST(ExceptHooksTest, ShutdownGivesBackWhatTheStartUpTookOver) {
    ASSERT_FALSE(ExceptionLibraryInitialized());
    struct sigaction Own {};
    Own.sa_handler = &ProgramsOwnHandler;
    sigemptyset(&Own.sa_mask);
    sigaddset(&Own.sa_mask, SIGUSR2);
    Own.sa_flags = SA_RESTART;
    struct sigaction Saved[std::size(FaultSignals)];
    for (std::size_t I = 0; I < std::size(FaultSignals); ++I)
        ASSERT_EQ(sigaction(FaultSignals[I], I % 2 == 0 ? &Own : nullptr, &Saved[I]), 0);
    struct sigaction Before[std::size(FaultSignals)];
    for (std::size_t I = 0; I < std::size(FaultSignals); ++I)
        sigaction(FaultSignals[I], nullptr, &Before[I]);
    const std::terminate_handler PreviousTerminate = std::set_terminate(&ProgramsOwnTerminate);
    stack_t AltBefore{};
    ASSERT_EQ(sigaltstack(nullptr, &AltBefore), 0);
    const std::size_t ThreadsBefore = ThreadCount();
    const std::string Registry = "/dev/shm/KroExceptThreadNameBuf$" + [] {
        char Hex[32];
        std::snprintf(Hex, sizeof Hex, "%x", static_cast<unsigned>(getpid()));
        return std::string(Hex);
    }();

    InitExceptionLibrary(true);
    ASSERT_TRUE(ExceptionLibraryInitialized());
    // The start-up took over every fault signal, the terminate handler and this thread's alternate stack, started
    // its threads (the exception thread among them), hooks thread creation and keeps the thread registry.
    for (std::size_t I = 0; I < std::size(FaultSignals); ++I) {
        struct sigaction Now {};
        sigaction(FaultSignals[I], nullptr, &Now);
        EXPECT_FALSE(SameAction(Now, Before[I])) << "signal " << FaultSignals[I];
    }
    EXPECT_NE(std::get_terminate(), &ProgramsOwnTerminate);
    stack_t AltDuring{};
    sigaltstack(nullptr, &AltDuring);
    EXPECT_EQ(AltDuring.ss_flags & SS_DISABLE, 0);
    EXPECT_GT(ThreadCount(), ThreadsBefore);
    EXPECT_TRUE(ThreadHookEnabled());
    EXPECT_TRUE(std::filesystem::exists(Registry));
    // Start-up and shutdown are counted: an inner pair changes nothing.
    InitExceptionLibrary(false);
    FinalizeExceptionLibrary();
    EXPECT_TRUE(ExceptionLibraryInitialized());

    FinalizeExceptionLibrary();
    EXPECT_FALSE(ExceptionLibraryInitialized());
    for (std::size_t I = 0; I < std::size(FaultSignals); ++I) {
        struct sigaction Now {};
        sigaction(FaultSignals[I], nullptr, &Now);
        EXPECT_TRUE(SameAction(Now, Before[I])) << "signal " << FaultSignals[I];
    }
    EXPECT_EQ(std::get_terminate(), &ProgramsOwnTerminate);
    stack_t AltAfter{};
    sigaltstack(nullptr, &AltAfter);
    EXPECT_EQ(AltAfter.ss_flags & SS_DISABLE, AltBefore.ss_flags & SS_DISABLE);
    EXPECT_FALSE(ThreadHookEnabled());
    EXPECT_FALSE(std::filesystem::exists(Registry));
    // The exception thread and the others stop (each is given a moment).
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ThreadCount() > ThreadsBefore && std::chrono::steady_clock::now() < Deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ThreadCount(), ThreadsBefore);

    std::set_terminate(PreviousTerminate);
    for (std::size_t I = 0; I < std::size(FaultSignals); ++I)
        sigaction(FaultSignals[I], &Saved[I], nullptr);
}
