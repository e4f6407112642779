#pragma once

#include <X11/Xlib.h>

class TKroXDisplay;

// A window of the reporter's own, fed the events of its display's loop. Each top-level window (the exception box, a
// message box) registers with its display and takes the events of the X windows it owns.
class TKroXWindow {
public:
    TKroXWindow(const TKroXWindow&) = delete;
    TKroXWindow& operator=(const TKroXWindow&) = delete;

    TKroXDisplay& Display() const noexcept { return *Owner; }
    Window Handle() const noexcept { return TopLevel; }

    // Handles Event when it belongs to one of this window's X windows; false leaves it to the others.
    virtual bool HandleEvent(XEvent& Event) = 0;

    // A modal window over this one turns its input off (key presses and clicks are ignored) until it closes.
    void SetInputEnabled(bool Enabled) noexcept { InputEnabled = Enabled; }
    bool IsInputEnabled() const noexcept { return InputEnabled; }

    // Keeps the window above all others, or lets others cover it (a mail program started from it must be seen).
    void SetTopmost(bool Topmost);

protected:
    explicit TKroXWindow(TKroXDisplay& Display) noexcept : Owner(&Display) {}
    virtual ~TKroXWindow() = default;

    TKroXDisplay* Owner;
    Window TopLevel = 0;

private:
    bool InputEnabled = true;
};
