#include "KroReportException.h"

#include "KroAntiFreeze.h"
#include "KroBugReport.h"
#include "KroEndProcess.h"
#include "KroExceptBox.h"
#include "KroExceptHandlers.h"
#include "KroExceptHistory.h"
#include "KroExceptSettings.h"
#include "KroExceptThread.h"
#include "KroException.h"
#include "KroFaultSignals.h"
#include "KroModuleMap.h"
#include "KroPausedThreads.h"
#include "KroReportFile.h"
#include "KroReportHeap.h"
#include "KroRestartApplication.h"
#include "KroSafeRead.h"
#include "KroSendBugReport.h"
#include "KroStrings.h"
#include "KroThreadContext.h"
#include "KroThreadRegistry.h"
#include "KroThrowSite.h"

#include <atomic>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

std::mutex ReportLock;
std::atomic<pid_t> ReportOwner{0};

// A report of the program's action handlers for one action; true when one of them took it over.
bool FireActionHandlers(const TExceptionRequest& Request, const std::string& Report, std::int32_t Action) {
    bool Handled = false;
    bool CanContinue = Request.CanContinue;
    std::string Text = Report;
    FireHandlers(THandlerKind::Action, Request.Frozen, Request.Object, Handled, Action, CanContinue, Text,
                 Request.ExceptAddr);
    return Handled;
}

void HandleRequestSteps(TExceptionRequest& Request, TPausedThreads& Paused) {
    if (!Request.Frozen && ExceptSettings.PauseThreads)
        Paused.PauseAll();
    // The exception class the runtime uses to end an operation silently produces nothing at all, not even a place
    // in the history; a class derived from it is reported.
    if (!Request.Object.Empty() && ExceptClassText(Request.Object) == "EAbort")
        return;
    RecordExceptionTime();
    // A program that ends now because of this report tells its shell that it failed; one that only seemed frozen
    // has not.
    SetReportFailureCode(Request.Frozen ? 0 : Request.FailureCode);

    std::string Report;
    std::string SkipClasses(ExceptSettings.SkipClasses);
    NormalizeList(SkipClasses, ',');
    if (Request.Object.Empty() || SkipClasses.empty() ||
        !ListContains(SkipClasses, ExceptClassText(Request.Object), ',')) {
        TBugReportRequest Compose;
        Compose.Frozen = Request.Frozen;
        Compose.Object = Request.Object;
        Compose.ExceptAddr = Request.ExceptAddr;
        Compose.Frame = Request.Frame;
        Compose.FramePointer = Request.FramePointer;
        Compose.StackPointer = Request.StackPointer;
        Compose.ThrowPath = Request.ThrowPath;
        Compose.ThreadId = Request.ThreadId;
        Compose.OsException = Request.OsException;
        Compose.FaultSite = Request.FaultSite;
        Compose.HiddenThread = Request.HiddenThread;
        Compose.Paused = &Paused;
        CreateBugReport(Compose, Report);
    }

    bool Handled = false;
    const bool CouldContinue = Request.CanContinue;
    FireHandlers(THandlerKind::Exception, Request.Frozen, Request.Object, Handled, 0, Request.CanContinue, Report,
                 Request.ExceptAddr);
    if (!CouldContinue)
        Handled = Request.CanContinue = false;
    if (Handled)
        return;
    // Without a box and without an AutoClose rule nothing else ends a series of restarts of a program that fails at
    // every start: the restart limit does, and the report (decided on before it goes anywhere) says so.
    const bool RestartRefused = !ExceptSettings.ShowExceptBox && ExceptSettings.AutoClose == 0 &&
                                (AutoActionDue(ExceptSettings.AutoRestart) || !Request.CanContinue) &&
                                RestartLimitReached();
    if (RestartRefused)
        Report += "\r\n\r\n" + RestartRefusedText();
    if (ExceptSettings.AutoSave && !FireActionHandlers(Request, Report, eaSaveBugReport))
        SaveBugReport(Report, true);
    if (ExceptSettings.AutoMail && !FireActionHandlers(Request, Report, eaMailBugReport))
        SendBugReport(Report, nullptr, true, ExceptSettings, TMailSystem{});
    if (ExceptSettings.ShowExceptBox) {
        const std::int32_t Action =
            ShowExceptionBox(Request.Frozen, Request.Object, Request.ExceptAddr, Request.CanContinue, Report);
        // Restart and close end the process through the report actions; should they not, it ends here all the same.
        if (Action == eaCloseApplication)
            EndProcess(ReportFailureCode());
        if (Action == eaRestartApplication)
            EndProcess(0);
    } else if (RestartRefused || AutoActionDue(ExceptSettings.AutoClose)) {
        FireActionHandlers(Request, Report, eaCloseApplication);
        CloseApplication();
    } else if (AutoActionDue(ExceptSettings.AutoRestart) || !Request.CanContinue) {
        FireActionHandlers(Request, Report, eaRestartApplication);
        RestartApplication();
    } else
        FireActionHandlers(Request, Report, eaContinueApplication);
}

// A stack that overflowed has its stack pointer in the guard below it: the trace starts where the stack can be read.
std::uintptr_t FirstReadableAbove(const TModuleMap& Map, std::uintptr_t Stack) {
    const TMemoryRegion* Region = Map.FindRegion(Stack);
    if (Region != nullptr && Region->Readable)
        return Stack;
    for (std::size_t I = 0; I < Map.RegionCount(); ++I) {
        const TMemoryRegion& Next = Map.Region(I);
        if (Next.Start > Stack && Next.Readable)
            return Next.Start;
    }
    return Stack;
}

// The caller's stack position: above this function's frame pointer and return address.
#define KRO_CALLER_STACK (reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) + 16)

} // namespace

void HandleExceptionRequest(TExceptionRequest& Request) {
    std::lock_guard<std::mutex> Lock(ReportLock);
    ReportOwner.store(CurrentThreadId());
    {
        // Both live outside the guarded steps, so that a fault inside them still resumes the threads and ends the
        // heap's scope.
        TReportHeapScope Heap;
        TPausedThreads Paused;
        SetReportPausedThreads(&Paused);
        struct TJob {
            TExceptionRequest* Request;
            TPausedThreads* Paused;
        } Job{&Request, &Paused};
        // A fault of the reporter itself outside the composing (which guards itself) must not take the process
        // into a second report.
        RunFaultGuarded(
            [](void* Context) {
                TJob& J = *static_cast<TJob*>(Context);
                HandleRequestSteps(*J.Request, *J.Paused);
            },
            &Job);
        ResetAntiFreezeCount();
        SetReportFailureCode(0);
        SetReportPausedThreads(nullptr);
        Paused.ResumeAll();
    }
    ReportOwner.store(0);
}

bool ReportException(TExceptionRequest Request) {
    const pid_t Self = CurrentThreadId();
    if (ReportOwner.load() == Self)
        return false;
    Request.ThreadId = Self;
    PauseAntiFreeze(true);
    // The exception thread makes the report; without it (or from it) the report is made here.
    if (!DispatchExceptionRequest(Request))
        HandleExceptionRequest(Request);
    PauseAntiFreeze(false);
    return Request.CanContinue;
}

__attribute__((noinline)) bool ReportException(bool Frozen, const TExceptObject& Object, std::uintptr_t ExceptAddr,
                                               std::uintptr_t Frame, bool CanContinue) {
    TExceptionRequest Request;
    Request.Frozen = Frozen;
    Request.Object = Object;
    Request.ExceptAddr = ExceptAddr;
    Request.Frame = Frame != 0 ? Frame : KRO_CALLER_STACK;
    Request.CanContinue = CanContinue;
    if (Request.Object.Empty() || Request.ExceptAddr == 0) {
        TExceptObject Current;
        std::uintptr_t Address = 0, Stack = 0;
        if (CurrentException(Current, Address, Stack)) {
            if (Request.Object.Empty())
                Request.Object = Current;
            if (Request.ExceptAddr == 0)
                Request.ExceptAddr = Address;
        }
    }
    if (Request.ExceptAddr == 0)
        Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    return ReportException(Request);
}

__attribute__((noinline)) bool ReportCurrentException(bool CanContinue) {
    TExceptionRequest Request;
    Request.CanContinue = CanContinue;
    std::uintptr_t Stack = 0;
    // The thrower's frames are gone once a handler caught the exception: the trace lists them as the throw
    // recorded them, and without a record starts here, with the throw as its first line.
    TRecordedPath Path;
    if (CurrentException(Request.Object, Request.ExceptAddr, Stack, &Path) && Path.Count > 0)
        Request.ThrowPath = &Path;
    Request.Frame = KRO_CALLER_STACK;
    if (Request.ExceptAddr == 0)
        Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    return ReportException(Request);
}

void ReportFault(const TFaultRecord& Fault) {
    const bool MainThread = Fault.ThreadId == getpid();
    const TSignalOrigin Origin = FaultOrigin(Fault);
    // A signal from another process is meant for the process, whichever thread the system handed it to.
    const bool MayContinue = !MainThread && Origin != TSignalOrigin::OtherProcess;
    bool CanContinue = false;
    try {
        TReportHeapScope Heap;
        std::string ModuleName;
        std::uintptr_t Address = Fault.Address;
        std::uintptr_t Stack = Fault.StackPointer;
        {
            TModuleMap Map;
            if (Map.Refresh()) {
                std::uintptr_t Module = 0;
                const char* File = nullptr;
                if (Map.FindModule(Fault.Address) != nullptr && Map.ModuleOfAddress(Fault.Address, Module, File) &&
                    File != nullptr) {
                    const std::string Path = File;
                    ModuleName = Path.substr(Path.rfind('/') + 1);
                }
                if (Fault.StackOverflow)
                    Stack = FirstReadableAbove(Map, Stack);
            }
        }
        const KroException Exception(FaultText(Fault, ModuleName));
        TExceptionRequest Request;
        Request.Object = TExceptObject::Of(Exception);
        Request.ExceptAddr = Address;
        Request.Frame = Stack;
        Request.FramePointer = Fault.FramePointer;
        Request.StackPointer = Fault.StackPointer;
        Request.OsException = true;
        // A signal that was sent stopped the thread wherever it stood: its trace starts there, but nothing faulted.
        Request.FaultSite = Origin != TSignalOrigin::OtherProcess;
        Request.FailureCode = SignalExitCode(Fault.Signal);
        // A thread other than the main thread ends and the application goes on; the main thread cannot.
        Request.CanContinue = MayContinue;
        CanContinue = ReportException(Request);
    } catch (...) {
        // Not even the report's message could be had (no memory left): the thread or the process ends all the same.
        CanContinue = MayContinue;
    }
    if (!MayContinue || !CanContinue)
        EndProcessAfterFault(Fault.Signal);
    RemoveThreadInfo(Fault.ThreadId);
    // The thread runs on its alternate stack with no frame of its own below: its exit unwinds nothing of the
    // interrupted code.
    pthread_exit(nullptr);
}

void ReportTermination() {
    TExceptionRequest Request;
    Request.CanContinue = false;
    std::uintptr_t Stack = 0;
    TRecordedPath Path;
    if (CurrentException(Request.Object, Request.ExceptAddr, Stack, &Path)) {
        if (Path.Count > 0)
            Request.ThrowPath = &Path;
        // Nobody caught it, so nothing was unwound: the thrower's frames are still on the stack, from the throw on.
        const auto Here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        if (Stack > Here)
            Request.Frame = Stack;
    }
    if (Request.Frame == 0)
        Request.Frame = KRO_CALLER_STACK;
    if (Request.ExceptAddr == 0)
        Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    const bool Terminated = Request.Object.Empty();
    if (Terminated) {
        // terminate() without an exception in flight: an explicit call, or a joinable thread destroyed.
        static const KroException Termination("Abnormal program termination");
        Request.Object = TExceptObject::Of(Termination);
    }
    // An exception at the outermost level of a thread other than the main thread ends that thread; the program goes
    // on. terminate() without an exception is a fatal error of the program.
    const pid_t Self = CurrentThreadId();
    Request.CanContinue = Self != getpid() && !Terminated;
    // terminate() without an exception ends the program as abort() would.
    Request.FailureCode = Terminated ? SignalExitCode(SIGABRT) : ExitCodeUncaughtException;
    if (ReportException(Request) && Request.CanContinue) {
        RemoveThreadInfo(Self);
        ExitThreadOnFreshStack(reinterpret_cast<void*>(-1));
    }
    EndProcess(Request.FailureCode);
}

std::string ComposeReport(const TBugReportRequest& Request) {
    std::string Report;
    const pid_t Self = CurrentThreadId();
    if (ReportOwner.load() == Self)
        return Report;
    std::lock_guard<std::mutex> Lock(ReportLock);
    ReportOwner.store(Self);
    {
        TReportHeapScope Heap;
        CreateBugReport(Request, Report);
    }
    ReportOwner.store(0);
    return Report;
}
