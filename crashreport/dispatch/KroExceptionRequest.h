#pragma once

#include "KroEndProcess.h"
#include "KroExceptObject.h"

#include <cstdint>
#include <sys/types.h>

struct TRecordedPath;

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
    // The reporting thread never goes back to the code that failed: once its report is done it ends (or the process
    // does), and the reports after it leave it out.
    bool ThreadEnds = false;
};
