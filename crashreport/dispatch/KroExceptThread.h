#pragma once

#include <cstddef>

struct TExceptionRequest;

// The exception thread: the one thread that makes reports. A reporting thread hands its request over through a pipe
// and waits; the exception thread takes the requests one by one, in pipe order, and runs the handler it was started
// with (HandleExceptionRequest, KroReportException.h) for each. So the failing thread's stack holds still for its
// trace, the other threads can be paused meanwhile, and two threads that fail at once get two reports, one after the
// other.

using TExceptionRequestHandler = void (*)(TExceptionRequest& Request);

// Start-up: makes the pipe and the thread (named "-" in the thread registry, so that no report lists it), which runs
// Handler for each request.
bool StartExceptionThread(TExceptionRequestHandler Handler);
// Shutdown: asks the thread to stop once the requests before have been handled and waits for it a little.
void StopExceptionThread();

bool IsExceptionThread() noexcept;

// Hands Request to the exception thread and returns when it is done, serving the calling thread's call queue
// (KroHandlerWindows.h) meanwhile. False when it could not be handed over (no exception thread, the pipe failed), the
// exception thread ended before it was done, or it sat stuck in a lock wait (or had not come up at all) for 1.5 s:
// the caller then handles it itself.
bool DispatchExceptionRequest(TExceptionRequest& Request);

// Reads exactly Size bytes (a request is read whole, however the pipe splits it); false at the end of input or on
// an error before that many came.
bool ReadWhole(int File, void* Buffer, std::size_t Size) noexcept;
