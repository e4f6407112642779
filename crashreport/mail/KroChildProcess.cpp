#include "KroChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

// glibc's posix_spawn starts the child with a shared-memory clone and exec, not fork: no fork handlers run and no
// lock of this process is taken in the child.
class TSpawnSetup final {
public:
    TSpawnSetup() {
        Ready = posix_spawn_file_actions_init(&Actions) == 0;
        Ready = posix_spawnattr_init(&Attributes) == 0 && Ready;
    }
    ~TSpawnSetup() {
        posix_spawn_file_actions_destroy(&Actions);
        posix_spawnattr_destroy(&Attributes);
    }
    TSpawnSetup(const TSpawnSetup&) = delete;
    TSpawnSetup& operator=(const TSpawnSetup&) = delete;

    bool Ready;
    posix_spawn_file_actions_t Actions;
    posix_spawnattr_t Attributes;
};

} // namespace

TChildProcess::~TChildProcess() {
    CloseInput();
}

bool TChildProcess::Start(const char* Program, char* const* Arguments, bool WithInput) {
    if (Pid > 0 || Program == nullptr || Program[0] == '\0')
        return false;
    int Pipe[2] = {-1, -1};
    if (WithInput && pipe2(Pipe, O_CLOEXEC) != 0)
        return false;
    TSpawnSetup Setup;
    sigset_t Signals;
    sigemptyset(&Signals);
    bool Ok = Setup.Ready && posix_spawnattr_setsigmask(&Setup.Attributes, &Signals) == 0;
    sigfillset(&Signals);
    Ok = Ok && posix_spawnattr_setsigdefault(&Setup.Attributes, &Signals) == 0 &&
         posix_spawnattr_setflags(&Setup.Attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    if (WithInput)
        Ok = Ok && posix_spawn_file_actions_adddup2(&Setup.Actions, Pipe[0], STDIN_FILENO) == 0;
    else
        Ok = Ok && posix_spawn_file_actions_addopen(&Setup.Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0;
    Ok = Ok && posix_spawn_file_actions_addopen(&Setup.Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0;
    pid_t Child = -1;
    if (Ok)
        Ok = posix_spawnp(&Child, Program, &Setup.Actions, &Setup.Attributes, Arguments, environ) == 0;
    if (WithInput) {
        close(Pipe[0]);
        if (Ok) {
            Input = Pipe[1];
            fcntl(Input, F_SETFL, fcntl(Input, F_GETFL) | O_NONBLOCK);
        } else
            close(Pipe[1]);
    }
    if (Ok)
        Pid = Child;
    return Ok;
}

bool TChildProcess::WriteInput(std::string_view Text, int WaitMs) {
    if (Input < 0)
        return false;
    // A reader that went away raises SIGPIPE for the writing thread: keep it blocked while writing, and take a
    // signal our own write raised before unblocking, so it never reaches the program's handlers.
    sigset_t PipeSignal, Previous;
    sigemptyset(&PipeSignal);
    sigaddset(&PipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &PipeSignal, &Previous);
    const bool WasBlocked = sigismember(&Previous, SIGPIPE) == 1;
    bool Ok = true;
    bool BrokenPipe = false;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitMs);
    while (Ok && !Text.empty()) {
        const ssize_t Written = write(Input, Text.data(), Text.size());
        if (Written > 0) {
            Text.remove_prefix(static_cast<std::size_t>(Written));
            continue;
        }
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written < 0 && errno == EAGAIN) {
            const auto Left =
                std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now())
                    .count();
            pollfd Poll{Input, POLLOUT, 0};
            Ok = Left > 0 && poll(&Poll, 1, static_cast<int>(Left)) > 0;
            continue;
        }
        BrokenPipe = Written < 0 && errno == EPIPE;
        Ok = false;
    }
    if (BrokenPipe && !WasBlocked) {
        const timespec Zero{0, 0};
        sigtimedwait(&PipeSignal, nullptr, &Zero);
    }
    pthread_sigmask(SIG_SETMASK, &Previous, nullptr);
    return Ok;
}

void TChildProcess::CloseInput() noexcept {
    if (Input >= 0)
        close(Input);
    Input = -1;
}

bool TChildProcess::Wait(int WaitMs, int& ExitCode) {
    if (Pid <= 0)
        return false;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitMs);
    for (;;) {
        int Status = 0;
        const pid_t Ended = waitpid(Pid, &Status, WNOHANG);
        if (Ended == Pid) {
            Pid = -1;
            ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
            return true;
        }
        if (Ended < 0 && errno != EINTR) {
            // Collected by someone else: its code is lost.
            Pid = -1;
            ExitCode = -1;
            return true;
        }
        if (std::chrono::steady_clock::now() >= Deadline)
            return false;
        const timespec Pause{0, 10 * 1000 * 1000};
        nanosleep(&Pause, nullptr);
    }
}

void TChildProcess::Kill() noexcept {
    if (Pid <= 0)
        return;
    kill(Pid, SIGKILL);
    int Status;
    while (waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
    }
    Pid = -1;
}
