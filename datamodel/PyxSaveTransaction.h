#pragma once

#include "PyxDataFolder.h"

#include <memory>
#include <string>
#include <vector>

// Writes a set of data files so that a failed save leaves the folder as it was: each file is written to a
// temporary file beside it, and the originals are replaced only when every file was written and synced. Temporary
// files of a save that did not commit are removed.
class TPyxSaveTransaction final : public TPyxSaveTarget {
public:
    // Folder ends with a path delimiter.
    explicit TPyxSaveTransaction(std::string Folder);
    ~TPyxSaveTransaction() override;
    TPyxSaveTransaction(const TPyxSaveTransaction&) = delete;
    TPyxSaveTransaction& operator=(const TPyxSaveTransaction&) = delete;

    // A stream that will replace FileName on commit. EAccessDeniedError ("Couldn't access <name>.\r\nMake sure the
    // file isn't write protected.") when the file exists and may not be written, or nothing can be created beside it.
    TPyxFileStream& Create(const std::string& FileName) override;
    // Flushes and syncs every file, then renames each over its original.
    void Commit() override;
    // The data file a stream path of this save stands for, for messages ("server_db.dat").
    std::string TargetOf(const std::string& Path) const override;

private:
    struct TFile {
        std::string Name;
        std::string TempPath;
        std::unique_ptr<TPyxFileStream> Stream;
    };

    std::string Folder_;
    std::vector<TFile> Files_;
    bool Committed_ = false;
};
