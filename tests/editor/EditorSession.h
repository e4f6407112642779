#pragma once

#include "EditorTabs.h"
#include "ModalDriver.h"
#include "PyxEditorFrame.h"
#include "StatusRecorder.h"

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <stdexcept>

class TfrmMain;
class TPyxEditorFrame;

namespace eh {

// The QSettings of one test in a folder of its own: the editor's values and the game's install key, as the
// editor reads and writes them. Nothing of the user's own settings is read or touched.
class TPrivateSettings final {
public:
    TPrivateSettings();
    TPrivateSettings(const TPrivateSettings&) = delete;
    TPrivateSettings& operator=(const TPrivateSettings&) = delete;

    void SetInstallPath(const QString& Path);
    void SetEditorValue(const QString& Key, const QVariant& Value);
    // The value as the settings file holds it now (an invalid QVariant when missing).
    QVariant EditorValue(const QString& Key) const;
    QString Dir() const { return Dir_.path(); }

private:
    QTemporaryDir Dir_;
};

// One run of the editor's main window, offscreen, with private settings, a modal driver and a status recorder.
// Either give the data folder to the constructor (the settings name it and the window starts at once), or build
// the session empty, prepare Settings() and Driver() and call Start().
class TEditorSession final {
public:
    TEditorSession();
    explicit TEditorSession(const QString& DataPath, bool AllLanguages = true, bool Histories = true);
    ~TEditorSession();
    TEditorSession(const TEditorSession&) = delete;
    TEditorSession& operator=(const TEditorSession&) = delete;

    // Creates and shows the main window (it reads the settings now).
    void Start();
    // Closes the main window (it writes the settings) and frees it.
    void Close();

    TfrmMain& Main() const;
    TPrivateSettings& Settings() { return Settings_; }
    TModalDriver& Driver() { return Driver_; }
    TStatusRecorder& Status() { return Status_; }

    // File->Load Data; no dialog is expected.
    void LoadData();
    // File->Load Data when it fails: the error box's object name, title and text (one per line), after OK.
    QString LoadDataFailing();
    // File->Save Data; no dialog is expected.
    void SaveData();
    // File->Save Data answering the read-only question with Answer; returns the question as seen (empty when it
    // was not asked, in which case the handler is withdrawn).
    QString SaveDataAnswering(QMessageBox::StandardButton Answer);

    template <class T = TPyxEditorFrame> T* Frame(TTab Tab) const { return dynamic_cast<T*>(FrameOf(Tab)); }

private:
    TPyxEditorFrame* FrameOf(TTab Tab) const;

    TPrivateSettings Settings_;
    TModalDriver Driver_;
    TStatusRecorder Status_;
    std::unique_ptr<TfrmMain> Main_;
};

// The child of Root named Name, of type T; throws (a test failure) when there is none.
template <class T = QObject> T* Find(const QObject* Root, const QString& Name) {
    T* Found = Root->findChild<T*>(Name);
    if (Found == nullptr)
        throw std::runtime_error("no " + Name.toStdString() + " in " + Root->objectName().toStdString());
    return Found;
}

} // namespace eh
