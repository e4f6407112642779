#pragma once

#include "PyxSaveTarget.h"
#include "PyxSupportClasses.h"

#include <memory>
#include <string>
#include <vector>

// Writes a set of data files so that a failed save leaves the folder as it was: each file is written to a
// temporary file beside it (".server_db.dat.pyxsave-XXXXXX"), and the originals are replaced only when every file
// was written and synced. Temporary files of a save that did not commit are removed.
//
// A save holds an exclusive lock on the folder from its first file to its end; a second save into the folder
// meanwhile is refused. A process killed during a save cannot remove its temporary files, but its lock goes with
// it: the next save, holding the lock, removes every temporary file of the data files it finds, since none can
// belong to a live save.
//
// The files depend on each other (the history files on one another, the people on the server file's numbering),
// so the replacement of the set must not be left half done. Before the first rename the save writes a commit
// journal naming each temporary file and the file it replaces; once the journal is on disk the save counts as
// done. A save killed among its renames, or one whose rename fails after the first, leaves the journal behind,
// and FinishInterruptedSave, which every load and save of the folder runs first, completes the renames it lists,
// so no load ever sees a mix of old and new files. A journal that cannot be written fails the save before any
// file is replaced.
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
    // Flushes and syncs every file, writes the commit journal, then renames each over its original.
    void Commit() override;
    // The data file a stream path of this save stands for, for messages ("server_db.dat").
    std::string TargetOf(const std::string& Path) const override;

    // Completes the renames of a save of Folder that was killed after its commit journal was written. Does nothing
    // when there is no journal, when another save holds the folder, or when the folder cannot be written.
    static void FinishInterruptedSave(const std::string& Folder);

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
