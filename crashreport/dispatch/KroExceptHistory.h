#pragma once

#include <cstdint>
#include <string>

// The exception history (ExceptionHistory in KroRestartHandOver.h) and the rules it drives: automatic restart and
// close after many reports in a short time.

// Now, in whole seconds since 1601-01-01 00:00 UTC, the unit the history keeps.
std::int64_t CurrentTimeSeconds() noexcept;

// Shifts the history by one (the oldest entry drops out) and stores now as the newest.
void RecordExceptionTime() noexcept;

// A program that fails at every start would restart for ever where no AutoClose rule ends the series: like a service
// manager, the reporter allows RestartLimitStarts starts within RestartLimitSeconds, and the report that would start
// the program once more closes it instead.
inline constexpr int RestartLimitStarts = 5;
inline constexpr std::int64_t RestartLimitSeconds = 10;
// Marks the newest history entry as one whose report restarted the program (the marks travel with the history).
void NoteRestart() noexcept;
// Whether a restart now would exceed the limit: the last RestartLimitStarts - 1 restarts all fell within the last
// RestartLimitSeconds.
bool RestartLimitReached() noexcept;
// What the report of a refused restart says after its last section: "The application was restarted 4 times within
// 10 seconds, failing each time: it is closed instead of restarted once more."
std::string RestartRefusedText();

// Whether a rule of AutoRestart or AutoClose is due: 0 never, 1 always; N > 1 when all ten entries of the history
// lie within the last N seconds (the current exception is the newest of them).
bool AutoActionDue(std::int32_t Rule) noexcept;
