#include "KroLiveDisAsm.h"

#include "KroLiveCodeReader.h"

namespace {

// Never destroyed: a report may be the first to need them, and a static destroyed at exit is entered in the C
// library's exit list under a lock that a thread the report paused may hold.
const TKroDisAssembler& Live() {
    static const TKroLiveCodeReader* const Reader = new TKroLiveCodeReader;
    static const TKroDisAssembler* const DisAssembler = new TKroDisAssembler(*Reader, KroNativeCpuMode);
    return *DisAssembler;
}

} // namespace

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
