#include "KroExceptThread.h"

#include "KroExceptionRequest.h"
#include "KroFaultSignals.h"
#include "KroHandlerWindows.h"
#include "KroLockWaitWatch.h"
#include "KroThreadContext.h"
#include "KroThreadRegistry.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

namespace {

// A request on its way to the exception thread and back. The reporting thread fills it and waits; the exception
// thread takes it, handles it and marks it done. Kept in static storage rather than on the reporting thread's stack: a
// reporter that gives up on a stuck exception thread goes on (and its stack with it), while the exception thread may
// still come back to the request later.
enum TSlotState : int { SlotFree, SlotClaimed, SlotQueued, SlotTaken, SlotDone, SlotAbandoned };

struct TRequestSlot {
    std::atomic<int> State{SlotFree};
    std::atomic<int> Event{-1}; // an eventfd made on the slot's first use and kept, so it is never another file
    TExceptionRequest Request;
};

// More reports waiting at once than this is not a case to plan for: the others are made by their own threads.
constexpr std::size_t SlotCount = 64;
TRequestSlot Slots[SlotCount];

// What goes through the pipe, one unit (far below the size a pipe writes whole).
struct TPipeRecord {
    std::int32_t Slot;     // the request's slot, plus 1; 0 stops the thread
    std::int32_t ThreadId; // the reporting thread
};
static_assert(sizeof(TPipeRecord) <= PIPE_BUF);

// How long a reporter waits in one step before it serves its own call queue and looks at the exception thread.
constexpr int WaitStepMs = 50;
constexpr int StopWaitMs = 500;
// How long the exception thread may sit in one lock wait, without running, before a reporter counts it as stuck (on
// a lock that a paused thread holds) and reports by itself. A lock a report may wait for is held for moments.
constexpr std::uint32_t StuckAfterMs = 1500;

int ReadEnd = -1;
int WriteEnd = -1;
pthread_t Thread{};
std::atomic<pid_t> ThreadId{-1};
std::atomic<bool> Running{false};
std::atomic<TExceptionRequestHandler> RequestHandler{nullptr};
// A forked child shares the pipe but has no exception thread: the process that started it.
std::atomic<pid_t> Owner{0};

void Signal(int Event) {
    const std::uint64_t One = 1;
    while (write(Event, &One, sizeof One) < 0 && errno == EINTR) {
    }
}

void Drain(int Event) {
    std::uint64_t Count = 0;
    [[maybe_unused]] const ssize_t Read = read(Event, &Count, sizeof Count);
}

void HandleSlot(TRequestSlot& Slot, TExceptionRequestHandler Handler) {
    int Expected = SlotQueued;
    if (!Slot.State.compare_exchange_strong(Expected, SlotTaken)) {
        Slot.State.store(SlotFree); // its reporter gave up before it came to its turn
        return;
    }
    if (Handler != nullptr)
        Handler(Slot.Request);
    Expected = SlotTaken;
    if (Slot.State.compare_exchange_strong(Expected, SlotDone))
        Signal(Slot.Event.load());
    else
        Slot.State.store(SlotFree); // its reporter gave up meanwhile and made its report itself
}

void* ExceptionThreadMain(void*) {
    const pid_t Self = CurrentThreadId();
    ThreadId.store(Self);
    RegisterThreadInfo(Self, static_cast<std::uintptr_t>(pthread_self()), "-", 0, 0, nullptr);
    // A fault of the reporter itself outside its guarded steps still finds a stack to be handled on.
    InstallThreadAltStack();
    for (;;) {
        TPipeRecord Record{};
        if (!ReadWhole(ReadEnd, &Record, sizeof Record) || Record.Slot == 0)
            break;
        if (Record.Slot > 0 && static_cast<std::size_t>(Record.Slot) <= SlotCount)
            HandleSlot(Slots[Record.Slot - 1], RequestHandler.load());
    }
    Running.store(false);
    return nullptr;
}

bool WriteRecord(const TPipeRecord& Record) {
    for (;;) {
        const ssize_t Written = write(WriteEnd, &Record, sizeof Record);
        if (Written == static_cast<ssize_t>(sizeof Record))
            return true;
        if (Written < 0 && errno == EINTR)
            continue;
        return false;
    }
}

// A free slot with its eventfd, claimed for the calling thread; null when there is none.
TRequestSlot* ClaimSlot() {
    for (TRequestSlot& Slot : Slots) {
        int Free = SlotFree;
        if (!Slot.State.compare_exchange_strong(Free, SlotClaimed))
            continue;
        int Event = Slot.Event.load();
        if (Event < 0) {
            Event = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            if (Event < 0) {
                Slot.State.store(SlotFree);
                return nullptr;
            }
            Slot.Event.store(Event);
        }
        Drain(Event);
        return &Slot;
    }
    return nullptr;
}

// Gives a request up: true when the exception thread will not handle it (any more), false when it is done already.
bool Abandon(TRequestSlot& Slot) {
    for (int Expected : {static_cast<int>(SlotQueued), static_cast<int>(SlotTaken)})
        if (Slot.State.compare_exchange_strong(Expected, SlotAbandoned))
            return true;
    return false;
}

} // namespace

bool ReadWhole(int File, void* Buffer, std::size_t Size) noexcept {
    auto* Bytes = static_cast<unsigned char*>(Buffer);
    std::size_t Done = 0;
    while (Done < Size) {
        const ssize_t Got = read(File, Bytes + Done, Size - Done);
        if (Got > 0)
            Done += static_cast<std::size_t>(Got);
        else if (Got < 0 && errno == EINTR)
            continue;
        else
            return false;
    }
    return true;
}

bool StartExceptionThread(TExceptionRequestHandler Handler) {
    if (Running.load())
        return true;
    RequestHandler.store(Handler);
    int Pipe[2];
    if (pipe2(Pipe, O_CLOEXEC) != 0)
        return false;
    ReadEnd = Pipe[0];
    WriteEnd = Pipe[1];
    Running.store(true);
    Owner.store(getpid());
    if (pthread_create(&Thread, nullptr, &ExceptionThreadMain, nullptr) != 0) {
        Running.store(false);
        close(ReadEnd);
        close(WriteEnd);
        ReadEnd = WriteEnd = -1;
        return false;
    }
    return true;
}

void StopExceptionThread() {
    if (WriteEnd < 0)
        return;
    if (Owner.load() != getpid()) {
        // A child of fork has no exception thread: the pipe's ends are copies of its parent's, and a stop request on
        // them would end the parent's thread.
        close(WriteEnd);
        close(ReadEnd);
        WriteEnd = ReadEnd = -1;
        Running.store(false);
        ThreadId.store(-1);
        return;
    }
    const pid_t Id = ThreadId.load();
    if (Running.load() && WriteRecord(TPipeRecord{})) {
        timespec Deadline{};
        clock_gettime(CLOCK_REALTIME, &Deadline);
        Deadline.tv_nsec += StopWaitMs * 1000000L;
        Deadline.tv_sec += Deadline.tv_nsec / 1000000000L;
        Deadline.tv_nsec %= 1000000000L;
        if (pthread_timedjoin_np(Thread, nullptr, &Deadline) != 0)
            pthread_detach(Thread); // still busy with a report: the process ends around it
    } else
        pthread_detach(Thread);
    close(WriteEnd);
    WriteEnd = -1;
    // The read end stays while a detached thread may still read it; the process's end closes it.
    if (!Running.load()) {
        close(ReadEnd);
        ReadEnd = -1;
    }
    if (Id > 0)
        RemoveThreadInfo(Id);
    ThreadId.store(-1);
}

bool IsExceptionThread() noexcept {
    const pid_t Id = ThreadId.load();
    return Id > 0 && Id == CurrentThreadId();
}

bool DispatchExceptionRequest(TExceptionRequest& Request) {
    if (!Running.load() || WriteEnd < 0 || Owner.load() != getpid() || IsExceptionThread())
        return false;
    TRequestSlot* Slot = ClaimSlot();
    if (Slot == nullptr)
        return false;
    Slot->Request = Request;
    Slot->State.store(SlotQueued);
    const int Event = Slot->Event.load();
    if (!WriteRecord(
            TPipeRecord{static_cast<std::int32_t>(Slot - Slots) + 1, static_cast<std::int32_t>(CurrentThreadId())})) {
        Slot->State.store(SlotFree);
        return false;
    }
    // The wait is bounded by the exception thread's answer: as long as it works, waits for the user or takes other
    // requests first, this waits with it; should it be stuck on a lock (a paused thread holds it), the request is
    // given up and made here.
    // The exception thread makes its id known only once it first runs: a request that comes sooner (a fault right
    // after the start, on a loaded machine) watches it from then on, and one that does not come up at all within the
    // time a stuck thread is given is not waited for either.
    pid_t Watched = ThreadId.load();
    TLockWaitWatch Watch(Watched);
    const std::int64_t Since = MonotonicMs();
    for (;;) {
        // The queues' lock is never waited for here: the reporting thread may have failed while holding it.
        const int Queue = HandlerWindowEventFd(true);
        pollfd Waits[2] = {{Event, POLLIN, 0}, {Queue, POLLIN, 0}};
        poll(Waits, Queue >= 0 ? 2 : 1, WaitStepMs);
        if (Slot->State.load() == SlotDone)
            break;
        if (Queue >= 0)
            ServeHandlerMessages(true);
        const bool Ended = !Running.load();
        if (const pid_t Current = ThreadId.load(); Current != Watched) {
            Watched = Current;
            Watch = TLockWaitWatch(Watched);
        }
        const bool Absent = Watched <= 0 && MonotonicMs() - Since >= static_cast<std::int64_t>(StuckAfterMs);
        if ((Ended || Absent || Watch.Stuck(StuckAfterMs)) && Abandon(*Slot))
            return false;
    }
    Drain(Event);
    Request = Slot->Request;
    Slot->State.store(SlotFree);
    return true;
}
