#pragma once

#include <X11/Xlib.h>

#include <cstddef>
#include <string_view>
#include <vector>

// Texts for the core fonts: UTF-8 decoded once into the 16-bit characters the server draws, so drawing and measuring
// while a window shows allocate nothing.

// Whether the font covers characters beyond Latin-1 (an ISO 10646 font); with a narrow font they show as "?".
bool FontIsWide(const XFontStruct* Font) noexcept;

// Appends Utf8 to Out. Line ends ("\n", "\r\n", a lone "\r") are kept as one "\n"; with TabWidth > 0 tabs become
// blanks up to the next multiple of TabWidth columns, else one blank; other control characters and invalid bytes show
// as "?". Characters the font lacks show as "?" too.
void AppendXText(std::string_view Utf8, const XFontStruct* Font, int TabWidth, std::vector<XChar2b>& Out);

inline bool IsLineEnd(const XChar2b& C) noexcept {
    return C.byte1 == 0 && C.byte2 == '\n';
}

int XTextWidthOf(XFontStruct* Font, const XChar2b* Text, std::size_t Count) noexcept;

// One line of a text: where it starts in the text and how many characters it has.
struct TXTextLine {
    std::size_t Start = 0;
    std::size_t Length = 0;
};

// Breaks Text into lines no wider than Width: at blanks where it can, inside a word that alone is wider, and at every
// line end. MaxWidth receives the widest line's width.
std::vector<TXTextLine> WrapXText(XFontStruct* Font, const std::vector<XChar2b>& Text, int Width, int& MaxWidth);

// Splits Text at its line ends only.
std::vector<TXTextLine> SplitXLines(const std::vector<XChar2b>& Text);
