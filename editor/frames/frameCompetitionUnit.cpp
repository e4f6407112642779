#include "frameCompetitionUnit.h"

#include "PointerListBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxNavigator.h"
#include "frameCompetitionHistoryUnit.h"

#include <QLabel>
#include <QVBoxLayout>

TframeCompetition::TframeCompetition(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameCompetition", "Competition", " Competitions Found"}, Parent) {
    BuildGeneralPage();
    BuildTeamsPage();
    auto* History = new QWidget(Pages());
    History->setObjectName("tsHistory");
    frameCompetitionHistory = new TframeCompetitionHistory(Navigator, History);
    auto* Layout = new QVBoxLayout(History);
    Layout->addWidget(frameCompetitionHistory);
    Pages()->addTab(History, "&History");
}

void TframeCompetition::BuildGeneralPage() {
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edCompetitionName = AddNameRow(General, "Competition Name:", "edCompetitionName", "btnCompetitionName",
                                   "Edit Competition Name", &TPyxCompetitionTexts::Name);
    edShortCompetitionName =
        AddNameRow(General, "Short Competition Name:", "edShortCompetitionName", "btnShortCompetitionName",
                   "Edit Short Competition Name", &TPyxCompetitionTexts::ShortName);
    edThreeLetterName = AddNameRow(General, "Three Letter Name:", "edThreeLetterName", "btnThreeLetterName",
                                   "Edit Three Letter Name", &TPyxCompetitionTexts::ThreeLetterName);
    cmbContinent = PyxControls::PointerCombo(General, "cmbContinent");
    General->AddRow("Continent:", cmbContinent, MakeLinkButton("btnContinentLink", [this] {
                        return cmbContinent->GetSelectedAs<TPyxContinent>();
                    }));
    BindCombo(cmbContinent, &TPyxCompetition::Continent);
    ssNation = PyxControls::Selector(General, "ssNation", "Find Competition Nation", "Competition has no nation",
                                     "<no nation>");
    General->AddRow("Nation:", ssNation, MakeLinkButton("btnNationLink", [this] { return ssNation->Selected(); }));
    BindSelector(ssNation, &TPyxCompetition::Nation);
    seReputation = PyxControls::SpinEdit(General, "seReputation", 0, 20);
    General->AddRow("Reputation:", seReputation);
    BindSpin(seReputation, &TPyxCompetition::Reputation);
    edPictureID = PyxControls::ReadOnlyEdit(General, "edPictureID");
    General->AddRow("Picture ID:", edPictureID);
    seCompetitionLevel = PyxControls::SpinEdit(General, "seCompetitionLevel", 0, 100);
    General->AddRow("Competition Level:", seCompetitionLevel);
    BindSpin(seCompetitionLevel, &TPyxCompetition::Level);
    cbUsesSquadNumbers = PyxControls::CheckBox(General, "cbUsesSquadNumbers");
    General->AddRow("Uses Squad Numbers:", cbUsesSquadNumbers);
    BindCheck(cbUsesSquadNumbers, &TPyxCompetition::UsesSquadNumbers);
    General->AddHeading("Colours:", "lblColours");
    colbMajorColour = AddColourRow(General, "Main Colour:", "colbMajorColour", &TPyxColor::Major, &TPyxColor::SetMajor);
    colbMinorColour = AddColourRow(General, "Minor Colour", "colbMinorColour", &TPyxColor::Minor, &TPyxColor::SetMinor);
    colbTrimColour = AddColourRow(General, "Trim Colour:", "colbTrimColour", &TPyxColor::Trim, &TPyxColor::SetTrim);
}

TPyxColorBox* TframeCompetition::AddColourRow(TFramePage* Page, const QString& Caption, const QString& Name,
                                              uint32_t (TPyxColor::*Get)() const, void (TPyxColor::*Set)(uint32_t)) {
    auto* Box = new TPyxColorBox(Page);
    Box->setObjectName(Name);
    Page->AddRow(Caption, Box);
    BindColor(
        Box, [Get](TPyxCompetition& C) { return (C.Colours.*Get)(); },
        [Set](TPyxCompetition& C, uint32_t Colour) { (C.Colours.*Set)(Colour); });
    return Box;
}

void TframeCompetition::BuildTeamsPage() {
    auto* Teams = new QWidget(Pages());
    Teams->setObjectName("tsTeams");
    auto* Caption = new QLabel("Teams:", Teams);
    Caption->setObjectName("lblTeams");
    lboxTeams = new TPointerListBox(Teams);
    lboxTeams->setObjectName("lboxTeams");
    lboxTeams->SetSorted(true);
    Caption->setBuddy(lboxTeams);
    lblTeamCount = new QLabel(Teams);
    lblTeamCount->setObjectName("lblTeamCount");
    lblTeamCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* Layout = new QVBoxLayout(Teams);
    Layout->addWidget(Caption);
    Layout->addWidget(lboxTeams, 1);
    Layout->addWidget(lblTeamCount);
    Pages()->addTab(Teams, "&Teams");
    connect(lboxTeams, &QListWidget::itemDoubleClicked, this, &TframeCompetition::lboxTeamsDblClick);
}

TPyxObjects& TframeCompetition::Collection(TPyxDatabase& Database) const {
    return Database.Competitions;
}

void TframeCompetition::Attached(TPyxDatabase& Database) {
    ssNation->List = &Database.Nations;
    frameCompetitionHistory->SetDatabase(&Database);
}

void TframeCompetition::PrepareLoad(TPyxObject&) {
    PyxControls::FillPointerCombo(cmbContinent, "<no continent>", Database()->Continents);
}

void TframeCompetition::LoadEntity(TPyxObject& Entity) {
    auto& Competition = static_cast<TPyxCompetition&>(Entity);
    edPictureID->setText(QString::number(Competition.UniqueID));
    FillTeamList(Competition);
    frameCompetitionHistory->LoadCompetition(&Competition);
}

void TframeCompetition::SaveEntity(TPyxObject&) {
    frameCompetitionHistory->SaveHistory();
}

void TframeCompetition::PurgeEntity(const TGoneEntities& Gone) {
    frameCompetitionHistory->Purge(Gone);
    // The teams page only shows the teams playing in the competition as they are.
    FillTeamList(*Current());
}

void TframeCompetition::ClearEntity() {
    edPictureID->clear();
    cmbContinent->Clear();
    lboxTeams->Clear();
    lblTeamCount->clear();
    frameCompetitionHistory->LoadCompetition(nullptr);
    if (Database() == nullptr)
        frameCompetitionHistory->SetDatabase(nullptr);
}

void TframeCompetition::FillTeamList(const TPyxCompetition& Competition) {
    lboxTeams->setUpdatesEnabled(false);
    lboxTeams->Clear();
    Database()->Teams.ForEach([&](TPyxTeam* Team) {
        if (Team->Division == &Competition || Team->OtherDivision == &Competition)
            lboxTeams->Add(TPyxListModel::DisplayName(*Team), Team);
    });
    lboxTeams->setUpdatesEnabled(true);
    lblTeamCount->setText(QString::number(lboxTeams->count()) + " teams");
}

void TframeCompetition::lboxTeamsDblClick() {
    if (auto* Team = lboxTeams->GetSelected<TPyxTeam>())
        Navigator().ShowTeamOwner(Team);
}
