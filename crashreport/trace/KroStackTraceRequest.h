#pragma once

#include "KroRecordedPath.h"
#include "KroTraceProgress.h"

#include <cstdint>
#include <string>
#include <vector>

// What a stack trace is asked for and what it lists (KroStackTrace.h runs it).

// One listed entry of a trace, as its line shows it.
struct TStackTraceEntry {
    std::uintptr_t Address = 0;       // the call site (or the exact address) the line shows
    std::uintptr_t FunctionStart = 0; // 0 when unknown
    std::string ModuleName;           // "???" outside any module
    std::string UnitName;
    std::int32_t Line = 0; // 0 when unknown
    std::string FunctionName;
    // A function the compiler inlined into the next entry that is not: listed before it, innermost first, at the
    // same address, with no start of its own.
    bool Inlined = false;
};

struct TStackTraceRequest {
    bool HideWithoutLines = false;    // once an entry with a line number is listed, leave out those without
    bool ShowRelativeOffsets = false; // show each entry as its function's start, "+" and the offset
    std::uintptr_t ExceptionAddress = 0;
    TTraceProgress* Progress = nullptr;
    std::uintptr_t* FunctionEntry = nullptr;    // receives the entry of the function the crash lies in
    std::uintptr_t* HighlightAddress = nullptr; // receives the address to mark in that function's listing
    std::uintptr_t ThreadStart = 0;             // the thread's creator's address, listed last; 0 for none
    std::uintptr_t StackEnd = 0;                // one past the stack's highest byte; 0: the current thread's
    std::uintptr_t StackBegin = 0;              // the lowest stack address to read; 0: the caller's stack pointer
    // The frame pointer of the code where the trace starts (the interrupted code's), 0 when unknown: the frame chain
    // it heads is the live one, where old frames left in unwritten stack space would seem to chain as well.
    std::uintptr_t FramePointer = 0;
    // The stack pointer that goes with the exception address (a fault's, a paused thread's), 0 when unknown: with it
    // the trace steps from frame to frame through the modules' unwind tables, and scans the stack only above the
    // frames they lead to. GeneralRegisters, when given, holds every general register of that moment in the order of
    // the kernel's signal frame (KroThreadContext.h).
    std::uintptr_t StackPointer = 0;
    const std::uint64_t* GeneralRegisters = nullptr;
    // The exception address is the return address of a call (a trace on request), listed at that call like every
    // other frame; StackPointer, when given, is the caller's just after the return.
    bool ReturnAddress = false;
    // The calls the exception was thrown in, recorded at the throw (null: none): the trace lists them from the throw
    // on as they were then, since a handler has run where they stood; the stack is scanned only above them.
    const TRecordedPath* ThrowPath = nullptr;
    bool OsException = false; // a fault rather than a raised exception
    bool HasExceptionAddress = false;
    std::vector<TStackTraceEntry>* Entries = nullptr; // when given, receives the listed entries
};
