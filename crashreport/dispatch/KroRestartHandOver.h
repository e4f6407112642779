#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <sys/types.h>

// The hand-over from a process that restarts itself after a report to the process it starts: a block of named shared
// memory, "/KroExceptRestart$" and the new process's id in lower-case hexadecimal, 88 bytes: the old process's id
// (4 bytes), 4 reserved bytes, and the exception history (ten 64-bit times in seconds, newest first). The new process
// takes it over at start-up, after the old one has ended, so that the rules that restart or close after many reports
// in a short time see the reports before the restart too.

using TExceptionHistory = std::array<std::int64_t, 10>;

// The process's exception history (empty: all 0).
TExceptionHistory& ExceptionHistory() noexcept;

std::string RestartHandOverName(pid_t NewProcess);

// The environment variable by which a restarted process learns the id of the process it replaces (decimal): it waits
// for that one's end before it looks for the hand-over, which the old process writes only after the new one has
// started.
inline constexpr const char* RestartEnvironmentName = "KROEXCEPT_RESTART_OF";

// The restarting side: leaves the history for NewProcess. False when the block cannot be made.
bool WriteRestartHandOver(pid_t NewProcess, const TExceptionHistory& History);

// The started side (start-up): when this process was started by a restart, or a hand-over for it exists, waits until
// the old process has ended (at most TimeoutMs: a restart must not hang on a process that does not go), takes over
// its history and removes the block. False when there was none.
bool TakeOverRestartHistory(std::uint32_t TimeoutMs = 10000);

// The process this one replaces after a restart (0 when it was not started by one).
pid_t RestartPredecessor() noexcept;
