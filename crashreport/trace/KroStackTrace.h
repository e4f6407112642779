#pragma once

#include "KroStackTraceRequest.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// The stack tracer: turns the raw stack memory of a thread into the list of calls that led to an exception, as the
// text lines of a bug report. Every 64-bit value of the stack that could be a return address becomes a candidate;
// frame-pointer chains, the modules' debug maps and the decoder's analysis of the functions sort the true chain of
// calls out of them.
//
// Each line: the address, the module file name, the unit, the line number and the function, in columns:
//   00005581a2c4e1f3 kroexcept_tests StackTraceTest 120 (anonymous namespace)::Level3()
// Traces run one after another; the tables of modules and analysed functions they share live for the process.

// Traces a stack into Text. Without an exception address (0, and HasExceptionAddress false) the trace starts at the
// return address of this call. A stack range that cannot be read whole gives an empty text; a step that fails gives
// that step's message.
void ComputeStackTrace(const TStackTraceRequest& Request, std::string& Text);

// The same with the report's argument list.
void ComputeStackTrace(bool HideWithoutLines, bool ShowRelativeOffsets, std::uintptr_t ExceptionAddress,
                       std::string& Text, TTraceProgress* Progress, std::uintptr_t* FunctionEntry,
                       std::uintptr_t* HighlightAddress, std::uintptr_t ThreadStart, std::uintptr_t StackEnd,
                       std::uintptr_t StackBegin, bool OsException, bool HasExceptionAddress);

// The text of a thread whose stack cannot be read.
inline constexpr const char* UnreadableThreadTrace = "- ???";

// Traces another thread of this process from where it was interrupted: the thread stands still only while its
// registers and stack are copied (into memory that no allocator lock guards), and runs on while the copy is traced.
// A thread that has ended or does not answer within the pause timeout gives UnreadableThreadTrace; so does the
// calling thread (trace it with ComputeStackTrace). Request's exception address and stack range are filled in here.
std::string TraceOtherThread(pid_t ThreadId, TStackTraceRequest Request);

// Empties the tables of modules and analysed functions (they fill again on the next trace).
void ClearStackTraceTables();
