#include "KroDisAsmDecoder.h"

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
constexpr const char* IntegerPredicates[8] = {"eq", "lt", "le", "false", "neq", "nlt", "nle", "true"};

bool IsLegacyPrefix(std::uint8_t Byte) {
    switch (Byte) {
    case 0xF0:
    case 0xF2:
    case 0xF3:
    case 0x2E:
    case 0x36:
    case 0x3E:
    case 0x26:
    case 0x64:
    case 0x65:
    case 0x66:
    case 0x67:
        return true;
    default:
        return false;
    }
}

bool UsesModRm(TKroMethod Method) {
    switch (Method) {
    case TKroMethod::E:
    case TKroMethod::G:
    case TKroMethod::M:
    case TKroMethod::R:
    case TKroMethod::S:
    case TKroMethod::C:
    case TKroMethod::D:
    case TKroMethod::TestR:
    case TKroMethod::P:
    case TKroMethod::Q:
    case TKroMethod::N:
    case TKroMethod::V:
    case TKroMethod::W:
    case TKroMethod::U:
    case TKroMethod::K:
    case TKroMethod::KR:
    case TKroMethod::KM:
    case TKroMethod::BndR:
    case TKroMethod::BndE:
    case TKroMethod::T:
    case TKroMethod::TR:
    case TKroMethod::Fpu:
        return true;
    default:
        return false;
    }
}

bool IsVectorMethod(TKroMethod Method) {
    return Method == TKroMethod::V || Method == TKroMethod::W || Method == TKroMethod::U || Method == TKroMethod::H ||
           Method == TKroMethod::L || Method == TKroMethod::Xmm0;
}

bool IsMmxMethod(TKroMethod Method) {
    return Method == TKroMethod::P || Method == TKroMethod::Q || Method == TKroMethod::N;
}

TKroRegClass VectorClass(unsigned Bytes) {
    return Bytes >= 64 ? TKroRegClass::Zmm : Bytes == 32 ? TKroRegClass::Ymm : TKroRegClass::Xmm;
}

// The state of one decode.
class TDecodeRun {
public:
    TDecodeRun(const TKroCodeReader& Reader, TKroCpuMode Mode, std::uint64_t Address, TKroInstruction& Out)
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

    unsigned OperandSize = 4;
    unsigned AddressSize = 4;
    unsigned VectorLength = 16;
    std::uint8_t ImmediateForL = 0; // the is4 byte once read
    bool ReadL = false;
    std::uint8_t Suffix3DNow = 0;
    bool Wait = false; // fwait before an FPU instruction
};

int TDecodeRun::MandatoryIndex() const {
    if (RepPrefix == 0xF3)
        return 2;
    if (RepPrefix == 0xF2)
        return 3;
    return Op66 ? 1 : 0;
}

bool TDecodeRun::ReadPrefixes() {
    for (;;) {
        if (!Has())
            return false;
        // fwait in front of an FPU instruction (prefixes around it) makes the waiting form of that instruction:
        // fwait + fnstsw is fstsw.
        if (Peek() == 0x9B && !Wait) {
            std::size_t Ahead = 1;
            while (Has(Ahead) && (IsLegacyPrefix(Peek(Ahead)) || (Mode64 && (Peek(Ahead) & 0xF0) == 0x40)))
                ++Ahead;
            if (Has(Ahead) && Peek(Ahead) >= 0xD8 && Peek(Ahead) <= 0xDF) {
                Wait = true;
                ++Pos;
                continue;
            }
            if (Pos == 0 && Ahead > 1 && Has(Ahead) && Peek(Ahead) == 0x9B) {
                // A second fwait behind prefixes: the first one takes the prefixes.
                std::strcpy(Out.Mnemonic, "fwait");
                Out.Info.Decoded = true;
                Pos = Ahead;
                return false;
            }
            return true; // fwait on its own
        }
        const std::uint8_t Byte = Peek();
        if (IsLegacyPrefix(Byte)) {
            ++Pos;
            switch (Byte) {
            case 0xF0:
                Out.Lock = true;
                break;
            case 0xF2:
            case 0xF3:
                RepPrefix = Byte;
                break;
            case 0x66:
                Op66 = true;
                break;
            case 0x67:
                Ad67 = true;
                break;
            case 0x26:
                SegmentPrefix = 0;
                break;
            case 0x2E:
                SegmentPrefix = 1;
                break;
            case 0x36:
                SegmentPrefix = 2;
                break;
            case 0x3E:
                SegmentPrefix = 3;
                Has3E = true;
                break;
            case 0x64:
                SegmentPrefix = 4;
                break;
            case 0x65:
                SegmentPrefix = 5;
                break;
            default:
                break;
            }
            if (Pos >= 15)
                return false;
            continue;
        }
        if (Mode64 && (Byte & 0xF0) == 0x40) {
            ++Pos;
            Rex = Byte;
            if (!Has())
                return false;
            // A REX prefix counts only right before the opcode: one followed by another prefix stands alone.
            const std::uint8_t Following = Peek();
            if (IsLegacyPrefix(Following) || (Following & 0xF0) == 0x40 || Following == 0x9B) {
                LoneRex();
                return false;
            }
        }
        return true;
    }
}

void TDecodeRun::LoneRex() {
    char Name[16] = "rex";
    if ((Rex & 0x0F) != 0) {
        std::strcat(Name, ".");
        if (Rex & 8)
            std::strcat(Name, "W");
        if (Rex & 4)
            std::strcat(Name, "R");
        if (Rex & 2)
            std::strcat(Name, "X");
        if (Rex & 1)
            std::strcat(Name, "B");
    }
    std::strcpy(Out.Mnemonic, Name);
    Out.Info.Decoded = true;
    Out.Lock = false;
}

bool TDecodeRun::ReadVex(std::uint8_t Kind) {
    if (Kind == 0xC5) {
        const std::uint8_t B1 = Next();
        Encoding = TKroEncoding::Vex;
        VexR = !(B1 & 0x80);
        Vvvv = (~B1 >> 3) & 15;
        VexL = (B1 >> 2) & 1;
        VexPp = B1 & 3;
        Map = 1;
    } else if (Kind == 0xC4 || Kind == 0x8F) {
        const std::uint8_t B1 = Next();
        const std::uint8_t B2 = Next();
        Encoding = Kind == 0xC4 ? TKroEncoding::Vex : TKroEncoding::Xop;
        VexR = !(B1 & 0x80);
        VexX = !(B1 & 0x40);
        VexB = !(B1 & 0x20);
        Map = B1 & 0x1F;
        VexW = (B2 & 0x80) != 0;
        Vvvv = (~B2 >> 3) & 15;
        VexL = (B2 >> 2) & 1;
        VexPp = B2 & 3;
        if (Encoding == TKroEncoding::Vex && (Map < 1 || Map > 3))
            return false;
        if (Encoding == TKroEncoding::Xop && (Map < 8 || Map > 10))
            return false;
    } else {
        const std::uint8_t P0 = Next();
        const std::uint8_t P1 = Next();
        const std::uint8_t P2 = Next();
        Encoding = TKroEncoding::Evex;
        VexR = !(P0 & 0x80);
        VexX = !(P0 & 0x40);
        VexB = !(P0 & 0x20);
        EvexR2 = !(P0 & 0x10);
        Map = P0 & 7;
        VexW = (P1 & 0x80) != 0;
        Vvvv = (~P1 >> 3) & 15;
        VexPp = P1 & 3;
        Out.Zeroing = (P2 & 0x80) != 0;
        VexL = (P2 >> 5) & 3;
        EvexBroadcast = (P2 & 0x10) != 0;
        EvexV2 = !(P2 & 0x08);
        Out.MaskRegister = P2 & 7;
        if ((P0 & 0x08) != 0 || (P1 & 0x04) == 0 || Map == 0 || Map == 4 || Map == 7)
            return false;
    }
    if (!Mode64) {
        // Outside 64-bit code only eight registers exist.
        VexR = VexX = VexB = EvexR2 = false;
        Vvvv &= 7;
        EvexV2 = false;
    }
    // Legacy prefixes before a VEX prefix are shown, not used.
    return !Fault;
}

bool TDecodeRun::ReadOpcode() {
    std::uint8_t Byte = Next();
    if (Byte == 0x0F) {
        Byte = Next();
        if (Byte == 0x38) {
            Map = 2;
            Byte = Next();
        } else if (Byte == 0x3A) {
            Map = 3;
            Byte = Next();
        } else {
            Map = 1;
        }
        Opcode = Byte;
        return !Fault;
    }
    const bool RegisterFormNext = Has() && (Peek() & 0xC0) == 0xC0;
    if ((Byte == 0xC4 || Byte == 0xC5 || Byte == 0x62) && (Mode64 || RegisterFormNext)) {
        if (!ReadVex(Byte))
            return false;
        Opcode = Next();
        return !Fault;
    }
    if (Byte == 0x8F && Has() && (Peek() & 0x38) != 0) {
        if (!ReadVex(Byte))
            return false;
        Opcode = Next();
        return !Fault;
    }
    Map = 0;
    Opcode = Byte;
    return !Fault;
}

// Follows the redirections of an entry (groups, prefixes, mod, r/m, W, mode, size, L) to an instruction.
bool TDecodeRun::Select(TKroOpcodeEntry& Current) {
    for (int Depth = 0; Depth < 8; ++Depth) {
        switch (Current.Kind) {
        case TKroEntryKind::Instruction:
            return true;
        case TKroEntryKind::Invalid:
        case TKroEntryKind::Fallback:
            return false;
        case TKroEntryKind::Group:
            EnsureModRm();
            Current = Current.Sub[RegField() + (Mod() == 3 || (Current.Flags & KfModIgnored) ? 8 : 0)];
            break;
        case TKroEntryKind::Prefix: {
            const int Index = Encoding == TKroEncoding::Legacy ? MandatoryIndex() : VexPp;
            const TKroOpcodeEntry& Form = Current.Sub[Index];
            if (Form.Kind == TKroEntryKind::Fallback) {
                Current = Current.Sub[0];
            } else {
                if (Index != 0) {
                    MandatoryUsed = true;
                    Used66 = Index == 1;
                }
                Current = Form;
            }
            break;
        }
        case TKroEntryKind::Mod:
            EnsureModRm();
            Current = Current.Sub[Mod() == 3 ? 1 : 0];
            break;
        case TKroEntryKind::Rm:
            EnsureModRm();
            Current = Current.Sub[RmField()];
            break;
        case TKroEntryKind::Width:
            Current = Current.Sub[RexW() ? 1 : 0];
            break;
        case TKroEntryKind::Mode:
            Current = Current.Sub[Mode64 ? 1 : 0];
            break;
        case TKroEntryKind::OpSize: {
            const bool Default64 = (Current.Sub[2].Flags & KfD64) != 0;
            int Index = 1;
            if (Mode64 && (RexW() || (Default64 && !Op66)))
                Index = 2;
            else if (Op66)
                Index = 0;
            Current = Current.Sub[Index];
            break;
        }
        case TKroEntryKind::VexL:
            Current = Current.Sub[VexL != 0 ? 1 : 0];
            break;
        }
        if (Fault)
            return false;
    }
    return false;
}

bool TDecodeRun::ResolveEntry() {
    if (Encoding == TKroEncoding::Xop) {
        // AMD's XOP instructions; the pp bits select nothing there.
        Entry = KroXopMap(Map)[Opcode].Forms[0];
        return Select(Entry);
    }
    if (Encoding == TKroEncoding::Vex || Encoding == TKroEncoding::Evex) {
        const bool Known = Map >= 1 && Map <= 3;
        if (Known && Encoding == TKroEncoding::Evex) {
            Entry = KroEvexMap(Map)[Opcode].Forms[static_cast<std::size_t>(VexPp)];
            if (Select(Entry))
                return true;
        }
        if (Known) {
            Entry = KroVexMap(Map)[Opcode].Forms[static_cast<std::size_t>(VexPp)];
            if (Entry.Kind == TKroEntryKind::Invalid) {
                const TKroPrefixedMap& Legacy = Map == 1 ? KroMap0F() : Map == 2 ? KroMap0F38() : KroMap0F3A();
                Entry = Legacy[Opcode].Forms[static_cast<std::size_t>(VexPp)];
                FromLegacy = true;
            }
            if (Select(Entry) && (Entry.Flags & (KfNoVex | Kf3DNow)) == 0) {
                bool Vector = !FromLegacy;
                bool Mmx = false;
                for (const TKroArg& Arg : Entry.Args) {
                    Vector = Vector || IsVectorMethod(Arg.Method);
                    Mmx = Mmx || IsMmxMethod(Arg.Method);
                }
                if (FromLegacy && Map == 1 && Opcode == 0xAE)
                    Vector = true; // vldmxcsr, vstmxcsr
                if (Vector && !Mmx)
                    return true;
            }
        }
        if (Fault)
            return false;
        // An instruction of this encoding the tables do not name: its length is known all the same.
        FromLegacy = false;
        Entry = KroOp::I("(avx)", KroOp::Vx, KroOp::Hx, KroOp::Wx);
        const bool Immediate =
            Map == 3 ||
            (Map == 1 && ((Opcode >= 0x70 && Opcode <= 0x73) || Opcode == 0xC2 || (Opcode >= 0xC4 && Opcode <= 0xC6)));
        if (Immediate)
            Entry.Args[3] = KroOp::Ib;
        return true;
    }
    if (Map == 0) {
        if (Opcode >= 0xD8 && Opcode <= 0xDF) {
            EnsureModRm();
            Entry = Mod() == 3 ? KroFpuRegister(Opcode - 0xD8, ModRm & 63) : KroFpuMemory(Opcode - 0xD8, RegField());
            return !Fault && Entry.Kind == TKroEntryKind::Instruction;
        }
        Entry = KroOneByteMap()[Opcode];
        if (Opcode == 0x90 && (Rex & 1) != 0)
            Entry = KroOneByteMap()[0x91]; // xchg r8, rax
        return Select(Entry);
    }
    const TKroPrefixedMap& Table = Map == 1 ? KroMap0F() : Map == 2 ? KroMap0F38() : KroMap0F3A();
    const TKroPrefixedEntry& Forms = Table[Opcode];
    Entry = {TKroEntryKind::Prefix, nullptr, {}, 0, 0, Forms.Forms.data()};
    return Select(Entry);
}

void TDecodeRun::ComputeSizes() {
    const bool Default64 = (Entry.Flags & KfD64) != 0;
    const bool SizePrefix = Op66 && !Used66 && (Entry.Flags & KfNoOpSize) == 0;
    if (Mode64) {
        if (Encoding == TKroEncoding::Legacy && (Rex & 8))
            OperandSize = 8;
        else if (SizePrefix)
            OperandSize = 2;
        else
            OperandSize = Default64 ? 8 : 4;
        AddressSize = Ad67 ? 4 : 8;
    } else {
        OperandSize = SizePrefix ? 2 : 4;
        AddressSize = Ad67 ? 2 : 4;
    }
    if (Encoding == TKroEncoding::Vex || Encoding == TKroEncoding::Xop)
        VectorLength = VexL ? 32 : 16;
    else if (Encoding == TKroEncoding::Evex)
        VectorLength = EvexBroadcast && HasModRm && Mod() == 3 ? 64 : 16u << VexL; // rounding: 512 bits
    else
        VectorLength = 16;
}

unsigned TDecodeRun::SizeBytes(TKroSize Size) const {
    switch (Size) {
    case TKroSize::NoSize:
    case TKroSize::u:
        return 0;
    case TKroSize::b:
        return 1;
    case TKroSize::w:
        return 2;
    case TKroSize::d:
        return 4;
    case TKroSize::q:
        return 8;
    case TKroSize::v:
        return OperandSize;
    case TKroSize::z:
        return OperandSize == 2 ? 2 : 4;
    case TKroSize::y:
        return Mode64 && RexW() ? 8 : 4;
    case TKroSize::p:
        return OperandSize + 2;
    case TKroSize::s:
        return Mode64 ? 10 : 6;
    case TKroSize::a:
        return OperandSize * 2;
    case TKroSize::t:
        return 10;
    case TKroSize::dq:
        return 16;
    case TKroSize::qq:
        return 32;
    case TKroSize::x:
        return VectorLength;
    case TKroSize::hx:
        return VectorLength / 2;
    case TKroSize::qx:
        return VectorLength / 4;
    case TKroSize::ex:
        return VectorLength / 8;
    case TKroSize::e:
        return OperandSize == 2 ? 14 : 28;
    case TKroSize::st:
        return OperandSize == 2 ? 94 : 108;
    case TKroSize::fx:
        return 512;
    case TKroSize::n:
        return Mode64 ? 8 : 4;
    }
    return 0;
}

bool TDecodeRun::ReadAddress() {
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
            const std::uint8_t Sib = Next();
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

void TDecodeRun::GprOperand(TKroOperand& Operand, unsigned Number, unsigned Size) const {
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

void TDecodeRun::VectorOperand(TKroOperand& Operand, unsigned Number, unsigned Size) const {
    Operand.Kind = TKroOperandKind::Register;
    Operand.RegClass = VectorClass(Size);
    Operand.Reg = static_cast<std::uint8_t>(Number);
    Operand.Size = static_cast<std::uint16_t>(Size);
}

void TDecodeRun::MemoryOperand(TKroOperand& Operand, unsigned Size) const {
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
        // Compressed 8-bit displacements count in units of the memory operand (or of one broadcast element).
        unsigned Unit = Size;
        if (EvexBroadcast) {
            Unit = VexW ? 8 : 4;
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

bool TDecodeRun::BuildOperand(const TKroArg& Arg, TKroOperand& Operand) {
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
        ImmediateForL = Next();
        ReadL = true;
        VectorOperand(Operand, static_cast<unsigned>(ImmediateForL >> 4) & (Mode64 ? 15u : 7u), Size);
        return true;
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

bool TDecodeRun::BuildOperands() {
    // Vector memory operands with a vector index (gathers) take the index from the vector registers.
    for (const TKroArg& Arg : Entry.Args) {
        if (!Arg.Present())
            break;
        TKroOperand Operand;
        if (!BuildOperand(Arg, Operand))
            return false;
        if (Fault)
            return false;
        if (Operand.Kind != TKroOperandKind::None && Out.OperandCount < Out.Operands.size())
            Out.Operands[Out.OperandCount++] = Operand;
    }
    if (Entry.Flags & Kf3DNow)
        Suffix3DNow = Next();
    return !Fault;
}

bool TDecodeRun::ComposeName() {
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
        if (*Cursor == '{') {
            const char* Bar = std::strchr(Cursor, '|');
            const char* Close = std::strchr(Cursor, '}');
            if (Bar == nullptr || Close == nullptr)
                break;
            if (W)
                Append(Bar + 1, static_cast<std::size_t>(Close - Bar - 1));
            else
                Append(Cursor + 1, static_cast<std::size_t>(Bar - Cursor - 1));
            Cursor = Close;
        } else if (Cursor[0] == '%' && Cursor[1] == 'c' && Cursor[2] == 'c') {
            const char* Condition = ConditionNames[Opcode & 15];
            Append(Condition, std::strlen(Condition));
            Cursor += 2;
        } else if (Cursor[0] == '%' && (Cursor[1] == 'p' || Cursor[1] == 'i')) {
            const TKroOperand& Last = Out.Operands[Out.OperandCount > 0 ? Out.OperandCount - 1 : 0];
            const std::uint64_t Value = Last.Kind == TKroOperandKind::Immediate ? Last.Value : 256;
            const std::uint64_t Limit = Cursor[1] == 'i' ? 8 : Encoding == TKroEncoding::Legacy ? 8 : 32;
            if (Value < Limit) {
                const char* Predicate = Cursor[1] == 'i' ? IntegerPredicates[Value] : FloatPredicates[Value];
                Append(Predicate, std::strlen(Predicate));
                PredicateNamed = true;
            }
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

void TDecodeRun::Finish() {
    TCodeInfo& Info = Out.Info;
    Out.Length = static_cast<std::uint8_t>(Pos);
    Info.NextInstruction = Start + Pos;
    Info.Opcode = Map == 0 ? Opcode : Map == 1 ? 0x0F00u | Opcode : Map == 2 ? 0x0F3800u | Opcode : 0x0F3A00u | Opcode;
    Info.ModRm = HasModRm ? ModRm : 0;
    const std::uint64_t Next = Info.NextInstruction;
    for (std::size_t I = 0; I < Out.OperandCount; ++I) {
        TKroOperand& Operand = Out.Operands[I];
        if (Operand.Kind == TKroOperandKind::Memory && Operand.Base == KroRipRegister) {
            Operand.AbsoluteKnown = true;
            Operand.Address = Next + static_cast<std::uint64_t>(Operand.Displacement);
            if (AddressSize == 4)
                Operand.Address &= 0xFFFFFFFFu;
        }
        if (Operand.Kind == TKroOperandKind::Relative) {
            std::uint64_t Target = Next + static_cast<std::uint64_t>(Operand.Relative);
            if (OperandSize == 2)
                Target &= 0xFFFFu;
            if (!Mode64)
                Target &= 0xFFFFFFFFu;
            Operand.Value = Target;
            Info.TargetRelative = true;
            Info.TargetField = Operand.FieldAddress;
            Info.TargetAddress = Target;
            Info.TargetWidth = Operand.FieldSize;
            Info.Widenable = (Entry.Flags & KfLoop) == 0;
        }
    }
    Info.IsCall = (Entry.Flags & KfCall) != 0;
    Info.IsJump = (Entry.Flags & KfJump) != 0;
    // Printed prefixes.
    const bool String = (Entry.Flags & KfString) != 0;
    if (!MandatoryUsed && RepPrefix != 0) {
        if ((Entry.Flags & KfBnd) && RepPrefix == 0xF2)
            Out.Bnd = true;
        else if (String || Map == 0)
            (RepPrefix == 0xF3 ? Out.Rep : Out.Repne) = true;
    }
    if (Has3E && Mode64 && Opcode == 0xFF && Map == 0 && (RegField() == 2 || RegField() == 4))
        Out.NoTrack = true;
    // An indirect call or jump through a cell at a known address: the cell is read for the target.
    if (Map == 0 && Encoding == TKroEncoding::Legacy && Opcode == 0xFF && HasMemory && RegField() >= 2 &&
        RegField() <= 5 && Out.OperandCount > 0 && Out.Operands[0].AbsoluteKnown) {
        const std::uint64_t Cell = Out.Operands[0].Address;
        std::uint64_t Target = 0;
        Info.TargetPointer = Cell;
        Info.TargetWidth = static_cast<std::int32_t>(OperandSize);
        if (!Reader.Read(Cell, &Target, OperandSize))
            return;
        Info.TargetAddress = Target;
    }
    // A call or jump to the next instruction only fetches its own address: it is no branch.
    if ((Info.IsCall || Info.IsJump) && Info.TargetAddress == Info.NextInstruction) {
        Info.IsCall = Info.IsJump = Info.TargetRelative = Info.Widenable = false;
        Info.TargetAddress = Info.TargetField = Info.TargetPointer = 0;
        Info.TargetWidth = 0;
    }
    Out.Flags = Entry.Flags;
    Out.Clobbers = Entry.Clobbers;
    Out.OperandSize = static_cast<std::uint8_t>(OperandSize);
    Out.AddressSize = static_cast<std::uint8_t>(AddressSize);
    Out.Encoding = Encoding;
    Out.Map = Map;
    Info.Decoded = true;
}

void TDecodeRun::Run() {
    Available = Reader.ReadSome(Start, Buffer, sizeof(Buffer));
    Out.BytesRead = static_cast<std::uint8_t>(Available);
    std::memcpy(Out.Bytes.data(), Buffer, Available);
    bool Ok = ReadPrefixes();
    if (!Ok && Out.Info.Decoded) {
        // A lone REX prefix.
        Out.Length = static_cast<std::uint8_t>(Pos);
        Out.Info.NextInstruction = Start + Pos;
        return;
    }
    Ok = Ok && ReadOpcode() && ResolveEntry();
    if (Ok) {
        const std::uint32_t Flags = Entry.Flags;
        if ((Mode64 && (Flags & KfI64)) || (!Mode64 && (Flags & KfO64)))
            Ok = false;
        if (Encoding == TKroEncoding::Legacy && (Flags & KfVexOnly))
            Ok = false;
    }
    if (Ok) {
        bool NeedsModRm =
            Encoding != TKroEncoding::Legacy && !(Encoding == TKroEncoding::Vex && Map == 1 && Opcode == 0x77);
        for (const TKroArg& Arg : Entry.Args)
            NeedsModRm = NeedsModRm || UsesModRm(Arg.Method);
        if (Entry.Flags & Kf3DNow)
            NeedsModRm = true;
        if (NeedsModRm)
            EnsureModRm();
        // EVEX.L'L = 3 is a length only with memory operands; with EVEX.b on registers L'L is the rounding mode.
        if (Encoding == TKroEncoding::Evex && VexL == 3 && !(EvexBroadcast && HasModRm && Mod() == 3))
            Ok = false;
        ComputeSizes();
        Ok = Ok && !Fault && ReadAddress() && BuildOperands() && ComposeName();
    }
    if (Ok && !Fault && Pos <= 15) {
        Finish();
        return;
    }
    // Undefined or unreadable: the bytes looked at so far.
    const TKroCpuMode Mode = Out.Mode;
    const std::uint8_t Read = Out.BytesRead;
    Out = TKroInstruction{};
    Out.Mode = Mode;
    Out.BytesRead = Read;
    std::memcpy(Out.Bytes.data(), Buffer, Available);
    Out.Info.InstructionStart = Start;
    std::size_t Seen = Pos > 0 ? Pos : 1;
    if (Seen > 15)
        Seen = 15;
    Out.Length = static_cast<std::uint8_t>(Seen);
    Out.Info.NextInstruction = Start + Seen;
    Out.Info.Opcode = Opcode;
}

} // namespace

const char* KroConditionName(unsigned Code) {
    return ConditionNames[Code & 15];
}

bool TKroDecoder::Decode(std::uint64_t Address, TKroInstruction& Out) const {
    Out = TKroInstruction{};
    Out.Mode = Mode;
    Out.Info.InstructionStart = Address;
    TDecodeRun Run(Reader, Mode, Address, Out);
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
