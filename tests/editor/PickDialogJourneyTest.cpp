// The pick dialog through a selector, and the preference dialog, over a loaded world: an empty link, a pick through
// search and typing, the "no entity" box, Cancel, Enter in the search edit, and the preference amount.

#include "EditorHarness.h"
#include "EditorTestMain.h"

#include "EditPreference.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SearchForm.h"
#include "frameSelectionSearchUnit.h"
#include "frmMainUnit.h"

#include "SpinEdit.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

struct TDialogSeen {
    QString Title, UnknownCaption;
    QStringList Rows;
    int FocusedRow = -2;
};

TDialogSeen Look(TSearchForm& Dialog) {
    TDialogSeen Seen{Dialog.windowTitle(), Dialog.cbUnknown->text(), {}, Dialog.lvSearchList->FocusedRow()};
    for (int Row = 0; Row < Dialog.Search->Model().Count(); ++Row)
        Seen.Rows.push_back(TPyxListModel::DisplayName(*Dialog.Search->Model().Entity(Row)));
    return Seen;
}

// A selector over the nations of a loaded editor, as a frame sets it up.
struct TNationSelector {
    explicit TNationSelector(TfrmMain& Main) : Selector(&Main) {
        Selector.SearchCaption = "Find City Nation";
        Selector.UnknownCaption = "City has no nation";
        Selector.NoneText = "<no nation>";
        Selector.List = &Main.Database().Nations;
        QObject::connect(&Selector, &TframeSelectionSearch::Changed, [this] { ++Changes; });
    }
    TframeSelectionSearch Selector;
    int Changes = 0;
};

} // namespace

class PickDialogJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void ASelectorWithoutLinkOpensEmptyAndOkSetsNone();
    void ASelectorPicksThroughSearchAndTyping();
    void TheNoEntityBoxDisablesTheListAndOkGivesNone();
    void CancelChangesNothing();
    void ThePreferenceDialogPicksAPersonOrAClubWithARoundedAmount();

private:
    std::unique_ptr<eh::TWorldFolder> World_;
    std::unique_ptr<eh::TEditorSession> Editor_;
};

void PickDialogJourneyTest::initTestCase() {
    World_ = std::make_unique<eh::TWorldFolder>(wb::TGeneratorOptions{.PeopleCount = 400});
    Editor_ = std::make_unique<eh::TEditorSession>(World_->Path());
    Editor_->LoadData();
}

void PickDialogJourneyTest::cleanupTestCase() {
    QVERIFY(Editor_->Driver().Unexpected().isEmpty());
    Editor_.reset();
    World_.reset();
}

void PickDialogJourneyTest::ASelectorWithoutLinkOpensEmptyAndOkSetsNone() {
    TNationSelector Nation(Editor_->Main());
    Nation.Selector.SetSelected(nullptr);
    QCOMPARE(Nation.Selector.edSelection->text(), QString("<no nation>"));
    TDialogSeen Seen;
    Editor_->Driver().Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        Seen = Look(*Pick);
        Pick->btnOK->click();
    });
    Nation.Selector.btnSearch->click();
    QCOMPARE(Seen.Title, QString("Find City Nation"));
    QCOMPARE(Seen.UnknownCaption, QString("City has no nation"));
    QCOMPARE(Seen.Rows, QStringList());
    QCOMPARE(Nation.Selector.Selected(), nullptr);
    QCOMPARE(Nation.Changes, 1);
}

void PickDialogJourneyTest::ASelectorPicksThroughSearchAndTyping() {
    TPyxDatabase& Database = Editor_->Main().Database();
    TPyxNation* First = Database.Nations.Items(0);
    TPyxNation* Wanted = Database.Nations.Items(Database.Nations.Count() - 1);
    const QString WantedName = TPyxListModel::DisplayName(*Wanted);
    TNationSelector Nation(Editor_->Main());
    Nation.Selector.SetSelected(First);
    QCOMPARE(Nation.Selector.edSelection->text(), TPyxListModel::DisplayName(*First));

    TDialogSeen Opened, Searched;
    int Visible = -1;
    Editor_->Driver().Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        // The current link is the one row, focused.
        Opened = Look(*Pick);
        // Enter in the search edit searches rather than closing the dialog.
        Pick->edSearch->setFocus();
        Pick->edSearch->setText("");
        QTest::keyClick(Pick->edSearch, Qt::Key_Return);
        Visible = Pick->isVisible() ? 1 : 0;
        Searched = Look(*Pick);
        // Typing the first letters of a name in the list focuses it.
        Pick->lvSearchList->setFocus();
        QTest::keyClicks(Pick->lvSearchList, WantedName.left(6).toLower());
        Pick->btnOK->click();
    });
    Nation.Selector.btnSearch->click();
    QCOMPARE(Opened.Rows, QStringList{TPyxListModel::DisplayName(*First)});
    QCOMPARE(Opened.FocusedRow, 0);
    QCOMPARE(Visible, 1);
    QCOMPARE(Searched.Rows.size(), Database.Nations.Count());
    QCOMPARE(Searched.FocusedRow, -1);
    QVERIFY(Nation.Selector.Selected() != nullptr);
    QVERIFY(
        TPyxListModel::DisplayName(*Nation.Selector.Selected()).startsWith(WantedName.left(6), Qt::CaseInsensitive));
    QCOMPARE(Nation.Selector.edSelection->text(), TPyxListModel::DisplayName(*Nation.Selector.Selected()));
    QCOMPARE(Nation.Changes, 1);
}

void PickDialogJourneyTest::TheNoEntityBoxDisablesTheListAndOkGivesNone() {
    TNationSelector Nation(Editor_->Main());
    Nation.Selector.SetSelected(Editor_->Main().Database().Nations.Items(1));
    bool ListEnabled = true, EditEnabled = true, ButtonEnabled = true;
    Editor_->Driver().Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        Pick->cbUnknown->click();
        ListEnabled = Pick->lvSearchList->isEnabled();
        EditEnabled = Pick->edSearch->isEnabled();
        ButtonEnabled = Pick->btnSearch->isEnabled();
        Pick->btnOK->click();
    });
    Nation.Selector.btnSearch->click();
    QVERIFY(!ListEnabled);
    QVERIFY(!EditEnabled);
    QVERIFY(!ButtonEnabled);
    QCOMPARE(Nation.Selector.Selected(), nullptr);
    QCOMPARE(Nation.Selector.edSelection->text(), QString("<no nation>"));
    QCOMPARE(Nation.Changes, 1);
}

void PickDialogJourneyTest::CancelChangesNothing() {
    TNationSelector Nation(Editor_->Main());
    TPyxNation* Linked = Editor_->Main().Database().Nations.Items(2);
    Nation.Selector.SetSelected(Linked);
    Editor_->Driver().Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        Pick->btnSearchClick();
        Pick->lvSearchList->FocusRow(3);
        Pick->btnCancel->click();
    });
    Nation.Selector.btnSearch->click();
    QCOMPARE(Nation.Selector.Selected(), Linked);
    QCOMPARE(Nation.Changes, 0);
}

void PickDialogJourneyTest::ThePreferenceDialogPicksAPersonOrAClubWithARoundedAmount() {
    TPyxDatabase& Database = Editor_->Main().Database();
    TEditPreference Staff(&Editor_->Main());
    Staff.Database = &Database;
    Staff.Setup(true, true, true);
    QCOMPARE(Staff.windowTitle(), QString("Add Favourite Staff"));
    QCOMPARE(Staff.seAmount->Value(), 100);
    int Results = -1;
    QString StaffName, ClubName, NationName;
    Editor_->Driver().Expect([&](QWidget* Dialog) {
        auto* Preference = qobject_cast<TEditPreference*>(Dialog);
        Preference->edSearch->setText("a");
        Preference->btnSearch->click();
        Results = Preference->Search()->Model().Count();
        Preference->lvSearchList->FocusRow(0);
        StaffName = Preference->lblStaffName->text();
        ClubName = Preference->lblClubName->text();
        NationName = Preference->lblNationName->text();
        // An amount typed and confirmed with Enter is rounded as on leaving the field.
        Preference->seAmount->setFocus();
        Preference->seAmount->selectAll();
        QTest::keyClicks(Preference->seAmount, "37");
        QTest::keyClick(Preference->seAmount, Qt::Key_Return);
    });
    QCOMPARE(Staff.exec(), int(QDialog::Accepted));
    int Matching = 0;
    for (int32_t I = 0; I < Database.People.Count(); ++I)
        Matching += Database.People.Items(I)->Matches(u"a") ? 1 : 0;
    QCOMPARE(Results, Matching);
    auto* Person = static_cast<TPyxPerson*>(Staff.Selected);
    QVERIFY(Person != nullptr);
    QCOMPARE(StaffName, TPyxListModel::DisplayName(*Person));
    const TPyxClub* Club = Person->ClubTeam != nullptr ? Person->ClubTeam->GetClub() : nullptr;
    QCOMPARE(ClubName, Club != nullptr ? TPyxListModel::DisplayName(*Club) : QString("No Club"));
    QCOMPARE(NationName,
             Person->Nation != nullptr ? TPyxListModel::DisplayName(*Person->Nation) : QString("No Nation"));
    QCOMPARE(Staff.GetAmount(), 35);

    TEditPreference Rival(&Editor_->Main());
    Rival.Database = &Database;
    Rival.Setup(false, false, false);
    QCOMPARE(Rival.windowTitle(), QString("Edit Disliked Club"));
    QVERIFY(Rival.lblStaff->isHidden());
    QVERIFY(Rival.lblStaffName->isHidden());
    TPyxClub* Linked = Database.Clubs.Items(0);
    Rival.SetEntry(Linked, 40);
    QCOMPARE(Rival.Search()->Model().Count(), 1);
    QCOMPARE(Rival.Selected, Linked);
    QCOMPARE(Rival.lblClubName->text(), TPyxListModel::DisplayName(*Linked));
    QCOMPARE(Rival.GetAmount(), 40);
    Rival.seAmount->SetValue(3);
    QCOMPARE(Rival.GetAmount(), 5);
}

PYX_EDITOR_TEST_MAIN(PickDialogJourneyTest)
#include "PickDialogJourneyTest.moc"
