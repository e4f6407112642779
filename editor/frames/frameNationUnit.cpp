#include "frameNationUnit.h"

#include "RelationshipCopies.h"

#include "PointerListBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxMessages.h"
#include "PyxNavigator.h"
#include "PyxSearch.h"
#include "SearchForm.h"
#include "frameKitColorUnit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString TooManyRelationshipsMessage =
    "This nation already has 255 relationships, the most its record can hold.\r\nDelete a rival before adding "
    "another.";

// The reputation steps of the nation's reputation edit.
constexpr int32_t ReputationStep = 500;

} // namespace

TframeNation::TframeNation(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameNation", "Nation", " Nations Found"}, Parent) {
    BuildGeneralPage();
    BuildStatsPage();
    BuildRankingsPage();
    BuildColoursPage();
    BuildRivalsPage();
    BuildStaffPage();
}

QLineEdit* TframeNation::AddNationNameRow(TFramePage* Page, const QString& Caption, const QString& EditName,
                                          const QString& ButtonName, const QString& Title,
                                          std::u16string TPyxNation::*Own,
                                          std::u16string TPyxNationTexts::*Translated) {
    QLineEdit* Edit = PyxControls::ReadOnlyEdit(Page, EditName);
    QToolButton* Button = PyxGlyphs::MakeButton(Page, ButtonName, PyxGlyphs::EditButton());
    Page->AddRow(Caption, Edit, Button);
    // The nation holds its own texts as fields of its own; its language objects hold them as a texts record.
    auto TextOf = [Own, Translated](TPyxObject& Entity, int Lang) -> std::u16string* {
        auto& Nation = static_cast<TPyxNation&>(Entity);
        if (Lang < 0)
            return &(Nation.*Own);
        TPyxNationLang* Texts = Nation.Lang(Lang);
        return Texts != nullptr ? &(static_cast<TPyxNationTexts&>(*Texts).*Translated) : nullptr;
    };
    AddNameBinding(
        std::make_unique<TNameBinding>(Edit, Button, Title, std::move(TextOf), [this] { return AllLanguages(); }));
    return Edit;
}

void TframeNation::BuildGeneralPage() {
    using PyxControls::IntegerCombo;
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edNationName = AddNationNameRow(General, "Nation Name:", "edNationName", "btnNationName", "Edit Nation Name",
                                    &TPyxNation::Name, &TPyxNationTexts::Name);
    edShortNationName = AddNationNameRow(General, "Short Nation Name:", "edShortNationName", "btnShortNationName",
                                         "Edit Short Nation Name", &TPyxNation::ShortName, &TPyxNationTexts::ShortName);
    edThreeLetterName =
        AddNationNameRow(General, "Three Letter Name:", "edThreeLetterName", "btnThreeLetterName",
                         "Edit Three Letter Name", &TPyxNation::ThreeLetterName, &TPyxNationTexts::ThreeLetterName);
    edNationalityName =
        AddNationNameRow(General, "Nationality Name:", "edNationalityName", "btnNationalityName",
                         "Edit Nationality Name", &TPyxNation::NationalityName, &TPyxNationTexts::NationalityName);
    cmbContinent = PyxControls::PointerCombo(General, "cmbContinent");
    General->AddRow("Continent:", cmbContinent, MakeLinkButton("btnContinentLink", [this] {
                        return cmbContinent->GetSelectedAs<TPyxContinent>();
                    }));
    BindCombo(cmbContinent, &TPyxNation::Continent);
    cmbRegion = PyxControls::PointerCombo(General, "cmbRegion");
    General->AddRow("Region:", cmbRegion);
    BindCombo(cmbRegion, &TPyxNation::Region);
    cmbStyleOfFootball =
        IntegerCombo(General, "cmbStyleOfFootball",
                     {{"<unset>", 0},        {"Africa", 1},           {"Asia", 2},           {"Balkan", 3},
                      {"Brazil", 4},         {"Britain", 5},          {"Caribbean", 6},      {"Central America", 7},
                      {"Eastern Europe", 8}, {"France", 9},           {"Germany", 10},       {"Holland", 11},
                      {"Italy", 12},         {"Japan", 13},           {"Middle East", 14},   {"North Africa", 15},
                      {"North America", 16}, {"Northern Europe", 17}, {"Oceania", 18},       {"Russia", 19},
                      {"Scandinavia", 20},   {"South Africa", 21},    {"South America", 22}, {"Southern Europe", 23},
                      {"Spain", 24}},
                     true);
    General->AddRow("Style Of Football:", cmbStyleOfFootball);
    BindCombo(cmbStyleOfFootball, &TPyxNation::StyleOfFootball);
    cmbGroupMembership = IntegerCombo(General, "cmbGroupMembership", {{"<unset>", 0}, {"Non EU", 1}, {"EU", 2}}, false);
    General->AddRow("Group Membership:", cmbGroupMembership);
    BindCombo(cmbGroupMembership, &TPyxNation::GroupMembership);
    cmbStateOfDevelopment =
        IntegerCombo(General, "cmbStateOfDevelopment",
                     {{"<unset>", 0}, {"Developed", 1}, {"Developing", 2}, {"Third World", 3}}, false);
    General->AddRow("State Of Development:", cmbStateOfDevelopment);
    BindCombo(cmbStateOfDevelopment, &TPyxNation::StateOfDevelopment);
    edPictureID = PyxControls::ReadOnlyEdit(General, "edPictureID");
    General->AddRow("Picture ID:", edPictureID);
    ssCapitalCity = PyxControls::Selector(General, "ssCapitalCity", "Find Capital City", "Nation has no capital city",
                                          "<no capital>");
    General->AddRow("Capital City:", ssCapitalCity,
                    MakeLinkButton("btnCapitalCityLink", [this] { return ssCapitalCity->Selected(); }));
    BindSelector(ssCapitalCity, &TPyxNation::CapitalCity);
    ssNationalStadium = PyxControls::Selector(General, "ssNationalStadium", "Find National Stadium",
                                              "Nation has no national stadium", "<no stadium>");
    General->AddRow("National Stadium:", ssNationalStadium,
                    MakeLinkButton("btnNationalStadiumLink", [this] { return ssNationalStadium->Selected(); }));
    // The national team plays at the national stadium: a new one is its stadium too.
    BindSelector(
        ssNationalStadium, [this](TPyxNation& N) { ssNationalStadium->SetSelected(N.NationalStadium); },
        [](TPyxNation& N, TPyxObject* const& Stadium) {
            N.NationalStadium = static_cast<TPyxStadium*>(Stadium);
            if (TPyxTeam* Team = FirstTeam(N))
                Team->Stadium = N.NationalStadium;
        });
}

void TframeNation::BuildStatsPage() {
    TFramePage* Stats = AddPage("tsStats", "&Stats", "Stats:", "lblStats");
    seLeagueStandard = PyxControls::SpinEdit(Stats, "seLeagueStandard", 0, 20);
    Stats->AddRow("League Standard:", seLeagueStandard);
    BindSpin(seLeagueStandard, &TPyxNation::LeagueStandard);
    seReputation = PyxControls::SpinEdit(Stats, "seReputation", 0, 10000);
    seReputation->SetIncrement(ReputationStep);
    Stats->AddRow("Reputation:", seReputation);
    // The national team's reputation is the nation's: a new one is written into both.
    Bind<int32_t>([this](TPyxNation& N) { seReputation->SetValue(N.Reputation); },
                  [this] { return seReputation->Value(); },
                  [](TPyxNation& N, const int32_t& Value) {
                      N.Reputation = static_cast<int16_t>(Value);
                      if (TPyxTeam* Team = FirstTeam(N))
                          Team->Reputation = N.Reputation;
                  },
                  [this] { seReputation->SetValue(0); }, seReputation);
    seGameImportance = PyxControls::SpinEdit(Stats, "seGameImportance", 0, 4);
    Stats->AddRow("Game Importance:", seGameImportance);
    BindSpin(seGameImportance, &TPyxNation::GameImportance);
    Stats->AddHeading("Languages:", "lblLanguages");
    ssFirstLanguage = AddLanguageRow(Stats, "First Language:", "ssFirstLanguage", "First", "btnFirstLanguageLink");
    ssSecondLanguage = AddLanguageRow(Stats, "Second Language:", "ssSecondLanguage", "Second", "btnSecondLanguageLink");
    ssThirdLanguage = AddLanguageRow(Stats, "Third Language:", "ssThirdLanguage", "Third", "btnThirdLanguageLink");
    connect(seReputation, &TSpinEdit::Exited, this, &TframeNation::seReputationExit);
}

TframeSelectionSearch* TframeNation::AddLanguageRow(TFramePage* Page, const QString& Caption, const QString& Name,
                                                    const QString& Ordinal, const QString& LinkName) {
    const QString Lower = Ordinal.toLower();
    TframeSelectionSearch* Selector =
        PyxControls::Selector(Page, Name, "Find " + Ordinal + " Language", "Nation has no " + Lower + " language",
                              "<no " + Lower + " language>");
    Page->AddRow(Caption, Selector, MakeLinkButton(LinkName, [Selector] { return Selector->Selected(); }));
    // The three languages are written together (LoadLanguages, SaveLanguages).
    Bindings().Watch(Selector);
    return Selector;
}

void TframeNation::BuildRankingsPage() {
    TFramePage* Rankings = AddPage("tsRankings", "&Rankings", "UEFA Coefficients:", "lblUEFACoefficients");
    const char* const Seasons[CoefficientCount] = {"97/98", "98/99", "99/00", "00/01", "01/02", "02/03"};
    for (int I = 0; I < CoefficientCount; ++I) {
        const int Year = FirstCoefficientYear + I;
        TSpinFloatEdit* Edit = PyxControls::FloatEdit(Rankings, "seUEFA" + QString::number(Year), 3, 0.0, 100.0, 0.1);
        seUEFA[static_cast<std::size_t>(I)] = Edit;
        Rankings->AddRow(QString("Coefficient ") + Seasons[I] + ":", Edit);
        // Stored single precision, and only when the user changed it: a coefficient shown is never rounded to the
        // three decimals the edit shows.
        Bind<double>(
            [Edit, Year](TPyxNation& N) { Edit->SetValue(static_cast<double>(N.GetUEFACoefficient(Year))); },
            [Edit] { return Edit->Value(); },
            [Year](TPyxNation& N, const double& Value) { N.SetUEFACoefficient(Year, static_cast<float>(Value)); },
            [Edit] { Edit->SetValue(0.0); }, Edit);
    }
    Rankings->AddHeading("FIFA:", "lblFIFA");
    seFIFARankingPoints = PyxControls::SpinEdit(Rankings, "seFIFARankingPoints", 0, 1000);
    seFIFARankingPoints->SetIncrement(ReputationStep);
    Rankings->AddRow("FIFA Ranking Points:", seFIFARankingPoints);
    BindSpin(seFIFARankingPoints, &TPyxNation::FIFARankingPoints);
    cbFIFAFullMember = PyxControls::CheckBox(Rankings, "cbFIFAFullMember");
    Rankings->AddRow("FIFA Full Member:", cbFIFAFullMember);
    BindCheck(cbFIFAFullMember, &TPyxNation::FIFAFullMember);
    connect(seFIFARankingPoints, &TSpinEdit::Exited, this, &TframeNation::seReputationExit);
}

void TframeNation::BuildColoursPage() {
    auto* Colours = new QWidget(Pages());
    Colours->setObjectName("tsColours");
    frameKitColor = new TframeKitColor(Colours);
    auto* Layout = new QVBoxLayout(Colours);
    Layout->addWidget(frameKitColor);
    Pages()->addTab(Colours, "&Colours");
}

void TframeNation::BuildRivalsPage() {
    auto* Rivals = new QWidget(Pages());
    Rivals->setObjectName("tsRivals");
    auto* Caption = new QLabel("Rivals:", Rivals);
    Caption->setObjectName("lblRivals");
    lboxRivals = new TPointerListBox(Rivals);
    lboxRivals->setObjectName("lboxRivals");
    Caption->setBuddy(lboxRivals);
    Rivals_ = RelationshipCopies::Binding({lboxRivals});
    btnAddRival = new QPushButton("Add", Rivals);
    btnAddRival->setObjectName("btnAddRival");
    btnDeleteRival = new QPushButton("Delete", Rivals);
    btnDeleteRival->setObjectName("btnDeleteRival");
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(btnAddRival);
    Buttons->addWidget(btnDeleteRival);
    auto* Layout = new QVBoxLayout(Rivals);
    Layout->addWidget(Caption);
    Layout->addWidget(lboxRivals, 1);
    Layout->addLayout(Buttons);
    Pages()->addTab(Rivals, "&Rivals");
    connect(btnAddRival, &QPushButton::clicked, this, &TframeNation::btnAddRivalClick);
    connect(btnDeleteRival, &QPushButton::clicked, this, &TframeNation::btnDeleteRivalClick);
    connect(lboxRivals, &QListWidget::itemDoubleClicked, this, &TframeNation::lboxRivalsDblClick);
}

void TframeNation::BuildStaffPage() {
    TFramePage* Staff = AddPage("tsStaff", "S&taff");
    edManager = PyxControls::ReadOnlyEdit(Staff, "edManager");
    Staff->AddRow("Manager:", edManager);
    edManager->installEventFilter(this);
    lboxCoaches = new TPointerListBox(Staff);
    lboxCoaches->setObjectName("lboxCoaches");
    lboxCoaches->SetSorted(true);
    // The captions of the lists stand at their top lines.
    Staff->AddRow("Coaches:", lboxCoaches)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lboxPhysios = new TPointerListBox(Staff);
    lboxPhysios->setObjectName("lboxPhysios");
    lboxPhysios->SetSorted(true);
    Staff->AddRow("Physios:", lboxPhysios)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* Note = new QLabel("Doubleclick name, to see staff info.", Staff);
    Note->setObjectName("lblStaffNote");
    Staff->AddRow("", Note);
    for (TPointerListBox* List : {lboxCoaches, lboxPhysios})
        connect(List, &QListWidget::itemDoubleClicked, this, [this, List] { SelectStaff(List); });
}

TPyxTeam* TframeNation::FirstTeam(const TPyxNation& Nation) {
    return Nation.Teams.Items(0);
}

TPyxObjects& TframeNation::Collection(TPyxDatabase& Database) const {
    return Database.Nations;
}

void TframeNation::Attached(TPyxDatabase& Database) {
    ssCapitalCity->List = &Database.Cities;
    ssNationalStadium->List = &Database.Stadiums;
    for (TframeSelectionSearch* Selector : {ssFirstLanguage, ssSecondLanguage, ssThirdLanguage})
        Selector->List = &Database.Languages;
}

void TframeNation::PrepareLoad(TPyxObject&) {
    PyxControls::FillPointerCombo(cmbContinent, "<no continent>", Database()->Continents);
    PyxControls::FillPointerCombo(cmbRegion, "<no region>", Database()->Regions);
}

void TframeNation::LoadEntity(TPyxObject& Entity) {
    auto& Nation = static_cast<TPyxNation&>(Entity);
    edPictureID->setText(QString::number(Nation.UniqueID));
    LoadLanguages(Nation);
    frameKitColor->LoadKits(&Nation.Kits);
    LoadRivals(Nation);
    FillNationalTeamStaff(Nation);
}

void TframeNation::SaveEntity(TPyxObject& Entity) {
    auto& Nation = static_cast<TPyxNation&>(Entity);
    SaveLanguages(Nation);
    frameKitColor->SaveKits();
    SaveRivals(Nation);
}

void TframeNation::PurgeEntity(const TGoneEntities& Gone) {
    Rivals_->Purge(Gone);
    // The staff page only shows the national team's people as they are.
    FillNationalTeamStaff(*Current());
}

void TframeNation::ClearEntity() {
    edPictureID->clear();
    cmbContinent->Clear();
    cmbRegion->Clear();
    for (TframeSelectionSearch* Selector : {ssFirstLanguage, ssSecondLanguage, ssThirdLanguage})
        Selector->SetSelected(nullptr);
    frameKitColor->ClearKits();
    ClearRivals();
    edManager->clear();
    lboxCoaches->Clear();
    lboxPhysios->Clear();
}

void TframeNation::LoadLanguages(const TPyxNation& Nation) {
    const std::array<TframeSelectionSearch*, 3> Selectors = {ssFirstLanguage, ssSecondLanguage, ssThirdLanguage};
    for (std::size_t I = 0; I < Selectors.size(); ++I)
        Selectors[I]->SetSelected(Nation.Languages.Items(static_cast<int32_t>(I)));
}

void TframeNation::SaveLanguages(TPyxNation& Nation) {
    const std::array<TPyxLanguage*, 3> Picked = {static_cast<TPyxLanguage*>(ssFirstLanguage->Selected()),
                                                 static_cast<TPyxLanguage*>(ssSecondLanguage->Selected()),
                                                 static_cast<TPyxLanguage*>(ssThirdLanguage->Selected())};
    if (!Bindings().AnyChanged({ssFirstLanguage, ssSecondLanguage, ssThirdLanguage}))
        return;
    // The three selectors give the list's first entries, up to the first empty one; the languages after the third,
    // which the page does not show, follow as they were.
    std::vector<TPyxLanguage*> Languages;
    for (TPyxLanguage* Language : Picked) {
        if (Language == nullptr)
            break;
        Languages.push_back(Language);
    }
    for (int32_t I = static_cast<int32_t>(Picked.size()); I < Nation.Languages.Count(); ++I)
        Languages.push_back(Nation.Languages.Items(I));
    Nation.Languages.Clear();
    for (TPyxLanguage* Language : Languages)
        Nation.Languages.Add(Language);
    LoadLanguages(Nation);
}

void TframeNation::ClearRivals() {
    Rivals_->Clear();
}

void TframeNation::LoadRivals(const TPyxNation& Nation) {
    RelationshipCopies::Show({lboxRivals}, {RivalKind}, &Nation.Relationships);
    Rivals_->Remember();
}

void TframeNation::SaveRivals(TPyxNation& Nation) {
    // Only the rivals are edited here: the nation's other relationships stay as they are, and an unedited list
    // leaves the rivals in their places.
    if (!Rivals_->Changed())
        return;
    RelationshipCopies::Write({lboxRivals}, {RivalKind}, Nation.Relationships);
    Rivals_->Remember();
}

void TframeNation::FillNationalTeamStaff(const TPyxNation& Nation) {
    edManager->clear();
    lboxCoaches->Clear();
    lboxPhysios->Clear();
    const TPyxTeam* Team = FirstTeam(Nation);
    if (Team == nullptr)
        return;
    edManager->setText(Team->Manager != nullptr ? TPyxListModel::DisplayName(*Team->Manager) : "<no manager>");
    edManager->setCursorPosition(0);
    for (TPyxPerson* Physio : Team->Physios)
        lboxPhysios->Add(TPyxListModel::DisplayName(*Physio), Physio);
    for (TPyxPerson* Coach : Team->Coaches)
        lboxCoaches->Add(TPyxListModel::DisplayName(*Coach), Coach);
}

void TframeNation::btnAddRivalClick() {
    auto* Nation = Current();
    if (Database() == nullptr || Nation == nullptr)
        return;
    // The record stores the count of all its relationships in one byte: the rivals and those of other kinds,
    // which the nation keeps.
    int Kept = 0;
    for (const auto& Relationship : Nation->Relationships)
        Kept += Relationship->Kind != RivalKind ? 1 : 0;
    if (Kept + lboxRivals->count() >= MaxRelationships) {
        PyxMessages::ShowError(this, TooManyRelationshipsMessage);
        return;
    }
    TSearchForm Dialog(this);
    Dialog.setWindowTitle("Find Rival");
    Dialog.cbUnknown->hide();
    TPyxSearch Search(Database()->Nations, *Dialog.lvSearchList);
    Dialog.Search = &Search;
    if (Dialog.exec() != QDialog::Accepted)
        return;
    auto* Rival = dynamic_cast<TPyxNation*>(Dialog.GetSelected());
    if (Rival == nullptr)
        return;
    auto Relationship = std::make_unique<TPyxRelationship>();
    Relationship->TargetType = TPyxRelationship::ttNation;
    Relationship->Kind = RivalKind;
    Relationship->Amount = 0;
    Relationship->RelationshipByte = 0;
    Relationship->Target = Rival;
    lboxRivals->AddOwned(TPyxListModel::DisplayName(*Rival), std::move(Relationship));
}

void TframeNation::btnDeleteRivalClick() {
    const int Selected = lboxRivals->SelectedIndex();
    if (Selected < 0)
        return;
    lboxRivals->DeleteItem(Selected);
}

void TframeNation::lboxRivalsDblClick() {
    const auto* Rival = lboxRivals->GetSelected<TPyxRelationship>();
    if (Rival != nullptr && Rival->TargetType == TPyxRelationship::ttNation)
        Navigator().ShowNation(dynamic_cast<TPyxNation*>(Rival->Target));
}

void TframeNation::edManagerDblClick() {
    const auto* Nation = Current();
    const TPyxTeam* Team = Nation != nullptr ? FirstTeam(*Nation) : nullptr;
    if (Team != nullptr && Team->Manager != nullptr)
        Navigator().ShowPerson(Team->Manager);
}

void TframeNation::SelectStaff(TPointerListBox* List) {
    if (auto* Person = List->GetSelected<TPyxPerson>())
        Navigator().ShowPerson(Person);
}

void TframeNation::seReputationExit() {
    PyxControls::RoundDownToStep(seReputation, ReputationStep);
}

bool TframeNation::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == edManager && Event->type() == QEvent::MouseButtonDblClick) {
        edManagerDblClick();
        return true;
    }
    return TPyxFrame::eventFilter(Watched, Event);
}
