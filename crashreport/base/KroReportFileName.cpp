#include "KroReportFileName.h"

#include "KroFileRead.h"
#include "KroStrings.h"

namespace {

// The program's file, also when it was replaced since it started.
std::string ProgramPath() {
    std::string Text = KroProgramPath();
    constexpr std::string_view Deleted = " (deleted)";
    if (Text.size() > Deleted.size() && Text.compare(Text.size() - Deleted.size(), Deleted.size(), Deleted) == 0)
        Text.resize(Text.size() - Deleted.size());
    return Text;
}

} // namespace

std::string ApplicationName() {
    std::string Name = ProgramPath();
    Name.erase(0, Name.rfind('/') + 1);
    const std::size_t Dot = Name.rfind('.');
    if (Dot != std::string::npos && Dot > 0)
        Name.resize(Dot);
    return Name;
}

std::string ExpandAppName(std::string_view Text) {
    std::string Result(Text);
    ReplaceSubText(Result, "%appname%", ApplicationName(), true, false);
    return Result;
}

std::string GetBugReportFileName(const TExceptSettings& Settings) {
    return ExpandAppName(Settings.BugReportFile.View());
}

std::string BugReportFilePath(const TExceptSettings& Settings) {
    const std::string Name = GetBugReportFileName(Settings);
    if (Name.empty() || Name.front() == '/')
        return Name;
    std::string Folder = ProgramPath();
    Folder.resize(Folder.rfind('/') + 1);
    return Folder + Name;
}
