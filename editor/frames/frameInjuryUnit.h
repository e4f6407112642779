#pragma once

#include "PyxFrame.h"
#include "PyxInjury.h"

class QCheckBox;
class QLineEdit;
class TIntegerComboBox;
class TSpinEdit;

// The injuries tab: an injury type's two translatable names (its name and the name used in sentences), its
// category and severity, how likely it is and how long it keeps a player out.
class TframeInjury final : public TPyxFrame<TPyxInjury> {
    Q_OBJECT
public:
    TframeInjury(TPyxNavigator& Navigator, QWidget* Parent);

    QLineEdit* edInjuryName;
    QLineEdit* edSentenceName;
    TIntegerComboBox* cmbCategory;
    TSpinEdit* seChance;
    TIntegerComboBox* cmbSeverity;
    TSpinEdit* seMinimumDaysOut;
    TSpinEdit* seExtraDaysOut;
    TSpinEdit* seInactiveRatio;
    QCheckBox* cbRecurring;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
};
