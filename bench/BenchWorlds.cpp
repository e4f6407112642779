#include "BenchWorlds.h"

#include "PyxDatabase.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace bench {

const std::vector<int>& WorldSizes() {
    static const std::vector<int> Sizes = {PYX_BENCH_SIZES};
    return Sizes;
}

std::string WorldDir(int People) {
    return std::string(PYX_BENCH_WORLDS) + "/people" + std::to_string(People) + "/";
}

std::string OutDir(int People, const std::string& Kind) {
    const fs::path Dir = fs::path(PYX_BENCH_OUT) / (Kind + std::to_string(People));
    fs::create_directories(Dir);
    return Dir.string() + "/";
}

std::vector<TDataFile> DataFiles(const std::string& Dir) {
    std::vector<TDataFile> Files;
    for (const auto& Entry : fs::directory_iterator(Dir))
        if (Entry.is_regular_file() && Entry.path().extension() == ".dat")
            Files.push_back({Entry.path().filename().string(), Entry.file_size()});
    std::sort(Files.begin(), Files.end(), [](const TDataFile& A, const TDataFile& B) { return A.Name < B.Name; });
    return Files;
}

uint64_t TotalSize(const std::vector<TDataFile>& Files) {
    uint64_t Total = 0;
    for (const auto& File : Files)
        Total += File.Size;
    return Total;
}

TResident ResidentMemory() {
    TResident Result;
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line)) {
        unsigned long long KiB = 0;
        if (std::sscanf(Line.c_str(), "VmHWM: %llu kB", &KiB) == 1)
            Result.Peak = KiB * 1024;
        else if (std::sscanf(Line.c_str(), "VmRSS: %llu kB", &KiB) == 1)
            Result.Current = KiB * 1024;
    }
    return Result;
}

TResident ResidentAfterLoad(int People) {
    std::array<int, 2> Pipe{};
    if (::pipe(Pipe.data()) != 0)
        throw std::runtime_error("cannot create a pipe for the memory probe");
    const pid_t Child = ::fork();
    if (Child < 0)
        throw std::runtime_error("cannot fork the memory probe");
    if (Child == 0) {
        ::close(Pipe[0]);
        TResident Resident;
        try {
            const auto Start = std::chrono::steady_clock::now();
            TPyxDatabase Db;
            Db.Load(WorldDir(People));
            const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
            Resident = ResidentMemory();
            Resident.LoadSeconds = Took.count();
        } catch (...) {
            ::_exit(1);
        }
        const bool Written = ::write(Pipe[1], &Resident, sizeof Resident) == static_cast<ssize_t>(sizeof Resident);
        // The database is not destroyed: the probe is over, and freeing 300,000 persons would only cost time.
        ::_exit(Written ? 0 : 1);
    }
    ::close(Pipe[1]);
    TResident Resident;
    const bool Read = ::read(Pipe[0], &Resident, sizeof Resident) == static_cast<ssize_t>(sizeof Resident);
    ::close(Pipe[0]);
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    if (!Read || !WIFEXITED(Status) || WEXITSTATUS(Status) != 0)
        throw std::runtime_error("the memory probe could not load " + WorldDir(People));
    return Resident;
}

} // namespace bench
