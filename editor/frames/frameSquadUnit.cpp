#include "frameSquadUnit.h"

#include "FieldBinding.h"
#include "FramePage.h"
#include "IntegerComboBox.h"
#include "PointerListBox.h"
#include "PyxCompetition.h"
#include "PyxControls.h"
#include "PyxDatabase.h"
#include "PyxGlyphs.h"
#include "PyxListModel.h"
#include "PyxNavigator.h"
#include "PyxPerson.h"
#include "PyxStadium.h"
#include "PyxTeam.h"
#include "SpinEdit.h"
#include "frameSelectionSearchUnit.h"
#include "frameTeamFinancesUnit.h"

#include <QApplication>
#include <QCursor>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QDate NoDate(1900, 1, 1);

// The steps a reputation is rounded down to when the user leaves it.
constexpr int32_t ReputationStep = 500;

template <class TShown>
std::unique_ptr<TFieldBinding> MakeBinding(std::function<void(TPyxTeam&)> Show, std::function<TShown()> Read,
                                           std::function<void(TPyxTeam&, const TShown&)> Write,
                                           std::function<void()> ClearControl,
                                           std::function<void(const TGoneEntities&)> PurgeControl = {}) {
    typename TValueBinding<TShown>::TAccess Parts;
    Parts.Show = [Show = std::move(Show)](TPyxObject& E) { Show(static_cast<TPyxTeam&>(E)); };
    Parts.Read = std::move(Read);
    Parts.Write = [Write = std::move(Write)](TPyxObject& E, const TShown& V) { Write(static_cast<TPyxTeam&>(E), V); };
    Parts.ClearControl = std::move(ClearControl);
    Parts.PurgeControl = std::move(PurgeControl);
    return std::make_unique<TValueBinding<TShown>>(std::move(Parts));
}

template <class TField> std::unique_ptr<TFieldBinding> SpinBinding(TSpinEdit* Spin, TField TPyxTeam::*Field) {
    return MakeBinding<int32_t>([Spin, Field](TPyxTeam& T) { Spin->SetValue(static_cast<int32_t>(T.*Field)); },
                                [Spin] { return Spin->Value(); },
                                [Field](TPyxTeam& T, const int32_t& V) { T.*Field = static_cast<TField>(V); },
                                [Spin] { Spin->SetValue(Spin->MinValue()); });
}

template <class TField> std::unique_ptr<TFieldBinding> ComboBinding(TIntegerComboBox* Combo, TField TPyxTeam::*Field) {
    return MakeBinding<int32_t>([Combo, Field](TPyxTeam& T) { Combo->SetSelected(static_cast<int32_t>(T.*Field)); },
                                [Combo] { return Combo->GetSelected(); },
                                [Field](TPyxTeam& T, const int32_t& V) { T.*Field = static_cast<TField>(V); },
                                [Combo] { Combo->SetSelected(-1); });
}

template <class TTarget>
std::unique_ptr<TFieldBinding> SelectorBinding(TframeSelectionSearch* Selector, TTarget* TPyxTeam::*Field) {
    return MakeBinding<TPyxObject*>([Selector, Field](TPyxTeam& T) { Selector->SetSelected(T.*Field); },
                                    [Selector] { return Selector->Selected(); },
                                    [Field](TPyxTeam& T, TPyxObject* const& V) { T.*Field = static_cast<TTarget*>(V); },
                                    [Selector] { Selector->SetSelected(nullptr); },
                                    [Selector](const TGoneEntities& Gone) {
                                        if (Gone.Has(Selector->Selected()))
                                            Selector->SetSelected(nullptr);
                                    });
}

// The club contract's squad number as the game reads it (a signed byte; 255 stands for none).
int SquadNumberOf(const TPyxPerson& Player) {
    const TPyxContract* Contract = Player.Contracts.GetClubContract();
    return Contract != nullptr ? static_cast<int8_t>(Contract->SquadNumber) : -1;
}

int AbilityOf(const TPyxPerson& Player, bool Potential) {
    if (!Player.Player)
        return 0;
    return Potential ? Player.Player->PotentialAbility : Player.Player->CurrentAbility;
}

QString Name(const TPyxObject& Entity) {
    return TPyxListModel::DisplayName(Entity);
}

void FillPeople(TPointerListBox* List, const TPyxPeopleList& People) {
    List->Clear();
    for (TPyxPerson* Person : People.Data())
        if (Person != nullptr)
            List->Add(Name(*Person), Person);
}

} // namespace

TframeSquad::TframeSquad(TPyxNavigator& Navigator, QWidget* Parent) : QWidget(Parent), Navigator_(Navigator) {
    setObjectName("frameSquad");
    pcSquad = new QTabWidget(this);
    pcSquad->setObjectName("pcSquad");
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(pcSquad);
    BuildGeneralPage();
    BuildStadiumPage();
    auto* Finances = new QWidget(pcSquad);
    Finances->setObjectName("tsFinances");
    frameTeamFinances = new TframeTeamFinances(Finances);
    auto* FinancesLayout = new QVBoxLayout(Finances);
    FinancesLayout->setContentsMargins(0, 0, 0, 0);
    FinancesLayout->addWidget(frameTeamFinances);
    pcSquad->addTab(Finances, "&Finances");
    BuildStaffPage();
    BuildPlayersPage();

    tiHint = new QTimer(this);
    tiHint->setObjectName("tiHint");
    tiHint->setInterval(100);
    connect(tiHint, &QTimer::timeout, this, &TframeSquad::tiHintTimer);
    tiHint->start();
}

TframeSquad::~TframeSquad() {
    frameTeamFinances->ClearLoans();
    delete HintWindow_;
}

void TframeSquad::BuildGeneralPage() {
    auto* Page = new TFramePage(pcSquad, "tsGeneral", "General:", "lblGeneral");
    pcSquad->addTab(Page, "&General");
    // The combo offers the squad types a user picks; the game knows more (Reserves, A, U19, U18, U20), which a
    // stored team keeps until the user picks another.
    cmbTeamType = PyxControls::IntegerCombo(Page, "cmbTeamType",
                                            {{"First Team", 0},
                                             {"B Team", 3},
                                             {"C Team", 13},
                                             {"2 Team", 16},
                                             {"3 Team", 17},
                                             {"II Team", 15},
                                             {"Amateur Team", 14},
                                             {"U23 Team", 9},
                                             {"U21 Team", 10}},
                                            false);
    Page->AddRow("Team Type:", cmbTeamType);
    Bindings_.Add(ComboBinding(cmbTeamType, &TPyxTeam::SquadType), cmbTeamType);
    seReputation = PyxControls::SpinEdit(Page, "seReputation", 0, 10000);
    seReputation->SetIncrement(500);
    Page->AddRow("Reputation:", seReputation);
    Bindings_.Add(SpinBinding(seReputation, &TPyxTeam::Reputation), seReputation);
    connect(seReputation, &TSpinEdit::Exited, this, &TframeSquad::seReputationExit);
    cmbHomeMatchDay = PyxControls::IntegerCombo(Page, "cmbHomeMatchDay",
                                                {{"Unset", 0},
                                                 {"Sunday", 1},
                                                 {"Monday", 2},
                                                 {"Tuesday", 3},
                                                 {"Wednesday", 4},
                                                 {"Thursday", 5},
                                                 {"Friday", 6},
                                                 {"Saturday", 7}},
                                                false);
    Page->AddRow("Home Match Day:", cmbHomeMatchDay);
    Bindings_.Add(ComboBinding(cmbHomeMatchDay, &TPyxTeam::HomeMatchDay), cmbHomeMatchDay);

    auto Link = [this, Page](const QString& Name, TframeSelectionSearch* Selector) {
        QToolButton* Button = PyxGlyphs::MakeButton(Page, Name, PyxGlyphs::LinkButton());
        connect(Button, &QToolButton::clicked, this, [this, Selector] {
            if (auto* Competition = dynamic_cast<TPyxCompetition*>(Selector->Selected()))
                Navigator_.ShowCompetition(Competition);
        });
        return Button;
    };
    Page->AddHeading("Competitions:", "lblCompetitions");
    ssDivision =
        PyxControls::Selector(Page, "ssDivision", "Find Division", "Squad isn't in any division", "<no division>");
    Page->AddRow("Division:", ssDivision, Link("btnDivisionLink", ssDivision));
    Bindings_.Add(SelectorBinding(ssDivision, &TPyxTeam::Division), ssDivision);
    ssLastDivision = PyxControls::Selector(Page, "ssLastDivision", "Find Last Division", "Squad wasn't in any division",
                                           "<no division>");
    Page->AddRow("Last Division:", ssLastDivision, Link("btnLastDivisionLink", ssLastDivision));
    Bindings_.Add(SelectorBinding(ssLastDivision, &TPyxTeam::LastDivision), ssLastDivision);
    seLastPosition = PyxControls::SpinEdit(Page, "seLastPosition", 0, 50);
    Page->AddRow("Last Position:", seLastPosition);
    Bindings_.Add(SpinBinding(seLastPosition, &TPyxTeam::LastPosition), seLastPosition);
    ssOtherDivision = PyxControls::Selector(Page, "ssOtherDivision", "Find Other Division",
                                            "Squad isn't in any other division", "<no division>");
    Page->AddRow("Other Division:", ssOtherDivision, Link("btnOtherDivisionLink", ssOtherDivision));
    Bindings_.Add(SelectorBinding(ssOtherDivision, &TPyxTeam::OtherDivision), ssOtherDivision);
    ssContinentalCompetition = PyxControls::Selector(Page, "ssContinentalCompetition", "Find Continental Competition",
                                                     "Squad isn't in any continental competition", "<no competition>");
    Page->AddRow("Continental Competition:", ssContinentalCompetition,
                 Link("btnContinentalCompetitionLink", ssContinentalCompetition));
    Bindings_.Add(SelectorBinding(ssContinentalCompetition, &TPyxTeam::ContinentalCompetition),
                  ssContinentalCompetition);
    seContinentalSeeding = PyxControls::SpinEdit(Page, "seContinentalSeeding", 0, 5);
    Page->AddRow("Continental Seeding:", seContinentalSeeding);
    Bindings_.Add(SpinBinding(seContinentalSeeding, &TPyxTeam::ContinentalSeeding), seContinentalSeeding);
}

void TframeSquad::BuildStadiumPage() {
    auto* Page = new TFramePage(pcSquad, "tsStadium", "Stadium:", "lblStadium");
    pcSquad->addTab(Page, "S&tadium");
    auto Link = [this, Page](const QString& Name, TframeSelectionSearch* Selector) {
        QToolButton* Button = PyxGlyphs::MakeButton(Page, Name, PyxGlyphs::LinkButton());
        connect(Button, &QToolButton::clicked, this, [this, Selector] {
            if (auto* Stadium = dynamic_cast<TPyxStadium*>(Selector->Selected()))
                Navigator_.ShowStadium(Stadium);
        });
        return Button;
    };
    ssStadium = PyxControls::Selector(Page, "ssStadium", "Find Stadium", "Squad has no stadium", "<no stadium>");
    Page->AddRow("Current Stadium:", ssStadium, Link("btnStadiumLink", ssStadium));
    Bindings_.Add(SelectorBinding(ssStadium, &TPyxTeam::Stadium), ssStadium);

    Page->AddHeading("Stadium Move:", "lblStadiumMove");
    ssNewStadium =
        PyxControls::Selector(Page, "ssNewStadium", "Find New Stadium", "Squad has no new stadium", "<no new stadium>");
    Page->AddRow("New Stadium:", ssNewStadium, Link("btnNewStadiumLink", ssNewStadium));
    ssAlternativeStadiumMove = PyxControls::Selector(Page, "ssAlternativeStadiumMove", "Find Alternative Stadium",
                                                     "Squad has no alternative stadium", "<no alternative stadium>");
    Page->AddRow("Alternative Stadium:", ssAlternativeStadiumMove,
                 Link("btnAlternativeStadiumMoveLink", ssAlternativeStadiumMove));
    dtpLeaveDateMove = PyxControls::DatePicker(Page, "dtpLeaveDateMove");
    Page->AddRow("Leave Date:", dtpLeaveDateMove);
    dtpStartDateMove = PyxControls::DatePicker(Page, "dtpStartDateMove");
    Page->AddRow("Move In Date:", dtpStartDateMove);

    Page->AddHeading("Capacity Change:", "lblCapacityChange");
    seNewCapacity = PyxControls::SpinEdit(Page, "seNewCapacity", 0, 500000);
    seNewCapacity->SetIncrement(500);
    Page->AddRow("New Capacity:", seNewCapacity);
    // The capacity's exit handler is the reputation's: it rounds the reputation, and the capacity stays as typed.
    connect(seNewCapacity, &TSpinEdit::Exited, this, &TframeSquad::seReputationExit);
    dtpStartDateCapacity = PyxControls::DatePicker(Page, "dtpStartDateCapacity");
    Page->AddRow("Date Finished:", dtpStartDateCapacity);
    // The move and the capacity change are records of their own, written as a whole when the user changed them.
    Bindings_.Watch(ssNewStadium);
    Bindings_.Watch(ssAlternativeStadiumMove);
    Bindings_.Watch(dtpLeaveDateMove);
    Bindings_.Watch(dtpStartDateMove);
    Bindings_.Watch(seNewCapacity);
    Bindings_.Watch(dtpStartDateCapacity);
}

void TframeSquad::BuildStaffPage() {
    auto* Page = new TFramePage(pcSquad, "tsStaff");
    pcSquad->addTab(Page, "&Staff");
    QLabel* Hint = Page->AddHeading("Doubleclick name, to see staff info.", "lblStaffHint");
    QFont Plain = Hint->font();
    Plain.setBold(false);
    Hint->setFont(Plain);
    edManager = PyxControls::ReadOnlyEdit(Page, "edManager");
    Page->AddRow("Manager:", edManager);
    edManager->installEventFilter(this);
    lboxCoaches = new TPointerListBox(Page);
    lboxCoaches->setObjectName("lboxCoaches");
    lboxCoaches->SetSorted(true);
    lboxCoaches->setMinimumHeight(120);
    Page->AddRow("Coaches:", lboxCoaches)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lboxPhysios = new TPointerListBox(Page);
    lboxPhysios->setObjectName("lboxPhysios");
    lboxPhysios->SetSorted(true);
    lboxPhysios->setMinimumHeight(120);
    Page->AddRow("Physios:", lboxPhysios)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (TPointerListBox* List : {lboxCoaches, lboxPhysios})
        connect(List, &QListWidget::itemDoubleClicked, this, [this, List] { SelectStaff(List); });
}

void TframeSquad::BuildPlayersPage() {
    auto* Page = new QWidget(pcSquad);
    Page->setObjectName("tsPlayers");
    pcSquad->addTab(Page, "&Players");
    lboxPlayers = new TPointerListBox(Page);
    lboxPlayers->setObjectName("lboxPlayers");
    lboxPlayers->SetTabWidth(20);
    lboxPlayers->setMouseTracking(true);
    lboxPlayers->viewport()->setMouseTracking(true);
    lboxPlayers->viewport()->installEventFilter(this);
    connect(lboxPlayers, &QListWidget::itemDoubleClicked, this, [this] { SelectStaff(lboxPlayers); });
    auto* SortBy = new QGroupBox("Sort By:", Page);
    SortBy->setObjectName("rgSortBy");
    rbName = new QRadioButton("&Name", SortBy);
    rbName->setObjectName("rbName");
    rbName->setChecked(true);
    rbSquadNumber = new QRadioButton("&Squad Number", SortBy);
    rbSquadNumber->setObjectName("rbSquadNumber");
    rbCurrentAbility = new QRadioButton("Current Ability", SortBy);
    rbCurrentAbility->setObjectName("rbCurrentAbility");
    rbPotentialAbility = new QRadioButton("Potential Ability", SortBy);
    rbPotentialAbility->setObjectName("rbPotentialAbility");
    auto* Radios = new QHBoxLayout(SortBy);
    for (QRadioButton* Radio : {rbName, rbSquadNumber, rbCurrentAbility, rbPotentialAbility}) {
        Radios->addWidget(Radio);
        connect(Radio, &QRadioButton::clicked, this, &TframeSquad::rbNameClick);
    }
    Radios->addStretch(1);
    auto* Layout = new QVBoxLayout(Page);
    Layout->addWidget(lboxPlayers, 1);
    Layout->addWidget(SortBy);
}

void TframeSquad::SetDatabase(TPyxDatabase* Database) {
    Database_ = Database;
    TPyxObjects* Stadiums = Database ? &Database->Stadiums : nullptr;
    TPyxObjects* Competitions = Database ? &Database->Competitions : nullptr;
    for (TframeSelectionSearch* S : {ssStadium, ssNewStadium, ssAlternativeStadiumMove})
        S->List = Stadiums;
    for (TframeSelectionSearch* S : {ssDivision, ssLastDivision, ssOtherDivision, ssContinentalCompetition})
        S->List = Competitions;
}

void TframeSquad::LoadTeam(TPyxTeam* Team) {
    HideHint();
    Team_ = Team;
    if (Team == nullptr) {
        Bindings_.Clear();
        frameTeamFinances->ClearLoans();
        lboxPlayers->Clear();
        lboxCoaches->Clear();
        lboxPhysios->Clear();
        edManager->clear();
        return;
    }
    Bindings_.Load(*Team);
    const TPyxStadiumMove* Move = Team->StadiumMove.get();
    ssNewStadium->SetSelected(Move ? Move->NewStadium : nullptr);
    ssAlternativeStadiumMove->SetSelected(Move ? Move->AlternativeStadium : nullptr);
    dtpLeaveDateMove->setDate(Move ? PyxControls::ToQDate(Move->LeaveDate) : NoDate);
    dtpStartDateMove->setDate(Move ? PyxControls::ToQDate(Move->StartDate) : NoDate);
    const TPyxStadiumMove* Change = Team->CapacityChange.get();
    seNewCapacity->SetValue(Change ? Change->NewCapacity : 0);
    dtpStartDateCapacity->setDate(Change ? PyxControls::ToQDate(Change->StartDate) : NoDate);
    Bindings_.Remember();
    frameTeamFinances->LoadTeam(Team);
    FillStaff();
    FillPlayerList();
}

void TframeSquad::FillStaff() {
    // Shown only: a team without a manager shows none, never the manager of the team shown before.
    edManager->setText(Team_ != nullptr && Team_->Manager != nullptr ? Name(*Team_->Manager) : QString());
    edManager->setCursorPosition(0);
    FillPeople(lboxCoaches, Team_ != nullptr ? Team_->Coaches : TPyxPeopleList());
    FillPeople(lboxPhysios, Team_ != nullptr ? Team_->Physios : TPyxPeopleList());
}

void TframeSquad::Purge(const TGoneEntities& Gone) {
    if (Team_ == nullptr)
        return;
    Bindings_.Purge(Gone);
    FillStaff();
    FillPlayerList();
}

void TframeSquad::ReloadTeam() {
    LoadTeam(Team_);
}

bool TframeSquad::TeamTypeChanged() const {
    return Team_ != nullptr && Bindings_.Changed(cmbTeamType) &&
           cmbTeamType->GetSelected() != static_cast<int32_t>(Team_->SquadType);
}

void TframeSquad::SaveTeam() {
    if (Team_ == nullptr)
        return;
    // The bindings write the team's own fields first: the move and the capacity change take its stadium as now.
    Bindings_.Save(*Team_);
    SaveStadiumMove();
    SaveCapacityChange();
    frameTeamFinances->SaveTeam();
    Bindings_.Remember();
}

void TframeSquad::SaveStadiumMove() {
    const bool LeaveEdited = Bindings_.Changed(dtpLeaveDateMove);
    const bool StartEdited = Bindings_.Changed(dtpStartDateMove);
    if (!Bindings_.AnyChanged({ssNewStadium, ssAlternativeStadiumMove, dtpLeaveDateMove, dtpStartDateMove, ssStadium}))
        return;
    auto* NewStadium = dynamic_cast<TPyxStadium*>(ssNewStadium->Selected());
    if (NewStadium == nullptr) {
        Team_->SetStadiumMove(nullptr);
        return;
    }
    // An existing move is changed in place, so that it keeps its key and the dates the user left alone.
    TPyxStadiumMove* Move = Team_->StadiumMove.get();
    if (Move == nullptr) {
        Team_->SetStadiumMove(std::make_unique<TPyxStadiumMove>());
        Move = Team_->StadiumMove.get();
        Move->LeaveDate = PyxControls::FromQDate(dtpLeaveDateMove->date());
        Move->StartDate = PyxControls::FromQDate(dtpStartDateMove->date());
    } else {
        if (LeaveEdited)
            Move->LeaveDate = PyxControls::FromQDate(dtpLeaveDateMove->date());
        if (StartEdited)
            Move->StartDate = PyxControls::FromQDate(dtpStartDateMove->date());
    }
    Move->Team = Team_;
    Move->Stadium = Team_->Stadium;
    Move->NewStadium = NewStadium;
    Move->NewCapacity = -1;
    Move->Kind = 1;
    Move->AlternativeStadium = dynamic_cast<TPyxStadium*>(ssAlternativeStadiumMove->Selected());
}

void TframeSquad::SaveCapacityChange() {
    const bool DateEdited = Bindings_.Changed(dtpStartDateCapacity);
    if (!Bindings_.AnyChanged({seNewCapacity, dtpStartDateCapacity, ssStadium}))
        return;
    const int32_t Capacity = seNewCapacity->Value();
    if (Capacity == 0) {
        Team_->SetCapacityChange(nullptr);
        return;
    }
    TPyxStadiumMove* Change = Team_->CapacityChange.get();
    if (Change == nullptr) {
        Team_->SetCapacityChange(std::make_unique<TPyxStadiumMove>());
        Change = Team_->CapacityChange.get();
        Change->StartDate = PyxControls::FromQDate(dtpStartDateCapacity->date());
    } else if (DateEdited)
        Change->StartDate = PyxControls::FromQDate(dtpStartDateCapacity->date());
    Change->Team = Team_;
    Change->Stadium = Team_->Stadium;
    Change->NewStadium = nullptr;
    Change->LeaveDate = PyxControls::FromQDate(QDate(2000, 1, 1));
    Change->NewCapacity = Capacity;
    Change->Kind = 2;
    Change->AlternativeStadium = Team_->Stadium;
}

void TframeSquad::seReputationExit() {
    PyxControls::RoundDownToStep(seReputation, ReputationStep);
}

void TframeSquad::rbNameClick() {
    FillPlayerList();
}

void TframeSquad::FillPlayerList() {
    HideHint();
    lboxPlayers->Clear();
    if (Team_ == nullptr)
        return;
    for (TPyxPerson* Player : Team_->Players.Data()) {
        if (Player == nullptr)
            continue;
        QString Text = Name(*Player);
        if (rbSquadNumber->isChecked()) {
            const int Number = SquadNumberOf(*Player);
            Text = (Number >= 1 ? QString::asprintf("%.2d", Number) : QString()) + "\t" + Text;
        } else if (rbCurrentAbility->isChecked() || rbPotentialAbility->isChecked())
            Text = QString::number(AbilityOf(*Player, rbPotentialAbility->isChecked())) + "\t" + Text;
        lboxPlayers->Add(Text, Player);
    }
    if (lboxPlayers->count() > 0) {
        lboxPlayers->setUpdatesEnabled(false);
        SortPlayers(0, lboxPlayers->count() - 1);
        lboxPlayers->setUpdatesEnabled(true);
    }
}

int TframeSquad::ComparePlayers(const TPyxPerson* A, const TPyxPerson* B) const {
    const auto Sign = [](int Difference) { return Difference < 0 ? -1 : (Difference > 0 ? 1 : 0); };
    if (rbSquadNumber->isChecked()) {
        const auto Key = [](const TPyxPerson* P) {
            const int N = SquadNumberOf(*P);
            return N < 1 ? 100 : N;
        };
        return Sign(Key(A) - Key(B));
    }
    if (rbCurrentAbility->isChecked() || rbPotentialAbility->isChecked()) {
        const bool Potential = rbPotentialAbility->isChecked();
        return Sign(AbilityOf(*B, Potential) - AbilityOf(*A, Potential));
    }
    return Sign(QString::localeAwareCompare(Name(*A).toLower(), Name(*B).toLower()));
}

void TframeSquad::SortPlayers(int Lo, int Hi) {
    // Quicksort over the items, each item's text and person moving together.
    const auto Swap = [this](int I, int J) {
        QListWidgetItem* Low = lboxPlayers->takeItem(std::min(I, J));
        QListWidgetItem* High = lboxPlayers->takeItem(std::max(I, J) - 1);
        lboxPlayers->insertItem(std::min(I, J), High);
        lboxPlayers->insertItem(std::max(I, J), Low);
    };
    int I = Lo, J = Hi;
    const TPyxPerson* Pivot = lboxPlayers->GetItem<TPyxPerson>((Lo + Hi) / 2);
    do {
        while (ComparePlayers(lboxPlayers->GetItem<TPyxPerson>(I), Pivot) < 0)
            ++I;
        while (ComparePlayers(lboxPlayers->GetItem<TPyxPerson>(J), Pivot) > 0)
            --J;
        if (I <= J) {
            if (I != J)
                Swap(I, J);
            ++I;
            --J;
        }
    } while (I <= J);
    if (Lo < J)
        SortPlayers(Lo, J);
    if (I < Hi)
        SortPlayers(I, Hi);
}

void TframeSquad::SelectStaff(TPointerListBox* List) {
    if (TPyxPerson* Person = List->GetSelected<TPyxPerson>()) {
        HideHint();
        Navigator_.ShowPerson(Person);
    }
}

QString TframeSquad::HintText(const TPyxPerson& Player) {
    QString Text = "Name: " + Name(Player) + "\r\n" +
                   "DOB: " + QLocale::system().toString(PyxControls::ToQDate(Player.DateOfBirth), QLocale::ShortFormat);
    if (Player.Nation != nullptr)
        Text += QString("\r\n") + "Nation: " + Name(*Player.Nation);
    return Text;
}

void TframeSquad::lboxPlayersMouseMove(const QPoint& Position) {
    const TPyxPerson* Player = lboxPlayers->ItemAt<TPyxPerson>(Position.x(), Position.y());
    if (Player == nullptr || QApplication::applicationState() != Qt::ApplicationActive) {
        HideHint();
        return;
    }
    if (HintWindow_ == nullptr) {
        HintWindow_ = new QLabel(nullptr, Qt::ToolTip);
        HintWindow_->setObjectName("HintWindow");
        HintWindow_->setForegroundRole(QPalette::ToolTipText);
        HintWindow_->setBackgroundRole(QPalette::ToolTipBase);
        HintWindow_->setAutoFillBackground(true);
        HintWindow_->setMargin(3);
        HintWindow_->setFrameShape(QFrame::Box);
    }
    QString Text = HintText(*Player);
    HintWindow_->setText(Text.replace("\r\n", "\n"));
    HintWindow_->adjustSize();
    if (const QScreen* Screen = screen(); Screen != nullptr && HintWindow_->width() > Screen->geometry().width())
        HintWindow_->resize(Screen->geometry().width(), HintWindow_->height());
    HintWindow_->move(QCursor::pos() + QPoint(0, 25));
    HintWindow_->show();
}

void TframeSquad::HideHint() {
    if (HintWindow_ != nullptr)
        HintWindow_->hide();
}

void TframeSquad::tiHintTimer() {
    if (HintWindow_ == nullptr || !HintWindow_->isVisible())
        return;
    const QRect Bounds(lboxPlayers->mapToGlobal(QPoint(0, 0)), lboxPlayers->size());
    if (!Bounds.contains(QCursor::pos()))
        HideHint();
}

bool TframeSquad::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == lboxPlayers->viewport() && Event->type() == QEvent::MouseMove)
        lboxPlayersMouseMove(static_cast<QMouseEvent*>(Event)->position().toPoint());
    else if (Watched == edManager && Event->type() == QEvent::MouseButtonDblClick) {
        if (Team_ != nullptr && Team_->Manager != nullptr)
            Navigator_.ShowPerson(Team_->Manager);
        return true;
    }
    return QWidget::eventFilter(Watched, Event);
}
