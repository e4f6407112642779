#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <sys/types.h>

// The hand-over from a process that restarts itself after a report to the process it starts: a block of named shared
// memory (this user's alone, KroSharedBlock.h), "/KroExceptRestart$" and the new process's id in lower-case
// hexadecimal, 88 bytes: the old process's id (4 bytes), the restart marks (4 bytes: bit N set when the report of
// history entry N restarted the program), and the exception history (ten 64-bit times in seconds, newest first). The
// new process takes it over at start-up, after the old one has ended, so that the rules that restart or close after
// many reports in a short time see the reports and restarts before this start too.

using TExceptionHistory = std::array<std::int64_t, 10>;

// The process's exception history (empty: all 0) and its restart marks.
TExceptionHistory& ExceptionHistory() noexcept;
std::uint32_t& RestartMarks() noexcept;

std::string RestartHandOverName(pid_t NewProcess);

// The environment variable by which a restarted process learns the id of the process it replaces (decimal): it waits
// for that one's end before it looks for the hand-over, which the old process writes only after the new one has
// started.
inline constexpr const char* RestartEnvironmentName = "KROEXCEPT_RESTART_OF";

// The restarting side: leaves the history for NewProcess. False when the block cannot be made.
bool WriteRestartHandOver(pid_t NewProcess, const TExceptionHistory& History, std::uint32_t RestartMarks = 0);

// The started side (start-up): when this process was started by a restart, waits until the old process has ended (at
// most TimeoutMs: a restart must not hang on a process that does not go), takes over its history and removes the
// block. A block under this process's id that is not its predecessor's is removed unread. False when there was none.
bool TakeOverRestartHistory(std::uint32_t TimeoutMs = 10000);

// Removes the hand-overs of this user that their process never read (it is gone) (start-up).
void RemoveStaleRestartHandOvers();

// The process this one replaces after a restart (0 when it was not started by one).
pid_t RestartPredecessor() noexcept;
