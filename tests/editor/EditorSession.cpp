#include "EditorSession.h"

#include "frmMainUnit.h"

#include <QAction>
#include <QApplication>
#include <QSettings>

namespace eh {

namespace {

std::unique_ptr<QSettings> EditorKey(const QString& Organization, const QString& Application) {
    auto Settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, Organization, Application);
    Settings->setFallbacksEnabled(false);
    return Settings;
}

} // namespace

TPrivateSettings::TPrivateSettings() {
    if (!Dir_.isValid())
        throw std::runtime_error("no temporary folder for the settings");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, Dir_.path() + "/system");
}

void TPrivateSettings::SetInstallPath(const QString& Path) {
    EditorKey("Korvell Ltd", "Installs")->setValue("Pyx/Path", Path);
}

void TPrivateSettings::SetEditorValue(const QString& Key, const QVariant& Value) {
    EditorKey("PyxTools", "PyxPregameEditor")->setValue(Key, Value);
}

QVariant TPrivateSettings::EditorValue(const QString& Key) const {
    return EditorKey("PyxTools", "PyxPregameEditor")->value(Key);
}

TEditorSession::TEditorSession() = default;

TEditorSession::TEditorSession(const QString& DataPath, bool AllLanguages, bool Histories) {
    Settings_.SetEditorValue("PyxPath", DataPath);
    Settings_.SetEditorValue("LoadAllLanguages", AllLanguages ? 1 : 0);
    Settings_.SetEditorValue("LoadPlayingHistories", Histories ? 1 : 0);
    Start();
}

TEditorSession::~TEditorSession() {
    Main_.reset();
}

void TEditorSession::Start() {
    Main_ = std::make_unique<TfrmMain>();
    Main_->show();
    QApplication::processEvents();
}

void TEditorSession::Close() {
    if (!Main_)
        return;
    Main_->close();
    Main_.reset();
}

TfrmMain& TEditorSession::Main() const {
    if (!Main_)
        throw std::runtime_error("the editor session was not started");
    return *Main_;
}

void TEditorSession::LoadData() {
    Main().mnuLoadData->trigger();
}

QString TEditorSession::LoadDataFailing() {
    QString Seen;
    Driver_.Expect(TModalDriver::Answer(QMessageBox::Ok, &Seen));
    Main().mnuLoadData->trigger();
    Driver_.Withdraw();
    return Seen;
}

void TEditorSession::SaveData() {
    Main().mnuSaveData->trigger();
}

QString TEditorSession::SaveDataAnswering(QMessageBox::StandardButton Answer) {
    QString Seen;
    Driver_.Expect(TModalDriver::Answer(Answer, &Seen));
    Main().mnuSaveData->trigger();
    Driver_.Withdraw();
    return Seen;
}

TPyxEditorFrame* TEditorSession::FrameOf(TTab Tab) const {
    return Main().Frame(Tab);
}

} // namespace eh
