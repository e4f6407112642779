#include "KroRestartApplication.h"

#include "KroEndProcess.h"
#include "KroExceptHistory.h"
#include "KroFileRead.h"
#include "KroRestartHandOver.h"

#include <csignal>
#include <spawn.h>
#include <string>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

pid_t StartNewProcess() {
    const std::vector<std::string> Arguments = KroCommandLine();
    const std::string Program = KroProgramPath();
    if (Arguments.empty() || Program.empty())
        return -1;
    std::vector<char*> Argv;
    for (const std::string& Argument : Arguments)
        Argv.push_back(const_cast<char*>(Argument.c_str()));
    Argv.push_back(nullptr);
    // The new process learns whom it replaces, and so waits for this one's end before it reads the hand-over.
    const std::string Marker = std::string(RestartEnvironmentName) + "=" + std::to_string(getpid());
    std::vector<char*> Environment;
    for (char** Entry = environ; Entry != nullptr && *Entry != nullptr; ++Entry)
        if (std::string_view(*Entry).substr(0, std::string_view(RestartEnvironmentName).size() + 1) !=
            std::string(RestartEnvironmentName) + "=")
            Environment.push_back(*Entry);
    Environment.push_back(const_cast<char*>(Marker.c_str()));
    Environment.push_back(nullptr);

    posix_spawnattr_t Attributes;
    if (posix_spawnattr_init(&Attributes) != 0)
        return -1;
    sigset_t Signals;
    sigemptyset(&Signals);
    posix_spawnattr_setsigmask(&Attributes, &Signals);
    sigfillset(&Signals);
    posix_spawnattr_setsigdefault(&Attributes, &Signals);
    posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t Child = -1;
    if (posix_spawn(&Child, Program.c_str(), nullptr, &Attributes, Argv.data(), Environment.data()) != 0)
        Child = -1;
    posix_spawnattr_destroy(&Attributes);
    return Child;
}

} // namespace

void RestartApplication() {
    const pid_t Child = StartNewProcess();
    if (Child > 0) {
        NoteRestart();
        WriteRestartHandOver(Child, ExceptionHistory(), RestartMarks());
    }
    EndProcess(0);
}

void CloseApplication() {
    EndProcess(ReportFailureCode());
}
