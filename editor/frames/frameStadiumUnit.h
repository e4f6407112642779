#pragma once

#include "PyxFrame.h"
#include "PyxStadium.h"

class QCheckBox;
class QLineEdit;
class TIntegerComboBox;
class TSpinEdit;
class TframeSelectionSearch;

// The stadia tab: a stadium's translatable name, its picture ID (its UniqueID, shown only), its city and the
// stadium near it with their link buttons, its capacities, pitch and state, and its four flags. Stadiums can be
// added.
class TframeStadium final : public TPyxFrame<TPyxStadium> {
    Q_OBJECT
public:
    TframeStadium(TPyxNavigator& Navigator, QWidget* Parent);

    bool CanAdd() const override { return true; }
    // A new stadium with its constructor's defaults and empty texts in every loaded language, listed and focused.
    void AddEntity() override;

    QLineEdit* edStadiumName;
    QLineEdit* edPictureID;
    TframeSelectionSearch* ssCity;
    TframeSelectionSearch* ssNearbyStadium;
    TSpinEdit* seCapacity;
    TSpinEdit* seSeatingCapacity;
    TSpinEdit* seExpansionCapacity;
    TSpinEdit* seUsedCapacity;
    TSpinEdit* sePitchLength;
    TSpinEdit* sePitchWidth;
    TSpinEdit* seDecay;
    TIntegerComboBox* cmbStadiumState;
    QCheckBox* cbExtinct;
    QCheckBox* cbCovered;
    QCheckBox* cbUndersoilHeating;
    QCheckBox* cbNotInUse;
    QCheckBox* cbSoonNotInUse;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void LoadEntity(TPyxObject& Entity) override;
    void ClearEntity() override;

private:
    // A check box on one bit of the flag byte, read and written through the stadium's flag accessors.
    QCheckBox* AddFlag(TFramePage* Page, const QString& Caption, const QString& ObjectName,
                       bool (TPyxStadium::*Get)() const, void (TPyxStadium::*Set)(bool));
};
