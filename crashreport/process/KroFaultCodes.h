#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

// Faults as the report names them. A signal that a fault of the thread's own raised is described by the code the
// report's texts use for the same kind of fault (access violation, division by zero, ...), so that reports read alike
// whatever raised them; a kind without a text of its own is named as Linux names the signal ("Illegal instruction
// (SIGILL)"). A signal that was sent, by another process or by the program itself (raise, abort, a kill of its own),
// faulted nowhere: it is named with who sent it.

inline constexpr std::uint32_t ExceptionAccessViolation = 0xC0000005;
inline constexpr std::uint32_t ExceptionIllegalInstruction = 0xC000001D;
inline constexpr std::uint32_t ExceptionRangeCheck = 0xC000008C; // array bounds exceeded
inline constexpr std::uint32_t ExceptionFloatDenormal = 0xC000008D;
inline constexpr std::uint32_t ExceptionFloatDivideByZero = 0xC000008E;
inline constexpr std::uint32_t ExceptionFloatInexact = 0xC000008F;
inline constexpr std::uint32_t ExceptionFloatInvalid = 0xC0000090;
inline constexpr std::uint32_t ExceptionFloatOverflow = 0xC0000091;
inline constexpr std::uint32_t ExceptionFloatStack = 0xC0000092;
inline constexpr std::uint32_t ExceptionFloatUnderflow = 0xC0000093;
inline constexpr std::uint32_t ExceptionIntDivideByZero = 0xC0000094;
inline constexpr std::uint32_t ExceptionIntOverflow = 0xC0000095;
inline constexpr std::uint32_t ExceptionPrivileged = 0xC0000096;
inline constexpr std::uint32_t ExceptionStackOverflow = 0xC00000FD;
inline constexpr std::uint32_t ExceptionControlC = 0xC000013A;
inline constexpr std::uint32_t ExceptionBreakpoint = 0x80000003;
inline constexpr std::uint32_t ExceptionSingleStep = 0x80000004;
inline constexpr std::uint32_t ExceptionFatalAppExit = 0x40000015; // abort()

// Where a signal came from.
enum class TSignalOrigin {
    Fault,        // the system, for a fault of the thread's own (si_code > 0)
    Program,      // the program itself: raise, abort, a kill or timer of its own
    OtherProcess, // another process: kill, sigqueue or tgkill from outside
};

// What the signal handler saw of a fault: enough to describe and trace it later, outside the handler.
struct TFaultRecord {
    int Signal = 0;
    int SignalCode = 0;              // si_code
    std::uintptr_t Address = 0;      // the faulting instruction
    std::uintptr_t DataAddress = 0;  // the address accessed (si_addr)
    bool Write = false;              // the access was a write
    std::uintptr_t StackPointer = 0; // the thread's stack pointer at the fault
    std::uintptr_t FramePointer = 0;
    bool StackOverflow = false; // the access hit the guard below the thread's stack
    pid_t ThreadId = 0;
    pid_t Sender = 0;            // the process that sent the signal (kill, sigqueue, tgkill); 0 for a fault
    char SenderCommand[16] = {}; // its command name, read when the signal came; empty when unreadable
};

TSignalOrigin FaultOrigin(const TFaultRecord& Fault) noexcept;

// The code for a fault.
std::uint32_t FaultExceptionCode(const TFaultRecord& Fault) noexcept;

// The message for an exception code; an access violation is described by AccessViolationText.
// ModuleFileName is the file (without folder) of the module holding the faulting instruction, empty when the
// instruction lies outside any module.
std::string ExceptionCodeText(std::uint32_t Code, const TFaultRecord& Fault, const std::string& ModuleFileName);

// The message for a signal that stopped a thread: a fault's by its code (above); a sent signal's as "Signal SIGSEGV
// (Segmentation fault) sent by process 1234 (bash)" (the command name only when it could be read) or "... raised by
// the program itself".
std::string FaultText(const TFaultRecord& Fault, const std::string& ModuleFileName);

// "SIGSEGV"; "signal 40" for one without a name.
std::string SignalName(int Signal);
// As Linux describes the signal: "Segmentation fault"; "Unknown signal 40" for one it does not.
std::string SignalDescription(int Signal);

// "Access violation at address $... in module '...'. Read of address $..." (or "Access Violation" without a module).
std::string AccessViolationText(std::uintptr_t Address, const std::string& ModuleFileName, bool Write,
                                std::uintptr_t DataAddress);
