#include "KroDisAsm.h"

#include "KroDisAsmDecoder.h"
#include "KroDisAsmFlow.h"
#include "KroDisAsmListing.h"
#include "KroDisAsmSlots.h"
#include "KroDisAsmText.h"

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
