#pragma once

#include <X11/Xlib.h>

// A cursor from the server's cursor font, asked of the server directly. The X library's own XCreateGlyphCursor
// first tries to load a cursor-theme library, and loading a library takes the loader's lock, which a paused thread
// may hold: this request does only what the protocol does. Black on white.
Cursor CreateFontGlyphCursor(Display* Dpy, Font CursorFont, unsigned Shape);
