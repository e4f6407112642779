#pragma once

#include <string_view>

// Writes Text to standard output with the system call itself, not through the C library's buffered stream: a paused
// thread may hold that stream's lock, and the reporter must not wait for it. Text the program had buffered in the
// stream stays there (it may come after ours). Gives up on a blocked output after a few seconds; false when not all
// was written.
bool WriteConsoleText(std::string_view Text) noexcept;
