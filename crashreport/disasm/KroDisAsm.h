#pragma once

#include "KroDisAsmReader.h"
#include "KroDisAsmTypes.h"

#include <cstdint>
#include <string>

// The disassembler: single instructions (the code hooks, the stack tracer), whole functions analysed from their
// entry point (the stack tracer), and the listing of a function with labels around the faulting instruction (the
// bug report's disassembly section).
class TKroDisAssembler final {
public:
    // Code read through Reader, decoded in Mode. The reader is borrowed.
    TKroDisAssembler(const TKroCodeReader& Reader, TKroCpuMode Mode) : Reader(Reader), Mode(Mode) {}

    // Decodes one instruction and writes its text. With register slots, the instruction's effect on them is
    // applied; with Resolve, a call or jump through a register (or through memory at a register's known value) is
    // resolved from the slots. Returns Info.Decoded.
    bool DecodeInstruction(std::uint64_t Address, std::string& Text, TRegisterSlots* Slots, TCodeInfo& Info,
                           bool Resolve) const;
    // The same without the text.
    bool DecodeInstruction(std::uint64_t Address, TRegisterSlots* Slots, bool Resolve, TCodeInfo& Info) const;
    // The same without register slots.
    bool DecodeInstruction(std::uint64_t Address, TCodeInfo& Info) const;

    // Follows every branch of the function at Address and collects its code areas, case tables, and the calls and
    // jumps that leave it.
    void AnalyzeFunction(std::uint64_t Address, TFunctionInfo& Info) const;

    // Analyses the function and lists it: labels, case tables, and "»" on the line of ExceptAddress; with
    // ContextLines above 0 only that many lines around the exception line are kept. An empty text when the
    // function cannot be analysed.
    void ParseFunction(std::uint64_t FunctionAddress, std::string& Text, std::uint64_t ExceptAddress,
                       std::int32_t ContextLines, bool FullLabels, TFunctionInfo& Info) const;

    const TKroCodeReader& CodeReader() const { return Reader; }
    TKroCpuMode CpuMode() const { return Mode; }

private:
    const TKroCodeReader& Reader;
    TKroCpuMode Mode;
};
