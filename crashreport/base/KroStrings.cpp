#include "KroStrings.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <limits>
#include <locale.h>

namespace {

constexpr std::ptrdiff_t TheEnd = std::numeric_limits<std::ptrdiff_t>::max();

unsigned char Fold(char C) noexcept {
    const auto Byte = static_cast<unsigned char>(C);
    return Byte >= 'A' && Byte <= 'Z' ? static_cast<unsigned char>(Byte + 32) : Byte;
}

bool MatchesAt(std::string_view Pattern, std::string_view Text, std::size_t Offset, bool IgnoreCase) noexcept {
    if (!IgnoreCase)
        return Text.compare(Offset, Pattern.size(), Pattern) == 0;
    for (std::size_t I = 0; I < Pattern.size(); ++I)
        if (Fold(Pattern[I]) != Fold(Text[Offset + I]))
            return false;
    return true;
}

std::ptrdiff_t Length(std::string_view Text) noexcept {
    return static_cast<std::ptrdiff_t>(Text.size());
}

// Decimal digits of a magnitude, so that the most negative numbers need no special case.
std::string UnsignedToText(std::uint64_t Magnitude, bool Negative) {
    char Digits[24];
    char* End = Digits + sizeof Digits;
    char* First = End;
    do {
        *--First = static_cast<char>('0' + Magnitude % 10);
        Magnitude /= 10;
    } while (Magnitude != 0);
    if (Negative)
        *--First = '-';
    return std::string(First, End);
}

std::uint64_t Magnitude(std::int64_t Number) noexcept {
    return Number < 0 ? 0 - static_cast<std::uint64_t>(Number) : static_cast<std::uint64_t>(Number);
}

bool IsHexDigit(char C) noexcept {
    return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F');
}

// Hundredths of Units as text with the separator before the last two digits: 150 -> "1,50".
std::string WithTwoDecimals(std::uint64_t Units, char Separator) {
    std::string Text = UnsignedToText(Units * 100 / 1024, false);
    Text.insert(Text.size() - 2, 1, Separator);
    return Text;
}

char ReadDecimalSeparator() {
    // The user's numeric locale from the environment, without touching the process's current locale.
    const locale_t Locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (Locale == static_cast<locale_t>(nullptr))
        return ',';
    const char* Radix = nl_langinfo_l(RADIXCHAR, Locale);
    const char Separator = Radix != nullptr && Radix[0] != '\0' && Radix[1] == '\0' ? Radix[0] : ',';
    freelocale(Locale);
    return Separator;
}

} // namespace

std::ptrdiff_t FindSubText(std::string_view Pattern, std::string_view Text, std::ptrdiff_t From, std::ptrdiff_t To,
                           bool IgnoreCase) noexcept {
    if (Pattern.empty() || Text.empty() || Pattern.size() > Text.size())
        return -1;
    const std::ptrdiff_t Last = Length(Text) - Length(Pattern);
    if (From <= To) {
        for (std::ptrdiff_t I = From < 0 ? 0 : From, End = To < Last ? To : Last; I <= End; ++I)
            if (MatchesAt(Pattern, Text, static_cast<std::size_t>(I), IgnoreCase))
                return I;
    } else {
        for (std::ptrdiff_t I = From < Last ? From : Last, End = To < 0 ? 0 : To; I >= End; --I)
            if (MatchesAt(Pattern, Text, static_cast<std::size_t>(I), IgnoreCase))
                return I;
    }
    return -1;
}

std::ptrdiff_t FindInString(std::string_view Pattern, std::string_view Text, std::ptrdiff_t From, std::ptrdiff_t To,
                            bool IgnoreCase) noexcept {
    if (From == 0 || To == 0)
        return 0;
    const std::ptrdiff_t Found =
        FindSubText(Pattern, Text, From < 0 ? TheEnd : From - 1, To < 0 ? TheEnd : To - 1, IgnoreCase);
    return Found + 1;
}

bool StartsWithText(std::string_view Prefix, std::string_view Text) noexcept {
    return Prefix.size() <= Text.size() && MatchesAt(Prefix, Text, 0, true);
}

std::ptrdiff_t FindCharInSet(const TCharSet& Set, std::string_view Text, std::ptrdiff_t From,
                             std::ptrdiff_t To) noexcept {
    const std::ptrdiff_t Size = Length(Text);
    if (Size == 0)
        return 0;
    const auto Clip = [Size](std::ptrdiff_t Position) { return Position < 0 || Position > Size ? Size : Position; };
    From = Clip(From) < 1 ? 1 : Clip(From);
    To = Clip(To) < 1 ? 1 : Clip(To);
    const std::ptrdiff_t Step = From <= To ? 1 : -1;
    for (std::ptrdiff_t I = From;; I += Step) {
        if (Set[static_cast<unsigned char>(Text[static_cast<std::size_t>(I - 1)])])
            return I;
        if (I == To)
            return 0;
    }
}

bool EqualsIgnoreCase(std::string_view A, std::string_view B) noexcept {
    return A.size() == B.size() && MatchesAt(A, B, 0, true);
}

char UpperCaseChar(char C) noexcept {
    return C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C;
}

std::string UpperCaseText(std::string_view Text) {
    std::string Result(Text);
    for (std::size_t I = 0; I < Result.size(); ++I) {
        Result[I] = UpperCaseChar(Result[I]);
        // ä, ö, ü are C3 A4, C3 B6, C3 BC; their capitals differ in the second byte by 0x20.
        if (static_cast<unsigned char>(Result[I]) == 0xc3 && I + 1 < Result.size()) {
            const auto Next = static_cast<unsigned char>(Result[I + 1]);
            if (Next == 0xa4 || Next == 0xb6 || Next == 0xbc)
                Result[++I] = static_cast<char>(Next - 0x20);
        }
    }
    return Result;
}

std::size_t TextLength(const char* Text) noexcept {
    return Text == nullptr ? 0 : std::strlen(Text);
}

bool ReplaceSubText(std::string& Text, std::string_view Find, std::string_view Replacement, bool IgnoreCase,
                    bool Rescan) {
    if (Find.empty())
        return false;
    const std::string Pattern(Find); // Find may point into Text
    const std::string With(Replacement);
    bool Replaced = false;
    if (!Rescan) {
        std::string Result;
        std::size_t Copied = 0;
        for (std::ptrdiff_t Found;
             (Found = FindSubText(Pattern, Text, static_cast<std::ptrdiff_t>(Copied), TheEnd, IgnoreCase)) >= 0;) {
            Result.append(Text, Copied, static_cast<std::size_t>(Found) - Copied).append(With);
            Copied = static_cast<std::size_t>(Found) + Pattern.size();
            Replaced = true;
        }
        if (Replaced)
            Text = Result.append(Text, Copied);
        return Replaced;
    }
    // A match that ends inside the replacement just inserted lies wholly in it (the search restarts where it was put):
    // it would be found again at the same place after every replacement.
    std::ptrdiff_t From = 0;
    std::ptrdiff_t InsertedEnd = -1;
    for (std::ptrdiff_t Found; (Found = FindSubText(Pattern, Text, From, TheEnd, IgnoreCase)) >= 0;) {
        if (Found + Length(Pattern) <= InsertedEnd) {
            From = Found + 1;
            continue;
        }
        Text.replace(static_cast<std::size_t>(Found), Pattern.size(), With);
        Replaced = true;
        From = Found;
        InsertedEnd = Found + Length(With);
    }
    return Replaced;
}

std::string DeleteFromText(std::string_view Text, std::ptrdiff_t Index, std::ptrdiff_t Count) {
    std::string Result(Text);
    if (Index >= 1 && Index <= Length(Text) && Count > 0)
        Result.erase(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
    return Result;
}

void KeepPart(std::string& Text, std::ptrdiff_t Index, std::ptrdiff_t Count) {
    if (Index < 1)
        Index = 1;
    if (Index > Length(Text) || Count <= 0) {
        Text.clear();
        return;
    }
    Text = Text.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

void PadText(std::string& Text, std::ptrdiff_t PadCount, bool PadLeft, char Fill) {
    if (PadCount <= 0)
        return;
    const auto Count = static_cast<std::size_t>(PadCount);
    if (!PadLeft)
        Text.append(Count, Fill);
    else if (Fill >= '0' && Fill <= '9' && !Text.empty() && Text[0] == '-')
        Text.insert(1, Count, Fill);
    else
        Text.insert(0, Count, Fill);
}

std::string PadToLength(std::string Text, std::ptrdiff_t MinLength, char Fill) {
    const std::ptrdiff_t Wanted = MinLength < 0 ? -MinLength : MinLength;
    PadText(Text, Wanted - Length(Text), MinLength > 0, Fill);
    return Text;
}

std::string IntToText(std::int32_t Number) {
    return Int64ToText(Number);
}

std::string Int64ToText(std::int64_t Number) {
    return UnsignedToText(Magnitude(Number), Number < 0);
}

std::string IntToHexText(std::uint32_t Number) {
    return Int64ToHexText(Number);
}

std::string Int64ToHexText(std::uint64_t Number) {
    static constexpr char Digits[] = "0123456789abcdef";
    char Text[16];
    char* End = Text + sizeof Text;
    char* First = End;
    do {
        *--First = Digits[Number & 15];
        Number >>= 4;
    } while (Number != 0);
    return std::string(First, End);
}

std::string IntToTextPadded(std::int32_t Number, std::ptrdiff_t MinLength, char Fill) {
    return PadToLength(IntToText(Number), MinLength, Fill);
}

std::string CardinalToTextPadded(std::uint32_t Number, std::ptrdiff_t MinLength, char Fill) {
    return PadToLength(UnsignedToText(Number, false), MinLength, Fill);
}

std::string Int64ToTextPadded(std::int64_t Number, std::ptrdiff_t MinLength, char Fill) {
    return PadToLength(Int64ToText(Number), MinLength, Fill);
}

std::string IntToHexPadded(std::uint32_t Number, std::ptrdiff_t MinLength, char Fill) {
    if (IsHexDigit(Fill) || MinLength < 0)
        return "$" + PadToLength(IntToHexText(Number), MinLength, Fill);
    return PadToLength("$" + IntToHexText(Number), MinLength + 1, Fill);
}

std::int32_t TextToInt(bool Hexadecimal, std::string_view Characters) noexcept {
    const std::uint32_t Base = Hexadecimal ? 16 : 10;
    const bool Negative = !Characters.empty() && Characters[0] == '-';
    std::uint32_t Value = 0;
    for (std::size_t I = Negative ? 1 : 0; I < Characters.size(); ++I) {
        const char C = Characters[I];
        const std::uint32_t Digit = C >= '0' && C <= '9'   ? static_cast<std::uint32_t>(C - '0')
                                    : C >= 'a' && C <= 'f' ? static_cast<std::uint32_t>(C - 'a' + 10)
                                    : C >= 'A' && C <= 'F' ? static_cast<std::uint32_t>(C - 'A' + 10)
                                                           : 0;
        Value = Value * Base + Digit;
    }
    return static_cast<std::int32_t>(Negative ? 0 - Value : Value);
}

void NormalizeList(std::string& List, char Separator) {
    const auto IsItem = [Separator](char C) { return static_cast<unsigned char>(C) >= 33 && C != Separator; };
    std::string Result;
    std::size_t I = 0;
    while (I < List.size() && !IsItem(List[I]))
        ++I;
    while (I < List.size()) {
        if (IsItem(List[I])) {
            Result += List[I++];
            continue;
        }
        // A run between two item bytes (or after the last): inside an item it stays as it is; around separators
        // only the separators stay; behind the last item it goes.
        const std::size_t RunStart = I;
        bool HasSeparator = false;
        while (I < List.size() && !IsItem(List[I]))
            HasSeparator |= List[I++] == Separator;
        if (I == List.size())
            break;
        for (std::size_t J = RunStart; J < I; ++J)
            if (!HasSeparator || List[J] == Separator)
                Result += List[J];
    }
    List = Result;
}

std::ptrdiff_t ListItemCount(std::string_view List, char Separator) noexcept {
    if (List.empty())
        return 0;
    std::ptrdiff_t Count = 1;
    for (const char C : List)
        Count += C == Separator ? 1 : 0;
    return Count;
}

std::string ListItem(std::string_view List, std::ptrdiff_t Index, char Separator) {
    if (Index < 1 || List.empty())
        return {};
    std::size_t Start = 0;
    for (std::ptrdiff_t Item = 1; Item < Index; ++Item) {
        const std::size_t Next = List.find(Separator, Start);
        if (Next == std::string_view::npos)
            return {};
        Start = Next + 1;
    }
    return std::string(List.substr(Start, List.find(Separator, Start) - Start));
}

bool ListContains(std::string_view List, std::string_view Item, char Separator) noexcept {
    if (List.empty())
        return false;
    for (std::size_t Start = 0;;) {
        const std::size_t End = List.find(Separator, Start);
        if (EqualsIgnoreCase(List.substr(Start, End - Start), Item))
            return true;
        if (End == std::string_view::npos)
            return false;
        Start = End + 1;
    }
}

char GetDecimalSeparator() {
    static const char Separator = ReadDecimalSeparator();
    return Separator;
}

std::string FormatByteSize(std::int64_t Size) {
    return FormatByteSize(Size, GetDecimalSeparator());
}

std::string FormatByteSize(std::int64_t Size, char DecimalSeparator) {
    const std::uint64_t Value = Magnitude(Size);
    if (Value < 1024)
        return UnsignedToText(Value, false) + " Bytes";
    if (Value < 1024 * 1024)
        return WithTwoDecimals(Value, DecimalSeparator) + " KB";
    if (Value < 1024 * 1024 * 1024)
        return WithTwoDecimals(Value / 1024, DecimalSeparator) + " MB";
    return WithTwoDecimals(Value / 1024 / 1024, DecimalSeparator) + " GB";
}

std::string ErrorCodeText(std::uint32_t Code) {
    static constexpr auto Fallback = Scrambled("Unknown error");
    const char* Message = Code <= static_cast<std::uint32_t>(std::numeric_limits<int>::max())
                              ? strerrordesc_np(static_cast<int>(Code))
                              : nullptr;
    if (Message == nullptr)
        return UnscrambleStr(std::string_view(Fallback.data(), Fallback.size())) + " $" + IntToHexText(Code);
    std::string Text;
    for (const char* C = Message; *C != '\0'; ++C)
        if (*C != '\n')
            Text += *C == '\r' ? ' ' : *C;
    return Text;
}

std::string UnscrambleStr(std::string_view Text) {
    std::string Result(Text);
    for (char& C : Result)
        C = static_cast<char>(C ^ ScrambleKey);
    return Result;
}

std::u16string AnsiToWide(std::string_view Text, bool AddTerminator) {
    std::u16string Wide;
    Wide.reserve(Text.size() + 1);
    for (const char C : Text)
        Wide += static_cast<char16_t>(static_cast<unsigned char>(C));
    if (AddTerminator)
        Wide += u'\0';
    return Wide;
}
