#include "KroPausedThreads.h"

#include "KroReportingThreads.h"
#include "KroThreadRegistry.h"

#include <algorithm>

namespace {

// How long a pause waits for the registry's lock to be free, once per report: its writers hold it for moments only.
constexpr std::uint32_t RegistryWaitMs = 500;

} // namespace

TPausedThreads::TPausedThreads()
    : Pauses(std::make_unique<TThreadPause[]>(MaxThreads)), Silent(std::make_unique<bool[]>(MaxThreads)) {}

TPausedThreads::~TPausedThreads() {
    ResumeAll();
}

void TPausedThreads::PauseAll() {
    ResumeAll();
    pid_t Threads[MaxThreads];
    const std::size_t Found = EnumProcessThreads(Threads, MaxThreads);
    const pid_t Self = CurrentThreadId();
    // While the lock is held here no thread can take it, so none that answers holds it; a lock that stays taken (its
    // holder stopped inside) is not waited for again: the threads are paused all the same.
    const bool Registry = ThreadRegistryOpen() && LockThreadRegistry(RegistryWaitMs);
    RegistryStuck = ThreadRegistryOpen() && !Registry;
    for (std::size_t I = 0; I < Found; ++I) {
        // A thread that reports too stands still where it failed and waits, watching its own report: were it paused
        // by a report that got stuck, it could not take its report over.
        if (Threads[I] == Self || ThreadIsEnding(Threads[I]) || ThreadIsReporting(Threads[I]))
            continue;
        if (Pauses[Count].Request(Threads[I])) {
            Silent[Count] = false;
            ++Count;
        }
    }
    const std::int64_t Start = MonotonicMs();
    std::int64_t LastAnswer = Start;
    for (;;) {
        const std::uint32_t Seen = PauseAnswerCount();
        std::size_t Waiting = 0;
        for (std::size_t I = 0; I < Count; ++I) {
            if (!Pauses[I].Requested())
                continue;
            if (Pauses[I].Answered())
                LastAnswer = MonotonicMs();
            else
                ++Waiting;
        }
        const std::int64_t Deadline =
            std::min(LastAnswer + QuietMs, Start + static_cast<std::int64_t>(ThreadAnswerTimeoutMs));
        if (Waiting == 0 || MonotonicMs() >= Deadline)
            break;
        AwaitPauseAnswer(Seen, Deadline);
    }
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].Requested()) {
            Pauses[I].Withdraw();
            Silent[I] = true;
        }
    if (Registry)
        UnlockThreadRegistry();
}

void TPausedThreads::ResumeAll() noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        Pauses[I].Resume();
    Count = 0;
}

bool TPausedThreads::ResumeOne(pid_t ThreadId) noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].ThreadId() == ThreadId && Pauses[I].Paused()) {
            Pauses[I].Resume();
            return true;
        }
    return false;
}

void TPausedThreads::PauseOne(pid_t ThreadId) noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].ThreadId() == ThreadId && !Pauses[I].Paused() && !Silent[I]) {
            const bool Registry = ThreadRegistryOpen() && LockThreadRegistry(RegistryStuck ? 0 : RegistryWaitMs);
            Pauses[I].Pause(ThreadId);
            if (Registry)
                UnlockThreadRegistry();
            return;
        }
}

const TThreadRegisters* TPausedThreads::Find(pid_t ThreadId) const noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].ThreadId() == ThreadId && Pauses[I].Paused())
            return &Pauses[I].Registers();
    return nullptr;
}

bool TPausedThreads::Unpausable(pid_t ThreadId) const noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].ThreadId() == ThreadId && Silent[I])
            return true;
    return false;
}

TPauseOutcome PauseWithin(TThreadPause& Pause, pid_t ThreadId, std::uint32_t WaitMs) noexcept {
    if (!Pause.Request(ThreadId))
        return TPauseOutcome::Gone;
    const std::int64_t Deadline = MonotonicMs() + WaitMs;
    for (;;) {
        const std::uint32_t Seen = PauseAnswerCount();
        if (Pause.Answered())
            return TPauseOutcome::Paused;
        if (MonotonicMs() >= Deadline) {
            Pause.Withdraw();
            return TPauseOutcome::Silent;
        }
        AwaitPauseAnswer(Seen, Deadline);
    }
}
