#pragma once

#include "PyxSupportClasses.h"

#include <string>

// One save's set of new files: each is written through a stream of its own, and the folder's files are replaced
// only by Commit, after every file was written. Destroying an uncommitted save leaves the folder as it was.
class TPyxSaveTarget {
public:
    virtual ~TPyxSaveTarget() = default;
    // A stream for the new content of FileName. EAccessDeniedError ("Couldn't access <name>.\r\nMake sure the file
    // isn't write protected.") when the file may not be replaced.
    virtual TPyxFileStream& Create(const std::string& FileName) = 0;
    // Replaces the files by the new ones; EAccessDeniedError when that fails.
    virtual void Commit() = 0;
    // The data file a stream's file name stands for, for messages ("server_db.dat").
    virtual std::string TargetOf(const std::string& StreamName) const { return StreamName; }
};
