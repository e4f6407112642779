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
