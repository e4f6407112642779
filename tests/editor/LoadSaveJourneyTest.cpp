// Load Data and Save Data over generated worlds: status texts and menu states for both load options, the error box
// of a corrupt world, the read-only question both ways, saving into the folder that was loaded, failed saves, a
// second load detaching every frame, and input blocked while a long operation runs.

#include "EditorHarness.h"
#include "EditorTestMain.h"
#include "FrameDriving.h"

#include "DataFolder.h"
#include "PyxBusy.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "StatusForm.h"
#include "UnhandledException.h"
#include "frameCityUnit.h"
#include "frameClubUnit.h"
#include "frameStageUnit.h"
#include "frmMainUnit.h"
#include "frmOptionsUnit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <cstring>
#include <filesystem>

namespace {

const QString ReadOnlyQuestion = "msgConfirm\nConfirm\nserver_db.dat, people_db.dat, lang_db.dat, pl_hist_index.dat, "
                                 "pl_hist_id.dat and pl_hist_dt.dat are currently read only, are you sure you want to "
                                 "overwrite them?";

namespace fs = std::filesystem;

// The message a load of Path fails with, from the data model alone.
QString ModelLoadFailure(const QString& Path) {
    TPyxDatabase Database;
    try {
        Database.Load(Path.toStdString());
    } catch (const EPyxError& E) {
        QString Text = QString::fromUtf8(E.what());
        return Text.replace("\r\n", "\n");
    }
    return {};
}

void SetWritable(const QString& Path, bool Writable) {
    fs::permissions(Path.toStdString(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    Writable ? fs::perm_options::add : fs::perm_options::remove);
}

bool AnyWriteBit(const QString& Path) {
    return (fs::status(Path.toStdString()).permissions() & fs::perms::owner_write) != fs::perms::none;
}

// The data files' bytes, to tell whether a folder changed.
QList<QByteArray> Contents(const eh::TWorldFolder& World) {
    QList<QByteArray> Result;
    for (const char* Name : DataFolder::FileNames) {
        QFile File(World.File(Name));
        Result.push_back(File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("(missing)"));
    }
    return Result;
}

// Loaded is false after a failed load: nothing can be added then, not even a person.
void ExpectAddItems(TfrmMain& Main, bool AllLanguages, bool Loaded = true) {
    const auto Built = [&](TTab Tab) { return Main.Frame(Tab) != nullptr && Main.Frame(Tab)->CanAdd(); };
    QCOMPARE(Main.mnuAddPerson->isEnabled(), Loaded && Built(TTab::People));
    QCOMPARE(Main.mnuAddClub->isEnabled(), AllLanguages && Built(TTab::Clubs));
    QCOMPARE(Main.mnuAddStadium->isEnabled(), AllLanguages && Built(TTab::Stadia));
    QCOMPARE(Main.mnuAddCity->isEnabled(), AllLanguages && Built(TTab::Cities));
    QCOMPARE(Main.mnuAddMedia->isEnabled(), AllLanguages && Built(TTab::Media));
}

void SetOptions(eh::TEditorSession& Editor, const QString& Path, bool AllLanguages, bool Histories) {
    Editor.Driver().Expect([=](QWidget* Dialog) {
        auto* Options = qobject_cast<TfrmOptions*>(Dialog);
        Options->edPyxPath->setText(Path);
        Options->cbLoadAllLanguages->setChecked(AllLanguages);
        Options->cbLoadPlayingHistories->setChecked(Histories);
        Options->btnOK->click();
    });
    Editor.Main().mnuOptions->trigger();
}

// Triggers an action when it receives a user event.
class TTriggerOnEvent final : public QObject {
public:
    explicit TTriggerOnEvent(QAction* Action) : Action_(Action) {}
    bool event(QEvent* Event) override {
        if (Event->type() != QEvent::User)
            return QObject::event(Event);
        Action_->trigger();
        return true;
    }

private:
    QAction* Action_;
};

} // namespace

class LoadSaveJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void LoadDataShowsItsStatusTextsAndSetsTheMenusForBothLoadOptions();
    void ACorruptWorldShowsTheModelsErrorAndLeavesSaveDisabled();
    void SaveDataAsksAboutReadOnlyFilesAndNoSavesNothing();
    void MissingHistoryFilesAskEveryTimeAndYesLeavesEveryFileReadOnly();
    void SaveWritesTheFolderThatWasLoadedNotTheOneOptionsNamesNow();
    void AFailedSaveShowsTheModelsErrorAndLeavesTheFolderAsItWas();
    void ASecondLoadDetachesEveryFrameAndAttachesAFreshList();
    void AnyOtherFailureOfALoadCleansUpAndReachesTheUnhandledExceptionHandler();
    void InputIsBlockedWhileASearchRunsAndNoSecondOperationStarts();
};

void LoadSaveJourneyTest::LoadDataShowsItsStatusTextsAndSetsTheMenusForBothLoadOptions() {
    eh::TWorldFolder World({.PeopleCount = 200, .LanguageCount = 3});
    eh::TEditorSession Editor(World.Path());
    TfrmMain& Main = Editor.Main();
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    QVERIFY(!eh::Find<QWidget>(Stages, "pnlList")->isEnabled());

    // While the load runs the window's menus and tabs are disabled, and its status window is not.
    bool WindowDisabled = false, StatusEnabled = false;
    Editor.Status().OnText = [&](const QString& Text) {
        if (Text != "Converting Club Indexes")
            return;
        WindowDisabled = !Main.menuBar()->isEnabled() && !Main.Tabs()->isEnabled();
        auto* Status = qobject_cast<TfrmStatus*>(QApplication::activeModalWidget());
        StatusEnabled = Status != nullptr && Status->isEnabled() && Status->isVisible();
    };
    Editor.LoadData();
    Editor.Status().OnText = nullptr;
    QVERIFY(WindowDisabled);
    QVERIFY(StatusEnabled);
    QCOMPARE(Editor.Status().Windows(), 1);
    QVERIFY(Editor.Status().Texts().contains("Loading French Language"));
    QVERIFY(Editor.Status().Texts().contains("Loading Playing Histories"));
    QCOMPARE(Editor.Status().Texts().last(), QString("Creating Selection Lists"));
    // Each text was painted, however soon the next came.
    QVERIFY(Editor.Status().Texts().size() > 20);
    QCOMPARE(Editor.Status().Unpainted(), QStringList());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(Main.menuBar()->isEnabled() && Main.Tabs()->isEnabled());
    QVERIFY(Main.mnuLoadData->isEnabled());
    QVERIFY(Main.mnuSaveData->isEnabled());
    ExpectAddItems(Main, true);
    QCOMPARE(Main.LoadedPath(), World.Path() + "/");
    QVERIFY(eh::Find<QWidget>(Stages, "pnlList")->isEnabled());
    QVERIFY(eh::Find<QToolButton>(Stages, "btnName")->isEnabledTo(Stages->Pages()));
    QCOMPARE(Main.Database().Stages.Count() > 0, true);

    // Without all languages: only the default language, the Add items of the translated kinds stay disabled and
    // names cannot be changed.
    SetOptions(Editor, World.Path(), false, false);
    Editor.Status().Clear();
    Editor.LoadData();
    QVERIFY(!Editor.Status().Texts().contains("Loading French Language"));
    QVERIFY(!Editor.Status().Texts().contains("Loading Playing Histories"));
    QVERIFY(Main.mnuSaveData->isEnabled());
    ExpectAddItems(Main, false);
    QVERIFY(!eh::Find<QToolButton>(Stages, "btnName")->isEnabledTo(Stages->Pages()));
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void LoadSaveJourneyTest::ACorruptWorldShowsTheModelsErrorAndLeavesSaveDisabled() {
    eh::TWorldFolder Good({.PeopleCount = 200});
    eh::TWorldFolder World;
    World.CopyFrom(Good);
    eh::TEditorSession Editor(World.Path());
    TfrmMain& Main = Editor.Main();
    Editor.LoadData();
    QVERIFY(Main.mnuSaveData->isEnabled());

    QFile Server(World.File("server_db.dat"));
    QVERIFY(Server.resize(Server.size() / 2));
    const QString Expected = ModelLoadFailure(World.Path());
    QVERIFY(!Expected.isEmpty());
    QCOMPARE(Editor.LoadDataFailing(), "msgError\nError\n" + Expected);
    QVERIFY(!Main.mnuSaveData->isEnabled());
    ExpectAddItems(Main, false, false);
    QVERIFY(Main.mnuLoadData->isEnabled());
    QVERIFY(Main.menuBar()->isEnabled() && Main.Tabs()->isEnabled());
    QVERIFY(Main.LoadedPath().isEmpty());
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    QVERIFY(!eh::Find<QWidget>(Stages, "pnlList")->isEnabled());
    QCOMPARE(Stages->Search(), nullptr);

    // The user mends the folder and tries again.
    World.CopyFrom(Good);
    Editor.LoadData();
    QVERIFY(Main.mnuSaveData->isEnabled());
    QVERIFY(Stages->Search() != nullptr);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void LoadSaveJourneyTest::SaveDataAsksAboutReadOnlyFilesAndNoSavesNothing() {
    eh::TWorldFolder World({.PeopleCount = 200, .Seed = 3});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TWorldFolder Expected;
    eh::ModelSave(World.Path(), Expected.Path());
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();

    SetWritable(World.File("people_db.dat"), false);
    const auto Before = Contents(World);
    QCOMPARE(Editor.SaveDataAnswering(QMessageBox::No), ReadOnlyQuestion);
    QCOMPARE(Contents(World), Before);
    QVERIFY(!AnyWriteBit(World.File("people_db.dat")));
    QVERIFY(AnyWriteBit(World.File("server_db.dat")));

    QCOMPARE(Editor.SaveDataAnswering(QMessageBox::Yes), ReadOnlyQuestion);
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
    // After Yes all six files are read-only, those that were writable too.
    for (const char* Name : DataFolder::FileNames)
        QVERIFY2(!AnyWriteBit(World.File(Name)), Name);

    // Writable files are saved without a question (a second save in a row, as the data model makes it).
    for (const char* Name : DataFolder::FileNames)
        SetWritable(World.File(Name), true);
    QCOMPARE(Editor.SaveDataAnswering(QMessageBox::Yes), QString());
    eh::TWorldFolder SavedTwice;
    eh::ModelSave(Original.Path(), SavedTwice.Path(), {}, true, true, 2);
    QCOMPARE(eh::FolderDifference(SavedTwice.Path(), World.Path()), QString());
    QVERIFY(AnyWriteBit(World.File("server_db.dat")));
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void LoadSaveJourneyTest::MissingHistoryFilesAskEveryTimeAndYesLeavesEveryFileReadOnly() {
    eh::TWorldFolder World({.PeopleCount = 200, .Histories = false});
    QVERIFY(!QFile::exists(World.File("pl_hist_index.dat")));
    eh::TEditorSession Editor(World.Path(), true, false);
    Editor.LoadData();
    for (int Round = 0; Round < 2; ++Round) {
        QCOMPARE(Editor.SaveDataAnswering(QMessageBox::Yes), ReadOnlyQuestion);
        for (const char* Name : {"server_db.dat", "people_db.dat", "lang_db.dat"})
            QVERIFY2(!AnyWriteBit(World.File(Name)), Name);
        QVERIFY(!QFile::exists(World.File("pl_hist_index.dat")));
    }
}

void LoadSaveJourneyTest::SaveWritesTheFolderThatWasLoadedNotTheOneOptionsNamesNow() {
    eh::TWorldFolder Loaded({.PeopleCount = 200, .Seed = 5});
    eh::TWorldFolder Other({.PeopleCount = 200, .Seed = 6});
    eh::TWorldFolder Expected;
    eh::ModelSave(Loaded.Path(), Expected.Path());
    const auto OtherBefore = Contents(Other);
    eh::TEditorSession Editor(Loaded.Path());
    Editor.LoadData();
    SetOptions(Editor, Other.Path(), true, true);
    QCOMPARE(Editor.Main().Settings().DataPath, Other.Path());
    Editor.SaveData();
    QCOMPARE(Contents(Other), OtherBefore);
    QCOMPARE(eh::FolderDifference(Expected.Path(), Loaded.Path()), QString());
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void LoadSaveJourneyTest::AFailedSaveShowsTheModelsErrorAndLeavesTheFolderAsItWas() {
    eh::TWorldFolder World({.PeopleCount = 200});
    eh::TEditorSession Editor(World.Path());
    TfrmMain& Main = Editor.Main();
    Editor.LoadData();
    const auto Before = Contents(World);

    // A corruption the data model finds while saving (here a header version no file has) is shown like an access
    // failure, and nothing is replaced.
    TPyxFileHeader Header = Main.Database().ServerHeader;
    const int16_t Bad = 146;
    std::memcpy(&Main.Database().ServerHeader[9], &Bad, sizeof Bad);
    QString Shown;
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Shown));
    Editor.SaveData();
    QVERIFY2(Shown.startsWith("msgError\nError\nserver_db.dat doesn't seem to be a valid Pyx data file."),
             qPrintable(Shown));
    QCOMPARE(Contents(World), Before);
    Main.Database().ServerHeader = Header;

    // A folder the save may not write to.
    SetWritable(World.Path(), false);
    Shown.clear();
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Shown));
    Editor.SaveData();
    SetWritable(World.Path(), true);
    QVERIFY2(Shown.startsWith("msgError\nError\nCouldn't "), qPrintable(Shown));
    QCOMPARE(Contents(World), Before);
    QVERIFY(Main.menuBar()->isEnabled() && Main.Tabs()->isEnabled());
    QVERIFY(Main.mnuSaveData->isEnabled());
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void LoadSaveJourneyTest::ASecondLoadDetachesEveryFrameAndAttachesAFreshList() {
    eh::TWorldFolder World({.PeopleCount = 200});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    Stages->btnSearchClick();
    Stages->List()->FocusRow(0);
    QVERIFY(Stages->CurrentObject() != nullptr);
    QVERIFY(!Stages->edName->text().isEmpty());
    const TPyxSearch* First = Stages->Search();

    // While the load runs, no list or control of a frame holds an entity.
    int ListedDuringLoad = -1;
    QString NameDuringLoad = "unset";
    bool CurrentDuringLoad = true;
    Editor.Status().OnText = [&](const QString& Text) {
        if (Text != "Converting Club Indexes")
            return;
        ListedDuringLoad = Stages->List()->model() == nullptr ? 0 : Stages->List()->model()->rowCount();
        NameDuringLoad = Stages->edName->text();
        CurrentDuringLoad = Stages->CurrentObject() != nullptr;
    };
    Editor.LoadData();
    Editor.Status().OnText = nullptr;
    QCOMPARE(ListedDuringLoad, 0);
    QCOMPARE(NameDuringLoad, QString());
    QVERIFY(!CurrentDuringLoad);

    // Attached afresh: an empty list until the user searches, nothing focused, the editor disabled.
    QVERIFY(Stages->Search() != nullptr);
    QVERIFY(Stages->Search() != First || Stages->Search()->Model().Count() == 0);
    QCOMPARE(Stages->Search()->Model().Count(), 0);
    QCOMPARE(Stages->CurrentObject(), nullptr);
    QVERIFY(!Stages->Pages()->isEnabled());
    QCOMPARE(Stages->SearchResultText(), QString());
    Stages->btnSearchClick();
    Stages->List()->FocusRow(0);
    QCOMPARE(Stages->CurrentObject(), Stages->Search()->Model().Entity(0));
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void LoadSaveJourneyTest::AnyOtherFailureOfALoadCleansUpAndReachesTheUnhandledExceptionHandler() {
    eh::TWorldFolder World({.PeopleCount = 200});
    eh::TEditorSession Editor(World.Path());
    TfrmMain& Main = Editor.Main();

    // Running out of memory is told in its own words.
    Editor.Status().OnText = [](const QString& Text) {
        if (Text == "Converting Club Indexes")
            throw std::bad_alloc();
    };
    QCOMPARE(Editor.LoadDataFailing(),
             QString("msgError\nError\nYour system is out of memory, and can not load all the data.\nPlease free up "
                     "some memory, or try to load a smaller part of the database."));
    QVERIFY(!Main.mnuSaveData->isEnabled());

    // Anything else leaves the event handler after the clean-up and ends with the unhandled-exception handler.
    Editor.Status().OnText = [](const QString& Text) {
        if (Text == "Converting Club Indexes")
            throw std::logic_error("a step of the load went wrong");
    };
    TExceptionDescription Caught;
    const auto Previous = SetUnhandledExceptionHandler([&](std::exception_ptr E) { Caught = DescribeException(E); });
    // Triggered from an event, as a menu click is.
    TTriggerOnEvent Trigger(Main.mnuLoadData);
    QCoreApplication::postEvent(&Trigger, new QEvent(QEvent::User));
    QTRY_VERIFY(!Caught.ClassName.empty());
    SetUnhandledExceptionHandler(Previous);
    Editor.Status().OnText = nullptr;
    QCOMPARE(QString::fromStdString(Caught.ClassName), QString("std::logic_error"));
    QCOMPARE(QString::fromStdString(Caught.Message), QString("a step of the load went wrong"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(Main.menuBar()->isEnabled() && Main.Tabs()->isEnabled());
    QVERIFY(!TPyxBusy::Active());
    QVERIFY(!Main.mnuSaveData->isEnabled());

    // The next load works.
    Editor.LoadData();
    QVERIFY(Main.mnuSaveData->isEnabled());
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void LoadSaveJourneyTest::InputIsBlockedWhileASearchRunsAndNoSecondOperationStarts() {
    eh::TWorldFolder World({.PeopleCount = 200});
    eh::TEditorSession Editor(World.Path());
    TfrmMain& Main = Editor.Main();
    Editor.LoadData();
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    auto* Cities = Editor.Frame<TframeCity>(TTab::Cities);
    TPyxDatabase& Database = Main.Database();
    const int Loads = Editor.Status().Texts().count("Creating Selection Lists");
    // A club focused on its tab, so that its Delete is offered; the stage tab in front.
    eh::ShowAllAndFocus(*Clubs, Database.Clubs.Items(0));
    Clubs->UpdatePopupItems();
    QVERIFY(Clubs->mnuiDeleteClub->isEnabled());
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::Stages));
    const int ClubRows = Clubs->Search()->Model().Count(), ClubCount = Database.Clubs.Count();
    const int CityCount = Database.Cities.Count(), Windows = Editor.Status().Windows();

    bool Blocked = false, Busy = false;
    int Nested = 0;
    Editor.Status().OnText = [&](const QString& Text) {
        if (Text != "Searching")
            return;
        Blocked = qobject_cast<TfrmStatus*>(QApplication::activeModalWidget()) != nullptr;
        Busy = TPyxBusy::Active();
        // What could still get through: a shortcut's action, a second search, an Add, a Delete, a link to another
        // tab, closing the window.
        Main.mnuLoadData->trigger();
        Main.mnuSaveData->trigger();
        Stages->btnSearchClick();
        Main.mnuAddCity->trigger();
        Clubs->mnuiDeleteClub->trigger();
        Main.ShowCity(Database.Cities.Items(0));
        Main.close();
        ++Nested;
    };
    Stages->SearchEdit()->setText("a");
    Stages->btnSearchClick();
    Editor.Status().OnText = nullptr;
    QCOMPARE(Nested, 1);
    QVERIFY(Blocked);
    QVERIFY(Busy);
    QVERIFY(!TPyxBusy::Active());
    QCOMPARE(Editor.Status().Texts().count("Creating Selection Lists"), Loads);
    QCOMPARE(Editor.Status().Windows(), Windows + 1);
    QVERIFY(Main.isVisible());
    QVERIFY(Stages->Search()->Model().Count() > 0);
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Stages));
    QCOMPARE(Database.Cities.Count(), CityCount);
    QCOMPARE(Cities->Search()->Model().Count(), 0);
    QCOMPARE(Database.Clubs.Count(), ClubCount);
    QCOMPARE(Clubs->Search()->Model().Count(), ClubRows);
    QCOMPARE(Clubs->CurrentObject(), static_cast<TPyxObject*>(Database.Clubs.Items(0)));
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

PYX_EDITOR_TEST_MAIN(LoadSaveJourneyTest)
#include "LoadSaveJourneyTest.moc"
