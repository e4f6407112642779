#pragma once

#include <cstddef>
#include <cstdint>

// The calls a thread stood in at one moment, newest first, recorded while they were still on its stack: once a
// handler has caught an exception, the handler's own calls stand where the thrower's stood.

struct TRecordedFrame {
    std::uintptr_t Address = 0; // the frame's return address (for the first frame, where the recording was asked for)
    std::uintptr_t Stack = 0;   // the frame's stack pointer at its call: its return address lay just below
};

inline constexpr std::size_t MaxRecordedFrames = 128;

struct TRecordedPath {
    std::uint32_t Count = 0;
    bool Complete = false; // reached the outermost call; otherwise the calls above the last frame are not recorded
    TRecordedFrame Frames[MaxRecordedFrames];
};

// Records the calling thread's calls from the frame that Address returns into, outward, through the C++ runtime's own
// unwinder (the one a throw uses, reading the same tables). Allocates nothing; like a throw, it may wait for the
// loader's lock, so it belongs where the program runs, never on the report path. Path.Count is 0 when no frame of the
// calling thread returns to Address.
void RecordCallPath(std::uintptr_t Address, TRecordedPath& Path) noexcept;
