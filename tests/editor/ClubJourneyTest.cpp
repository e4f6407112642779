// The clubs tab: a club added with its first squad, edited on every page (names in every language, nation,
// finances, kits, preferences), squads added (with their companion clubs named on Confirm) and deleted, squad pages
// edited (general data, stadium move and capacity change, budget and loans), saved, reloaded and walked for
// dangling references; a Confirm without edits keeps what the controls cannot show and rebuilds no record; the
// one-byte-counted lists refuse an Add at their limit; deleting a club or a squad while other tabs show its clubs
// purges them everywhere and deletes the club that was current; the player list's orders and hint.

#include "EditorHarness.h"
#include "EditorTestMain.h"
#include "FrameDriving.h"

#include "ColorPicking.h"
#include "EditPreference.h"
#include "IntegerComboBox.h"
#include "PointerComboBox.h"
#include "PointerListBox.h"
#include "PyxColorBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "ReferenceWalk.h"
#include "SpinEdit.h"
#include "frameClubPreferencesUnit.h"
#include "frameClubUnit.h"
#include "frameCompetitionUnit.h"
#include "frameKitColorUnit.h"
#include "frameMediaUnit.h"
#include "framePeopleUnit.h"
#include "frameSelectionSearchUnit.h"
#include "frameSquadUnit.h"
#include "frameTeamFinancesUnit.h"
#include "frmMainUnit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace {

const QStringList ClubNames = {"Harbour Athletic \u00c6", "Athl\u00e9tique du Port", "Hafen Athletik"};
const QStringList ShortNames = {"Harbour", "Port", "Hafen"};

using eh::U16;

QString Join(const std::vector<std::string>& Lines) {
    QString Text;
    for (const std::string& Line : Lines)
        Text += QString::fromStdString(Line) + "\n";
    return Text;
}

// Adds an entry through the preference dialog Button opens: Target is listed and focused, the amount typed;
// returns the dialog's caption.
QString AddPreference(eh::TModalDriver& Driver, QPushButton* Button, TPyxObject* Target, int Amount) {
    QString Caption;
    Driver.Expect([&](QWidget* Dialog) {
        auto* Preference = qobject_cast<TEditPreference*>(Dialog);
        Caption = Preference->windowTitle();
        Preference->SetEntry(Target, Amount);
        Preference->btnOK->click();
    });
    Button->click();
    Driver.Withdraw();
    return Caption;
}

// The main window active again after a dialog closed, so that its controls take the focus.
void Activate(QWidget& Frame) {
    QWidget* Window = Frame.window();
    Window->activateWindow();
    QApplication::setActiveWindow(Window);
}

// Makes Squad's page Page current (the controls on it take focus as a user's would).
TframeSquad* ShowSquad(TframeClub& Clubs, int Index, const char* Page) {
    Activate(Clubs);
    Clubs.Pages()->setCurrentWidget(Clubs.tsSquads);
    Clubs.pcSquads->setCurrentIndex(Index);
    TframeSquad* Squad = Clubs.Squad(Index);
    Squad->pcSquad->setCurrentWidget(eh::Find<QWidget>(Squad, Page));
    return Squad;
}

void ShowPage(TframeClub& Clubs, const char* Page) {
    Activate(Clubs);
    Clubs.Pages()->setCurrentWidget(eh::Find<QWidget>(&Clubs, Page));
}

using eh::FirstOf;

std::unique_ptr<TPyxDatabase> Reload(const QString& Path) {
    auto Database = std::make_unique<TPyxDatabase>();
    Database->LoadAllLanguages = true;
    Database->LoadPlayingHistories = true;
    Database->Load(Path.toStdString());
    return Database;
}

QStringList ItemTexts(const QListWidget* List) {
    QStringList Texts;
    for (int I = 0; I < List->count(); ++I)
        Texts.push_back(List->item(I)->text());
    return Texts;
}

} // namespace

class ClubJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void AClubIsAddedEditedGivenSquadsSavedAndReloaded();
    void AConfirmWithoutEditsKeepsWhatItCannotShowAndRebuildsNothing();
    void ListsCountedInOneByteRefuseAnAddAtTheirLimit();
    void DeletingClubsAndSquadsPurgesEveryTabAndDeletesTheCurrentClub();
    void ThePlayerListSortsAndHintsAndTheLinksNavigate();
    void WithoutAllLanguagesNothingIsAddedAndNoCompanionRenamed();
    // Not a check: with PYX_SCREENSHOT_DIR set, saves a picture of the main window on every page of the clubs tab
    // and of a squad page, for a person to look at. Under Xvfb, as PeopleJourneyTest's pictures: xvfb-run -a -s
    // "-screen 0 1920x1200x24" env QT_QPA_PLATFORM=xcb PYX_SCREENSHOT_DIR=DIR ClubJourneyTest PicturesOfEveryPage.
    void PicturesOfEveryPage();
};

void ClubJourneyTest::AClubIsAddedEditedGivenSquadsSavedAndReloaded() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 3});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    QVERIFY(Clubs != nullptr);
    QVERIFY(Main.Sheet(TTab::Clubs)->isEnabled());
    const int32_t ClubsBefore = Db.Clubs.Count(), TeamsBefore = Db.Teams.Count();
    const int32_t PeopleBefore = Db.People.Count(), StadiumsBefore = Db.Stadiums.Count();

    // Add->Club: a club with one squad sharing its UniqueID, listed, focused, one squad page.
    QVERIFY(Main.mnuAddClub->isEnabled());
    Main.mnuAddClub->trigger();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Clubs));
    TPyxClub* Club = Clubs->Current();
    QVERIFY(Club != nullptr);
    QCOMPARE(Db.Clubs.Count(), ClubsBefore + 1);
    QCOMPARE(Db.Teams.Count(), TeamsBefore + 1);
    QCOMPARE(Club->Teams.Count(), 1);
    QCOMPARE(Club->Teams.Items(0)->UniqueID, Club->UniqueID);
    QCOMPARE(Clubs->edPictureID->text(), QString::number(Club->UniqueID));
    QCOMPARE(Clubs->SquadCount(), 1);
    QVERIFY(Clubs->Pages()->indexOf(Clubs->tsSquads) >= 0);
    QVERIFY(Clubs->Pages()->isEnabled());
    const int32_t ClubKey = Club->UniqueID;

    // General page: names in every language, nation, picture ID.
    ShowPage(*Clubs, "tsGeneral");
    QCOMPARE(eh::EditNames(Driver, eh::Find<QToolButton>(Clubs, "btnClubName"), ClubNames),
             (QStringList{"Edit Club Name", "English", "French", "German"}));
    QCOMPARE(eh::EditNames(Driver, eh::Find<QToolButton>(Clubs, "btnShortClubName"), ShortNames).front(),
             QString("Edit Short Club Name"));
    QCOMPARE(eh::EditNames(Driver, eh::Find<QToolButton>(Clubs, "btnNickname1"), {"The Gulls"}).front(),
             QString("Edit Nickame 1"));
    QCOMPARE(Clubs->edClubName->text(), ClubNames[0]);
    TPyxNation* Nation = Db.Nations.Items(2);
    const int32_t NationClubs = Nation->ClubCount;
    QCOMPARE(eh::PickInSelector(Driver, Clubs->ssNation, Nation), QString("Find Nation\nNation is unspecified"));

    // Finances, kits, preferences.
    ShowPage(*Clubs, "tsFinances");
    eh::TypeInto(Clubs->seBalance, "-1500000");
    eh::PickItem(Clubs->cmbProfessionalStatus, "Semi Professional");
    eh::ClickCheckBox(Clubs->cbPublicLimitedCompany);
    eh::TypeInto(Clubs->seMaximumAttendance, "45000");
    eh::TypeInto(Clubs->seTraining, "25");
    QCOMPARE(Clubs->seTraining->Value(), 20);
    ShowPage(*Clubs, "tsColours");
    eh::ClickCheckBox(Clubs->frameKitColor->cbMainKit);
    eh::PickColor(*Clubs->frameKitColor->Box(0, TframeKitColor::Major), eh::NamedColorIndex("Gold"));
    ShowPage(*Clubs, "tsPreferences");
    TframeClubPreferences* Preferences = Clubs->frameClubPreferences;
    TPyxPerson* Favourite = Db.People.Items(5);
    TPyxPerson* Disliked = Db.People.Items(6);
    TPyxClub* Rival = Db.Clubs.Items(0);
    QCOMPARE(AddPreference(Driver, Preferences->btnAddFavouriteStaff, Favourite, 80), QString("Add Favourite Staff"));
    QCOMPARE(AddPreference(Driver, Preferences->btnAddDislikedStaff, Disliked, 40), QString("Add Disliked Staff"));
    QCOMPARE(AddPreference(Driver, Preferences->btnAddRival, Rival, 100), QString("Add Disliked Club"));
    QCOMPARE(Preferences->lboxRivals->item(0)->text(), TPyxListModel::DisplayName(*Rival));
    Clubs->btnConfirmChangesClick();

    QCOMPARE(Club->Name, U16(ClubNames[0]));
    QCOMPARE(Club->Lang(0)->Name, U16(ClubNames[1]));
    QCOMPARE(Club->Lang(1)->ShortName, U16(ShortNames[2]));
    QCOMPARE(Club->Nickname1, std::u16string(u"The Gulls"));
    QCOMPARE(Club->Nation, Nation);
    QCOMPARE(Nation->ClubCount, NationClubs + 1);
    QCOMPARE(Club->Balance, -1500000);
    QCOMPARE(Club->ProfessionalStatus, uint8_t(2));
    QCOMPARE(Club->PublicLimitedCompany, uint8_t(1));
    QCOMPARE(Club->MaximumAttendance, 45000);
    QCOMPARE(Club->Training, uint8_t(20));
    QCOMPARE(Club->Kits.Count(), 1);
    QCOMPARE(Club->Relationships.Count(), 3);
    QCOMPARE(Club->Relationships.Items(0)->Target, static_cast<TPyxObject*>(Favourite));
    QCOMPARE(Club->Relationships.Items(0)->Kind, uint8_t(1));
    QCOMPARE(Club->Relationships.Items(0)->TargetType, uint8_t(TPyxRelationship::ttPerson));
    QCOMPARE(Club->Relationships.Items(0)->Amount, uint8_t(80));
    QCOMPARE(Club->Relationships.Items(2)->Kind, uint8_t(5));
    QCOMPARE(Club->Relationships.Items(2)->TargetType, uint8_t(TPyxRelationship::ttClub));

    // Editing a rival opens the dialog in club mode, not favourite.
    Preferences->lboxRivals->setCurrentRow(0);
    QString Caption;
    Driver.Expect([&](QWidget* Dialog) {
        auto* Preference = qobject_cast<TEditPreference*>(Dialog);
        Caption = Preference->windowTitle() + (Preference->IsStaff ? " staff" : " club") +
                  (Preference->IsFavourite ? " favourite" : "");
        Preference->SetEntry(Db.Clubs.Items(1), 60);
        Preference->btnOK->click();
    });
    Preferences->btnEditRival->click();
    QCOMPARE(Caption, QString("Edit Disliked Club club"));
    QCOMPARE(Preferences->lboxRivals->item(0)->text(), TPyxListModel::DisplayName(*Db.Clubs.Items(1)));

    // Add Squad: a B team with a companion club that has no names until the club is confirmed.
    Clubs->UpdatePopupItems();
    QVERIFY(Clubs->mnuiAddSquad->isEnabled());
    QVERIFY(!Clubs->mnuiDeleteLastSquad->isEnabled());
    Clubs->mnuiAddSquad->trigger();
    QCOMPARE(Club->Teams.Count(), 2);
    QCOMPARE(Clubs->SquadCount(), 2);
    TPyxTeam* First = Club->Teams.Items(0);
    TPyxTeam* Second = Club->Teams.Items(1);
    QCOMPARE(Second->SquadType, uint8_t(3));
    QCOMPARE(Second->Container, static_cast<TPyxTeamContainer*>(Club));
    TPyxClub* Companion = Db.Clubs.FindByUniqueID(Second->UniqueID);
    QVERIFY(Companion != nullptr && Companion != Club);
    QVERIFY(Companion->Name.empty());
    // The unconfirmed rival edit went with the reload, as Cancel drops it.
    QCOMPARE(Club->Relationships.Items(2)->Target, static_cast<TPyxObject*>(Rival));
    Clubs->btnConfirmChangesClick();
    QCOMPARE(Companion->Name, U16(ClubNames[0]) + u" B");
    QCOMPARE(Companion->ShortName, U16(ShortNames[0]) + u" B");
    QCOMPARE(Companion->Lang(1)->Name, U16(ClubNames[2]) + u" B");
    QCOMPARE(Clubs->pcSquads->tabText(1), TPyxListModel::DisplayName(*Second).replace('&', "&&"));

    // The first squad's general page, stadium move, capacity change and finances.
    TframeSquad* Squad = ShowSquad(*Clubs, 0, "tsGeneral");
    eh::TypeInto(Squad->seReputation, "1234");
    QCOMPARE(Squad->seReputation->Value(), 1000);
    eh::PickItem(Squad->cmbHomeMatchDay, "Saturday");
    eh::TypeInto(Squad->seContinentalSeeding, "3");
    TPyxCompetition* Division = Db.Competitions.Items(0);
    QCOMPARE(eh::PickInSelector(Driver, Squad->ssDivision, Division),
             QString("Find Division\nSquad isn't in any division"));
    ShowSquad(*Clubs, 0, "tsStadium");
    QCOMPARE(Squad->dtpLeaveDateMove->date(), QDate(1900, 1, 1));
    QCOMPARE(Squad->dtpStartDateMove->date(), QDate(1900, 1, 1));
    TPyxStadium* Home = Db.Stadiums.Items(0);
    TPyxStadium* NewHome = Db.Stadiums.Items(1);
    eh::PickInSelector(Driver, Squad->ssStadium, Home);
    QCOMPARE(eh::PickInSelector(Driver, Squad->ssNewStadium, NewHome),
             QString("Find New Stadium\nSquad has no new stadium"));
    Squad->dtpStartDateMove->setDate(QDate(2027, 7, 1));
    eh::TypeInto(Squad->seNewCapacity, "25250");
    QCOMPARE(Squad->seNewCapacity->Value(), 25250);
    Squad->dtpStartDateCapacity->setDate(QDate(2028, 3, 31));
    ShowSquad(*Clubs, 0, "tsFinances");
    TframeTeamFinances* Finances = Squad->frameTeamFinances;
    QCOMPARE(Finances->seTransferBudget->Value(), -1);
    eh::TypeInto(Finances->seTransferBudget, "750000");
    Finances->btnAdd->click();
    Finances->btnAdd->click();
    QCOMPARE(Finances->lboxLoans->count(), 2);
    QCOMPARE(Finances->lboxLoans->item(0)->text(), QString("Bank\t1 \u00a3"));
    QVERIFY(!Finances->pnlLoan->isEnabled());
    Finances->lboxLoans->setCurrentRow(0);
    QVERIFY(Finances->pnlLoan->isEnabled());
    eh::TypeInto(Finances->seAmount, "5000");
    eh::TypeInto(Finances->seMonthlyPayments, "24");
    eh::PickItem(Finances->cmbLoanSource, "Chairman");
    Finances->btnOK->click();
    QCOMPARE(Finances->lboxLoans->item(0)->text(), QString("Chairman\t5000 \u00a3"));
    Finances->lboxLoans->setCurrentRow(1);
    Finances->btnDelete->click();
    // Nothing reaches the team before Confirm.
    QVERIFY(First->ClubDebts.Count() == 0 && !First->ClubDebt);
    // The second squad becomes an under-21 team: its companion follows on Confirm.
    TframeSquad* Reserves = ShowSquad(*Clubs, 1, "tsGeneral");
    eh::PickItem(Reserves->cmbTeamType, "U21 Team");
    Clubs->btnConfirmChangesClick();

    QCOMPARE(First->Reputation, int16_t(1000));
    QCOMPARE(First->HomeMatchDay, uint8_t(7));
    QCOMPARE(First->ContinentalSeeding, uint8_t(3));
    QCOMPARE(First->Division, Division);
    QCOMPARE(First->Stadium, Home);
    QVERIFY(First->StadiumMove != nullptr);
    QCOMPARE(First->StadiumMove->NewStadium, NewHome);
    QCOMPARE(First->StadiumMove->Stadium, Home);
    QCOMPARE(First->StadiumMove->NewCapacity, -1);
    QCOMPARE(PyxControls::ToQDate(First->StadiumMove->StartDate), QDate(2027, 7, 1));
    QVERIFY(First->CapacityChange != nullptr);
    QCOMPARE(First->CapacityChange->NewCapacity, 25250);
    QCOMPARE(PyxControls::ToQDate(First->CapacityChange->LeaveDate), QDate(2000, 1, 1));
    QCOMPARE(PyxControls::ToQDate(First->CapacityChange->StartDate), QDate(2028, 3, 31));
    QCOMPARE(First->CapacityChange->AlternativeStadium, Home);
    QVERIFY(First->ClubDebt != nullptr);
    QCOMPARE(First->ClubDebt->TransferBudget, 750000);
    QCOMPARE(First->ClubDebts.Count(), 1);
    QCOMPARE(First->ClubDebts.Items(0)->Kind, uint8_t(2));
    QCOMPARE(First->ClubDebts.Items(0)->Amount, 5000);
    QCOMPARE(First->ClubDebts.Items(0)->MonthlyPaymentsLeft, int16_t(24));
    QCOMPARE(Second->SquadType, uint8_t(10));
    QCOMPARE(Companion->Name, U16(ClubNames[0]) + u" U21");
    QCOMPARE(Companion->Lang(0)->ShortName, U16(ShortNames[1]) + u" U21");

    // A third squad, then "Delete Last Squad" takes it and its companion.
    Clubs->mnuiAddSquad->trigger();
    QCOMPARE(Club->Teams.Count(), 3);
    const int32_t ThirdKey = Club->Teams.Items(2)->UniqueID;
    Clubs->UpdatePopupItems();
    QVERIFY(Clubs->mnuiDeleteLastSquad->isEnabled());
    Clubs->mnuiDeleteLastSquad->trigger();
    QCOMPARE(Club->Teams.Count(), 2);
    QCOMPARE(Clubs->SquadCount(), 2);
    QCOMPARE(Db.Clubs.FindByUniqueID(ThirdKey), nullptr);
    QCOMPARE(Db.Teams.FindByUniqueID(ThirdKey), nullptr);
    QCOMPARE(Clubs->Squad(0)->Team(), First);

    Editor.SaveData();
    std::unique_ptr<TPyxDatabase> Reloaded = Reload(World.Path());
    QCOMPARE(Join(rw::Problems(*Reloaded)), QString());
    TPyxClub* Saved = Reloaded->Clubs.FindByUniqueID(ClubKey);
    QVERIFY(Saved != nullptr);
    QCOMPARE(Saved->Name, U16(ClubNames[0]));
    QCOMPARE(Saved->Lang(1)->Name, U16(ClubNames[2]));
    QCOMPARE(Saved->Nation->UniqueID, Nation->UniqueID);
    QCOMPARE(Saved->Balance, -1500000);
    QCOMPARE(Saved->Kits.Count(), 1);
    QCOMPARE(Saved->Relationships.Count(), 3);
    QCOMPARE(Saved->Teams.Count(), 2);
    TPyxTeam* SavedFirst = Saved->Teams.Items(0);
    QCOMPARE(SavedFirst->UniqueID, ClubKey);
    QCOMPARE(SavedFirst->Reputation, int16_t(1000));
    QVERIFY(SavedFirst->StadiumMove && SavedFirst->StadiumMove->NewStadium);
    QCOMPARE(SavedFirst->StadiumMove->NewStadium->UniqueID, NewHome->UniqueID);
    QVERIFY(SavedFirst->CapacityChange != nullptr);
    QCOMPARE(SavedFirst->CapacityChange->NewCapacity, 25250);
    QVERIFY(SavedFirst->ClubDebt != nullptr);
    QCOMPARE(SavedFirst->ClubDebt->TransferBudget, 750000);
    QCOMPARE(SavedFirst->ClubDebts.Count(), 1);
    QCOMPARE(SavedFirst->ClubDebts.Items(0)->Kind, uint8_t(2));
    QCOMPARE(Saved->Teams.Items(1)->SquadType, uint8_t(10));
    QCOMPARE(Reloaded->Clubs.FindByUniqueID(Saved->Teams.Items(1)->UniqueID)->Name, U16(ClubNames[0]) + u" U21");
    // Nothing unrelated was lost: one club and one companion more, their two teams, every person and stadium.
    QCOMPARE(Reloaded->Clubs.Count(), ClubsBefore + 2);
    QCOMPARE(Reloaded->Teams.Count(), TeamsBefore + 2);
    QCOMPARE(Reloaded->People.Count(), PeopleBefore);
    QCOMPARE(Reloaded->Stadiums.Count(), StadiumsBefore);
    QCOMPARE(Driver.Unexpected(), QStringList());
}

void ClubJourneyTest::AConfirmWithoutEditsKeepsWhatItCannotShowAndRebuildsNothing() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TPyxDatabase& Db = Editor.Main().Database();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    TPyxClub* Club = FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() >= 2; });
    QVERIFY(Club != nullptr);
    TPyxTeam* First = Club->Teams.Items(0);
    TPyxTeam* Second = Club->Teams.Items(1);
    TPyxClub* Companion = Db.Clubs.FindByUniqueID(Second->UniqueID);
    QVERIFY(Companion != nullptr);

    // What the controls cannot show or the frame does not edit: a squad type the combo lacks (Reserves), a
    // companion named otherwise, relationships of kinds the page does not list, and records with odd dates.
    Second->SquadType = 1;
    Companion->Name = u"Harbour Second String";
    Club->Relationships.Clear();
    Club->Relationships.Add(eh::Relationship(TPyxRelationship::ttClub, 3, Db.Clubs.Items(0)));
    Club->Relationships.Add(eh::Relationship(TPyxRelationship::ttPerson, 1, Db.People.Items(0)));
    Club->Relationships.Add(eh::Relationship(TPyxRelationship::ttClub, 4, Db.Clubs.Items(1)));
    Club->Relationships.Add(eh::Relationship(TPyxRelationship::ttNation, 6, Db.Nations.Items(0)));
    Club->Relationships.Add(eh::Relationship(TPyxRelationship::ttNation, 9, Db.Nations.Items(1)));
    auto Move = std::make_unique<TPyxStadiumMove>();
    Move->NewStadium = Db.Stadiums.Items(2);
    Move->LeaveDate.Year = 0;
    Move->LeaveDate.DayOfYear = 400;
    Move->NewCapacity = 7;
    Move->UniqueID = 4242;
    First->SetStadiumMove(std::move(Move));
    auto Change = std::make_unique<TPyxStadiumMove>();
    Change->NewCapacity = 30000;
    Change->StartDate.DayOfYear = -3;
    Change->StartDate.Year = 2031;
    First->SetCapacityChange(std::move(Change));
    auto Budget = std::make_unique<TPyxClubDebt>();
    Budget->TransferBudget = 1234;
    Budget->UniqueID = 77;
    First->SetClubDebt(std::move(Budget));
    auto Loan = std::make_unique<TPyxClubDebt>();
    Loan->Amount = 999;
    Loan->MonthlyPaymentsLeft = 3;
    Loan->Kind = 2;
    Loan->UniqueID = 88;
    First->AddLoan(std::move(Loan));
    const TPyxStadiumMove* MoveBefore = First->StadiumMove.get();
    const TPyxStadiumMove* ChangeBefore = First->CapacityChange.get();
    const TPyxClubDebt* BudgetBefore = First->ClubDebt.get();
    const TPyxClubDebt* LoanBefore = First->ClubDebts.Items(0);

    eh::ShowAllAndFocus(*Clubs, Club);
    QCOMPARE(Clubs->Current(), Club);
    QCOMPARE(Clubs->SquadCount(), Club->Teams.Count());
    QCOMPARE(Clubs->frameClubPreferences->lboxFavouriteStaff->count(), 1);
    QCOMPARE(Clubs->Squad(1)->cmbTeamType->currentIndex(), -1);
    Clubs->btnConfirmChangesClick();
    Clubs->btnConfirmChangesClick();
    QCOMPARE(Second->SquadType, uint8_t(1));
    QCOMPARE(Companion->Name, std::u16string(u"Harbour Second String"));
    QCOMPARE(Club->Relationships.Count(), 5);
    QCOMPARE(Club->Relationships.Items(0)->Kind, uint8_t(3));
    QCOMPARE(Club->Relationships.Items(1)->Kind, uint8_t(1));
    QCOMPARE(First->StadiumMove.get(), MoveBefore);
    QCOMPARE(First->StadiumMove->UniqueID, 4242);
    QCOMPARE(First->StadiumMove->LeaveDate.DayOfYear, int16_t(400));
    QCOMPARE(First->StadiumMove->LeaveDate.Year, int16_t(0));
    QCOMPARE(First->StadiumMove->NewCapacity, 7);
    QCOMPARE(First->CapacityChange.get(), ChangeBefore);
    QCOMPARE(First->CapacityChange->StartDate.DayOfYear, int16_t(-3));
    QCOMPARE(First->ClubDebt.get(), BudgetBefore);
    QCOMPARE(First->ClubDebt->UniqueID, 77);
    QCOMPARE(First->ClubDebts.Count(), 1);
    QCOMPARE(First->ClubDebts.Items(0), LoanBefore);

    // Editing the preferences replaces kinds 1, 2 and 5 only; the others keep their places.
    TframeClubPreferences* Preferences = Clubs->frameClubPreferences;
    QCOMPARE(AddPreference(Editor.Driver(), Preferences->btnAddRival, Db.Clubs.Items(2), 30),
             QString("Add Disliked Club"));
    Preferences->lboxFavouriteStaff->setCurrentRow(0);
    Preferences->btnDeleteFavouriteStaff->click();
    // A loan changed: the list is written back, the loan keeps its key. The budget left alone keeps its record.
    TframeSquad* Squad = ShowSquad(*Clubs, 0, "tsFinances");
    Squad->frameTeamFinances->lboxLoans->setCurrentRow(0);
    eh::TypeInto(Squad->frameTeamFinances->seAmount, "1500");
    Squad->frameTeamFinances->btnOK->click();
    // A move-in date typed keeps the odd leave date stored.
    ShowSquad(*Clubs, 0, "tsStadium");
    Squad->dtpStartDateMove->setDate(QDate(2030, 6, 30));
    Clubs->btnConfirmChangesClick();
    QCOMPARE(Club->Relationships.Count(), 5);
    QStringList Kinds;
    for (const auto& R : Club->Relationships)
        Kinds.push_back(QString::number(R->Kind));
    QCOMPARE(Kinds, (QStringList{"3", "4", "6", "9", "5"}));
    QCOMPARE(First->ClubDebt.get(), BudgetBefore);
    QCOMPARE(First->ClubDebts.Count(), 1);
    QCOMPARE(First->ClubDebts.Items(0)->Amount, 1500);
    QCOMPARE(First->ClubDebts.Items(0)->UniqueID, 88);
    QCOMPARE(First->StadiumMove.get(), MoveBefore);
    QCOMPARE(First->StadiumMove->LeaveDate.DayOfYear, int16_t(400));
    QCOMPARE(PyxControls::ToQDate(First->StadiumMove->StartDate), QDate(2030, 6, 30));
    QCOMPARE(First->StadiumMove->NewCapacity, -1);
    QCOMPARE(First->CapacityChange.get(), ChangeBefore);

    // A new capacity of 0 removes the capacity change; a budget of -1 the budget record, 0 keeps one.
    ShowSquad(*Clubs, 0, "tsStadium");
    eh::TypeInto(Squad->seNewCapacity, "0");
    ShowSquad(*Clubs, 0, "tsFinances");
    eh::TypeInto(Squad->frameTeamFinances->seTransferBudget, "-1");
    TframeSquad* Second2 = ShowSquad(*Clubs, 1, "tsFinances");
    eh::TypeInto(Second2->frameTeamFinances->seTransferBudget, "0");
    Clubs->btnConfirmChangesClick();
    QVERIFY(First->CapacityChange == nullptr);
    QVERIFY(First->ClubDebt == nullptr);
    QVERIFY(Second->ClubDebt != nullptr);
    QCOMPARE(Second->ClubDebt->TransferBudget, 0);
    QCOMPARE(Second->SquadType, uint8_t(1));

    Editor.SaveData();
    std::unique_ptr<TPyxDatabase> Reloaded = Reload(World.Path());
    QCOMPARE(Join(rw::Problems(*Reloaded)), QString());
    QCOMPARE(Reloaded->Clubs.FindByUniqueID(Second->UniqueID)->Name, std::u16string(u"Harbour Second String"));
    QCOMPARE(Reloaded->Teams.FindByUniqueID(Second->UniqueID)->SquadType, uint8_t(1));
}

void ClubJourneyTest::ListsCountedInOneByteRefuseAnAddAtTheirLimit() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TPyxDatabase& Db = Editor.Main().Database();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    TPyxClub* Club = FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() == 1; });
    QVERIFY(Club != nullptr);
    Club->Relationships.Clear();
    for (int I = 0; I < TframeClubPreferences::MaxRelationships - 1; ++I)
        Club->Relationships.Add(eh::Relationship(TPyxRelationship::ttNation, 9, Db.Nations.Items(I % 5)));
    eh::ShowAllAndFocus(*Clubs, Club);
    TframeClubPreferences* Preferences = Clubs->frameClubPreferences;
    AddPreference(Editor.Driver(), Preferences->btnAddFavouriteStaff, Db.People.Items(0), 50);
    QCOMPARE(Preferences->lboxFavouriteStaff->count(), 1);
    QString Seen;
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Seen));
    Preferences->btnAddRival->click();
    QVERIFY(Seen.startsWith("msgError"));
    QVERIFY(Seen.contains("at most 255 relationships"));
    QCOMPARE(Preferences->lboxRivals->count(), 0);
    Clubs->btnConfirmChangesClick();
    QCOMPARE(Club->Relationships.Count(), 255);

    // A companion club (no team of its own) gets no squad: it would become its first team under another key.
    TPyxClub* Teamless = FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() == 0; });
    QVERIFY(Teamless != nullptr);
    eh::ShowAllAndFocus(*Clubs, Teamless);
    const int32_t TeamsNow = Db.Teams.Count();
    Seen.clear();
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Seen));
    Clubs->mnuiAddSquad->trigger();
    QVERIFY(Seen.contains("only to a club with a first team"));
    QCOMPARE(Db.Teams.Count(), TeamsNow);
    QCOMPARE(Teamless->Teams.Count(), 0);
    eh::ShowAllAndFocus(*Clubs, Club);

    // A club's teams are counted in one byte too.
    while (Club->Teams.Count() < TframeClub::MaxTeams)
        Db.AddSquad(*Club);
    Clubs->btnCancelChangesClick();
    QCOMPARE(Clubs->SquadCount(), TframeClub::MaxTeams);
    const int32_t Teams = Db.Teams.Count();
    Seen.clear();
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Seen));
    Clubs->mnuiAddSquad->trigger();
    QVERIFY(Seen.contains("at most 255 squads"));
    QCOMPARE(Db.Teams.Count(), Teams);
    Editor.SaveData();
    QCOMPARE(Join(rw::Problems(*Reload(World.Path()))), QString());
}

void ClubJourneyTest::DeletingClubsAndSquadsPurgesEveryTabAndDeletesTheCurrentClub() {
    eh::TWorldFolder World({.PeopleCount = 400, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    auto* Medias = Editor.Frame<TframeMedia>(TTab::Media);
    TPyxClub* Doomed = FirstOf(Db.Clubs, [](TPyxClub& C) {
        return C.Teams.Count() >= 2 && C.Teams.Items(0)->Players.Count() > 0 && C.Chairman != nullptr;
    });
    QVERIFY(Doomed != nullptr);
    const int32_t DoomedKey = Doomed->UniqueID;
    std::vector<int32_t> SquadKeys;
    for (TPyxTeam* Team : Doomed->Teams.Data())
        SquadKeys.push_back(Team->UniqueID);
    const int32_t ClubsBefore = Db.Clubs.Count(), TeamsBefore = Db.Teams.Count();
    const int32_t PeopleBefore = Db.People.Count();
    TPyxPerson* Player = Doomed->Teams.Items(0)->Players.Items(0);
    const int32_t PlayerKey = Player->UniqueID;

    // The media tab shows the club as its target and in its club list; another club holds it as a rival.
    TPyxMedia* Media = Db.Medias.Items(0);
    Media->Scope = TPyxMedia::scClub;
    Media->Target = Doomed;
    Media->Clubs.Add(Doomed);
    Media->Clubs.Add(Db.Clubs.Items(0) == Doomed ? Db.Clubs.Items(1) : Db.Clubs.Items(0));
    eh::ShowAllAndFocus(*Medias, Media);
    QCOMPARE(Medias->ssClub->Selected(), static_cast<TPyxObject*>(Doomed));
    const int MediaClubs = Medias->lboxClubs->count();
    TPyxClub* Holder = FirstOf(Db.Clubs, [&](TPyxClub& C) { return &C != Doomed && C.Teams.Count() > 0; });
    Holder->Relationships.Add(eh::Relationship(TPyxRelationship::ttClub, 5, Doomed));

    // The people tab shows one of its players, the club and squad picked; the competition tab shows a division
    // whose teams page lists its first team.
    auto* People = Editor.Frame<TframePeople>(TTab::People);
    auto* Competitions = Editor.Frame<TframeCompetition>(TTab::Competition);
    Main.ShowPerson(Player);
    QCOMPARE(People->Current(), Player);
    QCOMPARE(People->ssClubContracted->Selected(), static_cast<TPyxObject*>(Doomed));
    QCOMPARE(People->cmbSquadContracted->count(), Doomed->Teams.Count());
    QCOMPARE(People->cmbSquadContracted->GetSelected(), static_cast<TPyxObject*>(Doomed->Teams.Items(0)));
    TPyxTeam* FirstTeam = Doomed->Teams.Items(0);
    if (FirstTeam->Division == nullptr)
        FirstTeam->Division = Db.Competitions.Items(0);
    TPyxCompetition* Division = FirstTeam->Division;
    eh::ShowAllAndFocus(*Competitions, Division);
    // The doomed club's teams by address only: after the delete they must not be followed.
    std::vector<const void*> DoomedTeams(Doomed->Teams.Data().begin(), Doomed->Teams.Data().end());
    const auto DoomedListed = [&] {
        int Listed = 0;
        for (int I = 0; I < Competitions->lboxTeams->count(); ++I)
            Listed += std::count(DoomedTeams.begin(), DoomedTeams.end(),
                                 static_cast<const void*>(Competitions->lboxTeams->GetItem<TPyxTeam>(I)));
        return Listed;
    };
    const int DivisionTeams = Competitions->lboxTeams->count();
    const int DivisionDoomed = DoomedListed();
    QVERIFY(DivisionDoomed >= 1);

    // The first team cannot go while another squad remains.
    eh::ShowAllAndFocus(*Clubs, Doomed);
    QString Seen;
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Seen));
    Clubs->DeleteSquad(Doomed->Teams.Items(0));
    QVERIFY(Seen.contains("first team"));
    QCOMPARE(static_cast<int>(SquadKeys.size()), Doomed->Teams.Count());

    // Delete Club: the focused club goes, not the row that takes the focus after it.
    const int Row = Clubs->Search()->Model().RowOf(Doomed);
    // The row after it that is not one of its companions (which sort right after it and go with it).
    TPyxObject* Neighbour = nullptr;
    for (int Next = Row + 1; Next < Clubs->Search()->Model().Count() && Neighbour == nullptr; ++Next) {
        TPyxObject* Entity = Clubs->Search()->Model().Entity(Next);
        if (std::find(SquadKeys.begin(), SquadKeys.end(), Entity->UniqueID) == SquadKeys.end())
            Neighbour = Entity;
    }
    QVERIFY(Neighbour != nullptr);
    Clubs->List()->FocusRow(Row);
    QCOMPARE(Clubs->CurrentObject(), static_cast<TPyxObject*>(Doomed));
    Clubs->UpdatePopupItems();
    QVERIFY(Clubs->mnuiDeleteClub->isEnabled());
    Clubs->mnuiDeleteClub->trigger();
    QCOMPARE(Db.Clubs.FindByUniqueID(DoomedKey), nullptr);
    QVERIFY(Db.Clubs.IndexOf(Neighbour) >= 0);
    QVERIFY(Clubs->Search()->Model().RowOf(Neighbour) >= 0);
    for (int32_t Key : SquadKeys)
        QCOMPARE(Db.Teams.FindByUniqueID(Key), nullptr);
    QCOMPARE(Clubs->SquadCount(), 0);
    QVERIFY(Clubs->Pages()->indexOf(Clubs->tsSquads) < 0);
    QVERIFY(!Clubs->Pages()->isEnabled());
    QCOMPARE(Clubs->Search()->Model().RowOf(Doomed), -1);
    // Every tab dropped it: the media tab reloaded its media without the club.
    QCOMPARE(Medias->CurrentObject(), static_cast<TPyxObject*>(Media));
    QCOMPARE(Medias->ssClub->Selected(), nullptr);
    QCOMPARE(Medias->lboxClubs->count(), MediaClubs - 1);
    QCOMPARE(Holder->Relationships.Count() > 0 &&
                 Holder->Relationships.Items(Holder->Relationships.Count() - 1)->Target ==
                     static_cast<TPyxObject*>(Doomed),
             false);
    QVERIFY(Db.People.FindByUniqueID(PlayerKey) != nullptr);
    QCOMPARE(Db.People.FindByUniqueID(PlayerKey)->ClubTeam, nullptr);
    // The people tab shows the player again, without club and squads; the division lists none of its teams.
    QCOMPARE(People->Current(), Player);
    QCOMPARE(People->ssClubContracted->Selected(), nullptr);
    QCOMPARE(People->cmbSquadContracted->count(), 0);
    QCOMPARE(Competitions->CurrentObject(), static_cast<TPyxObject*>(Division));
    QCOMPARE(DoomedListed(), 0);
    QCOMPARE(Competitions->lboxTeams->count(), DivisionTeams - DivisionDoomed);

    // Deleting a squad of another club while the media tab lists that club's companion.
    TPyxClub* Other = FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() >= 2; });
    QVERIFY(Other != nullptr);
    TPyxTeam* Last = Other->Teams.Items(Other->Teams.Count() - 1);
    const int32_t LastKey = Last->UniqueID;
    TPyxClub* LastCompanion = Db.Clubs.FindByUniqueID(LastKey);
    QVERIFY(LastCompanion != nullptr);
    Media->Clubs.Add(LastCompanion);
    eh::ShowAllAndFocus(*Medias, Media);
    const int WithCompanion = Medias->lboxClubs->count();
    eh::ShowAllAndFocus(*Clubs, LastCompanion);
    // Delete Club on the companion's row is refused: the squad would keep a UniqueID no club record shares, and the
    // companion's names would be lost.
    Clubs->UpdatePopupItems();
    QVERIFY(Clubs->mnuiDeleteClub->isEnabled());
    Seen.clear();
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Seen));
    Clubs->mnuiDeleteClub->trigger();
    QVERIFY(Seen.startsWith("msgError"));
    QVERIFY2(Seen.contains("cannot be deleted on its own") && Seen.contains(TPyxListModel::DisplayName(*Last)),
             qPrintable(Seen));
    QCOMPARE(Db.Clubs.FindByUniqueID(LastKey), LastCompanion);
    QCOMPARE(Clubs->Current(), LastCompanion);
    QVERIFY(Clubs->Search()->Model().RowOf(LastCompanion) >= 0);
    QCOMPARE(Medias->lboxClubs->count(), WithCompanion);
    eh::ShowAllAndFocus(*Clubs, Other);
    const int OtherSquads = Clubs->SquadCount();
    Clubs->mnuiDeleteLastSquad->trigger();
    QCOMPARE(Clubs->SquadCount(), OtherSquads - 1);
    QCOMPARE(Db.Clubs.FindByUniqueID(LastKey), nullptr);
    QCOMPARE(Medias->lboxClubs->count(), WithCompanion - 1);
    QCOMPARE(Clubs->Search()->Model().RowOf(LastCompanion), -1);

    Editor.SaveData();
    std::unique_ptr<TPyxDatabase> Reloaded = Reload(World.Path());
    QCOMPARE(Join(rw::Problems(*Reloaded)), QString());
    QCOMPARE(Reloaded->Clubs.FindByUniqueID(DoomedKey), nullptr);
    QCOMPARE(Reloaded->People.Count(), PeopleBefore);
    QCOMPARE(Reloaded->Clubs.Count(), ClubsBefore - static_cast<int32_t>(SquadKeys.size()) - 1);
    QCOMPARE(Reloaded->Teams.Count(), TeamsBefore - static_cast<int32_t>(SquadKeys.size()) - 1);
    QVERIFY(Reloaded->People.FindByUniqueID(PlayerKey) != nullptr);
    QCOMPARE(Editor.Driver().Unexpected(), QStringList());
}

void ClubJourneyTest::ThePlayerListSortsAndHintsAndTheLinksNavigate() {
    eh::TWorldFolder World({.PeopleCount = 400, .LanguageCount = 1});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    TPyxClub* Club =
        FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() > 0 && C.Teams.Items(0)->Players.Count() >= 4; });
    QVERIFY(Club != nullptr);
    TPyxTeam* Team = Club->Teams.Items(0);
    // Squad numbers: two players without one (none, and 0), the others numbered.
    std::vector<TPyxPerson*> Players = Team->Players.Data();
    for (std::size_t I = 0; I < Players.size(); ++I) {
        TPyxContract* Contract = Players[I]->Contracts.GetClubContract();
        if (Contract == nullptr)
            Contract = Players[I]->Contracts.AddClubContract();
        Contract->SquadNumber = I == 0 ? 255 : (I == 1 ? 0 : static_cast<uint8_t>(40 - I));
        if (Players[I]->Player)
            Players[I]->Player->CurrentAbility = static_cast<int16_t>(10 * I);
    }
    eh::ShowAllAndFocus(*Clubs, Club);
    // The captain combo lists every player of every squad after "<Not Specified>".
    int ClubPlayers = 0;
    for (TPyxTeam* T : Club->Teams.Data())
        ClubPlayers += T->Players.Count();
    QCOMPARE(Clubs->cmbClubCaptain->count(), ClubPlayers + 1);
    QCOMPARE(Clubs->cmbClubCaptain->itemText(0), QString("<Not Specified>"));
    TframeSquad* Squad = ShowSquad(*Clubs, 0, "tsPlayers");
    QCOMPARE(Squad->lboxPlayers->count(), static_cast<int>(Players.size()));
    QCOMPARE(Squad->lboxPlayers->TabWidth(), 20);
    Squad->rbSquadNumber->click();
    QStringList Numbers;
    for (const QString& Text : ItemTexts(Squad->lboxPlayers))
        Numbers.push_back(Text.section('\t', 0, 0));
    QStringList Expected;
    for (std::size_t I = Players.size() - 1; I >= 2; --I)
        Expected.push_back(QString::asprintf("%.2d", static_cast<int>(40 - I)));
    Expected << ""
             << "";
    QCOMPARE(Numbers, Expected);
    Squad->rbCurrentAbility->click();
    int Previous = 1 << 30;
    for (int I = 0; I < Squad->lboxPlayers->count(); ++I) {
        const int Ability = Squad->lboxPlayers->GetItem<TPyxPerson>(I)->Player->CurrentAbility;
        QVERIFY(Ability <= Previous);
        Previous = Ability;
        QCOMPARE(Squad->lboxPlayers->item(I)->text(),
                 QString::number(Ability) + "\t" +
                     TPyxListModel::DisplayName(*Squad->lboxPlayers->GetItem<TPyxPerson>(I)));
    }
    Squad->rbName->click();
    QStringList Names = ItemTexts(Squad->lboxPlayers);
    QStringList Sorted = Names;
    std::sort(Sorted.begin(), Sorted.end(), [](const QString& A, const QString& B) {
        return QString::localeAwareCompare(A.toLower(), B.toLower()) < 0;
    });
    QCOMPARE(Names, Sorted);

    // The hint names the player under the mouse, with birth date and nation. The list must be on screen: the
    // journey's earlier links took the window to other tabs.
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::Clubs));
    QVERIFY(Squad->lboxPlayers->isVisible());
    const TPyxPerson* Hinted = Squad->lboxPlayers->GetItem<TPyxPerson>(0);
    const QString Hint = TframeSquad::HintText(*Hinted);
    QVERIFY(Hint.startsWith("Name: " + TPyxListModel::DisplayName(*Hinted) + "\r\nDOB: "));
    if (Hinted->Nation != nullptr)
        QVERIFY(Hint.endsWith("\r\nNation: " + TPyxListModel::DisplayName(*Hinted->Nation)));
    Main.activateWindow();
    const QRect Rect = Squad->lboxPlayers->visualItemRect(Squad->lboxPlayers->item(0));
    QTest::mouseMove(Squad->lboxPlayers->viewport(), Rect.center());
    QCOMPARE(QApplication::applicationState(), Qt::ApplicationActive);
    QVERIFY(Squad->HintWindow() != nullptr);
    QVERIFY(Squad->HintWindow()->isVisible());
    QCOMPARE(Squad->HintWindow()->text(), QString(Hint).replace("\r\n", "\n"));
    // The timer hides it once the cursor has left the list.
    QTest::mouseMove(Squad->rbName);
    QTRY_VERIFY(!Squad->HintWindow()->isVisible());

    // Links: the division and the captain, the chairman by double-click.
    Team->Division = Db.Competitions.Items(0);
    Clubs->btnCancelChangesClick();
    Squad = ShowSquad(*Clubs, 0, "tsGeneral");
    QCOMPARE(Squad->ssDivision->Selected(), static_cast<TPyxObject*>(Team->Division));
    QVERIFY(Squad->HintWindow() == nullptr || !Squad->HintWindow()->isVisible());
    ShowPage(*Clubs, "tsBoardScouts");
    QCOMPARE(Clubs->edChairman->text(),
             Club->Chairman != nullptr ? TPyxListModel::DisplayName(*Club->Chairman) : QString());
    QCOMPARE(Clubs->lboxBoardMembers->count(), Club->BoardMembers.Count());
    QCOMPARE(Clubs->lboxScouts->count(), Club->Scouts.Count());
    // RefreshClubSquads refills the player lists from the teams as they are now.
    Squad = ShowSquad(*Clubs, 0, "tsPlayers");
    TPyxPerson* Leaving = Team->Players.Items(0);
    Team->Players.RemoveAll(Leaving);
    Main.RefreshClubSquads();
    QCOMPARE(Squad->lboxPlayers->count(), Team->Players.Count());
    Team->Players.Add(Leaving);
    // The stadium link goes to the stadia tab and its stadium; a rival's double-click to the rival club.
    Team->Stadium = Db.Stadiums.Items(3);
    Clubs->btnCancelChangesClick();
    Squad = ShowSquad(*Clubs, 0, "tsStadium");
    eh::Find<QToolButton>(Squad, "btnStadiumLink")->click();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Stadia));
    QCOMPARE(Editor.Frame(TTab::Stadia)->CurrentObject(), static_cast<TPyxObject*>(Db.Stadiums.Items(3)));
    TPyxClub* Rival = Db.Clubs.Items(0) == Club ? Db.Clubs.Items(1) : Db.Clubs.Items(0);
    Club->Relationships.Add(eh::Relationship(TPyxRelationship::ttClub, 5, Rival));
    eh::ShowAllAndFocus(*Clubs, Club);
    TPointerListBox* Rivals = Clubs->frameClubPreferences->lboxRivals;
    Rivals->setCurrentRow(Rivals->count() - 1);
    emit Rivals->itemDoubleClicked(Rivals->currentItem());
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Clubs));
    QCOMPARE(Clubs->Current(), Rival);
    QCOMPARE(Clubs->Search()->Model().Count(), 1);
}

void ClubJourneyTest::WithoutAllLanguagesNothingIsAddedAndNoCompanionRenamed() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 2});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    {
        eh::TEditorSession Editor(World.Path(), false);
        Editor.LoadData();
        TfrmMain& Main = Editor.Main();
        TPyxDatabase& Db = Main.Database();
        auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
        QVERIFY(!Main.mnuAddClub->isEnabled());
        TPyxClub* Club = FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() >= 2; });
        eh::ShowAllAndFocus(*Clubs, Club);
        Clubs->UpdatePopupItems();
        QVERIFY(!Clubs->mnuiAddClub->isEnabled());
        QVERIFY(!Clubs->mnuiDeleteClub->isEnabled());
        QVERIFY(!Clubs->mnuiAddSquad->isEnabled());
        QVERIFY(!Clubs->mnuiDeleteLastSquad->isEnabled());
        QVERIFY(!eh::Find<QToolButton>(Clubs, "btnClubName")->isEnabled());
        const int32_t Count = Db.Clubs.Count();
        Clubs->mnuiAddClub->trigger();
        Clubs->mnuiDeleteClub->trigger();
        QCOMPARE(Db.Clubs.Count(), Count);
        TframeSquad* Squad = ShowSquad(*Clubs, 1, "tsGeneral");
        eh::PickItem(Squad->cmbTeamType, "C Team");
        TPyxClub* Companion = Db.Clubs.FindByUniqueID(Club->Teams.Items(1)->UniqueID);
        const std::u16string Name = Companion->Name;
        Clubs->btnConfirmChangesClick();
        QCOMPARE(Club->Teams.Items(1)->SquadType, uint8_t(13));
        QCOMPARE(Companion->Name, Name);
    }
}

void ClubJourneyTest::PicturesOfEveryPage() {
    const QString Dir = qEnvironmentVariable("PYX_SCREENSHOT_DIR");
    if (Dir.isEmpty())
        QSKIP("PYX_SCREENSHOT_DIR is not set");
    eh::TWorldFolder World({.PeopleCount = 2000, .LanguageCount = 3});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    Main.resize(1200, 760);
    TPyxDatabase& Db = Main.Database();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::Clubs));
    // The club with the most to show.
    TPyxClub* Club = nullptr;
    int Best = -1;
    Db.Clubs.ForEach([&](TPyxClub* C) {
        if (C->Teams.Count() < 2)
            return;
        const TPyxTeam* T = C->Teams.Items(0);
        const int Score = C->BoardMembers.Count() + C->Scouts.Count() + C->Relationships.Count() +
                          T->ClubDebts.Count() + T->Coaches.Count() + (T->StadiumMove ? 3 : 0);
        if (Score > Best) {
            Best = Score;
            Club = C;
        }
    });
    QVERIFY(Club != nullptr);
    eh::ShowAllAndFocus(*Clubs, Club);
    const auto Shoot = [&](const QString& Name) {
        QTest::qWait(100);
        QVERIFY(Main.grab().save(Dir + "/" + Name + ".png"));
    };
    for (int I = 0; I < Clubs->Pages()->count(); ++I) {
        Clubs->Pages()->setCurrentIndex(I);
        Shoot("club-" + Clubs->Pages()->widget(I)->objectName());
    }
    for (const char* Page : {"tsGeneral", "tsStadium", "tsFinances", "tsStaff", "tsPlayers"}) {
        TframeSquad* Squad = ShowSquad(*Clubs, 0, Page);
        if (QString(Page) == "tsFinances")
            Squad->frameTeamFinances->lboxLoans->setCurrentRow(0);
        if (QString(Page) == "tsPlayers")
            Squad->rbSquadNumber->click();
        Shoot(QString("squad-") + Page);
    }
}

PYX_EDITOR_TEST_MAIN(ClubJourneyTest)
#include "ClubJourneyTest.moc"
