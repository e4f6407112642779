#pragma once

#include "PyxCustomColorBox.h"

// The colour box the frames place for kit colours: TPyxCustomColorBox with its Selected colour as a property.
// Load with SetSelected(TPyxColor's Major(), ...), and on Confirm write Selected() back when it differs from what was
// loaded.
class TPyxColorBox final : public TPyxCustomColorBox {
    Q_OBJECT
    Q_PROPERTY(uint Selected READ Selected WRITE SetSelected)
public:
    explicit TPyxColorBox(QWidget* Parent = nullptr);
};
