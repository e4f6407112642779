#include "PyxDataFolder.h"

#include "PyxSaveTransaction.h"

std::string WithPathDelimiter(const std::string& Path) {
    if (Path.empty() || Path.back() == '/')
        return Path;
    return Path + '/';
}

std::unique_ptr<TPyxFileStream> TPyxDiskFolder::OpenRead(const std::string& FileName) const {
    return TPyxFileStream::OpenRead(Path_ + FileName);
}

std::unique_ptr<TPyxSaveTarget> TPyxDiskFolder::BeginSave() {
    return std::make_unique<TPyxSaveTransaction>(Path_);
}

std::unique_ptr<TPyxFileStream> TPyxMemoryFolder::OpenRead(const std::string& FileName) const {
    auto It = Files.find(FileName);
    if (It == Files.end())
        throw EFileStreamError("Cannot open file " + FileName + ": no such file", FileName);
    return std::make_unique<TPyxFileStream>(It->second);
}

namespace {

// Collects the new files in memory streams and hands them to the folder only on commit.
class TMemorySave final : public TPyxSaveTarget {
public:
    explicit TMemorySave(TPyxMemoryFolder& Folder) : Folder_(Folder) {}

    TPyxFileStream& Create(const std::string& FileName) override {
        Files_.emplace_back(FileName, std::make_unique<TPyxFileStream>());
        return *Files_.back().second;
    }

    void Commit() override {
        for (auto& [Name, Stream] : Files_)
            Folder_.Files[Name] = Stream->Bytes();
        Files_.clear();
    }

private:
    TPyxMemoryFolder& Folder_;
    std::vector<std::pair<std::string, std::unique_ptr<TPyxFileStream>>> Files_;
};

} // namespace

std::unique_ptr<TPyxSaveTarget> TPyxMemoryFolder::BeginSave() {
    return std::make_unique<TMemorySave>(*this);
}
