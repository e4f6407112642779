#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reading whole files with plain system calls: the system's small text files (/proc, /etc), the map files beside a
// module, the files the tools are given. No stream library: the report path must not wait for a lock a paused thread
// holds in it.

enum class TKroFileRead { Read, CannotOpen, CannotRead, TooLarge };

// Reads the file at Path into Content, from its start to its end (regular files, /proc files, which tell no size,
// and pipes alike). A file larger than Limit gives TooLarge with its first Limit bytes in Content; a failed read
// leaves what was read before it.
TKroFileRead KroReadFile(const char* Path, std::string& Content, std::size_t Limit = SIZE_MAX);
TKroFileRead KroReadFile(const char* Path, std::vector<std::uint8_t>& Content, std::size_t Limit = SIZE_MAX);

// Reads from the open file Handle until Size bytes are in Buffer or the file ends; the count read, -1 on a read error.
std::ptrdiff_t KroReadFull(int Handle, void* Buffer, std::size_t Size) noexcept;

// Reads the file at Path into Buffer, at most Size - 1 bytes, and ends them with a zero byte; the count read, -1 when
// the file cannot be opened or read. Allocation-free and lock-free, for the small files of /proc on the report path.
std::ptrdiff_t KroReadFileInto(const char* Path, char* Buffer, std::size_t Size) noexcept;

// The file this program was started from, as the kernel names it ("/usr/bin/prog", with " (deleted)" behind when it
// was replaced meanwhile); empty when it cannot be told.
std::string KroProgramPath();

// The arguments this process was started with, its name first, from the kernel's copy.
std::vector<std::string> KroCommandLine();
