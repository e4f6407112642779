// The application shell as a new user meets it: the first start without settings, Options with Browse, the
// settings read at start and written at close, the About box, and exceptions that leave an event handler.

#include "EditorHarness.h"
#include "EditorTestMain.h"

#include "UnhandledException.h"
#include "frmAboutUnit.h"
#include "frmMainUnit.h"
#include "frmOptionsUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

#include <stdexcept>

namespace {

const QString NotInstalled = "msgMessage\nPyx Pregame Editor\nPyx doesn't seem to be installed on this machine, please "
                             "use File->Options to select the installation path for your Pyx game.";

// Receives the URLs the About box opens instead of the desktop's browser.
class TUrlCatcher final : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& Url) { Opened.push_back(Url); }
};

class TThrowingObject final : public QObject {
public:
    bool event(QEvent* Event) override {
        if (Event->type() == QEvent::User)
            throw std::range_error("a handler failed");
        return QObject::event(Event);
    }
};

} // namespace

class ShellJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void FirstStartWithoutSettingsSaysNotInstalledAndOptionsBrowseEnableLoadData();
    void SettingsAreReadByTheirRulesAndWrittenAsIntegersOnClose();
    void TheGamesInstallKeyGivesTheFolderWhenTheEditorHasNone();
    void OptionsCancelChangesNothingAndOkOnAMissingFolderDisablesLoadData();
    void TheWindowHasItsMenusAndTabsWithUnbuiltTabsDisabled();
    void AboutOpensItsWebAddress();
    void AnExceptionLeavingAnEventHandlerReachesTheHandlerAndTheBoxShowsClassAndMessage();
};

void ShellJourneyTest::FirstStartWithoutSettingsSaysNotInstalledAndOptionsBrowseEnableLoadData() {
    eh::TWorldFolder World({.PeopleCount = 60});
    eh::TEditorSession Editor;
    QString Message;
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Message));
    Editor.Start();
    QCOMPARE(Message, NotInstalled);
    TfrmMain& Main = Editor.Main();
    QVERIFY(!Main.mnuLoadData->isEnabled());
    QVERIFY(!Main.mnuSaveData->isEnabled());
    for (QAction* Add : {Main.mnuAddPerson, Main.mnuAddClub, Main.mnuAddStadium, Main.mnuAddCity, Main.mnuAddMedia})
        QVERIFY(!Add->isEnabled());
    QVERIFY(Main.mnuOptions->isEnabled());

    // Options shows the defaults; Browse picks the world's server_db.dat and the edit takes its folder.
    QString ShownPath, BrowsedPath;
    bool AllLanguagesShown = false, HistoriesShown = false;
    QString DialogTitle, DialogFilter;
    Editor.Driver().Expect([&](QWidget* Dialog) {
        auto* Options = qobject_cast<TfrmOptions*>(Dialog);
        ShownPath = Options->edPyxPath->text();
        AllLanguagesShown = Options->cbLoadAllLanguages->isChecked();
        HistoriesShown = Options->cbLoadPlayingHistories->isChecked();
        Editor.Driver().Expect([&](QWidget* Browse) {
            auto* Files = qobject_cast<QFileDialog*>(Browse);
            DialogTitle = Files->windowTitle();
            DialogFilter = Files->nameFilters().join(";");
            eh::ChooseFile(*Files, World.File("server_db.dat"));
        });
        Options->btnBrowse->click();
        BrowsedPath = Options->edPyxPath->text();
        Options->btnOK->click();
    });
    Main.mnuOptions->trigger();
    QCOMPARE(Editor.Driver().Pending(), 0);
    QCOMPARE(ShownPath, QString());
    QVERIFY(AllLanguagesShown);
    QVERIFY(HistoriesShown);
    QCOMPARE(DialogTitle, QString("Find the Pyx Data Files"));
    QCOMPARE(DialogFilter, QString("server_db.dat (server_db.dat)"));
    QCOMPARE(BrowsedPath, World.Path() + "/");
    QVERIFY(Main.mnuLoadData->isEnabled());
    QCOMPARE(Main.Settings().DataPath, World.Path() + "/");

    // Closing writes what Options set, and the next start finds the folder without a message.
    Editor.Close();
    QCOMPARE(Editor.Settings().EditorValue("PyxPath").toString(), World.Path() + "/");
    Editor.Start();
    QVERIFY(Editor.Main().mnuLoadData->isEnabled());
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void ShellJourneyTest::SettingsAreReadByTheirRulesAndWrittenAsIntegersOnClose() {
    eh::TWorldFolder World({.PeopleCount = 60});
    struct TCase {
        QVariant Stored;
        bool Read;
    };
    // 2 and text that is no integer read as true; 0 as false; a missing value as true.
    for (const TCase& Case : {TCase{2, true}, TCase{"yes", true}, TCase{0, false}, TCase{QVariant(), true}}) {
        eh::TEditorSession Editor;
        Editor.Settings().SetEditorValue("PyxPath", World.Path());
        if (Case.Stored.isValid()) {
            Editor.Settings().SetEditorValue("LoadAllLanguages", Case.Stored);
            Editor.Settings().SetEditorValue("LoadPlayingHistories", Case.Stored);
        }
        Editor.Start();
        QCOMPARE(Editor.Main().Settings().LoadAllLanguages, Case.Read);
        QCOMPARE(Editor.Main().Settings().LoadPlayingHistories, Case.Read);
        Editor.Close();
        // Written back as the integers 1 and 0, whatever was stored.
        QCOMPARE(Editor.Settings().EditorValue("LoadAllLanguages").toString(), QString(Case.Read ? "1" : "0"));
        QCOMPARE(Editor.Settings().EditorValue("LoadPlayingHistories").toString(), QString(Case.Read ? "1" : "0"));
        QCOMPARE(Editor.Settings().EditorValue("PyxPath").toString(), World.Path());
    }
}

void ShellJourneyTest::TheGamesInstallKeyGivesTheFolderWhenTheEditorHasNone() {
    eh::TWorldFolder World({.PeopleCount = 60});
    eh::TWorldFolder Other({.PeopleCount = 60});
    {
        eh::TEditorSession Editor;
        Editor.Settings().SetInstallPath(World.Path());
        Editor.Start();
        QCOMPARE(Editor.Main().Settings().DataPath, World.Path());
        QVERIFY(Editor.Main().mnuLoadData->isEnabled());
        QVERIFY(Editor.Driver().Unexpected().isEmpty());
    }
    {
        // The editor's own folder wins over the game's.
        eh::TEditorSession Editor;
        Editor.Settings().SetInstallPath(World.Path());
        Editor.Settings().SetEditorValue("PyxPath", Other.Path());
        Editor.Start();
        QCOMPARE(Editor.Main().Settings().DataPath, Other.Path());
    }
    {
        // A game folder that does not exist: the message, once, and Load Data stays disabled.
        eh::TEditorSession Editor;
        Editor.Settings().SetInstallPath(World.Path() + "/gone");
        QString Message;
        Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Message));
        Editor.Start();
        QCOMPARE(Message, NotInstalled);
        QVERIFY(!Editor.Main().mnuLoadData->isEnabled());
        QVERIFY(Editor.Driver().Unexpected().isEmpty());
    }
}

void ShellJourneyTest::OptionsCancelChangesNothingAndOkOnAMissingFolderDisablesLoadData() {
    eh::TWorldFolder World({.PeopleCount = 60});
    eh::TEditorSession Editor(World.Path(), true, false);
    TfrmMain& Main = Editor.Main();
    Editor.Driver().Expect([](QWidget* Dialog) {
        auto* Options = qobject_cast<TfrmOptions*>(Dialog);
        Options->edPyxPath->setText("/nowhere");
        Options->cbLoadAllLanguages->setChecked(false);
        Options->cbLoadPlayingHistories->setChecked(true);
        Options->btnCancel->click();
    });
    Main.mnuOptions->trigger();
    QCOMPARE(Main.Settings().DataPath, World.Path());
    QVERIFY(Main.Settings().LoadAllLanguages);
    QVERIFY(!Main.Settings().LoadPlayingHistories);
    QVERIFY(Main.mnuLoadData->isEnabled());

    Editor.Driver().Expect([](QWidget* Dialog) {
        auto* Options = qobject_cast<TfrmOptions*>(Dialog);
        Options->edPyxPath->setText("/nowhere");
        Options->cbLoadAllLanguages->setChecked(false);
        Options->btnOK->click();
    });
    Main.mnuOptions->trigger();
    QCOMPARE(Main.Settings().DataPath, QString("/nowhere"));
    QVERIFY(!Main.Settings().LoadAllLanguages);
    QVERIFY(!Main.mnuLoadData->isEnabled());
    // No message about the missing folder.
    QCOMPARE(Editor.Driver().Pending(), 0);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void ShellJourneyTest::TheWindowHasItsMenusAndTabsWithUnbuiltTabsDisabled() {
    eh::TWorldFolder World({.PeopleCount = 60});
    eh::TEditorSession Editor(World.Path());
    TfrmMain& Main = Editor.Main();
    QCOMPARE(Main.windowTitle(), QString("Pyx Pregame Editor"));
    QCOMPARE(Main.mnuLoadData->shortcut(), QKeySequence("Ctrl+L"));
    QCOMPARE(Main.mnuSaveData->shortcut(), QKeySequence("Ctrl+S"));
    // Alt+A opens the Add menu, so the awards tab is underlined at its r.
    const QStringList Captions = {"&People",    "&Clubs",      "&Nations", "C&ompetition", "&Stadia",
                                  "C&ities",    "Con&tinents", "Awa&rds",  "&Weather",     "Inj&uries",
                                  "&Languages", "&Media",      "Sta&ges"};
    QTabWidget* Tabs = eh::Find<QTabWidget>(&Main, "pcAllData");
    QCOMPARE(Tabs->count(), 13);
    for (int I = 0; I < Tabs->count(); ++I) {
        QCOMPARE(Tabs->tabText(I), Captions[I]);
        QCOMPARE(Tabs->widget(I)->objectName(), QString(TabInfo(static_cast<TTab>(I)).SheetName));
        QCOMPARE(Tabs->isTabEnabled(I), Main.Frame(static_cast<TTab>(I)) != nullptr);
    }
    QVERIFY(Main.Frame(TTab::Stages) != nullptr);
    QVERIFY(Tabs->isTabEnabled(Tabs->currentIndex()));
    // Each Alt+letter opens one thing: no two menus of the menu bar and tabs share a mnemonic, nor two items of
    // one menu.
    const auto Unique = [](const QStringList& Texts) {
        QStringList Keys;
        for (const QString& Text : Texts)
            Keys.push_back(QKeySequence::mnemonic(Text).toString());
        return QSet<QString>(Keys.begin(), Keys.end()).size() == Keys.size() && !Keys.contains(QString());
    };
    QStringList TopLevel;
    for (QAction* Menu : Main.menuBar()->actions()) {
        TopLevel.push_back(Menu->text());
        QStringList Items;
        for (QAction* Item : Menu->menu()->actions())
            if (!Item->isSeparator())
                Items.push_back(Item->text());
        QVERIFY2(Unique(Items), qPrintable(Items.join(' ')));
    }
    for (int I = 0; I < Tabs->count(); ++I)
        TopLevel.push_back(Tabs->tabText(I));
    QVERIFY2(Unique(TopLevel), qPrintable(TopLevel.join(' ')));
    // Every frame's controls carry their names.
    for (const char* Name : {"pnlList", "edSearch", "btnSearch", "lvStage", "sbarSearchResult", "pcStage",
                             "btnConfirmChanges", "btnCancelChanges", "edName", "btnName", "edShortName",
                             "btnShortName", "edPluralName", "btnPluralName", "lblGeneral"})
        QVERIFY2(Main.Frame(TTab::Stages)->findChild<QWidget*>(Name) != nullptr, Name);
}

void ShellJourneyTest::AboutOpensItsWebAddress() {
    eh::TWorldFolder World({.PeopleCount = 60});
    eh::TEditorSession Editor(World.Path());
    TUrlCatcher Catcher;
    QDesktopServices::setUrlHandler("https", &Catcher, "Open");
    QString Title;
    Editor.Driver().Expect([&](QWidget* Dialog) {
        auto* About = qobject_cast<TfrmAbout*>(Dialog);
        Title = About->windowTitle();
        emit About->lblAbout3->linkActivated(TfrmAbout::WebAddress);
        About->reject();
    });
    Editor.Main().mnuAbout->trigger();
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(Title, QString("About"));
    QCOMPARE(Catcher.Opened, QList<QUrl>{QUrl(TfrmAbout::WebAddress)});
}

void ShellJourneyTest::AnExceptionLeavingAnEventHandlerReachesTheHandlerAndTheBoxShowsClassAndMessage() {
    TThrowingObject Thrower;
    TExceptionDescription Caught;
    auto Previous = SetUnhandledExceptionHandler([&](std::exception_ptr E) { Caught = DescribeException(E); });
    QEvent Event(QEvent::User);
    QCoreApplication::sendEvent(&Thrower, &Event);
    SetUnhandledExceptionHandler(Previous);
    QCOMPARE(QString::fromStdString(Caught.ClassName), QString("std::range_error"));
    QCOMPARE(QString::fromStdString(Caught.Message), QString("a handler failed"));

    // Without a handler of its own, the editor shows the class and the message in an error box.
    eh::TModalDriver Driver;
    QString Box;
    Driver.Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Box));
    QCoreApplication::postEvent(&Thrower, new QEvent(QEvent::User));
    QTRY_COMPARE(Box, QString("msgError\nError\nstd::range_error: a handler failed"));
}

PYX_EDITOR_TEST_MAIN(ShellJourneyTest)
#include "ShellJourneyTest.moc"
