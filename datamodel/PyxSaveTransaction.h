#pragma once

#include "PyxDataFolder.h"

#include <memory>
#include <string>
#include <vector>

// Writes a set of data files so that a failed save leaves the folder as it was: each file is written to a
// temporary file beside it (".server_db.dat.pyxsave-XXXXXX"), and the originals are replaced only when every file
// was written and synced. Temporary files of a save that did not commit are removed.
//
// The replacing itself is one rename a file, so it is whole for each file but not for the set: a save killed, or
// a rename failing, between two of them leaves some files new and the rest old. Such a mix need not load (new
// playing-history index over the old slot file is corrupt).
//
// A save holds an exclusive lock on the folder from its first file to its end; a second save into the folder
// meanwhile is refused. A process killed during a save cannot remove its temporary files, but its lock goes with
// it: the next save, holding the lock, removes every temporary file of the data files it finds, since none can
// belong to a live save. Loading never looks at them.
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
    // Checks that the folder may be written, takes its lock and removes stale temporary files. FileName is the
    // first file of the save, which access errors name.
    void Begin(const std::string& FileName);
    void RemoveStaleTemporaries() const;

    struct TFile {
        std::string Name;
        std::string TempPath;
        std::unique_ptr<TPyxFileStream> Stream;
    };

    std::string Folder_;
    std::vector<TFile> Files_;
    bool Committed_ = false;
    int LockFd_ = -1; // the folder, locked for the save
};
