#pragma once

#include "PyxCity.h"
#include "PyxFrame.h"

class QLineEdit;
class TPointerComboBox;
class TSpinEdit;
class TSpinFloatEdit;
class TframeSelectionSearch;

// The cities tab: a city's two translatable names (the city's and its citizens'), its nation and weather with their
// link buttons, where it lies (latitude, longitude, altitude) and how attractive it is. Cities can be added.
class TframeCity final : public TPyxFrame<TPyxCity> {
    Q_OBJECT
public:
    TframeCity(TPyxNavigator& Navigator, QWidget* Parent);

    bool CanAdd() const override { return true; }
    // A new city with its constructor's defaults and empty texts in every loaded language, listed and focused.
    void AddEntity() override;

    QLineEdit* edCityName;
    QLineEdit* edCitizen;
    TframeSelectionSearch* ssNation;
    TPointerComboBox* cmbWeather;
    TSpinFloatEdit* seLatitude;
    TSpinFloatEdit* seLongitude;
    TSpinEdit* seAltitude;
    TSpinEdit* seAttraction;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void PrepareLoad(TPyxObject& Entity) override;
};
