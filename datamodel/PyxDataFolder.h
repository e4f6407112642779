#pragma once

#include "PyxSaveTarget.h"
#include "PyxSupportClasses.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Where a load reads the data files from and a save writes them to.
class TPyxDataFolder {
public:
    virtual ~TPyxDataFolder() = default;
    // FileName opened for reading; EFileStreamError when it cannot be opened or read.
    virtual std::unique_ptr<TPyxFileStream> OpenRead(const std::string& FileName) const = 0;
    virtual std::unique_ptr<TPyxSaveTarget> BeginSave() = 0;
};

// Path with a path delimiter at its end, unless it is empty (the working directory).
std::string WithPathDelimiter(const std::string& Path);

// A folder on disk. Saves go through temporary files beside the originals (TPyxSaveTransaction).
class TPyxDiskFolder final : public TPyxDataFolder {
public:
    // Path ends with a path delimiter (or is empty for the working directory).
    explicit TPyxDiskFolder(std::string Path) : Path_(std::move(Path)) {}
    std::unique_ptr<TPyxFileStream> OpenRead(const std::string& FileName) const override;
    std::unique_ptr<TPyxSaveTarget> BeginSave() override;
    const std::string& Path() const { return Path_; }

private:
    std::string Path_;
};

// Data files held in memory, by file name: tools and tests that load and save without touching the disk (the
// fuzz target among them). A file that is not in Files cannot be opened.
class TPyxMemoryFolder final : public TPyxDataFolder {
public:
    std::unique_ptr<TPyxFileStream> OpenRead(const std::string& FileName) const override;
    std::unique_ptr<TPyxSaveTarget> BeginSave() override;

    std::map<std::string, std::vector<uint8_t>> Files;
};
