#pragma once

#include <QString>

// The order of the sorted combo and list boxes: by the user's locale, ignoring letter case, as people expect a list
// of names to read. Negative, zero or positive like QString::compare.
int CompareItemTexts(const QString& A, const QString& B);
