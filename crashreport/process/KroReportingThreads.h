#pragma once

#include <cstdint>
#include <sys/types.h>

// The threads that are reporting an exception of their own, and those that end once their report is done.
//
// A thread whose report waits for its turn (another thread's report is being made) stands inside the reporter,
// waiting: the other reports show it where its exception happened instead. A thread that ends after its report is
// left out of the reports that follow while it is still on its way out.
//
// A fixed table, read and changed with atomics only: any thread may use it at any time, a paused one's reporter
// included, and nothing here allocates or locks.

struct TReportingContext {
    std::uintptr_t ExceptAddr = 0;   // where the exception happened
    std::uintptr_t Stack = 0;        // where its trace starts on the thread's stack
    std::uintptr_t FramePointer = 0; // the frame pointer of the code there, 0 when unknown
    bool OsException = false;        // a fault rather than a throw
};

// The calling thread reports an exception that happened at Context, until EndReporting. False when the table is full
// (the thread is then shown where it waits).
bool BeginReporting(const TReportingContext& Context) noexcept;
// The calling thread's report is over and it goes on.
void EndReporting() noexcept;
// The report of ThreadId is done and the thread ends now (it never returns to the code that failed).
void MarkThreadEnding(pid_t ThreadId) noexcept;

// The context of a thread that is reporting and waits; false for any other thread.
bool FindReportingContext(pid_t ThreadId, TReportingContext& Context) noexcept;
// Whether the thread reports an exception of its own and waits for its report (a report does not pause it: it stands
// still where it failed, and must go on watching its report).
bool ThreadIsReporting(pid_t ThreadId) noexcept;
// Whether the thread ends after its report and may still be on its way out.
bool ThreadIsEnding(pid_t ThreadId) noexcept;
// Waits, at most TimeoutMs, until every thread that ends after its report is gone, and forgets those that are.
void AwaitEndingThreads(std::uint32_t TimeoutMs) noexcept;
// A thread starts with ThreadId: a thread of that id that ended is long gone, and forgotten.
void ForgetEndedThread(pid_t ThreadId) noexcept;
