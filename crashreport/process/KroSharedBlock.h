#pragma once

#include <cstdint>
#include <string_view>
#include <sys/types.h>

// Blocks of named shared memory (the thread registry, the restart hand-over), which live in /dev/shm, a folder every
// user may write to. Each block is this user's alone: created exclusively with mode 0600, and a block of the same name
// that another user owns (or that others may write to) is refused, never read or written. A process that ends
// without its shutdown (SIGKILL) leaves its blocks behind: the next start removes those of this user whose process is
// gone.

// Creates a block exclusively, mode 0600 whatever the umask, open for reading and writing. -1 when it cannot (errno
// EEXIST when the name is taken).
int CreateOwnSharedBlock(const char* Name) noexcept;

// Opens an existing block (Flags O_RDONLY or O_RDWR) when it is this user's alone. -1 when there is none, or (errno
// EACCES) when another user owns it or others may open it.
int OpenOwnSharedBlock(const char* Name, int Flags) noexcept;

// Whether a block of that name exists and another user owns it (this user cannot replace it then).
bool SharedBlockOfAnotherUser(const char* Name) noexcept;

// Removes this user's blocks named Prefix ("KroExceptThreadNameBuf"), "$" and a process id in hexadecimal, when
// Stale says so for that process and the open block.
void RemoveStaleSharedBlocks(std::string_view Prefix, bool (*Stale)(pid_t Process, int File));

// Whether a process runs (a process that has ended but not yet been collected does not). Its start time, in clock
// ticks since boot, when wanted (0 when unknown).
bool ProcessRuns(pid_t Process, std::uint64_t* StartTime = nullptr) noexcept;
