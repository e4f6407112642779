#include "KroFileRead.h"

#include "KroFileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

template <typename TContent> TKroFileRead ReadInto(const char* Path, TContent& Content, std::size_t Limit) {
    Content.clear();
    const TKroFileHandle File(Path == nullptr ? -1 : open(Path, O_RDONLY | O_CLOEXEC));
    if (!File.IsOpen())
        return TKroFileRead::CannotOpen;
    char Block[4096];
    for (;;) {
        const std::ptrdiff_t Count = KroReadFull(File.Get(), Block, sizeof Block);
        if (Count < 0)
            return TKroFileRead::CannotRead;
        if (Count == 0)
            return TKroFileRead::Read;
        const auto Got = static_cast<std::size_t>(Count);
        if (Got > Limit - Content.size()) {
            Content.insert(Content.end(), Block, Block + (Limit - Content.size()));
            return TKroFileRead::TooLarge;
        }
        Content.insert(Content.end(), Block, Block + Got);
    }
}

} // namespace

std::ptrdiff_t KroReadFull(int Handle, void* Buffer, std::size_t Size) noexcept {
    auto* Out = static_cast<char*>(Buffer);
    std::size_t Done = 0;
    while (Done < Size) {
        const ssize_t Count = read(Handle, Out + Done, Size - Done);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count < 0)
            return -1;
        if (Count == 0)
            break;
        Done += static_cast<std::size_t>(Count);
    }
    return static_cast<std::ptrdiff_t>(Done);
}

TKroFileRead KroReadFile(const char* Path, std::string& Content, std::size_t Limit) {
    return ReadInto(Path, Content, Limit);
}

TKroFileRead KroReadFile(const char* Path, std::vector<std::uint8_t>& Content, std::size_t Limit) {
    return ReadInto(Path, Content, Limit);
}

std::string KroProgramPath() {
    char Path[4096];
    const ssize_t Length = readlink("/proc/self/exe", Path, sizeof Path - 1);
    return Length > 0 ? std::string(Path, static_cast<std::size_t>(Length)) : std::string();
}

std::vector<std::string> KroCommandLine() {
    std::string Text;
    KroReadFile("/proc/self/cmdline", Text);
    std::vector<std::string> Arguments;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        const std::size_t End = Text.find('\0', Start);
        Arguments.push_back(Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
        if (End == std::string::npos)
            break;
        Start = End + 1;
    }
    return Arguments;
}

std::ptrdiff_t KroReadFileInto(const char* Path, char* Buffer, std::size_t Size) noexcept {
    if (Size == 0)
        return -1;
    Buffer[0] = '\0';
    const int File = open(Path, O_RDONLY | O_CLOEXEC);
    if (File < 0)
        return -1;
    const std::ptrdiff_t Count = KroReadFull(File, Buffer, Size - 1);
    close(File);
    if (Count < 0)
        return -1;
    Buffer[Count] = '\0';
    return Count;
}
