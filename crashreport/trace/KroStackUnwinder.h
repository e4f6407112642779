#pragma once

#include "KroTraceModules.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Steps from frame to frame through the unwind tables (.eh_frame) that compilers write for nearly all code of the
// system, so that frames in code without frame pointers are found exactly and old return addresses left in a frame's
// stack space are never taken for calls. The stepping itself is the system's unwinder library (libunwind), loaded at
// start-up into a scope of its own, whose every read of memory and registers comes back here: memory through the safe
// read (the stack from the tracer's copy), modules and their tables from the tracer's module table. While unwinding,
// nothing calls the loader and nothing allocates through the C library (the unwinder keeps what it needs in memory it
// maps itself), and a budget of reads bounds the work on damaged tables. Where a frame lies in code without tables,
// or the tables lead nowhere sound, unwinding stops and the tracer scans the stack above.

// Where unwinding starts: the registers of code where a thread stands (a fault, a paused thread), or of a call's
// return (the tracer's own caller).
struct TUnwindStart {
    std::uintptr_t InstructionPointer = 0;
    std::uintptr_t StackPointer = 0; // 0: unknown, nothing is unwound
    std::uintptr_t FramePointer = 0;
    bool HasFramePointer = false;
    const std::uint64_t* General = nullptr; // every general register, in the order of the kernel's signal frame
    bool ReturnAddress = false;             // InstructionPointer is a return address, not where code stood
};

struct TUnwoundFrame {
    std::uintptr_t Address = 0;       // a return address, or (AtInstruction) where the code stood
    std::uintptr_t Slot = 0;          // where the return address lies on the stack; 0 for none
    std::uintptr_t FunctionStart = 0; // the start of the code its unwind entry covers; 0 when unknown
    bool AtInstruction = false;       // where code stood: the start of a fault's trace, or code a signal interrupted
    bool SignalReturn = false;        // the kernel's return from a signal handler: no call of the program
};

struct TUnwound {
    std::vector<TUnwoundFrame> Frames; // newest first; the first one is where unwinding started
    // The stack below this address holds the frames found and nothing else of the thread's calls.
    std::uintptr_t Covered = 0;
    bool ReachedEnd = false;         // the outermost frame was reached: nothing above it is a call
    std::uintptr_t FramePointer = 0; // the frame pointer's value in the last frame found, when known
    bool HasFramePointer = false;
};

class TStackUnwinder final {
public:
    explicit TStackUnwinder(TTraceModules& Modules) noexcept : Modules(Modules) {}
    TStackUnwinder(const TStackUnwinder&) = delete;
    TStackUnwinder& operator=(const TStackUnwinder&) = delete;

    // Memory in [Begin, End) is read from Copy, the tracer's copy of it; any other memory safely.
    void ReadStackFrom(std::uintptr_t Begin, std::uintptr_t End, const std::uint64_t* Copy) noexcept;

    // Whether the unwinder library was loaded at start-up; without it nothing is unwound.
    static bool Available() noexcept;

    // Unwinds from Start as far as the tables lead. Result holds at least the start frame.
    void Unwind(const TUnwindStart& Start, TUnwound& Result);
    // The code range [Start, End) of the unwind entry that holds Address; false for none.
    bool EntryOf(std::uintptr_t Address, std::uintptr_t& Start, std::uintptr_t& End);

    // Called back by the unwinder library.
    bool ReadWord(std::uintptr_t Address, std::uint64_t& Value) noexcept;
    bool ReadRegister(int Register, std::uint64_t& Value) const noexcept;
    // The module whose unwind table covers Address: its table, and the code range the table may answer for.
    bool TableOf(std::uintptr_t Address, const TTraceModule*& Module);
    void NoteMissingEntry() noexcept { ++MissingEntries; }

private:
    static constexpr std::size_t CacheLines = 4;
    static constexpr std::size_t LineBytes = 256;

    TTraceModules& Modules;
    std::uintptr_t StackBegin = 0;
    std::uintptr_t StackEnd = 0;
    const std::uint64_t* Stack = nullptr;
    TUnwindStart Registers;
    std::uint64_t ReadsLeft = 0;
    bool Unwinding = false; // the read budget is the whole unwinding's
    std::uint64_t MissingEntries = 0;
    std::uintptr_t CacheBase[CacheLines] = {};
    bool CacheValid[CacheLines] = {};
    std::size_t NextLine = 0;
    alignas(8) std::uint8_t Cache[CacheLines][LineBytes] = {};
};

// Whether the code at Address is the kernel's return from a signal handler ("mov rax, 15 (rt_sigreturn); syscall"),
// where a handler's return address points and above which the interrupted thread's registers lie.
bool IsSignalReturn(std::uintptr_t Address) noexcept;
