#pragma once

// Ends the process after a report that it cannot survive, without running anything of the program's (exit code).
[[noreturn]] void EndProcess(int ExitCode) noexcept;
