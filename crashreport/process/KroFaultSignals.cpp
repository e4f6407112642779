#include "KroFaultSignals.h"

#include "KroThreadContext.h"

#include <array>
#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <cxxabi.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 6> FaultSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};

// The alternate stack: large enough for the whole reporter (tracer, disassembler, box), which runs on it after a
// fault. Only the pages it touches are ever backed by memory.
constexpr std::size_t AltStackSize = 2 * 1024 * 1024;
constexpr std::size_t GuardSize = 64 * 1024;
// How far below the interrupted stack pointer a redirected step starts when it cannot use the alternate stack: past
// the red zone and whatever the interrupted code may still read.
constexpr std::uintptr_t StackGap = 1024;
// A fault this close to the stack pointer, on a thread that had to switch to its alternate stack, is a stack that ran
// out.
constexpr std::uintptr_t OverflowReach = 64 * 1024;

struct TGuard {
    sigjmp_buf Jump;
    std::uintptr_t FaultAddress = 0;
    TGuard* Outer = nullptr;
};

// Each thread's state. Trivial types only: the handler reads them, and thread-local storage of an executable is
// reached without any call.
struct TThreadFaultState {
    TFaultRecord Record;
    bool Reporting;
    TGuard* Guard;
    void* AltStack;        // the mapping (guard pages first), null when this thread has none of ours
    stack_t OuterAltStack; // the one in place before ours (a sanitizer's runtime may have set one), given back after
};
__attribute__((tls_model("initial-exec"))) thread_local TThreadFaultState ThreadState;

std::atomic<TFaultReporter> Reporter{nullptr};
std::atomic<void (*)()> ProcessEndHook{nullptr};
struct sigaction Previous[FaultSignals.size()];
std::atomic<bool> Installed{false};

[[noreturn]] void ReportTrampoline(TFaultRecord* Record) {
    // Thread-local storage lies at the top of a thread's stack mapping, inside the range its trace reads: a trace
    // that met the faulting address there would take it for the crash itself. The record moves to this frame, on
    // the alternate stack.
    const TFaultRecord Fault = *Record;
    *Record = TFaultRecord{};
    const TFaultReporter Report = Reporter.load(std::memory_order_acquire);
    if (Report != nullptr)
        Report(Fault);
    EndProcessAfterFault(Fault.Signal);
}

[[noreturn]] void GuardTrampoline(TGuard* Guard) {
    siglongjmp(Guard->Jump, 1);
}

// Where a redirected step runs: on the alternate stack when the handler switched to it (its frame there is gone once
// the handler returns), otherwise below the interrupted stack pointer.
std::uintptr_t RedirectStack(std::uintptr_t Interrupted) noexcept {
    stack_t Current{};
    if (sigaltstack(nullptr, &Current) == 0 && (Current.ss_flags & SS_DISABLE) == 0) {
        const auto Base = reinterpret_cast<std::uintptr_t>(Current.ss_sp);
        const std::uintptr_t Top = Base + Current.ss_size;
        if (Interrupted < Base || Interrupted >= Top)
            return Top - 64;
    }
    return Interrupted - StackGap;
}

// Makes the interrupted thread call Target(Argument) when the handler returns, as if from a function whose return
// address is 0 (so that stack walks end there).
void Redirect(ucontext_t* Context, void (*Target)(void*), void* Argument, std::uintptr_t Stack) noexcept {
    Stack &= ~static_cast<std::uintptr_t>(15);
    Stack -= 8;
    *reinterpret_cast<std::uintptr_t*>(Stack) = 0;
    greg_t* Registers = Context->uc_mcontext.gregs;
    Registers[REG_RSP] = static_cast<greg_t>(Stack);
    Registers[REG_RBP] = 0;
    Registers[REG_RIP] = static_cast<greg_t>(reinterpret_cast<std::uintptr_t>(Target));
    Registers[REG_RDI] = static_cast<greg_t>(reinterpret_cast<std::uintptr_t>(Argument));
    // The step may fault in its turn, and the reporter may pause other threads: none of these stays blocked.
    for (const int Signal : FaultSignals)
        sigdelset(&Context->uc_sigmask, Signal);
    sigdelset(&Context->uc_sigmask, ThreadPauseSignal());
}

void DefaultAction(int Signal, const siginfo_t* Info) noexcept {
    struct sigaction Default {};
    Default.sa_handler = SIG_DFL;
    sigemptyset(&Default.sa_mask);
    sigaction(Signal, &Default, nullptr);
    // A fault raised by an instruction happens again on return; one that was sent must be sent again.
    if (Info == nullptr || Info->si_code <= 0)
        syscall(SYS_tgkill, getpid(), syscall(SYS_gettid), Signal);
}

bool OnAltStack(std::uintptr_t Address) noexcept {
    stack_t Current{};
    if (sigaltstack(nullptr, &Current) != 0 || (Current.ss_flags & SS_DISABLE) != 0)
        return false;
    const auto Base = reinterpret_cast<std::uintptr_t>(Current.ss_sp);
    return Address >= Base && Address < Base + Current.ss_size;
}

// The sender's command name from /proc, with system calls alone (this runs in the handler).
void NoteSenderCommand(TFaultRecord& Record) noexcept {
    char Path[40] = "/proc/";
    std::size_t Length = 6;
    char Digits[12];
    std::size_t Count = 0;
    for (auto Value = static_cast<unsigned>(Record.Sender); Value != 0 && Count < sizeof Digits; Value /= 10)
        Digits[Count++] = static_cast<char>('0' + Value % 10);
    while (Count > 0)
        Path[Length++] = Digits[--Count];
    std::memcpy(Path + Length, "/comm", 6);
    const int File = open(Path, O_RDONLY | O_CLOEXEC);
    if (File < 0)
        return;
    const ssize_t Read = read(File, Record.SenderCommand, sizeof Record.SenderCommand - 1);
    close(File);
    std::size_t End = Read > 0 ? static_cast<std::size_t>(Read) : 0;
    while (End > 0 && Record.SenderCommand[End - 1] == '\n')
        --End;
    Record.SenderCommand[End] = '\0';
}

void OnFault(int Signal, siginfo_t* Info, void* RawContext) {
    auto* Context = static_cast<ucontext_t*>(RawContext);
    const greg_t* Registers = Context->uc_mcontext.gregs;
    const auto Ip = static_cast<std::uintptr_t>(Registers[REG_RIP]);
    const auto Sp = static_cast<std::uintptr_t>(Registers[REG_RSP]);
    TThreadFaultState& State = ThreadState;

    if (State.Guard != nullptr) {
        TGuard* Guard = State.Guard;
        State.Guard = Guard->Outer;
        Guard->FaultAddress = Ip;
        Redirect(Context, reinterpret_cast<void (*)(void*)>(&GuardTrampoline), Guard, RedirectStack(Sp));
        return;
    }
    if (State.Reporting || Reporter.load(std::memory_order_acquire) == nullptr) {
        DefaultAction(Signal, Info);
        return;
    }
    State.Reporting = true;
    TFaultRecord& Record = State.Record;
    Record = TFaultRecord{};
    Record.Signal = Signal;
    Record.SignalCode = Info != nullptr ? Info->si_code : 0;
    Record.Address = Ip;
    Record.StackPointer = Sp;
    Record.FramePointer = static_cast<std::uintptr_t>(Registers[REG_RBP]);
    Record.ThreadId = static_cast<pid_t>(syscall(SYS_gettid));
    if (Record.SignalCode > 0) {
        // A fault: what it accessed, and how (the page-fault error code: bit 1 is set for a write).
        Record.DataAddress = reinterpret_cast<std::uintptr_t>(Info->si_addr);
        Record.Write = (Signal == SIGSEGV || Signal == SIGBUS) && (Registers[REG_ERR] & 2) != 0;
        if (Signal == SIGSEGV && Record.DataAddress + OverflowReach > Sp && Record.DataAddress < Sp + OverflowReach &&
            !OnAltStack(Sp))
            Record.StackOverflow = true;
    } else if (Info != nullptr &&
               (Info->si_code == SI_USER || Info->si_code == SI_QUEUE || Info->si_code == SI_TKILL)) {
        // A signal that was sent faulted nowhere (its si_addr holds the sender instead). The sender may be gone
        // soon (a kill command ends at once): its name is read now.
        Record.Sender = Info->si_pid;
        NoteSenderCommand(Record);
    }
    // A breakpoint reports the instruction after it; the fault is the breakpoint itself. Only the kernel's own
    // SIGTRAP comes from one: a SIGTRAP that was sent stands wherever the sender's thread was, and the byte before
    // it may be anything, even unmapped.
    if (Signal == SIGTRAP && Record.SignalCode == SI_KERNEL && Ip > 0 &&
        *reinterpret_cast<const unsigned char*>(Ip - 1) == 0xCC)
        Record.Address = Ip - 1;
    Redirect(Context, reinterpret_cast<void (*)(void*)>(&ReportTrampoline), &Record, RedirectStack(Sp));
}

} // namespace

bool InstallFaultHandlers(TFaultReporter NewReporter) noexcept {
    Reporter.store(NewReporter, std::memory_order_release);
    if (Installed.exchange(true))
        return true;
    struct sigaction Action {};
    Action.sa_sigaction = OnFault;
    Action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigfillset(&Action.sa_mask);
    for (const int Signal : FaultSignals)
        sigdelset(&Action.sa_mask, Signal);
    bool Ok = true;
    for (std::size_t I = 0; I < FaultSignals.size(); ++I)
        Ok &= sigaction(FaultSignals[I], &Action, &Previous[I]) == 0;
    return Ok;
}

void RemoveFaultHandlers() noexcept {
    if (!Installed.exchange(false))
        return;
    for (std::size_t I = 0; I < FaultSignals.size(); ++I)
        sigaction(FaultSignals[I], &Previous[I], nullptr);
    Reporter.store(nullptr, std::memory_order_release);
}

bool FaultHandlersInstalled() noexcept {
    return Installed.load();
}

bool InstallThreadAltStack() noexcept {
    if (ThreadState.AltStack != nullptr)
        return true;
    void* Mapping = mmap(nullptr, GuardSize + AltStackSize, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
    if (Mapping == MAP_FAILED)
        return false;
    mprotect(Mapping, GuardSize, PROT_NONE);
    stack_t Stack{};
    Stack.ss_sp = static_cast<char*>(Mapping) + GuardSize;
    Stack.ss_size = AltStackSize;
    Stack.ss_flags = 0;
    if (sigaltstack(&Stack, &ThreadState.OuterAltStack) != 0) {
        munmap(Mapping, GuardSize + AltStackSize);
        return false;
    }
    ThreadState.AltStack = Mapping;
    return true;
}

void RemoveThreadAltStack() noexcept {
    void* Mapping = ThreadState.AltStack;
    if (Mapping == nullptr)
        return;
    stack_t Current{};
    // Never take away the stack this thread runs on (its reporter may be the one asking).
    if (sigaltstack(nullptr, &Current) != 0 || (Current.ss_flags & SS_ONSTACK) != 0)
        return;
    stack_t Outer = ThreadState.OuterAltStack;
    if ((Outer.ss_flags & SS_DISABLE) != 0 || Outer.ss_sp == nullptr) {
        Outer = stack_t{};
        Outer.ss_flags = SS_DISABLE;
    } else {
        Outer.ss_flags = 0;
    }
    if (sigaltstack(&Outer, nullptr) != 0)
        return;
    ThreadState.AltStack = nullptr;
    munmap(Mapping, GuardSize + AltStackSize);
}

bool RunFaultGuarded(void (*Step)(void*), void* Context, std::uintptr_t* FaultAddress) {
    TGuard Guard;
    Guard.Outer = ThreadState.Guard;
    if (sigsetjmp(Guard.Jump, 1) != 0) {
        // The handler has unlinked the guard already.
        if (FaultAddress != nullptr)
            *FaultAddress = Guard.FaultAddress;
        return false;
    }
    ThreadState.Guard = &Guard;
    try {
        Step(Context);
    } catch (abi::__forced_unwind&) {
        // A thread's exit or cancellation unwinds through: it must go on, past this frame, with the guard gone.
        ThreadState.Guard = Guard.Outer;
        throw;
    } catch (...) {
        // An exception ends the step as a fault does (the report's memory may have run out): it must not leave the
        // guard of a frame that is gone.
        ThreadState.Guard = Guard.Outer;
        return false;
    }
    ThreadState.Guard = Guard.Outer;
    return true;
}

bool ThreadIsReportingFault() noexcept {
    return ThreadState.Reporting;
}

namespace {

[[noreturn]] void ExitFromFreshStack(void* Result) {
    pthread_exit(Result);
}

} // namespace

void ExitThreadOnFreshStack(void* Result) noexcept {
    stack_t Current{};
    if (ThreadState.AltStack != nullptr && sigaltstack(nullptr, &Current) == 0 &&
        (Current.ss_flags & (SS_DISABLE | SS_ONSTACK)) == 0) {
        const std::uintptr_t Top =
            (reinterpret_cast<std::uintptr_t>(Current.ss_sp) + Current.ss_size - 64) & ~static_cast<std::uintptr_t>(15);
        // A call from a frame whose return address is 0: the exit's unwinding ends right there.
        asm volatile("mov %0, %%rsp\n\t"
                     "xor %%ebp, %%ebp\n\t"
                     "push $0\n\t"
                     "jmp *%1"
                     :
                     : "r"(Top), "r"(&ExitFromFreshStack), "D"(Result)
                     : "memory");
        __builtin_unreachable();
    }
    syscall(SYS_exit, 0);
    __builtin_unreachable();
}

void SetProcessEndHook(void (*Hook)()) noexcept {
    ProcessEndHook.store(Hook, std::memory_order_release);
}

void EndProcessAfterFault(int Signal) noexcept {
    if (void (*Hook)() = ProcessEndHook.exchange(nullptr); Hook != nullptr)
        Hook();
    _exit(128 + Signal);
}
