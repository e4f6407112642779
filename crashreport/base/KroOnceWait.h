#pragma once

#include <atomic>
#include <cstdint>

// The wait for a lock that a thread stopped inside it (paused by a report, or one that faulted there) may hold for
// good: it is waited for once, and after a wait that ran out it is only tried, until it is had again. A report asks for
// such locks once per thread it lists; waiting each time would add up to minutes with many threads.
class TOnceWait final {
public:
    explicit constexpr TOnceWait(std::uint32_t WaitMs) noexcept : WaitMs_(WaitMs) {}

    // How long the next attempt may wait: the full wait, or 0 while the last one ran out.
    std::uint32_t Budget() const noexcept { return HeldOn_.load() ? 0 : WaitMs_; }
    // What the attempt came to: the lock had, or not.
    void Took(bool Got) noexcept { HeldOn_.store(!Got); }
    // The next attempt waits in full again.
    void Reset() noexcept { HeldOn_.store(false); }

private:
    std::uint32_t WaitMs_;
    std::atomic<bool> HeldOn_{false};
};
