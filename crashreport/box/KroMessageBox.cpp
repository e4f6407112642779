#include "KroMessageBox.h"

#include "KroConsoleOutput.h"
#include "KroXDisplay.h"
#include "KroXText.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int IconSize = 32;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeightPx = 23;
constexpr int MaxTextWidth = 420;

class TMessageWindow final : public TKroXWindow {
public:
    TMessageWindow(TKroXDisplay& Display, TKroXWindow* Owner, std::string_view Caption, std::string_view Message,
                   TKroMessageIcon Icon)
        : TKroXWindow(Display), Owner(Owner), Icon(Icon) {
        ::Display* Dpy = Display.Dpy();
        XFontStruct* Font = Display.NormalFont();
        AppendXText(Message, Font, 0, Text);
        int Widest = 0;
        Lines = WrapXText(Font, Text, MaxTextWidth, Widest);
        const int LineHeight = Font->ascent + Font->descent;
        const int TextHeight = static_cast<int>(Lines.size()) * LineHeight;
        Width = std::max(IconSize + 3 * 12 + Widest, ButtonWidth + 2 * 12);
        Width = std::max(Width, 220);
        TextTop = 12 + std::max(0, (IconSize - TextHeight) / 2);
        const int Body = std::max(IconSize, TextHeight);
        Height = 12 + Body + 14 + ButtonHeightPx + 12;
        ButtonX = (Width - ButtonWidth) / 2;
        ButtonY = Height - 12 - ButtonHeightPx;

        int X = (Display.ScreenWidth() - Width) / 2, Y = (Display.ScreenHeight() - Height) / 2;
        XSetWindowAttributes Attributes{};
        Attributes.background_pixel = Display.Pixel(KroColors::ButtonFace);
        Attributes.event_mask = KeyPressMask | ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask;
        Attributes.cursor = Display.ArrowCursor();
        TopLevel = XCreateWindow(Dpy, Display.Root(), X, Y, static_cast<unsigned>(Width), static_cast<unsigned>(Height),
                                 0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask | CWCursor,
                                 &Attributes);
        Display.SetTitle(TopLevel, Caption);
        char Name[] = "kromessage";
        char ClassName[] = "KroExceptMessageBox";
        XClassHint ClassHint{Name, ClassName};
        XSetClassHint(Dpy, TopLevel, &ClassHint);
        XSizeHints SizeHints{};
        SizeHints.flags = PPosition | PMinSize | PMaxSize;
        SizeHints.x = X;
        SizeHints.y = Y;
        SizeHints.min_width = SizeHints.max_width = Width;
        SizeHints.min_height = SizeHints.max_height = Height;
        XSetWMNormalHints(Dpy, TopLevel, &SizeHints);
        Atom Protocols[] = {Display.Atoms().WmDeleteWindow};
        XSetWMProtocols(Dpy, TopLevel, Protocols, 1);
        const Atom Type = Display.Atoms().NetWmWindowTypeDialog;
        XChangeProperty(Dpy, TopLevel, Display.Atoms().NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&Type), 1);
        const Atom StateAbove = Display.Atoms().NetWmStateAbove;
        XChangeProperty(Dpy, TopLevel, Display.Atoms().NetWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&StateAbove), 1);
        if (Owner != nullptr)
            XSetTransientForHint(Dpy, TopLevel, Owner->Handle());
        Gc = XCreateGC(Dpy, TopLevel, 0, nullptr);
        XSetFont(Dpy, Gc, Font->fid);
        const char Ok[] = "OK";
        AppendXText(Ok, Font, 0, OkText);
        Display.Register(*this);
    }

    ~TMessageWindow() override {
        Display().Unregister(*this);
        XFreeGC(Display().Dpy(), Gc);
        XDestroyWindow(Display().Dpy(), TopLevel);
        XFlush(Display().Dpy());
    }

    void Run() {
        ::Display* Dpy = Display().Dpy();
        if (Owner != nullptr)
            Owner->SetInputEnabled(false);
        XBell(Dpy, 0);
        XMapRaised(Dpy, TopLevel);
        while (!Closed && !Display().Broken())
            Display().Pump(-1);
        XUnmapWindow(Dpy, TopLevel);
        if (Owner != nullptr) {
            Owner->SetInputEnabled(true);
            XSetInputFocus(Dpy, Owner->Handle(), RevertToParent, CurrentTime);
        }
        XFlush(Dpy);
    }

    bool HandleEvent(XEvent& Event) override {
        if (Event.xany.window != TopLevel)
            return false;
        switch (Event.type) {
        case Expose:
            if (Event.xexpose.count == 0)
                Paint();
            break;
        case MapNotify:
            XSetInputFocus(Display().Dpy(), TopLevel, RevertToParent, CurrentTime);
            break;
        case KeyPress: {
            const KeySym Key = XLookupKeysym(&Event.xkey, 0);
            if (Key == XK_Return || Key == XK_KP_Enter || Key == XK_space || Key == XK_Escape)
                Closed = true;
            break;
        }
        case ButtonPress:
            ButtonDown = Event.xbutton.button == Button1 && OnButton(Event.xbutton.x, Event.xbutton.y);
            Paint();
            break;
        case ButtonRelease:
            if (ButtonDown && OnButton(Event.xbutton.x, Event.xbutton.y))
                Closed = true;
            ButtonDown = false;
            Paint();
            break;
        case ClientMessage:
            if (Event.xclient.message_type == Display().Atoms().WmProtocols &&
                static_cast<Atom>(Event.xclient.data.l[0]) == Display().Atoms().WmDeleteWindow)
                Closed = true;
            break;
        default:
            break;
        }
        return true;
    }

private:
    bool OnButton(int X, int Y) const {
        return X >= ButtonX && X < ButtonX + ButtonWidth && Y >= ButtonY && Y < ButtonY + ButtonHeightPx;
    }

    void PaintIcon() {
        ::Display* Dpy = Display().Dpy();
        const int X = 12, Y = 12;
        const bool Error = Icon == TKroMessageIcon::Error;
        XSetForeground(Dpy, Gc, Display().Pixel(KroColors::ButtonShadow));
        XFillArc(Dpy, TopLevel, Gc, X + 2, Y + 2, IconSize - 2, IconSize - 2, 0, 360 * 64);
        XSetForeground(Dpy, Gc, Display().Pixel(Error ? 0xc82020 : 0x2860c0));
        XFillArc(Dpy, TopLevel, Gc, X, Y, IconSize - 2, IconSize - 2, 0, 360 * 64);
        XSetForeground(Dpy, Gc, Display().Pixel(0xffffff));
        const int C = X + (IconSize - 2) / 2, M = Y + (IconSize - 2) / 2;
        if (Error) {
            XSetLineAttributes(Dpy, Gc, 3, LineSolid, CapRound, JoinRound);
            XDrawLine(Dpy, TopLevel, Gc, C - 6, M - 6, C + 6, M + 6);
            XDrawLine(Dpy, TopLevel, Gc, C + 6, M - 6, C - 6, M + 6);
            XSetLineAttributes(Dpy, Gc, 1, LineSolid, CapButt, JoinMiter);
        } else {
            XFillRectangle(Dpy, TopLevel, Gc, C - 2, M - 9, 4, 4);
            XFillRectangle(Dpy, TopLevel, Gc, C - 2, M - 3, 4, 12);
        }
    }

    void Paint() {
        ::Display* Dpy = Display().Dpy();
        XFontStruct* Font = Display().NormalFont();
        const int LineHeight = Font->ascent + Font->descent;
        PaintIcon();
        XSetForeground(Dpy, Gc, Display().Pixel(KroColors::ButtonText));
        for (std::size_t I = 0; I < Lines.size(); ++I)
            XDrawString16(Dpy, TopLevel, Gc, 12 + IconSize + 12,
                          TextTop + static_cast<int>(I) * LineHeight + Font->ascent, Text.data() + Lines[I].Start,
                          static_cast<int>(Lines[I].Length));
        // The OK button, raised (sunken while held), with the focus's dotted frame.
        const int X = ButtonX, Y = ButtonY, W = ButtonWidth, H = ButtonHeightPx;
        XSetForeground(Dpy, Gc, Display().Pixel(KroColors::ButtonFace));
        XFillRectangle(Dpy, TopLevel, Gc, X, Y, W, H);
        XSetForeground(Dpy, Gc, Display().Pixel(KroColors::DarkShadow));
        XDrawRectangle(Dpy, TopLevel, Gc, X, Y, W - 1, H - 1);
        XSetForeground(Dpy, Gc, Display().Pixel(ButtonDown ? KroColors::ButtonShadow : KroColors::ButtonHighlight));
        XDrawLine(Dpy, TopLevel, Gc, X + 1, Y + 1, X + W - 3, Y + 1);
        XDrawLine(Dpy, TopLevel, Gc, X + 1, Y + 1, X + 1, Y + H - 3);
        XSetForeground(Dpy, Gc, Display().Pixel(ButtonDown ? KroColors::ButtonHighlight : KroColors::ButtonShadow));
        XDrawLine(Dpy, TopLevel, Gc, X + W - 2, Y + 1, X + W - 2, Y + H - 2);
        XDrawLine(Dpy, TopLevel, Gc, X + 1, Y + H - 2, X + W - 2, Y + H - 2);
        XSetForeground(Dpy, Gc, Display().Pixel(KroColors::ButtonText));
        const int TextWidth = XTextWidthOf(Font, OkText.data(), OkText.size());
        const int Shift = ButtonDown ? 1 : 0;
        XDrawString16(Dpy, TopLevel, Gc, X + (W - TextWidth) / 2 + Shift,
                      Y + (H - LineHeight) / 2 + Font->ascent + Shift, OkText.data(), static_cast<int>(OkText.size()));
        XSetLineAttributes(Dpy, Gc, 1, LineOnOffDash, CapButt, JoinMiter);
        XDrawRectangle(Dpy, TopLevel, Gc, X + 4, Y + 4, W - 9, H - 9);
        XSetLineAttributes(Dpy, Gc, 1, LineSolid, CapButt, JoinMiter);
    }

    TKroXWindow* Owner;
    TKroMessageIcon Icon;
    std::vector<XChar2b> Text;
    std::vector<XChar2b> OkText;
    std::vector<TXTextLine> Lines;
    GC Gc = nullptr;
    int Width = 0, Height = 0, TextTop = 0, ButtonX = 0, ButtonY = 0;
    bool ButtonDown = false;
    bool Closed = false;
};

} // namespace

void ShowKroMessageBox(TKroXWindow* Owner, std::string_view Caption, std::string_view Text, TKroMessageIcon Icon) {
    if (Owner != nullptr) {
        TMessageWindow Window(Owner->Display(), Owner, Caption, Text, Icon);
        Window.Run();
        return;
    }
    TKroXDisplay Display;
    if (!Display.Ok()) {
        std::string Line(Caption);
        Line += ": ";
        Line += Text;
        Line += '\n';
        WriteConsoleText(Line);
        return;
    }
    TMessageWindow Window(Display, nullptr, Caption, Text, Icon);
    Window.Run();
}
