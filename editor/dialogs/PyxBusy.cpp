#include "PyxBusy.h"

namespace {
int Depth = 0;
}

TPyxBusy::TPyxBusy() {
    ++Depth;
}

TPyxBusy::~TPyxBusy() {
    --Depth;
}

bool TPyxBusy::Active() {
    return Depth > 0;
}
