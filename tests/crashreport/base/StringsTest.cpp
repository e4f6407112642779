#include "KroException.h"
#include "KroStrings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

TEST(StringsTest, SearchesForwardAndBackwardWithClippedBounds) {
    EXPECT_EQ(FindInString("bc", "abcabc", 5, 1, false), 5);
    EXPECT_EQ(FindInString("bc", "abcabc", 1, -1, false), 2);
    EXPECT_EQ(FindInString("bc", "abcabc", 3, 1000, false), 5);
    EXPECT_EQ(FindInString("bc", "abcabc", -1, 1, false), 5);
    EXPECT_EQ(FindInString("bc", "abcabc", 4, 2, false), 2);
    EXPECT_EQ(FindInString("bc", "abcabc", 3, 4, false), 0);
    EXPECT_EQ(FindInString("bc", "abcabc", 0, 5, false), 0);
    EXPECT_EQ(FindInString("bc", "abcabc", 1, 0, false), 0);
    EXPECT_EQ(FindInString("BC", "abcabc", 1, -1, false), 0);
    EXPECT_EQ(FindInString("BC", "abcabc", 1, -1, true), 2);
    EXPECT_EQ(FindInString("", "abc", 1, -1, false), 0);
    EXPECT_EQ(FindInString("abcd", "abc", 1, -1, false), 0);

    EXPECT_EQ(FindSubText("c", "abcabc", 0, 99, false), 2);
    EXPECT_EQ(FindSubText("c", "abcabc", 99, 0, false), 5);
    EXPECT_EQ(FindSubText("c", "abcabc", -5, 1, false), -1);
    EXPECT_EQ(FindSubText("a", "", 0, 9, false), -1);

    EXPECT_TRUE(StartsWithText("", "x"));
    EXPECT_TRUE(StartsWithText("KRO", "kroexcept"));
    EXPECT_FALSE(StartsWithText("kroexcept!", "kroexcept"));
    EXPECT_TRUE(EqualsIgnoreCase("Access Violation", "aCCESS vIOLATION"));
    EXPECT_FALSE(EqualsIgnoreCase("ab", "abc"));
    // Only ASCII letters fold: the bytes of a multi-byte character are compared as they are.
    EXPECT_FALSE(EqualsIgnoreCase("\xc3\xa4", "\xc3\x84"));

    TCharSet Digits;
    for (char C = '0'; C <= '9'; ++C)
        Digits.set(static_cast<unsigned char>(C));
    EXPECT_EQ(FindCharInSet(Digits, "ab1cd2ef", 1, 8), 3);
    EXPECT_EQ(FindCharInSet(Digits, "ab1cd2ef", 8, 1), 6);
    EXPECT_EQ(FindCharInSet(Digits, "ab1cd2ef", 4, 5), 0);
    EXPECT_EQ(FindCharInSet(Digits, "ab1cd2ef", 4, 100), 6);
    EXPECT_EQ(FindCharInSet(Digits, "", 1, 8), 0);

    EXPECT_EQ(UpperCaseChar('q'), 'Q');
    EXPECT_EQ(UpperCaseChar('['), '[');
    EXPECT_EQ(UpperCaseText("$1f4 gr\xc3\xbc\xc3\x9f \xc3\xa4\xc3\xb6"), "$1F4 GR\xc3\x9c\xc3\x9f \xc3\x84\xc3\x96");
    EXPECT_EQ(TextLength("kro"), 3u);
    EXPECT_EQ(TextLength(nullptr), 0u);
}

TEST(StringsTest, ReplacesWithAndWithoutRescanAndEndsWhenTheReplacementHoldsThePattern) {
    std::string Text = "aaaa";
    EXPECT_TRUE(ReplaceSubText(Text, "aa", "a", false, false));
    EXPECT_EQ(Text, "aa");
    Text = "aaaa";
    EXPECT_TRUE(ReplaceSubText(Text, "aa", "a", false, true));
    EXPECT_EQ(Text, "a");

    Text = "%APPNAME%.txt in %appname%";
    EXPECT_TRUE(ReplaceSubText(Text, "%appname%", "pyxpregame", true, false));
    EXPECT_EQ(Text, "pyxpregame.txt in pyxpregame");
    EXPECT_FALSE(ReplaceSubText(Text, "%appname%", "x", true, false));
    EXPECT_FALSE(ReplaceSubText(Text, "", "x", false, true));

    // Replacements that hold the pattern where they are put, or further in: each original occurrence is replaced
    // once, and the rescan still finds occurrences that the replacement forms with the text behind it.
    Text = "a-a";
    EXPECT_TRUE(ReplaceSubText(Text, "a", "ab", false, true));
    EXPECT_EQ(Text, "ab-ab");
    Text = "xax";
    EXPECT_TRUE(ReplaceSubText(Text, "a", "bab", false, true));
    EXPECT_EQ(Text, "xbabx");
    // The rescan starts where the replacement was put, never before it.
    Text = "aab";
    EXPECT_TRUE(ReplaceSubText(Text, "ab", "a", false, true));
    EXPECT_EQ(Text, "aa");
    Text = "\r\n\r\r\n";
    EXPECT_TRUE(ReplaceSubText(Text, "\r\n", "\n", false, true));
    EXPECT_EQ(Text, "\n\r\n");

    // The pattern in the replacement ends in the text behind it: "ab" then "b" forms "ab" again, which is replaced.
    Text = "abbb";
    EXPECT_TRUE(ReplaceSubText(Text, "ab", "xa", false, true));
    EXPECT_EQ(Text, "xxxa");

    // Replace in place through a view into the text itself.
    Text = "abab";
    EXPECT_TRUE(ReplaceSubText(Text, std::string_view(Text).substr(0, 2), "c", false, false));
    EXPECT_EQ(Text, "cc");
}

TEST(StringsTest, FormatsNumbersWithPaddingAndHexadecimal) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
    EXPECT_EQ(Int64ToText(LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToHexText(0), "0");
    EXPECT_EQ(IntToHexText(0x1f4), "1f4");
    EXPECT_EQ(IntToHexText(static_cast<std::uint32_t>(-1)), "ffffffff");
    EXPECT_EQ(Int64ToHexText(0x100000000ull), "100000000");
    EXPECT_EQ(Int64ToHexText(0x7f0012345678ull), "7f0012345678");

    EXPECT_EQ(IntToHexPadded(255, 4, '0'), "$00ff");
    EXPECT_EQ(IntToHexPadded(255, 4, ' '), "  $ff");
    EXPECT_EQ(IntToHexPadded(255, -4, '0'), "$ff00");
    EXPECT_EQ(IntToHexPadded(0x1f4, 1, '0'), "$1f4");
    EXPECT_EQ(IntToHexPadded(0x12345, 4, '0'), "$12345");

    EXPECT_EQ(IntToTextPadded(-5, 3, '0'), "-05");
    EXPECT_EQ(IntToTextPadded(-5, 3, ' '), " -5");
    EXPECT_EQ(IntToTextPadded(7, -3, ' '), "7  ");
    EXPECT_EQ(CardinalToTextPadded(4000000000u, 12, '0'), "004000000000");
    EXPECT_EQ(Int64ToTextPadded(12345678901ll, 2, '0'), "12345678901");
    EXPECT_EQ(PadToLength("ab", 1, '.'), "ab");
    std::string Padded = "x";
    PadText(Padded, -2, true, '*');
    PadText(Padded, 2, false, '*');
    EXPECT_EQ(Padded, "x**");

    EXPECT_EQ(TextToInt(true, "1f4"), 500);
    EXPECT_EQ(TextToInt(true, "FF"), 255);
    EXPECT_EQ(TextToInt(false, "-123"), -123);
    EXPECT_EQ(TextToInt(false, "12z"), 120);
    EXPECT_EQ(TextToInt(false, ""), 0);
    EXPECT_EQ(TextToInt(true, "ffffffff"), -1);
}

TEST(StringsTest, CutsAndListsAsTheReporterNeeds) {
    EXPECT_EQ(DeleteFromText("abcdef", 2, 3), "aef");
    EXPECT_EQ(DeleteFromText("abcdef", 5, 10), "abcd");
    EXPECT_EQ(DeleteFromText("abcdef", 0, 2), "abcdef");
    EXPECT_EQ(DeleteFromText("abcdef", 7, 2), "abcdef");
    std::string Part = "abcdef";
    KeepPart(Part, 2, 3);
    EXPECT_EQ(Part, "bcd");
    Part = "abcdef";
    KeepPart(Part, 4, 100);
    EXPECT_EQ(Part, "def");
    KeepPart(Part, 9, 1);
    EXPECT_EQ(Part, "");

    std::string List = " a , b ,c ";
    NormalizeList(List, ',');
    EXPECT_EQ(List, "a,b,c");
    List = "\t EAbort ,\r\n EMyError  x , ";
    NormalizeList(List, ',');
    EXPECT_EQ(List, "EAbort,EMyError  x");
    List = " , \t ";
    NormalizeList(List, ',');
    EXPECT_EQ(List, "");
    List = "a , , b";
    NormalizeList(List, ',');
    EXPECT_EQ(List, "a,,b");

    EXPECT_EQ(ListItemCount("", ','), 0);
    EXPECT_EQ(ListItemCount("a", ','), 1);
    EXPECT_EQ(ListItemCount("a,,b", ','), 3);
    EXPECT_EQ(ListItem("a,b", 3, ','), "");
    EXPECT_EQ(ListItem("a,b", 2, ','), "b");
    EXPECT_EQ(ListItem("a,,b", 2, ','), "");
    EXPECT_EQ(ListItem("a,b", 0, ','), "");
    EXPECT_TRUE(ListContains("EAbort,EMyError", "emyerror", ','));
    EXPECT_TRUE(ListContains("EAbort,EMyError", "EAbort", ','));
    EXPECT_FALSE(ListContains("EAbort,EMyError", "EMy", ','));
    EXPECT_FALSE(ListContains("EAbortX", "EAbort", ','));
    EXPECT_FALSE(ListContains("", "", ','));
}

TEST(StringsTest, SizesErrorTextsAndStoredTexts) {
    EXPECT_EQ(FormatByteSize(1023, ','), "1023 Bytes");
    EXPECT_EQ(FormatByteSize(-1023, ','), "1023 Bytes");
    EXPECT_EQ(FormatByteSize(1536, ','), "1,50 KB");
    EXPECT_EQ(FormatByteSize(1048575, '.'), "1023.99 KB");
    EXPECT_EQ(FormatByteSize(1048576, ','), "1,00 MB");
    EXPECT_EQ(FormatByteSize(5ll << 30, ','), "5,00 GB");
    EXPECT_EQ(FormatByteSize(LLONG_MIN, ','), "8589934592,00 GB");
    const char Separator = GetDecimalSeparator();
    EXPECT_EQ(Separator, GetDecimalSeparator());
    EXPECT_EQ(FormatByteSize(1536), std::string("1") + Separator + "50 KB");

    EXPECT_EQ(ErrorCodeText(ENOENT), "No such file or directory");
    EXPECT_EQ(ErrorCodeText(0xc0000005), "Unknown error $c0000005");
    EXPECT_EQ(ErrorCodeText(4000), "Unknown error $fa0");

    constexpr auto Stored = Scrambled("process_vm_readv");
    EXPECT_NE(std::string(Stored.data(), Stored.size()), "process_vm_readv");
    EXPECT_EQ(UnscrambleStr(std::string_view(Stored.data(), Stored.size())), "process_vm_readv");

    EXPECT_EQ(AnsiToWide("A\xb7", false), std::u16string(u"A\u00b7"));
    EXPECT_EQ(AnsiToWide("A", true), std::u16string(u"A\0", 2));

    try {
        throw KroException("Access violation");
    } catch (const KroException& E) {
        EXPECT_EQ(E.Message, "Access violation");
    }
}
