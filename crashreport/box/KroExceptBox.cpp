#include "KroExceptBox.h"

#include "KroClipboard.h"
#include "KroConsoleOutput.h"
#include "KroExceptionBox.h"
#include "KroStrings.h"
#include "KroXDisplay.h"

#include <atomic>
#include <string>

TExceptBoxServices ExceptBoxServices;

namespace {

// How long a clipboard manager may take to copy the report before the box's connection closes.
constexpr int HandOverTimeoutMs = 3000;

std::atomic<TExceptionBox*> ActiveBox{nullptr};
std::atomic<std::uintptr_t> ActiveBoxId{0};

// Without a display: the box's text as one line, and the report after an empty line when the box would carry it.
void WriteConsoleTexts(const TExceptSettings& Settings, const TExceptBoxRequest& Request) {
    std::string Text(Request.Frozen ? Settings.FrozenText.View() : Settings.ErrorText.View());
    ReplaceSubText(Text, "%exceptMsg%", Request.Message, true, false);
    Text += '\n';
    if (Settings.ShowReportAtOnce || !Settings.ButtonCaptions[eaShowBugReport].Empty()) {
        Text += '\n';
        Text += Request.Report;
        if (!Request.Report.empty() && Request.Report.back() != '\n')
            Text += '\n';
    }
    WriteConsoleText(Text);
}

} // namespace

std::int32_t RunExceptionBox(TExceptSettings& Settings, const TExceptBoxRequest& Request,
                             const TExceptBoxServices& Services) {
    TKroXDisplay Display;
    if (!Display.Ok()) {
        // No display to show a box on: the program runs in a console, or its display is gone.
        if (Settings.ConsoleOutput)
            WriteConsoleTexts(Settings, Request);
        return ExceptBoxNotShown;
    }
    std::int32_t Result;
    {
        TExceptionBox Box(Display, Settings, Request, Services);
        ActiveBoxId.store(static_cast<std::uintptr_t>(Box.Handle()));
        ActiveBox.store(&Box);
        Result = Box.Run();
        ActiveBox.store(nullptr);
        ActiveBoxId.store(0);
    }
    if (Display.Broken()) {
        // The display went away before the box was done: its texts go where they go without a display, so that
        // nothing of the report is lost.
        SetActiveClipboard(nullptr);
        if (Settings.ConsoleOutput)
            WriteConsoleTexts(Settings, Request);
        return Result;
    }
    // The report stays on the clipboard after the box only with a clipboard manager to keep it.
    DisplayClipboard(Display).HandOver(HandOverTimeoutMs);
    SetActiveClipboard(nullptr);
    return Result;
}

std::int32_t ShowExceptionBox(bool Frozen, const TExceptObject& ExceptObject, std::uintptr_t ExceptAddr,
                              bool CanContinue, std::string_view Report) {
    const std::string Message = ExceptMessageText(ExceptObject);
    TExceptBoxRequest Request;
    Request.Frozen = Frozen;
    Request.Object = ExceptObject;
    Request.Address = ExceptAddr;
    Request.CanContinue = CanContinue;
    Request.Message = Message;
    Request.Report = Report;
    const TExceptBoxServices Services = ExceptBoxServices;
    const std::int32_t Result = RunExceptionBox(ExceptSettings, Request, Services);
    if (Result == eaRestartApplication && Services.RestartApplication != nullptr)
        Services.RestartApplication();
    if (Result == eaCloseApplication && Services.CloseApplication != nullptr)
        Services.CloseApplication();
    return Result;
}

void CloseExceptionBox(std::uintptr_t BoxId) noexcept {
    if (BoxId == 0 || ActiveBoxId.load() != BoxId)
        return;
    if (TExceptionBox* Box = ActiveBox.load())
        Box->RequestClose();
}
