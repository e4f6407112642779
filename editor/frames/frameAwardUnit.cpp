#include "frameAwardUnit.h"

#include "PyxDatabase.h"

#include <QDateEdit>

namespace {

// What a disabled award date shows.
const QDate NoDate(1900, 1, 1);

} // namespace

TframeAward::TframeAward(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameAward", "Award", " Awards Found"}, Parent) {
    using PyxControls::IntegerCombo;
    using PyxControls::SpinEdit;
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edAwardName =
        AddNameRow(General, "Award Name:", "edAwardName", "btnAwardName", "Edit Award Name", &TPyxAwardTexts::Name);
    edShortAwardName = AddNameRow(General, "Short Award Name:", "edShortAwardName", "btnShortAwardName",
                                  "Edit Short Award Name", &TPyxAwardTexts::ShortName);
    ssNation = PyxControls::Selector(General, "ssNation", "Find Award Nation", "Award has no nation", "<no nation>");
    General->AddRow("Nation:", ssNation, MakeLinkButton("btnNationLink", [this] { return ssNation->Selected(); }));
    BindSelector(ssNation, &TPyxAward::Nation);
    cmbContinent = PyxControls::PointerCombo(General, "cmbContinent");
    General->AddRow("Continent:", cmbContinent, MakeLinkButton("btnContinentLink", [this] {
                        return cmbContinent->GetSelectedAs<TPyxContinent>();
                    }));
    BindCombo(cmbContinent, &TPyxAward::Continent);
    seReputation = SpinEdit(General, "seReputation", 0, 20);
    General->AddRow("Reputation:", seReputation);
    BindSpin(seReputation, &TPyxAward::Reputation);
    seWinnerHomeReputation = SpinEdit(General, "seWinnerHomeReputation", 0, 20);
    General->AddRow("Winner Home Reputation:", seWinnerHomeReputation);
    BindSpin(seWinnerHomeReputation, &TPyxAward::WinnerHomeReputation);
    seWinnerWorldReputation = SpinEdit(General, "seWinnerWorldReputation", 0, 20);
    General->AddRow("Winner World Reputation:", seWinnerWorldReputation);
    BindSpin(seWinnerWorldReputation, &TPyxAward::WinnerWorldReputation);
    General->AddHeading("Colours:", "lblColours");
    colbMajorColour = new TPyxColorBox(General);
    colbMajorColour->setObjectName("colbMajorColour");
    General->AddRow("Main Colour:", colbMajorColour);
    BindColor(
        colbMajorColour, [](TPyxAward& A) { return A.Colours.Major(); },
        [](TPyxAward& A, uint32_t C) { A.Colours.SetMajor(C); });
    colbMinorColour = new TPyxColorBox(General);
    colbMinorColour->setObjectName("colbMinorColour");
    General->AddRow("Minor Colour", colbMinorColour);
    BindColor(
        colbMinorColour, [](TPyxAward& A) { return A.Colours.Minor(); },
        [](TPyxAward& A, uint32_t C) { A.Colours.SetMinor(C); });
    colbTrimColour = new TPyxColorBox(General);
    colbTrimColour->setObjectName("colbTrimColour");
    General->AddRow("Trim Colour:", colbTrimColour);
    BindColor(
        colbTrimColour, [](TPyxAward& A) { return A.Colours.Trim(); },
        [](TPyxAward& A, uint32_t C) { A.Colours.SetTrim(C); });

    TFramePage* Rules = AddPage("tsRules", "&Rules", "Rules:", "lblRules");
    cmbAwardType = IntegerCombo(Rules, "cmbAwardType",
                                {{"<unspecified>", 0},
                                 {"Best Team", 1},
                                 {"Fair Play Award", 2},
                                 {"Best Manager", 3},
                                 {"Top Goalscorer", 4},
                                 {"Most Man Of The Match", 5},
                                 {"Best Player", 6},
                                 {"Best Goalkeeper", 7},
                                 {"Best Sweeper", 8},
                                 {"Best Fullback", 9},
                                 {"Best Defender", 10},
                                 {"Best Midfielder", 11},
                                 {"Best Striker", 12},
                                 {"Best Foreigner", 13},
                                 {"Personality Award", 14}},
                                true);
    Rules->AddRow("Award Type:", cmbAwardType);
    BindCombo(cmbAwardType, &TPyxAward::AwardType);
    cmbScope = IntegerCombo(Rules, "cmbScope",
                            {{"<unspecified>", 0},
                             {"No Voting", 1},
                             {"Club Managers in Competition", 2},
                             {"Club Managers in Nation", 3},
                             {"Club Managers in Continent", 4},
                             {"Nation Managers in Continent", 5},
                             {"Club Managers in World", 6},
                             {"Nation Managers in World", 7},
                             {"Any Manager can Vote", 8}},
                            true);
    Rules->AddRow("Scope:", cmbScope);
    BindCombo(cmbScope, &TPyxAward::Scope);
    cmbRunBy =
        IntegerCombo(Rules, "cmbRunBy",
                     {{"<not set>", 0}, {"The Football Association", 1}, {"The Media", 2}, {"The Players", 3}}, true);
    Rules->AddRow("Run By:", cmbRunBy);
    BindCombo(cmbRunBy, &TPyxAward::RunBy);
    cmbDateRule = IntegerCombo(Rules, "cmbDateRule",
                               {{"<unspecified>", 0},
                                {"End of Week", 1},
                                {"End of Month", 2},
                                {"End of Season", 3},
                                {"End of Competition", 4},
                                {"End of Calendar Year", 5},
                                {"Specified Time", 6}},
                               true);
    Rules->AddRow("Date Rule:", cmbDateRule);
    BindCombo(cmbDateRule, &TPyxAward::DateRule);
    dtpAwardDate = PyxControls::DatePicker(Rules, "dtpAwardDate", "dd/MM/yyyy");
    Rules->AddRow("Award Date:", dtpAwardDate);
    ssCompetition = PyxControls::Selector(Rules, "ssCompetition", "Find Award Competition", "Award has no competition",
                                          "<no competition>");
    Rules->AddRow("Competition:", ssCompetition,
                  MakeLinkButton("btnCompetitionLink", [this] { return ssCompetition->Selected(); }));
    BindSelector(ssCompetition, &TPyxAward::Competition);
    seMaxAge = SpinEdit(Rules, "seMaxAge", 0, 30);
    Rules->AddRow("Max Age (Young Player):", seMaxAge);
    cmbFormation = PyxControls::FormationCombo(Rules, "cmbFormation");
    Rules->AddRow("Formation (Team):", cmbFormation);
    BindDependentControls();

    connect(cmbAwardType, &TIntegerComboBox::Changed, this, &TframeAward::cmbAwardTypeChange);
    connect(cmbDateRule, &TIntegerComboBox::Changed, this, &TframeAward::cmbAwardTypeChange);
}

void TframeAward::BindDependentControls() {
    // Each shows what UpdateDependentControls leaves in it, so that an award the user does not touch is written
    // back as it was: a date, age or formation its rules do not use is kept in the award while the control shows
    // it reset.
    Bind<QDate>(
        [this](TPyxAward& A) {
            dtpAwardDate->setDate(A.DateRule == SpecifiedTime ? PyxControls::ToQDate(A.AwardDate) : NoDate);
        },
        [this] { return dtpAwardDate->date(); },
        [](TPyxAward& A, const QDate& Date) { A.AwardDate = PyxControls::FromQDate(Date); },
        [this] { dtpAwardDate->setDate(NoDate); });
    Bind<int32_t>([this](TPyxAward& A) { seMaxAge->SetValue(A.AwardType == BestPlayer ? A.MaxAge : 0); },
                  [this] { return seMaxAge->Value(); },
                  [](TPyxAward& A, const int32_t& Age) { A.MaxAge = static_cast<uint8_t>(Age); },
                  [this] { seMaxAge->SetValue(0); }, seMaxAge);
    Bind<int32_t>([this](TPyxAward& A) { cmbFormation->SetSelected(A.AwardType == BestTeam ? A.Formation : 0); },
                  [this] { return cmbFormation->GetSelected(); },
                  [](TPyxAward& A, const int32_t& Formation) { A.Formation = static_cast<uint8_t>(Formation); },
                  [this] { cmbFormation->SetSelected(-1); }, cmbFormation);
}

void TframeAward::cmbAwardTypeChange() {
    UpdateDependentControls();
}

void TframeAward::UpdateDependentControls() {
    const bool Dated = cmbDateRule->GetSelected() == SpecifiedTime;
    dtpAwardDate->setEnabled(Dated);
    if (!Dated)
        dtpAwardDate->setDate(NoDate);
    const bool Aged = cmbAwardType->GetSelected() == BestPlayer;
    seMaxAge->setEnabled(Aged);
    if (!Aged)
        seMaxAge->SetValue(0);
    const bool Formed = cmbAwardType->GetSelected() == BestTeam;
    cmbFormation->setEnabled(Formed);
    if (!Formed)
        cmbFormation->SetSelected(0);
}

TPyxObjects& TframeAward::Collection(TPyxDatabase& Database) const {
    return Database.Awards;
}

void TframeAward::Attached(TPyxDatabase& Database) {
    ssNation->List = &Database.Nations;
    ssCompetition->List = &Database.Competitions;
}

void TframeAward::PrepareLoad(TPyxObject&) {
    PyxControls::FillPointerCombo(cmbContinent, "<no continent>", Database()->Continents);
}

void TframeAward::LoadEntity(TPyxObject&) {
    UpdateDependentControls();
}

void TframeAward::SaveEntity(TPyxObject& Entity) {
    auto& Award = static_cast<TPyxAward&>(Entity);
    // A new type or rule takes the dependent controls as they now show, resets included.
    if (Bindings().Changed(cmbAwardType)) {
        Award.MaxAge = static_cast<uint8_t>(seMaxAge->Value());
        Award.Formation = static_cast<uint8_t>(cmbFormation->GetSelected());
    }
    if (Bindings().Changed(cmbDateRule))
        Award.AwardDate = PyxControls::FromQDate(dtpAwardDate->date());
}
