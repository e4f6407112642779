#include "KroExceptThread.h"

#include "KroFaultSignals.h"
#include "KroHandlerWindows.h"
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

// What goes through the pipe, one unit (far below the size a pipe writes whole).
struct TPipeRecord {
    std::int32_t Event;    // the eventfd signalled when the request is done, plus 1; 0 stops the thread
    std::int32_t ThreadId; // the reporting thread
    TExceptionRequest* Request;
};
static_assert(sizeof(TPipeRecord) <= PIPE_BUF);

// How long a reporter waits in one step before it serves its own call queue.
constexpr int WaitStepMs = 50;
constexpr int StopWaitMs = 500;

int ReadEnd = -1;
int WriteEnd = -1;
pthread_t Thread{};
std::atomic<pid_t> ThreadId{-1};
std::atomic<bool> Running{false};
std::atomic<TExceptionRequestHandler> RequestHandler{nullptr};
// A forked child shares the pipe but has no exception thread: the process that started it.
std::atomic<pid_t> Owner{0};

void* ExceptionThreadMain(void*) {
    const pid_t Self = CurrentThreadId();
    ThreadId.store(Self);
    RegisterThreadInfo(Self, static_cast<std::uintptr_t>(pthread_self()), "-", 0, 0, nullptr);
    // A fault of the reporter itself outside its guarded steps still finds a stack to be handled on.
    InstallThreadAltStack();
    for (;;) {
        TPipeRecord Record{};
        if (!ReadWhole(ReadEnd, &Record, sizeof Record) || Record.Event == 0)
            break;
        if (const TExceptionRequestHandler Handler = RequestHandler.load(); Record.Request != nullptr && Handler)
            Handler(*Record.Request);
        // The reporter may go on (and its request with it) as soon as this is written.
        const std::uint64_t One = 1;
        while (write(Record.Event - 1, &One, sizeof One) < 0 && errno == EINTR) {
        }
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
    const int Event = eventfd(0, EFD_CLOEXEC);
    if (Event < 0)
        return false;
    TPipeRecord Record{Event + 1, static_cast<std::int32_t>(CurrentThreadId()), &Request};
    if (!WriteRecord(Record)) {
        close(Event);
        return false;
    }
    bool Done = false;
    for (;;) {
        // The queues' lock is never waited for here: the reporting thread may have failed while holding it.
        const int Queue = HandlerWindowEventFd(true);
        pollfd Waits[2] = {{Event, POLLIN, 0}, {Queue, POLLIN, 0}};
        const int Ready = poll(Waits, Queue >= 0 ? 2 : 1, WaitStepMs);
        if (Ready > 0 && (Waits[0].revents & POLLIN) != 0) {
            Done = true;
            break;
        }
        if (Queue >= 0)
            ServeHandlerMessages(true);
        if (!Running.load()) {
            // The thread ended; it may have signalled just before.
            pollfd Last{Event, POLLIN, 0};
            Done = poll(&Last, 1, 0) > 0;
            break;
        }
    }
    close(Event);
    return Done;
}
