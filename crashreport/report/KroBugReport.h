#pragma once

#include "KroExceptObject.h"
#include "KroRecordedPath.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

class TPausedThreads;

// The bug report: the plain text the exception box shows, the clipboard receives, the report file collects and the
// mail carries. UTF-8, every line ending in CR LF:
//   the header (KroReportHeader.h), "exception class   : ", "exception message : ",
//   one section per thread: CR LF CR LF, its title, ":", CR LF, its stack trace, and ">> created by ..." before the
//   creator's line,
//   CR LF CR LF "modules:" with one line per module,
//   CR LF CR LF "disassembling:" CR LF and the listing of the failing function.
// A fault while the report is composed ends it with "An exception occurred during composing the bug report.".

struct TBugReportRequest {
    bool Frozen = false; // a frozen application or a trace on request: no exception, the main thread first
    TExceptObject Object;
    std::uintptr_t ExceptAddr = 0;
    std::uintptr_t Frame = 0;        // where the failing thread's trace starts on its stack (in a frozen report: the
                                     // calling thread's, from ExceptAddr); 0: its stack pointer
    std::uintptr_t FramePointer = 0; // the failing thread's frame pointer where its trace starts; 0: unknown
    std::uintptr_t StackPointer = 0; // the failing thread's stack pointer at ExceptAddr (a fault's); 0: unknown
    const TRecordedPath* ThrowPath = nullptr; // the calls the exception was thrown in, recorded at the throw
    pid_t ThreadId = 0;                       // the failing thread; 0: the calling one
    bool OsException = false;                 // a fault the system raised rather than an exception the program threw
    bool FaultSite = true;  // false: nothing faulted (a signal sent from outside), nothing to disassemble
    pid_t HiddenThread = 0; // a thread left out of the report (never the main thread); 0: none
    const TPausedThreads* Paused = nullptr; // the threads paused for this report; others are paused one at a time
};

void CreateBugReport(const TBugReportRequest& Request, std::string& Report);

// A thread's title as the report shows it: "main thread ($1f4)", "thread $1f5 (TWorker)", "thread $1f6"; empty for a
// thread named "-" unless ShowHidden. Creator receives the creating code's address and thread (0 when unknown).
std::string GetThreadTitle(pid_t ThreadId, bool ShowHidden, std::uintptr_t* CreatorAddress = nullptr,
                           pid_t* CreatorThread = nullptr);

// The exception message as the report writes it: at most one trailing "." or "!" kept, then "." ("Error." becomes
// "Error..", "Error!!!" becomes "Error!.").
std::string ReportMessageText(const std::string& Message);

// The text that ends a report whose composing faulted.
inline constexpr const char* ComposingFaultText = "An exception occurred during composing the bug report.";
