#pragma once

#include <cstdint>
#include <vector>

// What the stack tracer asks of the instruction decoder: single instructions (is the value on the stack really behind
// a call, which call) and whole functions (their code areas and the calls and jumps that leave them). The tracer sees
// the decoder only through this interface, so that its steps can run against the real decoder or, in tests, a stand-in.

struct TTraceInstruction {
    bool Decoded = false;
    bool IsCall = false;
    bool IsJump = false;
    std::uintptr_t Start = 0;
    std::uintptr_t Next = 0;   // the address after the instruction
    std::uintptr_t Target = 0; // the branch target when known, 0 otherwise
};

struct TTraceArea {
    std::uintptr_t Begin = 0;
    std::uintptr_t End = 0; // last byte
    bool CaseTable = false; // a table of jump targets, not code
};

struct TTraceBranch {
    bool IsCall = false;
    std::uintptr_t Start = 0;
    std::uintptr_t Next = 0;
    std::uintptr_t Target = 0; // 0 for an open branch
};

// A function as the flow analysis found it. A function without extent (no areas) is a stand-in made for an address
// that could not be analysed, such as a crash in unreadable memory.
struct TTraceFunctionInfo {
    bool Succeeded = false;
    std::uintptr_t Start = 0;
    std::uintptr_t Lowest = 0;
    std::uint64_t Extent = 0;
    std::vector<TTraceArea> Areas;
    std::vector<TTraceBranch> External; // calls and jumps that leave the function, with their targets
    std::vector<TTraceBranch> Open;     // calls and jumps whose target the analysis could not tell
};

class TTraceDecoder {
public:
    virtual ~TTraceDecoder() = default;
    // Decodes the instruction at Address; false for unreadable or undefined code.
    virtual bool Decode(std::uintptr_t Address, TTraceInstruction& Instruction) const = 0;
    // Follows every branch of the function that starts at Address; false when it is no analysable code.
    virtual bool Analyze(std::uintptr_t Address, TTraceFunctionInfo& Function) const = 0;
};

// The decoder the tracer uses: the one set by SetTraceDecoder, else the disassembler.
const TTraceDecoder* TraceDecoder() noexcept;
// Replaces the decoder (tests); null returns to the disassembler.
void SetTraceDecoder(const TTraceDecoder* Decoder) noexcept;
