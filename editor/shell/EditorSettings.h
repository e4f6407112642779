#pragma once

#include <QString>

// The editor's own settings and the game's install key, kept with QSettings. The editor's values live under the
// vendor "PyxTools", application "PyxPregameEditor"; the game's install key is "Korvell Ltd" / "Installs", group
// "Pyx", value "Path" (the INI files "PyxTools/PyxPregameEditor.ini" and "Korvell Ltd/Installs.ini" below
// $XDG_CONFIG_HOME, ~/.config by default).
struct TEditorSettings {
    QString DataPath;
    bool LoadAllLanguages = true;
    bool LoadPlayingHistories = true;

    // The editor's values: a missing DataPath reads as empty; a flag is true unless it holds an integer that is 0
    // (1 and any other integer read as true; a missing value or text that is no integer takes the default, true).
    // When DataPath is empty it is taken from the game's install key.
    static TEditorSettings Read();
    // Writes the three values, the flags as the integers 1 and 0. False when the settings could not be written.
    bool Write() const;
    // The game's install path, or empty.
    static QString ReadGameInstallPath();
};
