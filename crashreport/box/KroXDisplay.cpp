#include "KroXDisplay.h"

#include "KroXCursor.h"
#include "KroXProbe.h"
#include "KroXWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

// How long a display may take to answer before the reporter counts it as unreachable.
constexpr int ProbeTimeoutMs = 3000;

// X errors: the library's default handler ends the process, which the reporter must never do for a harmless error of
// its own (a window that went away between a request and its answer). Errors of our connections are counted and
// ignored; those of any other connection go to the handler that was there before.
std::atomic<TKroXDisplay*> OurDisplays[8];
XErrorHandler PreviousHandler = nullptr;

// A connection that breaks (the server went away): the library calls the process's I/O error handler and then the
// connection's exit handler, and either of the library's own ends the process (exit, which would run the program's
// destructors while its threads are paused). For our connections both return: the connection is marked broken, every
// later request on it fails at once, and its owner gives up on it. The program's own connections keep the handler
// they had.
XIOErrorHandler PreviousIOHandler = nullptr;
// A connection whose server goes away while it is being made has no exit handler yet: the I/O error handler then
// leaves the library's frames for the point where the connection was asked for. Set on the opening thread only.
__attribute__((tls_model("initial-exec"))) thread_local sigjmp_buf* OpeningJump = nullptr;

TKroXDisplay* OurDisplay(Display* Dpy) {
    for (auto& Slot : OurDisplays) {
        TKroXDisplay* Ours = Slot.load();
        if (Ours != nullptr && Ours->Dpy() == Dpy)
            return Ours;
    }
    return nullptr;
}

int OnXError(Display* Dpy, XErrorEvent* Error) {
    if (TKroXDisplay* Ours = OurDisplay(Dpy)) {
        Ours->NoteError();
        return 0;
    }
    return PreviousHandler != nullptr ? PreviousHandler(Dpy, Error) : 0;
}

int OnXIOError(Display* Dpy) {
    if (TKroXDisplay* Ours = OurDisplay(Dpy)) {
        Ours->NoteBroken();
        return 0;
    }
    if (sigjmp_buf* Jump = OpeningJump)
        siglongjmp(*Jump, 1);
    return PreviousIOHandler != nullptr ? PreviousIOHandler(Dpy) : 0;
}

void OnXIOErrorExit(Display*, void* Ours) {
    static_cast<TKroXDisplay*>(Ours)->NoteBroken();
}

// Our handlers, installed (again) before each connection of ours: the program's toolkit may have put its own in place
// since.
void InstallHandlers() {
    const XErrorHandler Current = XSetErrorHandler(OnXError);
    if (Current != OnXError)
        PreviousHandler = Current;
    const XIOErrorHandler CurrentIO = XSetIOErrorHandler(OnXIOError);
    if (CurrentIO != OnXIOError)
        PreviousIOHandler = CurrentIO;
}

void AddOurDisplay(TKroXDisplay* Display) {
    for (auto& Slot : OurDisplays) {
        TKroXDisplay* Expected = nullptr;
        if (Slot.compare_exchange_strong(Expected, Display))
            break;
    }
}

// XOpenDisplay, surviving a server that goes away meanwhile (nullptr then). The connection left behind in that case
// is never touched again.
::Display* OpenDisplay(const char* Name, TKroXDisplay* Owner) {
    sigjmp_buf Jump;
    ::Display* volatile Opened = nullptr;
    if (sigsetjmp(Jump, 0) == 0) {
        OpeningJump = &Jump;
        Opened = XOpenDisplay(Name);
        if (Opened != nullptr)
            XSetIOErrorExitHandler(Opened, OnXIOErrorExit, Owner);
        OpeningJump = nullptr;
        return Opened;
    }
    OpeningJump = nullptr;
    return nullptr;
}

void RemoveOurDisplay(TKroXDisplay* Display) {
    for (auto& Slot : OurDisplays) {
        TKroXDisplay* Expected = Display;
        Slot.compare_exchange_strong(Expected, nullptr);
    }
}

// Core fonts, most wanted first; "fixed" is built into every server. ISO 10646 fonts come first so that the UTF-8
// texts show as they are; with a Latin-1 font, characters beyond it show as "?".
const char* const NormalFontNames[] = {
    "-adobe-helvetica-medium-r-normal--12-*-*-*-p-*-iso10646-1",
    "-*-helvetica-medium-r-normal--12-*-*-*-p-*-iso10646-1",
    "-*-helvetica-medium-r-normal--12-*-*-*-p-*-iso8859-1",
    "-*-dejavu sans-medium-r-normal--12-*-*-*-p-*-iso10646-1",
    "-misc-fixed-medium-r-semicondensed--13-*-*-*-c-*-iso10646-1",
    "fixed",
    nullptr,
};
const char* const ReportFontNames[] = {
    "-misc-fixed-medium-r-semicondensed--13-*-*-*-c-60-iso10646-1",
    "-misc-fixed-medium-r-normal--13-*-*-*-c-70-iso10646-1",
    "-*-courier-medium-r-normal--12-*-*-*-m-*-iso10646-1",
    "-*-courier-medium-r-normal--12-*-*-*-m-*-iso8859-1",
    "6x13",
    "fixed",
    nullptr,
};

int ChannelShift(unsigned long Mask) {
    int Shift = 0;
    while (Mask != 0 && (Mask & 1) == 0) {
        Mask >>= 1;
        ++Shift;
    }
    return Shift;
}

unsigned long ScaleChannel(unsigned Value, unsigned long Mask) {
    const int Shift = ChannelShift(Mask);
    const unsigned long Max = Mask >> Shift;
    return ((static_cast<unsigned long>(Value) * Max + 127) / 255) << Shift;
}

} // namespace

TKroXDisplay::TKroXDisplay() {
    const char* Name = std::getenv("DISPLAY");
    if (!XServerAnswers(Name, ProbeTimeoutMs))
        return;
    InstallHandlers();
    Dpy_ = OpenDisplay(Name, this);
    if (Dpy_ == nullptr)
        return;
    AddOurDisplay(this);
    Screen_ = DefaultScreen(Dpy_);
    Root_ = RootWindow(Dpy_, Screen_);
    Depth_ = DefaultDepth(Dpy_, Screen_);
    Visual_ = DefaultVisual(Dpy_, Screen_);
    Normal = LoadFont(NormalFontNames);
    Report = LoadFont(ReportFontNames);
    if (Normal == nullptr || Report == nullptr || Broken_) {
        // A server without even "fixed" cannot show our texts (nor one that went away).
        if (Normal != nullptr)
            XFreeFont(Dpy_, Normal);
        if (Report != nullptr)
            XFreeFont(Dpy_, Report);
        Normal = Report = nullptr;
        XCloseDisplay(Dpy_);
        RemoveOurDisplay(this);
        Dpy_ = nullptr;
        return;
    }
    // Cursors come from the server's cursor font, asked for without the library's cursor-theme detour.
    CursorFont = XLoadFont(Dpy_, "cursor");
    Arrow = CreateFontGlyphCursor(Dpy_, CursorFont, XC_left_ptr);
    Wait = CreateFontGlyphCursor(Dpy_, CursorFont, XC_watch);

    static const char* const AtomNames[] = {"WM_PROTOCOLS",
                                            "WM_DELETE_WINDOW",
                                            "WM_TAKE_FOCUS",
                                            "_NET_WM_NAME",
                                            "_NET_WM_STATE",
                                            "_NET_WM_STATE_ABOVE",
                                            "_NET_WM_WINDOW_TYPE",
                                            "_NET_WM_WINDOW_TYPE_DIALOG",
                                            "_NET_ACTIVE_WINDOW",
                                            "_MOTIF_WM_HINTS",
                                            "UTF8_STRING",
                                            "CLIPBOARD",
                                            "TARGETS",
                                            "MULTIPLE",
                                            "TIMESTAMP",
                                            "TEXT",
                                            "text/plain",
                                            "text/plain;charset=utf-8",
                                            "INCR",
                                            "ATOM_PAIR",
                                            "CLIPBOARD_MANAGER",
                                            "SAVE_TARGETS",
                                            "KRO_TRANSFER"};
    constexpr int AtomCount = sizeof AtomNames / sizeof AtomNames[0];
    static_assert(AtomCount * sizeof(Atom) == sizeof(TAtoms));
    XInternAtoms(Dpy_, const_cast<char**>(AtomNames), AtomCount, False, reinterpret_cast<Atom*>(&Atoms_));

    if (Broken_) {
        // Gone while the connection was set up: as if it had never answered.
        XFreeFont(Dpy_, Normal);
        XFreeFont(Dpy_, Report);
        Normal = Report = nullptr;
        XCloseDisplay(Dpy_);
        RemoveOurDisplay(this);
        Dpy_ = nullptr;
        return;
    }
    if (pipe2(WakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        WakeFds[0] = WakeFds[1] = -1;
}

TKroXDisplay::~TKroXDisplay() {
    if (Dpy_ == nullptr)
        return;
    Filter.reset();
    if (Arrow != 0)
        XFreeCursor(Dpy_, Arrow);
    if (Wait != 0)
        XFreeCursor(Dpy_, Wait);
    if (CursorFont != 0)
        XUnloadFont(Dpy_, CursorFont);
    XFreeFont(Dpy_, Normal);
    XFreeFont(Dpy_, Report);
    XCloseDisplay(Dpy_);
    RemoveOurDisplay(this);
    for (int Fd : WakeFds)
        if (Fd >= 0)
            close(Fd);
}

XFontStruct* TKroXDisplay::LoadFont(const char* const* Names) {
    for (; *Names != nullptr; ++Names)
        if (XFontStruct* Font = XLoadQueryFont(Dpy_, *Names))
            return Font;
    return nullptr;
}

int TKroXDisplay::ScreenWidth() const noexcept {
    return DisplayWidth(Dpy_, Screen_);
}
int TKroXDisplay::ScreenHeight() const noexcept {
    return DisplayHeight(Dpy_, Screen_);
}

unsigned long TKroXDisplay::Pixel(std::uint32_t Rgb) const {
    const unsigned Red = (Rgb >> 16) & 0xff, Green = (Rgb >> 8) & 0xff, Blue = Rgb & 0xff;
    if (Visual_->c_class == TrueColor || Visual_->c_class == DirectColor)
        return ScaleChannel(Red, Visual_->red_mask) | ScaleChannel(Green, Visual_->green_mask) |
               ScaleChannel(Blue, Visual_->blue_mask);
    // A palette display (rare today): ask the server; black or white when the palette is full.
    XColor Color{};
    Color.red = static_cast<unsigned short>(Red * 257);
    Color.green = static_cast<unsigned short>(Green * 257);
    Color.blue = static_cast<unsigned short>(Blue * 257);
    if (XAllocColor(Dpy_, DefaultColormap(Dpy_, Screen_), &Color))
        return Color.pixel;
    return Red + Green + Blue > 3 * 128 ? WhitePixel(Dpy_, Screen_) : BlackPixel(Dpy_, Screen_);
}

void TKroXDisplay::Register(TKroXWindow& Window) noexcept {
    for (TKroXWindow*& Slot : Windows)
        if (Slot == nullptr) {
            Slot = &Window;
            return;
        }
}

void TKroXDisplay::Unregister(TKroXWindow& Window) noexcept {
    for (TKroXWindow*& Slot : Windows)
        if (Slot == &Window)
            Slot = nullptr;
}

void TKroXDisplay::Flush() {
    XFlush(Dpy_);
}

void TKroXDisplay::Wake() noexcept {
    if (WakeFds[1] >= 0) {
        const char Byte = 1;
        [[maybe_unused]] const ssize_t Ignored = write(WakeFds[1], &Byte, 1);
    }
}

bool TKroXDisplay::TakeWake() noexcept {
    bool Woken = false;
    char Bytes[16];
    while (WakeFds[0] >= 0 && read(WakeFds[0], Bytes, sizeof Bytes) > 0)
        Woken = true;
    return Woken;
}

void TKroXDisplay::Pump(int TimeoutMs) {
    if (Broken_)
        return;
    XFlush(Dpy_);
    if (XPending(Dpy_) == 0 && !Broken_ && TimeoutMs != 0) {
        pollfd Polls[2] = {{ConnectionNumber(Dpy_), POLLIN, 0}, {WakeFds[0], POLLIN, 0}};
        const int Result = poll(Polls, WakeFds[0] >= 0 ? 2 : 1, TimeoutMs);
        if (Result < 0 && errno != EINTR)
            return;
    }
    while (!Broken_ && XPending(Dpy_) > 0) {
        XEvent Event;
        XNextEvent(Dpy_, &Event);
        Dispatch(Event);
    }
}

void TKroXDisplay::Dispatch(XEvent& Event) {
    switch (Event.type) {
    case KeyPress:
    case KeyRelease:
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
    case EnterNotify:
    case LeaveNotify:
        LastEventTime = Event.xkey.time;
        break;
    case PropertyNotify:
        LastEventTime = Event.xproperty.time;
        break;
    default:
        break;
    }
    if (Filter && Filter->HandleEvent(Event))
        return;
    // A window may unregister itself (or another) while it handles the event: walk a copy.
    const auto Current = Windows;
    for (TKroXWindow* Window : Current)
        if (Window != nullptr && Window->HandleEvent(Event))
            return;
}

void TKroXDisplay::SetTitle(Window Handle, std::string_view Utf8Title) {
    XChangeProperty(Dpy_, Handle, Atoms_.NetWmName, Atoms_.Utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Utf8Title.data()), static_cast<int>(Utf8Title.size()));
    // The Latin-1 form: characters beyond it become "?".
    std::string Latin1;
    Latin1.reserve(Utf8Title.size());
    for (std::size_t I = 0; I < Utf8Title.size(); ++I) {
        const unsigned char Byte = static_cast<unsigned char>(Utf8Title[I]);
        if (Byte < 0x80) {
            Latin1.push_back(static_cast<char>(Byte));
        } else if ((Byte & 0xe0) == 0xc0 && I + 1 < Utf8Title.size()) {
            const unsigned Code = ((Byte & 0x1fu) << 6) | (static_cast<unsigned char>(Utf8Title[I + 1]) & 0x3fu);
            Latin1.push_back(Code < 0x100 ? static_cast<char>(Code) : '?');
            ++I;
        } else if ((Byte & 0xc0) != 0x80) {
            Latin1.push_back('?');
        }
    }
    XChangeProperty(Dpy_, Handle, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Latin1.data()), static_cast<int>(Latin1.size()));
}

void TKroXWindow::SetTopmost(bool Topmost) {
    TKroXDisplay& D = Display();
    if (TopLevel == 0)
        return;
    XEvent Event{};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = TopLevel;
    Event.xclient.message_type = D.Atoms().NetWmState;
    Event.xclient.format = 32;
    Event.xclient.data.l[0] = Topmost ? 1 : 0; // add or remove
    Event.xclient.data.l[1] = static_cast<long>(D.Atoms().NetWmStateAbove);
    Event.xclient.data.l[3] = 1; // a normal application asks
    XSendEvent(D.Dpy(), D.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &Event);
    XFlush(D.Dpy());
}
