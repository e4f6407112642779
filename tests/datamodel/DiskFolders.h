#pragma once

// Helpers for the tests of data folders on disk: a private temporary folder, the files of a folder as bytes, and
// running a piece of a test in a child process without root's privileges, so that file permissions apply.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace disk {

namespace fs = std::filesystem;

// A fresh folder of its own under the temporary directory, named after the running test and Tag, readable by
// everyone (so that an unprivileged child can read it), removed with the object.
class TTempDir {
public:
    explicit TTempDir(const std::string& Tag = "dir") {
        static int Counter = 0;
        const auto* Info = testing::UnitTest::GetInstance()->current_test_info();
        std::string Name = Info ? std::string(Info->test_suite_name()) + "_" + Info->name() : "test";
        std::replace(Name.begin(), Name.end(), '/', '_');
        Path = fs::temp_directory_path() /
               ("pyx_" + Name + "_" + Tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(++Counter));
        fs::remove_all(Path);
        fs::create_directories(Path);
        fs::permissions(Path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    ~TTempDir() {
        std::error_code Ignored;
        // Restore write permission first, to the folder and its entries, so that what a test protected can be removed.
        fs::permissions(Path, fs::perms::owner_all, fs::perm_options::add, Ignored);
        for (const auto& Entry : fs::directory_iterator(Path, Ignored))
            if (!Entry.is_symlink(Ignored))
                fs::permissions(Entry.path(), fs::perms::owner_all, fs::perm_options::add, Ignored);
        fs::remove_all(Path, Ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    // The folder as the database takes it, with a trailing delimiter.
    std::string Str() const { return Path.string() + "/"; }
    std::string File(const std::string& Name) const { return (Path / Name).string(); }
    bool Has(const std::string& Name) const { return fs::exists(Path / Name); }

    fs::path Path;
};

// Every regular file of a folder, by name, with its bytes.
inline std::map<std::string, std::vector<uint8_t>> Snapshot(const fs::path& Dir) {
    std::map<std::string, std::vector<uint8_t>> Out;
    for (const auto& E : fs::directory_iterator(Dir)) {
        if (!E.is_regular_file())
            continue;
        std::FILE* F = std::fopen(E.path().c_str(), "rb");
        if (!F)
            throw std::runtime_error("cannot read " + E.path().string());
        std::vector<uint8_t> Bytes(static_cast<size_t>(E.file_size()));
        const size_t Got = Bytes.empty() ? 0 : std::fread(Bytes.data(), 1, Bytes.size(), F);
        std::fclose(F);
        Bytes.resize(Got);
        Out[E.path().filename().string()] = std::move(Bytes);
    }
    return Out;
}

// Names of the entries of a folder that start with a dot (a save's temporary files are hidden that way).
inline std::vector<std::string> HiddenEntries(const fs::path& Dir) {
    std::vector<std::string> Out;
    for (const auto& E : fs::directory_iterator(Dir))
        if (E.path().filename().string()[0] == '.')
            Out.push_back(E.path().filename().string());
    return Out;
}

inline bool IsRoot() {
    return ::geteuid() == 0;
}

// Runs Fn in a child process and returns what it returned. As root the child first becomes the unprivileged user
// nobody, so that read and write permissions are enforced; otherwise it runs as the current user.
inline std::string RunUnprivileged(const std::function<std::string()>& Fn) {
    int Pipe[2];
    if (::pipe(Pipe) != 0)
        throw std::runtime_error("pipe");
    const pid_t Child = ::fork();
    if (Child == 0) {
        ::close(Pipe[0]);
        std::string Result;
        if (IsRoot() && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            Result = "cannot drop privileges";
        else
            Result = Fn();
        const char* P = Result.data();
        size_t Left = Result.size();
        while (Left > 0) {
            const ssize_t N = ::write(Pipe[1], P, Left);
            if (N <= 0)
                break;
            P += N;
            Left -= static_cast<size_t>(N);
        }
        ::_exit(0);
    }
    ::close(Pipe[1]);
    std::string Result;
    char Buffer[4096];
    ssize_t N;
    while ((N = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0)
        Result.append(Buffer, static_cast<size_t>(N));
    ::close(Pipe[0]);
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0)
        return "the child process failed";
    return Result;
}

} // namespace disk
