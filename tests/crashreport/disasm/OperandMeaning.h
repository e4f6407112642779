#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An instruction's text reduced to what it says, so that objdump's Intel-syntax text and ours compare operand by
// operand wherever they differ only in notation. Taken as notation, and nothing else:
// - letter case, blanks, "0x" against "$" and decimal numbers;
// - objdump's symbol names ("<...>") and comments ("# ..."), our comments ("  ; ...");
// - the operands objdump spells out where the instruction names them implicitly (string instructions, xlat), our
//   mnemonic carrying their size letter instead;
// - objdump's "riz"/"eiz" (a SIB byte without index), "*1" on an index without base (the same address as that
//   register as base), the default data segment "ds:", and in 64-bit code the segments that do nothing there;
// - a RIP-relative operand, which objdump writes as rip plus displacement and names in its comment, and we as the
//   address it reaches (with a 32-bit address size that address wraps at 32 bits, where objdump's comment does not);
// - the size word our text leaves out where the first register operand is as wide as the memory operand, and
//   objdump's "BCST" against our "{1toN}" behind a broadcast element;
// - an immediate we write with a minus sign where objdump writes it unsigned at the operand's width, and "st(0)"
//   against "st".
struct TOperandMeaning {
    enum class TKind { Register, Memory, Immediate, Target, Other };
    TKind Kind = TKind::Other;
    std::string Text;        // the operand as written, for messages
    std::string Name;        // register: its name; other: the text
    std::string Decorations; // "{k1}{z}", "{rn-sae}" and the like, in order
    // Memory operands.
    unsigned Size = 0;        // bytes: as written, or as our text implies it; 0 when unknown
    bool SizeWritten = false; // the size word is there
    bool Broadcast = false;
    std::string Segment;
    std::string Base;
    std::string Index;
    unsigned Scale = 1;
    std::int64_t Displacement = 0;
    bool Absolute = false; // no registers, or RIP-relative: Address holds where it points
    std::uint64_t Address = 0;
    // Immediates and branch targets.
    std::uint64_t Value = 0;
    bool Negative = false; // written with a minus sign
};

struct TInstructionMeaning {
    std::string Mnemonic;
    std::vector<TOperandMeaning> Operands;
    bool Understood = true; // false when the text could not be read as an instruction
};

// objdump's text behind the bytes (prefixes, mnemonic, operands, comment).
TInstructionMeaning ObjdumpMeaning(const std::string& Text, bool Bits64);
// Our text behind the address (prefixes, mnemonic, operands, comment).
TInstructionMeaning OurMeaning(const std::string& Text, bool Bits64);

// Empty when the two say the same; else what differs first: "mnemonic", "operand count", or "operand N" with the
// aspect ("register", "size", "address", "value", ...).
std::string MeaningDifference(const TInstructionMeaning& Objdump, const TInstructionMeaning& Ours);
