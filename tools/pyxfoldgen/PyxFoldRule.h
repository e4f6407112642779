#pragma once

#include <QChar>

// The fold the search compares letters by: the upper-case form of Unicode's simple case folding. Folding first joins
// what upper-casing alone keeps apart (k and the Kelvin sign, s and the long s, the micro sign and mu, final and
// medial sigma); upper-casing the folded letter keeps the ASCII letters where the search has always had them, a at A.
inline char32_t PyxFoldRule(char32_t C) {
    return QChar::toUpper(QChar::toCaseFolded(C));
}
