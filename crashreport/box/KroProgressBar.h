#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>

class TKroXDisplay;

// The small popup that shows how far a long stack trace has come: a borderless bar across the middle of the screen
// with the percentage, on a connection of its own (the tracer runs while the program's threads are paused). The
// tracer makes it when a trace takes long and drops it when done.
class TProgressBar final {
public:
    // Shows the bar at 0; null when no display can be opened.
    static std::unique_ptr<TProgressBar> Create();
    ~TProgressBar();
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    // Position in thousandths (0..1000; values outside are clamped). Redraws only what changed.
    void SetPosition(std::int32_t Permille);

private:
    explicit TProgressBar(std::unique_ptr<TKroXDisplay> Display);
    void DrawPosition(std::int32_t Permille, bool Force);
    void ServeEvents();

    std::unique_ptr<TKroXDisplay> Display;
    Window Popup = 0;
    Pixmap Buffer = 0;
    GC Gc = nullptr;
    int Width = 0;
    int Height = 23;
    int LastEnd = -1;
    int LastPercent = -1;
};
