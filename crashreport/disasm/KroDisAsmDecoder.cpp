#include "KroDisAsmDecoder.h"

#include "KroDisAsmDecodeRun.h"

#include <cstring>

bool TKroDecoder::Decode(std::uint64_t Address, TKroInstruction& Out) const {
    Out = TKroInstruction{};
    Out.Mode = Mode;
    Out.Info.InstructionStart = Address;
    TKroDecodeRun Run(Reader, Mode, Address, Out);
    Run.Run();
    return Out.Info.Decoded;
}

std::uint64_t KroStubTarget(const TKroDecoder& Decoder, std::uint64_t Address) {
    TKroInstruction Stub;
    if (!Decoder.Decode(Address, Stub))
        return 0;
    if (Stub.Flags & KfNop && Stub.Map == 1 && std::strncmp(Stub.Mnemonic, "endbr", 5) == 0 &&
        !Decoder.Decode(Stub.Info.NextInstruction, Stub))
        return 0;
    if (!Stub.Info.IsJump || Stub.Info.IsCall || (Stub.Flags & KfCond) != 0)
        return 0;
    return Stub.Info.TargetAddress;
}
