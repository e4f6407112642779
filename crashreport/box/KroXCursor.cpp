#include "KroXCursor.h"

// The library's interface for writing requests, as its extensions use it; kept to this one file.
#include <X11/Xlibint.h>

// The library's request macros name the connection "dpy".
Cursor CreateFontGlyphCursor(Display* dpy, Font CursorFont, unsigned Shape) {
    xCreateGlyphCursorReq* Request;
    LockDisplay(dpy);
    GetReq(CreateGlyphCursor, Request);
    const Cursor Id = XAllocID(dpy);
    Request->cid = static_cast<CARD32>(Id);
    Request->source = static_cast<CARD32>(CursorFont);
    Request->mask = static_cast<CARD32>(CursorFont);
    // In the cursor font each shape's mask is the glyph that follows it.
    Request->sourceChar = static_cast<CARD16>(Shape);
    Request->maskChar = static_cast<CARD16>(Shape + 1);
    Request->foreRed = Request->foreGreen = Request->foreBlue = 0;
    Request->backRed = Request->backGreen = Request->backBlue = 0xffff;
    UnlockDisplay(dpy);
    SyncHandle();
    return Id;
}
