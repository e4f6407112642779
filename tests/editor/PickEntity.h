#pragma once

#include "ModalDriver.h"

class QListWidget;
class TPyxObject;

namespace eh {

// A handler for the pick dialog (TSearchForm): lists every entity, focuses Entity's row and presses OK; with nil,
// presses OK with no row focused. Sets *Caption (when given) to the dialog's title.
TModalDriver::THandler PickEntity(TPyxObject* Entity, QString* Caption = nullptr);

// Double-clicks item Row of List as a user does: the first click presses and releases, the second is the
// double-click (an item view takes a double-click only on the item the press was on).
void DoubleClickItem(QListWidget& List, int Row);

} // namespace eh
