#pragma once

#include <X11/Xlib.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

class TKroXWindow;

// What rides on a display connection besides its windows and sees each event before them (the clipboard's selection
// traffic, KroClipboard.h): kept by the display and ended before the connection closes.
class TKroXEventFilter {
public:
    virtual ~TKroXEventFilter() = default;
    // True when the event was the filter's and no window is to see it.
    virtual bool HandleEvent(XEvent& Event) = 0;
};

// The colours of the reporter's windows (0xRRGGBB), the classic three-dimensional set of a desktop dialog.
namespace KroColors {
inline constexpr std::uint32_t ButtonFace = 0xd4d0c8;
inline constexpr std::uint32_t ButtonHighlight = 0xffffff;
inline constexpr std::uint32_t ButtonShadow = 0x808080;
inline constexpr std::uint32_t DarkShadow = 0x404040;
inline constexpr std::uint32_t ButtonText = 0x000000;
inline constexpr std::uint32_t Window = 0xffffff;
inline constexpr std::uint32_t WindowText = 0x000000;
} // namespace KroColors

// One connection of the reporter's own to the X server, opened and closed by its owner.
//
// The reporter shows its windows while the program's other threads are paused, and the program's GUI thread may be
// the one that failed. So this connection shares nothing with the program's toolkit: it is opened here, never touches
// the toolkit's connection, and uses nothing that loads a library (no font configuration, no input methods, no cursor
// themes: core fonts and cursors from the server's cursor font). Everything it needs is set up when it opens; while
// a window shows, the loop allocates nothing of its own.
class TKroXDisplay final {
public:
    // Opens the display DISPLAY names, after making sure it answers within a few seconds. Ok() tells.
    TKroXDisplay();
    ~TKroXDisplay();
    TKroXDisplay(const TKroXDisplay&) = delete;
    TKroXDisplay& operator=(const TKroXDisplay&) = delete;

    bool Ok() const noexcept { return Dpy_ != nullptr; }
    ::Display* Dpy() const noexcept { return Dpy_; }
    int Screen() const noexcept { return Screen_; }
    Window Root() const noexcept { return Root_; }
    int Depth() const noexcept { return Depth_; }
    int ScreenWidth() const noexcept;
    int ScreenHeight() const noexcept;

    // The fonts: the dialog text and the report's fixed-width text. Never null once open.
    XFontStruct* NormalFont() const noexcept { return Normal; }
    XFontStruct* ReportFont() const noexcept { return Report; }

    // The pixel value of an 0xRRGGBB colour.
    unsigned long Pixel(std::uint32_t Rgb) const;

    Cursor ArrowCursor() const noexcept { return Arrow; }
    Cursor WaitCursor() const noexcept { return Wait; }

    // The atoms the windows and the clipboard use, interned once.
    struct TAtoms {
        Atom WmProtocols, WmDeleteWindow, WmTakeFocus, NetWmName, NetWmState, NetWmStateAbove, NetWmWindowType,
            NetWmWindowTypeDialog, NetActiveWindow, MotifWmHints, Utf8String, Clipboard, Targets, Multiple, Timestamp,
            Text, TextPlain, TextPlainUtf8, Incr, AtomPair, ClipboardManager, SaveTargets, KroTransfer;
    };
    const TAtoms& Atoms() const noexcept { return Atoms_; }

    // The filter that sees each event first (null until one is set); setting one ends the one before.
    TKroXEventFilter* EventFilter() const noexcept { return Filter.get(); }
    void SetEventFilter(std::unique_ptr<TKroXEventFilter> NewFilter) noexcept { Filter = std::move(NewFilter); }

    // The windows whose events the loop hands on.
    void Register(TKroXWindow& Window) noexcept;
    void Unregister(TKroXWindow& Window) noexcept;

    // Waits up to TimeoutMs (-1: without limit) for an event or a wake-up and hands on every event that came; returns
    // at once on a broken connection.
    void Pump(int TimeoutMs);
    // Hands on the events that have come, without waiting.
    void PumpPending() { Pump(0); }
    void Flush();

    // Wakes a Pump waiting in another thread; safe from any thread and from a signal handler.
    void Wake() noexcept;
    // Whether Wake was called since the last ask (and clears it).
    bool TakeWake() noexcept;

    // The time of the last event with a time stamp: what selection requests and focus changes must carry.
    Time LastTime() const noexcept { return LastEventTime; }

    // Sets the window's title (the UTF-8 title for desktops that read it, a Latin-1 one for those that do not).
    void SetTitle(Window Handle, std::string_view Utf8Title);

    // Marks an X error of this connection as seen; the reporter ignores errors of its own requests (a requestor window
    // gone before its answer), but never lets one end the process.
    void NoteError() noexcept { ++ErrorCount; }
    unsigned long Errors() const noexcept { return ErrorCount; }

    // The connection broke (the server went away): every request on it fails at once from now on, Pump returns at once,
    // and whoever waits on it gives up. Never ends the process.
    void NoteBroken() noexcept { Broken_ = true; }
    bool Broken() const noexcept { return Broken_; }

private:
    void Dispatch(XEvent& Event);
    XFontStruct* LoadFont(const char* const* Names);

    ::Display* Dpy_ = nullptr;
    int Screen_ = 0;
    Window Root_ = 0;
    int Depth_ = 0;
    Visual* Visual_ = nullptr;
    XFontStruct* Normal = nullptr;
    XFontStruct* Report = nullptr;
    Font CursorFont = 0;
    Cursor Arrow = 0;
    Cursor Wait = 0;
    TAtoms Atoms_{};
    std::unique_ptr<TKroXEventFilter> Filter;
    std::array<TKroXWindow*, 8> Windows{};
    int WakeFds[2] = {-1, -1};
    Time LastEventTime = CurrentTime;
    unsigned long ErrorCount = 0;
    bool Broken_ = false;
};
