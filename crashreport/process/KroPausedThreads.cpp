#include "KroPausedThreads.h"

#include "KroPauseReadiness.h"
#include "KroReportingThreads.h"
#include "KroThreadRegistry.h"

#include <algorithm>

namespace {

// How long a thread that blocks the pause signal is given to unblock it before it is taken for deaf, and how often
// the waiting threads' state is looked at again.
constexpr std::int64_t DeafAfterMs = 30;
constexpr std::int64_t LookAgainMs = 10;

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
        const std::int64_t Now = MonotonicMs();
        std::size_t Waiting = 0;
        std::size_t WillAnswer = 0;
        std::size_t Unknown = 0;
        for (std::size_t I = 0; I < Count; ++I) {
            if (!Pauses[I].Requested())
                continue;
            if (Pauses[I].Answered()) {
                LastAnswer = Now;
                continue;
            }
            ++Waiting;
            // A thread blocks every signal for moments now and then (while it starts, forks or spawns): it is taken
            // for deaf only when it still does after a while.
            const TPauseReadiness Readiness = PauseReadiness(Pauses[I].ThreadId());
            if (Readiness == TPauseReadiness::CanAnswer ||
                (Readiness == TPauseReadiness::CannotAnswer && Now - Start < DeafAfterMs))
                ++WillAnswer;
            else if (Readiness == TPauseReadiness::Unknown)
                ++Unknown;
        }
        if (Waiting == 0)
            break;
        // A thread that can answer is waited for up to the timeout, however long a loaded machine keeps it from
        // running; those that cannot are given up at once; when the state of some is unknown, the wait ends once no
        // answer has come for QuietMs.
        const std::int64_t Limit = Start + static_cast<std::int64_t>(ThreadAnswerTimeoutMs);
        const std::int64_t Deadline = WillAnswer > 0 ? Limit : std::min(LastAnswer + QuietMs, Limit);
        if ((WillAnswer == 0 && Unknown == 0) || Now >= Deadline)
            break;
        AwaitPauseAnswer(Seen, std::min(Deadline, Now + LookAgainMs));
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
