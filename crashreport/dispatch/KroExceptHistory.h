#pragma once

#include <cstdint>

// The exception history (ExceptionHistory in KroRestartHandOver.h) and the rules it drives: automatic restart and
// close after many reports in a short time.

// Now, in whole seconds since 1601-01-01 00:00 UTC, the unit the history keeps.
std::int64_t CurrentTimeSeconds() noexcept;

// Shifts the history by one (the oldest entry drops out) and stores now as the newest.
void RecordExceptionTime() noexcept;

// Whether a rule of AutoRestart or AutoClose is due: 0 never, 1 always; N > 1 when all ten entries of the history
// lie within the last N seconds (the current exception is the newest of them).
bool AutoActionDue(std::int32_t Rule) noexcept;
