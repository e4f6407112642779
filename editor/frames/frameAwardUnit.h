#pragma once

#include "PyxAward.h"
#include "PyxFrame.h"

class QDateEdit;
class QLineEdit;
class TIntegerComboBox;
class TPointerComboBox;
class TPyxColorBox;
class TSpinEdit;
class TframeSelectionSearch;

// The awards tab: an award's two translatable names, its nation and continent, reputations and colours, and on
// the rules page what it is given for, who votes, who runs it, when it is given and in which competition. Some
// rules matter only for some awards: the date only for a "Specified Time" date rule, the maximum age only for the
// best player, the formation only for the best team; the other awards show them reset and disabled.
class TframeAward final : public TPyxFrame<TPyxAward> {
    Q_OBJECT
public:
    TframeAward(TPyxNavigator& Navigator, QWidget* Parent);

    QLineEdit* edAwardName;
    QLineEdit* edShortAwardName;
    TframeSelectionSearch* ssNation;
    TPointerComboBox* cmbContinent;
    TSpinEdit* seReputation;
    TSpinEdit* seWinnerHomeReputation;
    TSpinEdit* seWinnerWorldReputation;
    TPyxColorBox* colbMajorColour;
    TPyxColorBox* colbMinorColour;
    TPyxColorBox* colbTrimColour;
    TIntegerComboBox* cmbAwardType;
    TIntegerComboBox* cmbScope;
    TIntegerComboBox* cmbRunBy;
    TIntegerComboBox* cmbDateRule;
    QDateEdit* dtpAwardDate;
    TframeSelectionSearch* ssCompetition;
    TSpinEdit* seMaxAge;
    TIntegerComboBox* cmbFormation;

    // The date rule that gives the award on a date of its own, and the award types that have a maximum age and
    // a formation.
    static constexpr int32_t SpecifiedTime = 6;
    static constexpr int32_t BestPlayer = 6;
    static constexpr int32_t BestTeam = 1;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void PrepareLoad(TPyxObject& Entity) override;
    void LoadEntity(TPyxObject& Entity) override;
    void SaveEntity(TPyxObject& Entity) override;

private:
    // The user picked another award type or date rule.
    void cmbAwardTypeChange();
    // Enables the date, the maximum age and the formation by the award type and date rule chosen, and resets
    // those that do not apply (1 January 1900, 0, "<Not Specified>").
    void UpdateDependentControls();
    // When the user changed the award type or the date rule, the controls they reset reach the award on Confirm,
    // as shown.
    void BindDependentControls();
};
