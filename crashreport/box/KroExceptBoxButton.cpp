#include "KroExceptBoxButton.h"

#include "KroBoxGlyphs.h"
#include "KroXDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace {

// A caption shows at most this many characters.
constexpr std::size_t MaxCaption = 30;

std::uint32_t Mix(std::uint32_t From, std::uint32_t To, int Part, int Parts) {
    std::uint32_t Result = 0;
    for (int Shift = 0; Shift <= 16; Shift += 8) {
        const int A = static_cast<int>((From >> Shift) & 0xff), B = static_cast<int>((To >> Shift) & 0xff);
        Result |= static_cast<std::uint32_t>((A * (Parts - Part) + B * Part) / Parts) << Shift;
    }
    return Result;
}

} // namespace

TBoxButton::TBoxButton(TKroXDisplay& Display, Window Parent, const TBoxRect& Rect, int Action, int Glyph,
                       std::string_view CaptionText, bool Enabled)
    : Display(Display), Rect(Rect), ActionCode(Action), GlyphIndex(Glyph), IsEnabled(Enabled) {
    AppendXText(CaptionText, Display.NormalFont(), 0, Caption);
    if (Caption.size() > MaxCaption)
        Caption.resize(MaxCaption);
    CaptionWidth = XTextWidthOf(Display.NormalFont(), Caption.data(), Caption.size());
    XSetWindowAttributes Attributes{};
    Attributes.background_pixmap = None; // painted whole by the box: no flicker of a background first
    Attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask;
    Button = XCreateWindow(Display.Dpy(), Parent, Rect.X, Rect.Y, static_cast<unsigned>(Rect.Width),
                           static_cast<unsigned>(Rect.Height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixmap | CWEventMask, &Attributes);
    XChangeProperty(Display.Dpy(), Button, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(CaptionText.data()),
                    static_cast<int>(CaptionText.size() < MaxCaption ? CaptionText.size() : MaxCaption));
    XMapWindow(Display.Dpy(), Button);
}

TBoxButton::~TBoxButton() {
    XDestroyWindow(Display.Dpy(), Button);
}

void TBoxButton::MoveBy(int Dx) {
    Rect.X += Dx;
    XMoveWindow(Display.Dpy(), Button, Rect.X, Rect.Y);
}

void TBoxButton::Paint(Pixmap Canvas, GC Gc, XImage* GlyphImage, std::uint32_t Face, std::uint32_t TextColor, int Bar) {
    ::Display* Dpy = Display.Dpy();
    const unsigned W = static_cast<unsigned>(Rect.Width), H = static_cast<unsigned>(Rect.Height);
    XSetForeground(Dpy, Gc, Display.Pixel(Face));
    XFillRectangle(Dpy, Canvas, Gc, 0, 0, W, H);
    if (Bar >= 0) {
        // The countdown bar: a line in the dialog's colour, softened on both sides towards the face.
        XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonFace));
        XDrawLine(Dpy, Canvas, Gc, Bar, 0, Bar, static_cast<int>(H) - 1);
        if (Display.Depth() >= 15)
            for (int Step = 1; Step <= 3; ++Step) {
                XSetForeground(Dpy, Gc, Display.Pixel(Mix(KroColors::ButtonFace, Face, Step, 4)));
                XDrawLine(Dpy, Canvas, Gc, Bar - Step, 0, Bar - Step, static_cast<int>(H) - 1);
                XDrawLine(Dpy, Canvas, Gc, Bar + Step, 0, Bar + Step, static_cast<int>(H) - 1);
            }
    }
    const TGlyph& Glyph = BoxGlyph(GlyphIndex);
    for (int Y = 0; Y < GlyphSize; ++Y)
        for (int X = 0; X < GlyphSize; ++X)
            XPutPixel(GlyphImage, X, Y, Display.Pixel(BlendGlyphPixel(Glyph[Y * GlyphSize + X], Face)));
    XPutImage(Dpy, Canvas, Gc, GlyphImage, 0, 0, 3, 3, GlyphSize, GlyphSize);

    XFontStruct* Font = Display.NormalFont();
    const int TextX = 27 + (Rect.Width - CaptionWidth - 35) / 2;
    const int Baseline = 4 + Font->ascent;
    const int Count = static_cast<int>(Caption.size());
    if (!IsEnabled) {
        XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonHighlight));
        XDrawString16(Dpy, Canvas, Gc, TextX + 1, Baseline + 1, Caption.data(), Count);
        XSetForeground(Dpy, Gc, Display.Pixel(KroColors::DarkShadow));
    } else {
        XSetForeground(Dpy, Gc, Display.Pixel(TextColor));
    }
    XDrawString16(Dpy, Canvas, Gc, TextX, Baseline, Caption.data(), Count);
    XCopyArea(Dpy, Canvas, Button, Gc, 0, 0, W, H, 0, 0);
}
