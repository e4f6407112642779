#include "PyxSaveTransaction.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void DenyAccess(const std::string& Name) {
    throw EAccessDeniedError("Couldn't access " + Name + ".\r\nMake sure the file isn't write protected.");
}

// Temporary files are named "." + the data file + TempInfix + six characters of mkstemp, beside the data file.
constexpr const char* TempInfix = ".pyxsave-";

// The commit journal of a save, and the file it is written to before it is renamed into place.
constexpr const char* JournalName = ".pyxsave-commit";
constexpr const char* JournalTempName = ".pyxsave-commit.new";

const char* const DataFiles[] = {"server_db.dat",     "people_db.dat",  "lang_db.dat",
                                 "pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"};

bool IsDataFileName(const std::string& Entry) {
    for (const char* Name : DataFiles)
        if (Entry == Name)
            return true;
    return false;
}

bool IsTemporaryName(const std::string& Entry) {
    if (Entry == JournalTempName)
        return true;
    for (const char* Name : DataFiles) {
        const std::string Prefix = std::string(".") + Name + TempInfix;
        if (Entry.size() == Prefix.size() + 6 && Entry.compare(0, Prefix.size(), Prefix) == 0)
            return true;
    }
    return false;
}

void SyncFolder(const std::string& Folder) {
    int Dir = ::open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        ::fsync(Dir);
        ::close(Dir);
    }
}

// Writes the journal's lines (temporary file, tab, data file) and moves it into place, synced: from then on the
// save is as good as done.
bool WriteJournal(const std::string& Folder, const std::string& Lines) {
    const std::string Temp = Folder + JournalTempName;
    int Fd = ::open(Temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (Fd < 0)
        return false;
    bool Ok = ::write(Fd, Lines.data(), Lines.size()) == static_cast<ssize_t>(Lines.size()) && ::fsync(Fd) == 0;
    Ok = ::close(Fd) == 0 && Ok;
    Ok = Ok && std::rename(Temp.c_str(), (Folder + JournalName).c_str()) == 0;
    if (!Ok)
        ::unlink(Temp.c_str());
    SyncFolder(Folder);
    return Ok;
}

// Renames every temporary file the journal lists that is still there over its data file, then drops the journal.
// Lines naming anything but a data file and one of its temporary files are ignored.
void RollForward(const std::string& Folder) {
    const std::string Journal = Folder + JournalName;
    FILE* F = std::fopen(Journal.c_str(), "r");
    if (!F)
        return;
    char Line[512];
    while (std::fgets(Line, sizeof Line, F)) {
        std::string Text(Line);
        if (!Text.empty() && Text.back() == '\n')
            Text.pop_back();
        const size_t Tab = Text.find('\t');
        if (Tab == std::string::npos)
            continue;
        const std::string Temp = Text.substr(0, Tab), Target = Text.substr(Tab + 1);
        if (!IsTemporaryName(Temp) || Temp == JournalTempName || !IsDataFileName(Target) ||
            Temp.compare(1, Target.size(), Target) != 0)
            continue;
        struct stat St {};
        if (::lstat((Folder + Temp).c_str(), &St) == 0 && S_ISREG(St.st_mode))
            std::rename((Folder + Temp).c_str(), (Folder + Target).c_str());
    }
    std::fclose(F);
    SyncFolder(Folder);
    ::unlink(Journal.c_str());
    SyncFolder(Folder);
}

mode_t CurrentUmask() {
    mode_t Mask = ::umask(0);
    ::umask(Mask);
    return Mask;
}

} // namespace

TPyxSaveTransaction::TPyxSaveTransaction(std::string Folder) : Folder_(std::move(Folder)) {}

TPyxSaveTransaction::~TPyxSaveTransaction() {
    if (!Committed_)
        for (TFile& F : Files_) {
            F.Stream.reset(); // its destructor swallows write errors: the file is going anyway
            if (!F.TempPath.empty())
                ::unlink(F.TempPath.c_str());
        }
    if (LockFd_ >= 0)
        ::close(LockFd_); // releases the folder's lock
}

void TPyxSaveTransaction::Begin(const std::string& FileName) {
    const std::string Dir = Folder_.empty() ? std::string(".") : Folder_;
    struct stat St {};
    // A folder without any write permission stands for a write-protected one, even for a user who could override it.
    if (::stat(Dir.c_str(), &St) != 0 || !S_ISDIR(St.st_mode) || (St.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        DenyAccess(FileName);
    LockFd_ = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (LockFd_ < 0)
        DenyAccess(FileName);
    if (::flock(LockFd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            throw EAccessDeniedError("Couldn't access " + FileName +
                                     ".\r\nAnother save into this folder is in progress.");
        // A file system without locks: save without them, but then another save's files may be live.
        ::close(LockFd_);
        LockFd_ = -1;
        return;
    }
    // A save killed among its renames is completed before anything else is done here, and what a save killed
    // earlier left is removed.
    RollForward(Folder_);
    RemoveStaleTemporaries();
}

void TPyxSaveTransaction::FinishInterruptedSave(const std::string& Folder) {
    struct stat St {};
    if (::stat((Folder + JournalName).c_str(), &St) != 0)
        return;
    int Fd = ::open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd < 0)
        return;
    // Only without a live save in the folder: its journal would be its own, and it finishes the renames itself.
    if (::flock(Fd, LOCK_EX | LOCK_NB) == 0)
        RollForward(Folder);
    ::close(Fd);
}

void TPyxSaveTransaction::RemoveStaleTemporaries() const {
    // The lock is ours, so no other save is writing here: temporary files present are left by a save that was
    // killed before it could remove them.
    const std::string Dir = Folder_.empty() ? std::string(".") : Folder_;
    DIR* D = ::opendir(Dir.c_str());
    if (!D)
        return;
    std::vector<std::string> Stale;
    while (const dirent* E = ::readdir(D))
        if (IsTemporaryName(E->d_name))
            Stale.push_back(E->d_name);
    ::closedir(D);
    for (const std::string& Name : Stale) {
        struct stat St {};
        const std::string Path = Folder_ + Name;
        if (::lstat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode))
            ::unlink(Path.c_str());
    }
}

TPyxFileStream& TPyxSaveTransaction::Create(const std::string& FileName) {
    if (Files_.empty() && LockFd_ < 0)
        Begin(FileName);
    const std::string Target = Folder_ + FileName;
    mode_t Mode = 0666 & ~CurrentUmask();
    struct stat St {};
    if (::stat(Target.c_str(), &St) == 0) {
        // A file without write permission stands for a write-protected one, even for a user who could override it.
        if (!S_ISREG(St.st_mode) || (St.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(Target.c_str(), W_OK) != 0)
            DenyAccess(FileName);
        Mode = St.st_mode & 07777;
    }
    std::string Template = Folder_ + "." + FileName + TempInfix + "XXXXXX";
    int Fd = ::mkstemp(Template.data());
    if (Fd < 0)
        DenyAccess(FileName);
    ::fchmod(Fd, Mode);
    ::close(Fd);
    TFile F{FileName, Template, nullptr};
    try {
        F.Stream = TPyxFileStream::Create(Template);
    } catch (const EFileStreamError&) {
        ::unlink(Template.c_str());
        DenyAccess(FileName);
    }
    Files_.push_back(std::move(F));
    return *Files_.back().Stream;
}

std::string TPyxSaveTransaction::TargetOf(const std::string& Path) const {
    for (const TFile& F : Files_)
        if (F.TempPath == Path)
            return F.Name;
    return Path;
}

void TPyxSaveTransaction::Commit() {
    if (Files_.empty())
        return;
    for (TFile& F : Files_) {
        try {
            F.Stream->Flush(true);
            F.Stream->Close();
        } catch (const EFileStreamError& E) {
            throw EAccessDeniedError("Couldn't write " + F.Name + ".\r\n" + E.what());
        }
    }
    // Every file is whole on disk. The journal makes the replacement all or nothing: without it no file is
    // replaced, and the save fails with the folder as it was.
    std::string Lines;
    for (const TFile& F : Files_)
        Lines += F.TempPath.substr(Folder_.size()) + '\t' + F.Name + '\n';
    if (!WriteJournal(Folder_, Lines))
        throw EAccessDeniedError("Couldn't write " + Files_.front().Name +
                                 ".\r\nThe save could not record which files it replaces, so it replaced none.");
    for (size_t I = 0; I < Files_.size(); ++I) {
        if (std::rename(Files_[I].TempPath.c_str(), (Folder_ + Files_[I].Name).c_str()) != 0) {
            if (I == 0) {
                // Nothing was replaced: drop the journal, and the temporary files go with this save.
                ::unlink((Folder_ + JournalName).c_str());
            } else {
                // Some files are new already. The journal and the files still to be renamed stay, so the next
                // load or save of the folder completes the set instead of reading a mix of two saves.
                for (size_t J = I; J < Files_.size(); ++J)
                    Files_[J].TempPath.clear();
            }
            SyncFolder(Folder_);
            DenyAccess(Files_[I].Name);
        }
        Files_[I].TempPath.clear();
    }
    Committed_ = true;
    SyncFolder(Folder_);
    ::unlink((Folder_ + JournalName).c_str());
    SyncFolder(Folder_);
}
