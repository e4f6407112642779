#include "KroXText.h"

namespace {

XChar2b Char(unsigned Code) noexcept {
    return XChar2b{static_cast<unsigned char>(Code >> 8), static_cast<unsigned char>(Code & 0xff)};
}

bool FontHas(const XFontStruct* Font, unsigned Code) noexcept {
    const unsigned Row = Code >> 8, Column = Code & 0xff;
    if (Row < Font->min_byte1 || Row > Font->max_byte1 || Column < Font->min_char_or_byte2 ||
        Column > Font->max_char_or_byte2)
        return false;
    if (Font->per_char == nullptr)
        return true;
    const unsigned Columns = Font->max_char_or_byte2 - Font->min_char_or_byte2 + 1;
    const XCharStruct& Metrics = Font->per_char[(Row - Font->min_byte1) * Columns + (Column - Font->min_char_or_byte2)];
    return Metrics.width != 0 || Metrics.ascent != 0 || Metrics.descent != 0;
}

bool IsBlank(const XChar2b& C) noexcept {
    return C.byte1 == 0 && C.byte2 == ' ';
}

} // namespace

bool FontIsWide(const XFontStruct* Font) noexcept {
    return Font->max_byte1 > 0;
}

void AppendXText(std::string_view Utf8, const XFontStruct* Font, int TabWidth, std::vector<XChar2b>& Out) {
    std::size_t Column = 0;
    for (std::size_t I = 0; I < Utf8.size();) {
        const unsigned char Byte = static_cast<unsigned char>(Utf8[I]);
        unsigned Code = '?';
        std::size_t Length = 1;
        if (Byte < 0x80) {
            Code = Byte;
        } else if (Byte >= 0xc2 && Byte < 0xf5) {
            Length = Byte < 0xe0 ? 2 : Byte < 0xf0 ? 3 : 4;
            unsigned Value = Byte & (Length == 2 ? 0x1fu : Length == 3 ? 0x0fu : 0x07u);
            bool Valid = I + Length <= Utf8.size();
            for (std::size_t K = 1; Valid && K < Length; ++K) {
                const unsigned char Next = static_cast<unsigned char>(Utf8[I + K]);
                Valid = (Next & 0xc0) == 0x80;
                Value = (Value << 6) | (Next & 0x3fu);
            }
            if (Valid)
                Code = Value > 0xffff ? '?' : Value;
            else
                Length = 1;
        }
        I += Length;
        if (Code == '\r' || Code == '\n') {
            if (Code == '\r' && I < Utf8.size() && Utf8[I] == '\n')
                ++I;
            Out.push_back(Char('\n'));
            Column = 0;
            continue;
        }
        if (Code == '\t') {
            const std::size_t Blanks = TabWidth > 0 ? TabWidth - Column % static_cast<std::size_t>(TabWidth) : 1;
            for (std::size_t K = 0; K < Blanks; ++K)
                Out.push_back(Char(' '));
            Column += Blanks;
            continue;
        }
        if (Code < 0x20 || Code == 0x7f || (Code >= 0x80 && Code < 0xa0) || !FontHas(Font, Code))
            Code = '?';
        Out.push_back(Char(Code));
        ++Column;
    }
}

int XTextWidthOf(XFontStruct* Font, const XChar2b* Text, std::size_t Count) noexcept {
    int Width = 0;
    // The library takes an int count: measure very long lines in pieces.
    while (Count > 0) {
        const int Piece = Count > 4096 ? 4096 : static_cast<int>(Count);
        Width += XTextWidth16(Font, Text, Piece);
        Text += Piece;
        Count -= static_cast<std::size_t>(Piece);
    }
    return Width;
}

std::vector<TXTextLine> WrapXText(XFontStruct* Font, const std::vector<XChar2b>& Text, int Width, int& MaxWidth) {
    std::vector<TXTextLine> Lines;
    MaxWidth = 0;
    std::size_t Start = 0;
    const std::size_t Size = Text.size();
    while (Start <= Size) {
        // The longest stretch that fits, ending at a blank when there is one.
        std::size_t End = Start, LastBreak = Start;
        int LineWidth = 0;
        bool Forced = false;
        while (End < Size && !IsLineEnd(Text[End])) {
            const int CharWidth = XTextWidth16(Font, &Text[End], 1);
            if (LineWidth + CharWidth > Width && End > Start) {
                Forced = true;
                break;
            }
            LineWidth += CharWidth;
            ++End;
            if (IsBlank(Text[End - 1]))
                LastBreak = End;
        }
        std::size_t Next = End;
        if (Forced && LastBreak > Start) {
            End = LastBreak;
            Next = LastBreak;
        } else if (!Forced && End < Size) {
            Next = End + 1; // past the line end
        } else if (!Forced) {
            Next = Size + 1;
        }
        // Trailing blanks do not count.
        std::size_t Visible = End;
        while (Visible > Start && IsBlank(Text[Visible - 1]))
            --Visible;
        Lines.push_back({Start, Visible - Start});
        const int Measured = XTextWidthOf(Font, Text.data() + Start, Visible - Start);
        MaxWidth = Measured > MaxWidth ? Measured : MaxWidth;
        Start = Next;
        // Blanks that start a wrapped line are dropped.
        if (Forced)
            while (Start < Size && IsBlank(Text[Start]))
                ++Start;
        if (Start == Size && Forced)
            break;
    }
    return Lines;
}

std::vector<TXTextLine> SplitXLines(const std::vector<XChar2b>& Text) {
    std::vector<TXTextLine> Lines;
    std::size_t Start = 0;
    for (std::size_t I = 0; I < Text.size(); ++I)
        if (IsLineEnd(Text[I])) {
            Lines.push_back({Start, I - Start});
            Start = I + 1;
        }
    if (Start < Text.size() || Lines.empty())
        Lines.push_back({Start, Text.size() - Start});
    return Lines;
}
