#include "KroExceptHooks.h"

#include "KroAntiFreeze.h"
#include "KroBoxActionOwner.h"
#include "KroBugReport.h"
#include "KroClipboard.h"
#include "KroEndProcess.h"
#include "KroExceptBox.h"
#include "KroExceptHandlers.h"
#include "KroExceptHistory.h"
#include "KroExceptSettings.h"
#include "KroExceptThread.h"
#include "KroFaultSignals.h"
#include "KroLinkDisAsm.h"
#include "KroProgressPopup.h"
#include "KroReportException.h"
#include "KroReportFile.h"
#include "KroReportHeader.h"
#include "KroReportHeap.h"
#include "KroRestartApplication.h"
#include "KroRestartHandOver.h"
#include "KroThreadContext.h"
#include "KroThreadHook.h"
#include "KroThreadRegistry.h"

#include <atomic>
#include <exception>
#include <link.h>
#include <unistd.h>

namespace {

std::atomic<int> InitCount{0};
std::terminate_handler PreviousTerminate = nullptr;
bool HooksInstalled = false;

[[noreturn]] void OnTerminate() {
    ReportTermination();
}

// Where the program is loaded: what the settings' address offsets are counted from.
std::uintptr_t ProgramLoadAddress() {
    std::uintptr_t Address = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* Info, std::size_t, void* Data) {
            *static_cast<std::uintptr_t*>(Data) = Info->dlpi_addr;
            return 1; // the program comes first
        },
        &Address);
    return Address;
}

// What the exception box calls of the rest of the reporter.
void FillBoxServices() {
    TExceptBoxServices& S = ExceptBoxServices;
    S.FireActionHandlers = [](const TExceptBoxRequest& Request, std::int32_t Action) {
        bool Handled = false;
        bool CanContinue = Request.CanContinue;
        std::string Report(Request.Report);
        FireHandlers(THandlerKind::Action, Request.Frozen, Request.Object, Handled, Action, CanContinue, Report,
                     Request.Address);
        return Handled;
    };
    S.AutoActionDue = [](std::int32_t Rule) { return AutoActionDue(Rule); };
    S.SendBugReport = [](std::string_view Report, TKroXWindow* Owner, bool Silent) {
        return SendBugReport(Report, Owner, Silent);
    };
    S.SaveBugReport = [](std::string_view Report, TKroXWindow*) { return SaveBugReport(Report, false); };
    S.RestartApplication = &RestartApplication;
    S.CloseApplication = &CloseApplication;
    S.PostFrozenProbe = &PostFrozenBoxProbe;
}

void InternalError() {
    static const char Text[] = "KroExcept: internal error (the thread registry cannot be created)\n";
    [[maybe_unused]] const ssize_t Written = write(STDERR_FILENO, Text, sizeof Text - 1);
    _exit(ExitCodeInternalError);
}

} // namespace

void InitExceptionLibrary(bool IsProgram) {
    if (InitCount.fetch_add(1) != 0)
        return;
    // A trace that takes long shows its progress in the box's progress bar.
    SetProgressPopupFactory(&MakeProgressBarPopup);
    if (!ExceptSettings.SmtpPassword.Empty())
        DecipherSmtpPassword(ExceptSettings);
    ConvertSettingsAddresses(ExceptSettings, ProgramLoadAddress());
    // A process started by a restart after a report goes on only once the old one has ended, with its history.
    TakeOverRestartHistory();
    // What processes of this user that were killed (or restarted into a process that never came) left behind.
    RemoveStaleRestartHandOvers();
    RemoveStaleThreadRegistries();
    const bool Hooks = ExceptSettings.Enabled && ExceptSettings.InstallHooks;
    if (Hooks || ExceptSettings.FreezeTimeout > 0)
        if (!OpenThreadRegistry())
            InternalError();
    if (!Hooks && !ExceptSettings.Enabled)
        return;
    GatherReportHeaderFacts();
    ReserveReportHeap();
    InstallThreadPauseHandler();
    KroLinkDisAsm();
    SetProcessEndHook(&UnlinkThreadRegistry);
    FillBoxServices();
    // The firing callback lives on the main thread's handler window, which the watchdog asks too.
    StartHandlerWindow();
    StartExceptionThread(&HandleExceptionRequest);
    StartAntiFreeze([] { ReportException(true, TExceptObject{}, 0, 0, true); });
    if (Hooks) {
        InstallFaultHandlers(&ReportFault);
        InstallThreadAltStack();
        PreviousTerminate = std::set_terminate(&OnTerminate);
        HooksInstalled = true;
    }
    if (ExceptSettings.Enabled && IsProgram)
        EnableThreadHook(true);
}

void FinalizeExceptionLibrary() {
    if (InitCount.load() == 0 || InitCount.fetch_sub(1) != 1)
        return;
    EnableThreadHook(false);
    StopAntiFreeze();
    StopExceptionThread();
    StopHandlerWindow();
    ExceptBoxServices = TExceptBoxServices{};
    SetProgressPopupFactory(nullptr);
    if (HooksInstalled) {
        std::set_terminate(PreviousTerminate);
        RemoveFaultHandlers();
        RemoveThreadAltStack();
        HooksInstalled = false;
    }
    SetProcessEndHook(nullptr);
    KroUnlinkDisAsm();
    CloseThreadRegistry();
}

bool ExceptionLibraryInitialized() noexcept {
    return InitCount.load() > 0;
}

__attribute__((noinline)) std::string TraceProcessReport() {
    TBugReportRequest Compose;
    Compose.Frozen = true;
    // The caller's trace starts at its call: its return address, its stack pointer after the return and its frame
    // pointer (which this function's frame saved).
    Compose.Frame = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) + 16;
    Compose.ExceptAddr = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    Compose.FramePointer = *static_cast<const std::uintptr_t*>(__builtin_frame_address(0));
    // The caller is left out of its own trace; the main thread, never.
    Compose.HiddenThread = CurrentThreadId();
    return ComposeReport(Compose);
}

void TraceProcessToClipboard() {
    const std::string Report = TraceProcessReport();
    CopyToClipboard(Report);
}
