// The people tab: persons of every type added, edited, given another type, moved between clubs and national teams
// with a new job, and deleted; every kind of attribute edited and read back; the preferences, playing history and
// languages edited on copies and written on Confirm. After each journey the world is saved, loaded again and every
// reference walked; names survive character for character.

#include "EditorHarness.h"
#include "EditorTestMain.h"
#include "FrameDriving.h"

#include "EditPreference.h"
#include "IntegerComboBox.h"
#include "PointerComboBox.h"
#include "PointerListBox.h"
#include "PyxClub.h"
#include "PyxDatabase.h"
#include "PyxFutureTransfer.h"
#include "PyxInjury.h"
#include "PyxJobs.h"
#include "PyxLanguage.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxLoan.h"
#include "PyxNation.h"
#include "PyxSearch.h"
#include "PyxTeam.h"
#include "ReferenceWalk.h"
#include "SpinEdit.h"
#include "frameClubPreferencesUnit.h"
#include "frameClubUnit.h"
#include "framePeoplePreferencesUnit.h"
#include "framePeopleUnit.h"
#include "framePersonLanguagesUnit.h"
#include "framePlayingHistoryUnit.h"
#include "frameSelectionSearchUnit.h"
#include "frameSquadUnit.h"
#include "frmMainUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace {

// Names beyond Latin-1, one beyond the Basic Multilingual Plane.
const QString FirstName = QString::fromUtf8("\xC5\x81ukasz"); // Łukasz
const QString SecondName = QString::fromUtf8("Nowak-\xC3\x98"
                                             "deg\xC3\xA5rd"); // Nowak-Ødegård
const QString CommonName = QString::fromUtf8("\xE6\x9D\x8E\xE5\xB0\x8F\xE9\xBE\x8D \xF0\x9D\x94\x84"); // 李小龍 𝔄

using eh::U16;

using eh::FirstOf;

QString Joined(const std::vector<std::string>& Lines) {
    QString Text;
    for (const std::string& Line : Lines)
        Text += QString::fromStdString(Line) + "\n";
    return Text;
}

TPyxPerson* PersonByKey(TPyxDatabase& Db, int32_t UniqueID) {
    return Db.People.FindByUniqueID(UniqueID);
}

// Picks Entity in the preference dialog the button opens, with Amount typed; Ok false cancels. Returns the caption.
QString PickPreference(eh::TModalDriver& Driver, QPushButton* Button, const TPyxObject* Entity, const QString& Amount,
                       bool Ok = true) {
    QString Caption;
    Driver.Expect([&](QWidget* Dialog) {
        auto* Preference = qobject_cast<TEditPreference*>(Dialog);
        Caption = Preference->windowTitle();
        Preference->edSearch->clear();
        Preference->btnSearch->click();
        if (Entity != nullptr)
            Preference->lvSearchList->FocusRow(Preference->Search()->Model().RowOf(Entity));
        eh::TypeInto(Preference->seAmount, Amount);
        (Ok ? Preference->btnOK : Preference->btnCancel)->click();
    });
    Button->click();
    Driver.Withdraw();
    return Caption;
}

// Drops the selected history row on row Target of the list (-1: below the last row), as a drag within the list
// ends; returns whether the list took the drop.
bool DropOnRow(THistoryListView* List, int Target) {
    std::unique_ptr<QMimeData> Data = List->DragPayload();
    QPoint At;
    if (Target >= 0)
        At = List->visualItemRect(List->topLevelItem(Target)).center();
    else
        At = QPoint(5, List->viewport()->height() - 2);
    // Enter and move first, as a drag does: the application hands a drop only to the widget a drag entered.
    QDragEnterEvent Enter(At, Qt::MoveAction, Data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List->viewport(), &Enter);
    QDragMoveEvent Move(At, Qt::MoveAction, Data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List->viewport(), &Move);
    QDropEvent Drop(QPointF(At), Qt::MoveAction, Data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List->viewport(), &Drop);
    return Drop.isAccepted();
}

QStringList Seasons(const THistoryListView* List) {
    QStringList Rows;
    for (int I = 0; I < List->topLevelItemCount(); ++I)
        Rows.push_back(List->topLevelItem(I)->text(0) + " " + List->topLevelItem(I)->text(1));
    return Rows;
}

QStringList ShownTabs(const TframePeople& Frame) {
    QStringList Shown;
    for (QWidget* Page : {Frame.tsGeneral, Frame.tsContract, Frame.tsMental, Frame.tsAbility, Frame.tsTechnical,
                          Frame.tsMentalPhysical, Frame.tsNonPlayer, Frame.tsCoaching, Frame.tsReferee,
                          Frame.tsPreferences, Frame.tsHistory, Frame.tsLanguages})
        if (Frame.TabShown(Page))
            Shown.push_back(Page->objectName());
    return Shown;
}

// Where the controls of Page are clipped (a text wider than its label, a control narrower than it can be drawn, a
// control reaching beyond its page) or overlap a sibling, one line each.
QStringList LayoutFaults(QWidget* Page, const QString& Where) {
    QStringList Faults;
    const QRect Area = Page->rect();
    const auto Containers = [](const QWidget* W) {
        const QString Class = W->metaObject()->className();
        return Class == "QWidget" || Class == "TFramePage" || Class.startsWith("Tframe");
    };
    QList<QWidget*> Parents{Page};
    for (QWidget* W : Page->findChildren<QWidget*>())
        if (W->isVisibleTo(Page) && Containers(W))
            Parents.push_back(W);
    for (QWidget* Parent : Parents) {
        QList<QWidget*> Children;
        for (QWidget* Child : Parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (Child->isVisibleTo(Page) && !Child->isWindow())
                Children.push_back(Child);
        for (qsizetype I = 0; I < Children.size(); ++I) {
            QWidget* A = Children[I];
            const QString Name = Where + " " + A->objectName() + "(" + A->metaObject()->className() + ")";
            const QRect OnPage(A->mapTo(Page, QPoint(0, 0)), A->size());
            if (!Area.contains(OnPage))
                Faults.push_back(Name + " reaches beyond the page");
            if (auto* Label = qobject_cast<QLabel*>(A); Label != nullptr && Label->width() < Label->sizeHint().width())
                Faults.push_back(Name + " is clipped: " + Label->text());
            // Fixed-size buttons (the link glyphs) are drawn at their size by design.
            const bool Fixed = A->minimumSize() == A->maximumSize();
            if (!Fixed && (A->width() < A->minimumSizeHint().width() || A->height() < A->minimumSizeHint().height()))
                Faults.push_back(Name + " is smaller than it can be drawn");
            for (qsizetype J = I + 1; J < Children.size(); ++J)
                if (A->geometry().intersects(Children[J]->geometry()))
                    Faults.push_back(Name + " overlaps " + Children[J]->objectName());
        }
    }
    return Faults;
}

} // namespace

class PeopleJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void APersonIsAddedEditedGivenAnotherTypeAndSurvivesSaveAndReload();
    void PostsMoveWithTheirNewJobInOneConfirmAndADeletedPersonLeavesNoTrace();
    void PreferencesHistoryAndLanguagesAreEditedOnCopiesAndWrittenOnConfirm();
    void OfficialsAndTypeChangesWriteOnlyTheParts();
    void OlderFilesDisableWhatTheyCannotHold();
    void EveryTabOfEveryTypeShowsItsControlsUnclippedAndApart();
    void CancelLinksAndTheContractRules();
};

void PeopleJourneyTest::APersonIsAddedEditedGivenAnotherTypeAndSurvivesSaveAndReload() {
    eh::TWorldFolder World({.PeopleCount = 400, .LanguageCount = 3});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* People = Editor.Frame<TframePeople>(TTab::People);
    QVERIFY(People != nullptr);
    QVERIFY(Main.Tabs()->isTabEnabled(static_cast<int>(TTab::People)));

    // Add Person: a new player, listed and focused.
    const int32_t Count = Db.People.Count();
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::People));
    Main.mnuAddPerson->trigger();
    QCOMPARE(Db.People.Count(), Count + 1);
    auto* P = People->Current();
    QVERIFY(P != nullptr && P->IsPlayer() && !P->IsNonPlayer());
    const int32_t Key = P->UniqueID;
    QCOMPARE(People->edPictureID->text(), QString::number(Key));
    QCOMPARE(People->cmbPersonType->currentText(), QString("Player"));
    QCOMPARE(ShownTabs(*People), (QStringList{"tsGeneral", "tsContract", "tsMental", "tsAbility", "tsTechnical",
                                              "tsMentalPhysical", "tsPreferences", "tsHistory", "tsLanguages"}));
    QVERIFY(People->TabShown(People->tsLoanContract) && !People->TabShown(People->tsStartingConfidence));

    // Names, birth and nation.
    eh::TypeInto(People->edFirstName, FirstName);
    eh::TypeInto(People->edSecondName, SecondName);
    People->edCommonName->setText(CommonName);
    People->dtpDateOfBirth->setDate(QDate(1984, 2, 29));
    TPyxNation* Nation = Db.Nations.Items(4);
    const int32_t NationPeople = Nation->PersonCount;
    QCOMPARE(eh::PickInSelector(Driver, People->ssNation, Nation),
             QString("Find Staff Nationality\nStaff Nationality is Unspecified"));
    eh::TypeInto(People->seApps, "12");
    eh::TypeInto(People->seU21Goals, "4");

    // A club of several squads: the squad list offers them, the job list the player's one job.
    TPyxClub* Club = FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() >= 2; });
    QVERIFY(Club != nullptr);
    QCOMPARE(eh::PickInSelector(Driver, People->ssClubContracted, Club),
             QString("Find Club\nStaff has no contracted club"));
    QCOMPARE(eh::ItemTexts(People->cmbJob), QStringList{"Player"});
    QCOMPARE(People->cmbSquadContracted->count(), Club->Teams.Count());
    QVERIFY(People->cmbSquadContracted->isEnabled() && People->dtpContractExpires->isEnabled());
    TPyxTeam* Squad = Club->Teams.Items(1);
    eh::PickItem(People->cmbSquadContracted, TPyxListModel::DisplayName(*Squad));
    People->dtpContractExpires->setDate(QDate(2006, 6, 30));
    eh::TypeInto(People->seEstimatedWage, "250000");
    eh::TypeInto(People->seSquadNumber, "7");
    People->btnConfirmChangesClick();

    QCOMPARE(P->GetFirstName(), U16(FirstName));
    QCOMPARE(P->GetSecondName(), U16(SecondName));
    QCOMPARE(P->GetCommonName(), U16(CommonName));
    QCOMPARE(P->FirstName->Nation, Nation);
    QCOMPARE(P->Nation, Nation);
    QCOMPARE(Nation->PersonCount, NationPeople + 1);
    QCOMPARE(PyxControls::ToQDate(P->DateOfBirth), QDate(1984, 2, 29));
    QCOMPARE(P->InternationalApps, uint8_t(12));
    QCOMPARE(P->U21Goals, uint8_t(4));
    QCOMPARE(P->ClubTeam, Squad);
    QCOMPARE(P->ClubJob, uint8_t(1));
    QVERIFY(Squad->Players.Contains(P));
    QVERIFY(P->Contracts.GetClubContract() != nullptr);
    QCOMPARE(P->Contracts.GetClubContract()->Employer, static_cast<TPyxTeamContainer*>(Club));
    QCOMPARE(PyxControls::ToQDate(P->Contracts.GetClubContract()->ContractExpires), QDate(2006, 6, 30));
    QCOMPARE(P->Contracts.GetClubContract()->EstimatedWage, 250000);
    QCOMPARE(P->Contracts.GetClubContract()->SquadNumber, uint8_t(7));

    // Every player attribute kind, a loan and a starting injury.
    eh::TypeInto(People->Attribute("seAdaptability"), "12");
    eh::TypeInto(People->Attribute("seCurrentAbility"), "150");
    eh::TypeInto(People->Attribute("seWorldReputation"), "250"); // clamped to 200
    eh::TypeInto(People->Attribute("seEstimatedValue"), "4500000");
    eh::TypeInto(People->Attribute("seGoalkeeper"), "3");
    eh::TypeInto(People->Attribute("seCrossing"), "17");
    eh::TypeInto(People->Attribute("seTendencyToPunch"), "5");
    eh::TypeInto(People->Attribute("seDetermination"), "19");
    eh::TypeInto(People->Attribute("seHeight"), "74");
    QVERIFY(!People->Attribute("seClubGoals")->isEnabled());
    eh::ClickCheckBox(People->cbCareerStats);
    QVERIFY(People->Attribute("seClubGoals")->isEnabled());
    eh::TypeInto(People->Attribute("seClubGoals"), "44");
    eh::TypeInto(People->Attribute("seLeagueAppearances"), "301");
    TPyxClub* LoanClub = FirstOf(Db.Clubs, [&](TPyxClub& C) { return &C != Club && C.Teams.Count() == 1; });
    QVERIFY(LoanClub != nullptr);
    eh::PickInSelector(Driver, People->ssLoanClub, LoanClub);
    QCOMPARE(People->cmbLoanSquad->count(), 0);
    QVERIFY(People->dtpLoanStart->isEnabled());
    People->dtpLoanStart->setDate(QDate(2001, 8, 1));
    People->dtpLoanEnd->setDate(QDate(2002, 5, 31));
    TPyxInjury* Injury = Db.Injuries.Items(2);
    eh::PickItem(People->cmbInjury, TPyxListModel::DisplayName(*Injury));
    People->dtpInjuryEndDate->setDate(QDate(2001, 9, 12));
    People->btnConfirmChangesClick();
    QCOMPARE(P->PersonData->Adaptability, uint8_t(12));
    QCOMPARE(P->Player->CurrentAbility, int16_t(150));
    QCOMPARE(P->Player->WorldReputation, int16_t(200));
    QCOMPARE(P->Player->EstimatedValue, 4500000);
    QCOMPARE(P->Player->PlayingData->Goalkeeper, uint8_t(3));
    QCOMPARE(P->Player->PlayingData->Crossing, uint8_t(17));
    QCOMPARE(P->Player->PlayingData->TendencyToPunch, uint8_t(5));
    QCOMPARE(P->Player->PlayingData->Determination, uint8_t(19));
    QCOMPARE(P->Player->Height, int16_t(74));
    QVERIFY(P->Player->CareerStats != nullptr);
    QCOMPARE(P->Player->CareerStats->ClubGoals, int16_t(44));
    QCOMPARE(P->Player->CareerStats->LeagueAppearances, int16_t(301));
    QVERIFY(P->Player->Loan != nullptr);
    QCOMPARE(P->Player->Loan->Person, P);
    QCOMPARE(P->Player->Loan->Team, LoanClub->Teams.Items(0));
    QCOMPARE(PyxControls::ToQDate(P->Player->Loan->EndDate), QDate(2002, 5, 31));
    QVERIFY(P->Player->StartingInjury != nullptr);
    QCOMPARE(P->Player->StartingInjury->Injury, Injury);
    QCOMPARE(PyxControls::ToQDate(P->Player->StartingInjury->EndDate), QDate(2001, 9, 12));

    // A Confirm without edits leaves the attached records as they are: the same objects, the same team.
    const TPyxLoan* Loan = P->Player->Loan.get();
    const TPyxStartingInjury* StartingInjury = P->Player->StartingInjury.get();
    People->btnConfirmChangesClick();
    QCOMPARE(P->Player->Loan.get(), Loan);
    QCOMPARE(P->Player->StartingInjury.get(), StartingInjury);
    QCOMPARE(P->ClubTeam, Squad);

    // Player / Non Player: the staff tabs appear with zeros, the job list offers the player-staff jobs.
    eh::PickItem(People->cmbPersonType, "Player / Non Player");
    QVERIFY(People->TabShown(People->tsNonPlayer) && People->TabShown(People->tsCoaching));
    QCOMPARE(eh::ItemTexts(People->cmbJob),
             (QStringList{"Player / Assistant Manager", "Player / Coach", "Player / Manager"}));
    QCOMPARE(People->cmbJob->currentText(), QString("Player / Assistant Manager"));
    QCOMPARE(People->Attribute("seAttacking")->Value(), 0);
    eh::PickItem(People->cmbJob, "Player / Coach");
    eh::TypeInto(People->Attribute("seAttacking"), "9");
    eh::TypeInto(People->Attribute("seNonPlayerCurrentAbility"), "88");
    eh::TypeInto(People->Attribute("seMotivating"), "14");
    eh::PickItem(People->cmbPreferredFormation, "4-4-2");
    People->btnConfirmChangesClick();
    QVERIFY(P->IsPlayerAndNonPlayer() && P->NonPlayer != nullptr);
    QCOMPARE(P->ClubJob, uint8_t(3));
    QCOMPARE(P->ClubTeam, Squad);
    QVERIFY(Squad->Coaches.Contains(P) && Squad->Players.Contains(P));
    QCOMPARE(P->NonPlayer->NonPlayingData->Attacking, uint8_t(9));
    QCOMPARE(P->NonPlayer->NonPlayingData->Motivating, uint8_t(14));
    QCOMPARE(P->NonPlayer->CurrentAbility, int16_t(88));
    QCOMPARE(P->NonPlayer->PreferredFormation, uint8_t(3));
    QCOMPARE(P->Player->PlayingData->Crossing, uint8_t(17));
    // The type 3 loan keeps its team; the squad list for it stays empty.
    QCOMPARE(People->cmbLoanSquad->count(), 0);
    QCOMPARE(P->Player->Loan->Team, LoanClub->Teams.Items(0));

    const int32_t SquadKey = Squad->UniqueID, LoanTeamKey = LoanClub->Teams.Items(0)->UniqueID;
    const int32_t InjuryKey = Injury->UniqueID, NationKey = Nation->UniqueID;
    Editor.SaveData();
    QVERIFY(Main.LastFailure().ClassName.empty());
    Editor.LoadData();
    TPyxDatabase& Again = Main.Database();
    QCOMPARE(Joined(rw::Problems(Again)), QString());
    TPyxPerson* R = PersonByKey(Again, Key);
    QVERIFY(R != nullptr);
    QCOMPARE(R->GetFirstName(), U16(FirstName));
    QCOMPARE(R->GetSecondName(), U16(SecondName));
    QCOMPARE(R->GetCommonName(), U16(CommonName));
    QCOMPARE(R->Nation->UniqueID, NationKey);
    QCOMPARE(R->PersonType, uint8_t(3));
    QCOMPARE(R->ClubTeam->UniqueID, SquadKey);
    QCOMPARE(R->ClubJob, uint8_t(3));
    QCOMPARE(R->Contracts.GetClubContract()->EstimatedWage, 250000);
    QCOMPARE(R->Player->PlayingData->Crossing, uint8_t(17));
    QCOMPARE(R->Player->CareerStats->ClubGoals, int16_t(44));
    QCOMPARE(R->Player->Loan->Team->UniqueID, LoanTeamKey);
    QCOMPARE(R->Player->StartingInjury->Injury->UniqueID, InjuryKey);
    QCOMPARE(R->NonPlayer->NonPlayingData->Attacking, uint8_t(9));
    QCOMPARE(R->NonPlayer->PreferredFormation, uint8_t(3));
    QCOMPARE(R->PersonData->Adaptability, uint8_t(12));
    // Every kind of value read back: bytes, int16 and int32 values, dates, the staff part's own.
    QCOMPARE(PyxControls::ToQDate(R->DateOfBirth), QDate(1984, 2, 29));
    QCOMPARE(R->InternationalApps, uint8_t(12));
    QCOMPARE(R->U21Goals, uint8_t(4));
    QCOMPARE(R->Player->CurrentAbility, int16_t(150));
    QCOMPARE(R->Player->WorldReputation, int16_t(200));
    QCOMPARE(R->Player->EstimatedValue, 4500000);
    QCOMPARE(R->Player->Height, int16_t(74));
    QCOMPARE(R->Player->PlayingData->Goalkeeper, uint8_t(3));
    QCOMPARE(R->Player->PlayingData->TendencyToPunch, uint8_t(5));
    QCOMPARE(R->Player->PlayingData->Determination, uint8_t(19));
    QCOMPARE(R->Player->CareerStats->LeagueAppearances, int16_t(301));
    QCOMPARE(PyxControls::ToQDate(R->Player->Loan->EndDate), QDate(2002, 5, 31));
    QCOMPARE(PyxControls::ToQDate(R->Player->StartingInjury->EndDate), QDate(2001, 9, 12));
    QCOMPARE(R->NonPlayer->CurrentAbility, int16_t(88));
    QCOMPARE(R->NonPlayer->NonPlayingData->Motivating, uint8_t(14));
    QCOMPARE(PyxControls::ToQDate(R->Contracts.GetClubContract()->ContractExpires), QDate(2006, 6, 30));
    QCOMPARE(R->Contracts.GetClubContract()->SquadNumber, uint8_t(7));
    // The editor shows the reloaded person as saved.
    Main.ShowPerson(R);
    QCOMPARE(People->edCommonName->text(), CommonName);
    QCOMPARE(People->Attribute("seCrossing")->Value(), 17);
    QCOMPARE(Driver.Unexpected(), QStringList());
}

void PeopleJourneyTest::PostsMoveWithTheirNewJobInOneConfirmAndADeletedPersonLeavesNoTrace() {
    eh::TWorldFolder World({.PeopleCount = 1500, .Seed = 7, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* People = Editor.Frame<TframePeople>(TTab::People);

    // A club manager moves to another club as its coach: that club's manager keeps the post.
    TPyxPerson* Manager = FirstOf(Db.People, [](TPyxPerson& P) {
        return P.PersonType == 1 && P.ClubJob == 16 && P.ClubTeam != nullptr && P.ClubTeam->Manager == &P;
    });
    QVERIFY(Manager != nullptr);
    TPyxClub* From = Manager->ClubTeam->GetClub();
    TPyxClub* To = FirstOf(Db.Clubs, [&](TPyxClub& C) {
        return &C != From && C.Teams.Count() > 0 && C.Teams.Items(0)->Manager != nullptr;
    });
    QVERIFY(To != nullptr);
    TPyxTeam* ToTeam = To->Teams.Items(0);
    TPyxPerson* ToManager = ToTeam->Manager;
    Main.ShowPerson(Manager);
    QCOMPARE(People->Current(), Manager);
    QVERIFY(People->TabShown(People->tsStartingConfidence));
    eh::PickInSelector(Driver, People->ssClubContracted, To);
    // The stored job stays selected.
    QCOMPARE(People->cmbJob->currentText(), QString("Manager"));
    eh::PickItem(People->cmbJob, "Coach");
    QVERIFY(!People->TabShown(People->tsStartingConfidence) || Manager->NationalJob == 16);
    if (To->Teams.Count() > 1)
        eh::PickItem(People->cmbSquadContracted, TPyxListModel::DisplayName(*ToTeam));
    People->btnConfirmChangesClick();
    QCOMPARE(Manager->ClubTeam, ToTeam);
    QCOMPARE(Manager->ClubJob, uint8_t(2));
    QVERIFY(ToTeam->Coaches.Contains(Manager));
    QCOMPARE(ToTeam->Manager, ToManager);
    QCOMPARE(ToManager->ClubTeam, ToTeam);
    QCOMPARE(Manager->Contracts.GetClubContract()->Employer, static_cast<TPyxTeamContainer*>(To));

    // A chairman becomes another club's coach: that club's chairman stays.
    TPyxPerson* Chairman = FirstOf(Db.People, [&](TPyxPerson& P) {
        return P.PersonType == 1 && P.ClubJob == 4 && P.ClubTeam != nullptr && P.ClubTeam->GetClub() != To &&
               P.ClubTeam->GetClub()->Chairman == &P;
    });
    TPyxClub* ChairedClub = FirstOf(
        Db.Clubs, [&](TPyxClub& C) { return C.Chairman != nullptr && C.Chairman != Chairman && C.Teams.Count() > 0; });
    QVERIFY(Chairman != nullptr && ChairedClub != nullptr);
    TPyxPerson* OtherChairman = ChairedClub->Chairman;
    Main.ShowPerson(Chairman);
    QVERIFY(!People->dtpContractExpires->isEnabled());
    eh::PickInSelector(Driver, People->ssClubContracted, ChairedClub);
    eh::PickItem(People->cmbJob, "Coach");
    QVERIFY(People->dtpContractExpires->isEnabled());
    People->dtpContractExpires->setDate(QDate(2004, 6, 30));
    if (People->cmbSquadContracted->count() > 1)
        eh::PickItem(People->cmbSquadContracted, TPyxListModel::DisplayName(*ChairedClub->Teams.Items(0)));
    People->btnConfirmChangesClick();
    QCOMPARE(ChairedClub->Chairman, OtherChairman);
    QCOMPARE(Chairman->ClubJob, uint8_t(2));
    QCOMPARE(Chairman->ClubTeam->GetClub(), ChairedClub);
    QVERIFY(Chairman->Contracts.GetClubContract() != nullptr);
    QCOMPARE(PyxControls::ToQDate(Chairman->Contracts.GetClubContract()->ContractExpires), QDate(2004, 6, 30));

    // A national manager becomes another nation's coach.
    TPyxPerson* NationalManager = FirstOf(Db.People, [](TPyxPerson& P) {
        return P.IsNonPlayer() && P.NationalJob == 16 && P.NationalTeam != nullptr && P.NationalTeam->Manager == &P;
    });
    QVERIFY(NationalManager != nullptr);
    TPyxNation* ToNation = FirstOf(Db.Nations, [&](TPyxNation& N) {
        return N.Teams.Count() > 0 && N.Teams.Items(0)->Manager != nullptr &&
               N.Teams.Items(0) != NationalManager->NationalTeam;
    });
    QVERIFY(ToNation != nullptr);
    TPyxPerson* ToNationManager = ToNation->Teams.Items(0)->Manager;
    Main.ShowPerson(NationalManager);
    eh::PickInSelector(Driver, People->ssNationContracted, ToNation);
    eh::PickItem(People->cmbNationJob, "Coach");
    People->btnConfirmChangesClick();
    QCOMPARE(NationalManager->NationalTeam, ToNation->Teams.Items(0));
    QCOMPARE(NationalManager->NationalJob, uint8_t(2));
    QCOMPARE(ToNation->Teams.Items(0)->Manager, ToNationManager);
    QVERIFY(ToNation->Teams.Items(0)->Coaches.Contains(NationalManager));

    // A free agent picks a nation with no job chosen: "Chairman" is selected for them.
    TPyxPerson* Free = FirstOf(Db.People, [](TPyxPerson& P) { return P.PersonType == 1 && P.NationalTeam == nullptr; });
    QVERIFY(Free != nullptr);
    Main.ShowPerson(Free);
    QVERIFY(!People->cmbNationJob->isEnabled());
    eh::PickInSelector(Driver, People->ssNationContracted, ToNation);
    QCOMPARE(People->cmbNationJob->currentText(), QString("Chairman"));
    QVERIFY(!People->dtpContractExpiresNation->isEnabled());

    // Delete Person: the person goes from the list, from every team and from other persons' preferences, and from
    // every control of the other tabs. The clubs tab shows the person's club with the person's squad page on its
    // players; the person is the club's captain and in its favourite staff.
    TPyxPerson* Liked = FirstOf(Db.People, [&](TPyxPerson& P) {
        return P.PersonType == 2 && P.ClubTeam != nullptr && P.ClubTeam->IsClubTeam() &&
               P.ClubTeam->GetClub()->Teams.Count() >= 2;
    });
    TPyxPerson* Fan = FirstOf(Db.People, [&](TPyxPerson& P) { return P.PersonType == 1 && &P != Liked; });
    QVERIFY(Fan != nullptr && Liked != nullptr);
    Fan->Relationships.Add(eh::Relationship(TPyxRelationship::ttPerson, 1, Liked));
    TPyxClub* LikedClub = Liked->ClubTeam->GetClub();
    LikedClub->Captain = Liked;
    LikedClub->Relationships.Add(eh::Relationship(TPyxRelationship::ttPerson, 1, Liked));
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    Main.ShowClub(LikedClub);
    const auto& ClubTeams = LikedClub->Teams.Data();
    const int SquadIndex =
        static_cast<int>(std::find(ClubTeams.begin(), ClubTeams.end(), Liked->ClubTeam) - ClubTeams.begin());
    QVERIFY(SquadIndex >= 0 && SquadIndex < Clubs->SquadCount());
    Clubs->Pages()->setCurrentWidget(Clubs->tsSquads);
    Clubs->pcSquads->setCurrentIndex(SquadIndex);
    Clubs->Squad(SquadIndex)->pcSquad->setCurrentWidget(eh::Find<QWidget>(Clubs->Squad(SquadIndex), "tsPlayers"));
    // Where the clubs tab holds the person: squad pages' player lists, the captain combo, the board and scout
    // lists, the preference copies. The person is compared by address only: once deleted, it must not be followed.
    const void* Gone = Liked;
    const auto ClubsTabHolds = [&] {
        QStringList Holders;
        for (int Page = 0; Page < Clubs->SquadCount(); ++Page)
            for (int I = 0; I < Clubs->Squad(Page)->lboxPlayers->count(); ++I)
                if (Clubs->Squad(Page)->lboxPlayers->GetItem<TPyxPerson>(I) == Gone)
                    Holders.push_back(QString("squad page %1").arg(Page));
        for (int I = 0; I < Clubs->cmbClubCaptain->count(); ++I)
            if (Clubs->cmbClubCaptain->GetItem(I) == Gone)
                Holders.push_back("captain combo");
        for (TPointerListBox* List : {Clubs->lboxBoardMembers, Clubs->lboxScouts})
            for (int I = 0; I < List->count(); ++I)
                if (List->GetItem<TPyxPerson>(I) == Gone)
                    Holders.push_back(List->objectName());
        TPointerListBox* Favourites = Clubs->frameClubPreferences->lboxFavouriteStaff;
        for (int I = 0; I < Favourites->count(); ++I)
            if (Favourites->GetItem<TPyxRelationship>(I)->Target == Gone)
                Holders.push_back("favourite staff");
        return Holders;
    };
    QCOMPARE(ClubsTabHolds(),
             (QStringList{QString("squad page %1").arg(SquadIndex), "captain combo", "favourite staff"}));
    QCOMPARE(Clubs->cmbClubCaptain->GetSelected(), static_cast<TPyxObject*>(Liked));
    const int32_t FanKey = Fan->UniqueID, LikedKey = Liked->UniqueID;
    const int32_t Count = Db.People.Count();
    Main.ShowPerson(Liked);
    People->mnuiDeletePerson->trigger();
    QCOMPARE(Db.People.Count(), Count - 1);
    QCOMPARE(PersonByKey(Db, LikedKey), nullptr);
    QCOMPARE(People->Current(), nullptr);
    QVERIFY(!People->Pages()->isEnabled());
    QCOMPARE(People->Search()->Model().RowOf(Liked), -1);
    QCOMPARE(Joined(rw::DanglingReferences(Db)), QString());
    // The clubs tab still shows the club, with every squad page, and nothing of the person.
    QCOMPARE(Clubs->Current(), LikedClub);
    QVERIFY(Clubs->Pages()->isEnabled());
    QCOMPARE(Clubs->SquadCount(), LikedClub->Teams.Count());
    QCOMPARE(ClubsTabHolds(), QStringList());
    QCOMPARE(Clubs->cmbClubCaptain->GetSelected(), nullptr);
    QCOMPARE(LikedClub->Captain, nullptr);
    Main.ShowPerson(Fan);
    for (int I = 0; I < People->framePeoplePreferences->lboxFavouriteStaff->count(); ++I)
        QVERIFY(People->framePeoplePreferences->lboxFavouriteStaff->GetItem<TPyxRelationship>(I)->Target != Liked);
    People->btnConfirmChangesClick();

    const int32_t ManagerKey = Manager->UniqueID, ToTeamKey = ToTeam->UniqueID, ToManagerKey = ToManager->UniqueID;
    Editor.SaveData();
    Editor.LoadData();
    TPyxDatabase& Again = Main.Database();
    QCOMPARE(Joined(rw::Problems(Again)), QString());
    QCOMPARE(PersonByKey(Again, LikedKey), nullptr);
    QVERIFY(PersonByKey(Again, FanKey) != nullptr);
    TPyxPerson* Moved = PersonByKey(Again, ManagerKey);
    QCOMPARE(Moved->ClubTeam->UniqueID, ToTeamKey);
    QCOMPARE(Moved->ClubJob, uint8_t(2));
    QCOMPARE(Moved->ClubTeam->Manager->UniqueID, ToManagerKey);
    QCOMPARE(Driver.Unexpected(), QStringList());
}

void PeopleJourneyTest::PreferencesHistoryAndLanguagesAreEditedOnCopiesAndWrittenOnConfirm() {
    eh::TWorldFolder World({.PeopleCount = 600, .Seed = 3, .LanguageCount = 3});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* People = Editor.Frame<TframePeople>(TTab::People);
    TframePeoplePreferences* Preferences = People->framePeoplePreferences;
    TframePlayingHistory* History = People->framePlayingHistory;
    TframePersonLanguages* Languages = People->framePersonLanguages;

    TPyxPerson* P = FirstOf(Db.People, [](TPyxPerson& Q) {
        return Q.PersonType == 2 && Q.PlayingHistory && Q.PlayingHistory->Count() >= 3;
    });
    QVERIFY(P != nullptr);
    // Relationships the tab does not edit: a rival club and nation, a second nation. They stay.
    for (uint8_t Kind : {uint8_t(5), uint8_t(6)}) {
        auto R = std::make_unique<TPyxRelationship>();
        R->Kind = Kind;
        R->TargetType = Kind == 5 ? TPyxRelationship::ttClub : TPyxRelationship::ttNation;
        R->Target = Kind == 5 ? static_cast<TPyxObject*>(Db.Clubs.Items(1)) : Db.Nations.Items(2);
        R->Amount = 50;
        P->Relationships.Add(std::move(R));
    }
    P->SetSecondNation(Db.Nations.Items(3));
    const int32_t Key = P->UniqueID;
    Main.ShowPerson(P);
    QCOMPARE(People->ssSecondNation->Selected(), Db.Nations.Items(3));

    // Preferences through the preference dialog.
    TPyxPerson* Staff = Db.People.Items(10) == P ? Db.People.Items(11) : Db.People.Items(10);
    TPyxClub* Liked = Db.Clubs.Items(5);
    TPyxClub* Disliked = Db.Clubs.Items(6);
    const int FavouriteStaff = Preferences->lboxFavouriteStaff->count();
    QCOMPARE(PickPreference(Driver, Preferences->btnAdd[0], Staff, "37"), QString("Add Favourite Staff"));
    QCOMPARE(PickPreference(Driver, Preferences->btnAdd[2], Liked, "80"), QString("Add Favourite Club"));
    QCOMPARE(PickPreference(Driver, Preferences->btnAdd[3], Disliked, "20", false), QString("Add Disliked Club"));
    const int DislikedClubs = Preferences->lboxDislikedClubs->count();
    QCOMPARE(PickPreference(Driver, Preferences->btnAdd[3], Disliked, "20"), QString("Add Disliked Club"));
    QCOMPARE(Preferences->lboxDislikedClubs->count(), DislikedClubs + 1);
    Preferences->lboxFavouriteClubs->setCurrentRow(Preferences->lboxFavouriteClubs->count() - 1);
    QCOMPARE(PickPreference(Driver, Preferences->btnEdit[2], Liked, "65"), QString("Edit Favourite Club"));
    QCOMPARE(Preferences->lboxFavouriteStaff->count(), FavouriteStaff + 1);
    QCOMPARE(Preferences->lboxFavouriteStaff->item(FavouriteStaff)->text(), TPyxListModel::DisplayName(*Staff));

    // History: the last row dragged onto the first, a drop below the rows refused, a row added and edited.
    THistoryListView* Rows = History->lvPlayingHistory;
    People->Pages()->setCurrentWidget(People->tsHistory);
    People->pcHistory->setCurrentWidget(People->tsPlayingHistory);
    QCOMPARE(Rows->topLevelItemCount(), P->PlayingHistory->Count());
    QStringList Before = Seasons(Rows);
    Rows->setCurrentItem(Rows->topLevelItem(Rows->topLevelItemCount() - 1));
    QVERIFY(DropOnRow(Rows, 0));
    Before.move(Before.size() - 1, 0);
    QCOMPARE(Seasons(Rows), Before);
    QVERIFY(!DropOnRow(Rows, -1));
    QCOMPARE(Seasons(Rows), Before);
    Rows->setCurrentItem(Rows->topLevelItem(0));
    QVERIFY(DropOnRow(Rows, 2)); // just before the third row
    Before.move(0, 1);
    QCOMPARE(Seasons(Rows), Before);
    History->btnAdd->click();
    QCOMPARE(Rows->topLevelItem(Rows->topLevelItemCount() - 1)->text(1), QString("Unknown"));
    Rows->setCurrentItem(Rows->topLevelItem(Rows->topLevelItemCount() - 1));
    QVERIFY(History->pnlEntry->isEnabled());
    eh::TypeInto(History->seSeason, "1999");
    TPyxTeam* HistoryTeam = Db.Teams.Items(3);
    eh::PickInSelector(Driver, History->ssClub, HistoryTeam);
    History->cbOnLoan->setChecked(true);
    eh::TypeInto(History->seApps, "31");
    eh::TypeInto(History->seGoals, "9");
    History->btnOK->click();
    QCOMPARE(Rows->topLevelItem(Rows->topLevelItemCount() - 1)->text(1),
             TPyxListModel::DisplayName(*HistoryTeam) + " (Loan)");
    Before.push_back("1999 " + TPyxListModel::DisplayName(*HistoryTeam) + " (Loan)");

    // Languages: one chosen with its fluency, one added and left unknown.
    Languages->btnAdd->click();
    Languages->lboxLanguages->setCurrentRow(Languages->lboxLanguages->count() - 1);
    TPyxLanguage* Language = Db.Languages.Items(1);
    eh::PickInSelector(Driver, Languages->ssLanguage, Language);
    eh::TypeInto(Languages->seProficiency, "7");
    Languages->btnOK->click();
    QCOMPARE(Languages->lboxLanguages->item(Languages->lboxLanguages->count() - 1)->text(),
             TPyxListModel::DisplayName(*Language));
    Languages->btnAdd->click();
    const int LanguageCount = Languages->lboxLanguages->count();

    // Nothing reached the person before the Confirm.
    QVERIFY(P->PlayingHistory->Count() == Rows->topLevelItemCount() - 1);
    QCOMPARE(P->Languages.Count(), LanguageCount - 2);
    People->btnConfirmChangesClick();

    QCOMPARE(P->PlayingHistory->Count(), Before.size());
    const TPyxPlayingHistoryEntry* Last = P->PlayingHistory->Items(P->PlayingHistory->Count() - 1);
    QCOMPARE(Last->Season, int16_t(1999));
    QCOMPARE(Last->Team, HistoryTeam);
    QCOMPARE(Last->OnLoan, uint8_t(1));
    QCOMPARE(Last->Apps, uint8_t(31));
    QCOMPARE(Last->Goals, uint8_t(9));
    QCOMPARE(P->Languages.Count(), LanguageCount);
    QCOMPARE(P->Languages.Items(LanguageCount - 2)->Language, Language);
    QCOMPARE(P->Languages.Items(LanguageCount - 2)->Level, uint8_t(7));
    QCOMPARE(P->Languages.Items(LanguageCount - 1)->Language, nullptr);
    int Kinds[11] = {};
    for (const auto& R : P->Relationships)
        if (R->Kind <= 10)
            ++Kinds[R->Kind];
    QCOMPARE(Kinds[5], 1);
    QCOMPARE(Kinds[6], 1);
    QCOMPARE(Kinds[9], 1);
    QCOMPARE(Kinds[1], FavouriteStaff + 1);
    QCOMPARE(Kinds[4], DislikedClubs + 1);
    bool LikedAt65 = false;
    for (const auto& R : P->Relationships)
        LikedAt65 = LikedAt65 || (R->Kind == 3 && R->Target == Liked && R->Amount == 65);
    QVERIFY(LikedAt65);

    // Deleting every row and confirming removes the history; one row added to a person without one creates it.
    TPyxPerson* Other = FirstOf(Db.People, [&](TPyxPerson& Q) {
        return &Q != P && Q.PersonType == 2 && Q.PlayingHistory && Q.PlayingHistory->Count() > 0;
    });
    TPyxPerson* Without = FirstOf(Db.People, [](TPyxPerson& Q) { return Q.PersonType == 2 && !Q.PlayingHistory; });
    QVERIFY(Other != nullptr && Without != nullptr);
    const int32_t OtherKey = Other->UniqueID, WithoutKey = Without->UniqueID;
    Main.ShowPerson(Other);
    while (Rows->topLevelItemCount() > 0) {
        Rows->setCurrentItem(Rows->topLevelItem(0));
        History->btnDelete->click();
    }
    People->btnConfirmChangesClick();
    QVERIFY(!Other->PlayingHistory);
    Main.ShowPerson(Without);
    QCOMPARE(Rows->topLevelItemCount(), 0);
    History->btnAdd->click();
    People->btnConfirmChangesClick();
    QVERIFY(Without->PlayingHistory && Without->PlayingHistory->Count() == 1);
    QCOMPARE(Without->PlayingHistory->Items(0)->Season, int16_t(2001));

    // The person's record counts all its relationships in one byte: with the tab's lists and the kinds it does not
    // show at that limit, an Add is refused with a message and no dialog, and the save still goes through.
    TPyxPerson* Full = FirstOf(Db.People, [&](TPyxPerson& Q) { return &Q != P && Q.PersonType == 1; });
    QVERIFY(Full != nullptr);
    Full->Relationships.Clear();
    for (int I = 0; I < TframePeoplePreferences::MaxRelationships - 2; ++I)
        Full->Relationships.Add(
            eh::Relationship(TPyxRelationship::ttNation, 6, Db.Nations.Items(I % Db.Nations.Count())));
    const int32_t FullKey = Full->UniqueID;
    Main.ShowPerson(Full);
    QCOMPARE(PickPreference(Driver, Preferences->btnAdd[0], Staff, "55"), QString("Add Favourite Staff"));
    QCOMPARE(PickPreference(Driver, Preferences->btnAdd[3], Disliked, "15"), QString("Add Disliked Club"));
    const auto Listed = [&] {
        return QList<int>{Preferences->lboxFavouriteStaff->count(), Preferences->lboxDislikedStaff->count(),
                          Preferences->lboxFavouriteClubs->count(), Preferences->lboxDislikedClubs->count()};
    };
    const QList<int> AtLimit = Listed();
    QCOMPARE(AtLimit, (QList<int>{1, 0, 0, 1}));
    for (QPushButton* Add : Preferences->btnAdd) {
        QString Seen;
        Driver.Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Seen));
        Add->click();
        QVERIFY2(Seen.startsWith("msgError"), qPrintable(Add->objectName() + ": " + Seen));
        QVERIFY(Seen.contains("at most 255 relationships"));
        QCOMPARE(Listed(), AtLimit);
    }
    // A deleted entry makes room again.
    Preferences->lboxFavouriteStaff->setCurrentRow(0);
    Preferences->btnDelete[0]->click();
    QCOMPARE(PickPreference(Driver, Preferences->btnAdd[1], Staff, "30"), QString("Add Disliked Staff"));
    QCOMPARE(Preferences->lboxDislikedStaff->count(), 1);
    People->btnConfirmChangesClick();
    QCOMPARE(Full->Relationships.Count(), TframePeoplePreferences::MaxRelationships);

    const int32_t TeamKey = HistoryTeam->UniqueID;
    Editor.SaveData();
    Editor.LoadData();
    TPyxDatabase& Again = Main.Database();
    QCOMPARE(Joined(rw::Problems(Again)), QString());
    TPyxPerson* R = PersonByKey(Again, Key);
    QCOMPARE(R->PlayingHistory->Count(), Before.size());
    QCOMPARE(R->PlayingHistory->Items(R->PlayingHistory->Count() - 1)->Team->UniqueID, TeamKey);
    Main.ShowPerson(R);
    QCOMPARE(Seasons(Rows), Before);
    QCOMPARE(R->Languages.Count(), LanguageCount);
    QCOMPARE(R->GetSecondNation() != nullptr, true);
    QVERIFY(!PersonByKey(Again, OtherKey)->PlayingHistory);
    QCOMPARE(PersonByKey(Again, WithoutKey)->PlayingHistory->Count(), 1);
    QCOMPARE(PersonByKey(Again, FullKey)->Relationships.Count(), TframePeoplePreferences::MaxRelationships);
    QCOMPARE(Driver.Unexpected(), QStringList());
}

void PeopleJourneyTest::OfficialsAndTypeChangesWriteOnlyTheParts() {
    eh::TWorldFolder World({.PeopleCount = 800, .Seed = 5, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* People = Editor.Frame<TframePeople>(TTab::People);

    // An official: only the general and referee tabs.
    TPyxPerson* Referee = FirstOf(Db.People, [](TPyxPerson& P) { return P.PersonType == 4; });
    QVERIFY(Referee != nullptr);
    Main.ShowPerson(Referee);
    QCOMPARE(ShownTabs(*People), (QStringList{"tsGeneral", "tsReferee", "tsLanguages"}));
    QVERIFY(!People->cbDeclaredForNation->isEnabled() && !People->ssNationContracted->isEnabled());
    TPyxCity* City = Db.Cities.Items(3);
    TPyxCompetition* Division = Db.Competitions.Items(1);
    QCOMPARE(eh::PickInSelector(Driver, People->ssRefereeCity, City),
             QString("Find City for Referee\nCity is Unknown"));
    QCOMPARE(eh::PickInSelector(Driver, People->ssRefereeDivision, Division),
             QString("Find Division for Referee\nDivision is Unknown"));
    eh::TypeInto(People->Attribute("seRefereeCurrentAbility"), "170");
    eh::TypeInto(People->Attribute("seTimekeeping"), "18");
    const bool WasFifa = Referee->Official->FIFAOfficial != 0;
    eh::ClickCheckBox(People->cbFIFAOfficial);
    People->btnConfirmChangesClick();
    QCOMPARE(Referee->Official->City, City);
    QCOMPARE(Referee->Official->Division, Division);
    QCOMPARE(Referee->Official->CurrentAbility, int16_t(170));
    QCOMPARE(Referee->Official->Timekeeping, uint8_t(18));
    QCOMPARE(Referee->Official->FIFAOfficial != 0, !WasFifa);
    QVERIFY(!Referee->PersonData);

    // Another official keeps the referee part to the save: its values are read back after the reload.
    TPyxPerson* Kept = FirstOf(Db.People, [&](TPyxPerson& P) { return P.PersonType == 4 && &P != Referee; });
    QVERIFY(Kept != nullptr);
    Main.ShowPerson(Kept);
    // A city and a division other than its own, so that each is really written.
    TPyxCity* KeptCity = FirstOf(Db.Cities, [&](TPyxCity& C) { return &C != Kept->Official->City; });
    TPyxCompetition* KeptDivision =
        FirstOf(Db.Competitions, [&](TPyxCompetition& C) { return &C != Kept->Official->Division; });
    eh::PickInSelector(Driver, People->ssRefereeCity, KeptCity);
    eh::PickInSelector(Driver, People->ssRefereeDivision, KeptDivision);
    eh::TypeInto(People->Attribute("seRefereeCurrentAbility"), "143");
    eh::TypeInto(People->Attribute("seTimekeeping"), "6");
    const bool KeptFifa = Kept->Official->FIFAOfficial == 0;
    eh::ClickCheckBox(People->cbFIFAOfficial);
    People->btnConfirmChangesClick();
    QCOMPARE(Kept->Official->CurrentAbility, int16_t(143));
    const int32_t KeptKey = Kept->UniqueID, KeptCityKey = KeptCity->UniqueID;
    const int32_t KeptDivisionKey = KeptDivision->UniqueID;

    // A player with a loan or a future transfer becomes an official: the player part and its records go; the
    // referee part takes what its tab shows, which the type change reset.
    TPyxPerson* Player = FirstOf(Db.People, [](TPyxPerson& P) {
        return P.PersonType == 2 && P.Player && (P.Player->Loan || P.Player->FutureTransfer) && P.ClubTeam;
    });
    QVERIFY(Player != nullptr);
    TPyxTeam* Team = Player->ClubTeam;
    Main.ShowPerson(Player);
    eh::PickItem(People->cmbPersonType, "Official");
    QCOMPARE(ShownTabs(*People), (QStringList{"tsGeneral", "tsReferee", "tsLanguages"}));
    QCOMPARE(People->ssRefereeCity->Selected(), nullptr);
    QCOMPARE(People->Attribute("seRefereeCurrentAbility")->Value(), 0);
    eh::TypeInto(People->Attribute("seDiscipline"), "11");
    People->btnConfirmChangesClick();
    QVERIFY(Player->IsOfficial() && !Player->Player && !Player->PersonData);
    QCOMPARE(Player->ClubTeam, nullptr);
    QVERIFY(!Team->Players.Contains(Player));
    QCOMPARE(Player->Official->Discipline, uint8_t(11));
    QCOMPARE(Player->Official->CurrentAbility, int16_t(0));
    QCOMPARE(Player->Official->City, nullptr);

    // An official becomes a non-player: a personality record and a staff part, with the zeros shown.
    Main.ShowPerson(Referee);
    eh::PickItem(People->cmbPersonType, "Non Player");
    QCOMPARE(ShownTabs(*People), (QStringList{"tsGeneral", "tsContract", "tsMental", "tsNonPlayer", "tsCoaching",
                                              "tsPreferences", "tsHistory", "tsLanguages"}));
    eh::TypeInto(People->Attribute("seBusiness"), "16");
    eh::TypeInto(People->seBoardConfidence, "120");
    People->btnConfirmChangesClick();
    QVERIFY(Referee->IsNonPlayer() && !Referee->Official && Referee->PersonData && Referee->NonPlayer);
    QCOMPARE(Referee->NonPlayer->NonPlayingData->Business, uint8_t(16));
    QCOMPARE(Referee->PersonData->Adaptability, uint8_t(0));
    // The confidence shown is written with the new staff part, as typed.
    QVERIFY(Referee->NonPlayer->StartingConfidence != nullptr);
    QCOMPARE(Referee->NonPlayer->StartingConfidence->BoardConfidence, int16_t(120));

    const int32_t RefereeKey = Referee->UniqueID, PlayerKey = Player->UniqueID;
    Editor.SaveData();
    Editor.LoadData();
    TPyxDatabase& Again = Main.Database();
    QCOMPARE(Joined(rw::Problems(Again)), QString());
    QCOMPARE(PersonByKey(Again, PlayerKey)->Official->Discipline, uint8_t(11));
    QCOMPARE(PersonByKey(Again, RefereeKey)->NonPlayer->NonPlayingData->Business, uint8_t(16));
    QCOMPARE(PersonByKey(Again, RefereeKey)->NonPlayer->StartingConfidence->BoardConfidence, int16_t(120));
    const TPyxOfficial* Official = PersonByKey(Again, KeptKey)->Official.get();
    QVERIFY(Official != nullptr);
    QCOMPARE(Official->CurrentAbility, int16_t(143));
    QCOMPARE(Official->Timekeeping, uint8_t(6));
    QCOMPARE(Official->FIFAOfficial != 0, KeptFifa);
    QVERIFY(Official->City != nullptr && Official->Division != nullptr);
    QCOMPARE(Official->City->UniqueID, KeptCityKey);
    QCOMPARE(Official->Division->UniqueID, KeptDivisionKey);
    QCOMPARE(Driver.Unexpected(), QStringList());
}

void PeopleJourneyTest::OlderFilesDisableWhatTheyCannotHold() {
    eh::TWorldFolder World({.PeopleCount = 300, .Seed = 11, .Version = 112, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TPyxDatabase& Db = Editor.Main().Database();
    auto* People = Editor.Frame<TframePeople>(TTab::People);
    TPyxPerson* Player = FirstOf(Db.People, [](TPyxPerson& P) {
        return P.PersonType == 2 && P.ClubTeam != nullptr && P.Contracts.GetClubContract() != nullptr;
    });
    QVERIFY(Player != nullptr);
    Editor.Main().ShowPerson(Player);
    QVERIFY(!People->seU21Apps->isEnabled() && !People->seU21Goals->isEnabled());
    QVERIFY(People->dtpContractExpires->isEnabled() && !People->dtpContractStart->isEnabled());
    QVERIFY(!People->ssCoOwnedBy->isEnabled());
    QCOMPARE(Player->SetCoOwner(Db.Clubs.Items(0), Db.GetVersion()), false);
    QCOMPARE(Player->GetCoOwner(), nullptr);
}

void PeopleJourneyTest::EveryTabOfEveryTypeShowsItsControlsUnclippedAndApart() {
    // With PYX_SCREENSHOT_DIR set, each tab of each type is also saved there as a PNG. The tests draw offscreen unless
    // QT_QPA_PLATFORM says otherwise, so pictures under Xvfb need the X platform named, on one line:
    //   xvfb-run -a -s "-screen 0 1920x1200x24" env QT_QPA_PLATFORM=xcb PYX_SCREENSHOT_DIR=DIR
    //     build/dev/tests/editor/PeopleJourneyTest EveryTabOfEveryTypeShowsItsControlsUnclippedAndApart
    const QString Shots = qEnvironmentVariable("PYX_SCREENSHOT_DIR");
    eh::TWorldFolder World({.PeopleCount = 600, .Seed = 2, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    auto* People = Editor.Frame<TframePeople>(TTab::People);
    QStringList Faults;
    for (uint8_t Type = 1; Type <= 4; ++Type) {
        TPyxPerson* P = FirstOf(Db.People, [&](TPyxPerson& Q) {
            return Q.PersonType == Type && (Type == 4 || (Q.ClubTeam != nullptr && Q.Relationships.Count() > 0));
        });
        if (P == nullptr)
            P = FirstOf(Db.People, [&](TPyxPerson& Q) { return Q.PersonType == Type; });
        QVERIFY(P != nullptr);
        // A player-manager, so that "Starting Confidence" is shown for type 3 too.
        if (Type == 3 && P->ClubTeam != nullptr && P->ClubJob != 17)
            P->SetClubPost(P->ClubTeam, 17);
        Main.ShowPerson(P);
        if (Type == 1 || Type == 3)
            QVERIFY2(People->TabShown(People->tsStartingConfidence), qPrintable(QString("type %1").arg(Type)));
        for (int Tab = 0; Tab < People->Pages()->count(); ++Tab) {
            if (!People->Pages()->isTabVisible(Tab))
                continue;
            People->Pages()->setCurrentIndex(Tab);
            QWidget* Page = People->Pages()->widget(Tab);
            QTabWidget* Inner = Page == People->tsContract  ? People->pcContract
                                : Page == People->tsHistory ? People->pcHistory
                                                            : nullptr;
            const int InnerCount = Inner != nullptr ? Inner->count() : 1;
            for (int Sub = 0; Sub < InnerCount; ++Sub) {
                if (Inner != nullptr && !Inner->isTabVisible(Sub))
                    continue;
                if (Inner != nullptr)
                    Inner->setCurrentIndex(Sub);
                QCoreApplication::processEvents();
                QWidget* Shown = Inner != nullptr ? Inner->widget(Sub) : Page;
                const QString Where = QString("type %1 %2").arg(Type).arg(Shown->objectName());
                Faults += LayoutFaults(Shown, Where);
                if (!Shots.isEmpty())
                    Main.grab().save(QString("%1/people-type%2-%3.png").arg(Shots).arg(Type).arg(Shown->objectName()));
            }
        }
    }
    for (const QString& Fault : Faults)
        qWarning("%s", qPrintable(Fault));
    QCOMPARE(Faults.size(), 0);
}

void PeopleJourneyTest::CancelLinksAndTheContractRules() {
    eh::TWorldFolder World({.PeopleCount = 500, .Seed = 9, .LanguageCount = 2});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path(), true, false);
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* People = Editor.Frame<TframePeople>(TTab::People);

    // Without playing histories the "&History" tab is hidden, and career statistics still go through unchanged.
    TPyxPerson* P = FirstOf(Db.People, [](TPyxPerson& Q) {
        return Q.PersonType == 1 && Q.ClubTeam != nullptr && Q.CityOfBirth != nullptr && JobHasContract(Q.ClubJob) &&
               Q.Contracts.GetClubContract() != nullptr;
    });
    QVERIFY(P != nullptr);
    Main.ShowPerson(P);
    QVERIFY(!People->TabShown(People->tsHistory));

    // Cancel drops what was typed and picked.
    const std::u16string Name = P->GetFirstName();
    eh::TypeInto(People->edFirstName, "Changed");
    eh::PickInSelector(Driver, People->ssCityOfBirth, nullptr);
    People->btnCancelChangesClick();
    QCOMPARE(People->edFirstName->text(), QString::fromStdU16String(Name));
    QCOMPARE(People->ssCityOfBirth->Selected(), P->CityOfBirth);
    QCOMPARE(P->GetFirstName(), Name);

    // A job without contract resets and disables the contract period, wage and squad number.
    QVERIFY(People->dtpContractExpires->isEnabled());
    eh::PickItem(People->cmbJob, "Chairman");
    QVERIFY(!People->dtpContractExpires->isEnabled() && !People->seEstimatedWage->isEnabled());
    QCOMPARE(People->dtpContractExpires->date(), QDate(1900, 1, 1));
    QCOMPARE(People->seEstimatedWage->Value(), 0);
    QCOMPARE(People->seSquadNumber->Value(), -1);
    QCOMPARE(People->cmbSquadContracted->count(), 0);
    People->btnCancelChangesClick();

    // Links: the city of birth in its tab; an injury in its tab.
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::People));
    eh::Find<QToolButton>(People, "btnCityOfBirthLink")->click();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Cities));
    QCOMPARE(Main.Frame(TTab::Cities)->CurrentObject(), P->CityOfBirth);

    // A club of one team: the squad list stays empty and disabled; the Confirm puts the person in that team.
    TPyxClub* Single = FirstOf(Db.Clubs, [&](TPyxClub& C) {
        return C.Teams.Count() == 1 && C.Teams.Items(0) != P->ClubTeam && C.Teams.Items(0)->Manager != nullptr;
    });
    QVERIFY(Single != nullptr);
    TPyxPerson* SingleManager = Single->Teams.Items(0)->Manager;
    Main.ShowPerson(P);
    eh::PickInSelector(Driver, People->ssClubContracted, Single);
    QCOMPARE(People->cmbSquadContracted->count(), 0);
    QVERIFY(!People->cmbSquadContracted->isEnabled());
    eh::PickItem(People->cmbJob, "Scout");
    People->btnConfirmChangesClick();
    QCOMPARE(P->ClubTeam, Single->Teams.Items(0));
    QCOMPARE(P->ClubJob, uint8_t(14));
    QVERIFY(Single->Scouts.Contains(P));
    QCOMPARE(Single->Teams.Items(0)->Manager, SingleManager);

    // Loans of a type 2 and a type 3 player and their future transfers at the second squad of a club: an unedited
    // Confirm keeps them there (the type 3 loan and every future transfer have no squad list to show it).
    TPyxClub* Multi = FirstOf(Db.Clubs, [](TPyxClub& C) { return C.Teams.Count() >= 2; });
    TPyxPerson* Loaned2 = FirstOf(Db.People, [](TPyxPerson& Q) { return Q.PersonType == 2; });
    TPyxPerson* Loaned3 = FirstOf(Db.People, [](TPyxPerson& Q) { return Q.PersonType == 3; });
    QVERIFY(Multi != nullptr && Loaned2 != nullptr && Loaned3 != nullptr);
    const int32_t SecondKey = Multi->Teams.Items(1)->UniqueID;
    const std::vector<int32_t> LoanedKeys{Loaned2->UniqueID, Loaned3->UniqueID};
    // The same records in the editor's database and in the model's expected save.
    const auto PlaceAtSecondSquad = [&](TPyxDatabase& D) {
        TPyxTeam* Second = D.Teams.FindByUniqueID(SecondKey);
        for (int32_t LoanedKey : LoanedKeys) {
            TPyxPerson* Q = D.People.FindByUniqueID(LoanedKey);
            auto Loan = std::make_unique<TPyxLoan>();
            Loan->Person = Q;
            Loan->Team = Second;
            Loan->StartDate = PyxControls::FromQDate(QDate(2001, 7, 1));
            Loan->EndDate = PyxControls::FromQDate(QDate(2002, 6, 30));
            Q->Player->SetLoan(std::move(Loan));
            auto Transfer = std::make_unique<TPyxFutureTransfer>();
            Transfer->Person = Q;
            Transfer->Team = Second;
            Transfer->TransferDate = PyxControls::FromQDate(QDate(2002, 7, 1));
            Transfer->TransferFee = 750000;
            Transfer->FutureWage = 12000;
            Transfer->ContractYears = 3;
            Q->Player->SetFutureTransfer(std::move(Transfer));
        }
    };
    PlaceAtSecondSquad(Db);
    TPyxTeam* Second = Multi->Teams.Items(1);
    for (int32_t LoanedKey : LoanedKeys) {
        TPyxPerson* Q = PersonByKey(Db, LoanedKey);
        const TPyxLoan* Loan = Q->Player->Loan.get();
        const TPyxFutureTransfer* Transfer = Q->Player->FutureTransfer.get();
        Main.ShowPerson(Q);
        QCOMPARE(People->ssLoanClub->Selected(), static_cast<TPyxObject*>(Multi));
        QCOMPARE(People->ssFutureClub->Selected(), static_cast<TPyxObject*>(Multi));
        if (Q->PersonType == 2)
            QCOMPARE(People->cmbLoanSquad->GetSelected(), static_cast<TPyxObject*>(Second));
        else
            QCOMPARE(People->cmbLoanSquad->count(), 0);
        People->btnConfirmChangesClick();
        QCOMPARE(Q->Player->Loan.get(), Loan);
        QCOMPARE(Q->Player->Loan->Team, Second);
        QCOMPARE(Q->Player->FutureTransfer.get(), Transfer);
        QCOMPARE(Q->Player->FutureTransfer->Team, Second);
    }

    // Every other person confirmed unedited: the files differ from the model's save only by this move.
    const int32_t Key = P->UniqueID, TeamKey = Single->Teams.Items(0)->UniqueID;
    Editor.SaveData();
    eh::TWorldFolder Expected;
    eh::ModelSave(
        Original.Path(), Expected.Path(),
        [&](TPyxDatabase& Model) {
            PlaceAtSecondSquad(Model);
            TPyxPerson* M = Model.People.FindByUniqueID(Key);
            M->SetClubPost(Model.Teams.FindByUniqueID(TeamKey), 14);
        },
        true, false);
    // The history files were not loaded: the save leaves them as they were.
    for (const char* File : {"pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"})
        QVERIFY(QFile::copy(Original.File(File), Expected.File(File)));
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
    QCOMPARE(Driver.Unexpected(), QStringList());
}

PYX_EDITOR_TEST_MAIN(PeopleJourneyTest)
#include "PeopleJourneyTest.moc"
