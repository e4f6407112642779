// The crash reporter's start-up and shutdown in the program, and its one export.

#include "KroExceptHooks.h"

#include <cstdint>

namespace {

// The first priority a program may use: before the program's own initialisations (and the class libraries' objects
// in it), after those of the shared libraries it stands on.
__attribute__((constructor(101))) void StartCrashReporter() {
    InitExceptionLibrary(true);
}

__attribute__((destructor(101))) void StopCrashReporter() {
    FinalizeExceptionLibrary();
}

} // namespace

// Traces every thread of the process into a report and puts it on the clipboard. Shaped as a thread routine, so
// that a caller may also run it as a thread of its own; returns 0.
extern "C" __attribute__((visibility("default"), used)) void* KroTraceProcess(void*) {
    TraceProcessToClipboard();
    return nullptr;
}
