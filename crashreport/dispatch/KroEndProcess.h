#pragma once

// How a process ends because of a report, and the exit code it tells its shell, service manager or CI: never 0 for a
// program that failed.

// A fault or another signal that stopped the program: 128 + the signal's number, as a shell reports a process that
// the signal ended (139 for SIGSEGV).
int SignalExitCode(int Signal) noexcept;
// An exception that nobody caught, or one reported in an event handler when the user closes the program.
inline constexpr int ExitCodeUncaughtException = 70;
// The reporter itself could not start (its thread registry cannot be had).
inline constexpr int ExitCodeInternalError = 71;

// The exit code of the report being made, for the actions that end the process (close, and the restart guard): its
// failure code, or 0 for a report of a program that has not failed (a frozen one, a trace on request), or when no
// report is being made. Set by the exception dispatch for each report.
int ReportFailureCode() noexcept;
void SetReportFailureCode(int Code) noexcept;

// Ends the process after a report, without running anything of the program's (exit code).
[[noreturn]] void EndProcess(int ExitCode) noexcept;
