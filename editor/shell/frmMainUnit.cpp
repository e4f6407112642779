#include "frmMainUnit.h"

#include "DataFolder.h"
#include "PyxBusy.h"
#include "PyxDatabase.h"
#include "PyxEditorFrame.h"
#include "PyxMessages.h"
#include "StatusForm.h"
#include "frmAboutUnit.h"
#include "frmOptionsUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>
#include <new>

namespace {

const QString NotInstalledMessage =
    "Pyx doesn't seem to be installed on this machine, please use File->Options to select the installation path "
    "for your Pyx game.";
const QString OutOfMemoryMessage = "Your system is out of memory, and can not load all the data.\r\nPlease free up "
                                   "some memory, or try to load a smaller part of the database.";
const QString ReadOnlyQuestion =
    "server_db.dat, people_db.dat, lang_db.dat, pl_hist_index.dat, pl_hist_id.dat and pl_hist_dt.dat are currently "
    "read only, are you sure you want to overwrite them?";

QAction* MakeAction(QMenu* Menu, const char* ObjectName, const QString& Caption, const QKeySequence& Shortcut = {}) {
    QAction* Action = Menu->addAction(Caption);
    Action->setObjectName(ObjectName);
    if (!Shortcut.isEmpty())
        Action->setShortcut(Shortcut);
    return Action;
}

} // namespace

TfrmMain::TfrmMain(QWidget* Parent)
    : QMainWindow(Parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
    setObjectName("frmMain");
    setWindowTitle("Pyx Pregame Editor");
    BuildMenus();
    BuildTabs();

    Settings_ = TEditorSettings::Read();
    if (DataFolder::Exists(Settings_.DataPath))
        mnuLoadData->setEnabled(true);
    else
        PyxMessages::ShowMessage(nullptr, NotInstalledMessage);
    Database_ = std::make_unique<TPyxDatabase>();

    frmAbout = new TfrmAbout(this);
    frmOptions = new TfrmOptions(this);
}

TfrmMain::~TfrmMain() {
    // The frames go before the database whose entities their lists point at.
    ForEachFrame([](TPyxEditorFrame& Frame) { Frame.SetDatabase(nullptr); });
}

void TfrmMain::BuildMenus() {
    QMenu* mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuLoadData = MakeAction(mnuFile, "mnuLoadData", "&Load Data", QKeySequence("Ctrl+L"));
    mnuSaveData = MakeAction(mnuFile, "mnuSaveData", "&Save Data", QKeySequence("Ctrl+S"));
    mnuFile->addSeparator()->setObjectName("mnuLine1");
    mnuOptions = MakeAction(mnuFile, "mnuOptions", "&Options");
    mnuFile->addSeparator()->setObjectName("mnuLine2");
    mnuExit = MakeAction(mnuFile, "mnuExit", "&Exit");
    QMenu* mnuAdd = menuBar()->addMenu("&Add");
    mnuAdd->setObjectName("mnuAdd");
    mnuAddPerson = MakeAction(mnuAdd, "mnuAddPerson", "&Person");
    mnuAddClub = MakeAction(mnuAdd, "mnuAddClub", "&Club");
    mnuAddStadium = MakeAction(mnuAdd, "mnuAddStadium", "&Stadium");
    mnuAddCity = MakeAction(mnuAdd, "mnuAddCity", "C&ity");
    mnuAddMedia = MakeAction(mnuAdd, "mnuAddMedia", "&Media");
    QMenu* mnuHelp = menuBar()->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    mnuAbout = MakeAction(mnuHelp, "mnuAbout", "&About");

    for (QAction* Action : {mnuLoadData, mnuSaveData, mnuAddPerson, mnuAddClub, mnuAddStadium, mnuAddCity, mnuAddMedia})
        Action->setEnabled(false);

    connect(mnuLoadData, &QAction::triggered, this, &TfrmMain::mnuLoadDataClick);
    connect(mnuSaveData, &QAction::triggered, this, &TfrmMain::mnuSaveDataClick);
    connect(mnuOptions, &QAction::triggered, this, &TfrmMain::mnuOptionsClick);
    connect(mnuExit, &QAction::triggered, this, &TfrmMain::mnuExitClick);
    connect(mnuAbout, &QAction::triggered, this, &TfrmMain::mnuAboutClick);
    connect(mnuAddPerson, &QAction::triggered, this, &TfrmMain::mnuAddPersonClick);
    connect(mnuAddClub, &QAction::triggered, this, &TfrmMain::mnuAddClubClick);
    connect(mnuAddStadium, &QAction::triggered, this, &TfrmMain::mnuAddStadiumClick);
    connect(mnuAddCity, &QAction::triggered, this, &TfrmMain::mnuAddCityClick);
    connect(mnuAddMedia, &QAction::triggered, this, &TfrmMain::mnuAddMediaClick);
}

void TfrmMain::BuildTabs() {
    pcAllData = new QTabWidget(this);
    pcAllData->setObjectName("pcAllData");
    // All thirteen tabs in view: the window is made as wide as they need.
    pcAllData->setUsesScrollButtons(false);
    setCentralWidget(pcAllData);
    for (int I = 0; I < TabCount; ++I) {
        const auto Tab = static_cast<TTab>(I);
        auto* Sheet = new QWidget(pcAllData);
        Sheet->setObjectName(TabInfo(Tab).SheetName);
        auto* Layout = new QVBoxLayout(Sheet);
        Layout->setContentsMargins(4, 4, 4, 4);
        TPyxEditorFrame* Frame = CreateTabFrame(Tab, *this, Sheet);
        if (Frame != nullptr)
            Layout->addWidget(Frame);
        pcAllData->addTab(Sheet, TabInfo(Tab).Caption);
        // A tab whose frame is not built yet stays disabled.
        pcAllData->setTabEnabled(I, Frame != nullptr);
        Sheets_[static_cast<std::size_t>(I)] = Sheet;
        Frames_[static_cast<std::size_t>(I)] = Frame;
    }
    // The first tab the user can open is active at start.
    for (int I = 0; I < TabCount; ++I)
        if (pcAllData->isTabEnabled(I)) {
            pcAllData->setCurrentIndex(I);
            break;
        }
    // The window takes the size its pages need, at least the size it was designed with; the user does not resize
    // it. It opens in the middle of the screen.
    setFixedSize(sizeHint().expandedTo(QSize(691, 518 + menuBar()->sizeHint().height())));
    if (const QScreen* Screen = screen())
        move(Screen->availableGeometry().center() - rect().center());
}

template <class F> void TfrmMain::ForEachFrame(F&& Do) const {
    for (TPyxEditorFrame* Frame : Frames_)
        if (Frame != nullptr)
            Do(*Frame);
}

void TfrmMain::BeginUpdateLists() {
    ForEachFrame([](TPyxEditorFrame& Frame) { Frame.BeginUpdateList(); });
}

void TfrmMain::EndUpdateLists() {
    ForEachFrame([](TPyxEditorFrame& Frame) { Frame.EndUpdateList(); });
}

void TfrmMain::EnableWindow(bool Enable) {
    // The menus and the tabs rather than the window itself: disabling the window would disable the status window
    // it owns as well.
    menuBar()->setEnabled(Enable);
    pcAllData->setEnabled(Enable);
}

void TfrmMain::EnableAddItems(bool AllLanguages) {
    const auto CanAdd = [this](TTab Tab) { return Frame(Tab) != nullptr && Frame(Tab)->CanAdd(); };
    mnuAddPerson->setEnabled(CanAdd(TTab::People));
    mnuAddClub->setEnabled(AllLanguages && CanAdd(TTab::Clubs));
    mnuAddStadium->setEnabled(AllLanguages && CanAdd(TTab::Stadia));
    mnuAddCity->setEnabled(AllLanguages && CanAdd(TTab::Cities));
    mnuAddMedia->setEnabled(AllLanguages && CanAdd(TTab::Media));
}

void TfrmMain::mnuLoadDataClick() {
    if (TPyxBusy::Active() || !mnuLoadData->isEnabled())
        return;
    TPyxBusy Busy;
    QString Error;
    std::exception_ptr Failure;
    LastFailure_ = {};
    {
        TStatusSession Status(this, {Database_.get()});
        Database_->LoadPlayingHistories = Settings_.LoadPlayingHistories;
        Database_->LoadAllLanguages = Settings_.LoadAllLanguages;
        mnuSaveData->setEnabled(false);
        for (QAction* Action : {mnuAddPerson, mnuAddClub, mnuAddStadium, mnuAddCity, mnuAddMedia})
            Action->setEnabled(false);
        // Nothing may point at the entities the load is about to free.
        ForEachFrame([](TPyxEditorFrame& Frame) { Frame.SetDatabase(nullptr); });
        LoadedPath_.clear();
        BeginUpdateLists();
        EnableWindow(false);
        try {
            const QString Path = DataFolder::WithDelimiter(Settings_.DataPath);
            Database_->Load(DataFolder::LocalPath(Path));
            Status.Window().SetStatus("Creating Selection Lists");
            ForEachFrame([this](TPyxEditorFrame& Frame) { Frame.SetDatabase(Database_.get()); });
            mnuSaveData->setEnabled(true);
            EnableAddItems(Database_->LoadAllLanguages);
            LoadedPath_ = Path;
        } catch (const EPyxError& E) {
            Error = QString::fromUtf8(E.what());
            LastFailure_ = DescribeException(std::current_exception());
        } catch (const std::bad_alloc&) {
            Error = OutOfMemoryMessage;
            LastFailure_ = {"EOutOfMemory", Error.toStdString()};
        } catch (...) {
            Failure = std::current_exception();
        }
        EndUpdateLists();
        EnableWindow(true);
    }
    if (!Error.isEmpty())
        PyxMessages::ShowError(this, Error);
    // Any other failure goes where every unhandled exception goes; handed over here rather than thrown on, since
    // unwinding through Qt's own frames skips their clean-up.
    if (Failure)
        HandleUnhandledException(Failure);
}

void TfrmMain::mnuSaveDataClick() {
    if (TPyxBusy::Active() || !mnuSaveData->isEnabled() || LoadedPath_.isEmpty())
        return;
    // The folder that was loaded, whatever Options says now: saving this world into another folder would overwrite
    // the world that lives there.
    const QString Path = LoadedPath_;
    bool MadeWritable = false;
    for (const char* Name : DataFolder::FileNames) {
        if (!DataFolder::IsReadOnly(Path + Name))
            continue;
        if (!PyxMessages::AskYesNo(this, ReadOnlyQuestion))
            return;
        for (const char* File : DataFolder::FileNames)
            DataFolder::ClearReadOnly(Path + File);
        MadeWritable = true;
        break;
    }
    TPyxBusy Busy;
    QString Error;
    std::exception_ptr Failure;
    LastFailure_ = {};
    {
        TStatusSession Status(this, {Database_.get()});
        BeginUpdateLists();
        EnableWindow(false);
        try {
            Database_->Save(DataFolder::LocalPath(Path));
        } catch (const EPyxError& E) {
            Error = QString::fromUtf8(E.what());
            LastFailure_ = DescribeException(std::current_exception());
        } catch (...) {
            Failure = std::current_exception();
        }
        EndUpdateLists();
        EnableWindow(true);
        if (MadeWritable)
            for (const char* File : DataFolder::FileNames)
                DataFolder::SetReadOnly(Path + File);
    }
    if (!Error.isEmpty())
        PyxMessages::ShowError(this, Error);
    if (Failure)
        HandleUnhandledException(Failure);
}

void TfrmMain::mnuOptionsClick() {
    if (TPyxBusy::Active())
        return;
    frmOptions->edPyxPath->setText(Settings_.DataPath);
    frmOptions->cbLoadAllLanguages->setChecked(Settings_.LoadAllLanguages);
    frmOptions->cbLoadPlayingHistories->setChecked(Settings_.LoadPlayingHistories);
    frmOptions->btnOK->setFocus();
    if (frmOptions->exec() != QDialog::Accepted)
        return;
    Settings_.DataPath = frmOptions->edPyxPath->text();
    mnuLoadData->setEnabled(DataFolder::Exists(Settings_.DataPath));
    Settings_.LoadAllLanguages = frmOptions->cbLoadAllLanguages->isChecked();
    Settings_.LoadPlayingHistories = frmOptions->cbLoadPlayingHistories->isChecked();
}

void TfrmMain::mnuExitClick() {
    close();
}

void TfrmMain::mnuAboutClick() {
    frmAbout->exec();
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
    // A load or save in progress runs on; the window closes after it.
    if (TPyxBusy::Active()) {
        Event->ignore();
        return;
    }
    // Unsaved edits are not asked about; settings that cannot be written are not reported.
    Settings_.Write();
    Event->accept();
}

void TfrmMain::ShowIn(TTab Tab, TPyxObject* Entity) {
    TPyxEditorFrame* Target = Frame(Tab);
    if (Target == nullptr || Entity == nullptr || TPyxBusy::Active())
        return;
    pcAllData->setCurrentWidget(Sheet(Tab));
    Target->FocusObject(Entity);
}

void TfrmMain::ShowPerson(TPyxPerson* Person) {
    ShowIn(TTab::People, Person);
}

void TfrmMain::ShowClub(TPyxClub* Club) {
    ShowIn(TTab::Clubs, Club);
}

void TfrmMain::ShowNation(TPyxNation* Nation) {
    ShowIn(TTab::Nation, Nation);
}

void TfrmMain::ShowCity(TPyxCity* City) {
    ShowIn(TTab::Cities, City);
}

void TfrmMain::ShowStadium(TPyxStadium* Stadium) {
    ShowIn(TTab::Stadia, Stadium);
}

void TfrmMain::ShowCompetition(TPyxCompetition* Competition) {
    ShowIn(TTab::Competition, Competition);
}

void TfrmMain::ShowContinent(TPyxContinent* Continent) {
    ShowIn(TTab::Continents, Continent);
}

void TfrmMain::ShowWeather(TPyxWeather* Weather) {
    ShowIn(TTab::Weather, Weather);
}

void TfrmMain::ShowLanguage(TPyxLanguage* Language) {
    ShowIn(TTab::Languages, Language);
}

void TfrmMain::ShowInjury(TPyxInjury* Injury) {
    ShowIn(TTab::Injuries, Injury);
}

void TfrmMain::RefreshClubSquads() {
    if (TPyxEditorFrame* Clubs = Frame(TTab::Clubs))
        Clubs->RefreshSquads();
}

void TfrmMain::EntitiesAdded() {
    ForEachFrame([](TPyxEditorFrame& Frame) { Frame.EntitiesAdded(); });
}

void TfrmMain::EntitiesDeleted(const TGoneEntities& Gone) {
    ForEachFrame([&Gone](TPyxEditorFrame& Frame) { Frame.PurgeDeleted(Gone); });
}

void TfrmMain::AddFrom(TTab Tab) {
    TPyxEditorFrame* Target = Frame(Tab);
    if (Target == nullptr || !Target->CanAdd() || TPyxBusy::Active() || !Database_->IsLoaded())
        return;
    Target->AddEntity();
    pcAllData->setCurrentWidget(Sheet(Tab));
}

void TfrmMain::mnuAddPersonClick() {
    if (mnuAddPerson->isEnabled())
        AddFrom(TTab::People);
}

void TfrmMain::mnuAddClubClick() {
    if (mnuAddClub->isEnabled())
        AddFrom(TTab::Clubs);
}

void TfrmMain::mnuAddStadiumClick() {
    if (mnuAddStadium->isEnabled())
        AddFrom(TTab::Stadia);
}

void TfrmMain::mnuAddCityClick() {
    if (mnuAddCity->isEnabled())
        AddFrom(TTab::Cities);
}

void TfrmMain::mnuAddMediaClick() {
    if (mnuAddMedia->isEnabled())
        AddFrom(TTab::Media);
}
