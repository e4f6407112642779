#include "KroBugReport.h"

#include "KroExceptSettings.h"
#include "KroFaultSignals.h"
#include "KroFileVersion.h"
#include "KroModuleMap.h"
#include "KroOnceWait.h"
#include "KroPausedThreads.h"
#include "KroReportHeader.h"
#include "KroReportingThreads.h"
#include "KroStackTrace.h"
#include "KroStrings.h"
#include "KroThreadContext.h"
#include "KroThreadCreator.h"
#include "KroThreadRegistry.h"
#include "KroTraceProgress.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

// How long a report's titles wait for the registry: a writer stopped inside (one that faulted there) holds its lock for
// good, so once a wait has run out the report's other titles and creator lines only try the lock; each report starts
// with the full wait.
TOnceWait TitleWait{50};
constexpr std::size_t MaxThreads = 1024;

std::string HexId(pid_t Id) {
    return "$" + IntToHexText(static_cast<std::uint32_t>(Id));
}

struct TComposeState {
    const TBugReportRequest* Request = nullptr;
    pid_t FailingThread = 0;
    std::string Header;
    std::string Body;
    std::uintptr_t DisAsmAddress = 0;
    std::uintptr_t DisAsmHighlight = 0;
    // A thread that is not among the paused ones, paused while it is traced. Kept here, outside the guarded steps,
    // so that a fault while it is paused still lets it go.
    TThreadPause TemporaryPause;
    // What is left of the report's one wait for threads that do not answer, for the threads paused one at a time.
    std::int64_t SilentWaitLeftMs = TPausedThreads::QuietMs;
};

// The least a thread paused on its own is waited for, even when the report's wait is spent: a thread that answers at
// all answers within moments.
constexpr std::int64_t MinSingleWaitMs = 20;

struct TThreadStack {
    bool Known = false;
    std::uintptr_t InstructionPointer = 0;
    std::uintptr_t StackPointer = 0;
    std::uintptr_t FramePointer = 0;
    const std::uint64_t* General = nullptr;
};

TThreadStack StackOf(const TThreadRegisters& Registers) {
    return {true, Registers.InstructionPointer, Registers.StackPointer, Registers.FramePointer,
            Registers.General.data()};
}

TThreadStack StackOf(const TBugReportRequest& Request, pid_t ThreadId) {
    TThreadStack Stack;
    if (Request.Paused != nullptr)
        if (const TThreadRegisters* Registers = Request.Paused->Find(ThreadId))
            Stack = StackOf(*Registers);
    return Stack;
}

// A thread the report did not pause with the others (it started since, or the threads are not paused for this
// report), paused now while it is traced. Silent: it did not answer within what is left of the report's wait.
TThreadStack PauseForTrace(TComposeState& State, pid_t ThreadId, bool& Silent) {
    Silent = false;
    if (State.Request->Paused != nullptr && State.Request->Paused->Unpausable(ThreadId)) {
        Silent = true;
        return {};
    }
    TThreadPause& Pause = State.TemporaryPause;
    const std::int64_t Start = MonotonicMs();
    const auto Wait = static_cast<std::uint32_t>(std::max(State.SilentWaitLeftMs, MinSingleWaitMs));
    switch (PauseWithin(Pause, ThreadId, Wait)) {
    case TPauseOutcome::Paused:
        return {true, Pause.Registers().InstructionPointer, Pause.Registers().StackPointer,
                Pause.Registers().FramePointer};
    case TPauseOutcome::Silent:
        Silent = true;
        State.SilentWaitLeftMs -= MonotonicMs() - Start;
        return {};
    case TPauseOutcome::Gone:
        break;
    }
    return {};
}

// One thread's section: CR LF CR LF, title, ":", CR LF, trace. Empty for a thread left out.
std::string ThreadSection(TComposeState& State, pid_t ThreadId, bool Failing, bool ShowHidden,
                          TTraceProgress& Progress) {
    const TBugReportRequest& Request = *State.Request;
    std::uintptr_t CreatorAddress = 0;
    pid_t CreatorThread = 0;
    const std::string Title = GetThreadTitle(ThreadId, ShowHidden, &CreatorAddress, &CreatorThread);
    if (Title.empty())
        return {};
    std::string Section = "\r\n\r\n" + Title + ":\r\n";
    // A thread the reporter did not see created (it ran before the reporter started, or was made without the threads
    // library) has no known creator; the main thread has none.
    const bool CreatorUnknown = CreatorAddress == 0 && CreatorThread == 0 && ThreadId != getpid();
    const std::string Unknown = CreatorUnknown ? std::string("\r\n") + CreatorUnknownText : std::string();

    TStackTraceRequest Trace;
    Trace.HideWithoutLines = ExceptSettings.TraceFlagA;
    Trace.ShowRelativeOffsets = ExceptSettings.TraceFlagB;
    Trace.Progress = &Progress;
    Trace.ThreadStart = CreatorAddress;
    std::uintptr_t FunctionEntry = 0, Highlight = 0;
    const pid_t Self = CurrentThreadId();
    std::string Text;
    TReportingContext Waiting;
    bool Silent = false;
    if (Failing) {
        Trace.OsException = Request.OsException;
        Trace.ExceptionAddress = Request.ExceptAddr;
        Trace.HasExceptionAddress = true;
        Trace.FunctionEntry = &FunctionEntry;
        Trace.HighlightAddress = &Highlight;
        Trace.StackBegin = Request.Frame;
        Trace.FramePointer = Request.FramePointer;
        Trace.StackPointer = Request.StackPointer;
        Trace.ThrowPath = Request.ThrowPath;
        if (Trace.StackBegin == 0 && ThreadId != Self) {
            TThreadStack Stack = StackOf(Request, ThreadId);
            if (!Stack.Known)
                Stack = PauseForTrace(State, ThreadId, Silent);
            Trace.StackBegin = Stack.StackPointer;
            Trace.FramePointer = Stack.FramePointer;
            // A paused thread's own registers go with the exception address only when they are where it stands.
            if (Stack.InstructionPointer == Request.ExceptAddr) {
                Trace.StackPointer = Stack.StackPointer;
                Trace.GeneralRegisters = Stack.General;
            }
            if (!Stack.Known) {
                State.DisAsmAddress = Request.ExceptAddr;
                State.DisAsmHighlight = Request.ExceptAddr;
                return Section + "- ??? ($" + Int64ToHexText(Request.ExceptAddr) + ")" + Unknown + "\r\n";
            }
        }
        ComputeStackTrace(Trace, Text);
        State.DisAsmAddress = FunctionEntry != 0 ? FunctionEntry : Request.ExceptAddr;
        State.DisAsmHighlight = Highlight != 0 ? Highlight : Request.ExceptAddr;
    } else if (ThreadId == Self) {
        // The calling thread (a trace on request) starts at its caller's call of the report.
        if (Request.Frame != 0) {
            Trace.ExceptionAddress = Request.ExceptAddr;
            Trace.HasExceptionAddress = Request.ExceptAddr != 0;
            Trace.ReturnAddress = Request.ExceptAddr != 0;
            Trace.StackBegin = Request.Frame;
            Trace.StackPointer = Request.Frame;
            Trace.FramePointer = Request.FramePointer;
        }
        ComputeStackTrace(Trace, Text);
    } else if (FindReportingContext(ThreadId, Waiting)) {
        // A thread that failed too and waits for its own report stands inside the reporter: it is shown where it
        // failed. Its stack from there on holds still while it waits.
        Trace.OsException = Waiting.OsException;
        Trace.ExceptionAddress = Waiting.ExceptAddr;
        Trace.HasExceptionAddress = Waiting.ExceptAddr != 0;
        Trace.StackBegin = Waiting.Stack;
        Trace.FramePointer = Waiting.FramePointer;
        ComputeStackTrace(Trace, Text);
    } else {
        TThreadStack Stack = StackOf(Request, ThreadId);
        if (!Stack.Known)
            Stack = PauseForTrace(State, ThreadId, Silent);
        if (!Stack.Known)
            return Section + (Silent ? UnpausableThreadTrace : UnreadableThreadTrace) + Unknown + "\r\n";
        Trace.ExceptionAddress = Stack.InstructionPointer;
        Trace.HasExceptionAddress = true;
        Trace.StackBegin = Stack.StackPointer;
        Trace.FramePointer = Stack.FramePointer;
        Trace.StackPointer = Stack.StackPointer;
        Trace.GeneralRegisters = Stack.General;
        ComputeStackTrace(Trace, Text);
    }
    State.TemporaryPause.Resume();
    if (Text.empty())
        return Section + (Failing ? "- ??? ($" + Int64ToHexText(Request.ExceptAddr) + ")" : UnreadableThreadTrace) +
               Unknown + "\r\n";
    if (CreatorAddress != 0) {
        const std::size_t LastReturn = Text.rfind('\r');
        if (LastReturn != std::string::npos)
            Text.insert(LastReturn, "\r\n>> created by " + GetThreadTitle(CreatorThread, true) + " at:");
    }
    return Section + Text + Unknown;
}

void ComposeExceptionSection(TComposeState& State) {
    const TBugReportRequest& Request = *State.Request;
    const pid_t MainThread = getpid();
    pid_t Threads[MaxThreads];
    std::size_t Count = EnumProcessThreads(Threads, MaxThreads);

    auto Listed = [&](pid_t Thread) {
        if (Thread == Request.HiddenThread && Thread != MainThread)
            return false;
        // A thread whose report came before and that ends now is on its way out.
        if (Thread != State.FailingThread && ThreadIsEnding(Thread))
            return false;
        return Thread == MainThread || (!Request.Frozen && Thread == State.FailingThread) ||
               ExceptSettings.ListAllThreads;
    };
    TTraceProgress Progress;
    for (std::size_t I = 0; I < Count; ++I) {
        if (!Listed(Threads[I]))
            continue;
        const TThreadStack Stack = StackOf(Request, Threads[I]);
        Progress.AddArea(Stack.Known ? 100 : 1);
    }

    std::string& Text = State.Body;
    if (Request.Frozen) {
        Text += "exception message : ";
        Text += ExceptSettings.FrozenText.View();
        Text += ThreadSection(State, MainThread, false, false, Progress);
        Progress.FinishArea();
    } else {
        Text += "exception class   : " + ExceptClassText(Request.Object);
        const std::string Message = ExceptMessageText(Request.Object);
        if (Message != ExceptClassText(Request.Object))
            Text += "\r\nexception message : " + ReportMessageText(Message);
        Text += ThreadSection(State, State.FailingThread, true, true, Progress);
        Progress.FinishArea();
        if (State.FailingThread != MainThread) {
            Text += ThreadSection(State, MainThread, false, false, Progress);
            Progress.FinishArea();
        }
    }
    if (!ExceptSettings.ListAllThreads)
        return;
    for (std::size_t I = 0; I < Count; ++I) {
        const pid_t Thread = Threads[I];
        if (Thread == MainThread || (!Request.Frozen && Thread == State.FailingThread) || !Listed(Thread))
            continue;
        // A thread named "-" (the reporter's own) gets no section: the title is empty.
        Text += ThreadSection(State, Thread, false, false, Progress);
        Progress.FinishArea();
    }
}

void ComposeModulesSection(std::string& Text) {
    TModuleMap Map;
    if (!Map.Refresh())
        return;
    struct TLine {
        std::uintptr_t Handle;
        std::string Name, Version, Folder;
    };
    std::vector<TLine> Lines;
    std::size_t NameWidth = 0, VersionWidth = 0;
    for (std::size_t I = 0; I < Map.ModuleCount(); ++I) {
        const TLoadedModule& Module = Map.Module(I);
        const std::string Path = Module.Path;
        const std::size_t Slash = Path.rfind('/');
        TLine Line{Module.Base, Slash == std::string::npos ? Path : Path.substr(Slash + 1), "",
                   Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1)};
        if (Slash != std::string::npos)
            if (const std::uint64_t Version = ReadFileVersion(Path); Version != 0)
                Line.Version = FormatFileVersion(Version);
        NameWidth = std::max(NameWidth, Line.Name.size());
        VersionWidth = std::max(VersionWidth, Line.Version.size());
        Lines.push_back(std::move(Line));
    }
    Text += "modules:";
    for (const TLine& Line : Lines) {
        Text += "\r\n";
        Text += PadToLength(Int64ToHexText(Line.Handle), static_cast<std::ptrdiff_t>(sizeof(std::uintptr_t) * 2), '0');
        Text += ' ';
        Text += PadToLength(Line.Name, -static_cast<std::ptrdiff_t>(NameWidth + 1), ' ');
        Text += PadToLength(Line.Version, -static_cast<std::ptrdiff_t>(VersionWidth + 1), ' ');
        Text += Line.Folder;
    }
}

void ComposeSteps(void* Context) {
    TComposeState& State = *static_cast<TComposeState*>(Context);
    ComposeExceptionSection(State);
    State.Header = ComposeBugReportHeader(ReportHeaderFacts(), static_cast<std::int64_t>(std::time(nullptr)));
    if (ExceptSettings.ListModules) {
        State.Body += "\r\n\r\n";
        ComposeModulesSection(State.Body);
    }
    if (ExceptSettings.DisAsmCallback != nullptr && State.Request->FaultSite) {
        const std::string Listing = ExceptSettings.DisAsmCallback(
            State.DisAsmAddress, State.DisAsmHighlight, ExceptSettings.DisAsmCount, ExceptSettings.DisAsmFlag);
        if (!Listing.empty())
            State.Body += "\r\n\r\ndisassembling:\r\n" + Listing;
    }
}

} // namespace

std::string ReportMessageText(const std::string& Message) {
    std::size_t Last = Message.size();
    while (Last > 0 && (Message[Last - 1] == '.' || Message[Last - 1] == '!' || Message[Last - 1] == '\0'))
        --Last;
    return Message.substr(0, std::min(Message.size(), Last + 1)) + ".";
}

std::string GetThreadTitle(pid_t ThreadId, bool ShowHidden, std::uintptr_t* CreatorAddress, pid_t* CreatorThread) {
    if (CreatorAddress != nullptr)
        *CreatorAddress = 0;
    if (CreatorThread != nullptr)
        *CreatorThread = 0;
    TThreadInfo Info;
    const TRegistryLookup Lookup = LookUpThreadInfo(ThreadId, Info, TitleWait.Budget());
    if (ThreadRegistryOpen())
        TitleWait.Took(Lookup != TRegistryLookup::NoRegistry);
    if (Lookup == TRegistryLookup::NoRegistry)
        return "thread " + HexId(ThreadId);
    if (Lookup == TRegistryLookup::NotFound) {
        // A thread the reporter did not see created (it ran before the reporter started): the system knows its name.
        char System[64];
        if (ThreadSystemName(ThreadId, System, sizeof System) && System[0] != '\0' && std::string_view(System) != "-")
            return std::string(System) + " (" + HexId(ThreadId) + ")";
        return "thread " + HexId(ThreadId);
    }
    if (CreatorAddress != nullptr)
        *CreatorAddress = ThreadCreatorCall(Info);
    if (CreatorThread != nullptr)
        *CreatorThread = Info.CreatorThread;
    const std::string Name = Info.Name;
    if (Name == "-" && !ShowHidden)
        return {};
    if (!Name.empty() && Name != "-")
        return Name + " (" + HexId(ThreadId) + ")";
    std::string Title = "thread " + HexId(ThreadId);
    if (Info.ClassName[0] != '\0')
        Title += " (" + std::string(Info.ClassName) + ")";
    return Title;
}

void CreateBugReport(const TBugReportRequest& Request, std::string& Report) {
    TitleWait.Reset();
    TComposeState State;
    State.Request = &Request;
    State.FailingThread = Request.ThreadId != 0 ? Request.ThreadId : CurrentThreadId();
    std::uintptr_t FaultAddress = 0;
    if (RunFaultGuarded(&ComposeSteps, &State, &FaultAddress)) {
        Report = State.Header + State.Body;
        return;
    }
    // What was composed so far, and the note. Writing the note may fault too (the heap may be what broke).
    struct TNote {
        TComposeState* State;
        std::uintptr_t Address;
        std::string* Report;
    } Note{&State, FaultAddress, &Report};
    RunFaultGuarded(
        [](void* Context) {
            TNote& N = *static_cast<TNote*>(Context);
            *N.Report = N.State->Header + N.State->Body + "\r\n\r\n" + ComposingFaultText;
            if (N.Address != 0)
                *N.Report += " $" + Int64ToHexText(N.Address);
        },
        &Note);
}
