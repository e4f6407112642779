#pragma once

#include "KroFaultCodes.h"

#include <cstdint>

// The signal handlers that catch faults (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT) in every thread.
//
// A handler only hands the fault on: it notes what it saw in the thread's own record and changes the interrupted
// context so that, once the handler has returned, the thread goes on in the fault reporter instead of at the faulting
// instruction. The reporter then runs as ordinary code, no longer inside a signal handler; on a thread with an
// alternate stack it runs on that stack, so that even a thread whose stack overflowed can report. The handler itself
// allocates nothing, takes no lock and never calls the loader.
//
// A fault while the thread already reports (outside a guarded step) cannot be reported: the signal's default action
// ends the process. A fault inside a guarded step (RunFaultGuarded) returns from that step instead.

// Called, outside the handler, on the faulting thread with what the handler saw; never returns.
using TFaultReporter = void (*)(const TFaultRecord& Fault);

// Installs the handlers for the six signals, keeping the previous ones; the reporter receives every fault.
bool InstallFaultHandlers(TFaultReporter Reporter) noexcept;
// Puts the previous handlers back.
void RemoveFaultHandlers() noexcept;
bool FaultHandlersInstalled() noexcept;

// Gives the calling thread an alternate signal stack (when it has none yet) on which handlers and the reporter run.
// The stack is the thread's until RemoveThreadAltStack, or for the process's life.
bool InstallThreadAltStack() noexcept;
void RemoveThreadAltStack() noexcept;

// Runs Step(Context). True when it returned; false when it faulted (FaultAddress, when given, then receives the
// faulting instruction's address) or let an exception out (FaultAddress stays as it was). Guarded steps nest.
bool RunFaultGuarded(void (*Step)(void*), void* Context, std::uintptr_t* FaultAddress = nullptr);

// Whether the calling thread is handing on or reporting a fault of its own.
bool ThreadIsReportingFault() noexcept;

// Ends the calling thread (not the main thread) with Result as pthread_exit does, but from the top of its alternate
// stack, so that no frame of the code it was running is unwound: a thread that let an exception out of its routine,
// or whose stack is broken, leaves the way a fault's thread does. Without an alternate stack (or on it already) the
// thread ends without any unwinding.
[[noreturn]] void ExitThreadOnFreshStack(void* Result) noexcept;

// Ends the process after a fault that cannot be continued: exit code 128 + Signal, as a shell reports a process that
// a signal ended. Safe anywhere.
[[noreturn]] void EndProcessAfterFault(int Signal) noexcept;

// Called by EndProcessAfterFault before the process ends (the thread registry removes its shared name here). Must be
// safe in any state: no lock, no allocation.
void SetProcessEndHook(void (*Hook)()) noexcept;
