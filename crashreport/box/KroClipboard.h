#pragma once

#include "KroXDisplay.h"

#include <X11/Xlib.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The clipboard through the X selection "CLIPBOARD": the text is ours to hand out while its window lives, so the
// display's loop serves every request for it (UTF-8, Latin-1 text, the target list, several at once, and texts
// larger than one request in pieces). Before the connection closes, HandOver gives the text to a clipboard manager
// when one runs, so that it outlives the reporter's window and the process.
class TKroClipboard final : public TKroXEventFilter {
public:
    explicit TKroClipboard(TKroXDisplay& Display);
    ~TKroClipboard() override;
    TKroClipboard(const TKroClipboard&) = delete;
    TKroClipboard& operator=(const TKroClipboard&) = delete;

    // Makes Utf8Text the clipboard's content. The texts are copied here, once: serving them allocates nothing.
    void Own(std::string_view Utf8Text);
    bool Owned() const noexcept { return IsOwner; }

    // Asks a running clipboard manager to take the text over and serves its requests until it has, at most TimeoutMs.
    // True when a manager took it; false when none runs, it refused, or it did not finish in time.
    bool HandOver(int TimeoutMs);

    // Takes the events of the selection and of the transfers in progress.
    bool HandleEvent(XEvent& Event) override;

private:
    // A text handed out in pieces (the INCR protocol): one per requestor and property.
    struct TTransfer {
        Window Requestor = 0;
        Atom Property = 0;
        Atom Type = 0;
        const std::string* Data = nullptr;
        std::size_t Offset = 0;
        bool Active = false;
    };

    void Serve(const XSelectionRequestEvent& Request);
    // Puts the target's data into the requestor's property; false when the target is not one we give.
    bool Convert(Window Requestor, Atom Target, Atom Property);
    bool PutText(Window Requestor, Atom Property, Atom Type, const std::string& Data);
    void ContinueTransfer(const XPropertyEvent& Event);
    Time ServerTime();

    TKroXDisplay& Display;
    Window Holder = 0;
    std::string Utf8;
    std::string Latin1;
    Time OwnedSince = CurrentTime;
    bool IsOwner = false;
    std::size_t Threshold = 0;
    std::array<TTransfer, 8> Transfers{};
    // The hand-over's answer.
    bool HandOverPending = false;
    bool HandOverDone = false;
};

// The clipboard served through Display, made on first use and kept with the connection (its event filter).
TKroClipboard& DisplayClipboard(TKroXDisplay& Display);

// Puts Utf8Text on the clipboard. Inside an exception box the box's connection serves it; elsewhere (a trace of the
// whole process made on request) a connection of its own, served by a thread of its own until another program takes
// the clipboard, and handed to a clipboard manager at once when one runs. Without a display nothing happens.
void CopyToClipboard(std::string_view Utf8Text);

// The clipboard of the box being shown in this process, which CopyToClipboard then uses (set by the box).
void SetActiveClipboard(TKroClipboard* Clipboard) noexcept;
