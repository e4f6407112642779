#include "KroReportingThreads.h"

#include "KroThreadContext.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

enum : int { Waiting = 1, Ending = 2 };

// One thread's entry. Its owner writes the context between two steps of Sequence (odd while it writes), so that a
// reader on another thread sees a whole context or none.
struct TEntry {
    std::atomic<pid_t> Thread{0}; // 0: free
    std::atomic<int> State{0};
    std::atomic<std::uint32_t> Sequence{0};
    std::atomic<std::uintptr_t> ExceptAddr{0};
    std::atomic<std::uintptr_t> Stack{0};
    std::atomic<std::uintptr_t> FramePointer{0};
    std::atomic<bool> OsException{false};
};

// More threads reporting at once than this is not a case to plan for: the others are shown where they wait.
constexpr std::size_t EntryCount = 64;
TEntry Entries[EntryCount];

TEntry* Find(pid_t ThreadId) noexcept {
    for (TEntry& Entry : Entries)
        if (Entry.Thread.load(std::memory_order_acquire) == ThreadId)
            return &Entry;
    return nullptr;
}

TEntry* Claim(pid_t ThreadId) noexcept {
    if (TEntry* Own = Find(ThreadId))
        return Own;
    for (TEntry& Entry : Entries) {
        pid_t Free = 0;
        if (Entry.Thread.compare_exchange_strong(Free, ThreadId, std::memory_order_acq_rel))
            return &Entry;
    }
    return nullptr;
}

void Release(TEntry& Entry) noexcept {
    Entry.State.store(0, std::memory_order_release);
    Entry.Thread.store(0, std::memory_order_release);
}

bool Gone(pid_t ThreadId) noexcept {
    return syscall(SYS_tgkill, getpid(), ThreadId, 0) != 0 && errno == ESRCH;
}

} // namespace

bool BeginReporting(const TReportingContext& Context) noexcept {
    TEntry* Entry = Claim(CurrentThreadId());
    if (Entry == nullptr)
        return false;
    Entry->Sequence.fetch_add(1, std::memory_order_acq_rel);
    Entry->ExceptAddr.store(Context.ExceptAddr, std::memory_order_relaxed);
    Entry->Stack.store(Context.Stack, std::memory_order_relaxed);
    Entry->FramePointer.store(Context.FramePointer, std::memory_order_relaxed);
    Entry->OsException.store(Context.OsException, std::memory_order_relaxed);
    Entry->Sequence.fetch_add(1, std::memory_order_acq_rel);
    Entry->State.store(Waiting, std::memory_order_release);
    return true;
}

void EndReporting() noexcept {
    TEntry* Entry = Find(CurrentThreadId());
    if (Entry != nullptr && Entry->State.load(std::memory_order_acquire) == Waiting)
        Release(*Entry);
}

void MarkThreadEnding(pid_t ThreadId) noexcept {
    if (TEntry* Entry = ThreadId > 0 ? Claim(ThreadId) : nullptr)
        Entry->State.store(Ending, std::memory_order_release);
}

bool FindReportingContext(pid_t ThreadId, TReportingContext& Context) noexcept {
    const TEntry* Entry = ThreadId > 0 ? Find(ThreadId) : nullptr;
    if (Entry == nullptr || Entry->State.load(std::memory_order_acquire) != Waiting)
        return false;
    const std::uint32_t Before = Entry->Sequence.load(std::memory_order_acquire);
    Context.ExceptAddr = Entry->ExceptAddr.load(std::memory_order_relaxed);
    Context.Stack = Entry->Stack.load(std::memory_order_relaxed);
    Context.FramePointer = Entry->FramePointer.load(std::memory_order_relaxed);
    Context.OsException = Entry->OsException.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    return (Before & 1) == 0 && Entry->Sequence.load(std::memory_order_relaxed) == Before &&
           Entry->Thread.load(std::memory_order_acquire) == ThreadId && Context.Stack != 0;
}

bool ThreadIsReporting(pid_t ThreadId) noexcept {
    const TEntry* Entry = ThreadId > 0 ? Find(ThreadId) : nullptr;
    return Entry != nullptr && Entry->State.load(std::memory_order_acquire) == Waiting;
}

bool ThreadIsEnding(pid_t ThreadId) noexcept {
    const TEntry* Entry = ThreadId > 0 ? Find(ThreadId) : nullptr;
    return Entry != nullptr && Entry->State.load(std::memory_order_acquire) == Ending;
}

void AwaitEndingThreads(std::uint32_t TimeoutMs) noexcept {
    const std::int64_t Deadline = MonotonicMs() + TimeoutMs;
    for (;;) {
        bool Left = false;
        for (TEntry& Entry : Entries) {
            const pid_t Thread = Entry.Thread.load(std::memory_order_acquire);
            if (Thread == 0 || Entry.State.load(std::memory_order_acquire) != Ending)
                continue;
            if (Gone(Thread))
                Release(Entry);
            else
                Left = true;
        }
        if (!Left || MonotonicMs() >= Deadline)
            return;
        // A thread on its way out takes a moment: its exit unwinds, runs its thread-specific destructors and ends.
        timespec Pause{0, 1000000};
        nanosleep(&Pause, nullptr);
    }
}

void ForgetEndedThread(pid_t ThreadId) noexcept {
    if (TEntry* Entry = ThreadId > 0 ? Find(ThreadId) : nullptr)
        if (Entry->State.load(std::memory_order_acquire) == Ending)
            Release(*Entry);
}
