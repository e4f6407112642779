// crashtest: crashes on purpose, in the way its first argument names, so that the crash reporter's report of each
// kind of crash can be seen and checked. The lines marked "crash-mark" are where each crash happens; the tests look
// for those lines in the reports.
//
//   crashtest MODE [--thread] [--console] [--box] [--no-box] [--file PATH] [--history] [--countdown SECONDS]
//             [--mail DNSPORT SMTPPORT] [--mail-login SMTPPORT ACCOUNT PASSWORD] [--automail]
//
// MODE: null-read, null-write, divide, illegal, breakpoint, abort, throw, thread-routine, qt-slot, stack-overflow,
// lock, reporter, trace, two-threads (two worker threads fault at the same moment), freeze (the main thread's event
// loop stops answering for a while), wait (prints "waiting PID" and sleeps up to a minute for a signal that another
// process sends), fork (a child of fork ends normally, a second one crashes, then the program itself crashes), atexit
// and destructor (the program ends normally and faults in a function that atexit() runs, or in a static object's
// destructor), three-faults (three worker threads fault at the same moment while threads that a library's
// constructor started before the reporter stand by), deaf-faults (the same with a thread that blocks every signal
// standing by), stuck-reporter (the report's listing step waits for a lock that a thread the report paused holds),
// many-threads (a hundred threads stand by and one traces its own stack over and over while the main thread faults
// holding the thread registry's lock).
// --thread crashes in a worker thread instead of the main thread. --console writes
// the box's texts and the report to standard output (no display is used); --box shows the exception box on the
// display; --no-box shows nothing; --file PATH saves every report to PATH. --history first prints the process id, how
// many reports the exception history holds, and the process it replaces after a restart with whether that one still
// runs ("started PID history N after OLDPID running|ended"). --countdown makes "continue" the default button,
// pressing itself after SECONDS. --mail sends reports to bugs@crashtest.example through the loopback peers of
// tests/crashreport/mailpeers.py (their DNS and SMTP ports), straight by SMTP only; --mail-login sends them through
// the configured SMTP server on this machine's SMTPPORT instead, logging in with AUTH LOGIN; --automail mails every
// report silently as soon as it is made.

#include "KroConsoleOutput.h"
#include "KroExceptAdapter.h"
#include "KroExceptHooks.h"
#include "KroExceptSettings.h"
#include "KroLinkDisAsm.h"
#include "KroRestartHandOver.h"
#include "KroStackTrace.h"
#include "KroThreadRegistry.h"
#include "PyxApplication.h"
#include "crashtest_early.h"

#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <mutex>
#include <pthread.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace CrashTest {

volatile int Zero = 0;
int* volatile NullPointer = nullptr;
std::atomic<int> Sink{0};

// The faults below are the point of this program: the sanitizers' checks must not stop them before they happen, so
// that the crash reporter's handler sees the real fault.
#define CRASH_ON_PURPOSE __attribute__((noinline, no_sanitize("undefined")))

CRASH_ON_PURPOSE void NullRead() {
    Sink += *NullPointer; // crash-mark: NullRead
    Sink += 1;
}

CRASH_ON_PURPOSE void NullWrite() {
    *NullPointer = 42; // crash-mark: NullWrite
    Sink += 1;
}

CRASH_ON_PURPOSE void Divide() {
    Sink += 100 / Zero; // crash-mark: Divide
    Sink += 1;
}

__attribute__((noinline)) void Illegal() {
    __builtin_trap(); // crash-mark: Illegal
}

__attribute__((noinline)) void Breakpoint() {
    asm volatile("int3"); // crash-mark: Breakpoint
    Sink += 1;
}

__attribute__((noinline)) void Abort() {
    std::abort(); // crash-mark: Abort
}

__attribute__((noinline)) void Throw() {
    throw std::runtime_error("Nobody catches this"); // crash-mark: Throw
}

__attribute__((noinline)) int Recurse(int Depth) { // crash-mark: Recurse
    volatile char Block[1024];
    Block[0] = static_cast<char>(Depth);
    if (Depth < 0) // never: only the stack's end stops it
        return 0;
    const int Result = Recurse(Depth + 1) + Block[0];
    return Result; // crash-mark: RecurseEnd
}

__attribute__((noinline)) void StackOverflow() {
    Sink += Recurse(0); // crash-mark: StackOverflow
}

// The reporter calls this to list the failing function; it faults instead.
CRASH_ON_PURPOSE std::string FaultyDisassembly(std::uintptr_t, std::uintptr_t, std::int32_t, bool) {
    *NullPointer = 7; // crash-mark: FaultyDisassembly
    return {};
}

CRASH_ON_PURPOSE void FaultInReporter() {
    ExceptSettings.DisAsmCallback = &FaultyDisassembly;
    *NullPointer = 1; // crash-mark: FaultInReporter
    Sink += 1;
}

// Threads that stand by while another one crashes: one blocked on a condition, one holding a lock, one busy in the
// allocator (all threads share one heap arena, so the allocator's lock is the one a report would need).
std::mutex StandByLock;
std::condition_variable StandByCondition;
bool StandByEnd = false;
std::mutex HeldLock;
std::atomic<bool> HeapBusy{false};
// How many threads stand by on the condition (each counts itself holding StandByLock, which only the wait releases).
int StandingBy = 0;

void IdleWorker() {
    std::unique_lock<std::mutex> Lock(StandByLock);
    ++StandingBy;
    StandByCondition.wait(Lock, [] { return StandByEnd; }); // crash-mark: IdleWorker
}

void LockHolder() {
    std::lock_guard<std::mutex> Held(HeldLock);
    std::unique_lock<std::mutex> Lock(StandByLock);
    ++StandingBy;
    StandByCondition.wait(Lock, [] { return StandByEnd; }); // crash-mark: LockHolder
}

// Returns once Count threads wait on the condition: a report then finds them inside the C library's wait.
void AwaitStandingBy(int Count) {
    for (;; std::this_thread::yield()) {
        std::lock_guard<std::mutex> Lock(StandByLock);
        if (StandingBy >= Count)
            return;
    }
}

void HeapWorker() {
    std::vector<void*> Blocks(64, nullptr);
    unsigned Seed = 1;
    HeapBusy = true;
    for (;;) {
        Seed = Seed * 1103515245 + 12345;
        void*& Block = Blocks[Seed % Blocks.size()];
        std::free(Block);                      // crash-mark: HeapFree
        Block = std::malloc(16 + Seed % 4000); // crash-mark: HeapWorker
    }
}

class TSlotThrower final : public QObject {
public:
    __attribute__((noinline)) void Fire() {
        throw std::runtime_error("The slot failed"); // crash-mark: SlotThrow
    }
};

class TCrashThread final : public QThread {
protected:
    void run() override {
        pthread_setname_np(pthread_self(), "crash worker");
        exec(); // crash-mark: QtWorkerExec
        Sink += 1;
    }
};

int RunQtSlot(int& Argc, char** Argv, bool InThread) {
    TPyxApplication Application(Argc, Argv);
    TSlotThrower Thrower;
    TCrashThread Worker;
    if (InThread) {
        Worker.start(); // crash-mark: StartQtWorker
        Thrower.moveToThread(&Worker);
    }
    QTimer::singleShot(0, &Thrower, [&Thrower] { Thrower.Fire(); });
    // The report returns (a slot's exception leaves the program whole); then the program ends on its own.
    QTimer::singleShot(300, &Application, [] { QCoreApplication::quit(); });
    const int Result = Application.exec(); // crash-mark: QtExec
    if (InThread) {
        Worker.quit();
        Worker.wait();
    }
    std::printf("continued\n");
    return Result;
}

// The main thread stops answering: its event loop is held up in one slot.
__attribute__((noinline)) void Freeze() {
    const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    while (std::chrono::steady_clock::now() < End)
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // crash-mark: Freeze
}

int RunFreeze(int& Argc, char** Argv) {
    TPyxApplication Application(Argc, Argv);
    QTimer::singleShot(600, &Application, [] { Freeze(); });
    QTimer::singleShot(800, &Application, [] { QCoreApplication::quit(); });
    const int Result = Application.exec();
    std::printf("continued\n");
    return Result;
}

// Two threads fault at the same moment: each gets its report, one after the other.
std::atomic<int> AtTheLine{0};

__attribute__((noinline)) void FaultTogether(const char* Name) {
    pthread_setname_np(pthread_self(), Name);
    AtTheLine.fetch_add(1);
    while (AtTheLine.load() < 2) {
    }
    NullWrite();
}

void TwoThreads() {
    std::thread First(FaultTogether, "first faulter");   // crash-mark: StartFirst
    std::thread Second(FaultTogether, "second faulter"); // crash-mark: StartSecond
    First.join();
    Second.join();
}

// Three threads fault at the same moment: each gets its report, one after the other, and the program goes on.
std::atomic<int> AtTheStart{0};

__attribute__((noinline)) void FaultWithTwoOthers(const char* Name) {
    pthread_setname_np(pthread_self(), Name);
    AtTheStart.fetch_add(1);
    while (AtTheStart.load() < 3) {
    }
    NullWrite();
}

// A thread that blocks every signal: a report cannot pause it, and must not wait long for it.
std::atomic<bool> DeafListening{false};
std::atomic<bool> DeafEnd{false};

void DeafWorker() {
    sigset_t Every;
    sigfillset(&Every);
    pthread_sigmask(SIG_BLOCK, &Every, nullptr);
    pthread_setname_np(pthread_self(), "deaf worker");
    DeafListening = true;
    while (!DeafEnd)
        std::this_thread::sleep_for(std::chrono::milliseconds(2)); // crash-mark: DeafWorker
}

void ThreeFaults(bool Deaf) {
    while (EarlyThreadsStandingBy() < 2)
        std::this_thread::yield();
    std::thread Unanswering;
    if (Deaf) {
        Unanswering = std::thread(DeafWorker);
        while (!DeafListening)
            std::this_thread::yield();
    }
    const auto Start = std::chrono::steady_clock::now();
    std::thread First(FaultWithTwoOthers, "faulter one");   // crash-mark: StartFaulterOne
    std::thread Second(FaultWithTwoOthers, "faulter two");  // crash-mark: StartFaulterTwo
    std::thread Third(FaultWithTwoOthers, "faulter three"); // crash-mark: StartFaulterThree
    First.join();
    Second.join();
    Third.join();
    const auto Took = std::chrono::steady_clock::now() - Start;
    std::printf("reports took %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(Took).count()));
    DeafEnd = true;
    if (Unanswering.joinable())
        Unanswering.join();
}

// The report's listing step needs a lock that a thread the report paused holds, as a library's routine might: the
// exception thread stops there for good, and the failing thread, no longer answered, reports by itself (its own
// listing does not wait).
std::atomic<pid_t> FailingThread{0};

std::string ListingThatWaits(std::uintptr_t Function, std::uintptr_t Except, std::int32_t Lines, bool Labels) {
    if (gettid() != FailingThread.load()) {
        const std::lock_guard<std::mutex> Wait(HeldLock); // crash-mark: StuckListing
    }
    return KroDisAsmCallback(Function, Except, Lines, Labels);
}

CRASH_ON_PURPOSE void StuckReporter() {
    ExceptSettings.DisAsmCallback = &ListingThatWaits;
    FailingThread = gettid();
    *NullPointer = 3; // crash-mark: StuckReporter
    Sink += 1;
}

// A program of many threads, one of which traces its own stack over and over (as a program that logs where it stands
// does), faults in its main thread while it holds the thread registry's lock (as a signal finds a thread in the middle
// of naming one). A report pauses the tracer inside its trace, and each thread's trace and title would need one of
// those locks.
constexpr int ManyThreadCount = 100;
std::atomic<bool> SelfTracing{false};

void SelfTracer() {
    pthread_setname_np(pthread_self(), "self tracer");
    const TStackTraceRequest Request;
    std::string Trace;
    for (;;) {
        ComputeStackTrace(Request, Trace); // crash-mark: SelfTrace
        SelfTracing = true;
    }
}

CRASH_ON_PURPOSE void FaultInRegistry() {
    if (!LockThreadRegistry(1000))
        std::printf("the registry's lock could not be had\n");
    *NullPointer = 5; // crash-mark: FaultInRegistry
    Sink += 1;
}

__attribute__((noinline)) void ManyThreads() {
    // Neither ever ends: the fault ends the process.
    auto* Idle = new std::vector<std::thread>;
    for (int Thread = 0; Thread < ManyThreadCount; ++Thread)
        Idle->emplace_back(IdleWorker); // crash-mark: StartMany
    AwaitStandingBy(ManyThreadCount + 1);
    std::thread(SelfTracer).detach(); // crash-mark: StartSelfTracer
    while (!SelfTracing)
        std::this_thread::yield();
    std::printf("faulting\n");
    std::fflush(stdout);
    FaultInRegistry(); // crash-mark: ManyThreads
}

// A thread of the system's own kind (not a std::thread): an exception may leave its routine.
__attribute__((noinline)) void* ThrowingRoutine(void*) {
    throw std::runtime_error("The thread's routine failed"); // crash-mark: RoutineThrow
}

// The main thread sleeps where a signal from another process finds it.
__attribute__((noinline)) void WaitForSignal() {
    std::printf("waiting %d\n", static_cast<int>(getpid()));
    for (int Round = 0; Round < 6000; ++Round)
        usleep(10000); // crash-mark: Wait
}

int ExitStatus(int Status) {
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
}

// Two children of fork: one that starts a thread and ends normally (its shutdown must leave the parent's reporter
// alone), and one that crashes (its report is its own). Then the program goes on to crash itself (Crash).
__attribute__((noinline)) void ForkChildren() {
    // The reporter's own thread has just started: let it settle first (a sanitizer's allocator is not safe to fork
    // while another thread is inside it).
    usleep(200000);
    const pid_t Quiet = fork();
    if (Quiet == 0) {
        std::thread([] {}).join();
        std::exit(0);
    }
    int Status = 0;
    waitpid(Quiet, &Status, 0);
    std::printf("child %d ended %d\n", static_cast<int>(Quiet), ExitStatus(Status));
    const pid_t Crashing = fork(); // crash-mark: ForkCrashing
    if (Crashing == 0) {
        NullWrite(); // crash-mark: ChildCrash
        _exit(0);
    }
    waitpid(Crashing, &Status, 0);
    std::printf("child %d ended %d\n", static_cast<int>(Crashing), ExitStatus(Status));
}

// The program's last steps fault: a function that atexit() runs, or a static object's destructor.
CRASH_ON_PURPOSE void FaultAtExit() {
    *NullPointer = 3; // crash-mark: AtExit
    Sink += 1;
}

struct TFaultyOnExit {
    bool Armed = false;
    CRASH_ON_PURPOSE ~TFaultyOnExit() {
        if (Armed)
            *NullPointer = 4; // crash-mark: Destructor
        Sink += 1;
    }
};
TFaultyOnExit FaultyOnExit;

// The dispatcher reserves stack space it never writes, as a sanitizer's red zones or a large buffer do: the frames of
// the calls made before it (naming the thread, starting the reporter) stay there, chained as well as live ones, and
// the report must still show the calls that led to the crash.
void Crash(const std::string& Mode) {
    char Unwritten[2048];
    asm volatile("" : : "r"(Unwritten) : "memory");
    if (Mode == "null-read")
        NullRead();
    else if (Mode == "null-write" || Mode == "lock")
        NullWrite();
    else if (Mode == "divide")
        Divide();
    else if (Mode == "illegal")
        Illegal();
    else if (Mode == "breakpoint")
        Breakpoint();
    else if (Mode == "abort")
        Abort();
    else if (Mode == "throw")
        Throw();
    else if (Mode == "stack-overflow")
        StackOverflow();
    else if (Mode == "reporter")
        FaultInReporter();
    else if (Mode == "two-threads")
        TwoThreads();
    else if (Mode == "three-faults" || Mode == "deaf-faults")
        ThreeFaults(Mode == "deaf-faults");
    else if (Mode == "many-threads")
        ManyThreads();
    else if (Mode == "stuck-reporter")
        StuckReporter();
    else if (Mode == "thread-routine") {
        pthread_t Thread;
        pthread_create(&Thread, nullptr, &ThrowingRoutine, nullptr); // crash-mark: StartRoutine
        void* Result = nullptr;
        pthread_join(Thread, &Result);
        std::printf("thread result %ld\n", static_cast<long>(reinterpret_cast<std::intptr_t>(Result)));
    } else if (Mode == "trace")
        WriteConsoleText(TraceProcessReport() + "\r\n"); // crash-mark: Trace
    else if (Mode == "wait")
        WaitForSignal(); // crash-mark: StartWait
    else if (Mode == "fork")
        NullRead(); // crash-mark: AfterFork
    else if (Mode == "atexit")
        std::atexit(&FaultAtExit);
    else if (Mode == "destructor")
        FaultyOnExit.Armed = true;
}

// Work after the call keeps it a call (an optimiser makes a last call a jump, which leaves no frame to list).
__attribute__((noinline)) void CrashWorker(const std::string& Mode) {
    pthread_setname_np(pthread_self(), "crash worker");
    Crash(Mode); // crash-mark: CrashWorker
    Sink += 1;
}

// Whether a process runs: it exists and has not ended (a process nobody has collected yet is a zombie).
bool ProcessRuns(pid_t Process) {
    const std::string Path = "/proc/" + std::to_string(Process) + "/stat";
    std::FILE* Stat = std::fopen(Path.c_str(), "r");
    if (Stat == nullptr)
        return false;
    char Line[512] = {};
    const bool Read = std::fgets(Line, sizeof Line, Stat) != nullptr;
    std::fclose(Stat);
    const char* Close = Read ? std::strrchr(Line, ')') : nullptr;
    return Close != nullptr && Close[1] == ' ' && Close[2] != 'Z' && Close[2] != 'X';
}

} // namespace CrashTest

int main(int Argc, char** Argv) {
    using namespace CrashTest;
    if (Argc < 2) {
        std::fprintf(stderr,
                     "usage: crashtest MODE [--thread] [--console] [--box] [--no-box] [--file PATH] [--history] "
                     "[--countdown SECONDS] [--mail DNSPORT SMTPPORT] [--mail-login SMTPPORT ACCOUNT PASSWORD] "
                     "[--automail]\n");
        return 2;
    }
    const std::string Mode = Argv[1];
    bool InThread = false;
    bool History = false;
    for (int I = 2; I < Argc; ++I) {
        const std::string Option = Argv[I];
        if (Option == "--thread") {
            InThread = true;
        } else if (Option == "--console") {
            ExceptSettings.ShowExceptBox = true;
            ExceptSettings.ConsoleOutput = true;
            unsetenv("DISPLAY");
        } else if (Option == "--box") {
            ExceptSettings.ShowExceptBox = true;
        } else if (Option == "--no-box") {
            ExceptSettings.ShowExceptBox = false;
        } else if (Option == "--history") {
            History = true;
        } else if (Option == "--countdown" && I + 1 < Argc) {
            ExceptSettings.AutoContinue = true;
            ExceptSettings.AutoButtonDelay = std::atoi(Argv[++I]);
        } else if (Option == "--mail" && I + 2 < Argc) {
            ExceptSettings.MailAddress.Assign("bugs@crashtest.example");
            ExceptSettings.DnsRootServers = "127.0.0.1";
            ExceptSettings.DnsPort = std::atoi(Argv[++I]);
            ExceptSettings.DirectSmtpPort = std::atoi(Argv[++I]);
            ExceptSettings.MailViaDirectSmtp = true;
            ExceptSettings.MailViaSmtpServer = false;
            ExceptSettings.MailViaMapi = false;
            ExceptSettings.MailViaMailto = false;
        } else if (Option == "--mail-login" && I + 3 < Argc) {
            ExceptSettings.MailAddress.Assign("bugs@crashtest.example");
            ExceptSettings.SmtpServer.Assign("127.0.0.1");
            ExceptSettings.SmtpPort = std::atoi(Argv[++I]);
            ExceptSettings.SmtpAccount.Assign(Argv[++I]);
            ExceptSettings.SmtpPassword.Assign(Argv[++I]);
            ExceptSettings.MailViaDirectSmtp = false;
            ExceptSettings.MailViaSmtpServer = true;
            ExceptSettings.MailViaMapi = false;
            ExceptSettings.MailViaMailto = false;
        } else if (Option == "--automail") {
            ExceptSettings.AutoMail = true;
        } else if (Option == "--file" && I + 1 < Argc) {
            ExceptSettings.AutoSave = true;
            ExceptSettings.BugReportFile.Assign(Argv[++I]);
        } else {
            std::fprintf(stderr, "crashtest: unknown option %s\n", Option.c_str());
            return 2;
        }
    }
    InstallCrashReporter();
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (History) {
        int Reports = 0;
        for (const std::int64_t Time : ExceptionHistory())
            Reports += Time != 0 ? 1 : 0;
        // The process this one replaces must have ended before it went on.
        const pid_t Before = RestartPredecessor();
        std::printf("started %d history %d after %d %s\n", static_cast<int>(getpid()), Reports,
                    static_cast<int>(Before), Before > 0 && ProcessRuns(Before) ? "running" : "ended");
    }
    if (Mode == "freeze") {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return RunFreeze(Argc, Argv);
    }
    if (Mode == "qt-slot") {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return RunQtSlot(Argc, Argv, InThread);
    }
    if (Mode == "lock")
        mallopt(M_ARENA_MAX, 1);
    // The children are forked while the program has no threads of its own yet (a child's exit would wait for the
    // parent's threads in the program's own condition variable), only the reporter's.
    if (Mode == "fork")
        ForkChildren(); // crash-mark: MainFork

    std::thread Idle(IdleWorker); // crash-mark: StartIdle
    pthread_setname_np(Idle.native_handle(), "idle worker");
    std::thread Holder, Heap;
    if (Mode == "lock") {
        Holder = std::thread(LockHolder); // crash-mark: StartHolder
        Heap = std::thread(HeapWorker);   // crash-mark: StartHeap
        pthread_setname_np(Heap.native_handle(), "heap worker");
        while (!HeapBusy)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (Mode == "stuck-reporter")
        Holder = std::thread(LockHolder);
    AwaitStandingBy(Holder.joinable() ? 2 : 1);
    if (InThread) {
        std::thread Worker(CrashWorker, Mode); // crash-mark: StartWorker
        Worker.join();
    } else {
        Crash(Mode); // crash-mark: MainCrash
    }
    std::printf("continued\n");
    {
        std::lock_guard<std::mutex> Lock(StandByLock);
        StandByEnd = true;
    }
    StandByCondition.notify_all();
    Idle.join();
    if (Holder.joinable())
        Holder.join();
    // The heap worker never ends: the process ends around it, through the normal exit, so the reporter shuts down.
    if (Heap.joinable())
        Heap.detach();
    std::exit(0); // crash-mark: MainExit
}
