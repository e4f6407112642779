#include "KroReportHeader.h"

#include "KroExceptSettings.h"
#include "KroFileRead.h"
#include "KroFileVersion.h"
#include "KroOsInfo.h"
#include "KroStrings.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace {

// Gathered by the reporter's start-up, which runs before the program's own static objects are made: made on first
// use, and never destroyed (a crash while the program ends still needs them).
TReportHeaderFacts& StoredFacts() {
    static TReportHeaderFacts* const Facts = new TReportHeaderFacts;
    return *Facts;
}

std::string FileNameOnly(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

// The arguments after the program's name, joined by blanks; an argument with a blank or a quote is quoted.
std::string CommandLineText() {
    const std::vector<std::string> Arguments = KroCommandLine();
    if (Arguments.size() < 2)
        return {};
    std::string Line;
    for (const std::string& Argument : Arguments) {
        if (!Line.empty())
            Line += ' ';
        if (Argument.empty() || Argument.find_first_of(" \t\"") != std::string::npos) {
            Line += '"';
            for (const char C : Argument) {
                if (C == '"')
                    Line += '\\';
                Line += C;
            }
            Line += '"';
        } else {
            Line += Argument;
        }
    }
    return Line;
}

std::string UserNameText() {
    std::vector<char> Buffer(16384);
    passwd Entry{};
    passwd* Found = nullptr;
    if (getpwuid_r(geteuid(), &Entry, Buffer.data(), Buffer.size(), &Found) == 0 && Found != nullptr &&
        Found->pw_name != nullptr)
        return Found->pw_name;
    if (const char* Name = std::getenv("USER"))
        return Name;
    return IntToText(static_cast<std::int32_t>(geteuid()));
}

// The language of the user's locale as the locale data names it ("English"); empty for the C locale.
std::string LanguageText() {
    const locale_t Locale = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    if (Locale == static_cast<locale_t>(nullptr))
        return {};
    std::string Name;
    const char* Language = nl_langinfo_l(_NL_IDENTIFICATION_LANGUAGE, Locale);
    const char* Identity = nl_langinfo_l(_NL_IDENTIFICATION_TITLE, Locale);
    // The C and POSIX locales identify themselves as the standard's own set, not as a language.
    if (Language != nullptr && *Language != '\0' && (Identity == nullptr || std::strstr(Identity, "14652") == nullptr))
        Name = Language;
    freelocale(Locale);
    return Name;
}

// The mount point of the file system holding Path: the longest mount point in /proc/self/mountinfo on the same
// device.
std::string MountPointOf(const std::string& Path) {
    struct stat Target {};
    if (stat(Path.c_str(), &Target) != 0)
        return {};
    std::string Table;
    KroReadFile("/proc/self/mountinfo", Table);
    std::string Best;
    std::size_t Start = 0;
    while (Start < Table.size()) {
        std::size_t End = Table.find('\n', Start);
        if (End == std::string::npos)
            End = Table.size();
        const std::string Line = Table.substr(Start, End - Start);
        Start = End + 1;
        // id parent major:minor root mount-point ...
        std::size_t Field = 0;
        std::size_t Position = 0;
        std::string Fields[5];
        while (Field < 5 && Position <= Line.size()) {
            const std::size_t Blank = Line.find(' ', Position);
            Fields[Field++] = Line.substr(Position, Blank == std::string::npos ? std::string::npos : Blank - Position);
            if (Blank == std::string::npos)
                break;
            Position = Blank + 1;
        }
        if (Field < 5)
            continue;
        const std::size_t Colon = Fields[2].find(':');
        if (Colon == std::string::npos)
            continue;
        const unsigned Major = static_cast<unsigned>(std::strtoul(Fields[2].c_str(), nullptr, 10));
        const unsigned Minor = static_cast<unsigned>(std::strtoul(Fields[2].c_str() + Colon + 1, nullptr, 10));
        if (Major != major(Target.st_dev) || Minor != minor(Target.st_dev))
            continue;
        const std::string& Mount = Fields[4];
        const bool Prefix = Path.compare(0, Mount.size(), Mount) == 0 &&
                            (Mount == "/" || Path.size() == Mount.size() || Path[Mount.size()] == '/');
        if (Prefix && Mount.size() > Best.size())
            Best = Mount;
    }
    return Best.empty() ? std::string("/") : Best;
}

std::string DeviceKey(const std::string& Path) {
    struct stat Status {};
    return stat(Path.c_str(), &Status) == 0 ? Int64ToText(static_cast<std::int64_t>(Status.st_dev)) : std::string();
}

void ModulePathOf(std::string& Path) {
    Dl_info Info{};
    if (dladdr(reinterpret_cast<const void*>(&GatherReportHeaderFacts), &Info) != 0 && Info.dli_fname != nullptr &&
        *Info.dli_fname != '\0')
        Path = Info.dli_fname;
    char Resolved[4096];
    if (!Path.empty() && realpath(Path.c_str(), Resolved) != nullptr)
        Path = Resolved;
}

// Days since 1970-01-01 to a civil date.
void CivilFromDays(std::int64_t Days, std::int64_t& Year, unsigned& Month, unsigned& Day) noexcept {
    Days += 719468;
    const std::int64_t Era = (Days >= 0 ? Days : Days - 146096) / 146097;
    const auto DayOfEra = static_cast<unsigned>(Days - Era * 146097);
    const unsigned YearOfEra = (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
    const unsigned DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
    const unsigned MonthPrime = (5 * DayOfYear + 2) / 153;
    Day = DayOfYear - (153 * MonthPrime + 2) / 5 + 1;
    Month = MonthPrime < 10 ? MonthPrime + 3 : MonthPrime - 9;
    Year = static_cast<std::int64_t>(YearOfEra) + Era * 400 + (Month <= 2 ? 1 : 0);
}

std::string Two(unsigned Value) {
    return CardinalToTextPadded(Value, 2, '0');
}

void AddLine(std::string& Text, const char* Label, const std::string& Value) {
    Text += Label;
    Text += Value;
    Text += "\r\n";
}

} // namespace

std::string FormatReportTime(std::int64_t Seconds, std::int64_t UtcOffsetSeconds) {
    const std::int64_t Local = Seconds + UtcOffsetSeconds;
    std::int64_t Days = Local / 86400;
    std::int64_t InDay = Local % 86400;
    if (InDay < 0) {
        InDay += 86400;
        --Days;
    }
    std::int64_t Year = 0;
    unsigned Month = 0, Day = 0;
    CivilFromDays(Days, Year, Month, Day);
    return Int64ToTextPadded(Year, 4, '0') + "-" + Two(Month) + "-" + Two(Day) + " " +
           Two(static_cast<unsigned>(InDay / 3600)) + ":" + Two(static_cast<unsigned>(InDay % 3600 / 60));
}

std::string UpTimeText(std::uint64_t Seconds) {
    struct TPart {
        std::uint64_t Value;
        const char* Unit;
    };
    const std::uint64_t Days = Seconds / 86400, Hours = Seconds % 86400 / 3600, Minutes = Seconds % 3600 / 60,
                        Rest = Seconds % 60;
    TPart First{Days, "day"}, Second{Hours, "hour"};
    if (Days == 0) {
        First = {Hours, "hour"};
        Second = {Minutes, "minute"};
        if (Hours == 0) {
            First = {Minutes, "minute"};
            Second = {Rest, "second"};
        }
    }
    std::string Text;
    for (const TPart& Part : {First, Second}) {
        if (Part.Value == 0)
            continue;
        Text += Int64ToText(static_cast<std::int64_t>(Part.Value));
        Text += ' ';
        Text += Part.Unit;
        Text += Part.Value == 1 ? " " : "s ";
    }
    return Text;
}

std::string DiskText(const std::string& MountPoint) {
    struct statvfs Status {};
    if (MountPoint.empty() || statvfs(MountPoint.c_str(), &Status) != 0)
        return {};
    const auto Free = static_cast<std::int64_t>(Status.f_bavail) * static_cast<std::int64_t>(Status.f_frsize);
    return "(" + MountPoint + ") " + FormatByteSize(Free);
}

std::string MemoryText() {
    char Buffer[4096];
    const int File = open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    if (File < 0)
        return {};
    const ssize_t Read = read(File, Buffer, sizeof Buffer - 1);
    close(File);
    if (Read <= 0)
        return {};
    Buffer[Read] = '\0';
    auto Field = [&](const char* Name) -> std::int64_t {
        const char* Found = std::strstr(Buffer, Name);
        return Found == nullptr ? -1 : std::strtoll(Found + std::strlen(Name), nullptr, 10) * 1024;
    };
    const std::int64_t Total = Field("MemTotal:");
    const std::int64_t Available = Field("MemAvailable:");
    if (Total < 0 || Available < 0)
        return {};
    auto Mebibytes = [](std::int64_t Bytes) { return Int64ToText((Bytes + 524288) / 1048576); };
    return Mebibytes(Available) + "\xC2\xB7" + Mebibytes(Total) + " MB (free/total)";
}

void GatherReportHeaderFacts() {
    TReportHeaderFacts Gathered;
    utsname System{};
    if (uname(&System) == 0)
        Gathered.ComputerName = System.nodename;
    Gathered.UserName = UserNameText();
    TOS Os;
    GetOsRecord(Os);
    Gathered.OperatingSystem = Os.Description + " build " + Int64ToText(Os.Build);
    Gathered.SystemLanguage = LanguageText();
    Gathered.ProgramPath = KroProgramPath();
    Gathered.ProgramName = FileNameOnly(Gathered.ProgramPath);
    Gathered.ModulePath = Gathered.ProgramPath;
    ModulePathOf(Gathered.ModulePath);
    Gathered.CommandLine = CommandLineText();

    tzset();
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    if (localtime_r(&Now, &Local) != nullptr)
        Gathered.UtcOffsetSeconds = Local.tm_gmtoff;
    struct stat Module {};
    if (!Gathered.ModulePath.empty() && stat(Gathered.ModulePath.c_str(), &Module) == 0) {
        std::tm Written{};
        if (localtime_r(&Module.st_mtime, &Written) != nullptr)
            Gathered.ModuleDateTime = FormatReportTime(Module.st_mtime, Written.tm_gmtoff);
    }
    if (ExceptSettings.VersionVariable != 0) {
        const char* const* Pointer = reinterpret_cast<const char* const*>(ExceptSettings.VersionVariable);
        if (*Pointer != nullptr)
            Gathered.Version = *Pointer;
    } else if (const std::uint64_t Version = ReadFileVersion(Gathered.ModulePath); Version != 0) {
        Gathered.Version = FormatFileVersion(Version);
    }
    Gathered.SystemMount = MountPointOf("/");
    Gathered.ProgramMount = Gathered.SystemMount;
    if (!Gathered.ProgramPath.empty() && DeviceKey(Gathered.ProgramPath) != DeviceKey("/"))
        Gathered.ProgramMount = MountPointOf(Gathered.ProgramPath);
    // The byte sizes of the disk line use the locale's decimal separator, read now once and for all.
    GetDecimalSeparator();
    StoredFacts() = std::move(Gathered);
}

const TReportHeaderFacts& ReportHeaderFacts() noexcept {
    return StoredFacts();
}

std::string ComposeBugReportHeader(const TReportHeaderFacts& Facts, std::int64_t Now) {
    std::string Text;
    AddLine(Text, "date/time         : ", FormatReportTime(Now, Facts.UtcOffsetSeconds));
    AddLine(Text, "computer name     : ", Facts.ComputerName);
    AddLine(Text, "user name         : ", Facts.UserName);
    AddLine(Text, "operating system  : ", Facts.OperatingSystem);
    if (!Facts.SystemLanguage.empty())
        AddLine(Text, "system language   : ", Facts.SystemLanguage);
    timespec Boot{};
    if (clock_gettime(CLOCK_BOOTTIME, &Boot) == 0)
        if (const std::string UpTime = UpTimeText(static_cast<std::uint64_t>(Boot.tv_sec)); !UpTime.empty())
            AddLine(Text, "system up time    : ", UpTime);
    AddLine(Text, "physical memory   : ", MemoryText());
    std::string Disk = DiskText(Facts.SystemMount);
    if (Facts.ProgramMount != Facts.SystemMount)
        Disk += " " + DiskText(Facts.ProgramMount);
    AddLine(Text, "free disk space   : ", Disk);
    AddLine(Text, "process id        : ", "$" + IntToHexText(static_cast<std::uint32_t>(getpid())));
    if (ExceptSettings.ShowCommandLine && !Facts.CommandLine.empty())
        AddLine(Text, "command line      : ", Facts.CommandLine);
    AddLine(Text, "executable        : ", Facts.ProgramName);
    const bool IsProgram = Facts.ModulePath == Facts.ProgramPath;
    if (!IsProgram)
        AddLine(Text, "current module    : ", Facts.ModulePath);
    if (!Facts.ModuleDateTime.empty()) {
        AddLine(Text, IsProgram ? "exec. date/time   : " : "module date/time  : ", Facts.ModuleDateTime);
        if (!Facts.Version.empty())
            AddLine(Text, "version           : ", Facts.Version);
    }
    AddLine(Text, "KroExcept version : ", "2.6a");
    return Text;
}
