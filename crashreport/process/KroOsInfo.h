#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The operating system the report names.
//
// The report's format has family fields (Is9x, IsNT, their codes, the service pack) and a classifier of version
// numbers that fills them (a pure function); on this system both family flags are false and the codes 0. The version
// is the kernel's (major, minor and patch level from its release text, the patch level as the build number) and the
// description is the distribution's name from os-release followed by the kernel release:
// "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64".
struct TOS {
    std::uint32_t Major = 0;
    std::uint32_t Minor = 0;
    std::uint32_t Build = 0;
    std::string ServicePackText; // the service-pack text; none on this system
    bool Is9x = false;
    std::uint8_t Code9x = 0;
    bool IsNT = false;
    std::uint8_t CodeNT = 0;
    std::uint8_t OsCode = 0; // 0 to 12, see OsCodeName
    std::int32_t ServicePack = 0;
    std::string Description;
};

// The record of this system, computed once per process (call it at start-up) and then copied out.
void GetOsRecord(TOS& Os);

// The Windows family classifier: code 0 "None" to 12 "Windows NT New" for the version numbers of the 9x family
// (build: its low 16 bits) or the NT family; 0 for neither.
std::uint8_t ClassifyOs(bool Is9x, bool IsNT, std::uint32_t Major, std::uint32_t Minor, std::uint32_t Build) noexcept;
const char* OsCodeName(std::uint8_t Code) noexcept;

// The number behind the first 13 characters of a service-pack text of at least 14 ("Service Pack 2" gives 2), else 0.
std::int32_t ServicePackNumber(std::string_view Text) noexcept;

// The record of a Windows version, as the classifier sees it: codes, service pack and description (the name for the
// code, and on the NT family " " and the service-pack text when there is one).
TOS MakeWindowsOsRecord(bool Is9x, bool IsNT, std::uint32_t Major, std::uint32_t Minor, std::uint32_t Build,
                        std::string_view ServicePackText);

// The record of a Linux system from its kernel release ("6.1.0-18-amd64") and its os-release file's text.
TOS MakeLinuxOsRecord(std::string_view KernelRelease, std::string_view OsRelease);

// The distribution's name from an os-release text: PRETTY_NAME, else NAME and VERSION, else "Linux". Values may be
// quoted as the shell quotes them.
std::string OsReleaseName(std::string_view OsRelease);

// The free system resources of a kind in percent, a figure of the report's format: this system keeps no such
// figure, so always 0.
std::int32_t FreeSystemResourcesPercent(std::int32_t Kind) noexcept;
