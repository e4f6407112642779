#pragma once

#include "KroBugReport.h"
#include "KroEndProcess.h"
#include "KroExceptObject.h"
#include "KroFaultCodes.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

// ReportException: the one entry for every exception the reporter reports (faults, uncaught throws, exceptions that
// leave an event handler, a frozen main thread). The reporting thread hands the exception to the exception thread
// (KroExceptThread.h) and waits there, serving its own call queue, until the report is done: composed with every
// other thread paused (PauseThreads), the handlers fired, the automatic actions run and the exception box shown.
// Reports are made one at a time.

// What a report is about, beyond the exception itself.
struct TExceptionRequest {
    bool Frozen = false;
    TExceptObject Object;
    std::uintptr_t ExceptAddr = 0;
    std::uintptr_t Frame = 0; // where the trace starts on the reporting thread's stack; 0: the caller of the entry
    std::uintptr_t FramePointer = 0; // the frame pointer of the code at Frame (a fault's interrupted code); 0: unknown
    std::uintptr_t StackPointer = 0; // the stack pointer of the code at ExceptAddr (a fault's); 0: unknown
    const TRecordedPath* ThrowPath = nullptr; // the calls the exception was thrown in, recorded at the throw
    bool CanContinue = true;
    bool OsException = false;
    bool FaultSite = true; // false: nothing faulted where the thread stood (a signal sent from outside)
    // The exit code when the process ends because of this report (KroEndProcess.h); a frozen report's is 0.
    int FailureCode = ExitCodeUncaughtException;
    pid_t HiddenThread = 0; // left out of the report (the thread of a trace on request)
    pid_t ThreadId = 0;     // the reporting thread (ReportException fills it in)
};

// The report of one request, on the exception thread (or in place): the history, the report, the handlers, the
// automatic actions and the box. Request.CanContinue receives what the handlers and the box decided.
void HandleExceptionRequest(TExceptionRequest& Request);

// Reports; true when the application may go on (a handler or the box may have decided otherwise than CanContinue).
// A report already running in this thread makes this call do nothing (and return false).
bool ReportException(bool Frozen, const TExceptObject& Object, std::uintptr_t ExceptAddr, std::uintptr_t Frame,
                     bool CanContinue);
bool ReportException(TExceptionRequest Request);

// Inside a catch block or a terminate handler: reports the exception being handled, starting its trace at the throw
// when the throw was seen.
bool ReportCurrentException(bool CanContinue);

// The reporter of faults (see KroFaultSignals.h): reports the fault as a KroException and ends the thread (a thread
// other than the main thread, which may continue) or the process.
[[noreturn]] void ReportFault(const TFaultRecord& Fault);

// The terminate handler: reports the exception that nobody caught. One that left a thread other than the main thread
// ends that thread only (its result is (void*)-1) and the program goes on; otherwise the process ends.
[[noreturn]] void ReportTermination();

// Composes a report without showing it, one at a time with the reports above and with the report heap (a trace of
// the process on request).
std::string ComposeReport(const TBugReportRequest& Request);
