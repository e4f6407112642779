#include "EditorSettings.h"

#include <QSettings>

#include <memory>

namespace {

constexpr const char* Vendor = "PyxTools";
constexpr const char* Application = "PyxPregameEditor";

std::unique_ptr<QSettings> OpenKey(const char* Organization, const char* App) {
    auto Settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, Organization, App);
    // Only the user's own settings count, never a system-wide file.
    Settings->setFallbacksEnabled(false);
    return Settings;
}

bool ReadFlag(const QSettings& Settings, const char* Name) {
    const QVariant Value = Settings.value(Name);
    if (!Value.isValid())
        return true;
    bool IsNumber = false;
    const qlonglong Number = Value.toString().trimmed().toLongLong(&IsNumber);
    return !IsNumber || Number != 0;
}

} // namespace

TEditorSettings TEditorSettings::Read() {
    TEditorSettings Result;
    {
        const auto Settings = OpenKey(Vendor, Application);
        const QVariant Path = Settings->value("PyxPath");
        Result.DataPath = Path.canConvert<QString>() ? Path.toString() : QString();
        Result.LoadAllLanguages = ReadFlag(*Settings, "LoadAllLanguages");
        Result.LoadPlayingHistories = ReadFlag(*Settings, "LoadPlayingHistories");
    }
    if (Result.DataPath.isEmpty())
        Result.DataPath = ReadGameInstallPath();
    return Result;
}

bool TEditorSettings::Write() const {
    const auto Settings = OpenKey(Vendor, Application);
    if (!Settings->isWritable())
        return false;
    Settings->setValue("PyxPath", DataPath);
    Settings->setValue("LoadAllLanguages", LoadAllLanguages ? 1 : 0);
    Settings->setValue("LoadPlayingHistories", LoadPlayingHistories ? 1 : 0);
    Settings->sync();
    return Settings->status() == QSettings::NoError;
}

QString TEditorSettings::ReadGameInstallPath() {
    const auto Install = OpenKey("Korvell Ltd", "Installs");
    const QVariant Path = Install->value("Pyx/Path");
    return Path.canConvert<QString>() ? Path.toString() : QString();
}
