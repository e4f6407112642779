#include "PyxText.h"

#include "PyxFoldTable.h"

#include <array>
#include <cstdint>

std::string ToUtf8(const std::u16string& S) {
    std::string Out;
    Out.reserve(S.size());
    for (size_t I = 0; I < S.size(); ++I) {
        uint32_t C = S[I];
        if (C >= 0xD800 && C <= 0xDBFF && I + 1 < S.size() && S[I + 1] >= 0xDC00 && S[I + 1] <= 0xDFFF) {
            C = 0x10000 + ((C - 0xD800) << 10) + (S[I + 1] - 0xDC00);
            ++I;
        } else if (C >= 0xD800 && C <= 0xDFFF) {
            C = 0xFFFD; // a lone surrogate cannot be written as UTF-8
        }
        if (C < 0x80) {
            Out += static_cast<char>(C);
        } else if (C < 0x800) {
            Out += static_cast<char>(0xC0 | (C >> 6));
            Out += static_cast<char>(0x80 | (C & 0x3F));
        } else if (C < 0x10000) {
            Out += static_cast<char>(0xE0 | (C >> 12));
            Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
            Out += static_cast<char>(0x80 | (C & 0x3F));
        } else {
            Out += static_cast<char>(0xF0 | (C >> 18));
            Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
            Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
            Out += static_cast<char>(0x80 | (C & 0x3F));
        }
    }
    return Out;
}

std::u16string FromUtf8(const std::string& S) {
    std::u16string Out;
    Out.reserve(S.size());
    size_t I = 0;
    while (I < S.size()) {
        auto B = static_cast<unsigned char>(S[I]);
        uint32_t C;
        int Extra;
        if (B < 0x80) {
            C = B;
            Extra = 0;
        } else if ((B & 0xE0) == 0xC0) {
            C = B & 0x1F;
            Extra = 1;
        } else if ((B & 0xF0) == 0xE0) {
            C = B & 0x0F;
            Extra = 2;
        } else if ((B & 0xF8) == 0xF0) {
            C = B & 0x07;
            Extra = 3;
        } else {
            Out += u'\uFFFD';
            ++I;
            continue;
        }
        if (I + static_cast<size_t>(Extra) >= S.size() && Extra > 0) {
            Out += u'\uFFFD'; // a sequence cut off at the end
            break;
        }
        bool Ok = true;
        for (int K = 1; K <= Extra; ++K) {
            auto N = static_cast<unsigned char>(S[I + static_cast<size_t>(K)]);
            if ((N & 0xC0) != 0x80) {
                Ok = false;
                break;
            }
            C = (C << 6) | (N & 0x3F);
        }
        if (!Ok) {
            Out += u'\uFFFD';
            ++I;
            continue;
        }
        I += static_cast<size_t>(Extra) + 1;
        if (C >= 0x10000) {
            C -= 0x10000;
            Out += static_cast<char16_t>(0xD800 + (C >> 10));
            Out += static_cast<char16_t>(0xDC00 + (C & 0x3FF));
        } else {
            Out += static_cast<char16_t>(C);
        }
    }
    return Out;
}

namespace {

// Inline, ASCII without the table: a search folds every letter of hundreds of thousands of names, most of them ASCII.
// The table is one array, so the search's loops hold one more address and make no call for the other letters.
inline char16_t Fold(char16_t C) {
    if (C < 0x80)
        return static_cast<unsigned>(C - u'a') < 26u ? static_cast<char16_t>(C - 0x20) : C;
    return FoldTable::Fold(C);
}

} // namespace

char16_t FoldCase(char16_t C) {
    return Fold(C);
}

void FoldCase(std::u16string_view Text, char16_t* Out) {
    for (char16_t C : Text)
        *Out++ = Fold(C);
}

bool AnsiContainsText(std::u16string_view S, std::u16string_view Text) {
    const size_t N = Text.size();
    if (N == 0)
        return true;
    if (N > S.size())
        return false;
    // The search text is folded once, not once for every place it is tried at.
    std::array<char16_t, 32> Short;
    std::u16string Long;
    char16_t* Key = Short.data();
    if (N > Short.size()) {
        Long.resize(N);
        Key = Long.data();
    }
    FoldCase(Text, Key);
    return ContainsFoldedText(S, std::u16string_view(Key, N));
}

bool ContainsFoldedText(std::u16string_view S, std::u16string_view FoldedText) {
    const size_t N = FoldedText.size();
    if (N == 0)
        return true;
    if (N > S.size())
        return false;
    const char16_t First = FoldedText[0];
    for (size_t I = 0; I + N <= S.size(); ++I) {
        if (Fold(S[I]) != First)
            continue;
        size_t K = 1;
        while (K < N && Fold(S[I + K]) == FoldedText[K])
            ++K;
        if (K == N)
            return true;
    }
    return false;
}
