#include "KroFileVersion.h"

#include "KroStrings.h"

#include <climits>
#include <cstdlib>

std::uint64_t FileNameVersion(std::string_view FileName) noexcept {
    if (const std::size_t Slash = FileName.rfind('/'); Slash != std::string_view::npos)
        FileName.remove_prefix(Slash + 1);
    const std::size_t At = FileName.find(".so.");
    if (At == std::string_view::npos)
        return 0;
    std::string_view Rest = FileName.substr(At + 4);
    std::uint64_t Version = 0;
    for (int Part = 0; Part < 4; ++Part) {
        std::uint32_t Number = 0;
        std::size_t Digits = 0;
        while (Digits < Rest.size() && Rest[Digits] >= '0' && Rest[Digits] <= '9') {
            Number = Number * 10 + static_cast<std::uint32_t>(Rest[Digits] - '0');
            if (Number > 0xffff)
                return 0;
            ++Digits;
        }
        if (Digits == 0 || (Digits < Rest.size() && Rest[Digits] != '.'))
            return 0;
        Version |= std::uint64_t{Number} << (48 - 16 * Part);
        Rest.remove_prefix(Digits);
        if (Rest.empty())
            break;
        Rest.remove_prefix(1);
        if (Part == 3)
            return 0; // a fifth part: not a version
    }
    return Version;
}

std::uint64_t ReadFileVersion(const std::string& Path) {
    char Resolved[PATH_MAX];
    return FileNameVersion(realpath(Path.c_str(), Resolved) != nullptr ? std::string_view(Resolved) : Path);
}

std::string FormatFileVersion(std::uint64_t Version) {
    return IntToText(static_cast<std::int32_t>(Version >> 48)) + "." +
           IntToText(static_cast<std::int32_t>(Version >> 32 & 0xffff)) + "." +
           IntToText(static_cast<std::int32_t>(Version >> 16 & 0xffff)) + "." +
           IntToText(static_cast<std::int32_t>(Version & 0xffff));
}
