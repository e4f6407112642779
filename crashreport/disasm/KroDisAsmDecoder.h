#pragma once

#include "KroDisAsmInstruction.h"
#include "KroDisAsmReader.h"

// The table-driven decoder of one instruction: prefixes (legacy, REX, VEX, EVEX, XOP), the opcode maps, ModRM,
// SIB, displacement and immediates, into a TKroInstruction. It reads the code through a byte reader, so live
// memory and file buffers decode alike, and never faults on unreadable or undefined code.
class TKroDecoder final {
public:
    TKroDecoder(const TKroCodeReader& Reader, TKroCpuMode Mode) : Reader(Reader), Mode(Mode) {}

    // Decodes the instruction at Address. Returns Out.Info.Decoded. An undefined or unreadable instruction has
    // Length = the bytes looked at (at least 1) and NextInstruction behind them.
    bool Decode(std::uint64_t Address, TKroInstruction& Out) const;

    const TKroCodeReader& CodeReader() const { return Reader; }
    TKroCpuMode CpuMode() const { return Mode; }

private:
    const TKroCodeReader& Reader;
    TKroCpuMode Mode;
};

// Where the stub at Address jumps to when it is one (an unconditional jump with a known target, after an endbr
// landing pad): the import stubs calls go through. 0 otherwise.
std::uint64_t KroStubTarget(const TKroDecoder& Decoder, std::uint64_t Address);
