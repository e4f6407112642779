#pragma once

#include "ModalDriver.h"

#include <QColor>

class TPyxColorBox;

namespace eh {

// Drops Box's list down with a click and clicks item Index in it, as a user picks a colour (item 0, "Custom
// Colour...", opens the colour dialog: queue its handler first).
void PickColor(TPyxColorBox& Box, int Index);
// The index of the named colour Name in a colour box (the custom entry is 0).
int NamedColorIndex(const char* Name);
// A handler for the colour dialog: chooses Color and presses OK, or Cancel when Color is invalid.
TModalDriver::THandler AnswerColorDialog(const QColor& Color);

} // namespace eh
