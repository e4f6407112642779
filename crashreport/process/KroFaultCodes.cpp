#include "KroFaultCodes.h"

#include "KroStrings.h"

#include <csignal>

namespace {

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
    default:
        return "External exception " + UpperCaseText(IntToHexText(Code));
    }
}
