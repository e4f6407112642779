#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The crash reporter's small string toolkit on byte strings.
//
// Texts are the system's own bytes: UTF-8 on this platform. Case-insensitive operations fold the ASCII letters only,
// so a multi-byte character is never split or changed. Positions are 1-based with 0 for "not found", unless said
// otherwise; where a position may be negative, a negative value means the end of the text.

// A set of byte values (bit n = byte n).
using TCharSet = std::bitset<256>;

// The core search. Looks for Pattern in Text starting at 0-based offsets: forward from From up to To when From <= To
// (To clipped to the last offset where Pattern fits), otherwise backward from From (clipped likewise) down to To.
// Returns the 0-based offset, or -1; also -1 for an empty pattern or text, or a pattern longer than the text.
std::ptrdiff_t FindSubText(std::string_view Pattern, std::string_view Text, std::ptrdiff_t From, std::ptrdiff_t To,
                           bool IgnoreCase) noexcept;

// The core search on whole strings with 1-based positions: From or To 0 gives 0; a negative To (or any value past the
// end) means up to the end; a From greater than To searches backward, e.g. FindInString("bc", "abcabc", 5, 1) is 5.
std::ptrdiff_t FindInString(std::string_view Pattern, std::string_view Text, std::ptrdiff_t From, std::ptrdiff_t To,
                            bool IgnoreCase) noexcept;

// Case-insensitive prefix test; an empty prefix is true, a prefix longer than the text false.
bool StartsWithText(std::string_view Prefix, std::string_view Text) noexcept;

// The first (From <= To) or last (From > To) byte of Text[From..To] that is in Set; positions are clipped to the text.
std::ptrdiff_t FindCharInSet(const TCharSet& Set, std::string_view Text, std::ptrdiff_t From,
                             std::ptrdiff_t To) noexcept;

// Same length and equal but for the case of ASCII letters.
bool EqualsIgnoreCase(std::string_view A, std::string_view B) noexcept;

// "a"-"z" become "A"-"Z". The text form also upper-cases the UTF-8 forms of the three umlauts ä, ö, ü.
char UpperCaseChar(char C) noexcept;
std::string UpperCaseText(std::string_view Text);

// The length of a zero-terminated text; 0 for a null pointer.
std::size_t TextLength(const char* Text) noexcept;

// Replaces every occurrence of Find by Replacement and tells whether anything was replaced. Without Rescan the search
// goes on behind the inserted replacement; with Rescan it goes on where the replacement was put, so the result is
// searched again ("aa" by "a" in "aaaa" gives "aa" without and "a" with rescan). A match lying wholly inside the
// replacement just inserted is passed over: replacing it would only insert the same text again, for ever.
bool ReplaceSubText(std::string& Text, std::string_view Find, std::string_view Replacement, bool IgnoreCase,
                    bool Rescan);

// A copy of Text with Count bytes deleted at Index (1-based); an index outside the text deletes nothing.
std::string DeleteFromText(std::string_view Text, std::ptrdiff_t Index, std::ptrdiff_t Count);

// Keeps only Count bytes from Index (1-based); an index below 1 counts as 1, a count past the end keeps the rest.
void KeepPart(std::string& Text, std::ptrdiff_t Index, std::ptrdiff_t Count);

// Adds PadCount Fill bytes on the left or the right (nothing for PadCount <= 0); padding a number on the left with a
// digit keeps its "-" in front ("-5" padded with one "0" is "-05").
void PadText(std::string& Text, std::ptrdiff_t PadCount, bool PadLeft, char Fill);

// Pads Text to abs(MinLength) bytes: on the left for a positive minimum, on the right for a negative one.
std::string PadToLength(std::string Text, std::ptrdiff_t MinLength, char Fill);

// Decimal: "0" for 0, "-" in front of negatives.
std::string IntToText(std::int32_t Number);
std::string Int64ToText(std::int64_t Number);

// Hexadecimal in lower-case digits without prefix or leading zeros (negatives as their two's complement).
std::string IntToHexText(std::uint32_t Number);
std::string Int64ToHexText(std::uint64_t Number);

// Decimal, then PadToLength.
std::string IntToTextPadded(std::int32_t Number, std::ptrdiff_t MinLength, char Fill);
std::string CardinalToTextPadded(std::uint32_t Number, std::ptrdiff_t MinLength, char Fill);
std::string Int64ToTextPadded(std::int64_t Number, std::ptrdiff_t MinLength, char Fill);

// "$" and hexadecimal. With a hexadecimal digit as Fill (or a negative minimum) the digits are padded to the minimum
// and "$" goes in front: (255, 4, '0') is "$00ff". With any other Fill "$" goes first and the whole is padded on the
// left to MinLength + 1: (255, 4, ' ') is "  $ff". (x, 1, '0') is the usual "$" form without leading zeros.
std::string IntToHexPadded(std::uint32_t Number, std::ptrdiff_t MinLength, char Fill);

// Reads the digits of Characters in base 16 or 10 (a leading "-" negates). No validation: a byte that is no digit
// counts as 0, and overflow wraps.
std::int32_t TextToInt(bool Hexadecimal, std::string_view Characters) noexcept;

// Item bytes are 33..255 except the separator. A list without any becomes empty; otherwise it is cut to the stretch
// from its first to its last item byte, and blanks and control bytes next to a separator are deleted:
// " a , b ,c " becomes "a,b,c".
void NormalizeList(std::string& List, char Separator);

// 0 for an empty list, else 1 + the number of separators.
std::ptrdiff_t ListItemCount(std::string_view List, char Separator) noexcept;

// The Index-th item (from 1), the text between the separators; empty when there are fewer items.
std::string ListItem(std::string_view List, std::ptrdiff_t Index, char Separator);

// Whether Item is one of the list's items, without regard to case.
bool ListContains(std::string_view List, std::string_view Item, char Separator) noexcept;

// The decimal separator of the user's numeric locale, read once and kept; "," when it cannot be read (or is not a
// single byte). Call it once at start-up, so a report never loads locale data.
char GetDecimalSeparator();

// "1023 Bytes", "1,50 KB", "1,00 MB", "2,00 GB": two decimals (truncated) from KB upward, on the absolute value.
std::string FormatByteSize(std::int64_t Size);
std::string FormatByteSize(std::int64_t Size, char DecimalSeparator);

// The system's message for an error number (errno), in English, with CR turned into a blank and LF removed; for a
// number without message a fixed text, a blank and the number as "$" hexadecimal.
std::string ErrorCodeText(std::uint32_t Code);

// The few texts the reporter keeps out of its binary's plain strings are stored with every byte xor-ed with one
// constant; Scrambled makes such a text at compile time and UnscrambleStr restores it.
inline constexpr char ScrambleKey = 0x5c;
template <std::size_t N> constexpr std::array<char, N - 1> Scrambled(const char (&Text)[N]) noexcept {
    std::array<char, N - 1> Result{};
    for (std::size_t I = 0; I + 1 < N; ++I)
        Result[I] = static_cast<char>(Text[I] ^ ScrambleKey);
    return Result;
}
std::string UnscrambleStr(std::string_view Text);

// Each byte becomes one UTF-16 code unit of the same value; with AddTerminator a zero unit is appended.
std::u16string AnsiToWide(std::string_view Text, bool AddTerminator);
