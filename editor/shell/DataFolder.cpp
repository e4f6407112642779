#include "DataFolder.h"

#include <QFile>

#include <filesystem>

namespace fs = std::filesystem;

namespace DataFolder {

QString WithDelimiter(const QString& Path) {
    return Path.isEmpty() || Path.endsWith('/') ? Path : Path + '/';
}

std::string LocalPath(const QString& Path) {
    return QFile::encodeName(Path).toStdString();
}

bool Exists(const QString& Path) {
    std::error_code Ec;
    return !Path.isEmpty() && fs::is_directory(LocalPath(Path), Ec);
}

bool IsReadOnly(const QString& File) {
    std::error_code Ec;
    const fs::file_status Status = fs::status(LocalPath(File), Ec);
    if (Ec || !fs::exists(Status))
        return true;
    constexpr fs::perms AnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (Status.permissions() & AnyWrite) == fs::perms::none;
}

void ClearReadOnly(const QString& File) {
    std::error_code Ec;
    if (fs::exists(LocalPath(File), Ec))
        fs::permissions(LocalPath(File), fs::perms::owner_write, fs::perm_options::add, Ec);
}

void SetReadOnly(const QString& File) {
    std::error_code Ec;
    if (fs::exists(LocalPath(File), Ec))
        fs::permissions(LocalPath(File), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove, Ec);
}

} // namespace DataFolder
