#include "KroClipboard.h"

#include "KroXDisplay.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <poll.h>

namespace {

// Pieces of a text handed out in parts.
constexpr std::size_t ChunkSize = 64 * 1024;
// How long taking the clipboard waits for the server's time stamp.
constexpr std::chrono::milliseconds ServerTimeWait{2000};

std::string ToLatin1(std::string_view Utf8) {
    std::string Result;
    Result.reserve(Utf8.size());
    for (std::size_t I = 0; I < Utf8.size();) {
        const unsigned char Byte = static_cast<unsigned char>(Utf8[I]);
        if (Byte < 0x80) {
            Result.push_back(static_cast<char>(Byte));
            ++I;
            continue;
        }
        std::size_t Length = (Byte & 0xe0) == 0xc0 ? 2 : (Byte & 0xf0) == 0xe0 ? 3 : (Byte & 0xf8) == 0xf0 ? 4 : 1;
        if (Length == 2 && I + 1 < Utf8.size()) {
            const unsigned Code = ((Byte & 0x1fu) << 6) | (static_cast<unsigned char>(Utf8[I + 1]) & 0x3fu);
            Result.push_back(Code < 0x100 ? static_cast<char>(Code) : '?');
        } else {
            Result.push_back('?');
        }
        I += Length;
    }
    return Result;
}

} // namespace

TKroClipboard::TKroClipboard(TKroXDisplay& Display) : Display(Display) {
    XSetWindowAttributes Attributes{};
    Attributes.event_mask = PropertyChangeMask;
    Holder = XCreateWindow(Display.Dpy(), Display.Root(), -10, -10, 1, 1, 0, 0, InputOnly, CopyFromParent, CWEventMask,
                           &Attributes);
    // A property no larger than the server takes in one request; anything larger goes in pieces.
    long MaxRequest = XExtendedMaxRequestSize(Display.Dpy());
    if (MaxRequest == 0)
        MaxRequest = XMaxRequestSize(Display.Dpy());
    const std::size_t MaxBytes = static_cast<std::size_t>(MaxRequest) * 4;
    Threshold = MaxBytes > 4096 ? MaxBytes - 1024 : 3072;
    // Many programs read large properties badly: hand out in pieces above 256 KiB even when the server would take more.
    if (Threshold > 256 * 1024)
        Threshold = 256 * 1024;
}

TKroClipboard::~TKroClipboard() {
    for (TTransfer& Transfer : Transfers)
        if (Transfer.Active)
            XSelectInput(Display.Dpy(), Transfer.Requestor, NoEventMask);
    XDestroyWindow(Display.Dpy(), Holder);
}

Time TKroClipboard::ServerTime() {
    // A zero-length append to our own property makes the server send the time we need, as the protocol asks owners to
    // take a selection with a real time stamp.
    XChangeProperty(Display.Dpy(), Holder, Display.Atoms().KroTransfer, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XFlush(Display.Dpy());
    // A running server answers at once. One that went away (or stopped answering) never does, and a blocking wait
    // for the event would never end: the selection is then taken at the current time.
    const auto Deadline = std::chrono::steady_clock::now() + ServerTimeWait;
    XEvent Event;
    while (!Display.Broken()) {
        if (XCheckWindowEvent(Display.Dpy(), Holder, PropertyChangeMask, &Event))
            return Event.xproperty.time;
        const auto Left =
            std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now()).count();
        if (Left <= 0)
            break;
        pollfd Wait{ConnectionNumber(Display.Dpy()), POLLIN, 0};
        poll(&Wait, 1, static_cast<int>(std::min<long long>(Left, 50)));
    }
    return CurrentTime;
}

void TKroClipboard::Own(std::string_view Utf8Text) {
    if (Utf8.data() != Utf8Text.data() || Utf8.size() != Utf8Text.size()) {
        Utf8.assign(Utf8Text);
        Latin1 = ToLatin1(Utf8Text);
    }
    OwnedSince = ServerTime();
    XSetSelectionOwner(Display.Dpy(), Display.Atoms().Clipboard, Holder, OwnedSince);
    IsOwner = XGetSelectionOwner(Display.Dpy(), Display.Atoms().Clipboard) == Holder;
}

bool TKroClipboard::HandleEvent(XEvent& Event) {
    switch (Event.type) {
    case SelectionRequest:
        if (Event.xselectionrequest.owner != Holder)
            return false;
        Serve(Event.xselectionrequest);
        return true;
    case SelectionClear:
        if (Event.xselectionclear.window != Holder)
            return false;
        if (Event.xselectionclear.selection == Display.Atoms().Clipboard)
            IsOwner = false;
        return true;
    case SelectionNotify:
        if (Event.xselection.requestor != Holder)
            return false;
        if (HandOverPending && Event.xselection.selection == Display.Atoms().ClipboardManager) {
            HandOverPending = false;
            HandOverDone = Event.xselection.property != None;
        }
        return true;
    case PropertyNotify:
        if (Event.xproperty.window == Holder)
            return true;
        if (Event.xproperty.state == PropertyDelete) {
            for (const TTransfer& Transfer : Transfers)
                if (Transfer.Active && Transfer.Requestor == Event.xproperty.window &&
                    Transfer.Property == Event.xproperty.atom) {
                    ContinueTransfer(Event.xproperty);
                    return true;
                }
        }
        return false;
    case DestroyNotify:
        return false;
    default:
        return false;
    }
}

void TKroClipboard::Serve(const XSelectionRequestEvent& Request) {
    const TKroXDisplay::TAtoms& Atoms = Display.Atoms();
    // Old clients name no property: the target itself then serves as one.
    Atom Property = Request.property != None ? Request.property : Request.target;
    const bool InTime = Request.time == CurrentTime || Request.time >= OwnedSince;
    bool Done = false;
    if (IsOwner && InTime && Request.selection == Atoms.Clipboard) {
        if (Request.target == Atoms.Multiple) {
            // Several conversions at once: the property lists target and property pairs; each failed pair gets None.
            Atom Type = None;
            int Format = 0;
            unsigned long Count = 0, After = 0;
            unsigned char* Data = nullptr;
            if (Request.property != None &&
                XGetWindowProperty(Display.Dpy(), Request.requestor, Request.property, 0, 1024, False, AnyPropertyType,
                                   &Type, &Format, &Count, &After, &Data) == Success &&
                Format == 32 && Data != nullptr) {
                Atom* Pairs = reinterpret_cast<Atom*>(Data);
                for (unsigned long I = 0; I + 1 < Count; I += 2)
                    if (Pairs[I] == Atoms.Multiple || !Convert(Request.requestor, Pairs[I], Pairs[I + 1]))
                        Pairs[I + 1] = None;
                XChangeProperty(Display.Dpy(), Request.requestor, Request.property, Type, 32, PropModeReplace, Data,
                                static_cast<int>(Count));
                Done = true;
            }
            if (Data != nullptr)
                XFree(Data);
        } else {
            Done = Convert(Request.requestor, Request.target, Property);
        }
    }
    XEvent Reply{};
    Reply.xselection.type = SelectionNotify;
    Reply.xselection.display = Request.display;
    Reply.xselection.requestor = Request.requestor;
    Reply.xselection.selection = Request.selection;
    Reply.xselection.target = Request.target;
    Reply.xselection.property = Done ? Property : None;
    Reply.xselection.time = Request.time;
    XSendEvent(Display.Dpy(), Request.requestor, False, NoEventMask, &Reply);
    XFlush(Display.Dpy());
}

bool TKroClipboard::Convert(Window Requestor, Atom Target, Atom Property) {
    const TKroXDisplay::TAtoms& Atoms = Display.Atoms();
    if (Property == None)
        return false;
    if (Target == Atoms.Targets) {
        const Atom Targets[] = {Atoms.Targets,       Atoms.Multiple, Atoms.Timestamp, Atoms.Utf8String,
                                Atoms.TextPlainUtf8, XA_STRING,      Atoms.Text,      Atoms.TextPlain};
        XChangeProperty(Display.Dpy(), Requestor, Property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(Targets), sizeof Targets / sizeof Targets[0]);
        return true;
    }
    if (Target == Atoms.Timestamp) {
        const long Stamp = static_cast<long>(OwnedSince);
        XChangeProperty(Display.Dpy(), Requestor, Property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&Stamp), 1);
        return true;
    }
    if (Target == Atoms.Utf8String || Target == Atoms.TextPlainUtf8)
        return PutText(Requestor, Property, Target, Utf8);
    if (Target == XA_STRING || Target == Atoms.Text)
        return PutText(Requestor, Property, XA_STRING, Latin1);
    if (Target == Atoms.TextPlain)
        return PutText(Requestor, Property, Atoms.TextPlain, Latin1);
    return false;
}

bool TKroClipboard::PutText(Window Requestor, Atom Property, Atom Type, const std::string& Data) {
    if (Data.size() <= Threshold) {
        XChangeProperty(Display.Dpy(), Requestor, Property, Type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(Data.data()), static_cast<int>(Data.size()));
        return true;
    }
    // Too large for one request: announce the size and hand the text out piece by piece, each time the requestor has
    // deleted the property.
    for (TTransfer& Transfer : Transfers) {
        if (Transfer.Active)
            continue;
        Transfer = TTransfer{Requestor, Property, Type, &Data, 0, true};
        XSelectInput(Display.Dpy(), Requestor, PropertyChangeMask);
        const long Size = static_cast<long>(Data.size());
        XChangeProperty(Display.Dpy(), Requestor, Property, Display.Atoms().Incr, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&Size), 1);
        return true;
    }
    return false; // as many transfers running as we keep: refuse rather than allocate
}

void TKroClipboard::ContinueTransfer(const XPropertyEvent& Event) {
    for (TTransfer& Transfer : Transfers) {
        if (!Transfer.Active || Transfer.Requestor != Event.window || Transfer.Property != Event.atom)
            continue;
        const std::size_t Left = Transfer.Data->size() - Transfer.Offset;
        const std::size_t Piece = Left < ChunkSize ? Left : ChunkSize;
        // The last piece is the empty one that ends the transfer.
        XChangeProperty(Display.Dpy(), Transfer.Requestor, Transfer.Property, Transfer.Type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(Transfer.Data->data() + Transfer.Offset),
                        static_cast<int>(Piece));
        Transfer.Offset += Piece;
        if (Piece == 0) {
            XSelectInput(Display.Dpy(), Transfer.Requestor, NoEventMask);
            Transfer.Active = false;
        }
        XFlush(Display.Dpy());
        return;
    }
}

bool TKroClipboard::HandOver(int TimeoutMs) {
    const TKroXDisplay::TAtoms& Atoms = Display.Atoms();
    if (!IsOwner || XGetSelectionOwner(Display.Dpy(), Atoms.ClipboardManager) == None)
        return false;
    // Name the targets worth keeping: the manager asks for each of them.
    const Atom Keep[] = {Atoms.Utf8String, Atoms.TextPlainUtf8, XA_STRING, Atoms.Text, Atoms.TextPlain};
    XChangeProperty(Display.Dpy(), Holder, Atoms.KroTransfer, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Keep), sizeof Keep / sizeof Keep[0]);
    HandOverPending = true;
    HandOverDone = false;
    XConvertSelection(Display.Dpy(), Atoms.ClipboardManager, Atoms.SaveTargets, Atoms.KroTransfer, Holder,
                      Display.LastTime() != CurrentTime ? Display.LastTime() : OwnedSince);
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
        bool Transferring = false;
        for (const TTransfer& Transfer : Transfers)
            Transferring = Transferring || Transfer.Active;
        if (!HandOverPending && !Transferring)
            break;
        const auto Left =
            std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now()).count();
        if (Left <= 0 || Display.Broken())
            break;
        Display.Pump(static_cast<int>(Left));
    }
    HandOverPending = false;
    return HandOverDone;
}

TKroClipboard& DisplayClipboard(TKroXDisplay& Display) {
    if (auto* Clipboard = dynamic_cast<TKroClipboard*>(Display.EventFilter()))
        return *Clipboard;
    auto Made = std::make_unique<TKroClipboard>(Display);
    TKroClipboard& Clipboard = *Made;
    Display.SetEventFilter(std::move(Made));
    return Clipboard;
}
