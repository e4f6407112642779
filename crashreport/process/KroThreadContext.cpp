#include "KroThreadContext.h"

#include "KroFileRead.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <initializer_list>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

namespace {

// A request's state lives in one word with the thread id above it, so that a handler that arrives late can never
// take a slot that meanwhile serves another thread.
enum : std::uint64_t { StateRequested = 1, StateCapturing = 2, StateCaptured = 3, StateReserved = 4 };

constexpr std::uint64_t MakeWord(pid_t Thread, std::uint64_t State) noexcept {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(Thread)) << 8 | State;
}

struct TPauseSlot {
    std::atomic<std::uint64_t> Word{0}; // 0: free
    std::atomic<std::uint32_t> Answered{0};
    std::atomic<std::uint32_t> Release{0};
    TThreadRegisters Registers;
};

// Enough for every thread of a large process to be paused at once.
constexpr std::size_t SlotCount = 1024;
TPauseSlot Slots[SlotCount];

std::atomic<int> HandlerState{0}; // 0 not installed, 1 installed, -1 failed
std::atomic<std::uint32_t> AnswerCount{0};

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));

std::uint32_t* FutexWord(std::atomic<std::uint32_t>& Word) noexcept {
    return reinterpret_cast<std::uint32_t*>(&Word);
}

void FutexWait(std::atomic<std::uint32_t>& Word, std::uint32_t Expected, const timespec* Timeout) noexcept {
    syscall(SYS_futex, FutexWord(Word), FUTEX_WAIT_PRIVATE, Expected, Timeout, nullptr, 0);
}

void FutexWake(std::atomic<std::uint32_t>& Word) noexcept {
    syscall(SYS_futex, FutexWord(Word), FUTEX_WAKE_PRIVATE, 0x7fffffff, nullptr, nullptr, 0);
}

void OnPauseSignal(int, siginfo_t*, void* Context) {
    const int SavedErrno = errno;
    const pid_t Self = static_cast<pid_t>(syscall(SYS_gettid));
    const std::uint64_t Wanted = MakeWord(Self, StateRequested);
    for (TPauseSlot& Slot : Slots) {
        std::uint64_t Expected = Wanted;
        if (Slot.Word.load(std::memory_order_acquire) != Wanted ||
            !Slot.Word.compare_exchange_strong(Expected, MakeWord(Self, StateCapturing), std::memory_order_acq_rel))
            continue;
        const auto* Interrupted = static_cast<const ucontext_t*>(Context);
        for (std::size_t I = 0; I < Slot.Registers.General.size() && I < NGREG; ++I)
            Slot.Registers.General[I] = static_cast<std::uint64_t>(Interrupted->uc_mcontext.gregs[I]);
        Slot.Registers.InstructionPointer = static_cast<std::uintptr_t>(Interrupted->uc_mcontext.gregs[REG_RIP]);
        Slot.Registers.StackPointer = static_cast<std::uintptr_t>(Interrupted->uc_mcontext.gregs[REG_RSP]);
        Slot.Registers.FramePointer = static_cast<std::uintptr_t>(Interrupted->uc_mcontext.gregs[REG_RBP]);
        Slot.Word.store(MakeWord(Self, StateCaptured), std::memory_order_release);
        Slot.Answered.store(1, std::memory_order_release);
        FutexWake(Slot.Answered);
        AnswerCount.fetch_add(1, std::memory_order_release);
        FutexWake(AnswerCount);
        // Paused: nothing runs in this thread until the reporter lets it go.
        while (Slot.Release.load(std::memory_order_acquire) == 0)
            FutexWait(Slot.Release, 0, nullptr);
        // The slot is free only once this thread no longer looks at it.
        Slot.Word.store(0, std::memory_order_release);
        break;
    }
    errno = SavedErrno;
}

} // namespace

int ThreadPauseSignal() noexcept {
    return SIGRTMIN + 7;
}

bool InstallThreadPauseHandler() noexcept {
    int State = HandlerState.load(std::memory_order_acquire);
    if (State != 0)
        return State > 0;
    struct sigaction Action {};
    Action.sa_sigaction = OnPauseSignal;
    Action.sa_flags = SA_SIGINFO | SA_RESTART | SA_ONSTACK;
    sigfillset(&Action.sa_mask);
    // Faults inside the handler must still reach their own handlers.
    for (const int Fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT})
        sigdelset(&Action.sa_mask, Fault);
    State = sigaction(ThreadPauseSignal(), &Action, nullptr) == 0 ? 1 : -1;
    HandlerState.store(State, std::memory_order_release);
    return State > 0;
}

pid_t CurrentThreadId() noexcept {
    return static_cast<pid_t>(syscall(SYS_gettid));
}

std::size_t EnumProcessThreads(pid_t* ThreadIds, std::size_t MaxCount) noexcept {
    const int Dir = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir < 0)
        return 0;
    std::size_t Count = 0;
    alignas(8) char Buffer[4096];
    for (;;) {
        const long Read = syscall(SYS_getdents64, Dir, Buffer, sizeof Buffer);
        if (Read <= 0)
            break;
        for (long Offset = 0; Offset < Read;) {
            // struct linux_dirent64: inode (8), offset (8), record length (2), type (1), name.
            std::uint16_t RecordLength = 0;
            __builtin_memcpy(&RecordLength, Buffer + Offset + 16, sizeof RecordLength);
            if (RecordLength == 0 || Offset + RecordLength > Read)
                break;
            const char* Name = Buffer + Offset + 19;
            long Id = 0;
            bool Digits = *Name != '\0';
            for (const char* C = Name; *C != '\0' && Digits; ++C) {
                Digits = *C >= '0' && *C <= '9' && Id < 0x7fffffff / 10;
                Id = Id * 10 + (*C - '0');
            }
            if (Digits && Count < MaxCount)
                ThreadIds[Count++] = static_cast<pid_t>(Id);
            Offset += RecordLength;
        }
    }
    close(Dir);
    return Count;
}

std::int64_t MonotonicMs() noexcept {
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    return static_cast<std::int64_t>(Now.tv_sec) * 1000 + Now.tv_nsec / 1000000;
}

std::uint32_t PauseAnswerCount() noexcept {
    return AnswerCount.load(std::memory_order_acquire);
}

void AwaitPauseAnswer(std::uint32_t Seen, std::int64_t DeadlineMs) noexcept {
    const std::int64_t Left = DeadlineMs - MonotonicMs();
    if (Left <= 0)
        return;
    const timespec Timeout{static_cast<time_t>(Left / 1000), static_cast<long>(Left % 1000) * 1000000};
    FutexWait(AnswerCount, Seen, &Timeout);
}

bool ThreadSystemName(pid_t ThreadId, char* Name, std::size_t Size) noexcept {
    if (Size == 0)
        return false;
    Name[0] = '\0';
    char Path[48] = "/proc/self/task/";
    std::size_t Length = 16;
    char Digits[12];
    std::size_t Count = 0;
    for (auto Id = static_cast<std::uint32_t>(ThreadId); Count == 0 || Id != 0; Id /= 10)
        Digits[Count++] = static_cast<char>('0' + Id % 10);
    while (Count > 0)
        Path[Length++] = Digits[--Count];
    for (const char* Tail = "/comm"; *Tail != '\0'; ++Tail)
        Path[Length++] = *Tail;
    Path[Length] = '\0';
    const std::ptrdiff_t Read = KroReadFileInto(Path, Name, Size);
    if (Read <= 0)
        return false;
    std::size_t End = static_cast<std::size_t>(Read);
    while (End > 0 && (Name[End - 1] == '\n' || Name[End - 1] == '\0'))
        --End;
    Name[End] = '\0';
    return true;
}

TThreadPause::~TThreadPause() {
    Resume();
}

bool TThreadPause::Request(pid_t ThreadId) noexcept {
    Resume();
    if (ThreadId <= 0 || ThreadId == CurrentThreadId() || !InstallThreadPauseHandler())
        return false;
    int Claimed = -1;
    for (std::size_t I = 0; I < SlotCount && Claimed < 0; ++I) {
        std::uint64_t Free = 0;
        if (Slots[I].Word.compare_exchange_strong(Free, MakeWord(ThreadId, StateReserved), std::memory_order_acq_rel))
            Claimed = static_cast<int>(I);
    }
    if (Claimed < 0)
        return false;
    TPauseSlot& Request = Slots[Claimed];
    Request.Answered.store(0, std::memory_order_relaxed);
    Request.Release.store(0, std::memory_order_relaxed);
    Request.Word.store(MakeWord(ThreadId, StateRequested), std::memory_order_release);
    if (syscall(SYS_tgkill, getpid(), ThreadId, ThreadPauseSignal()) != 0) {
        Request.Word.store(0, std::memory_order_release);
        return false;
    }
    Pending = Claimed;
    Thread = ThreadId;
    return true;
}

bool TThreadPause::Answered() noexcept {
    if (Slot >= 0)
        return true;
    if (Pending < 0)
        return false;
    TPauseSlot& Request = Slots[Pending];
    if (Request.Word.load(std::memory_order_acquire) != MakeWord(Thread, StateCaptured))
        return false;
    Captured = Request.Registers;
    Slot = Pending;
    Pending = -1;
    return true;
}

void TThreadPause::Withdraw() noexcept {
    if (Pending < 0)
        return;
    TPauseSlot& Request = Slots[Pending];
    const pid_t ThreadId = Thread;
    Pending = -1;
    // A handler that comes later finds nothing to answer.
    std::uint64_t Expected = MakeWord(ThreadId, StateRequested);
    if (Request.Word.compare_exchange_strong(Expected, 0, std::memory_order_acq_rel))
        return;
    // The handler has taken the request (it is copying the registers, or has answered just now): it is told to run on
    // as soon as it is done, and frees the slot itself.
    Request.Release.store(1, std::memory_order_release);
    FutexWake(Request.Release);
}

bool TThreadPause::Pause(pid_t ThreadId, std::uint32_t TimeoutMs) noexcept {
    if (!Request(ThreadId))
        return false;
    const std::int64_t Deadline = MonotonicMs() + TimeoutMs;
    TPauseSlot& Request = Slots[Pending];
    while (!Answered()) {
        const std::int64_t Left = Deadline - MonotonicMs();
        if (Left <= 0) {
            Withdraw();
            return false;
        }
        const timespec Timeout{static_cast<time_t>(Left / 1000), static_cast<long>(Left % 1000) * 1000000};
        FutexWait(Request.Answered, 0, &Timeout);
    }
    return true;
}

void TThreadPause::Resume() noexcept {
    Withdraw();
    if (Slot < 0)
        return;
    TPauseSlot& Request = Slots[Slot];
    Slot = -1;
    Request.Release.store(1, std::memory_order_release);
    FutexWake(Request.Release);
}
