#include "KroFileHandle.h"

#include <unistd.h>

void TKroFileHandle::Close() noexcept {
    if (Handle >= 0)
        close(Handle);
    Handle = -1;
}
