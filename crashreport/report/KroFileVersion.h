#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Module versions. Linux files carry no version resource; a shared library names its version in its file name
// behind ".so." ("libQt6Core.so.6.4.2"), and that is what is read, up to four decimal parts of at most 16 bits.
// The path is followed through symbolic links first, since "libstdc++.so.6" is a link to "libstdc++.so.6.0.30".

// The version as 64 bits, the most significant part first (6.4.2 is 0x0006000400020000); 0 when the file names none.
std::uint64_t ReadFileVersion(const std::string& Path);
// The version's name in a file name alone, without looking at the file system.
std::uint64_t FileNameVersion(std::string_view FileName) noexcept;
// The four 16-bit parts in decimal, most significant first, joined by ".": "6.4.2.0".
std::string FormatFileVersion(std::uint64_t Version);
