#pragma once

#include <sys/types.h>

// Whether a thread of this process can answer a pause request, as the kernel tells it (/proc/self/task/ID/status): a
// thread that blocks the pause signal, or that is stopped (by a job-control signal or a debugger) or ending, never
// answers however long it is waited for; any other thread answers once it gets to run, which a loaded machine may
// delay. Allocation-free, no locks: it reads the file with open and read.
enum class TPauseReadiness { Unknown, CanAnswer, CannotAnswer };

TPauseReadiness PauseReadiness(pid_t ThreadId) noexcept;
