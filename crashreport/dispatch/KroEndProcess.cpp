#include "KroEndProcess.h"

#include "KroThreadRegistry.h"

#include <unistd.h>

void EndProcess(int ExitCode) noexcept {
    UnlinkThreadRegistry();
    _exit(ExitCode);
}
