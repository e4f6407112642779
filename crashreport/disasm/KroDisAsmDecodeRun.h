#pragma once

#include "KroDisAsmInstruction.h"
#include "KroDisAsmReader.h"

// The work of one decode (TKroDecoder's inside): the bytes read so far, the prefixes met, the opcode's entry and the
// operands being built. The prefixes and the opcode maps are in KroDisAsmDecodeRun.cpp, ModRM, SIB, the operands and
// the mnemonic in KroDisAsmOperands.cpp.
class TKroDecodeRun final {
public:
    TKroDecodeRun(const TKroCodeReader& Reader, TKroCpuMode Mode, std::uint64_t Address, TKroInstruction& Out)
        : Reader(Reader), Mode64(Mode == TKroCpuMode::Bits64), Start(Address), Out(Out) {}

    void Run();

private:
    // Byte access.
    std::uint8_t Peek(std::size_t Ahead = 0) const { return Pos + Ahead < Available ? Buffer[Pos + Ahead] : 0; }
    bool Has(std::size_t Ahead = 0) const { return Pos + Ahead < Available; }
    std::uint8_t Next() {
        if (Pos < Available)
            return Buffer[Pos++];
        Fault = true;
        return 0;
    }
    std::uint64_t NextValue(unsigned Bytes) {
        std::uint64_t Value = 0;
        for (unsigned I = 0; I < Bytes; ++I)
            Value |= static_cast<std::uint64_t>(Next()) << (8 * I);
        return Value;
    }
    static std::int64_t SignExtend(std::uint64_t Value, unsigned Bytes) {
        if (Bytes >= 8)
            return static_cast<std::int64_t>(Value);
        const unsigned Shift = 64 - 8 * Bytes;
        return static_cast<std::int64_t>(Value << Shift) >> Shift;
    }

    bool ReadPrefixes();
    bool ReadOpcode();
    bool ReadVex(std::uint8_t Kind);
    bool ResolveEntry();
    bool Select(TKroOpcodeEntry& Entry);
    void EnsureModRm() {
        if (!HasModRm) {
            ModRm = Next();
            HasModRm = true;
        }
    }
    int Mod() const { return ModRm >> 6; }
    int RegField() const { return (ModRm >> 3) & 7; }
    int RmField() const { return ModRm & 7; }
    int MandatoryIndex() const;
    bool RexW() const { return Encoding == TKroEncoding::Legacy ? (Rex & 8) != 0 : VexW; }
    void ComputeSizes();
    unsigned SizeBytes(TKroSize Size) const;
    bool ReadAddress();
    bool BuildOperands();
    bool BuildOperand(const TKroArg& Arg, TKroOperand& Operand);
    void MemoryOperand(TKroOperand& Operand, unsigned Size) const;
    bool VectorIndexOperand(TKroOperand& Operand, unsigned Size, unsigned IndexWidth) const;
    void MarkRounding();
    void GprOperand(TKroOperand& Operand, unsigned Number, unsigned Size) const;
    void VectorOperand(TKroOperand& Operand, unsigned Number, unsigned Size) const;
    bool ComposeName();
    void Finish();
    void LoneRex();

    const TKroCodeReader& Reader;
    const bool Mode64;
    const std::uint64_t Start;
    TKroInstruction& Out;

    std::uint8_t Buffer[15] = {};
    std::size_t Available = 0;
    std::size_t Pos = 0;
    bool Fault = false;

    // Prefixes.
    bool Op66 = false;
    bool Ad67 = false;
    std::uint8_t RepPrefix = 0; // the last F2 or F3
    int SegmentPrefix = -1;
    bool Has3E = false;
    std::uint8_t Rex = 0;
    bool MandatoryUsed = false; // a 66, F2 or F3 prefix selected the form
    bool Used66 = false;        // the 66 prefix selected the form (it is no operand-size prefix then)

    // VEX, EVEX and XOP.
    TKroEncoding Encoding = TKroEncoding::Legacy;
    int Map = 0;
    int VexPp = 0;
    bool VexW = false;
    int VexL = 0; // 0, 1, 2 (EVEX L'L)
    unsigned Vvvv = 0;
    bool VexR = false, VexX = false, VexB = false, EvexR2 = false, EvexV2 = false;
    bool EvexBroadcast = false;
    bool FromLegacy = false; // a VEX form named after its legacy twin
    bool WantVex = false;    // an EVEX map entry said: the VEX instruction of this opcode

    std::uint8_t Opcode = 0;
    bool HasModRm = false;
    std::uint8_t ModRm = 0;
    TKroOpcodeEntry Entry;

    // Memory operand of the ModRM byte.
    bool HasMemory = false;
    std::int8_t MemBase = KroNoRegister;
    std::int8_t MemIndex = KroNoRegister;
    std::uint8_t MemScale = 1;
    std::int64_t MemDisplacement = 0;
    std::size_t DisplacementPos = 0;
    std::uint8_t DisplacementSize = 0;
    bool RipRelative = false;
    bool HasSib = false;
    std::uint8_t Sib = 0;
    int RmOperand = -1; // the operand the ModRM r/m field names in register form

    unsigned OperandSize = 4;
    unsigned AddressSize = 4;
    unsigned VectorLength = 16;
    std::uint8_t ImmediateForL = 0; // the is4 byte once read
    bool ReadL = false;
    std::uint8_t Suffix3DNow = 0;
    bool Wait = false; // fwait before an FPU instruction
};
