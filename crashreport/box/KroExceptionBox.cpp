#include "KroExceptionBox.h"

#include "KroBoxGlyphs.h"
#include "KroClipboard.h"
#include "KroStrings.h"
#include "KroXDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

constexpr std::uint32_t FocusedFace = KroColors::DarkShadow;
constexpr std::uint32_t FocusedText = 0xffffff;
// Room the window manager's frame and the desktop's panels may take; the box keeps its message within the rest.
constexpr int ScreenReserve = 80;

std::uint32_t Blend8(std::uint32_t From, std::uint32_t To, int Step) {
    std::uint32_t Result = 0;
    for (int Shift = 0; Shift <= 16; Shift += 8) {
        const std::uint32_t A = (From >> Shift) & 0xff, B = (To >> Shift) & 0xff;
        Result |= ((static_cast<std::uint32_t>(Step) * A + static_cast<std::uint32_t>(8 - Step) * B) / 8) << Shift;
    }
    return Result;
}

// The program's file name, for "%appname%".
std::string ProgramFileName() {
    char Path[4096];
    const ssize_t Length = readlink("/proc/self/exe", Path, sizeof Path - 1);
    if (Length <= 0)
        return "program";
    const std::string_view Full(Path, static_cast<std::size_t>(Length));
    const std::size_t Slash = Full.rfind('/');
    return std::string(Slash == std::string_view::npos ? Full : Full.substr(Slash + 1));
}

struct TMotifHints {
    unsigned long Flags, Functions, Decorations;
    long InputMode;
    unsigned long State;
};

} // namespace

TExceptionBox::TExceptionBox(TKroXDisplay& Display, TExceptSettings& Settings, const TExceptBoxRequest& Request,
                             const TExceptBoxServices& Services)
    : TKroXWindow(Display), Settings(Settings), Request(Request), Services(Services) {
    if (Settings.ShowReportAtOnce)
        Settings.ButtonCaptions[eaShowBugReport].Assign("");
    const auto Due = [&](std::int32_t Rule) {
        return Services.AutoActionDue != nullptr ? Services.AutoActionDue(Rule) : Rule == 1;
    };
    const auto HasCaption = [&](int Action) { return !Settings.ButtonCaptions[Action].Empty(); };
    if (Due(Settings.AutoClose) && HasCaption(eaCloseApplication))
        Settings.FocusedButton = eaCloseApplication;
    else if (Due(Settings.AutoRestart) && HasCaption(eaRestartApplication))
        Settings.FocusedButton = eaRestartApplication;
    else if (Settings.AutoContinue && HasCaption(eaContinueApplication) && Request.CanContinue)
        Settings.FocusedButton = eaContinueApplication;

    std::string Message(Request.Frozen ? Settings.FrozenText.View() : Settings.ErrorText.View());
    ReplaceSubText(Message, "%exceptMsg%", std::string(Request.Message) + ".", true, false);
    while (!Message.empty() && (Message.back() == '\n' || Message.back() == '\r'))
        Message.pop_back();
    AppendXText(Message, Display.NormalFont(), 0, Text);

    HasSystemMenu = static_cast<int>(HasCaption(eaCloseApplication)) +
                        static_cast<int>(HasCaption(eaContinueApplication) && Request.CanContinue) -
                        static_cast<int>(!HasCaption(eaRestartApplication)) <=
                    0;
    CreateWindow();

    // The countdown: the button of a due automatic rule, else "continue" when it is the automatic choice.
    if (Settings.AnimatedButtons && Settings.AutoButtonDelay > 0) {
        if (Due(Settings.AutoClose) && Buttons[eaCloseApplication])
            Counting = eaCloseApplication;
        else if (Due(Settings.AutoRestart) && Buttons[eaRestartApplication])
            Counting = eaRestartApplication;
        else if (Settings.AutoContinue && Request.CanContinue && Buttons[eaContinueApplication])
            Counting = eaContinueApplication;
        if (Counting >= 0) {
            CountdownStart = TClock::now();
            CountdownRunning = true;
        }
    }
}

TExceptionBox::~TExceptionBox() {
    Display().Unregister(*this);
    ReportView.reset();
    for (auto& Button : Buttons)
        Button.reset();
    ::Display* Dpy = Display().Dpy();
    if (GlyphImage != nullptr) {
        GlyphImage->data = nullptr; // ours, not the library's to free
        XDestroyImage(GlyphImage);
    }
    XFreePixmap(Dpy, Canvas);
    XFreeGC(Dpy, Gc);
    XDestroyWindow(Dpy, TopLevel);
    XFlush(Dpy);
}

void TExceptionBox::CreateWindow() {
    TKroXDisplay& D = Display();
    ::Display* Dpy = D.Dpy();
    XFontStruct* Font = D.NormalFont();
    const int LineHeight = Font->ascent + Font->descent;

    TBoxLayoutInput Input;
    for (int Action = 0; Action < 7; ++Action) {
        if (Settings.ButtonCaptions[Action].Empty())
            continue;
        std::vector<XChar2b> Caption;
        AppendXText(Settings.ButtonCaptions[Action].View(), Font, 0, Caption);
        Input.CaptionWidths[Action] = XTextWidthOf(Font, Caption.data(), std::min<std::size_t>(Caption.size(), 30));
    }
    Input.ShowReportAtOnce = Settings.ShowReportAtOnce;
    // The message may be of any length: beyond what fits on the screen it is cut (the report holds it whole).
    const int MaxTextHeight = std::max(3 * LineHeight, D.ScreenHeight() - ScreenReserve - 3 * ButtonRowStep - 411);
    Input.MeasureText = [&](int WrapWidth) -> std::array<int, 2> {
        int Widest = 0;
        TextLines = WrapXText(Font, Text, WrapWidth, Widest);
        const std::size_t MaxLines = static_cast<std::size_t>(std::max(1, MaxTextHeight / LineHeight));
        if (TextLines.size() > MaxLines) {
            TextLines.resize(MaxLines);
            // The last line shown ends in "..." to say that more follows.
            TXTextLine& Last = TextLines.back();
            const XChar2b Dot{0, '.'};
            const int DotsWidth = 3 * XTextWidth16(Font, &Dot, 1);
            while (Last.Length > 0 && XTextWidthOf(Font, Text.data() + Last.Start, Last.Length) + DotsWidth > WrapWidth)
                --Last.Length;
            const std::size_t At = Last.Start + Last.Length;
            Text.insert(Text.begin() + static_cast<std::ptrdiff_t>(At), 3, Dot);
            Last.Length += 3;
        }
        return {Widest, static_cast<int>(TextLines.size()) * LineHeight};
    };
    Layout = ComputeBoxLayout(Input);

    const int ScreenW = D.ScreenWidth(), ScreenH = D.ScreenHeight();
    const int X = std::max(0, (ScreenW - std::max(Layout.ClientWidth, ReportBoxWidth)) / 2);
    const int Y = std::max(0, (ScreenH - Layout.FullHeight) / 2);
    const int Height = Settings.ShowReportAtOnce ? Layout.FullHeight : Layout.SmallHeight;
    ReportShown = Settings.ShowReportAtOnce;

    XSetWindowAttributes Attributes{};
    Attributes.background_pixel = D.Pixel(KroColors::ButtonFace);
    Attributes.event_mask = KeyPressMask | ExposureMask | StructureNotifyMask | FocusChangeMask;
    Attributes.cursor = D.ArrowCursor();
    TopLevel =
        XCreateWindow(Dpy, D.Root(), X, Y, static_cast<unsigned>(Layout.ClientWidth), static_cast<unsigned>(Height), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask | CWCursor, &Attributes);

    std::string Title(Settings.BoxTitle.View());
    ReplaceSubText(Title, "%appname%", ProgramFileName(), true, false);
    D.SetTitle(TopLevel, Title);
    std::string Name = ProgramFileName();
    char ClassName[] = "KroExceptWndClass";
    XClassHint ClassHint{Name.data(), ClassName};
    XSetClassHint(Dpy, TopLevel, &ClassHint);
    XWMHints WmHints{};
    WmHints.flags = InputHint | StateHint;
    WmHints.input = True;
    WmHints.initial_state = NormalState;
    XSetWMHints(Dpy, TopLevel, &WmHints);
    XSizeHints SizeHints{};
    SizeHints.flags = USPosition | PPosition | PMinSize | PMaxSize | PWinGravity;
    SizeHints.x = X;
    SizeHints.y = Y;
    SizeHints.min_width = SizeHints.max_width = Layout.ClientWidth;
    SizeHints.min_height = SizeHints.max_height = Height;
    SizeHints.win_gravity = NorthWestGravity;
    XSetWMNormalHints(Dpy, TopLevel, &SizeHints);
    Atom Protocols[] = {D.Atoms().WmDeleteWindow};
    XSetWMProtocols(Dpy, TopLevel, Protocols, 1);
    const Atom Type = D.Atoms().NetWmWindowTypeDialog;
    XChangeProperty(Dpy, TopLevel, D.Atoms().NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&Type), 1);
    const Atom StateAbove = D.Atoms().NetWmStateAbove;
    XChangeProperty(Dpy, TopLevel, D.Atoms().NetWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&StateAbove), 1);
    // Without a system menu the window manager offers no close either: the box ends only through its buttons.
    TMotifHints Motif{3, HasSystemMenu ? 4ul | 32ul : 4ul, HasSystemMenu ? 2ul | 8ul | 16ul : 2ul | 8ul, 0, 0};
    XChangeProperty(Dpy, TopLevel, D.Atoms().MotifWmHints, D.Atoms().MotifWmHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&Motif), 5);

    Gc = XCreateGC(Dpy, TopLevel, 0, nullptr);
    XSetFont(Dpy, Gc, Font->fid);
    int Widest = 1;
    for (const TBoxRect& Rect : Layout.Buttons)
        Widest = std::max(Widest, Rect.Width);
    Canvas =
        XCreatePixmap(Dpy, TopLevel, static_cast<unsigned>(Widest), ButtonHeight, static_cast<unsigned>(D.Depth()));
    GlyphImage = XCreateImage(Dpy, DefaultVisual(Dpy, D.Screen()), static_cast<unsigned>(D.Depth()), ZPixmap, 0,
                              reinterpret_cast<char*>(GlyphPixels.data()), GlyphSize, GlyphSize, 32, 0);

    const bool CantContinue = !Request.CanContinue && (Layout.Buttons[eaRestartApplication].Width > 0 ||
                                                       Layout.Buttons[eaCloseApplication].Width > 0);
    for (int Action = 0; Action < 7; ++Action) {
        if (Layout.Buttons[Action].Width <= 0)
            continue;
        const bool Disabled = Action == eaContinueApplication && CantContinue;
        Buttons[Action] = std::make_unique<TBoxButton>(
            D, TopLevel, Layout.Buttons[Action], Disabled ? eaCantContinue : Action,
            Disabled ? CantContinueGlyph : Action, Settings.ButtonCaptions[Action].View(), !Disabled);
    }
    if (Layout.CarriesReport) {
        ReportView = std::make_unique<TReportView>(D, TopLevel, Layout.Report.X, Layout.Report.Y, Layout.Report.Width,
                                                   Layout.Report.Height, Request.Report);
        if (Settings.AutoClipboard) {
            DisplayClipboard(D).Own(Request.Report);
            SetActiveClipboard(&DisplayClipboard(D));
        }
    }

    DefaultButton = ButtonOf(Settings.FocusedButton);
    if (DefaultButton < 0 || !Buttons[DefaultButton]->Enabled()) {
        // The default names no usable button: the first one that is takes the focus, so the keys work at once.
        DefaultButton = -1;
        for (int I = 0; I < 7 && DefaultButton < 0; ++I)
            if (Buttons[I] && Buttons[I]->Enabled())
                DefaultButton = I;
    }
    Focus = DefaultButton >= 0 ? DefaultButton : ReportView && ReportShown ? ReportFocus : -1;
    if (Focus == ReportFocus)
        ReportView->SetFocused(true);
    // The keyboard map is read now, not at the first key press while the box shows.
    XKeysymToKeycode(Dpy, XK_Escape);
    D.Register(*this);
}

int TExceptionBox::ButtonOf(int Action) const noexcept {
    return Action >= 0 && Action < 7 && Buttons[Action] ? Action : -1;
}

int TExceptionBox::ButtonAt(Window Handle) const noexcept {
    for (int I = 0; I < 7; ++I)
        if (Buttons[I] && Buttons[I]->Handle() == Handle)
            return I;
    return -1;
}

void TExceptionBox::RequestClose() noexcept {
    CloseRequested.store(true);
    Display().Wake();
}

std::int32_t TExceptionBox::Run() {
    ::Display* Dpy = Display().Dpy();
    XBell(Dpy, 0);
    XMapRaised(Dpy, TopLevel);
    XFlush(Dpy);
    if (Request.Frozen && Services.PostFrozenProbe != nullptr)
        Services.PostFrozenProbe(static_cast<std::uintptr_t>(TopLevel));
    while (!Ended) {
        if (Display().Broken()) {
            End(DefaultExit());
            break;
        }
        Display().Pump(CountdownRunning ? 10 : -1);
        if (Display().TakeWake() && CloseRequested.load()) {
            End(eaContinueApplication);
            break;
        }
        if (CountdownRunning)
            Tick();
    }
    return Result;
}

std::int32_t TExceptionBox::DefaultExit() const noexcept {
    if (DefaultButton == eaContinueApplication || DefaultButton == eaRestartApplication ||
        DefaultButton == eaCloseApplication)
        return DefaultButton;
    return Request.CanContinue ? eaContinueApplication : eaCloseApplication;
}

void TExceptionBox::End(std::int32_t Action) noexcept {
    Ended = true;
    Result = Action;
}

void TExceptionBox::Sleep(int Milliseconds) {
    XFlush(Display().Dpy());
    timespec Delay{0, static_cast<long>(Milliseconds) * 1000000L};
    while (nanosleep(&Delay, &Delay) != 0) {
    }
}

bool TExceptionBox::HandleEvent(XEvent& Event) {
    const Window Target = Event.xany.window;
    TKroXDisplay& D = Display();
    if (Target == TopLevel) {
        switch (Event.type) {
        case Expose:
            if (Event.xexpose.count == 0)
                PaintBox();
            break;
        case MapNotify:
            if (!Mapped) {
                Mapped = true;
                // Bring the box to the front with the keyboard: through the window manager when one runs, and
                // directly for a display without one.
                XEvent Activate{};
                Activate.xclient.type = ClientMessage;
                Activate.xclient.window = TopLevel;
                Activate.xclient.message_type = D.Atoms().NetActiveWindow;
                Activate.xclient.format = 32;
                Activate.xclient.data.l[0] = 1;
                XSendEvent(D.Dpy(), D.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &Activate);
                XSetInputFocus(D.Dpy(), TopLevel, RevertToParent, CurrentTime);
            }
            break;
        case KeyPress:
            if (IsInputEnabled())
                KeyPressed(Event.xkey);
            break;
        case ClientMessage:
            if (Event.xclient.message_type == D.Atoms().WmProtocols &&
                static_cast<Atom>(Event.xclient.data.l[0]) == D.Atoms().WmDeleteWindow && IsInputEnabled())
                CloseMessage();
            break;
        default:
            break;
        }
        return true;
    }
    if (const int Index = ButtonAt(Target); Index >= 0) {
        switch (Event.type) {
        case Expose:
            if (Event.xexpose.count == 0)
                PaintButton(Index);
            break;
        case ButtonPress:
            if (Event.xbutton.button == Button1 && IsInputEnabled() && Buttons[Index]->Enabled()) {
                Pressed = Index;
                SetFocus(Index, true);
            }
            break;
        case ButtonRelease:
            if (Event.xbutton.button == Button1 && Pressed == Index) {
                Pressed = -1;
                const TBoxRect& Bounds = Buttons[Index]->Bounds();
                if (Event.xbutton.x >= 0 && Event.xbutton.y >= 0 && Event.xbutton.x < Bounds.Width &&
                    Event.xbutton.y < Bounds.Height && IsInputEnabled())
                    Command(Index);
            }
            break;
        default:
            break;
        }
        return true;
    }
    if (ReportView && Target == ReportView->Handle()) {
        if (Event.type == ButtonPress || Event.type == MotionNotify) {
            if (!IsInputEnabled())
                return true;
            if (Event.type == ButtonPress && Event.xbutton.button == Button1 && ReportShown)
                SetFocus(ReportFocus, true);
        }
        return ReportView->HandleEvent(Event);
    }
    return false;
}

void TExceptionBox::KeyPressed(XKeyEvent& Key) {
    const KeySym Symbol = XLookupKeysym(&Key, 0);
    const bool Shift = (Key.state & ShiftMask) != 0;
    const bool Control = (Key.state & ControlMask) != 0;
    switch (Symbol) {
    case XK_Escape:
        CloseMessage();
        return;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        MoveFocus(Shift || Symbol == XK_ISO_Left_Tab ? -1 : 1);
        return;
    default:
        break;
    }
    if (Focus == ReportFocus && ReportView) {
        if (Control && (Symbol == XK_c || Symbol == XK_Insert)) {
            DisplayClipboard(Display()).Own(Request.Report);
            SetActiveClipboard(&DisplayClipboard(Display()));
            return;
        }
        if (ReportView->HandleKey(Symbol, Key.state))
            return;
        if ((Symbol == XK_Return || Symbol == XK_KP_Enter) && DefaultButton >= 0)
            Command(DefaultButton);
        return;
    }
    switch (Symbol) {
    case XK_Left:
    case XK_Up:
    case XK_KP_Left:
    case XK_KP_Up:
        MoveFocus(-1);
        break;
    case XK_Right:
    case XK_Down:
    case XK_KP_Right:
    case XK_KP_Down:
        MoveFocus(1);
        break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        if (Focus >= 0 && Focus < 7)
            Command(Focus);
        else if (DefaultButton >= 0)
            Command(DefaultButton);
        break;
    default:
        break;
    }
}

void TExceptionBox::MoveFocus(int Direction) {
    // The focus order: the buttons as they were made, then the report when it shows (a hidden report never takes it).
    int Order[8];
    int Count = 0, Current = -1;
    for (int I = 0; I < 7; ++I)
        if (Buttons[I] && Buttons[I]->Enabled()) {
            if (I == Focus)
                Current = Count;
            Order[Count++] = I;
        }
    if (ReportView && ReportShown) {
        if (Focus == ReportFocus)
            Current = Count;
        Order[Count++] = ReportFocus;
    }
    if (Count == 0)
        return;
    const int Next = Current < 0 ? (Direction > 0 ? 0 : Count - 1) : (Current + Direction + Count) % Count;
    SetFocus(Order[Next], true);
}

void TExceptionBox::NormalLook(std::uint32_t& Face, std::uint32_t& TextColor) const noexcept {
    Face = Display().Depth() >= 15 ? KroColors::ButtonFace + 0x101010 : KroColors::ButtonFace;
    TextColor = KroColors::ButtonText;
}

void TExceptionBox::PaintButton(int Index, std::uint32_t Face, std::uint32_t TextColor) {
    if (Index < 0 || Index >= 7 || !Buttons[Index])
        return;
    const int Bar = Index == Counting && CountdownRunning ? BarPosition() : -1;
    Buttons[Index]->Paint(Canvas, Gc, GlyphImage, Face, TextColor, Bar);
}

void TExceptionBox::PaintButton(int Index) {
    if (Index < 0 || Index >= 7 || !Buttons[Index])
        return;
    std::uint32_t Face, TextColor;
    NormalLook(Face, TextColor);
    if (Buttons[Index]->Enabled() && (Index == Focus || (Index == Counting && CountdownRunning))) {
        Face = FocusedFace;
        TextColor = FocusedText;
    }
    PaintButton(Index, Face, TextColor);
}

void TExceptionBox::PaintBox() {
    ::Display* Dpy = Display().Dpy();
    XFontStruct* Font = Display().NormalFont();
    const int LineHeight = Font->ascent + Font->descent;
    XSetForeground(Dpy, Gc, Display().Pixel(KroColors::ButtonText));
    for (std::size_t I = 0; I < TextLines.size(); ++I)
        XDrawString16(Dpy, TopLevel, Gc, Layout.Text.X, Layout.Text.Y + static_cast<int>(I) * LineHeight + Font->ascent,
                      Text.data() + TextLines[I].Start, static_cast<int>(TextLines[I].Length));
    if (Layout.CarriesReport) {
        // An etched frame round the report: a shadow line outside, a light line inside.
        const TBoxRect& Shadow = Layout.LightFrame;
        const TBoxRect& Light = Layout.ShadowFrame;
        XSetForeground(Dpy, Gc, Display().Pixel(KroColors::ButtonShadow));
        XDrawRectangle(Dpy, TopLevel, Gc, Shadow.X, Shadow.Y, static_cast<unsigned>(Shadow.Width - 1),
                       static_cast<unsigned>(Shadow.Height - 1));
        XSetForeground(Dpy, Gc, Display().Pixel(KroColors::ButtonHighlight));
        XDrawRectangle(Dpy, TopLevel, Gc, Light.X, Light.Y, static_cast<unsigned>(Light.Width - 1),
                       static_cast<unsigned>(Light.Height - 1));
    }
}

void TExceptionBox::Animate(int Index, std::uint32_t FromFace, std::uint32_t FromText, std::uint32_t ToFace,
                            std::uint32_t ToText) {
    for (int Step = 7; Step >= 0; --Step) {
        PaintButton(Index, Blend8(FromFace, ToFace, Step), Blend8(FromText, ToText, Step));
        Sleep(10);
    }
    LastAnimation = TClock::now();
}

void TExceptionBox::SetFocus(int NewFocus, bool Animated) {
    if (NewFocus == Focus)
        return;
    const int Old = Focus;
    Focus = NewFocus;
    StopCountdown();
    std::uint32_t Face, TextColor;
    NormalLook(Face, TextColor);
    const bool Animate = Animated && Settings.AnimatedButtons;
    if (Old >= 0 && Old < 7) {
        if (Animate)
            this->Animate(Old, FocusedFace, FocusedText, Face, TextColor);
        else
            PaintButton(Old);
    } else if (Old == ReportFocus && ReportView) {
        ReportView->SetFocused(false);
    }
    if (NewFocus >= 0 && NewFocus < 7) {
        if (Animate)
            this->Animate(NewFocus, Face, TextColor, FocusedFace, FocusedText);
        else
            PaintButton(NewFocus);
    } else if (NewFocus == ReportFocus && ReportView) {
        ReportView->SetFocused(true);
    }
}

void TExceptionBox::StopCountdown() {
    if (!CountdownRunning)
        return;
    CountdownRunning = false;
    BarPos = -1;
    PaintButton(Counting);
}

int TExceptionBox::BarPosition() const noexcept {
    if (Counting < 0 || !Buttons[Counting] || Settings.AutoButtonDelay <= 0)
        return -1;
    const std::int64_t Elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - CountdownStart).count();
    const std::int64_t Delay = Settings.AutoButtonDelay;
    const std::int64_t Position = (Elapsed * Buttons[Counting]->Width() + Delay * 500) / (Delay * 1000);
    return static_cast<int>(std::min<std::int64_t>(Position, Buttons[Counting]->Width() + 1));
}

void TExceptionBox::Tick() {
    const int Position = BarPosition();
    if (Position < 0 || Position == BarPos)
        return;
    if (Position > Buttons[Counting]->Width()) {
        Command(Counting); // the button presses itself
        return;
    }
    BarPos = Position;
    PaintButton(Counting);
}

void TExceptionBox::Command(int Index) {
    if (Index < 0 || Index >= 7 || !Buttons[Index] || !Buttons[Index]->Enabled())
        return;
    StopCountdown();
    const int Action = Buttons[Index]->Action();
    ::Display* Dpy = Display().Dpy();
    if (Settings.AnimatedButtons) {
        std::uint32_t Face, TextColor;
        NormalLook(Face, TextColor);
        if (Action == eaMailBugReport || Action == eaSaveBugReport || Action == eaPrintBugReport) {
            XDefineCursor(Dpy, TopLevel, Display().WaitCursor());
            for (int Flash = 0; Flash < 4; ++Flash) {
                PaintButton(Index, FocusedFace, FocusedText);
                Sleep(50);
                PaintButton(Index, Face, TextColor);
                Sleep(50);
            }
            PaintButton(Index);
        } else if (Action == eaShowBugReport || TClock::now() - LastAnimation > std::chrono::milliseconds(200)) {
            Animate(Index, FocusedFace, FocusedText, Face, TextColor);
            if (Index == Focus)
                Animate(Index, Face, TextColor, FocusedFace, FocusedText);
        }
    }
    RunAction(Action == eaContinueApplication && !Request.CanContinue ? eaCloseApplication : Action);
}

void TExceptionBox::RunAction(int Action) {
    const bool Handled = Services.FireActionHandlers != nullptr && Services.FireActionHandlers(Request, Action);
    ::Display* Dpy = Display().Dpy();
    switch (Action) {
    case eaShowBugReport:
        ShowReport();
        break;
    case eaContinueApplication:
    case eaRestartApplication:
    case eaCloseApplication:
        End(Action);
        break;
    case eaMailBugReport:
        if (!Handled && Services.SendBugReport != nullptr)
            Services.SendBugReport(Request.Report, this, false);
        XDefineCursor(Dpy, TopLevel, Display().ArrowCursor());
        break;
    case eaSaveBugReport:
        if (!Handled) {
            const bool Saved = Services.SaveBugReport != nullptr && Services.SaveBugReport(Request.Report, this);
            if (Saved)
                RemoveButton(eaSaveBugReport);
            XBell(Dpy, Saved ? -50 : 0);
        }
        XDefineCursor(Dpy, TopLevel, Display().ArrowCursor());
        break;
    case eaPrintBugReport:
        if (!Handled) {
            const bool Printed = Services.PrintBugReport != nullptr && Services.PrintBugReport(Request.Report, this);
            XBell(Dpy, Printed ? -50 : 0);
        }
        XDefineCursor(Dpy, TopLevel, Display().ArrowCursor());
        break;
    default:
        break;
    }
    XFlush(Dpy);
}

void TExceptionBox::CloseMessage() {
    if (!HasSystemMenu)
        return;
    if (Buttons[eaRestartApplication])
        RunAction(eaRestartApplication);
    else if (!Buttons[eaCloseApplication] && Request.CanContinue)
        RunAction(eaContinueApplication);
    else
        RunAction(eaCloseApplication);
}

void TExceptionBox::RemoveButton(int Index) {
    if (Index < 0 || Index >= 7 || !Buttons[Index])
        return;
    if (Counting == Index) {
        CountdownRunning = false;
        Counting = -1;
    }
    if (Pressed == Index)
        Pressed = -1;
    if (DefaultButton == Index)
        DefaultButton = -1;
    const bool HadFocus = Focus == Index;
    if (HadFocus)
        Focus = -1;
    Buttons[Index].reset();
    if (HadFocus) {
        if (ReportView && ReportShown)
            SetFocus(ReportFocus, false);
        else
            MoveFocus(1);
    }
}

void TExceptionBox::ShowReport() {
    if (!ReportView)
        return;
    TKroXDisplay& D = Display();
    if (Settings.AutoClipboard) {
        DisplayClipboard(D).Own(Request.Report);
        SetActiveClipboard(&DisplayClipboard(D));
    }
    const int NewWidth = std::max(Layout.ClientWidth, ReportBoxWidth);
    const int Grown = NewWidth - Layout.ClientWidth;
    if (Grown > 0)
        for (const int Action : {eaContinueApplication, eaRestartApplication, eaCloseApplication})
            if (Buttons[Action])
                Buttons[Action]->MoveBy(Grown);
    Layout.ClientWidth = NewWidth;
    XSizeHints SizeHints{};
    SizeHints.flags = PMinSize | PMaxSize | PWinGravity;
    SizeHints.min_width = SizeHints.max_width = NewWidth;
    SizeHints.min_height = SizeHints.max_height = Layout.FullHeight;
    SizeHints.win_gravity = NorthWestGravity;
    XSetWMNormalHints(D.Dpy(), TopLevel, &SizeHints);
    XResizeWindow(D.Dpy(), TopLevel, static_cast<unsigned>(NewWidth), static_cast<unsigned>(Layout.FullHeight));
    ReportShown = true;
    RemoveButton(eaShowBugReport);
    XClearArea(D.Dpy(), TopLevel, 0, 0, 0, 0, True);
    XFlush(D.Dpy());
}
