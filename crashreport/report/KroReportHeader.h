#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// The system and process header of a bug report. Whatever needs the name services, locale data or the time-zone
// files (user name, language, local time offset, file times) is gathered once at start-up by GatherReportHeaderFacts;
// composing the header later only reads the kernel's own counters, so a report never waits for a lock that a paused
// thread may hold in those services.

struct TReportHeaderFacts {
    std::string ComputerName;
    std::string UserName;
    std::string OperatingSystem; // description, " build ", build number
    std::string SystemLanguage;  // empty: the locale names none
    std::string ProgramPath;     // the executable
    std::string ProgramName;     // without folder
    std::string ModulePath;      // the module carrying the reporter
    std::string CommandLine;     // the arguments as one line; empty without arguments
    std::string ModuleDateTime;  // last write of the module's file, local time; empty when it cannot be found
    std::string Version;         // empty: no version line
    std::string SystemMount;     // the file system of the system's folder ("/")
    std::string ProgramMount;    // the file system of the program's file
    std::int64_t UtcOffsetSeconds = 0;
};

// Gathers the facts (start-up, outside any signal handler).
void GatherReportHeaderFacts();
const TReportHeaderFacts& ReportHeaderFacts() noexcept;

// The header's lines, each ending in CR LF, with the facts and the current counters.
std::string ComposeBugReportHeader(const TReportHeaderFacts& Facts, std::int64_t Now);

// "2004-03-15 09:05": a time in seconds since 1970 shifted by an offset, without the C library's time-zone code.
std::string FormatReportTime(std::int64_t Seconds, std::int64_t UtcOffsetSeconds);
// "3 days 1 hour ": the two largest parts of an up time, each non-zero part with its unit; ends with a blank.
std::string UpTimeText(std::uint64_t Seconds);
// "(/) 1,50 GB": the free space of a file system; empty for an unknown one.
std::string DiskText(const std::string& MountPoint);
// "1234·16000 MB (free/total)"; empty when the counters cannot be read.
std::string MemoryText();
