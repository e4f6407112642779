#include "KroPauseReadiness.h"

#include "KroFileRead.h"
#include "KroThreadContext.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The value of a "Name:\t..." line of a status file; null when the file has no such line.
const char* Field(const char* Status, const char* Name) noexcept {
    const std::size_t Length = std::strlen(Name);
    for (const char* Line = Status; Line != nullptr && *Line != '\0';) {
        if (std::strncmp(Line, Name, Length) == 0 && Line[Length] == ':') {
            const char* Value = Line + Length + 1;
            while (*Value == '\t' || *Value == ' ')
                ++Value;
            return Value;
        }
        Line = std::strchr(Line, '\n');
        if (Line != nullptr)
            ++Line;
    }
    return nullptr;
}

} // namespace

TPauseReadiness PauseReadiness(pid_t ThreadId) noexcept {
    char Path[64];
    std::snprintf(Path, sizeof Path, "/proc/self/task/%d/status", static_cast<int>(ThreadId));
    char Status[4096];
    if (KroReadFileInto(Path, Status, sizeof Status) <= 0)
        return TPauseReadiness::Unknown;
    const char* State = Field(Status, "State");
    const char* Blocked = Field(Status, "SigBlk");
    if (State == nullptr || Blocked == nullptr)
        return TPauseReadiness::Unknown;
    char* End = nullptr;
    const std::uint64_t Mask = std::strtoull(Blocked, &End, 16);
    if (End == Blocked)
        return TPauseReadiness::Unknown;
    // Stopped, traced, dead or a zombie: no handler runs until someone else lets it go.
    if (*State == 'T' || *State == 't' || *State == 'X' || *State == 'Z')
        return TPauseReadiness::CannotAnswer;
    const int Signal = ThreadPauseSignal();
    if (Signal >= 1 && Signal <= 64 && (Mask >> (Signal - 1) & 1) != 0)
        return TPauseReadiness::CannotAnswer;
    return TPauseReadiness::CanAnswer;
}
