// The competitions tab: the teams page, links to nations, continents and the teams' owners, and a competition's
// history edited row by row (added, changed through the panel and "OK", deleted), cancelled, confirmed, saved,
// compared with what the data model writes for the same edits, and loaded again.

#include "EditorHarness.h"
#include "EditorTestMain.h"
#include "PickEntity.h"

#include "PointerListBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SpinEdit.h"
#include "frameCompetitionHistoryUnit.h"
#include "frameCompetitionUnit.h"
#include "frameSelectionSearchUnit.h"
#include "frmMainUnit.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

// What identifies a history entry and what it says, in list order.
struct TEntry {
    int32_t UniqueID;
    int16_t Year;
    const TPyxTeam* First;
    const TPyxTeam* Second;
    const TPyxTeam* Third;
    const TPyxTeam* Hosts;
    bool operator==(const TEntry&) const = default;
};

std::vector<TEntry> EntriesOf(const TPyxCompetition& Competition) {
    std::vector<TEntry> Entries;
    Competition.Histories.ForEach([&](const TPyxCompetitionHistory* H) {
        Entries.push_back({H->UniqueID, H->Year, H->FirstPlaced, H->SecondPlaced, H->ThirdPlaced, H->Hosts});
    });
    return Entries;
}

std::vector<const TPyxCompetitionHistory*> Pointers(const TPyxCompetition& Competition) {
    std::vector<const TPyxCompetitionHistory*> Result;
    Competition.Histories.ForEach([&](const TPyxCompetitionHistory* H) { Result.push_back(H); });
    return Result;
}

// The competition with the most history entries whose winners include a national team.
TPyxCompetition* InternationalCompetition(const TPyxDatabase& Database) {
    TPyxCompetition* Best = nullptr;
    Database.Competitions.ForEach([&](TPyxCompetition* C) {
        bool National = false;
        C->Histories.ForEach([&](const TPyxCompetitionHistory* H) {
            National = National || (H->FirstPlaced != nullptr && !H->FirstPlaced->IsClubTeam());
        });
        if (National && C->Histories.Count() >= 3 &&
            (Best == nullptr || C->Histories.Count() > Best->Histories.Count()))
            Best = C;
    });
    return Best;
}

QStringList RowTexts(const QTreeWidget& List, int Row) {
    QStringList Texts;
    for (int Column = 0; Column < List.columnCount(); ++Column)
        Texts.push_back(List.topLevelItem(Row)->text(Column));
    return Texts;
}

void ClickRow(QTreeWidget& List, int Row) {
    QTreeWidgetItem* Item = List.topLevelItem(Row);
    List.scrollToItem(Item);
    QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, List.visualItemRect(Item).center());
}

int RowOfYear(const QTreeWidget& List, int Year) {
    for (int Row = 0; Row < List.topLevelItemCount(); ++Row)
        if (List.topLevelItem(Row)->text(0) == QString::number(Year))
            return Row;
    return -1;
}

QString TeamName(const TPyxTeam* Team) {
    return Team != nullptr ? TPyxListModel::DisplayName(*Team) : QString();
}

} // namespace

class CompetitionJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void TeamsPageAndLinksReachTheirTabs();
    void HistoryRowsAddedEditedAndDeletedSurviveConfirmSaveAndReload();
};

void CompetitionJourneyTest::TeamsPageAndLinksReachTheirTabs() {
    eh::TWorldFolder World({.PeopleCount = 300});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    auto* Frame = Editor.Frame<TframeCompetition>(TTab::Competition);
    QVERIFY(Frame != nullptr);
    QVERIFY(Main.Tabs()->isTabEnabled(Main.Tabs()->indexOf(Main.Sheet(TTab::Competition))));

    Frame->btnSearchClick();
    QCOMPARE(Frame->SearchResultText(), QString::number(Database.Competitions.Count()) + " Competitions Found");

    // A league: its teams page lists exactly the teams that play in it as division or other division.
    TPyxCompetition* League = nullptr;
    std::vector<TPyxTeam*> Playing;
    Database.Competitions.ForEach([&](TPyxCompetition* C) {
        std::vector<TPyxTeam*> Teams;
        Database.Teams.ForEach([&](TPyxTeam* T) {
            if (T->Division == C || T->OtherDivision == C)
                Teams.push_back(T);
        });
        if (Teams.size() > Playing.size() && C->Nation != nullptr && C->Continent != nullptr) {
            League = C;
            Playing = Teams;
        }
    });
    QVERIFY(League != nullptr && Playing.size() >= 2);
    Main.ShowCompetition(League);
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Competition));
    QCOMPARE(Frame->CurrentObject(), League);
    QCOMPARE(Frame->Search()->Model().Count(), 1);
    QCOMPARE(Frame->edCompetitionName->text(), QString::fromStdU16String(League->Name));
    QCOMPARE(Frame->edPictureID->text(), QString::number(League->UniqueID));
    QCOMPARE(Frame->ssNation->Selected(), League->Nation);
    QCOMPARE(Frame->cmbContinent->GetSelected(), League->Continent);
    QCOMPARE(Frame->lboxTeams->count(), static_cast<int>(Playing.size()));
    QCOMPARE(Frame->lblTeamCount->text(), QString::number(Playing.size()) + " teams");
    QStringList Expected, Listed;
    for (const TPyxTeam* Team : Playing)
        Expected.push_back(TPyxListModel::DisplayName(*Team));
    for (int I = 0; I < Frame->lboxTeams->count(); ++I) {
        Listed.push_back(Frame->lboxTeams->item(I)->text());
        QVERIFY(std::find(Playing.begin(), Playing.end(), Frame->lboxTeams->GetItem<TPyxTeam>(I)) != Playing.end());
    }
    std::sort(Expected.begin(), Expected.end());
    std::sort(Listed.begin(), Listed.end());
    QCOMPARE(Listed, Expected);

    // A double-click on a club team goes to its club on the clubs tab.
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsTeams"));
    Frame->lboxTeams->setCurrentRow(0);
    TPyxTeam* FirstTeam = Frame->lboxTeams->GetSelected<TPyxTeam>();
    QVERIFY(FirstTeam->IsClubTeam());
    eh::DoubleClickItem(*Frame->lboxTeams, 0);
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Clubs));
    QCOMPARE(Main.Frame(TTab::Clubs)->CurrentObject(), static_cast<TPyxObject*>(FirstTeam->GetClub()));
    Main.ShowCompetition(League);
    QCOMPARE(Frame->CurrentObject(), League);

    // The nation and continent links.
    eh::Find<QToolButton>(Frame, "btnNationLink")->click();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Nation));
    QCOMPARE(Main.Frame(TTab::Nation)->CurrentObject(), League->Nation);
    Main.ShowCompetition(League);
    eh::Find<QToolButton>(Frame, "btnContinentLink")->click();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Continents));
    QCOMPARE(Main.Frame(TTab::Continents)->CurrentObject(), League->Continent);

    // A competition without nation: its link does nothing.
    TPyxCompetition* Worldwide = InternationalCompetition(Database);
    QVERIFY(Worldwide != nullptr);
    Main.ShowCompetition(Worldwide);
    QCOMPARE(Frame->ssNation->Selected(), Worldwide->Nation);
    if (Worldwide->Nation == nullptr) {
        eh::Find<QToolButton>(Frame, "btnNationLink")->click();
        QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Competition));
    }

    // A history row's team link goes to the team's owner: a national team's nation.
    auto* History = Frame->frameCompetitionHistory;
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsHistory"));
    QVERIFY(!History->pnlHistory->isEnabled());
    int Row = -1;
    for (int I = 0; I < History->RowCount() && Row < 0; ++I)
        if (History->RowEntry(I)->FirstPlaced != nullptr && !History->RowEntry(I)->FirstPlaced->IsClubTeam())
            Row = I;
    QVERIFY(Row >= 0);
    const TPyxTeam* Winner = History->RowEntry(Row)->FirstPlaced;
    ClickRow(*History->lvHistory, Row);
    QVERIFY(History->pnlHistory->isEnabled());
    QCOMPARE(History->ssFirstPlaced->Selected(), Winner);
    eh::Find<QToolButton>(History, "btnFirstPlacedLink")->click();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Nation));
    QCOMPARE(Main.Frame(TTab::Nation)->CurrentObject(), Winner->GetNation());
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void CompetitionJourneyTest::HistoryRowsAddedEditedAndDeletedSurviveConfirmSaveAndReload() {
    eh::TWorldFolder World({.PeopleCount = 300, .Version = 145, .LanguageCount = 2});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    auto* Frame = Editor.Frame<TframeCompetition>(TTab::Competition);
    auto* History = Frame->frameCompetitionHistory;
    TPyxCompetition* Competition = InternationalCompetition(Database);
    QVERIFY(Competition != nullptr);
    const int32_t CompetitionID = Competition->UniqueID;
    const std::vector<TEntry> Stored = EntriesOf(*Competition);
    const std::vector<const TPyxCompetitionHistory*> StoredPointers = Pointers(*Competition);
    Main.ShowCompetition(Competition);
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsHistory"));

    // The rows show copies, sorted by year, with the teams' names; a Confirm without edits leaves the entries
    // themselves, their order and their keys.
    QCOMPARE(History->RowCount(), Competition->Histories.Count());
    QCOMPARE(History->lvHistory->headerItem()->text(4), QString("Hosts"));
    for (int Row = 0; Row < History->RowCount(); ++Row) {
        const TPyxCompetitionHistory* Copy = History->RowEntry(Row);
        QVERIFY(std::find(StoredPointers.begin(), StoredPointers.end(), Copy) == StoredPointers.end());
        QVERIFY(Competition->Histories.FindByUniqueID(Copy->UniqueID) != nullptr);
        QCOMPARE(RowTexts(*History->lvHistory, Row),
                 (QStringList{QString::number(Copy->Year), TeamName(Copy->FirstPlaced), TeamName(Copy->SecondPlaced),
                              TeamName(Copy->ThirdPlaced), TeamName(Copy->Hosts)}));
        if (Row > 0)
            QVERIFY(History->lvHistory->topLevelItem(Row - 1)->text(0) <=
                    History->lvHistory->topLevelItem(Row)->text(0));
    }
    Frame->btnConfirmChangesClick();
    QCOMPARE(Pointers(*Competition), StoredPointers);
    QCOMPARE(EntriesOf(*Competition), Stored);

    // Add: a row for 2001 without teams, not selected; the panel stays as it was.
    QVERIFY(!History->pnlHistory->isEnabled());
    QTest::mouseClick(History->btnAdd, Qt::LeftButton);
    QCOMPARE(History->RowCount(), static_cast<int>(Stored.size()) + 1);
    QVERIFY(History->lvHistory->selectedItems().isEmpty());
    QVERIFY(!History->pnlHistory->isEnabled());
    int Added = -1;
    for (int Row = 0; Row < History->RowCount(); ++Row)
        if (Competition->Histories.FindByUniqueID(History->RowEntry(Row)->UniqueID) == nullptr)
            Added = Row;
    QVERIFY(Added >= 0);
    QCOMPARE(RowTexts(*History->lvHistory, Added), (QStringList{"2001", "", "", "", ""}));
    QCOMPARE(Competition->Histories.Count(), static_cast<int>(Stored.size()));

    // Change the oldest entry: year typed, winner and hosts picked in the selectors' dialogs, then "OK". Only the
    // row changes; Cancel Changes brings every row back as stored.
    const int Oldest = 0;
    ClickRow(*History->lvHistory, Oldest);
    QVERIFY(History->pnlHistory->isEnabled());
    const int32_t EditedID = History->RowEntry(Oldest)->UniqueID;
    TPyxTeam* NewWinner = Database.Teams.Items(0);
    TPyxTeam* NewHosts = Database.Teams.Items(Database.Teams.Count() - 1);
    QString Caption;
    Editor.Driver().Expect(eh::PickEntity(NewWinner, &Caption));
    History->ssFirstPlaced->btnSearch->click();
    QCOMPARE(Caption, QString("Find Competition Winner"));
    Editor.Driver().Expect(eh::PickEntity(NewHosts));
    History->ssHosts->btnSearch->click();
    Editor.Driver().Expect(eh::PickEntity(nullptr));
    History->ssThirdPlaced->btnSearch->click();
    QCOMPARE(History->ssThirdPlaced->Selected(), nullptr);
    History->seYear->setFocus();
    History->seYear->selectAll();
    QTest::keyClicks(History->seYear, "1990");
    QTest::mouseClick(History->btnOK, Qt::LeftButton);
    const int Edited = RowOfYear(*History->lvHistory, 1990);
    QVERIFY(Edited >= 0);
    QCOMPARE(History->RowEntry(Edited)->UniqueID, EditedID);
    QCOMPARE(RowTexts(*History->lvHistory, Edited),
             (QStringList{"1990", TeamName(NewWinner), TeamName(History->RowEntry(Edited)->SecondPlaced), "",
                          TeamName(NewHosts)}));
    QCOMPARE(EntriesOf(*Competition), Stored);
    Frame->btnCancelChangesClick();
    QCOMPARE(History->RowCount(), static_cast<int>(Stored.size()));
    QCOMPARE(RowOfYear(*History->lvHistory, 1990), -1);
    QVERIFY(!History->pnlHistory->isEnabled());

    // Again, and this time also an entry deleted and one added and left as added; then Confirm.
    ClickRow(*History->lvHistory, 0);
    Editor.Driver().Expect(eh::PickEntity(NewWinner));
    History->ssFirstPlaced->btnSearch->click();
    History->seYear->setFocus();
    History->seYear->selectAll();
    QTest::keyClicks(History->seYear, "1990");
    QTest::mouseClick(History->btnOK, Qt::LeftButton);
    const int Doomed = History->RowCount() - 1;
    const int32_t DeletedID = History->RowEntry(Doomed)->UniqueID;
    ClickRow(*History->lvHistory, Doomed);
    QTest::mouseClick(History->btnDelete, Qt::LeftButton);
    QCOMPARE(History->RowCount(), static_cast<int>(Stored.size()) - 1);
    QTest::mouseClick(History->btnAdd, Qt::LeftButton);
    const int32_t MaxBefore = Database.CompetitionHistories.MaxUniqueID();
    int32_t NewID = -1;
    for (int Row = 0; Row < History->RowCount(); ++Row)
        if (History->RowEntry(Row)->Year == 2001 &&
            Competition->Histories.FindByUniqueID(History->RowEntry(Row)->UniqueID) == nullptr)
            NewID = History->RowEntry(Row)->UniqueID;
    QCOMPARE(NewID, MaxBefore); // the newest key, above every key the load saw
    Frame->btnConfirmChangesClick();

    // The entries are copies of the rows, in list order, each keeping its key; the deleted one is gone.
    QCOMPARE(Competition->Histories.Count(), History->RowCount());
    for (int Row = 0; Row < History->RowCount(); ++Row) {
        const TPyxCompetitionHistory* Entry = Competition->Histories.Items(Row);
        QVERIFY(Entry != History->RowEntry(Row));
        QCOMPARE(Entry->UniqueID, History->RowEntry(Row)->UniqueID);
        QCOMPARE(Entry->Year, History->RowEntry(Row)->Year);
        QCOMPARE(Entry->Competition, Competition);
        QCOMPARE(Competition->Histories.FindByUniqueID(Entry->UniqueID), Entry);
    }
    QVERIFY(Competition->Histories.FindByUniqueID(DeletedID) == nullptr);
    const TPyxCompetitionHistory* Changed = Competition->Histories.FindByUniqueID(EditedID);
    QCOMPARE(Changed->Year, int16_t(1990));
    QCOMPARE(Changed->FirstPlaced, NewWinner);
    const TPyxCompetitionHistory* Fresh = Competition->Histories.FindByUniqueID(NewID);
    QVERIFY(Fresh != nullptr);
    QVERIFY(Fresh->FirstPlaced == nullptr && Fresh->SecondPlaced == nullptr && Fresh->ThirdPlaced == nullptr &&
            Fresh->Hosts == nullptr);
    // A second Confirm without further edits touches nothing.
    const auto Confirmed = Pointers(*Competition);
    Frame->btnConfirmChangesClick();
    QCOMPARE(Pointers(*Competition), Confirmed);

    std::vector<int32_t> Order;
    Competition->Histories.ForEach([&](const TPyxCompetitionHistory* H) { Order.push_back(H->UniqueID); });
    const QStringList ConfirmedRow = RowTexts(*History->lvHistory, RowOfYear(*History->lvHistory, 1990));
    Editor.SaveData();
    eh::TWorldFolder Expected;
    eh::ModelSave(Original.Path(), Expected.Path(), [&](TPyxDatabase& Model) {
        TPyxCompetition* Same = Model.Competitions.FindByUniqueID(CompetitionID);
        TPyxCompetitionHistory* Entry = Same->Histories.FindByUniqueID(EditedID);
        Entry->Year = 1990;
        Entry->FirstPlaced = Model.Teams.Items(0);
        Same->Histories.Delete(Same->Histories.FindByUniqueID(DeletedID));
        auto New = std::make_unique<TPyxCompetitionHistory>();
        New->Competition = Same;
        New->Year = 2001;
        New->UniqueID = NewID;
        Same->Histories.Add(std::move(New), true);
        // The editor writes its rows in list order; the save's sort takes it from there.
        std::vector<std::unique_ptr<TPyxObject>> Entries = Same->Histories.ReleaseAll();
        for (int32_t ID : Order)
            for (auto& E : Entries)
                if (E && E->UniqueID == ID)
                    Same->Histories.Add(std::move(E), true);
    });
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());

    // Loaded again: the rows as confirmed.
    Editor.LoadData();
    Competition = Main.Database().Competitions.FindByUniqueID(CompetitionID);
    Main.ShowCompetition(Competition);
    QCOMPARE(History->RowCount(), static_cast<int>(Stored.size()));
    const int Reloaded = RowOfYear(*History->lvHistory, 1990);
    QVERIFY(Reloaded >= 0);
    QCOMPARE(History->RowEntry(Reloaded)->UniqueID, EditedID);
    QCOMPARE(RowTexts(*History->lvHistory, Reloaded), ConfirmedRow);
    QCOMPARE(History->lvHistory->topLevelItem(Reloaded)->text(1), TeamName(Main.Database().Teams.Items(0)));
    bool FreshFound = false;
    for (int Row = 0; Row < History->RowCount(); ++Row)
        FreshFound = FreshFound || (History->RowEntry(Row)->UniqueID == NewID &&
                                    RowTexts(*History->lvHistory, Row) == QStringList{"2001", "", "", "", ""});
    QVERIFY(FreshFound);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

PYX_EDITOR_TEST_MAIN(CompetitionJourneyTest)
#include "CompetitionJourneyTest.moc"
