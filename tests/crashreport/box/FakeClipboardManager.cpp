// fake_clipboard_manager: a clipboard manager as small as the tests need. It owns CLIPBOARD_MANAGER; asked to
// SAVE_TARGETS, it reads the clipboard's UTF-8 text (in pieces when the owner sends it so), takes the clipboard over
// and serves that text until it is ended. Writes "ready" when it owns the manager selection, "saved N" after a save.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

volatile std::sig_atomic_t Stop = 0;

bool WaitFor(Display* Dpy, Window Win, int Type, XEvent& Event) {
    for (int Tries = 0; Tries < 500; ++Tries) {
        if (XCheckTypedWindowEvent(Dpy, Win, Type, &Event))
            return true;
        XSync(Dpy, False);
        struct timespec Delay {
            0, 10000000
        };
        nanosleep(&Delay, nullptr);
    }
    return false;
}

// Reads the clipboard's UTF-8 text into Text; false when the owner gives none.
bool ReadClipboard(Display* Dpy, Window Win, Atom Clipboard, Atom Utf8, Atom Incr, Atom Prop, Time When,
                   std::string& Text) {
    XConvertSelection(Dpy, Clipboard, Utf8, Prop, Win, When);
    XEvent Event;
    if (!WaitFor(Dpy, Win, SelectionNotify, Event) || Event.xselection.property == None)
        return false;
    Atom Type;
    int Format;
    unsigned long Count, After;
    unsigned char* Data = nullptr;
    XGetWindowProperty(Dpy, Win, Prop, 0, 0x7fffffff, True, AnyPropertyType, &Type, &Format, &Count, &After, &Data);
    if (Type != Incr) {
        Text.assign(reinterpret_cast<char*>(Data), Count);
        XFree(Data);
        return true;
    }
    XFree(Data);
    Text.clear();
    for (;;) {
        do {
            if (!WaitFor(Dpy, Win, PropertyNotify, Event))
                return false;
        } while (Event.xproperty.state != PropertyNewValue || Event.xproperty.atom != Prop);
        XGetWindowProperty(Dpy, Win, Prop, 0, 0x7fffffff, True, AnyPropertyType, &Type, &Format, &Count, &After, &Data);
        if (Type == None) {
            // The notice of the size announcement itself, already read and deleted: not a piece.
            if (Data != nullptr)
                XFree(Data);
            continue;
        }
        const bool Last = Count == 0;
        Text.append(reinterpret_cast<char*>(Data), Count);
        XFree(Data);
        if (Last)
            return true;
    }
}

} // namespace

int main() {
    std::signal(SIGTERM, [](int) { Stop = 1; });
    Display* Dpy = XOpenDisplay(nullptr);
    if (Dpy == nullptr)
        return 1;
    const Window Win = XCreateSimpleWindow(Dpy, DefaultRootWindow(Dpy), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(Dpy, Win, PropertyChangeMask);
    const Atom Manager = XInternAtom(Dpy, "CLIPBOARD_MANAGER", False);
    const Atom SaveTargets = XInternAtom(Dpy, "SAVE_TARGETS", False);
    const Atom Clipboard = XInternAtom(Dpy, "CLIPBOARD", False);
    const Atom Utf8 = XInternAtom(Dpy, "UTF8_STRING", False);
    const Atom Targets = XInternAtom(Dpy, "TARGETS", False);
    const Atom Incr = XInternAtom(Dpy, "INCR", False);
    const Atom Prop = XInternAtom(Dpy, "FAKE_MANAGER_DATA", False);
    XSetSelectionOwner(Dpy, Manager, Win, CurrentTime);
    XSync(Dpy, False);
    std::printf("ready\n");
    std::fflush(stdout);
    std::string Saved;
    while (!Stop) {
        if (XPending(Dpy) == 0) {
            struct timespec Delay {
                0, 10000000
            };
            nanosleep(&Delay, nullptr);
            continue;
        }
        XEvent Event;
        XNextEvent(Dpy, &Event);
        if (Event.type != SelectionRequest)
            continue;
        const XSelectionRequestEvent Request = Event.xselectionrequest;
        XEvent Reply{};
        Reply.xselection.type = SelectionNotify;
        Reply.xselection.requestor = Request.requestor;
        Reply.xselection.selection = Request.selection;
        Reply.xselection.target = Request.target;
        Reply.xselection.time = Request.time;
        Reply.xselection.property = None;
        if (Request.selection == Manager && Request.target == SaveTargets) {
            std::string Text;
            if (ReadClipboard(Dpy, Win, Clipboard, Utf8, Incr, Prop, Request.time, Text)) {
                Saved = Text;
                XSetSelectionOwner(Dpy, Clipboard, Win, CurrentTime);
                Reply.xselection.property = Request.property;
                std::printf("saved %zu\n", Saved.size());
                std::fflush(stdout);
            }
        } else if (Request.selection == Clipboard && Request.target == Utf8) {
            XChangeProperty(Dpy, Request.requestor, Request.property, Utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(Saved.data()), static_cast<int>(Saved.size()));
            Reply.xselection.property = Request.property;
        } else if (Request.selection == Clipboard && Request.target == Targets) {
            const Atom List[] = {Targets, Utf8};
            XChangeProperty(Dpy, Request.requestor, Request.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(List), 2);
            Reply.xselection.property = Request.property;
        }
        XSendEvent(Dpy, Request.requestor, False, NoEventMask, &Reply);
        XFlush(Dpy);
    }
    XCloseDisplay(Dpy);
    return 0;
}
