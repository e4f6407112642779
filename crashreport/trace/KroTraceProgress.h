#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// The progress of one report's stack traces, and the small popup that shows it when tracing takes long.
//
// The report announces its work as areas, each with a weight (a thread's stack size); a trace moves the position
// within the current area from 0 to 1000 and then finishes it. The popup appears only for work that has lasted more
// than 750 ms and is less than half done, and then counts from 0% at the point where it appeared.

// The popup's drawing comes from above: the reporter's start-up hands down the exception box's progress bar, tests
// put their own in its place. Without one nothing is drawn.
class TProgressPopup {
public:
    virtual ~TProgressPopup() = default;
    // Permille 0..1000.
    virtual void SetPosition(std::int32_t Permille) = 0;
};

// Makes the popup when it is due; it may give null (no display).
using TProgressPopupFactory = std::unique_ptr<TProgressPopup> (*)();
// Sets the drawing; null: nothing is drawn.
void SetProgressPopupFactory(TProgressPopupFactory Factory) noexcept;

inline constexpr std::int64_t ProgressPopupDelayMs = 750;

class TTraceProgress final {
public:
    // Milliseconds of a monotonic clock; tests give their own.
    using TClock = std::int64_t (*)();

    explicit TTraceProgress(TClock Clock = nullptr);
    ~TTraceProgress();
    TTraceProgress(const TTraceProgress&) = delete;
    TTraceProgress& operator=(const TTraceProgress&) = delete;

    // Announces an area of work with Weight; it starts where the total stood.
    void AddArea(std::uint64_t Weight);
    // The position within the current area, 0..1000 (clamped).
    void SetPosition(std::int32_t Position);
    // Position 1000, then the next area.
    void FinishArea();

    // Whether the popup is up, and the permille it shows (0 before it appears).
    bool PopupShown() const noexcept { return Shown; }
    std::int32_t PopupPosition() const noexcept { return LastShown; }

private:
    struct TArea {
        std::uint64_t Start = 0;
        std::uint64_t Size = 0;
    };

    std::int64_t Now() const;

    TClock Clock;
    std::int64_t Created = 0;
    std::vector<TArea> Areas;
    std::uint64_t Total = 0;
    std::size_t Current = 0;
    std::uint64_t ShownAt = 0;
    bool Shown = false;
    std::int32_t LastShown = 0;
    std::unique_ptr<TProgressPopup> Popup;
};
