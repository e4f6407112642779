#pragma once

#include "PyxContinent.h"
#include "PyxFrame.h"

class QLineEdit;
class TSpinFloatEdit;

// The continents tab: a continent's five translatable names and its regional strength. Its name bytes, its
// continent byte and its extra texts are neither shown nor changed.
class TframeContinent final : public TPyxFrame<TPyxContinent> {
    Q_OBJECT
public:
    TframeContinent(TPyxNavigator& Navigator, QWidget* Parent);

    QLineEdit* edContinentName;
    QLineEdit* edShortContinentName;
    TSpinFloatEdit* seRegionalStrength;
    QLineEdit* edContinentalityName;
    QLineEdit* edFederationName;
    QLineEdit* edShortFederationName;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
};
