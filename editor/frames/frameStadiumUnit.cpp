#include "frameStadiumUnit.h"

#include "PyxDatabase.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

struct TSpinRow {
    const char* Caption;
    const char* Name;
    int32_t Min, Max;
    TSpinEdit* TframeStadium::*Control;
};

} // namespace

TframeStadium::TframeStadium(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameStadium", "Stadium", " Stadia Found"}, Parent) {
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edStadiumName = AddNameRow(General, "Stadium Name:", "edStadiumName", "btnStadiumName", "Edit Stadium Name",
                               &TPyxStadiumTexts::Name);
    edPictureID = PyxControls::ReadOnlyEdit(General, "edPictureID");
    General->AddRow("Picture ID:", edPictureID);
    ssCity = PyxControls::Selector(General, "ssCity", "Find Stadium City", "Stadium has no city", "<no city>");
    General->AddRow("City:", ssCity, MakeLinkButton("btnCityLink", [this] { return ssCity->Selected(); }));
    BindSelector(ssCity, &TPyxStadium::City);
    ssNearbyStadium = PyxControls::Selector(General, "ssNearbyStadium", "Find Nearby Stadium",
                                            "Stadium has no nearby stadium", "<no nearby stadium>");
    General->AddRow("Nearby Stadium:", ssNearbyStadium,
                    MakeLinkButton("btnNearbyStadiumLink", [this] { return ssNearbyStadium->Selected(); }));
    BindSelector(ssNearbyStadium, &TPyxStadium::NearbyStadium);

    TFramePage* Data = AddPage("tsData", "&Data", "Data:", "lblData");
    const TSpinRow Spins[] = {
        {"Capacity:", "seCapacity", -100000, 500000, &TframeStadium::seCapacity},
        {"Seating Capacity:", "seSeatingCapacity", -100000, 500000, &TframeStadium::seSeatingCapacity},
        {"Expansion Capacity:", "seExpansionCapacity", 0, 500000, &TframeStadium::seExpansionCapacity},
        {"Used Capacity:", "seUsedCapacity", -100000, 500000, &TframeStadium::seUsedCapacity},
        {"Pitch Length:", "sePitchLength", 0, 140, &TframeStadium::sePitchLength},
        {"Pitch Width:", "sePitchWidth", 0, 100, &TframeStadium::sePitchWidth},
        {"Decay:", "seDecay", 0, 100, &TframeStadium::seDecay},
    };
    for (const TSpinRow& Row : Spins) {
        TSpinEdit* Spin = PyxControls::SpinEdit(Data, Row.Name, Row.Min, Row.Max);
        this->*Row.Control = Spin;
        Data->AddRow(Row.Caption, Spin);
    }
    BindSpin(seCapacity, &TPyxStadium::Capacity);
    BindSpin(seSeatingCapacity, &TPyxStadium::SeatingCapacity);
    BindSpin(seExpansionCapacity, &TPyxStadium::ExpansionCapacity);
    BindSpin(seUsedCapacity, &TPyxStadium::UsedCapacity);
    BindSpin(sePitchLength, &TPyxStadium::PitchLength);
    BindSpin(sePitchWidth, &TPyxStadium::PitchWidth);
    BindSpin(seDecay, &TPyxStadium::Decay);
    cmbStadiumState = PyxControls::IntegerCombo(
        Data, "cmbStadiumState",
        {{"<unset>", 0}, {"Very Good", 1}, {"Good", 2}, {"Average", 3}, {"Poor", 4}, {"Very Poor", 5}}, false);
    Data->AddRow("Stadium State:", cmbStadiumState);
    BindCombo(cmbStadiumState, &TPyxStadium::State);
    cbExtinct = PyxControls::CheckBox(Data, "cbExtinct");
    Data->AddRow("Extinct:", cbExtinct);
    BindCheck(cbExtinct, &TPyxStadium::Extinct);
    cbCovered = AddFlag(Data, "Covered:", "cbCovered", &TPyxStadium::GetCovered, &TPyxStadium::SetCovered);
    cbUndersoilHeating = AddFlag(Data, "Undersoil Heating:", "cbUndersoilHeating", &TPyxStadium::GetUndersoilHeating,
                                 &TPyxStadium::SetUndersoilHeating);
    cbNotInUse = AddFlag(Data, "Not In Use:", "cbNotInUse", &TPyxStadium::GetNotInUse, &TPyxStadium::SetNotInUse);
    cbSoonNotInUse = AddFlag(Data, "Will Soon Be Not In Use:", "cbSoonNotInUse", &TPyxStadium::GetSoonNotInUse,
                             &TPyxStadium::SetSoonNotInUse);
}

QCheckBox* TframeStadium::AddFlag(TFramePage* Page, const QString& Caption, const QString& ObjectName,
                                  bool (TPyxStadium::*Get)() const, void (TPyxStadium::*Set)(bool)) {
    QCheckBox* Box = PyxControls::CheckBox(Page, ObjectName);
    Page->AddRow(Caption, Box);
    Bind<bool>([Box, Get](TPyxStadium& S) { Box->setChecked((S.*Get)()); }, [Box] { return Box->isChecked(); },
               [Set](TPyxStadium& S, const bool& On) { (S.*Set)(On); }, [Box] { Box->setChecked(false); });
    return Box;
}

void TframeStadium::AddEntity() {
    if (Database() != nullptr && AllLanguages())
        AddNew(Database()->AddStadium());
}

TPyxObjects& TframeStadium::Collection(TPyxDatabase& Database) const {
    return Database.Stadiums;
}

void TframeStadium::Attached(TPyxDatabase& Database) {
    ssCity->List = &Database.Cities;
    ssNearbyStadium->List = &Database.Stadiums;
}

void TframeStadium::LoadEntity(TPyxObject& Entity) {
    edPictureID->setText(QString::number(Entity.UniqueID));
}

void TframeStadium::ClearEntity() {
    edPictureID->clear();
}
