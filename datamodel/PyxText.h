#pragma once

#include <string>
#include <string_view>

// Conversions between the files' UTF-16 texts and the UTF-8 of messages and status texts.
std::string ToUtf8(const std::u16string& S);
std::u16string FromUtf8(const std::string& S);

// True when Text occurs in S without regard to letter case. The search folds case on the UTF-16 texts themselves,
// so names in any script are found; an empty Text occurs in every S.
// Views, so that a caller can search text it has put together without building a string for it.
bool AnsiContainsText(std::u16string_view S, std::u16string_view Text);

// One UTF-16 code unit folded for case-insensitive comparisons: two units that differ only in letter case fold alike,
// in every script of the BMP (the upper-case form of Unicode's simple case folding, so ASCII folds to upper case).
// A surrogate stays as it is.
char16_t FoldCase(char16_t C);
// FoldCase of each code unit of Text, written to Out (Text.size() units).
void FoldCase(std::u16string_view Text, char16_t* Out);
// AnsiContainsText for a text already case-folded, for a caller that tries one text against many.
bool ContainsFoldedText(std::u16string_view S, std::u16string_view FoldedText);
