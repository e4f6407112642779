#include "KroDisAsm.h"

#include "KroDisAsmDecoder.h"
#include "KroDisAsmFlow.h"
#include "KroDisAsmListing.h"
#include "KroDisAsmLiveReader.h"
#include "KroDisAsmSlots.h"
#include "KroDisAsmText.h"

namespace {

const TKroDisAssembler& Live() {
    static const TKroLiveCodeReader Reader;
    static const TKroDisAssembler DisAssembler(Reader, KroNativeCpuMode);
    return DisAssembler;
}

} // namespace

bool TKroDisAssembler::DecodeInstruction(std::uint64_t Address, std::string& Text, TRegisterSlots* Slots,
                                         TCodeInfo& Info, bool Resolve) const {
    TKroInstruction Instruction;
    const TKroDecoder Decoder(Reader, Mode);
    Decoder.Decode(Address, Instruction);
    if (Slots != nullptr && Resolve)
        Instruction.Info.Decoded = KroResolveThroughSlots(Reader, Instruction, *Slots);
    Text.clear();
    TKroTextWriter(Reader).Append(Text, Instruction);
    if (Slots != nullptr)
        KroUpdateSlots(Instruction, *Slots);
    Info = Instruction.Info;
    return Info.Decoded;
}

bool TKroDisAssembler::DecodeInstruction(std::uint64_t Address, TRegisterSlots* Slots, bool Resolve,
                                         TCodeInfo& Info) const {
    TKroInstruction Instruction;
    const TKroDecoder Decoder(Reader, Mode);
    Decoder.Decode(Address, Instruction);
    if (Slots != nullptr && Resolve)
        Instruction.Info.Decoded = KroResolveThroughSlots(Reader, Instruction, *Slots);
    if (Slots != nullptr)
        KroUpdateSlots(Instruction, *Slots);
    Info = Instruction.Info;
    return Info.Decoded;
}

bool TKroDisAssembler::DecodeInstruction(std::uint64_t Address, TCodeInfo& Info) const {
    return DecodeInstruction(Address, nullptr, false, Info);
}

void TKroDisAssembler::AnalyzeFunction(std::uint64_t Address, TFunctionInfo& Info) const {
    const TKroDecoder Decoder(Reader, Mode);
    TKroFunctionAnalysis(Decoder).Run(Address, Info);
}

void TKroDisAssembler::ParseFunction(std::uint64_t FunctionAddress, std::string& Text, std::uint64_t ExceptAddress,
                                     std::int32_t ContextLines, bool FullLabels, TFunctionInfo& Info) const {
    const TKroDecoder Decoder(Reader, Mode);
    TKroFunctionAnalysis(Decoder).Run(FunctionAddress, Info);
    TKroFunctionListing(Decoder).Compose(Info, ExceptAddress, ContextLines, FullLabels, Text);
}

// In live memory address 0 is nil: an invalid record that does not move on.
bool DecodeInstruction(std::uint64_t Address, std::string& Text, TRegisterSlots* Slots, TCodeInfo& Info, bool Resolve) {
    if (Address == 0) {
        Info = TCodeInfo{};
        Text.clear();
        return false;
    }
    return Live().DecodeInstruction(Address, Text, Slots, Info, Resolve);
}

bool DecodeInstruction(std::uint64_t Address, TRegisterSlots* Slots, bool Resolve, TCodeInfo& Info) {
    if (Address == 0) {
        Info = TCodeInfo{};
        return false;
    }
    return Live().DecodeInstruction(Address, Slots, Resolve, Info);
}

bool DecodeInstruction(std::uint64_t Address, TCodeInfo& Info) {
    return DecodeInstruction(Address, nullptr, false, Info);
}

void AnalyzeFunction(std::uint64_t Address, TFunctionInfo& Info) {
    Live().AnalyzeFunction(Address, Info);
}

void ParseFunction(std::uint64_t FunctionAddress, std::string& Text, std::uint64_t ExceptAddress,
                   std::int32_t ContextLines, bool FullLabels, TFunctionInfo& Info) {
    Live().ParseFunction(FunctionAddress, Text, ExceptAddress, ContextLines, FullLabels, Info);
}
