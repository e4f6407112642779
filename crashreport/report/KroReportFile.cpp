#include "KroReportFile.h"

#include "KroFileHandle.h"
#include "KroReportFileName.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view ReportSeparator = "\r\n\r\n";
// The first label of every report's header: where a report begins.
constexpr std::string_view ReportStartLabel = "date/time";

bool WriteAll(int File, std::string_view Text, off_t Offset) noexcept {
    while (!Text.empty()) {
        const ssize_t Written = pwrite(File, Text.data(), Text.size(), Offset);
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written <= 0)
            return false;
        Text.remove_prefix(static_cast<std::size_t>(Written));
        Offset += Written;
    }
    return true;
}

// Where the part of the file to keep begins: the first report (a "date/time" line, or the newest report's start)
// from which the rest of the file is shorter than Keep. Reports are dropped whole; a label inside the newest report
// does not count, since its beginning is worth more than its end. Size when there is none.
std::size_t FirstKept(const char* Data, std::size_t Size, std::size_t NewestStart, std::size_t Keep) noexcept {
    for (const char* Hit = Data; Hit != nullptr;) {
        Hit = static_cast<const char*>(
            memmem(Hit, Size - static_cast<std::size_t>(Hit - Data), ReportStartLabel.data(), ReportStartLabel.size()));
        if (Hit == nullptr)
            break;
        const auto Offset = static_cast<std::size_t>(Hit - Data);
        if (Offset >= NewestStart)
            break;
        if (Size - Offset < Keep)
            return Offset;
        ++Hit;
    }
    return Size - NewestStart < Keep ? NewestStart : Size;
}

// Brings the file under its cap after a report was written from NewestStart on.
void TrimReportFile(int File, std::size_t Size, std::size_t NewestStart, std::size_t MaxSize) {
    const std::size_t Keep = MaxSize - MaxSize / 4;
    void* Mapping = mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_SHARED, File, 0);
    if (Mapping == MAP_FAILED)
        return;
    char* Data = static_cast<char*>(Mapping);
    std::size_t Start = FirstKept(Data, Size, NewestStart, Keep);
    std::size_t Length = Size - Start;
    bool Cut = false;
    if (Start == Size) {
        // The newest report alone reaches the limit: keep its beginning, up to a line end, and its separator.
        Start = NewestStart;
        Length = 0;
        if (Keep > ReportSeparator.size() + 1) {
            const std::size_t Room = Keep - ReportSeparator.size() - 1;
            const std::string_view Head(Data + Start, Room);
            const std::size_t LineEnd = Head.rfind("\r\n");
            Length = LineEnd == std::string_view::npos ? Room : LineEnd + 2;
            Cut = true;
        }
    }
    std::memmove(Data, Data + Start, Length);
    if (Cut) {
        std::memcpy(Data + Length, ReportSeparator.data(), ReportSeparator.size());
        Length += ReportSeparator.size();
    }
    munmap(Mapping, Size);
    while (ftruncate(File, static_cast<off_t>(Length)) != 0 && errno == EINTR) {
    }
}

// Opens (or makes) the report file. Not shared: a second save meanwhile (another crashing copy of the program) is
// refused.
TKroFileHandle OpenReportFile(const std::string& Path) {
    TKroFileHandle File(open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (File.IsOpen() && flock(File.Get(), LOCK_EX | LOCK_NB) != 0)
        File.Close();
    return File;
}

} // namespace

bool SaveBugReport(std::string_view Report, bool /*Automatic*/, const TExceptSettings& Settings) {
    const std::string Path = BugReportFilePath(Settings);
    if (Path.empty() || Path.back() == '/')
        return false;
    struct stat Status;
    const bool Existed = lstat(Path.c_str(), &Status) == 0;
    const TKroFileHandle File = OpenReportFile(Path);
    if (File.Get() < 0 || fstat(File.Get(), &Status) != 0 || !S_ISREG(Status.st_mode))
        return false;
    const auto OldSize = static_cast<std::size_t>(Status.st_size);
    const bool Overwrite = Settings.BugReportFileMaxSize <= 0;
    if (Overwrite && ftruncate(File.Get(), 0) != 0)
        return false;
    const std::size_t Start = Overwrite ? 0 : OldSize;
    if (!WriteAll(File.Get(), Report, static_cast<off_t>(Start)) ||
        !WriteAll(File.Get(), ReportSeparator, static_cast<off_t>(Start + Report.size()))) {
        // A full disk: take back the part that was written, so the file does not end in half a report.
        while (ftruncate(File.Get(), static_cast<off_t>(Start)) != 0 && errno == EINTR) {
        }
        if (!Existed)
            unlink(Path.c_str());
        return false;
    }
    const std::size_t Size = Start + Report.size() + ReportSeparator.size();
    if (!Overwrite && Size > static_cast<std::size_t>(Settings.BugReportFileMaxSize))
        TrimReportFile(File.Get(), Size, Start, static_cast<std::size_t>(Settings.BugReportFileMaxSize));
    return true;
}
