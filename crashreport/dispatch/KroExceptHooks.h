#pragma once

#include <string>

// Start-up and shutdown of the crash reporter. The start-up runs among the first initialisations of the process
// (the program's start-up hook calls it before any other initialisation of the program), and the shutdown undoes
// all of it: the signal handlers and alternate stacks, the terminate handler, the thread creation hook, the thread
// registry and the disassembler's link. Both are counted: only the first start-up and the last shutdown act.

// IsProgram: the caller is the program's own start-up hook (and not a library's).
void InitExceptionLibrary(bool IsProgram);
void FinalizeExceptionLibrary();
bool ExceptionLibraryInitialized() noexcept;

// Traces the whole process in frozen mode without an exception: the report that KroTraceProcess puts on the
// clipboard. The calling thread is left out of it, unless it is the main thread, whose trace a report always has.
std::string TraceProcessReport();

// KroTraceProcess's body: the report on the clipboard.
void TraceProcessToClipboard();
