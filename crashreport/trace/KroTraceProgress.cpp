#include "KroTraceProgress.h"

#include <atomic>
#include <ctime>

namespace {

std::atomic<TProgressPopupFactory> PopupFactory{nullptr};

std::int64_t MonotonicMs() {
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    return static_cast<std::int64_t>(Now.tv_sec) * 1000 + Now.tv_nsec / 1000000;
}

} // namespace

void SetProgressPopupFactory(TProgressPopupFactory Factory) noexcept {
    PopupFactory.store(Factory, std::memory_order_release);
}

TTraceProgress::TTraceProgress(TClock Clock) : Clock(Clock) {
    Created = Now();
}

TTraceProgress::~TTraceProgress() = default;

std::int64_t TTraceProgress::Now() const {
    return Clock != nullptr ? Clock() : MonotonicMs();
}

void TTraceProgress::AddArea(std::uint64_t Weight) {
    // Weights are stack sizes; no sum of them comes near this, and the arithmetic below stays exact under it.
    constexpr std::uint64_t MaxWeight = std::uint64_t{1} << 40;
    if (Weight > MaxWeight)
        Weight = MaxWeight;
    if (Areas.size() >= 1u << 16)
        return;
    Areas.push_back(TArea{Total, Weight});
    Total += Weight;
}

void TTraceProgress::SetPosition(std::int32_t Position) {
    if (Current >= Areas.size())
        return; // nothing announced, or every area done
    Position = Position < 0 ? 0 : Position > 1000 ? 1000 : Position;
    const TArea& Area = Areas[Current];
    const std::uint64_t Global = Area.Start + Area.Size * static_cast<std::uint64_t>(Position) / 1000;
    // When no stack could be read the total is 0, and nothing remains to show progress against.
    const std::uint64_t Remaining = Total > ShownAt ? Total - ShownAt : 0;
    const std::int32_t Permille =
        Remaining == 0 ? 1000 : static_cast<std::int32_t>((Global > ShownAt ? Global - ShownAt : 0) * 1000 / Remaining);
    if (!Shown) {
        if (Now() - Created <= ProgressPopupDelayMs || Permille >= 500)
            return;
        Shown = true;
        ShownAt = Global;
        LastShown = 0;
        if (const TProgressPopupFactory Factory = PopupFactory.load(std::memory_order_acquire); Factory != nullptr)
            Popup = Factory();
        if (Popup != nullptr)
            Popup->SetPosition(0);
        return;
    }
    LastShown = Permille;
    if (Popup != nullptr)
        Popup->SetPosition(Permille);
}

void TTraceProgress::FinishArea() {
    SetPosition(1000);
    if (Current < Areas.size())
        ++Current;
}
