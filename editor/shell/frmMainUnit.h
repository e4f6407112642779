#pragma once

#include "EditorSettings.h"
#include "EditorTabs.h"
#include "PyxNavigator.h"
#include "UnhandledException.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QMenu;
class QTabWidget;
class TPyxDatabase;
class TPyxEditorFrame;
class TfrmAbout;
class TfrmOptions;

// The main window: the File, Add and Help menus and the thirteen entity tabs. It owns the one database of the run,
// reads the settings when it is created and writes them when it closes, loads and saves the data folder under a
// status window, and shows entities in their tabs for the frames (TPyxNavigator).
class TfrmMain final : public QMainWindow, public TPyxNavigator {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* Parent = nullptr);
    ~TfrmMain() override;

    // TPyxNavigator
    void ShowPerson(TPyxPerson* Person) override;
    void ShowClub(TPyxClub* Club) override;
    void ShowNation(TPyxNation* Nation) override;
    void ShowCity(TPyxCity* City) override;
    void ShowStadium(TPyxStadium* Stadium) override;
    void ShowCompetition(TPyxCompetition* Competition) override;
    void ShowContinent(TPyxContinent* Continent) override;
    void ShowWeather(TPyxWeather* Weather) override;
    void ShowLanguage(TPyxLanguage* Language) override;
    void ShowInjury(TPyxInjury* Injury) override;
    void RefreshClubSquads() override;
    void EntitiesAdded() override;
    void EntitiesDeleted(const TGoneEntities& Gone) override;

    TPyxDatabase& Database() const { return *Database_; }
    // The frame of a tab, or nil while it is not built.
    TPyxEditorFrame* Frame(TTab Tab) const { return Frames_[static_cast<std::size_t>(Tab)]; }
    QWidget* Sheet(TTab Tab) const { return Sheets_[static_cast<std::size_t>(Tab)]; }
    QTabWidget* Tabs() const { return pcAllData; }
    const TEditorSettings& Settings() const { return Settings_; }
    // The folder of the last successful load, where Save Data writes; empty before one.
    const QString& LoadedPath() const { return LoadedPath_; }
    TfrmOptions* Options() const { return frmOptions; }
    // The data model's exception the last Load Data or Save Data showed in its error box (empty class name when
    // the last one succeeded), for tools that drive the window and report as the command-line tools do.
    const TExceptionDescription& LastFailure() const { return LastFailure_; }
    TfrmAbout* About() const { return frmAbout; }

    QAction* mnuLoadData;
    QAction* mnuSaveData;
    QAction* mnuOptions;
    QAction* mnuExit;
    QAction* mnuAddPerson;
    QAction* mnuAddClub;
    QAction* mnuAddStadium;
    QAction* mnuAddCity;
    QAction* mnuAddMedia;
    QAction* mnuAbout;

public slots:
    void mnuLoadDataClick();
    void mnuSaveDataClick();
    void mnuOptionsClick();
    void mnuExitClick();
    void mnuAboutClick();
    void mnuAddPersonClick();
    void mnuAddClubClick();
    void mnuAddStadiumClick();
    void mnuAddCityClick();
    void mnuAddMediaClick();

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void BuildMenus();
    void BuildTabs();
    // Every frame in tab order (nil for those not built yet).
    template <class F> void ForEachFrame(F&& Do) const;
    void BeginUpdateLists();
    void EndUpdateLists();
    // Makes Tab active and has its frame list only Entity; nothing when the frame is not built.
    void ShowIn(TTab Tab, TPyxObject* Entity);
    void AddFrom(TTab Tab);
    void EnableAddItems(bool AllLanguages);
    // Disables the window's menus and tabs while a load or save runs, or enables them again.
    void EnableWindow(bool Enable);

    TEditorSettings Settings_;
    QString LoadedPath_;
    TExceptionDescription LastFailure_;
    std::unique_ptr<TPyxDatabase> Database_;
    QTabWidget* pcAllData = nullptr;
    std::array<QWidget*, TabCount> Sheets_{};
    std::array<TPyxEditorFrame*, TabCount> Frames_{};
    TfrmAbout* frmAbout = nullptr;
    TfrmOptions* frmOptions = nullptr;
};
