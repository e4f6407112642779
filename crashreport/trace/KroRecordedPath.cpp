#include "KroRecordedPath.h"

#include <unwind.h>

namespace {

struct TRecording {
    std::uintptr_t From = 0;
    bool Started = false;
    bool Ended = false;
    TRecordedPath* Path = nullptr;
};

_Unwind_Reason_Code RecordFrame(_Unwind_Context* Context, void* Argument) {
    TRecording& Recording = *static_cast<TRecording*>(Argument);
    const auto Address = static_cast<std::uintptr_t>(_Unwind_GetIP(Context));
    // Past the outermost call (the program's or the thread's start, whose return address is undefined) the runtime
    // hands over one more frame, without an address. At a frame without unwind tables it just stops.
    if (Address == 0) {
        Recording.Ended = Recording.Started;
        return _URC_END_OF_STACK;
    }
    // The frames of the recording itself (and of whoever asked for it) come first.
    if (!Recording.Started) {
        if (Address != Recording.From)
            return _URC_NO_REASON;
        Recording.Started = true;
    }
    TRecordedPath& Path = *Recording.Path;
    if (Path.Count == MaxRecordedFrames)
        return _URC_NORMAL_STOP;
    Path.Frames[Path.Count++] = TRecordedFrame{Address, static_cast<std::uintptr_t>(_Unwind_GetCFA(Context))};
    return _URC_NO_REASON;
}

} // namespace

void RecordCallPath(std::uintptr_t Address, TRecordedPath& Path) noexcept {
    Path.Count = 0;
    Path.Complete = false;
    TRecording Recording;
    Recording.From = Address;
    Recording.Path = &Path;
    _Unwind_Backtrace(&RecordFrame, &Recording);
    Path.Complete = Recording.Ended;
}
