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

bool IsTemporaryName(const std::string& Entry) {
    static const char* const DataFiles[] = {"server_db.dat",     "people_db.dat",  "lang_db.dat",
                                            "pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"};
    for (const char* Name : DataFiles) {
        const std::string Prefix = std::string(".") + Name + TempInfix;
        if (Entry.size() == Prefix.size() + 6 && Entry.compare(0, Prefix.size(), Prefix) == 0)
            return true;
    }
    return false;
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
    RemoveStaleTemporaries();
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
    for (TFile& F : Files_) {
        try {
            F.Stream->Flush(true);
            F.Stream->Close();
        } catch (const EFileStreamError& E) {
            throw EAccessDeniedError("Couldn't write " + F.Name + ".\r\n" + E.what());
        }
    }
    // Every file is whole on disk; only now are the originals replaced.
    for (TFile& F : Files_) {
        if (std::rename(F.TempPath.c_str(), (Folder_ + F.Name).c_str()) != 0)
            DenyAccess(F.Name);
        F.TempPath.clear();
    }
    Committed_ = true;
    int Dir = ::open(Folder_.empty() ? "." : Folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        ::fsync(Dir);
        ::close(Dir);
    }
}
