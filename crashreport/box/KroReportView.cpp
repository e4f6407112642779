#include "KroReportView.h"

#include "KroXDisplay.h"

#include <X11/keysym.h>

#include <algorithm>

namespace {

constexpr int BarSize = 16;
constexpr int Margin = 4;
constexpr int WheelLines = 3;

} // namespace

TReportView::TReportView(TKroXDisplay& Display, Window Parent, int X, int Y, int Width, int Height,
                         std::string_view Report)
    : Display(Display), Width(Width), Height(Height) {
    XFontStruct* Font = Display.ReportFont();
    Text.reserve(Report.size() + Report.size() / 8);
    AppendXText(Report, Font, 8, Text);
    Lines = SplitXLines(Text);
    LineHeight = Font->ascent + Font->descent;
    CharWidth = Font->max_bounds.width > 0 ? Font->max_bounds.width : 6;
    for (const TXTextLine& Line : Lines)
        WidestLine = std::max(WidestLine, XTextWidthOf(Font, Text.data() + Line.Start, Line.Length));

    XSetWindowAttributes Attributes{};
    Attributes.background_pixel = Display.Pixel(KroColors::Window);
    Attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | Button1MotionMask;
    Attributes.cursor = Display.ArrowCursor();
    View =
        XCreateWindow(Display.Dpy(), Parent, X, Y, static_cast<unsigned>(Width), static_cast<unsigned>(Height), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask | CWCursor, &Attributes);
    Buffer = XCreatePixmap(Display.Dpy(), View, static_cast<unsigned>(Width), static_cast<unsigned>(Height),
                           static_cast<unsigned>(Display.Depth()));
    Gc = XCreateGC(Display.Dpy(), Buffer, 0, nullptr);
    XSetFont(Display.Dpy(), Gc, Font->fid);
    VBar = TBar{Width - BarSize, 0, Height - BarSize, true};
    HBar = TBar{0, Height - BarSize, Width - BarSize, false};
    XMapWindow(Display.Dpy(), View);
}

TReportView::~TReportView() {
    XFreeGC(Display.Dpy(), Gc);
    XFreePixmap(Display.Dpy(), Buffer);
    XDestroyWindow(Display.Dpy(), View);
}

int TReportView::TextWidth() const noexcept {
    return Width - BarSize - 2 * Margin;
}
int TReportView::TextHeight() const noexcept {
    return Height - BarSize - 2 * Margin;
}
int TReportView::VisibleLines() const noexcept {
    return std::max(1, TextHeight() / LineHeight);
}
long TReportView::MaxTop() const noexcept {
    return std::max(0L, static_cast<long>(Lines.size()) - VisibleLines());
}
long TReportView::MaxLeft() const noexcept {
    return std::max(0, WidestLine - TextWidth());
}

void TReportView::ScrollTo(long NewTop, long NewLeft) {
    NewTop = std::clamp(NewTop, 0L, MaxTop());
    NewLeft = std::clamp(NewLeft, 0L, MaxLeft());
    if (NewTop == Top && NewLeft == Left)
        return;
    Top = NewTop;
    Left = NewLeft;
    Paint();
}

void TReportView::SetFocused(bool Focus) {
    if (Focus == Focused)
        return;
    Focused = Focus;
    Paint();
}

bool TReportView::HandleKey(KeySym Key, unsigned State) {
    const long Page = std::max(1, VisibleLines() - 1);
    const bool Control = (State & ControlMask) != 0;
    switch (Key) {
    case XK_Up:
    case XK_KP_Up:
        ScrollTo(Top - 1, Left);
        return true;
    case XK_Down:
    case XK_KP_Down:
        ScrollTo(Top + 1, Left);
        return true;
    case XK_Page_Up:
    case XK_KP_Page_Up:
        ScrollTo(Top - Page, Left);
        return true;
    case XK_Page_Down:
    case XK_KP_Page_Down:
        ScrollTo(Top + Page, Left);
        return true;
    case XK_Left:
    case XK_KP_Left:
        ScrollTo(Top, Left - CharWidth);
        return true;
    case XK_Right:
    case XK_KP_Right:
        ScrollTo(Top, Left + CharWidth);
        return true;
    case XK_Home:
    case XK_KP_Home:
        ScrollTo(Control ? 0 : Top, 0);
        return true;
    case XK_End:
    case XK_KP_End:
        ScrollTo(Control ? MaxTop() : Top, Control ? Left : MaxLeft());
        return true;
    default:
        return false;
    }
}

bool TReportView::HandleEvent(XEvent& Event) {
    if (Event.xany.window != View)
        return false;
    switch (Event.type) {
    case Expose:
        if (Event.xexpose.count == 0)
            Paint();
        break;
    case ButtonPress:
        Press(Event.xbutton.x, Event.xbutton.y, Event.xbutton.button, Event.xbutton.state);
        break;
    case ButtonRelease:
        Dragging = nullptr;
        break;
    case MotionNotify:
        if (Dragging != nullptr)
            Drag(Event.xmotion.x, Event.xmotion.y);
        break;
    default:
        break;
    }
    return true;
}

void TReportView::Thumb(const TBar& Bar, int& Start, int& Length) const noexcept {
    const int Track = Bar.Length - 2 * BarSize;
    const long Total = Bar.Vertical ? static_cast<long>(Lines.size()) : WidestLine;
    const long Shown = Bar.Vertical ? VisibleLines() : TextWidth();
    const long Position = Bar.Vertical ? Top : Left;
    if (Track <= 0 || Total <= Shown) {
        Start = BarSize;
        Length = std::max(0, Track);
        return;
    }
    Length = std::max(8, static_cast<int>(Track * Shown / Total));
    Length = std::min(Length, Track);
    const long Range = Bar.Vertical ? MaxTop() : MaxLeft();
    Start = BarSize + static_cast<int>(Range > 0 ? (Track - Length) * Position / Range : 0);
}

void TReportView::Press(int X, int Y, unsigned Button, unsigned State) {
    const bool Horizontal = (State & ShiftMask) != 0;
    if (Button == Button4 || Button == Button5) {
        const long Step = Button == Button4 ? -WheelLines : WheelLines;
        if (Horizontal)
            ScrollTo(Top, Left + Step * CharWidth);
        else
            ScrollTo(Top + Step, Left);
        return;
    }
    if (Button == 6 || Button == 7) {
        ScrollTo(Top, Left + (Button == 6 ? -WheelLines : WheelLines) * CharWidth);
        return;
    }
    if (Button != Button1)
        return;
    for (const TBar* Bar : {&VBar, &HBar}) {
        const int Along = Bar->Vertical ? Y - Bar->Y : X - Bar->X;
        const int Across = Bar->Vertical ? X - Bar->X : Y - Bar->Y;
        if (Across < 0 || Across >= BarSize || Along < 0 || Along >= Bar->Length)
            continue;
        const long Line = Bar->Vertical ? 1 : CharWidth;
        const long Page =
            Bar->Vertical ? std::max(1, VisibleLines() - 1) : std::max(CharWidth, TextWidth() - CharWidth);
        int ThumbStart = 0, ThumbLength = 0;
        Thumb(*Bar, ThumbStart, ThumbLength);
        long Step = 0;
        if (Along < BarSize)
            Step = -Line;
        else if (Along >= Bar->Length - BarSize)
            Step = Line;
        else if (Along < ThumbStart)
            Step = -Page;
        else if (Along >= ThumbStart + ThumbLength)
            Step = Page;
        else {
            Dragging = Bar;
            DragOffset = Along - ThumbStart;
            return;
        }
        if (Bar->Vertical)
            ScrollTo(Top + Step, Left);
        else
            ScrollTo(Top, Left + Step);
        return;
    }
}

void TReportView::Drag(int X, int Y) {
    const TBar& Bar = *Dragging;
    int ThumbStart = 0, ThumbLength = 0;
    Thumb(Bar, ThumbStart, ThumbLength);
    const int Track = Bar.Length - 2 * BarSize - ThumbLength;
    if (Track <= 0)
        return;
    const int Along = (Bar.Vertical ? Y - Bar.Y : X - Bar.X) - DragOffset - BarSize;
    const long Range = Bar.Vertical ? MaxTop() : MaxLeft();
    const long Position = Range * std::clamp(Along, 0, Track) / Track;
    if (Bar.Vertical)
        ScrollTo(Position, Left);
    else
        ScrollTo(Top, Position);
}

void TReportView::PaintArrow(int X, int Y, bool Vertical, bool Forward) {
    ::Display* Dpy = Display.Dpy();
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonFace));
    XFillRectangle(Dpy, Buffer, Gc, X, Y, BarSize, BarSize);
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonHighlight));
    XDrawLine(Dpy, Buffer, Gc, X, Y, X + BarSize - 2, Y);
    XDrawLine(Dpy, Buffer, Gc, X, Y, X, Y + BarSize - 2);
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonShadow));
    XDrawLine(Dpy, Buffer, Gc, X + BarSize - 1, Y, X + BarSize - 1, Y + BarSize - 1);
    XDrawLine(Dpy, Buffer, Gc, X, Y + BarSize - 1, X + BarSize - 1, Y + BarSize - 1);
    // A small triangle pointing along the bar.
    XPoint Points[3];
    const short Cx = static_cast<short>(X + BarSize / 2), Cy = static_cast<short>(Y + BarSize / 2);
    const short D = Forward ? 2 : -2;
    if (Vertical) {
        Points[0] = {static_cast<short>(Cx - 4), static_cast<short>(Cy - D)};
        Points[1] = {static_cast<short>(Cx + 4), static_cast<short>(Cy - D)};
        Points[2] = {Cx, static_cast<short>(Cy + D)};
    } else {
        Points[0] = {static_cast<short>(Cx - D), static_cast<short>(Cy - 4)};
        Points[1] = {static_cast<short>(Cx - D), static_cast<short>(Cy + 4)};
        Points[2] = {static_cast<short>(Cx + D), Cy};
    }
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonText));
    XFillPolygon(Dpy, Buffer, Gc, Points, 3, Convex, CoordModeOrigin);
}

void TReportView::PaintBar(const TBar& Bar) {
    ::Display* Dpy = Display.Dpy();
    const int X = Bar.X, Y = Bar.Y;
    const int W = Bar.Vertical ? BarSize : Bar.Length;
    const int H = Bar.Vertical ? Bar.Length : BarSize;
    XSetForeground(Dpy, Gc, Display.Pixel(0xe8e6e0));
    XFillRectangle(Dpy, Buffer, Gc, X, Y, static_cast<unsigned>(W), static_cast<unsigned>(H));
    PaintArrow(X, Y, Bar.Vertical, false);
    PaintArrow(Bar.Vertical ? X : X + W - BarSize, Bar.Vertical ? Y + H - BarSize : Y, Bar.Vertical, true);
    int Start = 0, Length = 0;
    Thumb(Bar, Start, Length);
    const long Total = Bar.Vertical ? static_cast<long>(Lines.size()) : WidestLine;
    const long Shown = Bar.Vertical ? VisibleLines() : TextWidth();
    if (Total <= Shown || Length <= 0)
        return; // nothing to scroll: the track stays empty
    const int Tx = Bar.Vertical ? X : X + Start, Ty = Bar.Vertical ? Y + Start : Y;
    const int Tw = Bar.Vertical ? BarSize : Length, Th = Bar.Vertical ? Length : BarSize;
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonFace));
    XFillRectangle(Dpy, Buffer, Gc, Tx, Ty, static_cast<unsigned>(Tw), static_cast<unsigned>(Th));
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonHighlight));
    XDrawLine(Dpy, Buffer, Gc, Tx, Ty, Tx + Tw - 2, Ty);
    XDrawLine(Dpy, Buffer, Gc, Tx, Ty, Tx, Ty + Th - 2);
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::DarkShadow));
    XDrawLine(Dpy, Buffer, Gc, Tx + Tw - 1, Ty, Tx + Tw - 1, Ty + Th - 1);
    XDrawLine(Dpy, Buffer, Gc, Tx, Ty + Th - 1, Tx + Tw - 1, Ty + Th - 1);
}

void TReportView::Paint() {
    ::Display* Dpy = Display.Dpy();
    XFontStruct* Font = Display.ReportFont();
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::Window));
    XFillRectangle(Dpy, Buffer, Gc, 0, 0, static_cast<unsigned>(Width), static_cast<unsigned>(Height));
    // The text, clipped to its area so that it never runs under the bars.
    XRectangle Clip{Margin, Margin, static_cast<unsigned short>(TextWidth()),
                    static_cast<unsigned short>(TextHeight())};
    XSetClipRectangles(Dpy, Gc, 0, 0, &Clip, 1, Unsorted);
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::WindowText));
    const long Visible = VisibleLines() + 1;
    for (long Row = 0; Row < Visible && Top + Row < static_cast<long>(Lines.size()); ++Row) {
        const TXTextLine& Line = Lines[static_cast<std::size_t>(Top + Row)];
        // Skip the characters left of the view; in a fixed font each is CharWidth wide, in any other measure them.
        std::size_t Skip = 0;
        int SkippedWidth = 0;
        while (Skip < Line.Length) {
            const int W = XTextWidth16(Font, &Text[Line.Start + Skip], 1);
            if (SkippedWidth + W > Left)
                break;
            SkippedWidth += W;
            ++Skip;
        }
        std::size_t Count = 0;
        int Drawn = 0;
        while (Skip + Count < Line.Length && Drawn < TextWidth() + CharWidth) {
            Drawn += XTextWidth16(Font, &Text[Line.Start + Skip + Count], 1);
            ++Count;
        }
        if (Count > 0)
            XDrawString16(Dpy, Buffer, Gc, Margin + SkippedWidth - static_cast<int>(Left),
                          Margin + static_cast<int>(Row) * LineHeight + Font->ascent, &Text[Line.Start + Skip],
                          static_cast<int>(Count));
    }
    XSetClipMask(Dpy, Gc, None);
    PaintBar(VBar);
    PaintBar(HBar);
    XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonFace));
    XFillRectangle(Dpy, Buffer, Gc, Width - BarSize, Height - BarSize, BarSize, BarSize);
    if (Focused) {
        // The focus shows as a dotted line round the text.
        XSetForeground(Dpy, Gc, Display.Pixel(KroColors::ButtonText));
        XSetLineAttributes(Dpy, Gc, 1, LineOnOffDash, CapButt, JoinMiter);
        XDrawRectangle(Dpy, Buffer, Gc, 1, 1, static_cast<unsigned>(Width - BarSize - 3),
                       static_cast<unsigned>(Height - BarSize - 3));
        XSetLineAttributes(Dpy, Gc, 1, LineSolid, CapButt, JoinMiter);
    }
    XCopyArea(Dpy, Buffer, View, Gc, 0, 0, static_cast<unsigned>(Width), static_cast<unsigned>(Height), 0, 0);
}
