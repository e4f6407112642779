#include "frameClubUnit.h"

#include "GoneEntities.h"
#include "PointerListBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxMessages.h"
#include "PyxNation.h"
#include "PyxNavigator.h"
#include "PyxPerson.h"
#include "PyxSearch.h"
#include "PyxTeam.h"
#include "frameClubPreferencesUnit.h"
#include "frameKitColorUnit.h"
#include "frameSquadUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString TooManyTeamsMessage =
    "A club can have at most 255 squads: the club's record counts its teams in one byte.";
const QString NoFirstTeamMessage =
    "A squad can be added only to a club with a first team: this club record stands for another club's squad or a "
    "national team.";
const QString FirstTeamMessage =
    "The first team of a club cannot be deleted while the club has other squads: it shares the club's UniqueID.";
const QString CompanionMessage =
    "This club record stands for the team %1, which shares its UniqueID, and cannot be deleted on its own: it goes "
    "with that team when the squad is deleted from its club.";

struct TSpinRow {
    const char* Caption;
    const char* Name;
    int32_t Min, Max;
    TSpinEdit* TframeClub::*Control;
};

} // namespace

TframeClub::TframeClub(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameClub", "Club", " Clubs Found"}, Parent) {
    BuildGeneralPage();
    BuildFinancesPage();

    auto* Colours = new QWidget(Pages());
    Colours->setObjectName("tsColours");
    frameKitColor = new TframeKitColor(Colours);
    auto* ColoursLayout = new QVBoxLayout(Colours);
    ColoursLayout->addWidget(frameKitColor);
    Pages()->addTab(Colours, "&Colours");

    BuildBoardPage();

    auto* Preferences = new QWidget(Pages());
    Preferences->setObjectName("tsPreferences");
    frameClubPreferences = new TframeClubPreferences(Navigator, Preferences);
    auto* PreferencesLayout = new QVBoxLayout(Preferences);
    PreferencesLayout->addWidget(frameClubPreferences);
    Pages()->addTab(Preferences, "&Preferences");

    tsSquads = new QWidget(Pages());
    tsSquads->setObjectName("tsSquads");
    pcSquads = new QTabWidget(tsSquads);
    pcSquads->setObjectName("pcSquads");
    auto* SquadsLayout = new QVBoxLayout(tsSquads);
    SquadsLayout->setContentsMargins(2, 2, 2, 2);
    SquadsLayout->addWidget(pcSquads);
    ShowSquadsTab(false);

    popmClubs = new QMenu(this);
    popmClubs->setObjectName("popmClubs");
    mnuiAddClub = popmClubs->addAction("Add Club");
    mnuiAddClub->setObjectName("mnuiAddClub");
    mnuiDeleteClub = popmClubs->addAction("Delete Club");
    mnuiDeleteClub->setObjectName("mnuiDeleteClub");
    mnuiAddSquad = popmClubs->addAction("Add Squad");
    mnuiAddSquad->setObjectName("mnuiAddSquad");
    mnuiDeleteLastSquad = popmClubs->addAction("Delete Last Squad");
    mnuiDeleteLastSquad->setObjectName("mnuiDeleteLastSquad");
    // Every command checks again what enabled it: a shortcut or a test may trigger it with the popup closed.
    connect(mnuiAddClub, &QAction::triggered, this, [this] {
        UpdatePopupItems();
        if (mnuiAddClub->isEnabled())
            AddClub();
    });
    connect(mnuiDeleteClub, &QAction::triggered, this, [this] {
        UpdatePopupItems();
        if (mnuiDeleteClub->isEnabled())
            DeleteClub();
    });
    connect(mnuiAddSquad, &QAction::triggered, this, [this] {
        UpdatePopupItems();
        if (mnuiAddSquad->isEnabled())
            AddSquad();
    });
    connect(mnuiDeleteLastSquad, &QAction::triggered, this, &TframeClub::mnuiDeleteLastSquadClick);
    connect(popmClubs, &QMenu::aboutToShow, this, &TframeClub::UpdatePopupItems);
    List()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& At) { popmClubs->popup(List()->mapToGlobal(At)); });
    UpdatePopupItems();
}

TframeClub::~TframeClub() {
    FreeSquadPages();
}

void TframeClub::BuildGeneralPage() {
    TFramePage* Page = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    struct TName {
        const char* Caption;
        const char* Edit;
        const char* Button;
        const char* Title;
        std::u16string TPyxClubTexts::*Texts;
        std::u16string TPyxClub::*Own;
        QLineEdit* TframeClub::*Control;
    };
    // Name and ShortName belong to the team container; TPyxClub's own members name them here.
    static const TName Names[] = {
        {"Club Name:", "edClubName", "btnClubName", "Edit Club Name", &TPyxClubTexts::Name, &TPyxClub::Name,
         &TframeClub::edClubName},
        {"Short Club Name:", "edShortClubName", "btnShortClubName", "Edit Short Club Name", &TPyxClubTexts::ShortName,
         &TPyxClub::ShortName, &TframeClub::edShortClubName},
        {"Nickname 1:", "edNickname1", "btnNickname1", "Edit Nickame 1", &TPyxClubTexts::Nickname1,
         &TPyxClub::Nickname1, &TframeClub::edNickname1},
        {"Nickname 2:", "edNickname2", "btnNickname2", "Edit Nickame 2", &TPyxClubTexts::Nickname2,
         &TPyxClub::Nickname2, &TframeClub::edNickname2},
    };
    for (const TName& Name : Names) {
        QLineEdit* Edit = PyxControls::ReadOnlyEdit(Page, Name.Edit);
        QToolButton* Button = PyxGlyphs::MakeButton(Page, Name.Button, PyxGlyphs::EditButton());
        Page->AddRow(Name.Caption, Edit, Button);
        this->*Name.Control = Edit;
        auto TextOf = [Texts = Name.Texts, Own = Name.Own](TPyxObject& E, int Lang) -> std::u16string* {
            auto& Club = static_cast<TPyxClub&>(E);
            if (Lang < 0)
                return &(Club.*Own);
            TPyxClubLang* Language = Club.Lang(Lang);
            return Language != nullptr ? &(static_cast<TPyxClubTexts&>(*Language).*Texts) : nullptr;
        };
        auto Binding = std::make_unique<TNameBinding>(Edit, Button, Name.Title, std::move(TextOf),
                                                      [this] { return AllLanguages(); });
        NameBindings_.push_back(Binding.get());
        AddNameBinding(std::move(Binding));
    }
    ssNation = PyxControls::Selector(Page, "ssNation", "Find Nation", "Nation is unspecified", "<unspecified>");
    Page->AddRow("Nation:", ssNation, MakeLinkButton("btnNationLink", [this] { return ssNation->Selected(); }));
    BindSelector(
        ssNation, [this](TPyxClub& C) { ssNation->SetSelected(C.Nation); },
        [](TPyxClub& C, TPyxObject* const& Nation) { C.SetNation(static_cast<TPyxNation*>(Nation)); });
    cmbClubCaptain = PyxControls::PointerCombo(Page, "cmbClubCaptain");
    Page->AddRow("Club Captain:", cmbClubCaptain,
                 MakeLinkButton("btnClubCaptainLink", [this] { return cmbClubCaptain->GetSelected(); }));
    BindCombo(cmbClubCaptain, &TPyxClub::Captain);
    edPictureID = PyxControls::ReadOnlyEdit(Page, "edPictureID");
    Page->AddRow("Picture ID:", edPictureID);
}

void TframeClub::BuildFinancesPage() {
    TFramePage* Page = AddPage("tsFinances", "&Finances", "Finances:", "lblFinances");
    seBalance = PyxControls::SpinEdit(Page, "seBalance", -200000000, 200000000);
    Page->AddRow("Balance:", seBalance);
    BindSpin(seBalance, &TPyxClub::Balance);
    cmbProfessionalStatus = PyxControls::IntegerCombo(
        Page, "cmbProfessionalStatus", {{"Professional", 1}, {"Semi Professional", 2}, {"Amateur", 3}}, false);
    Page->AddRow("Professional Status:", cmbProfessionalStatus);
    BindCombo(cmbProfessionalStatus, &TPyxClub::ProfessionalStatus);
    cbPublicLimitedCompany = PyxControls::CheckBox(Page, "cbPublicLimitedCompany");
    Page->AddRow("Public Limited Company:", cbPublicLimitedCompany);
    BindCheck(cbPublicLimitedCompany, &TPyxClub::PublicLimitedCompany);
    const TSpinRow Spins[] = {
        {"Minimum Attendance:", "seMinimumAttendance", 0, 200000, &TframeClub::seMinimumAttendance},
        {"Average Attendance:", "seAverageAttendance", 0, 200000, &TframeClub::seAverageAttendance},
        {"Maximum Attendance:", "seMaximumAttendance", 0, 200000, &TframeClub::seMaximumAttendance},
        {"Training Facilities:", "seTraining", 0, 20, &TframeClub::seTraining},
        {"Youth Academy:", "seYouthAcademy", 0, 20, &TframeClub::seYouthAcademy},
        {"Youth Setup:", "seYouthSetup", 0, 20, &TframeClub::seYouthSetup},
    };
    for (const TSpinRow& Row : Spins) {
        TSpinEdit* Spin = PyxControls::SpinEdit(Page, Row.Name, Row.Min, Row.Max);
        this->*Row.Control = Spin;
        Page->AddRow(Row.Caption, Spin);
    }
    BindSpin(seMinimumAttendance, &TPyxClub::MinimumAttendance);
    BindSpin(seAverageAttendance, &TPyxClub::AverageAttendance);
    BindSpin(seMaximumAttendance, &TPyxClub::MaximumAttendance);
    BindSpin(seTraining, &TPyxClub::Training);
    BindSpin(seYouthAcademy, &TPyxClub::YouthAcademy);
    BindSpin(seYouthSetup, &TPyxClub::YouthSetup);
}

void TframeClub::BuildBoardPage() {
    // The page has no heading of its own: its one line of text is the hint below the lists.
    TFramePage* Page = AddPage("tsBoardScouts", "&Board && Scouts");
    edChairman = PyxControls::ReadOnlyEdit(Page, "edChairman");
    Page->AddRow("Chairman:", edChairman);
    edChairman->installEventFilter(this);
    lboxBoardMembers = new TPointerListBox(Page);
    lboxBoardMembers->setObjectName("lboxBoardMembers");
    lboxBoardMembers->SetSorted(true);
    Page->AddRow("Board Members:", lboxBoardMembers)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lboxScouts = new TPointerListBox(Page);
    lboxScouts->setObjectName("lboxScouts");
    lboxScouts->SetSorted(true);
    Page->AddRow("Scouts:", lboxScouts)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QLabel* Hint = Page->AddHeading("Doubleclick name, to see staff info.", "lblBoardHint");
    QFont Plain = Hint->font();
    Plain.setBold(false);
    Hint->setFont(Plain);
    for (TPointerListBox* List : {lboxBoardMembers, lboxScouts})
        connect(List, &QListWidget::itemDoubleClicked, this, [this, List] {
            if (TPyxPerson* Person = List->GetSelected<TPyxPerson>())
                Navigator().ShowPerson(Person);
        });
}

TPyxObjects& TframeClub::Collection(TPyxDatabase& Database) const {
    return Database.Clubs;
}

void TframeClub::Attached(TPyxDatabase& Database) {
    // Keys of squads added to the database that was attached before mean nothing in this one.
    NewSquads_.clear();
    ssNation->List = &Database.Nations;
    frameClubPreferences->SetDatabase(&Database);
    UpdatePopupItems();
}

void TframeClub::PrepareLoad(TPyxObject& Entity) {
    FillCaptains(static_cast<TPyxClub&>(Entity));
}

void TframeClub::FillCaptains(const TPyxClub& Club) {
    cmbClubCaptain->Clear();
    cmbClubCaptain->Add("<Not Specified>", nullptr);
    for (TPyxTeam* Team : Club.Teams.Data())
        if (Team != nullptr)
            for (TPyxPerson* Player : Team->Players.Data())
                if (Player != nullptr)
                    cmbClubCaptain->Add(TPyxListModel::DisplayName(*Player), Player);
}

void TframeClub::LoadEntity(TPyxObject& Entity) {
    auto& Club = static_cast<TPyxClub&>(Entity);
    edPictureID->setText(QString::number(Club.UniqueID));
    frameKitColor->LoadKits(&Club.Kits);
    FillBoard(Club);
    frameClubPreferences->LoadRelationships(&Club.Relationships);
    BuildSquadPages(&Club);
    UpdatePopupItems();
}

void TframeClub::FillBoard(const TPyxClub& Club) {
    edChairman->setText(Club.Chairman != nullptr ? TPyxListModel::DisplayName(*Club.Chairman) : QString());
    for (auto [List, People] : {std::pair{lboxBoardMembers, &Club.BoardMembers}, std::pair{lboxScouts, &Club.Scouts}}) {
        List->Clear();
        for (TPyxPerson* Person : People->Data())
            if (Person != nullptr)
                List->Add(TPyxListModel::DisplayName(*Person), Person);
    }
}

void TframeClub::PurgeEntity(const TGoneEntities& Gone) {
    frameClubPreferences->Purge(Gone);
    // A page whose team went goes with it; the others keep what the user typed.
    for (int I = SquadCount() - 1; I >= 0; --I)
        if (Gone.Has(Squad(I)->Team()))
            RemoveSquadPage(I);
    for (TframeSquad* Squad : Squads_)
        Squad->Purge(Gone);
}

void TframeClub::RefreshChoices() {
    TPyxClub& Club = *Current();
    // The captain stays what it shows, listed or not; the other players are those of the club's teams now.
    TPyxObject* Captain = cmbClubCaptain->GetSelected();
    FillCaptains(Club);
    cmbClubCaptain->SetSelected(Captain);
    FillBoard(Club);
    RefreshSquads();
}

void TframeClub::SaveEntity(TPyxObject& Entity) {
    auto& Club = static_cast<TPyxClub&>(Entity);
    // The bindings have written the names; they still tell whether the user changed them.
    bool NamesChanged = false;
    for (const TNameBinding* Name : NameBindings_)
        NamesChanged = NamesChanged || Name->Changed();
    frameKitColor->SaveKits();
    frameClubPreferences->SaveRelationships();
    // What names the companions follow must be read before the pages write the squad types.
    std::vector<bool> TypeChanged;
    for (const TframeSquad* Squad : Squads_)
        TypeChanged.push_back(Squad->TeamTypeChanged());
    for (TframeSquad* Squad : Squads_)
        Squad->SaveTeam();
    RenameCompanions(Club, NamesChanged, TypeChanged);
    // A squad's caption follows its type and the club's name.
    for (int I = 0; I < pcSquads->count() && I < SquadCount(); ++I)
        if (TPyxTeam* Team = Squad(I)->Team())
            pcSquads->setTabText(I, TPyxListModel::DisplayName(*Team).replace('&', "&&"));
}

void TframeClub::RenameCompanions(TPyxClub& Club, bool NamesChanged, const std::vector<bool>& TypeChanged) {
    if (Club.Teams.Count() <= 1 || !AllLanguages())
        return;
    for (int32_t I = 1; I < Club.Teams.Count(); ++I) {
        TPyxTeam* Team = Club.Teams.Items(I);
        if (Team == nullptr)
            continue;
        bool Follows = NamesChanged || NewSquads_.count(Team->UniqueID) > 0;
        for (std::size_t P = 0; P < Squads_.size() && P < TypeChanged.size(); ++P)
            if (Squads_[P]->Team() == Team && TypeChanged[P])
                Follows = true;
        TPyxClub* Companion = Database()->Clubs.FindByUniqueID(Team->UniqueID);
        if (!Follows || Companion == nullptr || Companion == &Club)
            continue;
        NewSquads_.erase(Team->UniqueID);
        const std::u16string Long = Team->GetLongSuffix();
        const std::u16string Short = Team->GetShortSuffix();
        Companion->Name = Club.Name + Long;
        Companion->ShortName = Club.ShortName + Short;
        if (!Companion->LangObjects)
            continue;
        for (int32_t L = 0; L < Companion->LangObjects->Count(); ++L) {
            TPyxClubLang* Target = Companion->Lang(L);
            const TPyxClubLang* Source = Club.Lang(L);
            if (Target == nullptr || Source == nullptr)
                continue;
            Target->Name = Source->Name + Long;
            Target->ShortName = Source->ShortName + Short;
        }
    }
}

void TframeClub::ClearEntity() {
    FreeSquadPages();
    edPictureID->clear();
    frameKitColor->ClearKits();
    edChairman->clear();
    lboxBoardMembers->Clear();
    lboxScouts->Clear();
    frameClubPreferences->LoadRelationships(nullptr);
    cmbClubCaptain->Clear();
    UpdatePopupItems();
}

void TframeClub::FreeSquadPages() {
    // Last to first, each squad frame before its page.
    for (int I = pcSquads->count() - 1; I >= 0; --I) {
        QWidget* Page = pcSquads->widget(I);
        pcSquads->removeTab(I);
        if (static_cast<std::size_t>(I) < Squads_.size())
            delete Squads_[static_cast<std::size_t>(I)];
        delete Page;
    }
    Squads_.clear();
    ShowSquadsTab(false);
}

void TframeClub::BuildSquadPages(TPyxClub* Club) {
    FreeSquadPages();
    if (Club == nullptr)
        return;
    for (TPyxTeam* Team : Club->Teams.Data())
        if (Team != nullptr)
            AddSquadPage(Team);
}

void TframeClub::AddSquadPage(TPyxTeam* Team) {
    auto* Page = new QWidget(pcSquads);
    Page->setObjectName("tsSquad" + QString::number(Squads_.size()));
    auto* Squad = new TframeSquad(Navigator(), Page);
    auto* Layout = new QVBoxLayout(Page);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(Squad);
    Squad->SetDatabase(Database());
    Squad->LoadTeam(Team);
    Squads_.push_back(Squad);
    pcSquads->addTab(Page, TPyxListModel::DisplayName(*Team).replace('&', "&&"));
    ShowSquadsTab(true);
}

void TframeClub::RemoveSquadPage(int Index) {
    QWidget* Page = pcSquads->widget(Index);
    pcSquads->removeTab(Index);
    delete Squads_[static_cast<std::size_t>(Index)];
    delete Page;
    Squads_.erase(Squads_.begin() + Index);
    // The pages keep their names in team order.
    for (int I = 0; I < pcSquads->count(); ++I)
        pcSquads->widget(I)->setObjectName("tsSquad" + QString::number(I));
    ShowSquadsTab(!Squads_.empty());
}

void TframeClub::ShowSquadsTab(bool Show) {
    const int Index = Pages()->indexOf(tsSquads);
    if (Show && Index < 0)
        Pages()->addTab(tsSquads, "&Squads");
    else if (!Show && Index >= 0)
        Pages()->removeTab(Index);
}

void TframeClub::RefreshSquads() {
    for (TframeSquad* Squad : Squads_)
        Squad->FillPlayerList();
}

void TframeClub::UpdatePopupItems() {
    const bool All = AllLanguages() && Search() != nullptr;
    const bool Focused = List()->FocusedEntity() != nullptr && CurrentObject() == List()->FocusedEntity();
    mnuiAddClub->setEnabled(All);
    mnuiDeleteClub->setEnabled(All && Focused);
    mnuiAddSquad->setEnabled(All && Focused);
    mnuiDeleteLastSquad->setEnabled(All && Focused && Current() != nullptr && Current()->Teams.Count() > 1);
}

void TframeClub::AddClub() {
    if (Database() == nullptr || !AllLanguages() || Search() == nullptr)
        return;
    AddNew(Database()->AddClub());
}

void TframeClub::DeleteClub() {
    if (Database() == nullptr || Current() == nullptr || List()->FocusedEntity() != CurrentObject())
        return;
    TPyxDatabase* Db = Database();
    // The data model would refuse it too; asked first, the row stays listed and the user learns why.
    if (const TPyxTeam* Team = Db->TeamStoodFor(*Current())) {
        PyxMessages::ShowError(this, CompanionMessage.arg(TPyxListModel::DisplayName(*Team)));
        return;
    }
    DeleteFocused([Db](TPyxObject& Club) { Db->DeleteClub(static_cast<TPyxClub*>(&Club)); });
    UpdatePopupItems();
}

void TframeClub::AddSquad() {
    TPyxClub* Club = Current();
    if (Database() == nullptr || Club == nullptr || List()->FocusedEntity() != Club)
        return;
    if (Club->Teams.Count() >= MaxTeams) {
        PyxMessages::ShowError(this, TooManyTeamsMessage);
        return;
    }
    TPyxTeam* Team = Database()->AddSquad(*Club);
    if (Team == nullptr) {
        PyxMessages::ShowError(this, NoFirstTeamMessage);
        return;
    }
    NewSquads_.insert(Team->UniqueID);
    // A page for the new squad after the others; the club's controls and the other pages keep what the user typed.
    AddSquadPage(Team);
    UpdatePopupItems();
    Navigator().EntitiesAdded();
}

void TframeClub::DeleteSquad(TPyxTeam* Team) {
    TPyxClub* Club = Current();
    if (Database() == nullptr || Club == nullptr || Team == nullptr || List()->FocusedEntity() != Club ||
        std::find(Club->Teams.Data().begin(), Club->Teams.Data().end(), Team) == Club->Teams.Data().end())
        return;
    if (Club->Teams.Count() > 1 && Club->Teams.Items(0) == Team) {
        PyxMessages::ShowError(this, FirstTeamMessage);
        return;
    }
    // The squad's page holds the team and copies of its records: it goes before the team does. The club's
    // controls and the other pages keep what the user typed.
    for (int I = SquadCount() - 1; I >= 0; --I)
        if (Squad(I)->Team() == Team)
            RemoveSquadPage(I);
    NewSquads_.erase(Team->UniqueID);
    TPyxDatabase& Db = *Database();
    const TGoneEntities Gone = TGoneEntities::Of(Db, [&] { Db.DeleteClubTeam(*Club, Team); });
    UpdatePopupItems();
    Navigator().EntitiesDeleted(Gone);
}

void TframeClub::mnuiDeleteLastSquadClick() {
    UpdatePopupItems();
    if (mnuiDeleteLastSquad->isEnabled() && Current() != nullptr)
        DeleteSquad(Current()->Teams.Items(Current()->Teams.Count() - 1));
}

bool TframeClub::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == edChairman && Event->type() == QEvent::MouseButtonDblClick) {
        if (Current() != nullptr && Current()->Chairman != nullptr)
            Navigator().ShowPerson(Current()->Chairman);
        return true;
    }
    return TPyxFrame::eventFilter(Watched, Event);
}
