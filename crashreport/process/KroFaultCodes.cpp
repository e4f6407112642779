#include "KroFaultCodes.h"

#include "KroStrings.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

struct TSignalNames {
    const char* Name;
    const char* Description;
};

// The standard signals, by number, with the C library's descriptions.
constexpr TSignalNames StandardSignals[] = {
    {nullptr, nullptr},
    {"SIGHUP", "Hangup"},
    {"SIGINT", "Interrupt"},
    {"SIGQUIT", "Quit"},
    {"SIGILL", "Illegal instruction"},
    {"SIGTRAP", "Trace/breakpoint trap"},
    {"SIGABRT", "Aborted"},
    {"SIGBUS", "Bus error"},
    {"SIGFPE", "Floating point exception"},
    {"SIGKILL", "Killed"},
    {"SIGUSR1", "User defined signal 1"},
    {"SIGSEGV", "Segmentation fault"},
    {"SIGUSR2", "User defined signal 2"},
    {"SIGPIPE", "Broken pipe"},
    {"SIGALRM", "Alarm clock"},
    {"SIGTERM", "Terminated"},
    {"SIGSTKFLT", "Stack fault"},
    {"SIGCHLD", "Child exited"},
    {"SIGCONT", "Continued"},
    {"SIGSTOP", "Stopped (signal)"},
    {"SIGTSTP", "Stopped"},
    {"SIGTTIN", "Stopped (tty input)"},
    {"SIGTTOU", "Stopped (tty output)"},
    {"SIGURG", "Urgent I/O condition"},
    {"SIGXCPU", "CPU time limit exceeded"},
    {"SIGXFSZ", "File size limit exceeded"},
    {"SIGVTALRM", "Virtual timer expired"},
    {"SIGPROF", "Profiling timer expired"},
    {"SIGWINCH", "Window changed"},
    {"SIGIO", "I/O possible"},
    {"SIGPWR", "Power failure"},
    {"SIGSYS", "Bad system call"},
};
constexpr int StandardSignalCount = static_cast<int>(sizeof StandardSignals / sizeof StandardSignals[0]);

// A kind of fault without a text of its own: as Linux names the signal.
std::string SignalFaultText(int Signal) {
    return SignalDescription(Signal) + " (" + SignalName(Signal) + ")";
}

// "$" and upper-case hexadecimal digits without leading zeros.
std::string UpperHexAddress(std::uintptr_t Address) {
    return "$" + UpperCaseText(Int64ToHexText(Address));
}

} // namespace

std::uint32_t FaultExceptionCode(const TFaultRecord& Fault) noexcept {
    switch (Fault.Signal) {
    case SIGSEGV:
    case SIGBUS:
        return Fault.StackOverflow ? ExceptionStackOverflow : ExceptionAccessViolation;
    case SIGFPE:
        switch (Fault.SignalCode) {
        case FPE_INTDIV:
            return ExceptionIntDivideByZero;
        case FPE_INTOVF:
            return ExceptionIntOverflow;
        case FPE_FLTDIV:
            return ExceptionFloatDivideByZero;
        case FPE_FLTOVF:
            return ExceptionFloatOverflow;
        case FPE_FLTUND:
            return ExceptionFloatUnderflow;
        case FPE_FLTRES:
            return ExceptionFloatInexact;
        case FPE_FLTSUB:
            return ExceptionRangeCheck;
        default:
            return ExceptionFloatInvalid;
        }
    case SIGILL:
        return Fault.SignalCode == ILL_PRVOPC || Fault.SignalCode == ILL_PRVREG ? ExceptionPrivileged
                                                                                : ExceptionIllegalInstruction;
    case SIGTRAP:
        return Fault.SignalCode == TRAP_TRACE ? ExceptionSingleStep : ExceptionBreakpoint;
    case SIGABRT:
        return ExceptionFatalAppExit;
    case SIGINT:
        return ExceptionControlC;
    default:
        return ExceptionAccessViolation;
    }
}

std::string AccessViolationText(std::uintptr_t Address, const std::string& ModuleFileName, bool Write,
                                std::uintptr_t DataAddress) {
    if (ModuleFileName.empty())
        return "Access Violation";
    return "Access violation at address " + UpperHexAddress(Address) + " in module '" + ModuleFileName + "'. " +
           (Write ? "Write" : "Read") + " of address " + UpperHexAddress(DataAddress);
}

std::string ExceptionCodeText(std::uint32_t Code, const TFaultRecord& Fault, const std::string& ModuleFileName) {
    switch (Code) {
    case ExceptionAccessViolation:
        return AccessViolationText(Fault.Address, ModuleFileName, Fault.Write, Fault.DataAddress);
    case ExceptionRangeCheck:
        return "Range check error";
    case ExceptionFloatDenormal:
    case ExceptionFloatUnderflow:
        return "Floating point underflow";
    case ExceptionFloatDivideByZero:
        return "Floating point division by zero";
    case ExceptionFloatInexact:
    case ExceptionFloatInvalid:
    case ExceptionFloatStack:
        return "Invalid floating point operation";
    case ExceptionFloatOverflow:
        return "Floating point overflow";
    case ExceptionIntDivideByZero:
        return "Division by zero";
    case ExceptionIntOverflow:
        return "Integer overflow";
    case ExceptionPrivileged:
        return "Privileged instruction";
    case ExceptionStackOverflow:
        return "Stack overflow";
    case ExceptionControlC:
        return "Control-C hit";
    case ExceptionIllegalInstruction:
        return SignalFaultText(SIGILL);
    case ExceptionBreakpoint:
    case ExceptionSingleStep:
        return SignalFaultText(SIGTRAP);
    case ExceptionFatalAppExit:
        return SignalFaultText(SIGABRT);
    default:
        return "External exception " + UpperCaseText(IntToHexText(Code));
    }
}

TSignalOrigin FaultOrigin(const TFaultRecord& Fault) noexcept {
    if (Fault.SignalCode > 0)
        return TSignalOrigin::Fault;
    // raise() and abort() send the signal to the own thread: a sender like any other, but the program itself.
    if (Fault.Sender > 0 && Fault.Sender != getpid())
        return TSignalOrigin::OtherProcess;
    return TSignalOrigin::Program;
}

std::string FaultText(const TFaultRecord& Fault, const std::string& ModuleFileName) {
    switch (FaultOrigin(Fault)) {
    case TSignalOrigin::Fault:
        break;
    case TSignalOrigin::Program:
        return "Signal " + SignalName(Fault.Signal) + " (" + SignalDescription(Fault.Signal) +
               ") raised by the program itself";
    case TSignalOrigin::OtherProcess: {
        std::string Text = "Signal " + SignalName(Fault.Signal) + " (" + SignalDescription(Fault.Signal) +
                           ") sent by process " + std::to_string(Fault.Sender);
        const std::string Command(Fault.SenderCommand, strnlen(Fault.SenderCommand, sizeof Fault.SenderCommand));
        if (!Command.empty())
            Text += " (" + Command + ")";
        return Text;
    }
    }
    return ExceptionCodeText(FaultExceptionCode(Fault), Fault, ModuleFileName);
}

std::string SignalName(int Signal) {
    if (Signal > 0 && Signal < StandardSignalCount)
        return StandardSignals[Signal].Name;
    if (Signal >= SIGRTMIN && Signal <= SIGRTMAX)
        return Signal == SIGRTMIN ? "SIGRTMIN" : "SIGRTMIN+" + std::to_string(Signal - SIGRTMIN);
    return "signal " + std::to_string(Signal);
}

std::string SignalDescription(int Signal) {
    if (Signal > 0 && Signal < StandardSignalCount)
        return StandardSignals[Signal].Description;
    if (Signal >= SIGRTMIN && Signal <= SIGRTMAX)
        return "Real-time signal " + std::to_string(Signal - SIGRTMIN);
    return "Unknown signal " + std::to_string(Signal);
}
