#pragma once

#include "KroDisAsmOpcodes.h"
#include "KroDisAsmTypes.h"

#include <array>
#include <cstdint>

// One decoded instruction in full: what the code-info record says, plus the operands the text is made from.

enum class TKroOperandKind : std::uint8_t { None, Register, Memory, Immediate, Relative, FarPointer };

enum class TKroRegClass : std::uint8_t {
    Gpr,
    Segment,
    Control,
    Debug,
    Test,
    Mmx,
    Xmm,
    Ymm,
    Zmm,
    Fpu,
    Mask,
    Bound,
    Tile
};

constexpr std::int8_t KroNoRegister = -1;
constexpr std::int8_t KroRipRegister = 16; // base of a RIP-relative memory operand

struct TKroOperand {
    TKroOperandKind Kind = TKroOperandKind::None;
    TKroRegClass RegClass = TKroRegClass::Gpr;
    std::uint8_t Reg = 0;   // register number
    bool HighByte = false;  // ah, ch, dh, bh
    std::uint16_t Size = 0; // operand size in bytes (0: unsized)
    // Memory operands.
    std::int8_t Base = KroNoRegister;  // general register, or KroRipRegister
    std::int8_t Index = KroNoRegister; // general register (vector register with VectorIndex)
    std::uint8_t Scale = 1;
    bool VectorIndex = false;
    TKroRegClass IndexClass = TKroRegClass::Gpr;
    std::int64_t Displacement = 0;
    std::uint8_t AddressSize = 0; // 2, 4 or 8 bytes
    std::int8_t Segment = -1;     // segment override shown (0 es ... 5 gs), -1 none
    bool AbsoluteKnown = false;   // Address holds the operand's absolute address (RIP-relative or no registers)
    std::uint64_t Address = 0;
    std::uint8_t Broadcast = 0; // EVEX {1toN}
    std::uint8_t Rounding = 0;  // EVEX on the r/m register: 1-4 "{rn-sae}" to "{rz-sae}", 5 "{sae}"
    // Immediates, relative targets and far pointers.
    std::uint64_t Value = 0;    // the immediate (sign-extended when Signed), the absolute target, the offset
    bool Signed = false;        // written with a sign
    std::int64_t Relative = 0;  // relative targets: the displacement
    std::uint16_t Selector = 0; // far pointers
    // Where the operand's immediate or displacement sits in the code, and its width.
    std::uint64_t FieldAddress = 0;
    std::uint8_t FieldSize = 0;
};

enum class TKroEncoding : std::uint8_t { Legacy, Vex, Evex, Xop };

struct TKroInstruction {
    TCodeInfo Info;
    TKroCpuMode Mode = KroNativeCpuMode;
    std::uint8_t Length = 0;
    std::array<std::uint8_t, 15> Bytes{};
    std::uint8_t BytesRead = 0; // bytes that could be read, for the listing of undecodable code
    char Mnemonic[32] = {};
    std::array<TKroOperand, 5> Operands{};
    std::uint8_t OperandCount = 0;
    std::uint64_t Flags = 0;    // TKroFlag of the entry
    std::uint16_t Clobbers = 0; // TKroClobber of the entry
    std::uint8_t OperandSize = 4;
    std::uint8_t AddressSize = 4;
    TKroEncoding Encoding = TKroEncoding::Legacy;
    int Map = 0; // 0 one-byte, 1 0F, 2 0F 38, 3 0F 3A; VEX/EVEX/XOP map numbers as encoded
    // Prefixes that are printed in front of the mnemonic.
    bool Lock = false;
    bool Rep = false;     // F3 on a string instruction or a one-byte opcode
    bool Repne = false;   // F2 likewise
    bool Bnd = false;     // F2 on a branch
    bool NoTrack = false; // 3E on an indirect branch
    // EVEX masking.
    std::uint8_t MaskRegister = 0;
    bool Zeroing = false;
};

// Writes the names of the condition codes by the low four bits of an opcode.
const char* KroConditionName(unsigned Code);
