#include "KroConsoleOutput.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// How long a full pipe or terminal may hold us up in all.
constexpr int BlockedLimitMs = 5000;

} // namespace

bool WriteConsoleText(std::string_view Text) noexcept {
    const char* Data = Text.data();
    std::size_t Left = Text.size();
    int Waited = 0;
    while (Left > 0) {
        const ssize_t Written = write(STDOUT_FILENO, Data, Left);
        if (Written > 0) {
            Data += Written;
            Left -= static_cast<std::size_t>(Written);
            continue;
        }
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written < 0 && errno == EAGAIN && Waited < BlockedLimitMs) {
            pollfd Poll{STDOUT_FILENO, POLLOUT, 0};
            poll(&Poll, 1, 100);
            Waited += 100;
            continue;
        }
        return false;
    }
    return true;
}
