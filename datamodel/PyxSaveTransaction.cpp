#include "PyxSaveTransaction.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void DenyAccess(const std::string& Name) {
    throw EAccessDeniedError("Couldn't access " + Name + ".\r\nMake sure the file isn't write protected.");
}

mode_t CurrentUmask() {
    mode_t Mask = ::umask(0);
    ::umask(Mask);
    return Mask;
}

} // namespace

TPyxSaveTransaction::TPyxSaveTransaction(std::string Folder) : Folder_(std::move(Folder)) {}

TPyxSaveTransaction::~TPyxSaveTransaction() {
    if (Committed_)
        return;
    for (TFile& F : Files_) {
        F.Stream.reset(); // its destructor swallows write errors: the file is going anyway
        ::unlink(F.TempPath.c_str());
    }
}

TPyxFileStream& TPyxSaveTransaction::Create(const std::string& FileName) {
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
    std::string Template = Folder_ + "." + FileName + ".XXXXXX";
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
    int Dir = ::open(Folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        ::fsync(Dir);
        ::close(Dir);
    }
}
