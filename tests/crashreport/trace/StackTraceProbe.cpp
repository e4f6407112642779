// Traces itself three calls deep, one of them through a function the compiler inlines (whether it optimises or not),
// prints the trace's entries, and stops with SIGTRAP one call further in, so that a debugger's backtrace of the same
// stack can be compared with the trace.
//
// With the argument "wait" it traces instead a worker thread that waits on a condition variable, two calls deep, and
// stops while the worker still waits there: the worker's frames lie below the C library's, which keeps no frame
// pointers, and the standard library reaches pthread_cond_wait by a jump rather than a call. With "sort" it traces
// and stops inside a comparison function that the C library's qsort calls through functions it keeps to itself;
// with "signal", inside a signal handler, above the C library's raise.
//
// Each entry is printed twice: "TRACE module|unit|line|function" and "ENTRY address module|function" (an entry of a
// function inlined into the next: "INLINED address module|function").
#include "KroStackTrace.h"
#include "KroThreadContext.h"

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace KroProbe {

std::atomic<int> Sink{0};

__attribute__((noinline)) void PrintEntries(const std::vector<TStackTraceEntry>& Entries) {
    for (const TStackTraceEntry& Entry : Entries)
        std::printf("TRACE %s|%s|%d|%s\n", Entry.ModuleName.c_str(), Entry.UnitName.c_str(), Entry.Line,
                    Entry.FunctionName.c_str());
    for (const TStackTraceEntry& Entry : Entries)
        std::printf("%s %lx %s|%s\n", Entry.Inlined ? "INLINED" : "ENTRY", static_cast<unsigned long>(Entry.Address),
                    Entry.ModuleName.c_str(), Entry.FunctionName.c_str());
    std::fflush(stdout);
}

// Traces the calling thread, prints the trace and stops for the debugger.
__attribute__((noinline)) void TraceAndStop(int Depth) {
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    TStackTraceRequest Request;
    Request.Entries = &Entries;
    ComputeStackTrace(Request, Text);
    PrintEntries(Entries);
    raise(SIGTRAP);
    Sink.fetch_add(Depth);
}

__attribute__((noinline)) int CompareInts(const void* Left, const void* Right) {
    static bool Traced = false;
    if (!Traced) {
        Traced = true;
        TraceAndStop(1);
    }
    const int A = *static_cast<const int*>(Left);
    const int B = *static_cast<const int*>(Right);
    return A < B ? -1 : A > B ? 1 : 0;
}

// Two elements: the C library's merge sort compares them without recursing first.
__attribute__((noinline)) int SortTwo() {
    int Values[2] = {Sink.load() + 2, 1};
    std::qsort(Values, 2, sizeof Values[0], &CompareInts);
    Sink.fetch_add(Values[0]);
    return Values[0] == 1 ? 0 : 1;
}

__attribute__((noinline)) void OnSignal(int Signal) {
    TraceAndStop(Signal);
    Sink.fetch_add(1);
}

__attribute__((noinline)) int RaiseInto() {
    std::signal(SIGUSR1, &OnSignal);
    raise(SIGUSR1);
    Sink.fetch_add(1);
    return Sink.load() > 0 ? 0 : 1;
}

__attribute__((noinline)) void Probe3(int Depth) {
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    TStackTraceRequest Request;
    Request.Entries = &Entries;
    ComputeStackTrace(Request, Text);
    PrintEntries(Entries);
    raise(SIGTRAP);
    Sink.fetch_add(Depth);
}

// Inlined into Probe2: a debugger lists it as a frame of its own, at the same address as Probe2's.
__attribute__((always_inline)) inline void ProbeInlined(int Depth) {
    Probe3(Depth + 1);
    Sink.fetch_add(2);
}

__attribute__((noinline)) void Probe2(int Depth) {
    ProbeInlined(Depth);
    Sink.fetch_add(1);
}

__attribute__((noinline)) void Probe1(int Depth) {
    Probe2(Depth + 1);
    Sink.fetch_add(1);
}

std::mutex WaitLock;
std::condition_variable WaitCondition;
bool Waiting = false;
bool WaitEnd = false;
std::atomic<pid_t> WaiterId{0};

__attribute__((noinline)) void Waiter2() {
    std::unique_lock<std::mutex> Lock(WaitLock);
    Waiting = true;
    WaitCondition.wait(Lock, [] { return WaitEnd; });
    Sink.fetch_add(1);
}

__attribute__((noinline)) void Waiter1() {
    WaiterId = CurrentThreadId();
    Waiter2();
    Sink.fetch_add(1);
}

int TraceTheWaiter() {
    std::thread Worker(Waiter1);
    // The waiter set its flag holding the lock, and released the lock only inside the wait: once the lock is free
    // again, the waiter stands in pthread_cond_wait.
    for (bool Ready = false; !Ready; std::this_thread::yield()) {
        std::lock_guard<std::mutex> Lock(WaitLock);
        Ready = Waiting;
    }
    std::vector<TStackTraceEntry> Entries;
    TStackTraceRequest Request;
    Request.Entries = &Entries;
    TraceOtherThread(WaiterId, Request);
    PrintEntries(Entries);
    raise(SIGTRAP);
    {
        std::lock_guard<std::mutex> Lock(WaitLock);
        WaitEnd = true;
    }
    WaitCondition.notify_all();
    Worker.join();
    return Entries.empty() ? 1 : 0;
}

} // namespace KroProbe

int main(int Argc, char** Argv) {
    if (Argc > 1 && std::strcmp(Argv[1], "wait") == 0)
        return KroProbe::TraceTheWaiter();
    if (Argc > 1 && std::strcmp(Argv[1], "sort") == 0)
        return KroProbe::SortTwo();
    if (Argc > 1 && std::strcmp(Argv[1], "signal") == 0)
        return KroProbe::RaiseInto();
    KroProbe::Probe1(0);
    return KroProbe::Sink.load() > 0 ? 0 : 1;
}
