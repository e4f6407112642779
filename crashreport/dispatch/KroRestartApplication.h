#pragma once

// The two report actions that end the process. Both run on the exception thread while the other threads are paused,
// so neither waits for anything another thread may hold.

// Starts the program anew with the same command line (a clone-and-exec spawn: no fork handlers, no inherited locks),
// leaves it the exception history with this restart marked, and ends this process with exit code 0 (the program goes
// on in the new process), whether or not the new one started. The new process takes the history over once this one
// has ended (TakeOverRestartHistory).
[[noreturn]] void RestartApplication();

// Ends the process with the failure code of the report being made (KroEndProcess.h): 0 only when the program had not
// failed.
[[noreturn]] void CloseApplication();
