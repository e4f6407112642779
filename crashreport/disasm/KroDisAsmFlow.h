#pragma once

#include "KroDisAsmDecoder.h"
#include "KroDisAsmTypes.h"

#include <map>

// The flow analysis of one function: starting at its entry point, it follows every branch inside the function's
// code range, splits the code into areas with the register slots valid at their start, recognises jump tables,
// and collects the calls and jumps that leave the function or whose target is unknown.
class TKroFunctionAnalysis final {
public:
    explicit TKroFunctionAnalysis(const TKroDecoder& Decoder) : Decoder(Decoder) {}

    void Run(std::uint64_t Address, TFunctionInfo& Info);

private:
    // Decodes the instruction at Address with the slots and resolution.
    bool DecodeAt(std::uint64_t Address, const TRegisterSlots& Slots, TKroInstruction& Instruction) const;
    bool AnalyseArea(std::size_t Index);
    bool ContinueAfterSplit(std::size_t& Index, std::uint64_t& Begin, std::uint64_t Address,
                            const TRegisterSlots& Slots);
    bool CaseJump(const TKroInstruction& Instruction, const TRegisterSlots& Slots);
    // Enters a call or jump; true for a call that never returns.
    bool EnterBranch(const TKroInstruction& Instruction, const TRegisterSlots& Before);
    void AddArea(std::uint64_t Begin, std::uint64_t Referrer, const TRegisterSlots& Slots);
    // Decoding from From reaches an instruction that starts at Address.
    bool StartsInstruction(std::uint64_t From, std::uint64_t Address) const;
    bool AddCaseTable(std::uint64_t Table, std::uint32_t Count, std::uint8_t EntrySize, std::uint64_t Base);
    std::size_t NextToAnalyse();
    bool RetryOpenBranches();
    bool StartAfterGap();
    bool StartsOtherFunction(std::uint64_t Address) const;
    void Finish();
    void Fail(std::uint64_t Address);

    const TKroDecoder& Decoder;
    TFunctionInfo* Info = nullptr;
    std::uint64_t RangeBegin = 0;
    std::uint64_t RangeEnd = 0;
    std::map<std::uint64_t, std::size_t> ByBegin;       // area index by start address
    std::size_t Decoded = 0;                            // instructions decoded so far
    std::size_t Cursor = 0;                             // areas below this index are analysed
    std::size_t GapArea = static_cast<std::size_t>(-1); // the area started after a gap, while it is analysed
};
