#pragma once

#include "PyxFrame.h"
#include "PyxLanguage.h"

class QLineEdit;
class TIntegerComboBox;
class TSpinEdit;

// The languages tab: a language's name (not translated), its influence and difficulty, and where it stands among
// the world's languages (family, group and sub-group). Its language byte and its offset in lang_db.dat are neither
// shown nor changed.
class TframeLanguage final : public TPyxFrame<TPyxLanguage> {
    Q_OBJECT
public:
    TframeLanguage(TPyxNavigator& Navigator, QWidget* Parent);

    QLineEdit* edLanguageName;
    TSpinEdit* seInfluence;
    TSpinEdit* seDifficulty;
    TIntegerComboBox* cmbFamily;
    TIntegerComboBox* cmbGroup;
    TIntegerComboBox* cmbSubGroup;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
};
