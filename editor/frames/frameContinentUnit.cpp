#include "frameContinentUnit.h"

#include "PyxDatabase.h"

TframeContinent::TframeContinent(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameContinent", "Continent", " Continents Found"}, Parent) {
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edContinentName = AddNameRow(General, "Continent Name:", "edContinentName", "btnContinentName",
                                 "Edit Continent Name", &TPyxContinentTexts::Name);
    edShortContinentName = AddNameRow(General, "Short Continent Name:", "edShortContinentName", "btnShortContinentName",
                                      "Edit Short Continent Name", &TPyxContinentTexts::ShortName);
    seRegionalStrength = PyxControls::FloatEdit(General, "seRegionalStrength", 2, 0.0, 1.0, 0.1);
    General->AddRow("Regional Strength", seRegionalStrength);
    BindFloat(seRegionalStrength, &TPyxContinent::RegionalStrength);
    edContinentalityName = AddNameRow(General, "Continentality Name:", "edContinentalityName", "btnContinentalityName",
                                      "Edit Continentality Name", &TPyxContinentTexts::ContinentalityName);
    edFederationName = AddNameRow(General, "Federation Name:", "edFederationName", "btnFederationName",
                                  "Edit Federation Name", &TPyxContinentTexts::FederationName);
    edShortFederationName =
        AddNameRow(General, "Short Federation Name:", "edShortFederationName", "btnShortFederationName",
                   "Edit Short Federation Name", &TPyxContinentTexts::ShortFederationName);
}

TPyxObjects& TframeContinent::Collection(TPyxDatabase& Database) const {
    return Database.Continents;
}
