#include "KroTraceDecoder.h"

#include "KroDisAsm.h"
#include "KroLiveDisAsm.h"

#include <atomic>

namespace {

std::atomic<const TTraceDecoder*> Replacement{nullptr};

// The disassembler on the code of this process.
class TDisAsmTraceDecoder final : public TTraceDecoder {
public:
    bool Decode(std::uintptr_t Address, TTraceInstruction& Instruction) const override {
        TCodeInfo Info;
        Instruction = TTraceInstruction{};
        if (!DecodeInstruction(Address, Info))
            return false;
        Instruction.Decoded = true;
        Instruction.IsCall = Info.IsCall;
        Instruction.IsJump = Info.IsJump;
        Instruction.Start = static_cast<std::uintptr_t>(Info.InstructionStart);
        Instruction.Next = static_cast<std::uintptr_t>(Info.NextInstruction);
        Instruction.Target = static_cast<std::uintptr_t>(Info.TargetAddress);
        return true;
    }

    bool Analyze(std::uintptr_t Address, TTraceFunctionInfo& Function) const override {
        TFunctionInfo Info;
        AnalyzeFunction(Address, Info);
        Function = TTraceFunctionInfo{};
        if (!Info.Succeeded)
            return false;
        Function.Succeeded = true;
        Function.Start = Address;
        Function.Lowest = static_cast<std::uintptr_t>(Info.LowestAddress);
        Function.Extent = Info.Extent;
        Function.Areas.reserve(Info.Areas.size());
        for (const TCodeArea& Area : Info.Areas)
            Function.Areas.push_back(TTraceArea{static_cast<std::uintptr_t>(Area.Begin),
                                                static_cast<std::uintptr_t>(Area.End), Area.CaseTable});
        Function.External.reserve(Info.ExternalBranches.size());
        for (const TExternalBranch& Branch : Info.ExternalBranches)
            Function.External.push_back(TTraceBranch{Branch.IsCall,
                                                     static_cast<std::uintptr_t>(Branch.InstructionStart),
                                                     static_cast<std::uintptr_t>(Branch.NextInstruction),
                                                     static_cast<std::uintptr_t>(Branch.TargetAddress)});
        Function.Open.reserve(Info.OpenBranches.size());
        for (const TOpenBranch& Branch : Info.OpenBranches)
            Function.Open.push_back(TTraceBranch{Branch.IsCall, static_cast<std::uintptr_t>(Branch.InstructionStart),
                                                 static_cast<std::uintptr_t>(Branch.NextInstruction), 0});
        return true;
    }
};

// Never destroyed: a report may be the first to need it, and a static destroyed at exit is entered in the C library's
// exit list under a lock that a thread the report paused may hold.
const TTraceDecoder* BuiltInDecoder() noexcept {
    static const TDisAsmTraceDecoder* const Decoder = new TDisAsmTraceDecoder;
    return Decoder;
}

} // namespace

const TTraceDecoder* TraceDecoder() noexcept {
    const TTraceDecoder* Decoder = Replacement.load(std::memory_order_acquire);
    return Decoder != nullptr ? Decoder : BuiltInDecoder();
}

void SetTraceDecoder(const TTraceDecoder* Decoder) noexcept {
    Replacement.store(Decoder, std::memory_order_release);
}
