#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// The thread registry: the name, class and creator of each thread of the process, which the report's thread titles
// and "created by" lines show. It lives in a block of named shared memory, "/KroExceptThreadNameBuf$" and the process
// id in lower-case hexadecimal, so that every part of the process that carries the reporter finds the one list. A
// block left behind by a dead process whose id this process has inherited is recognised (its owner's id and start
// time differ) and replaced; one that another user owns is never used (the registry then lives in memory of this
// process alone). A child of fork leaves its parent's registry alone and makes its own when it first needs one.
//
// The list is guarded by a lock in the block. Readers on the report path wait for it only briefly and copy what they
// need into fixed buffers; writers are thread creation and naming, outside any signal handler.

struct TThreadInfo {
    char Name[64] = {};       // empty: none
    char ClassName[128] = {}; // empty: none
    std::uintptr_t CreatorAddress = 0;
    pid_t CreatorThread = 0;
};

// Creates or joins the registry and, when it creates it, names the main thread "main thread". False when the block
// can be neither created nor mapped.
bool OpenThreadRegistry() noexcept;
// Leaves the registry; the last to leave removes the block's name and frees the list.
void CloseThreadRegistry() noexcept;
// Removes the blocks of this user's processes that ended without their shutdown (start-up).
void RemoveStaleThreadRegistries();
bool ThreadRegistryOpen() noexcept;
// The block's name for a process id.
std::string ThreadRegistryName(pid_t ProcessId);

// Records a thread. Values a call does not carry (a null name or class, a creator of 0) are kept from the thread's
// earlier entry. Handle is the thread's pthread_t (0 when unknown), by which its name can be set later. A call that
// carries neither a name nor a creator removes the thread's entry. Afterwards the entry of at most one thread that
// has ended is removed.
void RegisterThreadInfo(pid_t ThreadId, std::uintptr_t Handle, const char* Name, pid_t CreatorThread,
                        std::uintptr_t CreatorAddress, const char* ClassName);
void SetThreadName(pid_t ThreadId, const char* Name);
void RemoveThreadInfo(pid_t ThreadId);
// The thread id recorded for a pthread_t, 0 when none.
pid_t ThreadOfHandle(std::uintptr_t Handle);

enum class TRegistryLookup {
    NoRegistry, // no registry, or its lock was not free within the wait
    NotFound,
    Found,
};
// Copies a thread's entry, waiting at most TimeoutMs for the lock. Allocation-free.
TRegistryLookup LookUpThreadInfo(pid_t ThreadId, TThreadInfo& Info, std::uint32_t TimeoutMs) noexcept;

// The registry's lock, for a reporter that must not pause a thread while that thread holds it. False when no
// registry is open or the lock was not free within TimeoutMs.
bool LockThreadRegistry(std::uint32_t TimeoutMs) noexcept;
void UnlockThreadRegistry() noexcept;

// The process is ending without its shutdown (after a fault): removes the block's name, so that no stale block is
// left behind. Safe in any state.
void UnlinkThreadRegistry() noexcept;
