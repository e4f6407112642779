#include "KroPauseReadiness.h"

#include "KroFileRead.h"
#include "KroThreadContext.h"

#include <cstdint>
#include <cstdio>
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

bool ParseMask(const char* Text, std::uint64_t& Mask) noexcept {
    Mask = 0;
    int Digits = 0;
    for (; Digits < 16; ++Digits, ++Text) {
        const char C = *Text;
        int Value;
        if (C >= '0' && C <= '9')
            Value = C - '0';
        else if (C >= 'a' && C <= 'f')
            Value = C - 'a' + 10;
        else if (C >= 'A' && C <= 'F')
            Value = C - 'A' + 10;
        else
            break;
        Mask = Mask << 4 | static_cast<std::uint64_t>(Value);
    }
    return Digits > 0;
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
    std::uint64_t Mask = 0;
    if (State == nullptr || Blocked == nullptr || !ParseMask(Blocked, Mask))
        return TPauseReadiness::Unknown;
    // Stopped, traced, dead or a zombie: no handler runs until someone else lets it go.
    if (*State == 'T' || *State == 't' || *State == 'X' || *State == 'Z')
        return TPauseReadiness::CannotAnswer;
    const int Signal = ThreadPauseSignal();
    if (Signal >= 1 && Signal <= 64 && (Mask >> (Signal - 1) & 1) != 0)
        return TPauseReadiness::CannotAnswer;
    return TPauseReadiness::CanAnswer;
}
