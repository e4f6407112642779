#pragma once

#include <cstddef>

// The report's own heap. While a report is made the other threads are paused, and one of them may be paused inside
// the C library's allocator holding its lock; the reporting thread must then not wait for that lock. So, inside a
// TReportHeapScope, the thread's allocations come from this heap instead: address space of its own (reserved at
// start-up, more mapped straight from the system when a report needs it), handed out without any lock, and never
// returned to the C library. Memory of the C library's heap that is freed inside a scope
// is left alone (freeing it could wait for the lock); memory of this heap may be freed anywhere, by any thread.
//
// The program's allocation functions reach this heap only where the reporter's start-up hook takes the place of the
// C library's malloc family (programs built with the sanitizers keep theirs).

// Reserves the heap's first part of address space (start-up): what the report of a large program needs, or less when
// the process's address space is limited. False when not even a little can be had. Whatever the start-up got, the heap
// grows when a report needs more, as far as the address space allows; an allocation fails only when it cannot.
bool ReserveReportHeap() noexcept;
// The address space the heap holds now.
std::size_t ReportHeapReserved() noexcept;

// Whether the calling thread's allocations go to this heap now.
bool InReportHeapScope() noexcept;

// Whether the program's allocation functions are routed through this heap (set by the hook that routes them).
bool ReportHeapRouted() noexcept;
void SetReportHeapRouted(bool Routed) noexcept;

void* ReportHeapAllocate(std::size_t Size, std::size_t Alignment = 16) noexcept;
bool ReportHeapOwns(const void* Pointer) noexcept;
void ReportHeapFree(void* Pointer) noexcept;
// The usable size of a block of this heap.
std::size_t ReportHeapBlockSize(const void* Pointer) noexcept;

// Routes the calling thread's allocations to the report heap while it lives (scopes nest).
class TReportHeapScope final {
public:
    TReportHeapScope() noexcept;
    ~TReportHeapScope();
    TReportHeapScope(const TReportHeapScope&) = delete;
    TReportHeapScope& operator=(const TReportHeapScope&) = delete;

private:
    bool Previous;
};
