#include "KroProgressBar.h"

#include "KroXDisplay.h"
#include "KroXText.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::uint32_t Yellow = 0xffff00;

} // namespace

std::unique_ptr<TProgressBar> TProgressBar::Create() {
    auto Display = std::make_unique<TKroXDisplay>();
    if (!Display->Ok())
        return nullptr;
    return std::unique_ptr<TProgressBar>(new TProgressBar(std::move(Display)));
}

TProgressBar::TProgressBar(std::unique_ptr<TKroXDisplay> Own) : Display(std::move(Own)) {
    ::Display* Dpy = Display->Dpy();
    Width = std::max(40, Display->ScreenWidth() / 2);
    const int X = (Display->ScreenWidth() - Width) / 2, Y = (Display->ScreenHeight() - Height) / 2;
    XSetWindowAttributes Attributes{};
    Attributes.override_redirect = True; // a popup: no frame, no focus, not managed
    Attributes.background_pixmap = None;
    Attributes.event_mask = ExposureMask;
    Popup = XCreateWindow(Dpy, Display->Root(), X, Y, static_cast<unsigned>(Width), static_cast<unsigned>(Height), 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixmap | CWEventMask,
                          &Attributes);
    char Name[] = "kroprogress";
    char ClassName[] = "KroProgressBar";
    XClassHint ClassHint{Name, ClassName};
    XSetClassHint(Dpy, Popup, &ClassHint);
    Display->SetTitle(Popup, "KroProgressBar");
    Buffer = XCreatePixmap(Dpy, Popup, static_cast<unsigned>(Width), static_cast<unsigned>(Height),
                           static_cast<unsigned>(Display->Depth()));
    Gc = XCreateGC(Dpy, Buffer, 0, nullptr);
    XSetFont(Dpy, Gc, Display->NormalFont()->fid);
    // The frame: a light edge, the face one pixel in, a yellow outline two pixels in, shadow lines bottom and right.
    XSetForeground(Dpy, Gc, Display->Pixel(KroColors::ButtonHighlight));
    XFillRectangle(Dpy, Buffer, Gc, 0, 0, static_cast<unsigned>(Width), static_cast<unsigned>(Height));
    XSetForeground(Dpy, Gc, Display->Pixel(KroColors::ButtonFace));
    XFillRectangle(Dpy, Buffer, Gc, 1, 1, static_cast<unsigned>(Width - 2), static_cast<unsigned>(Height - 2));
    XSetForeground(Dpy, Gc, Display->Pixel(Yellow));
    XDrawRectangle(Dpy, Buffer, Gc, 2, 2, static_cast<unsigned>(Width - 5), static_cast<unsigned>(Height - 5));
    XSetForeground(Dpy, Gc, Display->Pixel(KroColors::ButtonShadow));
    XDrawLine(Dpy, Buffer, Gc, 0, Height - 1, Width - 1, Height - 1);
    XDrawLine(Dpy, Buffer, Gc, Width - 1, 0, Width - 1, Height - 1);
    DrawPosition(0, true);
    XMapRaised(Dpy, Popup);
    XFlush(Dpy);
}

TProgressBar::~TProgressBar() {
    ::Display* Dpy = Display->Dpy();
    XFreeGC(Dpy, Gc);
    XFreePixmap(Dpy, Buffer);
    XDestroyWindow(Dpy, Popup);
    XFlush(Dpy);
}

void TProgressBar::ServeEvents() {
    ::Display* Dpy = Display->Dpy();
    while (XPending(Dpy) > 0) {
        XEvent Event;
        XNextEvent(Dpy, &Event);
        if (Event.type == Expose && Event.xexpose.window == Popup)
            XCopyArea(Dpy, Buffer, Popup, Gc, Event.xexpose.x, Event.xexpose.y,
                      static_cast<unsigned>(Event.xexpose.width), static_cast<unsigned>(Event.xexpose.height),
                      Event.xexpose.x, Event.xexpose.y);
    }
}

void TProgressBar::SetPosition(std::int32_t Permille) {
    DrawPosition(std::clamp(Permille, 0, 1000), false);
    ServeEvents();
    XFlush(Display->Dpy());
}

void TProgressBar::DrawPosition(std::int32_t Permille, bool Force) {
    ::Display* Dpy = Display->Dpy();
    XFontStruct* Font = Display->NormalFont();
    const int Left = 4, Top = 4, Inner = Width - 8, InnerHeight = Height - 8;
    const int End = Left + Inner * Permille / 1000;
    const int Percent = (Permille + 5) / 10;
    if (!Force && End == LastEnd && Percent == LastPercent)
        return;
    char Label[8];
    const int LabelLength = std::snprintf(Label, sizeof Label, "%d%%", Percent);
    const int LabelWidth = XTextWidth(Font, Label, LabelLength);
    XSetForeground(Dpy, Gc, Display->Pixel(KroColors::ButtonText));
    XFillRectangle(Dpy, Buffer, Gc, Left, Top, static_cast<unsigned>(End - Left), static_cast<unsigned>(InnerHeight));
    XSetForeground(Dpy, Gc, Display->Pixel(KroColors::ButtonFace));
    XFillRectangle(Dpy, Buffer, Gc, End, Top, static_cast<unsigned>(Left + Inner - End),
                   static_cast<unsigned>(InnerHeight));
    // The percentage, right-aligned: light where it lies on the bar, dark on the rest.
    const int LabelX = Left + Inner - 2 - LabelWidth;
    const int Baseline = Top + std::max(0, (InnerHeight - Font->ascent - Font->descent) / 2) + Font->ascent;
    XRectangle OnBar{static_cast<short>(Left), static_cast<short>(Top), static_cast<unsigned short>(End - Left),
                     static_cast<unsigned short>(InnerHeight)};
    XRectangle OffBar{static_cast<short>(End), static_cast<short>(Top), static_cast<unsigned short>(Left + Inner - End),
                      static_cast<unsigned short>(InnerHeight)};
    XSetClipRectangles(Dpy, Gc, 0, 0, &OnBar, 1, Unsorted);
    XSetForeground(Dpy, Gc, Display->Pixel(KroColors::ButtonHighlight));
    XDrawString(Dpy, Buffer, Gc, LabelX, Baseline, Label, LabelLength);
    XSetClipRectangles(Dpy, Gc, 0, 0, &OffBar, 1, Unsorted);
    XSetForeground(Dpy, Gc, Display->Pixel(KroColors::ButtonText));
    XDrawString(Dpy, Buffer, Gc, LabelX, Baseline, Label, LabelLength);
    XSetClipMask(Dpy, Gc, None);
    // Copy what changed: the stretch between the old and the new end, and the label's part.
    const int From = Force || LastEnd < 0 ? 0 : std::min(LastEnd, End);
    const int To = Force || LastEnd < 0 ? Width : std::max(LastEnd, End) + 1;
    XCopyArea(Dpy, Buffer, Popup, Gc, From, 0, static_cast<unsigned>(To - From), static_cast<unsigned>(Height), From,
              0);
    const int LabelArea = std::min(Width, 2 * LabelWidth + 4);
    XCopyArea(Dpy, Buffer, Popup, Gc, Width - LabelArea, 0, static_cast<unsigned>(LabelArea),
              static_cast<unsigned>(Height), Width - LabelArea, 0);
    LastEnd = End;
    LastPercent = Percent;
}
