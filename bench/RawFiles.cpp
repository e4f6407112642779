#include "RawFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {

namespace {

[[noreturn]] void Fail(const std::string& What, const std::string& Path) {
    throw std::runtime_error(What + " " + Path + ": " + std::strerror(errno));
}

class TFd final {
public:
    TFd(const std::string& Path, int Flags) : Path_(Path), Fd_(::open(Path.c_str(), Flags | O_CLOEXEC, 0644)) {
        if (Fd_ < 0)
            Fail("cannot open", Path);
    }
    ~TFd() {
        if (Fd_ >= 0)
            ::close(Fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return Fd_; }
    const std::string& Path() const { return Path_; }

private:
    std::string Path_;
    int Fd_;
};

} // namespace

uint64_t RawRead(const std::string& Dir, const std::vector<TDataFile>& Files) {
    uint64_t Sum = 0;
    for (const auto& File : Files) {
        TFd Fd(Dir + File.Name, O_RDONLY);
        struct stat St {};
        if (::fstat(Fd.Get(), &St) != 0)
            Fail("cannot stat", Fd.Path());
        std::vector<uint8_t> Bytes(static_cast<std::size_t>(St.st_size));
        std::size_t Done = 0;
        while (Done < Bytes.size()) {
            const ssize_t N = ::read(Fd.Get(), Bytes.data() + Done, Bytes.size() - Done);
            if (N < 0 && errno == EINTR)
                continue;
            if (N <= 0)
                Fail("cannot read", Fd.Path());
            Done += static_cast<std::size_t>(N);
        }
        for (uint8_t Byte : Bytes)
            Sum += Byte;
    }
    return Sum;
}

void RawWrite(const std::string& Dir, const std::vector<TDataFile>& Files, bool Durable) {
    static const std::vector<uint8_t> Buffer = [] {
        std::vector<uint8_t> Bytes(0x10000);
        for (std::size_t I = 0; I < Bytes.size(); ++I)
            Bytes[I] = static_cast<uint8_t>(I * 131 + 7);
        return Bytes;
    }();
    for (const auto& File : Files) {
        const std::string Target = Dir + File.Name;
        const std::string Path = Durable ? Dir + "." + File.Name + ".tmp" : Target;
        {
            TFd Fd(Path, O_WRONLY | O_CREAT | O_TRUNC);
            for (uint64_t Left = File.Size; Left > 0;) {
                const auto Chunk = static_cast<std::size_t>(std::min<uint64_t>(Left, Buffer.size()));
                const ssize_t N = ::write(Fd.Get(), Buffer.data(), Chunk);
                if (N < 0 && errno == EINTR)
                    continue;
                if (N <= 0)
                    Fail("cannot write", Path);
                Left -= static_cast<uint64_t>(N);
            }
            if (Durable && ::fsync(Fd.Get()) != 0)
                Fail("cannot sync", Path);
        }
        if (Durable && std::rename(Path.c_str(), Target.c_str()) != 0)
            Fail("cannot rename", Path);
    }
    if (Durable) {
        TFd Folder(Dir, O_RDONLY | O_DIRECTORY);
        ::fsync(Folder.Get());
    }
}

} // namespace bench
