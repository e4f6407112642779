#include "KroStackTrace.h"

#include "KroModuleMap.h"
#include "KroOnceWait.h"
#include "KroSafeRead.h"
#include "KroStackTracer.h"
#include "KroThreadContext.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <sys/mman.h>

namespace {

// The modules and functions every trace of the process shares.
struct TTraceTables {
    TTraceModules Modules;
    TTraceFunctions Functions{Modules};
    std::uint64_t ModulesGeneration = 0;
};

std::timed_mutex TablesLock;

TTraceTables& SharedTables() {
    // Never destroyed: a crash during the program's exit may still need them.
    static TTraceTables* const Tables = new TTraceTables;
    return *Tables;
}

// The tables the traces share while the shared ones are held by a trace that does not finish (its thread paused): a
// report's traces of every thread would otherwise each analyse the modules anew.
std::mutex SpareLock;

TTraceTables& SpareTables() {
    static TTraceTables* const Tables = new TTraceTables;
    return *Tables;
}

// A paused thread's stack is copied into memory mapped for it, which takes no allocator lock.
constexpr std::uintptr_t MaxCopiedStack = std::uintptr_t{64} << 20;

class TStackCopy final {
public:
    explicit TStackCopy(std::size_t Bytes) : Bytes(Bytes) {
        void* Memory =
            Bytes > 0 ? mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) : MAP_FAILED;
        Buffer = Memory != MAP_FAILED ? static_cast<std::uint64_t*>(Memory) : nullptr;
    }
    ~TStackCopy() {
        if (Buffer != nullptr)
            munmap(Buffer, Bytes);
    }
    TStackCopy(const TStackCopy&) = delete;
    TStackCopy& operator=(const TStackCopy&) = delete;
    std::uint64_t* Words() const noexcept { return Buffer; }

private:
    std::size_t Bytes;
    std::uint64_t* Buffer = nullptr;
};

// How long a trace waits for another one to finish before it works on tables of its own: the other may run in a
// thread that is paused now. Such a holder lets go only once it runs again, so the wait is paid once: until a trace
// gets the tables again, the next ones only try the lock (a report traces every thread, and with many threads waits
// of seconds each would add up to minutes).
TOnceWait TablesWait{2000};

bool LockTables(std::unique_lock<std::timed_mutex>& Lock) {
    const std::uint32_t Budget = TablesWait.Budget();
    const bool Got = Budget == 0 ? Lock.try_lock() : Lock.try_lock_for(std::chrono::milliseconds(Budget));
    TablesWait.Took(Got);
    return Got;
}

void Trace(TStackTraceRequest Request, std::string& Text, std::uintptr_t CallerStack, std::uintptr_t CallerFrame,
           std::uintptr_t ReturnAddress, const std::uint64_t* Snapshot = nullptr) {
    Text.clear();
    if (Request.FunctionEntry != nullptr)
        *Request.FunctionEntry = 0;
    if (Request.HighlightAddress != nullptr)
        *Request.HighlightAddress = 0;
    if (Request.Entries != nullptr)
        Request.Entries->clear();
    std::uintptr_t Exception = Request.ExceptionAddress;
    TUnwindStart Start;
    if (Exception == 0 && !Request.HasExceptionAddress) {
        // A trace of the calling thread starts at the return into its caller, whose registers are known when the
        // trace reads the caller's stack.
        Exception = ReturnAddress;
        Start.InstructionPointer = ReturnAddress;
        Start.ReturnAddress = true;
        if (Request.StackBegin == 0) {
            Start.StackPointer = CallerStack;
            Start.FramePointer = CallerFrame;
            Start.HasFramePointer = true;
        }
    } else if (Request.StackPointer != 0 || Request.ReturnAddress) {
        Start.InstructionPointer = Exception;
        Start.ReturnAddress = Request.ReturnAddress;
        Start.StackPointer = Request.StackPointer;
        Start.FramePointer = Request.FramePointer;
        Start.HasFramePointer = Request.FramePointer != 0 || Request.GeneralRegisters != nullptr;
        Start.General = Request.GeneralRegisters;
    }
    const std::uintptr_t Begin = Request.StackBegin != 0 ? Request.StackBegin : CallerStack;
    if (Request.StackBegin == 0 && Request.FramePointer == 0)
        Request.FramePointer = CallerFrame;

    std::unique_lock<std::timed_mutex> Lock(TablesLock, std::defer_lock);
    std::unique_lock<std::mutex> Spare(SpareLock, std::defer_lock);
    std::unique_ptr<TTraceTables> Own;
    TTraceTables* Tables = &SharedTables();
    if (!LockTables(Lock)) {
        if (Spare.try_lock()) {
            Tables = &SpareTables();
        } else {
            Own = std::make_unique<TTraceTables>();
            Tables = Own.get();
        }
    }
    if (!Tables->Modules.Refresh())
        return;
    std::uintptr_t End = Request.StackEnd;
    if (End == 0) {
        const TMemoryRegion* Region = Tables->Modules.RegionOf(Begin);
        if (Region == nullptr)
            return;
        End = Region->End;
    }
    TStackTracer Tracer(Tables->Modules, Tables->Functions, Request);
    Text = Tracer.Run(Begin, End, Exception, Snapshot, Start.InstructionPointer != 0 ? &Start : nullptr);
    // A module replaced under an old one invalidates what was analysed in it.
    if (Tables->Modules.Generation() != Tables->ModulesGeneration) {
        Tables->ModulesGeneration = Tables->Modules.Generation();
        Tables->Functions.Clear();
    }
}

// The caller's stack pointer: above this function's saved frame pointer and return address.
#define KRO_CALLER_STACK (reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) + 16)
#define KRO_RETURN_ADDRESS (reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)))
// The caller's frame pointer, which this function's frame saved.
#define KRO_CALLER_FRAME (*static_cast<const std::uintptr_t*>(__builtin_frame_address(0)))

} // namespace

__attribute__((noinline)) void ComputeStackTrace(const TStackTraceRequest& Request, std::string& Text) {
    Trace(Request, Text, KRO_CALLER_STACK, KRO_CALLER_FRAME, KRO_RETURN_ADDRESS);
}

__attribute__((noinline)) void ComputeStackTrace(bool HideWithoutLines, bool ShowRelativeOffsets,
                                                 std::uintptr_t ExceptionAddress, std::string& Text,
                                                 TTraceProgress* Progress, std::uintptr_t* FunctionEntry,
                                                 std::uintptr_t* HighlightAddress, std::uintptr_t ThreadStart,
                                                 std::uintptr_t StackEnd, std::uintptr_t StackBegin, bool OsException,
                                                 bool HasExceptionAddress) {
    TStackTraceRequest Request;
    Request.HideWithoutLines = HideWithoutLines;
    Request.ShowRelativeOffsets = ShowRelativeOffsets;
    Request.ExceptionAddress = ExceptionAddress;
    Request.Progress = Progress;
    Request.FunctionEntry = FunctionEntry;
    Request.HighlightAddress = HighlightAddress;
    Request.ThreadStart = ThreadStart;
    Request.StackEnd = StackEnd;
    Request.StackBegin = StackBegin;
    Request.OsException = OsException;
    Request.HasExceptionAddress = HasExceptionAddress;
    Trace(Request, Text, KRO_CALLER_STACK, KRO_CALLER_FRAME, KRO_RETURN_ADDRESS);
}

std::string TraceOtherThread(pid_t ThreadId, TStackTraceRequest Request) {
    if (ThreadId == CurrentThreadId())
        return UnreadableThreadTrace;
    // Everything the copy needs is allocated before the thread stands still: a thread paused inside the allocator
    // would otherwise hold the lock the trace waits for.
    TModuleMap Memory;
    TThreadPause Pause;
    if (!Pause.Pause(ThreadId))
        return UnreadableThreadTrace;
    const TThreadRegisters Registers = Pause.Registers();
    const std::uintptr_t Begin = Registers.StackPointer & ~std::uintptr_t{7};
    const TMemoryRegion* Region = Memory.Refresh() ? Memory.FindRegion(Begin) : nullptr;
    if (Region == nullptr)
        return UnreadableThreadTrace;
    std::uintptr_t End = Region->End;
    if (End - Begin > MaxCopiedStack)
        End = Begin + MaxCopiedStack;
    TStackCopy Copy(End - Begin);
    const bool Copied = Copy.Words() != nullptr && KroSafeRead(Begin, Copy.Words(), End - Begin);
    Pause.Resume();
    if (!Copied)
        return std::string();
    Request.ExceptionAddress = Registers.InstructionPointer;
    Request.StackBegin = Begin;
    Request.StackEnd = End;
    Request.FramePointer = Registers.FramePointer;
    Request.StackPointer = Registers.StackPointer;
    Request.GeneralRegisters = Registers.General.data();
    std::string Text;
    Trace(Request, Text, Begin, 0, 0, Copy.Words());
    return Text;
}

void ClearStackTraceTables() {
    std::unique_lock<std::timed_mutex> Lock(TablesLock, std::defer_lock);
    if (!LockTables(Lock))
        return;
    SharedTables().Functions.Clear();
    SharedTables().Modules.Clear();
    if (std::unique_lock<std::mutex> Spare(SpareLock, std::try_to_lock); Spare.owns_lock()) {
        SpareTables().Functions.Clear();
        SpareTables().Modules.Clear();
    }
}
