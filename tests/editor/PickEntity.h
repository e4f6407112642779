#pragma once

#include "ModalDriver.h"

class TPyxObject;

namespace eh {

// A handler for the pick dialog (TSearchForm): lists every entity, focuses Entity's row and presses OK; with nil,
// presses OK with no row focused. Sets *Caption (when given) to the dialog's title.
TModalDriver::THandler PickEntity(TPyxObject* Entity, QString* Caption = nullptr);

} // namespace eh
