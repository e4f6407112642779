#include "KroExceptHistory.h"

#include "KroRestartHandOver.h"

#include <time.h>

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t EpochDistance = 11644473600;

} // namespace

std::int64_t CurrentTimeSeconds() noexcept {
    timespec Now{};
    clock_gettime(CLOCK_REALTIME, &Now);
    return static_cast<std::int64_t>(Now.tv_sec) + EpochDistance;
}

void RecordExceptionTime() noexcept {
    TExceptionHistory& History = ExceptionHistory();
    for (std::size_t I = History.size() - 1; I > 0; --I)
        History[I] = History[I - 1];
    History[0] = CurrentTimeSeconds();
    std::uint32_t& Marks = RestartMarks();
    Marks = (Marks << 1) & ((1u << History.size()) - 1);
}

void NoteRestart() noexcept {
    RestartMarks() |= 1;
}

bool RestartLimitReached() noexcept {
    const TExceptionHistory& History = ExceptionHistory();
    const std::uint32_t Marks = RestartMarks();
    const std::int64_t Since = CurrentTimeSeconds() - RestartLimitSeconds;
    int Restarts = 0;
    for (std::size_t I = 0; I < History.size() && Restarts < RestartLimitStarts - 1; ++I) {
        if ((Marks & (1u << I)) == 0)
            continue;
        if (History[I] == 0 || History[I] < Since)
            return false;
        ++Restarts;
    }
    return Restarts >= RestartLimitStarts - 1;
}

bool AutoActionDue(std::int32_t Rule) noexcept {
    if (Rule == 0)
        return false;
    if (Rule == 1)
        return true;
    const std::int64_t Now = CurrentTimeSeconds();
    const TExceptionHistory& History = ExceptionHistory();
    for (std::size_t I = History.size(); I-- > 0;)
        if (History[I] == 0 || History[I] < Now - Rule)
            return false;
    return true;
}

std::string RestartRefusedText() {
    const std::string Restarts = std::to_string(RestartLimitStarts - 1);
    const std::string Seconds = std::to_string(RestartLimitSeconds);
    return "The application was restarted " + Restarts + " times within " + Seconds +
           " seconds, failing each time: it is closed instead of restarted once more.";
}
