#include "KroOsInfo.h"

#include "KroFileRead.h"

#include <iterator>
#include <sys/utsname.h>

namespace {

// os-release is a few hundred bytes; a larger file is read only so far.
std::string ReadSmallFile(const char* Path) {
    std::string Text;
    KroReadFile(Path, Text, 64 * 1024);
    return Text;
}

constexpr const char* OsNames[] = {
    "None",       "Windows 95",     "Windows 95 OSR-2", "Windows 98",   "Windows 98 SE",
    "Windows ME", "Windows 9x New", "Windows NT 3",     "Windows NT 4", "Windows 2000",
    "Windows XP", "Windows 2003",   "Windows NT New",
};

// One value of an os-release line: unquoted, or in double quotes with backslash escapes, or in single quotes.
std::string Unquote(std::string_view Value) {
    std::string Text;
    if (Value.empty() || (Value[0] != '"' && Value[0] != '\'')) {
        Text = Value;
        while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t' || Text.back() == '\r'))
            Text.pop_back();
        return Text;
    }
    const char Quote = Value[0];
    for (std::size_t I = 1; I < Value.size() && Value[I] != Quote; ++I) {
        if (Quote == '"' && Value[I] == '\\' && I + 1 < Value.size())
            ++I;
        Text += Value[I];
    }
    return Text;
}

std::string OsReleaseValue(std::string_view OsRelease, std::string_view Key) {
    std::string Found;
    for (std::size_t Start = 0; Start < OsRelease.size();) {
        std::size_t End = OsRelease.find('\n', Start);
        if (End == std::string_view::npos)
            End = OsRelease.size();
        std::string_view Line = OsRelease.substr(Start, End - Start);
        while (!Line.empty() && (Line[0] == ' ' || Line[0] == '\t'))
            Line.remove_prefix(1);
        if (Line.size() > Key.size() && Line.substr(0, Key.size()) == Key && Line[Key.size()] == '=')
            Found = Unquote(Line.substr(Key.size() + 1)); // the last assignment holds, as in the shell
        Start = End + 1;
    }
    return Found;
}

std::uint32_t ReleaseNumber(std::string_view& Text) noexcept {
    std::uint32_t Number = 0;
    while (!Text.empty() && Text[0] >= '0' && Text[0] <= '9') {
        if (Number < 100000000)
            Number = Number * 10 + static_cast<std::uint32_t>(Text[0] - '0');
        Text.remove_prefix(1);
    }
    return Number;
}

} // namespace

std::uint8_t ClassifyOs(bool Is9x, bool IsNT, std::uint32_t Major, std::uint32_t Minor, std::uint32_t Build) noexcept {
    if (Is9x) {
        Build &= 0xffff;
        if (Major < 4)
            return 0;
        if (Major > 4 || Minor > 90)
            return 6;
        if (Minor < 10)
            return Build <= 1000 ? 1 : 2;
        if (Minor == 10)
            return Build <= 2000 ? 3 : Build <= 2700 ? 4 : 5;
        return 5;
    }
    if (IsNT) {
        if (Major < 4)
            return 7;
        if (Major == 4)
            return 8;
        if (Major > 5 || Minor > 2)
            return 12;
        return static_cast<std::uint8_t>(9 + Minor);
    }
    return 0;
}

const char* OsCodeName(std::uint8_t Code) noexcept {
    return Code < std::size(OsNames) ? OsNames[Code] : OsNames[0];
}

std::int32_t ServicePackNumber(std::string_view Text) noexcept {
    if (Text.size() < 14)
        return 0;
    Text.remove_prefix(13);
    return static_cast<std::int32_t>(ReleaseNumber(Text));
}

TOS MakeWindowsOsRecord(bool Is9x, bool IsNT, std::uint32_t Major, std::uint32_t Minor, std::uint32_t Build,
                        std::string_view ServicePackText) {
    TOS Os;
    Os.Major = Major;
    Os.Minor = Minor;
    Os.Build = Is9x ? Build & 0xffff : Build;
    Os.ServicePackText = ServicePackText;
    Os.Is9x = Is9x && !IsNT;
    Os.IsNT = IsNT && !Is9x;
    Os.OsCode = ClassifyOs(Os.Is9x, Os.IsNT, Major, Minor, Build);
    Os.Code9x = Os.Is9x ? Os.OsCode : 0;
    Os.CodeNT = Os.IsNT ? Os.OsCode : 0;
    Os.ServicePack = Os.IsNT ? ServicePackNumber(ServicePackText) : 0;
    Os.Description = OsCodeName(Os.OsCode);
    if (Os.IsNT && !ServicePackText.empty())
        Os.Description += " " + std::string(ServicePackText);
    return Os;
}

TOS MakeLinuxOsRecord(std::string_view KernelRelease, std::string_view OsRelease) {
    TOS Os;
    std::string_view Numbers = KernelRelease;
    Os.Major = ReleaseNumber(Numbers);
    if (!Numbers.empty() && Numbers[0] == '.') {
        Numbers.remove_prefix(1);
        Os.Minor = ReleaseNumber(Numbers);
        if (!Numbers.empty() && Numbers[0] == '.') {
            Numbers.remove_prefix(1);
            Os.Build = ReleaseNumber(Numbers);
        }
    }
    Os.Description = OsReleaseName(OsRelease);
    if (!KernelRelease.empty())
        Os.Description += ", Linux " + std::string(KernelRelease);
    return Os;
}

std::string OsReleaseName(std::string_view OsRelease) {
    std::string Name = OsReleaseValue(OsRelease, "PRETTY_NAME");
    if (Name.empty()) {
        Name = OsReleaseValue(OsRelease, "NAME");
        const std::string Version = OsReleaseValue(OsRelease, "VERSION");
        if (!Name.empty() && !Version.empty())
            Name += " " + Version;
    }
    return Name.empty() ? "Linux" : Name;
}

void GetOsRecord(TOS& Os) {
    static const TOS Record = [] {
        utsname System{};
        const std::string Release = uname(&System) == 0 ? System.release : "";
        std::string OsRelease = ReadSmallFile("/etc/os-release");
        if (OsRelease.empty())
            OsRelease = ReadSmallFile("/usr/lib/os-release");
        return MakeLinuxOsRecord(Release, OsRelease);
    }();
    Os = Record;
}

std::int32_t FreeSystemResourcesPercent(std::int32_t) noexcept {
    return 0;
}
