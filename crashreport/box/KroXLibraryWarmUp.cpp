#include "KroXLibraryWarmUp.h"

#include <X11/Xauth.h>

void WarmUpXLibraries() noexcept {
    XauFileName();
}
