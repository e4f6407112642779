#pragma once

#include "KroExceptBoxLayout.h"
#include "KroXText.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <string_view>
#include <vector>

class TKroXDisplay;

// One of the exception box's owner-drawn buttons: a child window painted by the box in the look it is given (face
// and text colour, the countdown bar), with its glyph and its caption. Its caption is also the X window's name, so
// that tools can find the button.
class TBoxButton final {
public:
    TBoxButton(TKroXDisplay& Display, Window Parent, const TBoxRect& Rect, int Action, int Glyph,
               std::string_view Caption, bool Enabled);
    ~TBoxButton();
    TBoxButton(const TBoxButton&) = delete;
    TBoxButton& operator=(const TBoxButton&) = delete;

    Window Handle() const noexcept { return Button; }
    int Action() const noexcept { return ActionCode; }
    bool Enabled() const noexcept { return IsEnabled; }
    int Width() const noexcept { return Rect.Width; }
    const TBoxRect& Bounds() const noexcept { return Rect; }
    void MoveBy(int Dx);

    // Paints the button through Canvas (at least as large as the button) in the face and text colours (0xRRGGBB).
    // Bar >= 0 draws the countdown bar at that x.
    void Paint(Pixmap Canvas, GC Gc, XImage* GlyphImage, std::uint32_t Face, std::uint32_t TextColor, int Bar);

private:
    TKroXDisplay& Display;
    Window Button = 0;
    TBoxRect Rect;
    int ActionCode;
    int GlyphIndex;
    bool IsEnabled;
    std::vector<XChar2b> Caption;
    int CaptionWidth = 0;
};
