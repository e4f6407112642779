#include "PyxColorBox.h"

TPyxColorBox::TPyxColorBox(QWidget* Parent) : TPyxCustomColorBox(Parent) {}
