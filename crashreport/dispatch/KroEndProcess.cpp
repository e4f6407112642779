#include "KroEndProcess.h"

#include "KroThreadRegistry.h"

#include <atomic>
#include <unistd.h>

namespace {

std::atomic<int> FailureCode{0};

} // namespace

int SignalExitCode(int Signal) noexcept {
    return 128 + Signal;
}

int ReportFailureCode() noexcept {
    return FailureCode.load();
}

void SetReportFailureCode(int Code) noexcept {
    FailureCode.store(Code);
}

void EndProcess(int ExitCode) noexcept {
    UnlinkThreadRegistry();
    _exit(ExitCode);
}
