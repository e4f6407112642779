#pragma once

#include "KroXText.h"

#include <X11/Xlib.h>

#include <string_view>
#include <vector>

class TKroXDisplay;

// The report shown in the exception box: a read-only text view in the fixed-width font with both scroll bars. It
// scrolls with the keyboard (when it has the box's focus), the wheel, and the scroll bars' arrows, tracks and thumbs.
// The text is decoded and split once; scrolling and drawing allocate nothing.
class TReportView final {
public:
    TReportView(TKroXDisplay& Display, Window Parent, int X, int Y, int Width, int Height, std::string_view Report);
    ~TReportView();
    TReportView(const TReportView&) = delete;
    TReportView& operator=(const TReportView&) = delete;

    Window Handle() const noexcept { return View; }
    bool HandleEvent(XEvent& Event);
    // A key while the view has the focus; true when it scrolled (or could have).
    bool HandleKey(KeySym Key, unsigned State);
    void SetFocused(bool Focused);
    void Paint();

    // Where the view shows the text (for tests and the box): the first line and the left pixel shown.
    std::size_t TopLine() const noexcept { return Top; }
    std::size_t LineCount() const noexcept { return Lines.size(); }

private:
    struct TBar {
        int X = 0, Y = 0, Length = 0; // the whole bar, arrows included, along its axis
        bool Vertical = true;
    };

    void ScrollTo(long NewTop, long NewLeft);
    int VisibleLines() const noexcept;
    int TextWidth() const noexcept;
    int TextHeight() const noexcept;
    long MaxTop() const noexcept;
    long MaxLeft() const noexcept;
    // The thumb's start and length within the track, in pixels.
    void Thumb(const TBar& Bar, int& Start, int& Length) const noexcept;
    void PaintBar(const TBar& Bar);
    void PaintArrow(int X, int Y, bool Vertical, bool Forward);
    void Press(int X, int Y, unsigned Button, unsigned State);
    void Drag(int X, int Y);

    TKroXDisplay& Display;
    Window View = 0;
    Pixmap Buffer = 0;
    GC Gc = nullptr;
    int Width, Height;
    std::vector<XChar2b> Text;
    std::vector<TXTextLine> Lines;
    int LineHeight = 13;
    int CharWidth = 6;
    int WidestLine = 0;
    long Top = 0;
    long Left = 0;
    bool Focused = false;
    TBar VBar, HBar;
    // Dragging a thumb: which bar, and where the pointer took hold of it.
    const TBar* Dragging = nullptr;
    int DragOffset = 0;
};
