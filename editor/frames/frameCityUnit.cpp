#include "frameCityUnit.h"

#include "PyxDatabase.h"

TframeCity::TframeCity(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameCity", "City", " Cities Found"}, Parent) {
    using PyxControls::FloatEdit;
    using PyxControls::SpinEdit;
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edCityName = AddNameRow(General, "City Name:", "edCityName", "btnCityName", "Edit City Name", &TPyxCityTexts::Name);
    edCitizen =
        AddNameRow(General, "Citizen:", "edCitizen", "btnCitizen", "Edit Citizen Name", &TPyxCityTexts::CitizenName);
    ssNation = PyxControls::Selector(General, "ssNation", "Find City Nation", "City has no nation", "<no nation>");
    General->AddRow("Nation:", ssNation, MakeLinkButton("btnNationLink", [this] { return ssNation->Selected(); }));
    BindSelector(ssNation, &TPyxCity::Nation);
    cmbWeather = PyxControls::PointerCombo(General, "cmbWeather");
    General->AddRow("Weather:", cmbWeather,
                    MakeLinkButton("btnWeatherLink", [this] { return cmbWeather->GetSelectedAs<TPyxWeather>(); }));
    BindCombo(cmbWeather, &TPyxCity::Weather);
    seLatitude = FloatEdit(General, "seLatitude", 3, -200.0, 200.0, 1.0);
    General->AddRow("Latitude:", seLatitude);
    BindFloat(seLatitude, &TPyxCity::Latitude);
    seLongitude = FloatEdit(General, "seLongitude", 3, -200.0, 200.0, 1.0);
    General->AddRow("Longitude:", seLongitude);
    BindFloat(seLongitude, &TPyxCity::Longitude);
    seAltitude = SpinEdit(General, "seAltitude", 0, 10000);
    General->AddRow("Altitude:", seAltitude);
    BindSpin(seAltitude, &TPyxCity::Altitude);
    seAttraction = SpinEdit(General, "seAttraction", 0, 20);
    General->AddRow("Attraction:", seAttraction);
    BindSpin(seAttraction, &TPyxCity::Attraction);
}

void TframeCity::AddEntity() {
    if (Database() != nullptr && AllLanguages())
        AddNew(Database()->AddCity());
}

TPyxObjects& TframeCity::Collection(TPyxDatabase& Database) const {
    return Database.Cities;
}

void TframeCity::Attached(TPyxDatabase& Database) {
    ssNation->List = &Database.Nations;
}

void TframeCity::PrepareLoad(TPyxObject&) {
    PyxControls::FillPointerCombo(cmbWeather, "<not specified>", Database()->Weathers);
}
