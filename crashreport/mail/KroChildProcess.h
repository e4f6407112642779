#pragma once

#include <string_view>
#include <sys/types.h>

// A program the mail transports start: the local mailer or the mailto opener. It is started without fork (the paused
// threads may hold locks a forked child would inherit held), with the default signal dispositions and an empty
// signal mask whatever the reporting thread has, standard output to /dev/null and standard input from a pipe of ours
// or from /dev/null. Every wait is bounded.
class TChildProcess final {
public:
    TChildProcess() = default;
    // Closes our end of the input; a process still running is left to run.
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Arguments is the program's argument vector, its name first and a null pointer last. A Program without "/" is
    // searched in PATH.
    bool Start(const char* Program, char* const* Arguments, bool WithInput);

    // Writes Text to the process's input; false when it ended its input or did not read within WaitMs.
    bool WriteInput(std::string_view Text, int WaitMs);
    void CloseInput() noexcept;

    // Waits up to WaitMs for the process to end; true when it ended, with its exit code (-1 for a signal).
    bool Wait(int WaitMs, int& ExitCode);

    // Ends the process and collects it.
    void Kill() noexcept;

private:
    pid_t Pid = -1;
    int Input = -1;
};
