#pragma once

#include <QString>

#include <array>
#include <string>

// The data folder as the main window sees it: the six data files, paths given with or without a trailing
// delimiter, and whether a file is read-only, which is the absence of every write permission bit.
namespace DataFolder {

inline constexpr std::array<const char*, 6> FileNames = {"server_db.dat",     "people_db.dat",  "lang_db.dat",
                                                         "pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"};

// Path with a '/' at its end; an empty path stays empty.
QString WithDelimiter(const QString& Path);
// The path in the file system's own encoding, for the data model.
std::string LocalPath(const QString& Path);
// Whether Path names an existing folder (an empty path does not).
bool Exists(const QString& Path);
// True when File has no write permission bit, and when it does not exist.
bool IsReadOnly(const QString& File);
// Gives an existing File its owner's write permission; a missing file is left alone.
void ClearReadOnly(const QString& File);
// Takes every write permission from an existing File; a missing file is left alone.
void SetReadOnly(const QString& File);

} // namespace DataFolder
