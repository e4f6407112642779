#include "KroReportException.h"

#include "KroBugReport.h"
#include "KroExceptBox.h"
#include "KroExceptSettings.h"
#include "KroException.h"
#include "KroFaultSignals.h"
#include "KroModuleMap.h"
#include "KroPausedThreads.h"
#include "KroReportFile.h"
#include "KroReportHeap.h"
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

// The exit code of a process ended after a report it cannot survive: as a shell shows a process that abort() ended.
constexpr int FatalExitCode = 128 + SIGABRT;

bool HandleExceptionRequest(const TExceptionRequest& Request, TPausedThreads& Paused) {
    // The exception class the runtime uses to end an operation silently produces nothing at all.
    if (IsClassNamed(Request.Object, "EAbort"))
        return Request.CanContinue;
    if (!Request.Frozen && ExceptSettings.PauseThreads)
        Paused.PauseAll();

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
        Compose.OsException = Request.OsException;
        Compose.HiddenThread = Request.HiddenThread;
        Compose.Paused = &Paused;
        CreateBugReport(Compose, Report);
    }

    bool CanContinue = Request.CanContinue;
    if (ExceptSettings.AutoSave)
        SaveBugReport(Report, nullptr, true);
    if (ExceptSettings.AutoMail)
        SendBugReport(Report, nullptr, true);
    if (ExceptSettings.ShowExceptBox) {
        const std::int32_t Action =
            ShowExceptionBox(Request.Frozen, Request.Object, Request.ExceptAddr, CanContinue, Report);
        // Restart and close end the process through the report actions when they are there; without them the
        // process ends here all the same.
        if (Action == eaCloseApplication || Action == eaRestartApplication)
            EndProcess(0);
    }
    return CanContinue;
}

bool SystemLibrary(const TModuleMap& Map, std::uintptr_t Address) {
    const TLoadedModule* Module = Map.FindModule(Address);
    if (Module == nullptr)
        return true;
    const std::string_view Path = Module->Path;
    return Path.substr(0, 5) == "/lib/" || Path.substr(0, 9) == "/usr/lib/" || Path == "[vdso]";
}

// Whether the code at Address is a jump through the import table (a call into another module goes there first).
bool ImportStub(std::uintptr_t Address) {
    unsigned char Code[7];
    if (!KroSafeRead(Address, Code, sizeof Code))
        return false;
    const unsigned char* Jump = Code;
    if (Code[0] == 0xF3 && Code[1] == 0x0F && Code[2] == 0x1E && Code[3] == 0xFA) // endbr64
        Jump = Code + 4;
    if (Jump[0] == 0xF2) // bnd
        ++Jump;
    return Jump + 1 < Code + sizeof Code && Jump[0] == 0xFF && Jump[1] == 0x25;
}

// A signal the thread sent itself (abort, raise) arrives inside the C library: the report starts where the program
// called into the system's libraries, at the first return address on the stack that follows a call of an import
// stub from code outside them. Stack becomes the position just above it.
void LocateRaisedSignal(const TModuleMap& Map, const TFaultRecord& Fault, std::uintptr_t& Address,
                        std::uintptr_t& Stack) {
    if (Fault.SignalCode > 0 || !SystemLibrary(Map, Fault.Address))
        return;
    constexpr std::size_t Words = 512;
    std::uintptr_t Values[Words];
    if (!KroSafeRead(Fault.StackPointer, Values, sizeof Values))
        return;
    for (std::size_t I = 0; I < Words; ++I) {
        const std::uintptr_t Value = Values[I];
        const TMemoryRegion* Region = Map.FindRegion(Value);
        unsigned char Call[5];
        if (Region == nullptr || !Region->Executable || SystemLibrary(Map, Value) ||
            !KroSafeRead(Value - sizeof Call, Call, sizeof Call) || Call[0] != 0xE8)
            continue;
        std::int32_t Displacement = 0;
        __builtin_memcpy(&Displacement, Call + 1, sizeof Displacement);
        if (!ImportStub(Value + static_cast<std::uintptr_t>(static_cast<std::intptr_t>(Displacement))))
            continue;
        // The call instruction is where the program raised the signal.
        Address = Value - sizeof Call;
        Stack = Fault.StackPointer + (I + 1) * sizeof(std::uintptr_t);
        return;
    }
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

bool ReportException(TExceptionRequest Request) {
    const pid_t Self = CurrentThreadId();
    if (ReportOwner.load() == Self)
        return false;
    bool CanContinue = false;
    {
        std::lock_guard<std::mutex> Lock(ReportLock);
        ReportOwner.store(Self);
        // Both live outside the guarded step, so that a fault inside it still resumes the threads and ends the
        // heap's scope.
        TReportHeapScope Heap;
        TPausedThreads Paused;
        struct TJob {
            const TExceptionRequest* Request;
            TPausedThreads* Paused;
            bool Result;
        } Job{&Request, &Paused, false};
        // A fault of the reporter itself outside the composing (which guards itself) must not take the process
        // into a second report.
        RunFaultGuarded(
            [](void* Context) {
                TJob& J = *static_cast<TJob*>(Context);
                J.Result = HandleExceptionRequest(*J.Request, *J.Paused);
            },
            &Job);
        Paused.ResumeAll();
        CanContinue = Job.Result;
        ReportOwner.store(0);
    }
    return CanContinue;
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
    CurrentException(Request.Object, Request.ExceptAddr, Stack);
    // The thrower's frames are gone once a handler caught the exception: the trace then starts here, with the throw
    // as its first line.
    Request.Frame = KRO_CALLER_STACK;
    if (Request.ExceptAddr == 0)
        Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    return ReportException(Request);
}

void ReportFault(const TFaultRecord& Fault) {
    const bool MainThread = Fault.ThreadId == getpid();
    {
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
                LocateRaisedSignal(Map, Fault, Address, Stack);
                if (Fault.StackOverflow)
                    Stack = FirstReadableAbove(Map, Stack);
            }
        }
        const KroException Exception(ExceptionCodeText(FaultExceptionCode(Fault), Fault, ModuleName));
        TExceptionRequest Request;
        Request.Object = TExceptObject::Of(Exception);
        Request.ExceptAddr = Address;
        Request.Frame = Stack;
        Request.OsException = true;
        // A thread other than the main thread ends and the application goes on; the main thread cannot.
        Request.CanContinue = !MainThread;
        const bool CanContinue = ReportException(Request);
        if (MainThread || !CanContinue)
            EndProcessAfterFault(Fault.Signal);
    }
    RemoveThreadInfo(Fault.ThreadId);
    // The thread runs on its alternate stack with no frame of its own below: its exit unwinds nothing of the
    // interrupted code.
    pthread_exit(nullptr);
}

void ReportTermination() {
    TExceptionRequest Request;
    Request.CanContinue = false;
    std::uintptr_t Stack = 0;
    if (CurrentException(Request.Object, Request.ExceptAddr, Stack)) {
        // Nobody caught it, so nothing was unwound: the thrower's frames are still on the stack, from the throw on.
        const auto Here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        if (Stack > Here)
            Request.Frame = Stack;
    }
    if (Request.Frame == 0)
        Request.Frame = KRO_CALLER_STACK;
    if (Request.ExceptAddr == 0)
        Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    if (Request.Object.Empty()) {
        // terminate() without an exception in flight: an explicit call, or a broken noexcept promise of the runtime.
        static const KroException Terminated("Abnormal program termination");
        Request.Object = TExceptObject::Of(Terminated);
    }
    ReportException(Request);
    EndProcess(FatalExitCode);
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

void EndProcess(int ExitCode) noexcept {
    UnlinkThreadRegistry();
    _exit(ExitCode);
}
