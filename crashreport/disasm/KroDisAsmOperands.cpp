#include "KroDisAsmDecodeRun.h"

#include <cstring>

namespace {

constexpr const char* ConditionNames[16] = {"o", "no", "b", "nb", "z", "nz", "be", "a",
                                            "s", "ns", "p", "np", "l", "ge", "le", "g"};

// The predicates of the floating compares (cmpps and friends): the first eight for the legacy forms, all 32 with
// VEX and EVEX.
constexpr const char* FloatPredicates[32] = {
    "eq",     "lt",     "le",    "unord",  "neq",    "nlt",      "nle",    "ord",   "eq_uq",   "nge",    "ngt",
    "false",  "neq_oq", "ge",    "gt",     "true",   "eq_os",    "lt_oq",  "le_oq", "unord_s", "neq_us", "nlt_uq",
    "nle_uq", "ord_s",  "eq_us", "nge_uq", "ngt_uq", "false_os", "neq_os", "ge_oq", "gt_oq",   "true_us"};
// Integer compares name six of their eight predicates; false and true keep the immediate.
constexpr const char* IntegerPredicates[8] = {"eq", "lt", "le", nullptr, "neq", "nlt", "nle", nullptr};
constexpr const char* XopPredicates[8] = {"lt", "le", "gt", "ge", "eq", "neq", "false", "true"};

TKroRegClass VectorClass(unsigned Bytes) {
    return Bytes >= 64 ? TKroRegClass::Zmm : Bytes == 32 ? TKroRegClass::Ymm : TKroRegClass::Xmm;
}

} // namespace

const char* KroConditionName(unsigned Code) {
    return ConditionNames[Code & 15];
}

bool TKroDecodeRun::ReadAddress() {
    if (!HasModRm || Mod() == 3 || (Entry.Flags & KfModIgnored))
        return true;
    HasMemory = true;
    const int ModValue = Mod();
    const bool Extended = Encoding == TKroEncoding::Legacy ? (Rex & 1) != 0 : VexB;
    const bool IndexExtended = Encoding == TKroEncoding::Legacy ? (Rex & 2) != 0 : VexX;
    if (AddressSize == 2) {
        static constexpr std::int8_t Bases[8] = {3, 3, 5, 5, 6, 7, 5, 3};
        static constexpr std::int8_t Indexes[8] = {6, 7, 6, 7, -1, -1, -1, -1};
        if (ModValue == 0 && RmField() == 6) {
            DisplacementSize = 2;
        } else {
            MemBase = Bases[RmField()];
            MemIndex = Indexes[RmField()];
            DisplacementSize = ModValue == 1 ? 1 : ModValue == 2 ? 2 : 0;
        }
    } else {
        int Base = RmField();
        if (Base == 4) {
            Sib = Next();
            HasSib = true;
            MemScale = static_cast<std::uint8_t>(1u << (Sib >> 6));
            const int Index = ((Sib >> 3) & 7) | (IndexExtended ? 8 : 0);
            MemIndex = static_cast<std::int8_t>(Index == 4 ? KroNoRegister : Index);
            Base = Sib & 7;
            if (Base == 5 && ModValue == 0) {
                DisplacementSize = 4;
            } else {
                MemBase = static_cast<std::int8_t>(Base | (Extended ? 8 : 0));
            }
        } else if (Base == 5 && ModValue == 0) {
            DisplacementSize = 4;
            RipRelative = Mode64;
            if (RipRelative)
                MemBase = KroRipRegister;
        } else {
            MemBase = static_cast<std::int8_t>(Base | (Extended ? 8 : 0));
        }
        if (ModValue == 1)
            DisplacementSize = 1;
        else if (ModValue == 2)
            DisplacementSize = 4;
    }
    DisplacementPos = Pos;
    if (DisplacementSize > 0)
        MemDisplacement = SignExtend(NextValue(DisplacementSize), DisplacementSize);
    return !Fault;
}

void TKroDecodeRun::GprOperand(TKroOperand& Operand, unsigned Number, unsigned Size) const {
    Operand.Kind = TKroOperandKind::Register;
    Operand.RegClass = TKroRegClass::Gpr;
    Operand.Size = static_cast<std::uint16_t>(Size);
    if (Size == 1 && Rex == 0 && Encoding == TKroEncoding::Legacy && Number >= 4 && Number < 8) {
        Operand.Reg = static_cast<std::uint8_t>(Number - 4);
        Operand.HighByte = true;
    } else {
        Operand.Reg = static_cast<std::uint8_t>(Number);
    }
}

void TKroDecodeRun::VectorOperand(TKroOperand& Operand, unsigned Number, unsigned Size) const {
    Operand.Kind = TKroOperandKind::Register;
    Operand.RegClass = VectorClass(Size);
    Operand.Reg = static_cast<std::uint8_t>(Number);
    Operand.Size = static_cast<std::uint16_t>(Size);
}

void TKroDecodeRun::MemoryOperand(TKroOperand& Operand, unsigned Size) const {
    Operand.Kind = TKroOperandKind::Memory;
    Operand.Size = static_cast<std::uint16_t>(Size);
    Operand.Base = MemBase;
    Operand.Index = MemIndex;
    Operand.Scale = MemIndex == KroNoRegister ? 1 : MemScale;
    Operand.Displacement = MemDisplacement;
    Operand.AddressSize = static_cast<std::uint8_t>(AddressSize);
    Operand.FieldAddress = Start + DisplacementPos;
    Operand.FieldSize = DisplacementSize;
    if (Mode64 ? SegmentPrefix >= 4 : SegmentPrefix >= 0)
        Operand.Segment = static_cast<std::int8_t>(SegmentPrefix);
    if (Encoding == TKroEncoding::Evex) {
        // Compressed 8-bit displacements count in units of the memory operand (or of one broadcast element, or of
        // one element where the instruction reads or writes as many elements as its mask says).
        unsigned Unit = Size;
        if (Entry.Flags & KfTuple1)
            Unit = VexW ? 8 : 4;
        else if (Entry.Flags & KfTuple1Small)
            Unit = VexW ? 2 : 1;
        if (EvexBroadcast) {
            Unit = (Entry.Flags & KfHalfElements) ? 2 : VexW ? 8 : 4;
            Operand.Broadcast = static_cast<std::uint8_t>(VectorLength / Unit);
            Operand.Size = static_cast<std::uint16_t>(Unit);
        }
        if (DisplacementSize == 1 && Unit > 1)
            Operand.Displacement = MemDisplacement * static_cast<std::int64_t>(Unit);
    }
    if (MemBase == KroNoRegister && MemIndex == KroNoRegister) {
        Operand.AbsoluteKnown = true;
        Operand.Address = static_cast<std::uint64_t>(Operand.Displacement);
        if (AddressSize == 4)
            Operand.Address &= 0xFFFFFFFFu;
        else if (AddressSize == 2)
            Operand.Address &= 0xFFFFu;
    }
}

// A memory operand whose index is a vector register (gathers and scatters): it needs a SIB byte, and its index
// register is as wide as IndexWidth. EVEX compresses its 8-bit displacement by the element size.
bool TKroDecodeRun::VectorIndexOperand(TKroOperand& Operand, unsigned Size, unsigned IndexWidth) const {
    if (!HasSib || AddressSize == 2)
        return false;
    MemoryOperand(Operand, Size);
    const bool IndexExtended = Encoding == TKroEncoding::Legacy ? (Rex & 2) != 0 : VexX;
    unsigned Index = ((Sib >> 3) & 7u) | (IndexExtended ? 8u : 0u);
    if (Encoding == TKroEncoding::Evex && EvexV2)
        Index |= 16;
    Operand.Index = static_cast<std::int8_t>(Index);
    Operand.Scale = MemScale;
    Operand.VectorIndex = true;
    Operand.IndexClass = VectorClass(IndexWidth);
    Operand.AbsoluteKnown = false;
    Operand.Broadcast = 0;
    Operand.Size = static_cast<std::uint16_t>(Size);
    if (Encoding == TKroEncoding::Evex && DisplacementSize == 1)
        Operand.Displacement = MemDisplacement * static_cast<std::int64_t>(Size);
    return true;
}

// EVEX.b on a register form: the rounding mode (L'L) or the suppression of exceptions, written behind the r/m
// register.
void TKroDecodeRun::MarkRounding() {
    if (Encoding != TKroEncoding::Evex || !EvexBroadcast || !HasModRm || Mod() != 3 || RmOperand < 0)
        return;
    if (Entry.Flags & KfEr)
        Out.Operands[static_cast<std::size_t>(RmOperand)].Rounding = static_cast<std::uint8_t>(1 + (VexL & 3));
    else if (Entry.Flags & KfSae)
        Out.Operands[static_cast<std::size_t>(RmOperand)].Rounding = 5;
}

bool TKroDecodeRun::BuildOperand(const TKroArg& Arg, TKroOperand& Operand) {
    using M = TKroMethod;
    const unsigned Size = SizeBytes(Arg.Size);
    const bool RegisterForm = HasModRm && (Mod() == 3 || (Entry.Flags & KfModIgnored));
    const bool Legacy = Encoding == TKroEncoding::Legacy;
    const unsigned RexR = Legacy ? ((Rex & 4) ? 8u : 0u) : (VexR ? 8u : 0u);
    const unsigned RexB = Legacy ? ((Rex & 1) ? 8u : 0u) : (VexB ? 8u : 0u);
    const unsigned RegNumber = static_cast<unsigned>(RegField()) | RexR;
    const unsigned RmNumber = static_cast<unsigned>(RmField()) | RexB;
    switch (Arg.Method) {
    case M::None:
        return true;
    case M::E:
        if (RegisterForm)
            GprOperand(Operand, RmNumber, Size);
        else
            MemoryOperand(Operand, Size);
        return true;
    case M::G:
        GprOperand(Operand, RegNumber, Size);
        return true;
    case M::M:
        if (RegisterForm)
            return false;
        MemoryOperand(Operand, Size);
        return true;
    case M::R:
        if (!RegisterForm)
            return false;
        GprOperand(Operand, RmNumber, Size);
        return true;
    case M::Imm:
    case M::ImmS:
    case M::Imm2: {
        const unsigned Bytes = Arg.Method == M::ImmS || Arg.Method == M::Imm2 ? 1
                               : Size == 8 && Arg.Size == TKroSize::z         ? 4
                                                                              : Size;
        Operand.Kind = TKroOperandKind::Immediate;
        Operand.FieldAddress = Start + Pos;
        Operand.FieldSize = static_cast<std::uint8_t>(Bytes);
        const std::uint64_t Raw = NextValue(Bytes);
        Operand.Size = static_cast<std::uint16_t>(Arg.Method == M::ImmS ? OperandSize : Bytes);
        if (Arg.Method == M::ImmS || (Arg.Size == TKroSize::z && OperandSize == 8)) {
            Operand.Value = static_cast<std::uint64_t>(SignExtend(Raw, Bytes));
            Operand.Signed = true;
        } else {
            Operand.Value = Raw;
        }
        return true;
    }
    case M::J: {
        const unsigned Bytes = Arg.Size == TKroSize::b ? 1 : OperandSize == 2 ? 2 : 4;
        Operand.Kind = TKroOperandKind::Relative;
        Operand.FieldAddress = Start + Pos;
        Operand.FieldSize = static_cast<std::uint8_t>(Bytes);
        Operand.Relative = SignExtend(NextValue(Bytes), Bytes);
        Operand.Size = static_cast<std::uint16_t>(Bytes);
        return true;
    }
    case M::O: {
        Operand.Kind = TKroOperandKind::Memory;
        Operand.Size = static_cast<std::uint16_t>(Size);
        Operand.FieldAddress = Start + Pos;
        Operand.FieldSize = static_cast<std::uint8_t>(AddressSize);
        Operand.Address = NextValue(AddressSize);
        Operand.Displacement = static_cast<std::int64_t>(Operand.Address);
        Operand.AbsoluteKnown = true;
        Operand.AddressSize = static_cast<std::uint8_t>(AddressSize);
        if (Mode64 ? SegmentPrefix >= 4 : SegmentPrefix >= 0)
            Operand.Segment = static_cast<std::int8_t>(SegmentPrefix);
        return true;
    }
    case M::A: {
        const unsigned Bytes = OperandSize == 2 ? 2 : 4;
        Operand.Kind = TKroOperandKind::FarPointer;
        Operand.FieldAddress = Start + Pos;
        Operand.FieldSize = static_cast<std::uint8_t>(Bytes);
        Operand.Value = NextValue(Bytes);
        Operand.Selector = static_cast<std::uint16_t>(NextValue(2));
        return true;
    }
    case M::S:
        if (RegField() >= 6)
            return false;
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Segment;
        Operand.Reg = static_cast<std::uint8_t>(RegField());
        Operand.Size = 2;
        return true;
    case M::C:
    case M::D:
    case M::TestR:
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = Arg.Method == M::C   ? TKroRegClass::Control
                           : Arg.Method == M::D ? TKroRegClass::Debug
                                                : TKroRegClass::Test;
        Operand.Reg = static_cast<std::uint8_t>(RegNumber);
        Operand.Size = static_cast<std::uint16_t>(Size);
        return true;
    case M::P:
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Mmx;
        Operand.Reg = static_cast<std::uint8_t>(RegField());
        Operand.Size = 8;
        return true;
    case M::Q:
    case M::N:
        if (!RegisterForm) {
            if (Arg.Method == M::N)
                return false;
            MemoryOperand(Operand, Size);
            return true;
        }
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Mmx;
        Operand.Reg = static_cast<std::uint8_t>(RmField());
        Operand.Size = 8;
        return true;
    case M::V:
        VectorOperand(Operand, RegNumber | (EvexR2 ? 16u : 0u), Size);
        return true;
    case M::W:
    case M::U:
        if (!RegisterForm) {
            if (Arg.Method == M::U)
                return false;
            MemoryOperand(Operand, Size);
            return true;
        }
        VectorOperand(Operand, RmNumber | (Encoding == TKroEncoding::Evex && VexX ? 16u : 0u), Size);
        return true;
    case M::H:
        if (Legacy)
            return true; // the legacy form has no such operand
        VectorOperand(Operand, Vvvv | (EvexV2 ? 16u : 0u), Size);
        return true;
    case M::L:
        if (!ReadL) {
            ImmediateForL = Next();
            ReadL = true;
        }
        VectorOperand(Operand, static_cast<unsigned>(ImmediateForL >> 4) & (Mode64 ? 15u : 7u), Size);
        return true;
    case M::Is4:
        if (!ReadL) {
            ImmediateForL = Next();
            ReadL = true;
        }
        Operand.Kind = TKroOperandKind::Immediate;
        Operand.Value = ImmediateForL & 15u;
        Operand.Size = 1;
        return true;
    case M::VsibX:
    case M::VsibH:
        if (RegisterForm)
            return false;
        return VectorIndexOperand(Operand, Size, Arg.Method == M::VsibX ? VectorLength : VectorLength / 2);
    case M::B:
        GprOperand(Operand, Vvvv, Size);
        return true;
    case M::K:
    case M::KR:
    case M::KM:
    case M::KH:
        if (Arg.Method == M::KR && !RegisterForm)
            return false;
        if (Arg.Method == M::KM && !RegisterForm) {
            MemoryOperand(Operand, Size);
            return true;
        }
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Mask;
        Operand.Reg = static_cast<std::uint8_t>(Arg.Method == M::K    ? RegField()
                                                : Arg.Method == M::KH ? (Vvvv & 7)
                                                                      : RmField());
        Operand.Size = static_cast<std::uint16_t>(Size);
        return true;
    case M::BndR:
    case M::BndE:
        if (Arg.Method == M::BndE && !RegisterForm) {
            MemoryOperand(Operand, 0);
            return true;
        }
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Bound;
        Operand.Reg = static_cast<std::uint8_t>(Arg.Method == M::BndR ? RegNumber : RmNumber);
        return Operand.Reg < 4;
    case M::T:
    case M::TR:
    case M::TH:
        if (Arg.Method == M::TR && !RegisterForm)
            return false;
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Tile;
        Operand.Reg = static_cast<std::uint8_t>(Arg.Method == M::T ? RegNumber : Arg.Method == M::TH ? Vvvv : RmNumber);
        return true;
    case M::Z: {
        const unsigned Number = static_cast<unsigned>(Opcode & 7) | RexB;
        GprOperand(Operand, Number, Size);
        return true;
    }
    case M::Reg:
        GprOperand(Operand, Arg.Reg, Size);
        Operand.HighByte = false;
        Operand.Reg = Arg.Reg;
        return true;
    case M::Seg:
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Segment;
        Operand.Reg = Arg.Reg;
        Operand.Size = 2;
        return true;
    case M::Fpu:
    case M::St0:
        Operand.Kind = TKroOperandKind::Register;
        Operand.RegClass = TKroRegClass::Fpu;
        Operand.Reg = static_cast<std::uint8_t>(Arg.Method == M::Fpu ? RmField() : 0);
        Operand.Size = 10;
        return true;
    case M::One:
        Operand.Kind = TKroOperandKind::Immediate;
        Operand.Value = 1;
        Operand.Size = 1;
        return true;
    case M::Xmm0:
        VectorOperand(Operand, 0, 16);
        return true;
    }
    return false;
}

bool TKroDecodeRun::BuildOperands() {
    // Vector memory operands with a vector index (gathers) take the index from the vector registers.
    for (const TKroArg& Arg : Entry.Args) {
        if (!Arg.Present())
            break;
        TKroOperand Operand;
        if (!BuildOperand(Arg, Operand))
            return false;
        if (Fault)
            return false;
        if (Operand.Kind != TKroOperandKind::None && Out.OperandCount < Out.Operands.size()) {
            const bool RmRegister = Arg.Method == TKroMethod::E || Arg.Method == TKroMethod::R ||
                                    Arg.Method == TKroMethod::W || Arg.Method == TKroMethod::U ||
                                    Arg.Method == TKroMethod::KR || Arg.Method == TKroMethod::KM;
            if (RmRegister && Operand.Kind == TKroOperandKind::Register)
                RmOperand = static_cast<int>(Out.OperandCount);
            Out.Operands[Out.OperandCount++] = Operand;
        }
    }
    if (Entry.Flags & Kf3DNow)
        Suffix3DNow = Next();
    MarkRounding();
    return !Fault;
}

bool TKroDecodeRun::ComposeName() {
    const char* Source = Entry.Name;
    if (Entry.Flags & Kf3DNow) {
        Source = Kro3DNowName(Suffix3DNow);
        if (Source == nullptr)
            return false;
    }
    char Name[32] = {};
    std::size_t Length = 0;
    auto Append = [&](const char* Text, std::size_t Count) {
        for (std::size_t I = 0; I < Count && Text[I] != '\0' && Length + 1 < sizeof(Name); ++I)
            Name[Length++] = Text[I];
    };
    if (FromLegacy)
        Append("v", 1);
    if (Wait && Source[0] == 'f' && Source[1] == 'n' && std::strcmp(Source, "fnop") != 0) {
        Append("f", 1); // the waiting form: fnstsw becomes fstsw
        Source += 2;
    }
    // Variants by operand size (or address size): "a/b/c".
    const char* Slash = std::strchr(Source, '/');
    std::size_t Variant = 0;
    if (Slash != nullptr) {
        const unsigned Size = (Entry.Flags & KfAdSizeName) ? AddressSize : OperandSize;
        Variant = Size == 2 ? 0 : Size == 4 ? 1 : 2;
        for (std::size_t I = 0; I < Variant; ++I) {
            const char* Further = std::strchr(Source, '/');
            if (Further == nullptr)
                break;
            Source = Further + 1;
        }
    }
    const bool W = RexW();
    bool PredicateNamed = false;
    for (const char* Cursor = Source; *Cursor != '\0' && *Cursor != '/'; ++Cursor) {
        // "{a|b}" by W; "<a|b>" by a 64-bit operand (W in 64-bit code only).
        if (*Cursor == '{' || *Cursor == '<') {
            const char* Bar = std::strchr(Cursor, '|');
            const char* Close = std::strchr(Cursor, *Cursor == '{' ? '}' : '>');
            if (Bar == nullptr || Close == nullptr)
                break;
            if (*Cursor == '{' ? W : W && Mode64)
                Append(Bar + 1, static_cast<std::size_t>(Close - Bar - 1));
            else
                Append(Cursor + 1, static_cast<std::size_t>(Bar - Cursor - 1));
            Cursor = Close;
        } else if (Cursor[0] == '%' && Cursor[1] == 'c' && Cursor[2] == 'c') {
            const char* Condition = ConditionNames[Opcode & 15];
            Append(Condition, std::strlen(Condition));
            Cursor += 2;
        } else if (Cursor[0] == '%' && (Cursor[1] == 'p' || Cursor[1] == 'i' || Cursor[1] == 'x')) {
            const TKroOperand& Last = Out.Operands[Out.OperandCount > 0 ? Out.OperandCount - 1 : 0];
            const std::uint64_t Value = Last.Kind == TKroOperandKind::Immediate ? Last.Value : 256;
            const std::uint64_t Limit = Cursor[1] != 'p' ? 8 : Encoding == TKroEncoding::Legacy ? 8 : 32;
            const char* Predicate = Value >= Limit     ? nullptr
                                    : Cursor[1] == 'i' ? IntegerPredicates[Value]
                                    : Cursor[1] == 'x' ? XopPredicates[Value]
                                                       : FloatPredicates[Value];
            if (Predicate != nullptr) {
                Append(Predicate, std::strlen(Predicate));
                PredicateNamed = true;
            }
            ++Cursor;
        } else if (Cursor[0] == '%' && Cursor[1] == 'c') {
            // The carry-less multiply names which quadwords it multiplies when the immediate is one of the four.
            const TKroOperand& Last = Out.Operands[Out.OperandCount > 0 ? Out.OperandCount - 1 : 0];
            const std::uint64_t Value = Last.Kind == TKroOperandKind::Immediate ? Last.Value : 256;
            const char* Halves = Value == 0x00   ? "lqlq"
                                 : Value == 0x01 ? "hqlq"
                                 : Value == 0x10 ? "lqhq"
                                 : Value == 0x11 ? "hqhq"
                                                 : nullptr;
            Append(Halves != nullptr ? Halves : "q", Halves != nullptr ? 4 : 1);
            PredicateNamed = Halves != nullptr;
            ++Cursor;
        } else {
            Append(Cursor, 1);
        }
    }
    Name[Length] = '\0';
    std::memcpy(Out.Mnemonic, Name, sizeof(Name));
    if (PredicateNamed)
        --Out.OperandCount; // the predicate is in the name
    return true;
}
