#include "frameMediaUnit.h"

#include "ListBinding.h"

#include "PointerListBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxMessages.h"
#include "PyxNavigator.h"
#include "PyxSearch.h"
#include "SearchForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString TooManyClubsMessage = "This media already follows 255 clubs, the most its record can hold.\r\nDelete "
                                    "a club from its list before adding another.";

} // namespace

TframeMedia::TframeMedia(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameMedia", "Media", " Medias Found"}, Parent) {
    BuildGeneralPage();
    BuildClubsPage();
}

void TframeMedia::BuildGeneralPage() {
    using PyxControls::IntegerCombo;
    using PyxControls::Selector;
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edLongName = AddNameRow(General, "Long Name:", "edLongName", "btnLongName", "Edit Long Media Name",
                            &TPyxMediaTexts::LongName);
    edShortName = AddNameRow(General, "Short Name:", "edShortName", "btnShortName", "Edit Short Media Name",
                             &TPyxMediaTexts::ShortName);
    cmbType = IntegerCombo(
        General, "cmbType",
        {{"Newspaper", 1}, {"Magazine", 2}, {"Fanzine", 3}, {"Radio", 4}, {"TV", 5}, {"Website", 6}, {"Bookmaker", 7}},
        true);
    General->AddRow("Type:", cmbType);
    BindCombo(cmbType, &TPyxMedia::MediaType);
    cmbPeriod = IntegerCombo(General, "cmbPeriod",
                             {{"Anytime", 1},
                              {"Yearly", 8},
                              {"Quarterly", 7},
                              {"Bi Monthly", 6},
                              {"Monthly", 5},
                              {"Weekly", 4},
                              {"Sunday", 3},
                              {"Monday", 10},
                              {"Tuesday", 11},
                              {"Wednesday", 12},
                              {"Thursday", 13},
                              {"Friday", 14},
                              {"Saturday", 15},
                              {"Weekday Morning", 2},
                              {"Weekday Evening", 9}},
                             false);
    General->AddRow("Period:", cmbPeriod);
    BindCombo(cmbPeriod, &TPyxMedia::Period);
    cmbScope = IntegerCombo(General, "cmbScope",
                            {{"Club", TPyxMedia::scClub},
                             {"Competition", TPyxMedia::scCompetition},
                             {"Local", TPyxMedia::scCity},
                             {"National", TPyxMedia::scNation},
                             {"Regional", TPyxMedia::scRegion},
                             {"Continental", TPyxMedia::scContinent},
                             {"Worldwide", TPyxMedia::scWorld}},
                            false);
    General->AddRow("Scope:", cmbScope);
    BindCombo(cmbScope, &TPyxMedia::Scope);

    // The six area controls share one place; the scope shows one of them at most.
    auto* Area = new QWidget(General);
    Area->setObjectName("pnlArea");
    ssClub = Selector(Area, "ssClub", "Find Media Club", "Media has no club", "<no club>");
    ssCity = Selector(Area, "ssCity", "Find Media City", "Media has no city", "<no city>");
    cmbRegion = PyxControls::PointerCombo(Area, "cmbRegion");
    ssNation = Selector(Area, "ssNation", "Find Media Nation", "Media has no nation", "<no nation>");
    cmbContinent = PyxControls::PointerCombo(Area, "cmbContinent");
    ssCompetition =
        Selector(Area, "ssCompetition", "Find Media Competition", "Media has no competition", "<no competition>");
    auto* AreaLayout = new QHBoxLayout(Area);
    AreaLayout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* Control :
         std::initializer_list<QWidget*>{ssClub, ssCity, cmbRegion, ssNation, cmbContinent, ssCompetition}) {
        AreaLayout->addWidget(Control);
        Control->hide();
    }
    btnAreaLink = MakeLinkButton("btnAreaLink", [this] { return ShownAreaEntity(); });
    lblArea = General->AddRow("Area:", Area, btnAreaLink);
    lblArea->setObjectName("lblArea");
    // The row keeps its height while no area control is shown.
    Area->setMinimumHeight(cmbRegion->sizeHint().height());

    connect(cmbScope, &TIntegerComboBox::Changed, this, &TframeMedia::cmbScopeChange);
    // The area controls are written together, as the target (SaveEntity).
    for (TframeSelectionSearch* Selector : {ssClub, ssCity, ssNation, ssCompetition})
        Bindings().Watch(Selector);
    for (TPointerComboBox* Combo : {cmbRegion, cmbContinent})
        Bindings().Watch(Combo);
}

void TframeMedia::BuildClubsPage() {
    auto* Clubs = new QWidget(Pages());
    Clubs->setObjectName("tsClubs");
    lboxClubs = new TPointerListBox(Clubs);
    lboxClubs->setObjectName("lboxClubs");
    btnAddClub = new QPushButton("Add", Clubs);
    btnAddClub->setObjectName("btnAddClub");
    btnDelete = new QPushButton("Delete", Clubs);
    btnDelete->setObjectName("btnDelete");
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(btnAddClub);
    Buttons->addWidget(btnDelete);
    auto* Layout = new QVBoxLayout(Clubs);
    Layout->addWidget(lboxClubs, 1);
    Layout->addLayout(Buttons);
    Pages()->addTab(Clubs, "&Clubs");

    // The clubs the media follows: references, written back as a list when it differs from the media's.
    TListBinding<TPyxClub, TPyxClub*>::TAccess Listed;
    Listed.Show = [this](TPyxObject& Entity) {
        lboxClubs->Clear();
        for (TPyxClub* Club : static_cast<TPyxMedia&>(Entity).Clubs)
            lboxClubs->Add(TPyxListModel::DisplayName(*Club), Club);
    };
    Listed.Items = [this] { return lboxClubs->Items<TPyxClub>(); };
    Listed.Keep = [](TPyxClub& Club) { return &Club; };
    Listed.Same = [](const TPyxClub* A, const TPyxClub* B) { return A == B; };
    Listed.Write = [this](TPyxObject& Entity) {
        auto& Media = static_cast<TPyxMedia&>(Entity);
        Media.Clubs.Clear();
        for (TPyxClub* Club : lboxClubs->Items<TPyxClub>())
            Media.Clubs.Add(Club);
    };
    Listed.ClearControl = [this] { lboxClubs->Clear(); };
    Listed.Drop = [](TPyxClub* Club, const TGoneEntities& Gone) { return !Gone.Has(Club); };
    Listed.RemoveRow = [this](int Row) { lboxClubs->DeleteItem(Row); };
    AddBinding(std::make_unique<TListBinding<TPyxClub, TPyxClub*>>(std::move(Listed)), lboxClubs);

    connect(btnAddClub, &QPushButton::clicked, this, &TframeMedia::btnAddClubClick);
    connect(btnDelete, &QPushButton::clicked, this, &TframeMedia::btnDeleteClick);
    connect(lboxClubs, &QListWidget::itemDoubleClicked, this, &TframeMedia::lboxClubsDblClick);
}

void TframeMedia::AddEntity() {
    if (Database() != nullptr && AllLanguages())
        AddNew(Database()->AddMedia());
}

TPyxObjects& TframeMedia::Collection(TPyxDatabase& Database) const {
    return Database.Medias;
}

void TframeMedia::Attached(TPyxDatabase& Database) {
    ssClub->List = &Database.Clubs;
    ssCity->List = &Database.Cities;
    ssNation->List = &Database.Nations;
    ssCompetition->List = &Database.Competitions;
}

void TframeMedia::PrepareLoad(TPyxObject&) {
    PyxControls::FillPointerCombo(cmbContinent, "<no continent>", Database()->Continents);
    PyxControls::FillPointerCombo(cmbRegion, "<no region>", Database()->Regions);
}

void TframeMedia::LoadEntity(TPyxObject& Entity) {
    auto& Media = static_cast<TPyxMedia&>(Entity);
    // Every area control is emptied first, so that none keeps another media's target.
    ClearAreaControls();
    switch (Media.Scope) {
    case TPyxMedia::scClub:
        ssClub->SetSelected(Media.Target);
        break;
    case TPyxMedia::scCity:
        ssCity->SetSelected(Media.Target);
        break;
    case TPyxMedia::scRegion:
        cmbRegion->SetSelected(Media.Target);
        break;
    case TPyxMedia::scNation:
        ssNation->SetSelected(Media.Target);
        break;
    case TPyxMedia::scContinent:
        cmbContinent->SetSelected(Media.Target);
        break;
    case TPyxMedia::scCompetition:
        ssCompetition->SetSelected(Media.Target);
        break;
    default:
        break;
    }
    ShownScope_ = cmbScope->GetSelected();
    UpdateAreaControls();
}

void TframeMedia::SaveEntity(TPyxObject& Entity) {
    auto& Media = static_cast<TPyxMedia&>(Entity);
    // The target is written when the user changed the scope or the area, and then always from the area control
    // of the scope now chosen: a new scope never keeps a target of the old scope's kind.
    const bool AreaChanged =
        Bindings().AnyChanged({cmbScope, ssClub, ssCity, cmbRegion, ssNation, cmbContinent, ssCompetition});
    TPyxObject* Target = nullptr;
    if (AreaChanged && AreaTarget(Media.Scope, Target))
        Media.Target = Target;
}

void TframeMedia::ClearEntity() {
    ClearAreaControls();
    cmbContinent->Clear();
    cmbRegion->Clear();
    ShownScope_ = -1;
    UpdateAreaControls();
}

bool TframeMedia::AreaTarget(int32_t Scope, TPyxObject*& Target) const {
    switch (Scope) {
    case TPyxMedia::scClub:
        Target = ssClub->Selected();
        return true;
    case TPyxMedia::scCompetition:
        Target = ssCompetition->Selected();
        return true;
    case TPyxMedia::scCity:
        Target = ssCity->Selected();
        return true;
    case TPyxMedia::scNation:
        Target = ssNation->Selected();
        return true;
    case TPyxMedia::scContinent:
        Target = cmbContinent->GetSelectedAs<TPyxContinent>();
        return true;
    case TPyxMedia::scRegion:
        Target = cmbRegion->GetSelectedAs<TPyxRegion>();
        return true;
    case TPyxMedia::scWorld:
        Target = nullptr;
        return true;
    default:
        return false;
    }
}

void TframeMedia::cmbScopeChange() {
    const int32_t Scope = cmbScope->GetSelected();
    if (Scope == ShownScope_)
        return;
    ShownScope_ = Scope;
    ClearAreaControls();
    UpdateAreaControls();
}

void TframeMedia::ClearAreaControls() {
    for (TframeSelectionSearch* Selector : {ssClub, ssCity, ssNation, ssCompetition})
        Selector->SetSelected(nullptr);
    // The nil item where the combo is filled; an empty combo forgets what it held.
    for (TPointerComboBox* Combo : {cmbRegion, cmbContinent})
        Combo->SetSelected(nullptr);
}

void TframeMedia::UpdateAreaControls() {
    for (QWidget* Control :
         std::initializer_list<QWidget*>{ssClub, ssCity, cmbRegion, ssNation, cmbContinent, ssCompetition})
        Control->hide();
    lblArea->show();
    btnAreaLink->show();
    switch (cmbScope->GetSelected()) {
    case TPyxMedia::scClub:
        ssClub->show();
        break;
    case TPyxMedia::scCompetition:
        ssCompetition->show();
        break;
    case TPyxMedia::scCity:
        ssCity->show();
        break;
    case TPyxMedia::scNation:
        ssNation->show();
        break;
    case TPyxMedia::scContinent:
        cmbContinent->show();
        break;
    case TPyxMedia::scRegion:
        // Regions have no tab to go to.
        cmbRegion->show();
        btnAreaLink->hide();
        break;
    case TPyxMedia::scWorld:
        lblArea->hide();
        btnAreaLink->hide();
        break;
    default:
        break;
    }
}

TPyxObject* TframeMedia::ShownAreaEntity() const {
    if (!ssClub->isHidden())
        return ssClub->Selected();
    if (!ssCompetition->isHidden())
        return ssCompetition->Selected();
    if (!ssNation->isHidden())
        return ssNation->Selected();
    if (!cmbContinent->isHidden())
        return cmbContinent->GetSelectedAs<TPyxContinent>();
    if (!ssCity->isHidden())
        return ssCity->Selected();
    return nullptr;
}

void TframeMedia::btnAddClubClick() {
    if (Database() == nullptr || CurrentObject() == nullptr)
        return;
    // The record stores the count of its clubs in one byte: a longer list could not be saved.
    if (lboxClubs->count() >= MaxClubs) {
        PyxMessages::ShowError(this, TooManyClubsMessage);
        return;
    }
    TSearchForm Dialog(this);
    Dialog.setWindowTitle("Find Club");
    Dialog.cbUnknown->hide();
    TPyxSearch Search(Database()->Clubs, *Dialog.lvSearchList);
    Dialog.Search = &Search;
    if (Dialog.exec() != QDialog::Accepted)
        return;
    if (auto* Club = dynamic_cast<TPyxClub*>(Dialog.GetSelected()))
        lboxClubs->Add(TPyxListModel::DisplayName(*Club), Club);
}

void TframeMedia::btnDeleteClick() {
    const int Selected = lboxClubs->SelectedIndex();
    if (Selected >= 0)
        lboxClubs->DeleteItem(Selected);
}

void TframeMedia::lboxClubsDblClick() {
    if (auto* Club = lboxClubs->GetSelected<TPyxClub>())
        Navigator().ShowClub(Club);
}
