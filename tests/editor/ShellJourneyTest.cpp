// The application shell as a new user meets it: the first start without settings, Options with Browse, the
// settings read at start and written at close, the About box, and exceptions that leave an event handler.

#include "EditorHarness.h"
#include "EditorTestMain.h"

#include "FrameDriving.h"
#include "PickEntity.h"
#include "PointerListBox.h"
#include "PyxDatabase.h"
#include "PyxJobs.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "ReferenceWalk.h"
#include "SpinEdit.h"
#include "SpinFloatEdit.h"
#include "UnhandledException.h"
#include "frameAwardUnit.h"
#include "frameCityUnit.h"
#include "frameClubPreferencesUnit.h"
#include "frameClubUnit.h"
#include "frameCompetitionHistoryUnit.h"
#include "frameCompetitionUnit.h"
#include "frameContinentUnit.h"
#include "frameInjuryUnit.h"
#include "frameLanguageUnit.h"
#include "frameMediaUnit.h"
#include "frameNationUnit.h"
#include "framePeoplePreferencesUnit.h"
#include "framePeopleUnit.h"
#include "framePlayingHistoryUnit.h"
#include "frameSelectionSearchUnit.h"
#include "frameSquadUnit.h"
#include "frameStadiumUnit.h"
#include "frameStageUnit.h"
#include "frameWeatherUnit.h"
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
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
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

// Gives Window the keyboard, so that typing into a field and leaving it reach its controls as a user's do; on an X
// server the server decides, and the journey waits for it.
void Activate(QWidget& Window) {
    Window.activateWindow();
    QApplication::setActiveWindow(&Window);
    if (QGuiApplication::platformName() == "xcb" && !QTest::qWaitForWindowActive(&Window))
        throw std::runtime_error("the window did not become active");
}

// Brings Control's tabs and pages to the front and its window to the keyboard, as a user does before using it.
void Reveal(QWidget* Control) {
    for (QWidget* Page = Control; Page->parentWidget() != nullptr; Page = Page->parentWidget())
        if (auto* Tabs = qobject_cast<QTabWidget*>(Page->parentWidget()->parentWidget());
            Tabs != nullptr && Tabs->indexOf(Page) >= 0)
            Tabs->setCurrentWidget(Page);
    Activate(*Control->window());
}

// Types Text into Control as a user does, then leaves the field.
void TypeIn(QWidget* Control, const QString& Text) {
    Reveal(Control);
    eh::TypeInto(Control, Text);
}

// Tabs into Control and out again to Next, typing nothing.
void PassThrough(QWidget* Control, QWidget* Next) {
    Reveal(Control);
    Control->setFocus(Qt::TabFocusReason);
    Next->setFocus(Qt::TabFocusReason);
}

// The controls that only show how the world is now (staff, players, a competition's teams): they follow the world,
// not the user.
const QStringList ShownOnly = {"edManager",        "lboxCoaches", "lboxPhysios", "lboxPlayers",
                               "lboxBoardMembers", "lboxScouts",  "edChairman",  "lboxTeams"};

// What a frame's controls show and the user can edit, but for the controls named.
QStringList Typed(const QWidget& Frame, const QStringList& Except = {}) {
    QStringList Values = eh::ShownValues(Frame);
    Values.removeIf([&](const QString& Line) {
        const QString Name = Line.section('=', 0, 0);
        return ShownOnly.contains(Name) || Except.contains(Name);
    });
    return Values;
}

// A value for a spin edit that is not Stored.
int32_t Other(int32_t Stored, int32_t Value) {
    return Stored != Value ? Value : Value + 1;
}

// The title the X server has for Window, as a window manager or a task bar shows it.
QString XTitle(const QWidget& Window) {
    QProcess Query;
    Query.start("xdotool", {"getwindowname", QString::number(Window.winId())});
    Query.waitForFinished(10000);
    return QString::fromUtf8(Query.readAllStandardOutput()).trimmed();
}

QString Join(const std::vector<std::string>& Lines) {
    QString Text;
    for (const std::string& Line : Lines)
        Text += QString::fromStdString(Line) + "\n";
    return Text;
}

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
    void TypedValuesSurviveAddsAndDeletesOnOtherTabsAndDeletedEntitiesLeaveThem();
    void UnderXTheWindowsShowTheirOwnCaptionsCentredWithOneThingPerMnemonic();
    void MarkedRowsAndPanelsShowWhatTheyEditAndReputationsRoundWhenLeft();
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
                                  "C&ities",    "Con&tinents", "Awar&ds",  "&Weather",     "Inj&uries",
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

void ShellJourneyTest::TypedValuesSurviveAddsAndDeletesOnOtherTabsAndDeletedEntitiesLeaveThem() {
    eh::TWorldFolder World({.PeopleCount = 500, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    Activate(Main);
    auto* People = Editor.Frame<TframePeople>(TTab::People);
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    auto* Nations = Editor.Frame<TframeNation>(TTab::Nation);
    auto* Competitions = Editor.Frame<TframeCompetition>(TTab::Competition);
    auto* Stadia = Editor.Frame<TframeStadium>(TTab::Stadia);
    auto* Cities = Editor.Frame<TframeCity>(TTab::Cities);
    auto* Continents = Editor.Frame<TframeContinent>(TTab::Continents);
    auto* Awards = Editor.Frame<TframeAward>(TTab::Awards);
    auto* Weathers = Editor.Frame<TframeWeather>(TTab::Weather);
    auto* Injuries = Editor.Frame<TframeInjury>(TTab::Injuries);
    auto* Languages = Editor.Frame<TframeLanguage>(TTab::Languages);
    auto* Medias = Editor.Frame<TframeMedia>(TTab::Media);
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);

    // The world's entities the journey edits and deletes. Clubs that stand for themselves (not a companion of
    // another club's squad) can be deleted.
    const auto Own = [&](const TPyxClub& C) { return Db.TeamStoodFor(C) == nullptr && C.Teams.Count() > 0; };
    TPyxClub* WithSquads = eh::FirstOf(Db.Clubs, [&](TPyxClub& C) { return Own(C) && C.Teams.Count() >= 2; });
    QVERIFY(WithSquads != nullptr);
    TPyxClub* Doomed = eh::FirstOf(Db.Clubs, [&](TPyxClub& C) { return Own(C) && &C != WithSquads; });
    TPyxPerson* Edited = eh::FirstOf(Db.People, [&](TPyxPerson& P) {
        const TPyxClub* Club = P.ClubTeam != nullptr ? P.ClubTeam->GetClub() : nullptr;
        return P.PersonType == TPyxPerson::ptPlayer && Club != nullptr && Own(*Club) && Club != WithSquads &&
               Club != Doomed;
    });
    QVERIFY(Doomed != nullptr && Edited != nullptr);
    TPyxClub* PostClub = Edited->ClubTeam->GetClub();
    TPyxClub* Captained = eh::FirstOf(Db.Clubs, [&](TPyxClub& C) {
        return Own(C) && &C != WithSquads && &C != Doomed && &C != PostClub && C.Teams.Items(0)->Players.Count() >= 2;
    });
    QVERIFY(Captained != nullptr);
    TPyxPerson* NewCaptain = nullptr;
    for (TPyxPerson* Player : Captained->Teams.Items(0)->Players.Data())
        if (Player != Captained->Captain && Player != Edited)
            NewCaptain = Player;
    TPyxPerson* DoomedPerson = eh::FirstOf(
        Db.People, [&](TPyxPerson& P) { return &P != Edited && &P != NewCaptain && &P != Captained->Captain; });
    QVERIFY(NewCaptain != nullptr && DoomedPerson != nullptr);
    TPyxTeam* DoomedSquad = WithSquads->Teams.Items(WithSquads->Teams.Count() - 1);
    const int32_t DoomedKey = Doomed->UniqueID, PostClubKey = PostClub->UniqueID,
                  DoomedSquadKey = DoomedSquad->UniqueID, DoomedPersonKey = DoomedPerson->UniqueID,
                  NewCaptainKey = NewCaptain->UniqueID;
    // What went is told apart by address only afterwards: it must not be followed.
    std::vector<const void*> PostClubTeams(PostClub->Teams.Data().begin(), PostClub->Teams.Data().end());
    const int32_t Stadiums = Db.Stadiums.Count(), CitiesBefore = Db.Cities.Count(), MediasBefore = Db.Medias.Count();

    // 1. A value typed into every tab but the people and clubs tabs, and references to entities that go next: the
    // media follows the doomed club, a competition's history row names the doomed squad. Nothing is confirmed.
    TPyxNation* Nation = Db.Nations.Items(0);
    eh::ShowAllAndFocus(*Nations, Nation);
    const int32_t NationReputation = Nation->Reputation == 3000 ? 1500 : 3000;
    // Leaving the field rounds the reputation down to a multiple of 500.
    TypeIn(Nations->seReputation, QString::number(NationReputation + 321));
    QCOMPARE(Nations->seReputation->Value(), NationReputation);
    TPyxCompetition* Competition = Db.Competitions.Items(0);
    eh::ShowAllAndFocus(*Competitions, Competition);
    const int32_t CompetitionReputation = Other(Competition->Reputation, 17);
    TypeIn(Competitions->seReputation, QString::number(CompetitionReputation));
    TframeCompetitionHistory* History = Competitions->frameCompetitionHistory;
    if (History->RowCount() == 0)
        History->btnAdd->click();
    History->lvHistory->setCurrentItem(History->lvHistory->topLevelItem(0));
    eh::PickInSelector(Driver, History->ssFirstPlaced, DoomedSquad);
    History->btnOK->click();
    QCOMPARE(History->RowEntry(0)->FirstPlaced, DoomedSquad);
    const int32_t HistoryRowKey = History->RowEntry(0)->UniqueID;
    TPyxStadium* Stadium = Db.Stadiums.Items(1);
    eh::ShowAllAndFocus(*Stadia, Stadium);
    const int32_t Capacity = Other(Stadium->Capacity, 43210);
    TypeIn(Stadia->seCapacity, QString::number(Capacity));
    TPyxCity* City = Db.Cities.Items(1);
    eh::ShowAllAndFocus(*Cities, City);
    const int32_t Altitude = Other(City->Altitude, 4321);
    TypeIn(Cities->seAltitude, QString::number(Altitude));
    TPyxContinent* Continent = Db.Continents.Items(0);
    eh::ShowAllAndFocus(*Continents, Continent);
    TypeIn(Continents->seRegionalStrength, QString("0") + Continents->seRegionalStrength->DecimalChar() + "42");
    TPyxAward* Award = Db.Awards.Items(0);
    eh::ShowAllAndFocus(*Awards, Award);
    const int32_t AwardReputation = Other(Award->Reputation, 11);
    TypeIn(Awards->seReputation, QString::number(AwardReputation));
    TPyxWeather* Weather = Db.Weathers.Items(0);
    eh::ShowAllAndFocus(*Weathers, Weather);
    const QString WeatherName = QString::fromStdU16String(u"F\u00f6hn \u00fcber den Bergen");
    TypeIn(Weathers->edName, WeatherName);
    TPyxInjury* Injury = Db.Injuries.Items(0);
    eh::ShowAllAndFocus(*Injuries, Injury);
    const int32_t Chance = Other(Injury->Chance, 37);
    TypeIn(Injuries->seChance, QString::number(Chance));
    TPyxLanguage* Language = Db.Languages.Items(0);
    eh::ShowAllAndFocus(*Languages, Language);
    TypeIn(Languages->edLanguageName, "Lingua Nova");
    TPyxMedia* Media = Db.Medias.Items(0);
    eh::ShowAllAndFocus(*Medias, Media);
    const int32_t Period = Media->Period == 7 ? 8 : 7;
    eh::PickItem(Medias->cmbPeriod, Period == 7 ? "Quarterly" : "Yearly");
    Driver.Expect(eh::PickEntity(Doomed));
    Medias->btnAddClub->click();
    QCOMPARE(Driver.Pending(), 0);
    const int MediaClubs = Medias->lboxClubs->count();
    QCOMPARE(Medias->lboxClubs->GetItem<TPyxClub>(MediaClubs - 1), Doomed);
    TPyxStage* Stage = Db.Stages.Items(0);
    eh::ShowAllAndFocus(*Stages, Stage);
    const QStringList StageNames = {"Zwischenrunde", QString::fromStdU16String(u"Tour interm\u00e9diaire")};
    eh::EditNames(Driver, eh::Find<QAbstractButton>(Stages, "btnName"), StageNames);

    struct TShown {
        TPyxEditorFrame* Frame;
        QStringList Except; // controls that drop an entity deleted on the way
        QStringList Values;
    };
    std::vector<TShown> Shown = {{Nations, {}, {}},    {Competitions, {"ssFirstPlaced", "edSelection"}, {}},
                                 {Stadia, {}, {}},     {Cities, {}, {}},
                                 {Continents, {}, {}}, {Awards, {}, {}},
                                 {Weathers, {}, {}},   {Injuries, {}, {}},
                                 {Languages, {}, {}},  {Medias, {"lboxClubs"}, {}},
                                 {Stages, {}, {}}};
    for (TShown& Tab : Shown)
        Tab.Values = Typed(*Tab.Frame, Tab.Except);
    const auto ExpectTyped = [&](const char* When) {
        for (const TShown& Tab : Shown)
            if (Tab.Frame != nullptr) {
                const QStringList Now = Typed(*Tab.Frame, Tab.Except);
                QStringList Differ;
                for (qsizetype I = 0; I < std::max(Now.size(), Tab.Values.size()); ++I)
                    if (Now.value(I) != Tab.Values.value(I))
                        Differ << Tab.Values.value(I) + " -> " + Now.value(I);
                QVERIFY2(Differ.isEmpty(), qPrintable(Tab.Frame->objectName() + When + ": " + Differ.join("; ")));
                QVERIFY2(Tab.Frame->ConfirmButton()->isEnabled(), qPrintable(Tab.Frame->objectName() + When));
            }
    };

    // 2. Work on the clubs and people tabs: a club's last squad goes and a squad is added, a club comes from the Add
    // menu, another goes; a person comes from the Add menu, another goes.
    eh::ShowAllAndFocus(*Clubs, WithSquads);
    Clubs->mnuiDeleteLastSquad->trigger();
    QCOMPARE(Db.Teams.FindByUniqueID(DoomedSquadKey), nullptr);
    Clubs->mnuiAddSquad->trigger();
    Main.mnuAddClub->trigger();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Clubs));
    eh::ShowAllAndFocus(*Clubs, Doomed);
    Clubs->mnuiDeleteClub->trigger();
    QCOMPARE(Db.Clubs.FindByUniqueID(DoomedKey), nullptr);
    Main.mnuAddPerson->trigger();
    eh::ShowAllAndFocus(*People, DoomedPerson);
    People->mnuiDeletePerson->trigger();
    QCOMPARE(Db.People.FindByUniqueID(DoomedPersonKey), nullptr);

    // Every value typed is still there; the references to what went are gone from the copies the tabs edit.
    ExpectTyped(" after work on the clubs and people tabs");
    QCOMPARE(Medias->lboxClubs->count(), MediaClubs - 1);
    QCOMPARE(History->RowEntry(0)->FirstPlaced, nullptr);
    QCOMPARE(History->lvHistory->topLevelItem(0)->text(1), QString());
    QCOMPARE(Nations->seReputation->Value(), NationReputation);
    QCOMPARE(Weathers->edName->text(), WeatherName);
    for (TPyxEditorFrame* Frame : {static_cast<TPyxEditorFrame*>(Stadia), static_cast<TPyxEditorFrame*>(Cities),
                                   static_cast<TPyxEditorFrame*>(Medias)})
        Frame->ConfirmButton()->click();
    Shown[2].Frame = Shown[3].Frame = Shown[9].Frame = nullptr;
    QCOMPARE(Stadium->Capacity, Capacity);
    QCOMPARE(City->Altitude, Altitude);
    QCOMPARE(Media->Period, Period);
    QCOMPARE(Media->Clubs.Count(), MediaClubs - 1);

    // 3. The people tab: a person whose post, favourite club and one season of history are at a club that goes.
    Edited->Relationships.Add(eh::Relationship(TPyxRelationship::ttClub, 3, PostClub));
    if (!Edited->PlayingHistory)
        Edited->SetPlayingHistory(std::make_unique<TPyxPlayingHistory>());
    auto Season = std::make_unique<TPyxPlayingHistoryEntry>();
    Season->Season = 1999;
    Season->Team = PostClub->Teams.Items(0);
    Edited->PlayingHistory->Add(std::move(Season));
    const int32_t Seasons = Edited->PlayingHistory->Count();
    int32_t SeasonsAtPostClub = 0;
    for (int32_t I = 0; I < Seasons; ++I)
        SeasonsAtPostClub += std::count(PostClubTeams.begin(), PostClubTeams.end(),
                                        static_cast<const void*>(Edited->PlayingHistory->Items(I)->Team));
    eh::ShowAllAndFocus(*People, Edited);
    Activate(Main);
    const QString FirstName = QString::fromStdU16String(u"Zo\u00eb \u00dcnal");
    TypeIn(People->edFirstName, FirstName);
    const int32_t Apps = Other(Edited->InternationalApps, 42);
    TypeIn(People->seApps, QString::number(Apps));
    const int FavouriteClubs = People->framePeoplePreferences->lboxFavouriteClubs->count();
    QCOMPARE(People->framePlayingHistory->lvPlayingHistory->topLevelItemCount(), Seasons);
    const QStringList PersonTyped = Typed(*People);
    const QStringList PersonTypedBesidesSquad = Typed(*People, {"cmbSquadContracted"});
    // Stadia, cities and media are added from the Add menu: the person's tab keeps everything.
    Main.mnuAddStadium->trigger();
    Main.mnuAddCity->trigger();
    Main.mnuAddMedia->trigger();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Media));
    QCOMPARE(Typed(*People), PersonTyped);
    ExpectTyped(" after adds on the stadia, cities and media tabs");
    // A squad added to the club of the person's post joins the person's squad list, which keeps the person's squad.
    eh::ShowAllAndFocus(*Clubs, PostClub);
    Clubs->mnuiAddSquad->trigger();
    const TPyxTeam* NewSquad = PostClub->Teams.Items(PostClub->Teams.Count() - 1);
    QCOMPARE(People->cmbSquadContracted->count() > 0, JobHasContract(Edited->ClubJob));
    if (People->cmbSquadContracted->count() > 0) {
        QCOMPARE(People->cmbSquadContracted->count(), PostClub->Teams.Count());
        QVERIFY(People->cmbSquadContracted->IndexOf(NewSquad) >= 0);
        QCOMPARE(People->cmbSquadContracted->GetSelected(), Edited->ClubTeam);
    }
    QCOMPARE(Typed(*People, {"cmbSquadContracted"}), PersonTypedBesidesSquad);
    // The club of the person's post goes, and another club gains a squad.
    eh::ShowAllAndFocus(*Clubs, PostClub);
    Clubs->mnuiDeleteClub->trigger();
    QCOMPARE(Db.Clubs.FindByUniqueID(PostClubKey), nullptr);
    eh::ShowAllAndFocus(*Clubs, WithSquads);
    Clubs->mnuiAddSquad->trigger();
    QCOMPARE(People->Current(), Edited);
    QCOMPARE(People->edFirstName->text(), FirstName);
    QCOMPARE(People->seApps->Value(), Apps);
    QCOMPARE(People->ssClubContracted->Selected(), nullptr);
    QCOMPARE(People->framePeoplePreferences->lboxFavouriteClubs->count(), FavouriteClubs - 1);
    QCOMPARE(People->framePlayingHistory->lvPlayingHistory->topLevelItemCount(), Seasons - SeasonsAtPostClub);
    ExpectTyped(" after the clubs tab deleted a club");
    People->ConfirmButton()->click();
    QCOMPARE(QString::fromStdU16String(Edited->GetFirstName()), FirstName);
    QCOMPARE(Edited->ClubTeam, nullptr);
    for (const auto& Relationship : Edited->Relationships)
        QVERIFY(Relationship->Target != static_cast<const void*>(PostClub));

    // 4. The clubs tab: a balance, a new captain and a squad's reputation typed; the new captain goes on the people
    // tab, and a person is added there.
    eh::ShowAllAndFocus(*Clubs, Captained);
    Activate(Main);
    const int32_t Balance = Other(Captained->Balance, 1234567);
    TypeIn(Clubs->seBalance, QString::number(Balance));
    eh::PickItem(Clubs->cmbClubCaptain, TPyxListModel::DisplayName(*NewCaptain));
    QCOMPARE(Clubs->cmbClubCaptain->GetSelected(), NewCaptain);
    TframeSquad* Squad = Clubs->Squad(0);
    const int32_t SquadReputation = Captained->Teams.Items(0)->Reputation == 4000 ? 2000 : 4000;
    TypeIn(Squad->seReputation, QString::number(SquadReputation + 321));
    QCOMPARE(Squad->seReputation->Value(), SquadReputation);
    const QStringList ClubTyped = Typed(*Clubs, {"cmbClubCaptain"});
    const QStringList ClubTypedWithCaptain = Typed(*Clubs);
    // The new captain's club link leads back to the club shown, which keeps what was typed for it.
    eh::ShowAllAndFocus(*People, NewCaptain);
    QCOMPARE(People->ssClubContracted->Selected(), static_cast<TPyxObject*>(Captained));
    eh::Find<QAbstractButton>(People, "btnClubLink")->click();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Clubs));
    QCOMPARE(Clubs->List()->FocusedEntity(), static_cast<TPyxObject*>(Captained));
    QCOMPARE(Typed(*Clubs), ClubTypedWithCaptain);
    Main.mnuAddPerson->trigger();
    eh::ShowAllAndFocus(*People, NewCaptain);
    People->mnuiDeletePerson->trigger();
    QCOMPARE(Db.People.FindByUniqueID(NewCaptainKey), nullptr);
    QCOMPARE(Typed(*Clubs, {"cmbClubCaptain"}), ClubTyped);
    QCOMPARE(Clubs->cmbClubCaptain->GetSelected(), nullptr);
    QCOMPARE(Clubs->cmbClubCaptain->currentText(), QString("<Not Specified>"));
    ExpectTyped(" after the people tab deleted a person");
    Clubs->ConfirmButton()->click();
    QCOMPARE(Captained->Balance, Balance);
    QCOMPARE(Captained->Captain, nullptr);
    QCOMPARE(Captained->Teams.Items(0)->Reputation, SquadReputation);

    // 5. The other tabs are confirmed, the world saved and loaded again.
    for (const TShown& Tab : Shown)
        if (Tab.Frame != nullptr)
            Tab.Frame->ConfirmButton()->click();
    Editor.SaveData();
    TPyxDatabase Reloaded;
    Reloaded.LoadAllLanguages = true;
    Reloaded.LoadPlayingHistories = true;
    Reloaded.Load(World.Path().toStdString());
    QCOMPARE(Join(rw::Problems(Reloaded)), QString());
    for (int32_t Gone : {DoomedKey, PostClubKey, DoomedSquadKey})
        QCOMPARE(Reloaded.Clubs.FindByUniqueID(Gone), nullptr);
    QCOMPARE(Reloaded.Teams.FindByUniqueID(DoomedSquadKey), nullptr);
    for (int32_t Gone : {DoomedPersonKey, NewCaptainKey})
        QCOMPARE(Reloaded.People.FindByUniqueID(Gone), nullptr);
    QCOMPARE(Reloaded.Stadiums.Count(), Stadiums + 1);
    QCOMPARE(Reloaded.Cities.Count(), CitiesBefore + 1);
    QCOMPARE(Reloaded.Medias.Count(), MediasBefore + 1);
    QCOMPARE(Reloaded.Nations.FindByUniqueID(Nation->UniqueID)->Reputation, NationReputation);
    const TPyxCompetition* SavedCompetition = Reloaded.Competitions.FindByUniqueID(Competition->UniqueID);
    QCOMPARE(SavedCompetition->Reputation, CompetitionReputation);
    const TPyxCompetitionHistory* Row = SavedCompetition->Histories.FindByUniqueID(HistoryRowKey);
    QVERIFY(Row != nullptr);
    QCOMPARE(Row->FirstPlaced, nullptr);
    QCOMPARE(Reloaded.Stadiums.FindByUniqueID(Stadium->UniqueID)->Capacity, Capacity);
    QCOMPARE(Reloaded.Cities.FindByUniqueID(City->UniqueID)->Altitude, Altitude);
    QCOMPARE(Reloaded.Continents.FindByUniqueID(Continent->UniqueID)->RegionalStrength, 0.42f);
    QCOMPARE(Reloaded.Awards.FindByUniqueID(Award->UniqueID)->Reputation, AwardReputation);
    QCOMPARE(QString::fromStdU16String(Reloaded.Weathers.FindByUniqueID(Weather->UniqueID)->Name), WeatherName);
    QCOMPARE(Reloaded.Injuries.FindByUniqueID(Injury->UniqueID)->Chance, Chance);
    QCOMPARE(Reloaded.Languages.FindByUniqueID(Language->UniqueID)->Name, eh::U16("Lingua Nova"));
    const TPyxMedia* SavedMedia = Reloaded.Medias.FindByUniqueID(Media->UniqueID);
    QCOMPARE(SavedMedia->Period, Period);
    QCOMPARE(SavedMedia->Clubs.Count(), MediaClubs - 1);
    const TPyxStage* SavedStage = Reloaded.Stages.FindByUniqueID(Stage->UniqueID);
    QCOMPARE(SavedStage->Name, eh::U16(StageNames[0]));
    QCOMPARE(SavedStage->Lang(0)->Name, eh::U16(StageNames[1]));
    const TPyxPerson* SavedPerson = Reloaded.People.FindByUniqueID(Edited->UniqueID);
    QCOMPARE(QString::fromStdU16String(SavedPerson->GetFirstName()), FirstName);
    QCOMPARE(SavedPerson->InternationalApps, Apps);
    QCOMPARE(SavedPerson->ClubTeam, nullptr);
    QCOMPARE(SavedPerson->PlayingHistory->Count(), Seasons - SeasonsAtPostClub);
    int32_t SavedFavourites = 0;
    for (const auto& Relationship : SavedPerson->Relationships)
        SavedFavourites += Relationship->Kind == 3 ? 1 : 0;
    QCOMPARE(SavedFavourites, FavouriteClubs - 1);
    const TPyxClub* SavedClub = Reloaded.Clubs.FindByUniqueID(Captained->UniqueID);
    QCOMPARE(SavedClub->Balance, Balance);
    QCOMPARE(SavedClub->Captain, nullptr);
    QCOMPARE(SavedClub->Teams.Items(0)->Reputation, SquadReputation);
    QCOMPARE(Driver.Unexpected(), QStringList());
}

void ShellJourneyTest::UnderXTheWindowsShowTheirOwnCaptionsCentredWithOneThingPerMnemonic() {
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("needs an X server (run by editor.ShellJourneyTest.UnderX)");
    eh::TWorldFolder World({.PeopleCount = 200, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    Activate(Main);

    // The main window opens in the middle of the screen.
    const QPoint Middle = Main.screen()->availableGeometry().center();
    QVERIFY2((Main.frameGeometry().center() - Middle).manhattanLength() <= 4,
             qPrintable(QString("centre %1,%2, screen's middle %3,%4")
                            .arg(Main.frameGeometry().center().x())
                            .arg(Main.frameGeometry().center().y())
                            .arg(Middle.x())
                            .arg(Middle.y())));

    // Each window's title is its caption alone, as the X server has it.
    QCOMPARE(XTitle(Main), QString("Pyx Pregame Editor"));
    QStringList Titles;
    const auto Record = [&](QWidget* Dialog) {
        QTRY_VERIFY(!XTitle(*Dialog).isEmpty());
        Titles.push_back(XTitle(*Dialog));
        Dialog->close();
    };
    Editor.Driver().Expect(Record);
    Main.mnuOptions->trigger();
    Editor.Driver().Expect(Record);
    Main.mnuAbout->trigger();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    eh::ShowAllAndFocus(*Clubs, Main.Database().Clubs.Items(0));
    Editor.Driver().Expect(Record);
    Clubs->ssNation->btnSearch->click();
    Editor.Driver().Expect(Record);
    eh::Find<QAbstractButton>(Clubs, "btnClubName")->click();
    QCOMPARE(Titles, (QStringList{"Options", "About", "Find Nation", "Edit Club Name"}));

    // Alt+A opens the Add menu every time, and only that; Alt+D the awards tab, whose own pages keep Alt+G and Alt+R.
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::People));
    for (int Press = 0; Press < 3; ++Press) {
        Activate(Main);
        QTest::keyClick(&Main, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(QApplication::activePopupWidget()->objectName(), QString("mnuAdd"));
        QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::People));
        QApplication::activePopupWidget()->close();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }
    Activate(Main);
    QTest::keyClick(&Main, Qt::Key_D, Qt::AltModifier);
    QTRY_COMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Awards));
    auto* AwardPages = Editor.Frame<TframeAward>(TTab::Awards)->Pages();
    AwardPages->setEnabled(true);
    for (int Press = 0; Press < 2; ++Press) {
        QTest::keyClick(&Main, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(AwardPages->currentWidget()->objectName(), QString("tsRules"));
        QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Awards));
    }
    QCOMPARE(Editor.Driver().Unexpected(), QStringList());
}

void ShellJourneyTest::MarkedRowsAndPanelsShowWhatTheyEditAndReputationsRoundWhenLeft() {
    eh::TWorldFolder World({.PeopleCount = 400, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Db = Main.Database();
    auto* Clubs = Editor.Frame<TframeClub>(TTab::Clubs);
    auto* People = Editor.Frame<TframePeople>(TTab::People);
    auto* Nations = Editor.Frame<TframeNation>(TTab::Nation);

    // After a second load and a new search, the row the list marks is the club the editor shows: the list taking
    // the keyboard focus makes a row current and marks it.
    TPyxClub* First = Db.Clubs.Items(0);
    eh::ShowAllAndFocus(*Clubs, First);
    Editor.LoadData();
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::Clubs));
    Activate(Main);
    eh::Find<QPushButton>(Clubs, "btnSearch")->click();
    QVERIFY(!Clubs->Pages()->isEnabled());
    // The search's status window had the keyboard meanwhile.
    Activate(Main);
    Clubs->List()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(Clubs->List()->FocusedRow() >= 0);
    QCOMPARE(Clubs->CurrentObject(), Clubs->List()->FocusedEntity());
    QVERIFY(Clubs->List()->selectionModel()->isSelected(Clubs->List()->currentIndex()));
    QVERIFY(Clubs->Pages()->isEnabled());
    // A new search marks the club shown where it lists it, and keeps what was typed for it.
    TPyxClub* Shown = Clubs->Current();
    TypeIn(Clubs->seBalance, QString::number(Other(Shown->Balance, 7654321)));
    const QString Typed = Clubs->seBalance->text();
    Clubs->btnSearchClick();
    QCOMPARE(Clubs->List()->FocusedEntity(), static_cast<TPyxObject*>(Shown));
    QVERIFY(Clubs->List()->selectionModel()->isSelected(Clubs->List()->currentIndex()));
    QCOMPARE(Clubs->seBalance->text(), Typed);

    // The manager box is emptied when the team shown has no manager any more (its manager deleted elsewhere).
    TPyxClub* Managed = eh::FirstOf(Db.Clubs, [](TPyxClub& C) {
        return C.Teams.Count() > 0 && C.Teams.Items(0)->Manager != nullptr && C.Captain != C.Teams.Items(0)->Manager;
    });
    QVERIFY(Managed != nullptr);
    TPyxPerson* Manager = Managed->Teams.Items(0)->Manager;
    eh::ShowAllAndFocus(*Clubs, Managed);
    QCOMPARE(Clubs->Squad(0)->edManager->text(), TPyxListModel::DisplayName(*Manager));
    eh::ShowAllAndFocus(*People, Manager);
    People->mnuiDeletePerson->trigger();
    QCOMPARE(Managed->Teams.Items(0)->Manager, nullptr);
    QCOMPARE(Clubs->Squad(0)->edManager->text(), QString());

    // Reputations go down to a multiple of 500 when the field is left, typed or not; a stored reputation outside
    // the field's limits is shown and kept as it is, and a Confirm without edits leaves both as stored.
    TPyxTeam* Team = Managed->Teams.Items(0);
    Team->Reputation = 12345;
    TPyxNation* Nation = Db.Nations.Items(0);
    Nation->Reputation = 1234;
    eh::ShowAllAndFocus(*Nations, Nation);
    eh::ShowAllAndFocus(*Clubs, Managed);
    Nations->ConfirmButton()->click();
    Clubs->ConfirmButton()->click();
    QCOMPARE(Nation->Reputation, int16_t(1234));
    QCOMPARE(Team->Reputation, int16_t(12345));
    PassThrough(Clubs->Squad(0)->seReputation, Clubs->Squad(0)->seLastPosition);
    QCOMPARE(Clubs->Squad(0)->seReputation->text(), QString("12345"));
    Clubs->ConfirmButton()->click();
    QCOMPARE(Team->Reputation, int16_t(12345));
    PassThrough(Nations->seReputation, Nations->seLeagueStandard);
    QCOMPARE(Nations->seReputation->text(), QString("1000"));
    Nations->ConfirmButton()->click();
    QCOMPARE(Nation->Reputation, int16_t(1000));
    QCOMPARE(Nation->Teams.Count() > 0 ? Nation->Teams.Items(0)->Reputation : int16_t(1000), int16_t(1000));

    // The playing history marks its selected row; without one its panel is disabled and shows nothing of another
    // person's seasons.
    TPyxPerson* Player = eh::FirstOf(Db.People, [](TPyxPerson& P) {
        return P.PersonType == TPyxPerson::ptPlayer && P.PlayingHistory && P.PlayingHistory->Count() >= 2;
    });
    TPyxPerson* Other = eh::FirstOf(Db.People, [&](TPyxPerson& P) {
        return &P != Player && P.PersonType == TPyxPerson::ptPlayer &&
               (!P.PlayingHistory || P.PlayingHistory->Count() == 0);
    });
    QVERIFY(Player != nullptr && Other != nullptr);
    eh::ShowAllAndFocus(*People, Player);
    TframePlayingHistory* History = People->framePlayingHistory;
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::People));
    People->Pages()->setCurrentWidget(People->tsHistory);
    History->lvPlayingHistory->setCurrentItem(History->lvPlayingHistory->topLevelItem(1));
    QVERIFY(History->pnlEntry->isEnabled());
    QCOMPARE(History->seSeason->Value(), int32_t(Player->PlayingHistory->Items(1)->Season));
    QTest::qWait(50);
    const QImage Rows = History->lvPlayingHistory->viewport()->grab().toImage();
    const QRect Marked = History->lvPlayingHistory->visualItemRect(History->lvPlayingHistory->topLevelItem(1));
    const QRect Plain = History->lvPlayingHistory->visualItemRect(History->lvPlayingHistory->topLevelItem(0));
    const QPalette Colours = History->lvPlayingHistory->palette();
    const QColor MarkedColour = Rows.pixelColor(Marked.left() + 3, Marked.top() + 2);
    QVERIFY2(MarkedColour == Colours.color(QPalette::Active, QPalette::Highlight) ||
                 MarkedColour == Colours.color(QPalette::Inactive, QPalette::Highlight),
             qPrintable(MarkedColour.name()));
    QVERIFY(Rows.pixelColor(Plain.left() + 3, Plain.top() + 2) != MarkedColour);
    const QString Dir = qEnvironmentVariable("PYX_SCREENSHOT_DIR");
    if (!Dir.isEmpty())
        Main.grab().save(Dir + "/people-playing-history.png");
    eh::ShowAllAndFocus(*People, Other);
    QVERIFY(!History->pnlEntry->isEnabled());
    QCOMPARE(History->lvPlayingHistory->topLevelItemCount(), 0);
    QCOMPARE(History->ssClub->Selected(), nullptr);
    QCOMPARE(History->seSeason->Value(), 0);
    QCOMPARE(History->seApps->Value(), 0);
    QCOMPARE(History->seGoals->Value(), 0);
    QVERIFY(!History->cbOnLoan->isChecked());
    if (!Dir.isEmpty()) {
        Main.grab().save(Dir + "/people-playing-history-empty.png");
        Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::Clubs));
        Clubs->Pages()->setCurrentWidget(Clubs->tsSquads);
        Clubs->Squad(0)->pcSquad->setCurrentWidget(eh::Find<QWidget>(Clubs->Squad(0), "tsStaff"));
        QTest::qWait(100);
        Main.grab().save(Dir + "/squad-staff-no-manager.png");
        Clubs->Squad(0)->pcSquad->setCurrentWidget(eh::Find<QWidget>(Clubs->Squad(0), "tsGeneral"));
        QTest::qWait(100);
        Main.grab().save(Dir + "/squad-general.png");
    }
    QCOMPARE(Editor.Driver().Unexpected(), QStringList());
}

PYX_EDITOR_TEST_MAIN(ShellJourneyTest)
#include "ShellJourneyTest.moc"
