#include "framePeopleUnit.h"

#include "GoneEntities.h"
#include "PyxClub.h"
#include "PyxDatabase.h"
#include "PyxInjury.h"
#include "PyxJobs.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxNation.h"
#include "PyxNavigator.h"
#include "PyxTeam.h"
#include "framePeoplePreferencesUnit.h"
#include "framePersonLanguagesUnit.h"
#include "framePlayingHistoryUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QDate NoDate(1900, 1, 1);

// Whether a control is enabled itself, whatever its page: the editor's pages are disabled while a person loads.
bool OwnEnabled(const QWidget* Control) {
    return !Control->testAttribute(Qt::WA_ForceDisabled);
}

bool HasBit(int Type, int Bit) {
    return Type >= 0 && (Type & Bit) != 0;
}

// A club's or nation's first team, where a post or loan goes when no squad is chosen.
TPyxTeam* FirstTeam(const TPyxTeamContainer* Container) {
    return Container != nullptr ? Container->Teams.Items(0) : nullptr;
}

TPyxClub* ClubOf(const TPyxTeam* Team) {
    return Team != nullptr ? Team->GetClub() : nullptr;
}

// "Contract Period:": the start picker, a dash and the expiry picker in one row.
QWidget* PeriodRow(QWidget* Parent, const QString& Name, QDateEdit* Start, QDateEdit* Expires) {
    auto* Row = new QWidget(Parent);
    Row->setObjectName(Name);
    auto* Layout = new QHBoxLayout(Row);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(Start);
    Layout->addWidget(new QLabel("-", Row));
    Layout->addWidget(Expires);
    Layout->addStretch(1);
    return Row;
}

void SetDate(QDateEdit* Edit, const TPyxDate& Date) {
    Edit->setDate(PyxControls::ToQDate(Date));
}

} // namespace

TframePeople::TframePeople(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"framePeople", "Staff", " People Found"}, Parent) {
    // Every tab caption in view at once: the window widens to the twelve tabs rather than scroll them.
    Pages()->setUsesScrollButtons(false);
    BuildGeneralPage();
    BuildContractPages();
    BuildAttributePages();
    BuildSubFrames();

    popmPeople = new QMenu(this);
    popmPeople->setObjectName("popmPeople");
    mnuiAddPerson = popmPeople->addAction("Add Person");
    mnuiAddPerson->setObjectName("mnuiAddPerson");
    mnuiDeletePerson = popmPeople->addAction("Delete Person");
    mnuiDeletePerson->setObjectName("mnuiDeletePerson");
    List()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& At) { popmPeople->popup(List()->viewport()->mapToGlobal(At)); });
    connect(mnuiAddPerson, &QAction::triggered, this, &TframePeople::AddEntity);
    connect(mnuiDeletePerson, &QAction::triggered, this, &TframePeople::DeletePerson);
}

void TframePeople::BuildGeneralPage() {
    using PyxControls::Selector;
    using PyxControls::SpinEdit;
    TFramePage* General = AddPage("tsGeneral", "&General", "Personal:", "lblPersonal");
    tsGeneral = General;
    edFirstName = Tracked(PyxControls::TextEdit(General, "edFirstName"));
    General->AddRow("First Name:", edFirstName);
    edSecondName = Tracked(PyxControls::TextEdit(General, "edSecondName"));
    General->AddRow("Second Name:", edSecondName);
    edCommonName = Tracked(PyxControls::TextEdit(General, "edCommonName"));
    General->AddRow("Common Name:", edCommonName);
    dtpDateOfBirth = Tracked(PyxControls::DatePicker(General, "dtpDateOfBirth"));
    General->AddRow("Date Of Birth:", dtpDateOfBirth);
    ssCityOfBirth =
        Tracked(Selector(General, "ssCityOfBirth", "Find City of Birth", "City of Birth is Unknown", "<unknown>"));
    General->AddRow("City Of Birth:", ssCityOfBirth,
                    MakeLinkButton("btnCityOfBirthLink", [this] { return ssCityOfBirth->Selected(); }));
    cmbPersonType = Tracked(PyxControls::IntegerCombo(
        General, "cmbPersonType", {{"Non Player", 1}, {"Player", 2}, {"Player / Non Player", 3}, {"Official", 4}},
        false));
    General->AddRow("Person Type:", cmbPersonType);
    edPictureID = PyxControls::ReadOnlyEdit(General, "edPictureID");
    General->AddRow("Picture ID:", edPictureID);

    General->AddHeading("Nationality:", "lblNationality");
    ssNation = Tracked(
        Selector(General, "ssNation", "Find Staff Nationality", "Staff Nationality is Unspecified", "<unspecified>"));
    General->AddRow("Nation:", ssNation, MakeLinkButton("btnNationLink", [this] { return ssNation->Selected(); }));
    ssSecondNation = Tracked(Selector(General, "ssSecondNation", "Find Staff Second Nationality",
                                      "Staff Second Nationality is Unspecified", "<unspecified>"));
    General->AddRow("Second Nation:", ssSecondNation,
                    MakeLinkButton("btnSecondNationLink", [this] { return ssSecondNation->Selected(); }));
    cbDeclaredForNation = Tracked(PyxControls::CheckBox(General, "cbDeclaredForNation"));
    General->AddRow("Declared For Nation:", cbDeclaredForNation);
    cbInternationalRetirement = Tracked(PyxControls::CheckBox(General, "cbInternationalRetirement"));
    General->AddRow("International Retirement:", cbInternationalRetirement);
    seApps = Tracked(SpinEdit(General, "seApps", 0, 255));
    General->AddRow("Apps:", seApps);
    seGoals = Tracked(SpinEdit(General, "seGoals", 0, 255));
    General->AddRow("Goals", seGoals);
    seU21Apps = Tracked(SpinEdit(General, "seU21Apps", 0, 255));
    General->AddRow("U21 Apps:", seU21Apps);
    seU21Goals = Tracked(SpinEdit(General, "seU21Goals", 0, 255));
    General->AddRow("U21 Goals", seU21Goals);

    connect(cmbPersonType, &TDataComboBox::Changed, this, &TframePeople::cmbPersonTypeChange);
}

void TframePeople::BuildContractPages() {
    using PyxControls::DatePicker;
    using PyxControls::Selector;
    using PyxControls::SpinEdit;
    pcContract = new QTabWidget;
    pcContract->setObjectName("pcContract");
    tsContract = new QWidget;
    tsContract->setObjectName("tsContract");
    auto* ContractLayout = new QVBoxLayout(tsContract);
    ContractLayout->addWidget(pcContract);
    Pages()->addTab(tsContract, "&Contract");

    auto* Current = new TFramePage(pcContract, "tsCurrentContract", "Club Contracted:", "lblClubContract");
    tsCurrentContract = Current;
    pcContract->addTab(Current, "&Current");
    ssClubContracted =
        Tracked(Selector(Current, "ssClubContracted", "Find Club", "Staff has no contracted club", "<no club>"));
    Current->AddRow("Club Contracted:", ssClubContracted,
                    MakeLinkButton("btnClubLink", [this] { return ssClubContracted->Selected(); }));
    cmbSquadContracted = Tracked(PyxControls::PointerCombo(Current, "cmbSquadContracted"));
    Current->AddRow("Squad Contracted:", cmbSquadContracted);
    cmbJob = Tracked(PyxControls::IntegerCombo(Current, "cmbJob", {}, true));
    Current->AddRow("Job:", cmbJob);
    dtpDateJoined = Tracked(DatePicker(Current, "dtpDateJoined"));
    Current->AddRow("Date Joined:", dtpDateJoined);
    dtpContractStart = Tracked(DatePicker(Current, "dtpContractStart"));
    dtpContractExpires = Tracked(DatePicker(Current, "dtpContractExpires"));
    Current->AddRow("Contract Period:", PeriodRow(Current, "pnlContractPeriod", dtpContractStart, dtpContractExpires))
        ->setBuddy(dtpContractExpires);
    seEstimatedWage = Tracked(SpinEdit(Current, "seEstimatedWage", 0, 200000000));
    Current->AddRow("Estimated Wage:", seEstimatedWage);
    seSquadNumber = Tracked(SpinEdit(Current, "seSquadNumber", -1, 99));
    seSquadNumber->SetValue(-1);
    Current->AddRow("Squad Number:", seSquadNumber);
    ssCoOwnedBy =
        Tracked(Selector(Current, "ssCoOwnedBy", "Find Club", "Player isn't co-owned by a club.", "<no club>"));
    Current->AddRow("Co-owned By:", ssCoOwnedBy,
                    MakeLinkButton("btnCoOwnedByLink", [this] { return ssCoOwnedBy->Selected(); }));
    Current->AddHeading("National Team Contracted:", "lblNationContract");
    ssNationContracted = Tracked(
        Selector(Current, "ssNationContracted", "Find Nation", "Staff has no contracted nation", "<no national team>"));
    Current->AddRow("Nation Contracted:", ssNationContracted,
                    MakeLinkButton("btnNationContractedLink", [this] { return ssNationContracted->Selected(); }));
    cmbNationJob = Tracked(PyxControls::IntegerCombo(Current, "cmbNationJob",
                                                     {{"Coach", 2},
                                                      {"Chairman", 4},
                                                      {"Managing Director", 8},
                                                      {"Director Of Football", 10},
                                                      {"Physio", 12},
                                                      {"Scout", 14},
                                                      {"Manager", 16},
                                                      {"Assistant Manager", 20},
                                                      {"General Manager", 24}},
                                                     true));
    Current->AddRow("Job:", cmbNationJob);
    dtpDateJoinedNation = Tracked(DatePicker(Current, "dtpDateJoinedNation"));
    Current->AddRow("Date Joined:", dtpDateJoinedNation);
    dtpContractStartNation = Tracked(DatePicker(Current, "dtpContractStartNation"));
    dtpContractExpiresNation = Tracked(DatePicker(Current, "dtpContractExpiresNation"));
    Current
        ->AddRow("Contract Period:",
                 PeriodRow(Current, "pnlContractPeriodNation", dtpContractStartNation, dtpContractExpiresNation))
        ->setBuddy(dtpContractExpiresNation);

    auto* Loan = new TFramePage(pcContract, "tsLoanContract", "Loan Contract:", "lblLoanContract");
    tsLoanContract = Loan;
    pcContract->addTab(Loan, "&Loan");
    ssLoanClub = Tracked(Selector(Loan, "ssLoanClub", "Find Club", "The player isn't loaned to any club", "<no club>"));
    Loan->AddRow("Club:", ssLoanClub, MakeLinkButton("btnClubLoanLink", [this] { return ssLoanClub->Selected(); }));
    cmbLoanSquad = Tracked(PyxControls::PointerCombo(Loan, "cmbLoanSquad"));
    Loan->AddRow("Squad:", cmbLoanSquad);
    dtpLoanStart = Tracked(DatePicker(Loan, "dtpLoanStart"));
    Loan->AddRow("Loaned From:", dtpLoanStart);
    dtpLoanEnd = Tracked(DatePicker(Loan, "dtpLoanEnd"));
    Loan->AddRow("Loaned Untill:", dtpLoanEnd);

    auto* Future = new TFramePage(pcContract, "tsFutureTransfer", "Future Transfer:", "lblFutureTransfer");
    tsFutureTransfer = Future;
    pcContract->addTab(Future, "&Future Transfer");
    ssFutureClub =
        Tracked(Selector(Future, "ssFutureClub", "Find Club", "The player has no future transfer", "<no club>"));
    Future->AddRow("Club:", ssFutureClub,
                   MakeLinkButton("btnFutureClubLink", [this] { return ssFutureClub->Selected(); }));
    dtpTransferDate = Tracked(DatePicker(Future, "dtpTransferDate"));
    Future->AddRow("Transfer Date:", dtpTransferDate);
    seTransferFee = Tracked(SpinEdit(Future, "seTransferFee", -1, 200000000));
    Future->AddRow("Transfer Fee:", seTransferFee);
    seFutureWage = Tracked(SpinEdit(Future, "seFutureWage", -1, 200000000));
    Future->AddRow("Wage:", seFutureWage);
    seFutureTransferContractYears = Tracked(SpinEdit(Future, "seFutureTransferContractYears", -1, 5));
    seFutureTransferContractYears->SetValue(1);
    Future->AddRow("Contract Years:", seFutureTransferContractYears);

    auto* Injury = new TFramePage(pcContract, "tsStartingInjury", "Starting Injury:", "lblStartingInjury");
    tsStartingInjury = Injury;
    pcContract->addTab(Injury, "&Starting Injury");
    cmbInjury = Tracked(PyxControls::PointerCombo(Injury, "cmbInjury"));
    Injury->AddRow("Injury:", cmbInjury,
                   MakeLinkButton("btnStartingInjuryLink", [this] { return cmbInjury->GetSelected(); }));
    dtpInjuryStartDate = Tracked(DatePicker(Injury, "dtpInjuryStartDate"));
    Injury->AddRow("Start Date:", dtpInjuryStartDate);
    dtpInjuryEndDate = Tracked(DatePicker(Injury, "dtpInjuryEndDate"));
    Injury->AddRow("End Date:", dtpInjuryEndDate);

    auto* Confidence =
        new TFramePage(pcContract, "tsStartingConfidence", "Starting Confidence:", "lblStartingConfidence");
    tsStartingConfidence = Confidence;
    pcContract->addTab(Confidence, "Starting C&onfidence");
    seBoardConfidence = Tracked(SpinEdit(Confidence, "seBoardConfidence", 0, 200));
    Confidence->AddRow("Board Confidence:", seBoardConfidence);
    seFanConfidence = Tracked(SpinEdit(Confidence, "seFanConfidence", 0, 200));
    Confidence->AddRow("Fan Confidence:", seFanConfidence);

    connect(ssClubContracted, &TframeSelectionSearch::Changed, this, &TframePeople::ClubContractedChange);
    connect(cmbJob, &TDataComboBox::Changed, this, &TframePeople::cmbJobChange);
    connect(ssNationContracted, &TframeSelectionSearch::Changed, this, &TframePeople::NationContractedChange);
    connect(cmbNationJob, &TDataComboBox::Changed, this, &TframePeople::UpdateControlStates);
    connect(ssLoanClub, &TframeSelectionSearch::Changed, this, &TframePeople::LoanClubChange);
    connect(ssFutureClub, &TframeSelectionSearch::Changed, this, &TframePeople::UpdateControlStates);
    connect(cmbInjury, &TDataComboBox::Changed, this, &TframePeople::UpdateControlStates);
}

void TframePeople::BuildSubFrames() {
    tsPreferences = new QWidget;
    tsPreferences->setObjectName("tsPreferences");
    framePeoplePreferences = new TframePeoplePreferences(Navigator(), tsPreferences);
    (new QVBoxLayout(tsPreferences))->addWidget(framePeoplePreferences);
    Pages()->addTab(tsPreferences, "Preferences");

    tsHistory = new QWidget;
    tsHistory->setObjectName("tsHistory");
    (new QVBoxLayout(tsHistory))->addWidget(pcHistory);
    tsPlayingHistory = new QWidget;
    tsPlayingHistory->setObjectName("tsPlayingHistory");
    framePlayingHistory = new TframePlayingHistory(Navigator(), tsPlayingHistory);
    (new QVBoxLayout(tsPlayingHistory))->addWidget(framePlayingHistory);
    pcHistory->insertTab(0, tsPlayingHistory, "&Playing History");
    pcHistory->setCurrentIndex(0);
    Pages()->addTab(tsHistory, "&History");

    tsLanguages = new QWidget;
    tsLanguages->setObjectName("tsLanguages");
    framePersonLanguages = new TframePersonLanguages(Navigator(), tsLanguages);
    (new QVBoxLayout(tsLanguages))->addWidget(framePersonLanguages);
    Pages()->addTab(tsLanguages, "&Languages");
}

TPyxObjects& TframePeople::Collection(TPyxDatabase& Database) const {
    return Database.People;
}

bool TframePeople::Histories() const {
    return Database() != nullptr && Database()->LoadPlayingHistories;
}

int16_t TframePeople::Version() const {
    return Database() != nullptr ? Database()->GetVersion() : 147;
}

void TframePeople::Attached(TPyxDatabase& Database) {
    const bool U21 = Database.GetVersion() > 144;
    seU21Apps->setEnabled(U21);
    seU21Goals->setEnabled(U21);
    ssCityOfBirth->List = &Database.Cities;
    ssNation->List = &Database.Nations;
    ssSecondNation->List = &Database.Nations;
    ssClubContracted->List = &Database.Clubs;
    ssNationContracted->List = &Database.Nations;
    ssLoanClub->List = &Database.Clubs;
    ssFutureClub->List = &Database.Clubs;
    ssCoOwnedBy->List = &Database.Clubs;
    ssRefereeCity->List = &Database.Cities;
    ssRefereeDivision->List = &Database.Competitions;
    framePeoplePreferences->SetDatabase(&Database);
    framePlayingHistory->SetDatabase(Database.LoadPlayingHistories ? &Database : nullptr);
    framePersonLanguages->SetLanguages(&Database.Languages);
    UpdateControlStates();
}

void TframePeople::AddEntity() {
    if (Database() != nullptr)
        AddNew(Database()->AddPerson());
}

void TframePeople::DeletePerson() {
    TPyxDatabase* Db = Database();
    if (Db == nullptr)
        return;
    DeleteFocused([Db](TPyxObject& Person) { Db->DeletePerson(static_cast<TPyxPerson*>(&Person)); });
}

int TframePeople::SelectedType() const {
    const int Type = cmbPersonType->GetSelected();
    return Type >= 1 && Type <= 4 ? Type : -1;
}

void TframePeople::LoadEntity(TPyxObject& Entity) {
    auto& P = static_cast<TPyxPerson&>(Entity);
    Loading_ = true;
    HadPlayer_ = P.Player != nullptr;
    HadStaff_ = P.NonPlayer != nullptr;
    HadOfficial_ = P.Official != nullptr;
    HadPersonData_ = P.PersonData != nullptr;
    HadClubContract_ = P.Contracts.GetClubContract() != nullptr;
    HadNationContract_ = P.Contracts.GetNationContract() != nullptr;
    LoadedClubTeam_ = P.ClubTeam;
    LoadedClubJob_ = P.ClubJob;
    LoadedNationalTeam_ = P.NationalTeam;
    LoadedNationalJob_ = P.NationalJob;

    // 1. Names, birth, type, nation.
    edPictureID->setText(QString::number(P.UniqueID));
    // The names are shown and written as the files hold them (UTF-16), so that no character is lost on its way.
    edFirstName->setText(QString::fromStdU16String(P.GetFirstName()));
    edSecondName->setText(QString::fromStdU16String(P.GetSecondName()));
    edCommonName->setText(QString::fromStdU16String(P.GetCommonName()));
    for (QLineEdit* Edit : {edFirstName, edSecondName, edCommonName})
        Edit->setCursorPosition(0);
    SetDate(dtpDateOfBirth, P.DateOfBirth);
    ssCityOfBirth->SetSelected(P.CityOfBirth);
    cmbPersonType->SetSelected(P.PersonType);
    ssNation->SetSelected(P.Nation);
    const int Type = SelectedType();
    ShownType_ = Type;

    // 2. Nationality and caps.
    cbInternationalRetirement->setChecked(HasBit(Type, 2) && P.GetInternationalRetirement());
    cbDeclaredForNation->setChecked(HasBit(Type, 2) && P.Player && P.Player->DeclaredForNation != 0);
    ssSecondNation->SetSelected(P.GetSecondNation());
    seApps->SetValue(P.InternationalApps);
    seGoals->SetValue(P.InternationalGoals);
    seU21Apps->SetValue(P.U21Apps);
    seU21Goals->SetValue(P.U21Goals);

    LoadContract(P, Type);

    // 9. The attribute tabs; 10. the sub-frames. Each sub-frame is given this person even where the tab is
    // hidden, so that it never holds copies that belong to the person shown before.
    LoadAttributes(P);
    framePeoplePreferences->LoadPerson(&P);
    if (Histories())
        framePlayingHistory->LoadPerson(&P);
    framePersonLanguages->LoadPerson(&P);

    // 11.
    UpdateControlStates();
    Loading_ = false;
}

void TframePeople::LoadContract(const TPyxPerson& P, int Type) {
    // 3. The club half.
    dtpDateJoined->setDate(NoDate);
    dtpContractStart->setDate(NoDate);
    dtpContractExpires->setDate(NoDate);
    seEstimatedWage->SetValue(0);
    seSquadNumber->SetValue(-1);
    ssCoOwnedBy->SetSelected(nullptr);
    if (P.ClubTeam != nullptr) {
        ssClubContracted->SetSelected(ClubOf(P.ClubTeam));
        FillJobs();
        FillSquadContracted();
        SetDate(dtpDateJoined, P.DateJoinedClub);
        if (const TPyxContract* C = P.Contracts.GetClubContract()) {
            SetDate(dtpContractStart, C->ContractStart);
            SetDate(dtpContractExpires, C->ContractExpires);
            seEstimatedWage->SetValue(C->EstimatedWage);
            seSquadNumber->SetValue(static_cast<int8_t>(C->SquadNumber));
        }
        ssCoOwnedBy->SetSelected(P.GetCoOwner());
    } else {
        ssClubContracted->SetSelected(nullptr);
        FillJobs();
        FillSquadContracted();
    }

    // 4. The national half.
    dtpDateJoinedNation->setDate(NoDate);
    dtpContractStartNation->setDate(NoDate);
    dtpContractExpiresNation->setDate(NoDate);
    if (P.NationalTeam != nullptr) {
        ssNationContracted->SetSelected(P.NationalTeam->GetNation());
        cmbNationJob->SetSelected(P.NationalJob);
        SetDate(dtpDateJoinedNation, P.DateJoinedNation);
        if (const TPyxContract* C = P.Contracts.GetNationContract()) {
            SetDate(dtpContractStartNation, C->ContractStart);
            SetDate(dtpContractExpiresNation, C->ContractExpires);
        }
    } else {
        ssNationContracted->SetSelected(nullptr);
        cmbNationJob->SetSelected(-1);
    }

    // 5.-7. Loan, future transfer, starting injury.
    const TPyxPlayer* Player = HasBit(Type, 2) ? P.Player.get() : nullptr;
    if (Player != nullptr && Player->Loan) {
        ssLoanClub->SetSelected(ClubOf(Player->Loan->Team));
        SetDate(dtpLoanStart, Player->Loan->StartDate);
        SetDate(dtpLoanEnd, Player->Loan->EndDate);
    } else {
        ssLoanClub->SetSelected(nullptr);
        dtpLoanStart->setDate(NoDate);
        dtpLoanEnd->setDate(NoDate);
    }
    FillLoanSquads();
    if (Player != nullptr && Player->FutureTransfer) {
        const TPyxFutureTransfer& F = *Player->FutureTransfer;
        ssFutureClub->SetSelected(ClubOf(F.Team));
        SetDate(dtpTransferDate, F.TransferDate);
        seTransferFee->SetValue(F.TransferFee);
        seFutureWage->SetValue(F.FutureWage);
        seFutureTransferContractYears->SetValue(static_cast<int8_t>(F.ContractYears));
    } else {
        ssFutureClub->SetSelected(nullptr);
    }
    cmbInjury->Clear();
    cmbInjury->Add("<no starting injury>", nullptr);
    if (Database() != nullptr)
        for (int32_t I = 0; I < Database()->Injuries.Count(); ++I) {
            TPyxObject* Injury = Database()->Injuries.Items(I);
            cmbInjury->Add(TPyxListModel::DisplayName(*Injury), Injury);
        }
    if (Player != nullptr && Player->StartingInjury) {
        cmbInjury->SetSelected(Player->StartingInjury->Injury);
        SetDate(dtpInjuryStartDate, Player->StartingInjury->StartDate);
        SetDate(dtpInjuryEndDate, Player->StartingInjury->EndDate);
    } else {
        cmbInjury->SetSelected(nullptr);
    }

    // 8. Starting confidence.
    const TPyxNonPlayer* Staff = HasBit(Type, 1) ? P.NonPlayer.get() : nullptr;
    if (Staff != nullptr && Staff->StartingConfidence) {
        seBoardConfidence->SetValue(Staff->StartingConfidence->BoardConfidence);
        seFanConfidence->SetValue(Staff->StartingConfidence->FanConfidence);
    } else {
        seBoardConfidence->SetValue(0);
        seFanConfidence->SetValue(0);
    }
}

void TframePeople::ClearEntity() {
    for (QLineEdit* Edit : {edFirstName, edSecondName, edCommonName, edPictureID})
        Edit->clear();
    for (TframeSelectionSearch* Selector :
         {ssCityOfBirth, ssNation, ssSecondNation, ssClubContracted, ssCoOwnedBy, ssNationContracted, ssLoanClub,
          ssFutureClub, ssRefereeCity, ssRefereeDivision})
        Selector->SetSelected(nullptr);
    for (TPointerComboBox* Combo : {cmbSquadContracted, cmbLoanSquad, cmbInjury})
        Combo->Clear();
    cmbJob->Clear();
    framePeoplePreferences->LoadPerson(nullptr);
    framePlayingHistory->LoadPerson(nullptr);
    framePersonLanguages->LoadPerson(nullptr);
    LoadedClubTeam_ = LoadedNationalTeam_ = nullptr;
}

void TframePeople::SaveEntity(TPyxObject& Entity) {
    auto& P = static_cast<TPyxPerson&>(Entity);
    SaveGeneral(P);
    if (P.IsPlayer() || P.IsNonPlayer())
        SaveClubHalf(P);
    if (P.IsNonPlayer())
        SaveNationalHalf(P);
    SaveAttached(P);
    SaveAttributes(P);
    if (!P.IsOfficial()) {
        framePeoplePreferences->SaveRelationships();
        if (Histories())
            framePlayingHistory->SaveHistory();
    }
    framePersonLanguages->SaveLanguages();
    // The editor now shows the person as stored, and the next Confirm starts from there.
    LoadEntity(P);
    Navigator().RefreshClubSquads();
}

void TframePeople::SaveGeneral(TPyxPerson& P) {
    TPyxDatabase& Db = *Database();
    if (Changed(edFirstName))
        P.SetFirstName(Db.Names, edFirstName->text().toStdU16String());
    if (Changed(edSecondName))
        P.SetSecondName(Db.Names, edSecondName->text().toStdU16String());
    if (Changed(edCommonName))
        P.SetCommonName(Db.Names, edCommonName->text().toStdU16String());
    if (Changed(dtpDateOfBirth))
        P.DateOfBirth = PyxControls::FromQDate(dtpDateOfBirth->date());
    if (Changed(ssCityOfBirth))
        P.CityOfBirth = static_cast<TPyxCity*>(ssCityOfBirth->Selected());
    if (Changed(cmbPersonType) && SelectedType() > 0)
        P.SetPersonType(static_cast<uint8_t>(SelectedType()), Version());
    if (Changed(ssNation))
        P.SetNation(Db.Names, static_cast<TPyxNation*>(ssNation->Selected()));
    if (P.Player) {
        if (Changed(cbInternationalRetirement))
            P.SetInternationalRetirement(cbInternationalRetirement->isChecked());
        if (Changed(cbDeclaredForNation) || !HadPlayer_)
            P.Player->DeclaredForNation = cbDeclaredForNation->isChecked() ? 1 : 0;
    }
    if (Changed(ssSecondNation))
        P.SetSecondNation(static_cast<TPyxNation*>(ssSecondNation->Selected()));
    if (Changed(seApps))
        P.InternationalApps = static_cast<uint8_t>(seApps->Value());
    if (Changed(seGoals))
        P.InternationalGoals = static_cast<uint8_t>(seGoals->Value());
    if (Changed(seU21Apps))
        P.U21Apps = static_cast<uint8_t>(seU21Apps->Value());
    if (Changed(seU21Goals))
        P.U21Goals = static_cast<uint8_t>(seU21Goals->Value());
}

void TframePeople::SaveClubHalf(TPyxPerson& P) {
    const bool PostEdited = Bindings().AnyChanged({ssClubContracted, cmbSquadContracted, cmbJob});
    auto* Club = static_cast<TPyxClub*>(ssClubContracted->Selected());
    // Unedited, the post is the one loaded: a squad the list does not offer (a post without contract at a club
    // of several teams) is kept rather than moved to the first team. A type change may have ended the post; it
    // is then taken up again as shown.
    if (PostEdited || P.ClubTeam != LoadedClubTeam_ || P.ClubJob != LoadedClubJob_) {
        TPyxTeam* Team = LoadedClubTeam_;
        if (PostEdited) {
            if (cmbSquadContracted->count() >= 2)
                Team = cmbSquadContracted->GetSelectedAs<TPyxTeam>();
            else
                Team = FirstTeam(Club);
        }
        if (Club == nullptr)
            Team = nullptr;
        const int Job = Changed(cmbJob) ? cmbJob->GetSelected() : LoadedClubJob_;
        // One change: the person is filed at the new club under the new job only.
        P.SetClubPost(Team, static_cast<uint8_t>(Job < 0 ? 0 : Job));
    }
    if (Club != nullptr && P.ClubTeam != nullptr) {
        // A contract the post already had keeps what the user did not change, through a move too; a new one takes
        // every value shown.
        const bool NewPost = !HadClubContract_;
        if (Changed(dtpDateJoined))
            P.DateJoinedClub = PyxControls::FromQDate(dtpDateJoined->date());
        if (TPyxContract* C = P.Contracts.GetClubContract()) {
            if (NewPost || Changed(dtpContractStart))
                if (OwnEnabled(dtpContractStart) || Changed(dtpContractStart))
                    C->ContractStart = PyxControls::FromQDate(dtpContractStart->date());
            if (NewPost || Changed(dtpContractExpires))
                C->ContractExpires = PyxControls::FromQDate(dtpContractExpires->date());
            if (NewPost || Changed(seEstimatedWage))
                C->EstimatedWage = seEstimatedWage->Value();
            if (NewPost || Changed(seSquadNumber))
                C->SquadNumber = static_cast<uint8_t>(static_cast<int8_t>(seSquadNumber->Value()));
        }
    }
    if (P.Player) {
        if (Changed(ssCoOwnedBy))
            P.SetCoOwner(static_cast<TPyxClub*>(ssCoOwnedBy->Selected()), Version());
        if (TPyxContract* CoOwner = P.Contracts.GetCoOwnerContract())
            if (Changed(ssCoOwnedBy) || Changed(seEstimatedWage))
                CoOwner->EstimatedWage = seEstimatedWage->Value();
    }
}

void TframePeople::SaveNationalHalf(TPyxPerson& P) {
    const bool PostEdited = Bindings().AnyChanged({ssNationContracted, cmbNationJob});
    auto* Nation = static_cast<TPyxNation*>(ssNationContracted->Selected());
    if (PostEdited || P.NationalTeam != LoadedNationalTeam_ || P.NationalJob != LoadedNationalJob_) {
        TPyxTeam* Team = Changed(ssNationContracted) ? FirstTeam(Nation) : LoadedNationalTeam_;
        if (Nation == nullptr)
            Team = nullptr;
        const int Job = Changed(cmbNationJob) ? cmbNationJob->GetSelected() : LoadedNationalJob_;
        P.SetNationalPost(Team, static_cast<uint8_t>(Job < 0 ? 0 : Job));
    }
    if (Nation != nullptr && P.NationalTeam != nullptr) {
        const bool NewPost = !HadNationContract_;
        if (Changed(dtpDateJoinedNation))
            P.DateJoinedNation = PyxControls::FromQDate(dtpDateJoinedNation->date());
        if (TPyxContract* C = P.Contracts.GetNationContract()) {
            if (Changed(dtpContractStartNation) || (NewPost && OwnEnabled(dtpContractStartNation)))
                C->ContractStart = PyxControls::FromQDate(dtpContractStartNation->date());
            if (NewPost || Changed(dtpContractExpiresNation))
                C->ContractExpires = PyxControls::FromQDate(dtpContractExpiresNation->date());
        }
    }
}

void TframePeople::SaveAttached(TPyxPerson& P) {
    if (TPyxPlayer* Player = P.Player.get()) {
        const bool New = !HadPlayer_;
        // The loan: updated in place, so that what it holds beyond the controls stays; unedited it stays as it is.
        if (New || Bindings().AnyChanged({ssLoanClub, cmbLoanSquad, dtpLoanStart, dtpLoanEnd})) {
            auto* Club = static_cast<TPyxClub*>(ssLoanClub->Selected());
            if (Club == nullptr) {
                Player->SetLoan(nullptr);
            } else {
                const bool Fresh = !Player->Loan;
                if (Fresh) {
                    Player->SetLoan(std::make_unique<TPyxLoan>());
                    Player->Loan->Person = &P;
                }
                TPyxLoan& Loan = *Player->Loan;
                if (Fresh || Bindings().AnyChanged({ssLoanClub, cmbLoanSquad})) {
                    TPyxTeam* Squad = cmbLoanSquad->count() > 0 ? cmbLoanSquad->GetSelectedAs<TPyxTeam>() : nullptr;
                    Loan.Team = Squad != nullptr ? Squad : FirstTeam(Club);
                }
                if (Fresh || Changed(dtpLoanStart))
                    Loan.StartDate = PyxControls::FromQDate(dtpLoanStart->date());
                if (Fresh || Changed(dtpLoanEnd))
                    Loan.EndDate = PyxControls::FromQDate(dtpLoanEnd->date());
            }
        }
        if (New || Bindings().AnyChanged(
                       {ssFutureClub, dtpTransferDate, seTransferFee, seFutureWage, seFutureTransferContractYears})) {
            auto* Club = static_cast<TPyxClub*>(ssFutureClub->Selected());
            if (Club == nullptr) {
                Player->SetFutureTransfer(nullptr);
            } else {
                const bool Fresh = !Player->FutureTransfer;
                if (Fresh) {
                    Player->SetFutureTransfer(std::make_unique<TPyxFutureTransfer>());
                    Player->FutureTransfer->Person = &P;
                }
                TPyxFutureTransfer& F = *Player->FutureTransfer;
                if (Fresh || Changed(ssFutureClub))
                    F.Team = FirstTeam(Club);
                if (Fresh || Changed(dtpTransferDate))
                    F.TransferDate = PyxControls::FromQDate(dtpTransferDate->date());
                if (Fresh || Changed(seTransferFee))
                    F.TransferFee = seTransferFee->Value();
                if (Fresh || Changed(seFutureWage))
                    F.FutureWage = seFutureWage->Value();
                if (Fresh || Changed(seFutureTransferContractYears))
                    F.ContractYears = static_cast<uint8_t>(seFutureTransferContractYears->Value());
            }
        }
        if (New || Bindings().AnyChanged({cmbInjury, dtpInjuryStartDate, dtpInjuryEndDate})) {
            auto* Injury = cmbInjury->GetSelectedAs<TPyxInjury>();
            if (Injury == nullptr) {
                Player->SetStartingInjury(nullptr);
            } else {
                const bool Fresh = !Player->StartingInjury;
                if (Fresh) {
                    Player->SetStartingInjury(std::make_unique<TPyxStartingInjury>());
                    Player->StartingInjury->Person = &P;
                }
                TPyxStartingInjury& S = *Player->StartingInjury;
                S.Injury = Injury;
                if (Fresh || Changed(dtpInjuryStartDate))
                    S.StartDate = PyxControls::FromQDate(dtpInjuryStartDate->date());
                if (Fresh || Changed(dtpInjuryEndDate))
                    S.EndDate = PyxControls::FromQDate(dtpInjuryEndDate->date());
            }
        }
    }
    if (TPyxNonPlayer* Staff = P.NonPlayer.get()) {
        if (!HadStaff_ || Bindings().AnyChanged({seBoardConfidence, seFanConfidence})) {
            const int32_t Board = seBoardConfidence->Value();
            const int32_t Fans = seFanConfidence->Value();
            if (Board == 0 && Fans == 0) {
                Staff->SetStartingConfidence(nullptr);
            } else {
                if (!Staff->StartingConfidence) {
                    Staff->SetStartingConfidence(std::make_unique<TPyxStartingConfidence>());
                    Staff->StartingConfidence->Person = &P;
                }
                Staff->StartingConfidence->BoardConfidence = static_cast<int16_t>(Board);
                Staff->StartingConfidence->FanConfidence = static_cast<int16_t>(Fans);
            }
        }
    }
}

void TframePeople::PurgeEntity(const TGoneEntities& Gone) {
    framePeoplePreferences->Purge(Gone);
    framePlayingHistory->Purge(Gone);
    if (Gone.Has(LoadedClubTeam_))
        LoadedClubTeam_ = nullptr;
    if (Gone.Has(LoadedNationalTeam_))
        LoadedNationalTeam_ = nullptr;
    // A post, loan or future transfer is left when the club or nation it shows went, or when the user left it as
    // loaded and the data model ended it with the squad it named; the controls that follow it follow, as they do
    // when the user empties it. A squad the user picked that went leaves only the squad list (RefreshChoices).
    // Anything else the user typed stays.
    const TPyxPerson& P = *Current();
    const TPyxPlayer* Player = P.Player.get();
    const auto Ended = [&](const TframeSelectionSearch* Shown, std::initializer_list<const QWidget*> Post, bool Held) {
        return Gone.Has(Shown->Selected()) || (Shown->Selected() != nullptr && !Bindings().AnyChanged(Post) && !Held);
    };
    if (Ended(ssClubContracted, {ssClubContracted, cmbSquadContracted, cmbJob}, P.ClubTeam != nullptr)) {
        ssClubContracted->SetSelected(nullptr);
        ClubContractedChange();
    }
    if (Ended(ssNationContracted, {ssNationContracted, cmbNationJob}, P.NationalTeam != nullptr)) {
        ssNationContracted->SetSelected(nullptr);
        UpdateControlStates();
    }
    if (Ended(ssLoanClub, {ssLoanClub, cmbLoanSquad}, Player != nullptr && Player->Loan)) {
        ssLoanClub->SetSelected(nullptr);
        LoanClubChange();
    }
    if (Ended(ssFutureClub, {ssFutureClub}, Player != nullptr && Player->FutureTransfer)) {
        ssFutureClub->SetSelected(nullptr);
        UpdateControlStates();
    }
    if (Gone.Has(ssCoOwnedBy->Selected()))
        ssCoOwnedBy->SetSelected(nullptr);
}

void TframePeople::RefreshChoices() {
    // Squads added or deleted elsewhere appear in or leave the squad lists; each keeps the squad it shows.
    RefillSquads(cmbSquadContracted, &TframePeople::FillSquadContracted);
    RefillSquads(cmbLoanSquad, &TframePeople::FillLoanSquads);
    UpdateControlStates();
}

void TframePeople::RefillSquads(TPointerComboBox* Combo, void (TframePeople::*Fill)()) {
    const bool WasChanged = Changed(Combo);
    TPyxObject* Shown = Combo->GetSelected();
    (this->*Fill)();
    if (Shown != nullptr && Combo->IndexOf(Shown) >= 0)
        Combo->SetSelected(Shown);
    if (!WasChanged)
        Bindings().Remember(Combo);
}

void TframePeople::ClubContractedChange() {
    FillJobs();
    FillSquadContracted();
    UpdateControlStates();
}

void TframePeople::cmbJobChange() {
    FillSquadContracted();
    UpdateControlStates();
}

void TframePeople::NationContractedChange() {
    if (cmbNationJob->currentIndex() < 0)
        cmbNationJob->setCurrentIndex(1);
    UpdateControlStates();
}

void TframePeople::LoanClubChange() {
    FillLoanSquads();
    UpdateControlStates();
}

void TframePeople::FillJobs() {
    cmbJob->Clear();
    const int Type = SelectedType();
    if (Type < 0 || ssClubContracted->Selected() == nullptr)
        return;
    struct TJob {
        const char* Text;
        int32_t Code;
        int Type;
    };
    static constexpr TJob Jobs[] = {
        {"Player", 1, 2},
        {"Coach", 2, 1},
        {"Player / Coach", 3, 3},
        {"Chairman", 4, 1},
        {"Managing Director", 8, 1},
        {"Director Of Football", 10, 1},
        {"Physio", 12, 1},
        {"Scout", 14, 1},
        {"Manager", 16, 1},
        {"Player / Manager", 17, 3},
        {"Assistant Manager", 20, 1},
        {"Player / Assistant Manager", 21, 3},
        {"General Manager", 24, 1},
    };
    for (const TJob& Job : Jobs)
        if (Job.Type == Type)
            cmbJob->Add(Job.Text, Job.Code);
    const uint8_t Stored = Current() != nullptr ? Current()->ClubJob : 0;
    if (Stored != 0)
        cmbJob->SetSelected(Stored);
    if (cmbJob->currentIndex() < 0)
        cmbJob->setCurrentIndex(0);
}

void TframePeople::FillSquadContracted() {
    cmbSquadContracted->Clear();
    auto* Club = static_cast<TPyxClub*>(ssClubContracted->Selected());
    if (Club == nullptr || cmbJob->currentIndex() < 0 || !JobHasContract(static_cast<uint8_t>(cmbJob->GetSelected())) ||
        Club->Teams.Count() <= 1)
        return;
    for (TPyxTeam* Team : Club->Teams)
        cmbSquadContracted->Add(TPyxListModel::DisplayName(*Team), Team);
    if (Current() != nullptr && Current()->ClubTeam != nullptr)
        cmbSquadContracted->SetSelected(Current()->ClubTeam);
    if (cmbSquadContracted->currentIndex() < 0)
        cmbSquadContracted->setCurrentIndex(0);
}

void TframePeople::FillLoanSquads() {
    cmbLoanSquad->Clear();
    auto* Club = static_cast<TPyxClub*>(ssLoanClub->Selected());
    if (Club == nullptr || SelectedType() != TPyxPerson::ptPlayer || Club->Teams.Count() <= 1)
        return;
    for (TPyxTeam* Team : Club->Teams)
        cmbLoanSquad->Add(TPyxListModel::DisplayName(*Team), Team);
    const TPyxPerson* P = Current();
    if (P != nullptr && P->Player && P->Player->Loan)
        cmbLoanSquad->SetSelected(P->Player->Loan->Team);
    if (cmbLoanSquad->currentIndex() < 0)
        cmbLoanSquad->setCurrentIndex(0);
}

QTabWidget* TframePeople::TabsOf(const QWidget* Page) const {
    if (pcContract->indexOf(const_cast<QWidget*>(Page)) >= 0)
        return pcContract;
    if (pcHistory->indexOf(const_cast<QWidget*>(Page)) >= 0)
        return pcHistory;
    return Pages();
}

bool TframePeople::TabShown(const QWidget* Page) const {
    QTabWidget* Tabs = TabsOf(Page);
    const int Index = Tabs->indexOf(const_cast<QWidget*>(Page));
    return Index >= 0 && Tabs->isTabVisible(Index);
}

void TframePeople::SetTabShown(QWidget* Page, bool Shown) {
    QTabWidget* Tabs = TabsOf(Page);
    const int Index = Tabs->indexOf(Page);
    if (Index >= 0 && Tabs->isTabVisible(Index) != Shown)
        Tabs->setTabVisible(Index, Shown);
}

bool TframePeople::ShownFor(const QWidget* Page, int T) const {
    const bool Player = HasBit(T, 2), Staff = HasBit(T, 1), NotOfficial = T != TPyxPerson::ptOfficial;
    if (Page == tsContract || Page == tsMental || Page == tsPreferences)
        return NotOfficial;
    if (Page == tsLoanContract || Page == tsFutureTransfer || Page == tsStartingInjury || Page == tsAbility ||
        Page == tsTechnical || Page == tsMentalPhysical || Page == tsCareerStats)
        return Player;
    if (Page == tsNonPlayer || Page == tsCoaching)
        return Staff;
    if (Page == tsReferee)
        return T == TPyxPerson::ptOfficial;
    if (Page == tsHistory)
        return NotOfficial && Histories();
    if (Page == tsPlayingHistory)
        return Histories();
    if (Page == tsStartingConfidence) {
        const int Job = cmbJob->GetSelected(), NationJob = cmbNationJob->GetSelected();
        return Staff && (Job == 16 || Job == 17 || NationJob == 16);
    }
    return true;
}

void TframePeople::UpdateControlStates() {
    const int T = SelectedType();
    const bool Player = HasBit(T, 2), Staff = HasBit(T, 1);
    const bool Later = Version() > 144;
    // 1.
    cbDeclaredForNation->setEnabled(Player);
    cbInternationalRetirement->setEnabled(Player);
    if (!Player) {
        cbDeclaredForNation->setChecked(false);
        cbInternationalRetirement->setChecked(false);
    }
    // 2. and 8.
    for (QWidget* Page : {tsContract, tsLoanContract, tsFutureTransfer, tsStartingInjury, tsStartingConfidence,
                          tsMental, tsPreferences, tsAbility, tsTechnical, tsMentalPhysical, tsCareerStats, tsNonPlayer,
                          tsCoaching, tsReferee, tsHistory, tsPlayingHistory})
        SetTabShown(Page, ShownFor(Page, T));
    ShownType_ = T;
    // 3. The club half.
    cmbSquadContracted->setEnabled(cmbSquadContracted->count() > 0);
    const bool Club = ssClubContracted->Selected() != nullptr;
    cmbJob->setEnabled(Club);
    dtpDateJoined->setEnabled(Club);
    if (!Club)
        dtpDateJoined->setDate(NoDate);
    const bool Contract =
        Club && cmbJob->currentIndex() >= 0 && JobHasContract(static_cast<uint8_t>(cmbJob->GetSelected()));
    dtpContractExpires->setEnabled(Contract);
    dtpContractStart->setEnabled(Contract && Later);
    seEstimatedWage->setEnabled(Contract);
    seSquadNumber->setEnabled(Contract && Player);
    if (!Contract) {
        dtpContractStart->setDate(NoDate);
        dtpContractExpires->setDate(NoDate);
        seEstimatedWage->SetValue(0);
        seSquadNumber->SetValue(-1);
    } else if (!ClubContractShown_ && !Loading_ && Current() != nullptr) {
        // The period comes back (the user stepped through a job without contract with the arrow keys): it shows
        // the person's contract again rather than the reset values.
        if (const TPyxContract* C = Current()->Contracts.GetClubContract()) {
            SetDate(dtpContractStart, C->ContractStart);
            SetDate(dtpContractExpires, C->ContractExpires);
            seEstimatedWage->SetValue(C->EstimatedWage);
            seSquadNumber->SetValue(static_cast<int8_t>(C->SquadNumber));
        }
    }
    ClubContractShown_ = Contract;
    const bool CoOwner = Later && T == TPyxPerson::ptPlayer && Club;
    ssCoOwnedBy->setEnabled(CoOwner);
    if (!CoOwner)
        ssCoOwnedBy->SetSelected(nullptr);
    // 4. The national half.
    ssNationContracted->setEnabled(Staff);
    const bool Nation = ssNationContracted->Selected() != nullptr && Staff;
    cmbNationJob->setEnabled(Nation);
    dtpDateJoinedNation->setEnabled(Nation);
    if (!Nation) {
        cmbNationJob->SetSelected(-1);
        dtpDateJoinedNation->setDate(NoDate);
    }
    const bool NationContract = Nation && JobHasContract(static_cast<uint8_t>(cmbNationJob->GetSelected()));
    dtpContractExpiresNation->setEnabled(NationContract);
    dtpContractStartNation->setEnabled(NationContract && Later);
    if (!NationContract) {
        dtpContractExpiresNation->setDate(NoDate);
    } else if (!NationContractShown_ && !Loading_ && Current() != nullptr) {
        if (const TPyxContract* C = Current()->Contracts.GetNationContract()) {
            SetDate(dtpContractStartNation, C->ContractStart);
            SetDate(dtpContractExpiresNation, C->ContractExpires);
        }
    }
    NationContractShown_ = NationContract;
    if (!(NationContract && Later))
        dtpContractStartNation->setDate(NoDate);
    // 5. Loan.
    cmbLoanSquad->setEnabled(cmbLoanSquad->count() > 0);
    const bool Loan = ssLoanClub->Selected() != nullptr;
    dtpLoanStart->setEnabled(Loan);
    dtpLoanEnd->setEnabled(Loan);
    if (!Loan) {
        dtpLoanStart->setDate(NoDate);
        dtpLoanEnd->setDate(NoDate);
    }
    // 6. Future transfer.
    const bool Future = ssFutureClub->Selected() != nullptr;
    for (QWidget* Control :
         std::initializer_list<QWidget*>{dtpTransferDate, seTransferFee, seFutureWage, seFutureTransferContractYears})
        Control->setEnabled(Future);
    if (!Future) {
        dtpTransferDate->setDate(NoDate);
        seTransferFee->SetValue(0);
        seFutureWage->SetValue(0);
        seFutureTransferContractYears->SetValue(1);
    }
    // 7. Starting injury.
    const bool Injury = cmbInjury->GetSelected() != nullptr;
    dtpInjuryStartDate->setEnabled(Injury);
    dtpInjuryEndDate->setEnabled(Injury);
    if (!Injury) {
        dtpInjuryStartDate->setDate(NoDate);
        dtpInjuryEndDate->setDate(NoDate);
    }
    // 9. Career statistics count only on their page.
    if (!(Player && cbCareerStats->isChecked()))
        for (TSpinEdit* Spin : CareerSpins_)
            Spin->SetValue(0);
    // 10. Every label as the control it names.
    for (QLabel* Label : findChildren<QLabel*>())
        if (Label->buddy() != nullptr)
            Label->setEnabled(OwnEnabled(Label->buddy()));
}

void TframePeople::cmbPersonTypeChange() {
    const int T = SelectedType();
    ResetForType(T, ShownType_);
    FillJobs();
    FillSquadContracted();
    UpdateControlStates();
    if (T == TPyxPerson::ptOfficial)
        ssClubContracted->SetSelected(nullptr);
}

void TframePeople::ResetForType(int T, int Previous) {
    const auto Appears = [&](const QWidget* Page) { return !ShownFor(Page, Previous) && ShownFor(Page, T); };
    // A tab that comes back for a part the person has (the user went through other types with the arrow keys)
    // shows the person's values again rather than zeros, so that passing a type on the way loses nothing.
    const TPyxPerson* P = Current();
    if (Appears(tsContract) && P != nullptr && !P->IsOfficial()) {
        LoadContract(*P, T);
    } else if (Appears(tsContract)) {
        for (TframeSelectionSearch* Selector : {ssClubContracted, ssNationContracted, ssCoOwnedBy})
            Selector->SetSelected(nullptr);
        cmbSquadContracted->setCurrentIndex(-1);
        for (QDateEdit* Date : {dtpDateJoined, dtpContractStart, dtpContractExpires, dtpDateJoinedNation,
                                dtpContractStartNation, dtpContractExpiresNation})
            Date->setDate(NoDate);
        seSquadNumber->SetValue(-1);
        if (T == TPyxPerson::ptPlayer) {
            ssLoanClub->SetSelected(nullptr);
            ssFutureClub->SetSelected(nullptr);
            cmbLoanSquad->setCurrentIndex(-1);
            for (QDateEdit* Date : {dtpLoanStart, dtpLoanEnd, dtpTransferDate})
                Date->setDate(NoDate);
            seFutureTransferContractYears->SetValue(1);
        }
    }
    for (QWidget* Page : {tsMental, tsAbility, tsTechnical, tsMentalPhysical, tsNonPlayer, tsCoaching, tsReferee})
        if (Appears(Page)) {
            if (P != nullptr && HasPart(*P, PartOf(Page)))
                LoadAttributes(*P, Page);
            else
                ResetAttributes(Page);
        }
    const bool Kept = P != nullptr && !P->IsOfficial();
    if (Appears(tsPreferences))
        Kept ? framePeoplePreferences->LoadPerson(Current()) : framePeoplePreferences->ClearAll();
    if (Appears(tsHistory)) {
        if (Kept && Histories())
            framePlayingHistory->LoadPerson(Current());
        else
            framePlayingHistory->ClearList();
    }
    if (Appears(tsCareerStats) && T == TPyxPerson::ptPlayer) {
        if (P != nullptr && P->Player)
            LoadAttributes(*P, tsCareerStats);
        else
            cbCareerStats->setChecked(false);
    }
}
