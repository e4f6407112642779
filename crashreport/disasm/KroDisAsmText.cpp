#include "KroDisAsmText.h"

#include "KroDisAsmDecoder.h"
#include "KroDisAsmFormat.h"

namespace {

constexpr const char* Gpr64[16] = {"rax", "rcx", "rdx", "rbx", "rsp", "rbp", "rsi", "rdi",
                                   "r8",  "r9",  "r10", "r11", "r12", "r13", "r14", "r15"};
constexpr const char* Gpr32[16] = {"eax", "ecx", "edx",  "ebx",  "esp",  "ebp",  "esi",  "edi",
                                   "r8d", "r9d", "r10d", "r11d", "r12d", "r13d", "r14d", "r15d"};
constexpr const char* Gpr16[16] = {"ax",  "cx",  "dx",   "bx",   "sp",   "bp",   "si",   "di",
                                   "r8w", "r9w", "r10w", "r11w", "r12w", "r13w", "r14w", "r15w"};
constexpr const char* Gpr8[16] = {"al",  "cl",  "dl",   "bl",   "spl",  "bpl",  "sil",  "dil",
                                  "r8b", "r9b", "r10b", "r11b", "r12b", "r13b", "r14b", "r15b"};
constexpr const char* Gpr8High[4] = {"ah", "ch", "dh", "bh"};
constexpr const char* Segments[8] = {"es", "cs", "ss", "ds", "fs", "gs", "?", "?"};

const char* SizeWord(unsigned Size) {
    switch (Size) {
    case 1:
        return "byte";
    case 2:
        return "word";
    case 4:
        return "dword";
    case 6:
        return "fword";
    case 8:
        return "qword";
    case 10:
        return "tbyte";
    case 16:
        return "oword";
    case 32:
        return "yword";
    case 64:
        return "zword";
    default:
        return nullptr;
    }
}

// The length of the well-formed UTF-8 sequence of a character other than ASCII at At; 0 when the bytes there form
// none (a stray continuation byte, a lead byte without its continuation, an overlong form, a surrogate, a code beyond
// U+10FFFF). Reports are UTF-8 text: bytes that are not would corrupt the whole report.
std::size_t Utf8SequenceLength(const std::string& Text, std::size_t At) {
    const auto Byte = [&](std::size_t I) { return static_cast<unsigned char>(Text[I]); };
    const unsigned char Lead = Byte(At);
    std::size_t Length = 0;
    unsigned char Low = 0x80, High = 0xBF; // the range of the byte after the lead
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Length = 2;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Length = 3;
        Low = Lead == 0xE0 ? 0xA0 : 0x80;
        High = Lead == 0xED ? 0x9F : 0xBF;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Length = 4;
        Low = Lead == 0xF0 ? 0x90 : 0x80;
        High = Lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (At + Length > Text.size() || Byte(At + 1) < Low || Byte(At + 1) > High)
        return 0;
    for (std::size_t I = At + 2; I < At + Length; ++I)
        if (Byte(I) < 0x80 || Byte(I) > 0xBF)
            return 0;
    return Length;
}

// Letters, digits and blanks make a text (characters other than ASCII count as letters when they are well-formed
// UTF-8); a few punctuation marks are allowed, control characters other than tab and line breaks are not.
bool PlausibleText(const std::string& Text) {
    if (Text.size() <= 4)
        return false;
    std::size_t Plain = 0;
    std::size_t Breaks = 0;
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const auto Byte = static_cast<unsigned char>(Text[I]);
        if (Byte >= 0x80) {
            const std::size_t Length = Utf8SequenceLength(Text, I);
            if (Length == 0)
                return false;
            Plain += Length;
            I += Length - 1;
        } else if ((Byte >= 'a' && Byte <= 'z') || (Byte >= 'A' && Byte <= 'Z') || (Byte >= '0' && Byte <= '9') ||
                   Byte == ' ')
            ++Plain;
        else if (Byte == '\t' || Byte == '\r' || Byte == '\n')
            ++Breaks;
        else if (Byte < 0x20 || Byte == 0x7F)
            return false;
    }
    return Plain * 4 >= Text.size() * 3 && Breaks * 8 <= Text.size();
}

// A text read up to the reading limit may end inside a character: that character goes.
void DropCutCharacter(std::string& Text) {
    std::size_t Start = Text.size();
    while (Start > 0 && Start + 4 > Text.size() && (static_cast<unsigned char>(Text[Start - 1]) & 0xC0) == 0x80)
        --Start;
    if (Start == 0 || static_cast<unsigned char>(Text[Start - 1]) < 0xC0)
        return; // ASCII, or continuation bytes with no lead in reach: PlausibleText judges those
    if (Utf8SequenceLength(Text, Start - 1) == 0)
        Text.resize(Start - 1);
}

// The width a register's name tells: xmm1 is 16 bytes wide even where an instruction reads only 8 of them.
unsigned NamedWidth(const TKroOperand& Operand, TKroCpuMode Mode) {
    switch (Operand.RegClass) {
    case TKroRegClass::Gpr:
        return Operand.Size;
    case TKroRegClass::Segment:
        return 2;
    case TKroRegClass::Control:
    case TKroRegClass::Debug:
    case TKroRegClass::Test:
        return Mode == TKroCpuMode::Bits64 ? 8 : 4;
    case TKroRegClass::Mmx:
    case TKroRegClass::Mask:
        return 8;
    case TKroRegClass::Xmm:
    case TKroRegClass::Bound:
        return 16;
    case TKroRegClass::Ymm:
        return 32;
    case TKroRegClass::Zmm:
        return 64;
    case TKroRegClass::Fpu:
        return 10;
    case TKroRegClass::Tile:
        return 0;
    }
    return 0;
}

} // namespace

void KroAppendRegister(std::string& Text, TKroRegClass Class, unsigned Number, unsigned Size, bool HighByte) {
    switch (Class) {
    case TKroRegClass::Gpr:
        if (HighByte)
            Text += Gpr8High[Number & 3];
        else if (Size == 8)
            Text += Gpr64[Number & 15];
        else if (Size == 2)
            Text += Gpr16[Number & 15];
        else if (Size == 1)
            Text += Gpr8[Number & 15];
        else
            Text += Gpr32[Number & 15];
        return;
    case TKroRegClass::Segment:
        Text += Segments[Number & 7];
        return;
    case TKroRegClass::Control:
        Text += "cr";
        break;
    case TKroRegClass::Debug:
        Text += "dr";
        break;
    case TKroRegClass::Test:
        Text += "tr";
        break;
    case TKroRegClass::Mmx:
        Text += "mm";
        break;
    case TKroRegClass::Xmm:
        Text += "xmm";
        break;
    case TKroRegClass::Ymm:
        Text += "ymm";
        break;
    case TKroRegClass::Zmm:
        Text += "zmm";
        break;
    case TKroRegClass::Mask:
        Text += "k";
        break;
    case TKroRegClass::Bound:
        Text += "bnd";
        break;
    case TKroRegClass::Tile:
        Text += "tmm";
        break;
    case TKroRegClass::Fpu:
        Text += "st";
        if (Number != 0) {
            Text += '(';
            Text += std::to_string(Number);
            Text += ')';
        }
        return;
    }
    Text += std::to_string(Number);
}

std::size_t TKroTextWriter::OperandColumn(TKroCpuMode Mode) {
    return 10 + KroAddressWidth(Mode);
}

std::size_t TKroTextWriter::CommentColumn(TKroCpuMode Mode) {
    return 32 + KroAddressWidth(Mode);
}

void TKroTextWriter::AppendMemory(std::string& Text, const TKroInstruction& Instruction,
                                  const TKroOperand& Operand) const {
    if (Operand.Segment >= 0) {
        Text += Segments[Operand.Segment & 7];
        Text += ':';
    }
    Text += '[';
    if (Operand.AbsoluteKnown) {
        // RIP-relative and register-free operands show the address they reach.
        KroAppendNumber(Text, Operand.Address);
        Text += ']';
        return;
    }
    bool Any = false;
    if (Operand.Base != KroNoRegister) {
        KroAppendRegister(Text, TKroRegClass::Gpr, static_cast<unsigned>(Operand.Base), Operand.AddressSize, false);
        Any = true;
    }
    if (Operand.Index != KroNoRegister) {
        if (Any)
            Text += '+';
        if (Operand.VectorIndex)
            KroAppendRegister(Text, Operand.IndexClass, static_cast<unsigned>(Operand.Index), 16, false);
        else
            KroAppendRegister(Text, TKroRegClass::Gpr, static_cast<unsigned>(Operand.Index), Operand.AddressSize,
                              false);
        if (Operand.Scale > 1) {
            Text += '*';
            Text += static_cast<char>('0' + Operand.Scale);
        }
        Any = true;
    }
    if (Operand.Displacement != 0 || !Any) {
        if (Operand.Displacement < 0) {
            Text += '-';
            KroAppendNumber(Text, 0 - static_cast<std::uint64_t>(Operand.Displacement));
        } else {
            if (Any)
                Text += '+';
            KroAppendNumber(Text, static_cast<std::uint64_t>(Operand.Displacement));
        }
    }
    Text += ']';
    (void)Instruction;
}

void TKroTextWriter::AppendOperand(std::string& Text, const TKroInstruction& Instruction, const TKroOperand& Operand,
                                   bool SizeWordWanted) const {
    switch (Operand.Kind) {
    case TKroOperandKind::None:
        return;
    case TKroOperandKind::Register: {
        KroAppendRegister(Text, Operand.RegClass, Operand.Reg, Operand.Size, Operand.HighByte);
        static constexpr const char* Roundings[6] = {"", "{rn-sae}", "{rd-sae}", "{ru-sae}", "{rz-sae}", "{sae}"};
        Text += Roundings[Operand.Rounding % 6];
        return;
    }
    case TKroOperandKind::Memory: {
        const char* Word = SizeWordWanted ? SizeWord(Operand.Size) : nullptr;
        if (Word != nullptr) {
            Text += Word;
            Text += " ptr ";
        }
        AppendMemory(Text, Instruction, Operand);
        if (Operand.Broadcast != 0) {
            Text += "{1to";
            Text += std::to_string(Operand.Broadcast);
            Text += '}';
        }
        return;
    }
    case TKroOperandKind::Immediate:
        if (Operand.Signed && static_cast<std::int64_t>(Operand.Value) < 0) {
            Text += '-';
            KroAppendNumber(Text, 0 - Operand.Value);
        } else {
            std::uint64_t Value = Operand.Value;
            if (!Operand.Signed && Operand.Size < 8)
                Value &= (std::uint64_t{1} << (8 * Operand.Size)) - 1;
            KroAppendNumber(Text, Value);
        }
        return;
    case TKroOperandKind::Relative: {
        std::string Label;
        if (Labels && Labels(Operand.Value, Label)) {
            Text += Label;
            return;
        }
        if (Operand.Relative < 0) {
            Text += '-';
            KroAppendNumber(Text, 0 - static_cast<std::uint64_t>(Operand.Relative));
        } else {
            Text += '+';
            KroAppendNumber(Text, static_cast<std::uint64_t>(Operand.Relative));
        }
        Text += " (";
        KroAppendHex(Text, Operand.Value);
        Text += ')';
        return;
    }
    case TKroOperandKind::FarPointer:
        KroAppendNumber(Text, Operand.Selector);
        Text += ':';
        KroAppendNumber(Text, Operand.Value);
        return;
    }
}

bool TKroTextWriter::NameOf(std::uint64_t Address, TKroCpuMode Mode, std::string& Name) const {
    std::string Module;
    bool Found = Reader.NameOf(Address, Name, Module);
    if (!Found) {
        // A target that is itself a jump (an import stub) is followed once.
        const std::uint64_t Target = KroStubTarget(TKroDecoder(Reader, Mode), Address);
        if (Target != 0)
            Found = Reader.NameOf(Target, Name, Module);
    }
    if (Found && !Module.empty())
        Name += " (" + Module + ")";
    return Found && !Name.empty();
}

bool TKroTextWriter::TextAt(std::uint64_t Address, std::string& Quoted) const {
    char Bytes[100];
    const std::size_t Count = Reader.ReadSome(Address, Bytes, sizeof(Bytes));
    std::string Text;
    for (std::size_t I = 0; I < Count && Bytes[I] != '\0'; ++I)
        Text += Bytes[I];
    if (Text.size() == sizeof(Bytes))
        DropCutCharacter(Text);
    if (!PlausibleText(Text))
        return false;
    Quoted = "'";
    for (const char C : Text) {
        if (C == '\r')
            Quoted += "\\r";
        else if (C == '\n')
            Quoted += "\\n";
        else if (C == '\t')
            Quoted += "\\t";
        else
            Quoted += C;
    }
    Quoted += '\'';
    return true;
}

bool TKroTextWriter::Comment(const TKroInstruction& Instruction, std::string& Text) const {
    if (Instruction.Info.TargetAddress != 0)
        return NameOf(Instruction.Info.TargetAddress, Instruction.Mode, Text);
    for (std::size_t I = 0; I < Instruction.OperandCount; ++I) {
        const TKroOperand& Operand = Instruction.Operands[I];
        std::uint64_t Address = 0;
        if (Operand.Kind == TKroOperandKind::Memory && Operand.AbsoluteKnown)
            Address = Operand.Address;
        else if (Operand.Kind == TKroOperandKind::Immediate && Operand.FieldSize >= 4)
            Address = Operand.Value;
        if (Address == 0)
            continue;
        if (NameOf(Address, Instruction.Mode, Text) || TextAt(Address, Text))
            return true;
    }
    return false;
}

void TKroTextWriter::Append(std::string& Text, const TKroInstruction& Instruction) const {
    const TKroCpuMode Mode = Instruction.Mode;
    if (!Instruction.Info.Decoded) {
        const std::size_t Count =
            Instruction.Length < Instruction.BytesRead ? Instruction.Length : Instruction.BytesRead;
        if (Count == 0) {
            KroAppendAddress(Text, Instruction.Info.InstructionStart, Mode);
            Text += "   ??";
        }
        for (std::size_t I = 0; I < Count; ++I) {
            if (I > 0)
                Text += "\r\n";
            KroAppendAddress(Text, Instruction.Info.InstructionStart + I, Mode);
            Text += "   db $";
            KroAppendHex(Text, Instruction.Bytes[I], 2);
        }
        return;
    }
    const std::size_t LineStart = Text.size();
    KroAppendAddress(Text, Instruction.Info.InstructionStart, Mode);
    Text += "   ";
    if (Instruction.Lock)
        Text += "lock ";
    if (Instruction.Rep)
        Text += "rep ";
    if (Instruction.Repne)
        Text += "repne ";
    if (Instruction.Bnd)
        Text += "bnd ";
    if (Instruction.NoTrack)
        Text += "notrack ";
    Text += Instruction.Mnemonic;
    // A memory operand carries its size unless the first register operand, by its name, is as wide.
    unsigned RegisterSize = 0;
    bool HasRegister = false;
    for (std::size_t I = 0; I < Instruction.OperandCount; ++I)
        if (Instruction.Operands[I].Kind == TKroOperandKind::Register && !HasRegister) {
            HasRegister = true;
            RegisterSize = NamedWidth(Instruction.Operands[I], Mode);
        }
    const bool Lea = (Instruction.Flags & KfLea) != 0;
    // aam and aad divide by ten unless told otherwise.
    const bool AsciiAdjust = Instruction.Map == 0 && Instruction.Encoding == TKroEncoding::Legacy &&
                             (Instruction.Info.Opcode == 0xD4 || Instruction.Info.Opcode == 0xD5) &&
                             Instruction.OperandCount == 1 && Instruction.Operands[0].Value == 10;
    for (std::size_t I = 0; I < (AsciiAdjust ? 0 : Instruction.OperandCount); ++I) {
        const TKroOperand& Operand = Instruction.Operands[I];
        if (I == 0) {
            Text += ' ';
            KroPadToColumn(Text, LineStart, OperandColumn(Mode));
        } else {
            Text += ", ";
        }
        const bool SizeWordWanted = !Lea && (!HasRegister || Operand.Size != RegisterSize);
        AppendOperand(Text, Instruction, Operand, SizeWordWanted);
        if (I == 0 && Instruction.MaskRegister != 0) {
            Text += "{k";
            Text += static_cast<char>('0' + Instruction.MaskRegister);
            Text += '}';
        }
        if (I == 0 && Instruction.Zeroing)
            Text += "{z}";
    }
    std::string Remark;
    if (Comment(Instruction, Remark)) {
        KroPadToColumn(Text, LineStart, CommentColumn(Mode));
        Text += "  ; ";
        Text += Remark;
    }
}
