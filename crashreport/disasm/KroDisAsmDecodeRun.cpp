#include "KroDisAsmDecodeRun.h"

#include <cstring>

namespace {

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
    case TKroMethod::VsibX:
    case TKroMethod::VsibH:
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

} // namespace

int TKroDecodeRun::MandatoryIndex() const {
    if (RepPrefix == 0xF3)
        return 2;
    if (RepPrefix == 0xF2)
        return 3;
    return Op66 ? 1 : 0;
}

bool TKroDecodeRun::ReadPrefixes() {
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

void TKroDecodeRun::LoneRex() {
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

bool TKroDecodeRun::ReadVex(std::uint8_t Kind) {
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

bool TKroDecodeRun::ReadOpcode() {
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
bool TKroDecodeRun::Select(TKroOpcodeEntry& Current) {
    for (int Depth = 0; Depth < 8; ++Depth) {
        switch (Current.Kind) {
        case TKroEntryKind::Instruction:
            return true;
        case TKroEntryKind::Invalid:
        case TKroEntryKind::Fallback:
            return false;
        case TKroEntryKind::AsVex:
            WantVex = true;
            return false;
        case TKroEntryKind::Group:
            EnsureModRm();
            Current = Current.Sub[RegField() + (Mod() == 3 || (Current.Flags & KfModIgnored) ? 8 : 0)];
            break;
        case TKroEntryKind::Prefix: {
            int Index = Encoding == TKroEncoding::Legacy ? MandatoryIndex() : VexPp;
            // A repeat prefix that selects nothing here leaves the choice to an operand-size prefix in front of it.
            if (Index >= 2 && Op66 && Current.Sub[Index].Kind == TKroEntryKind::Fallback &&
                Current.Sub[1].Kind != TKroEntryKind::Fallback && Current.Sub[1].Kind != TKroEntryKind::Invalid)
                Index = 1;
            const TKroOpcodeEntry& Form = Current.Sub[Index];
            if (Form.Kind == TKroEntryKind::Fallback) {
                Current = Current.Sub[0];
            } else {
                if (Index != 0 && (Form.Flags & KfOptionalPrefix) == 0) {
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

bool TKroDecodeRun::ResolveEntry() {
    if (Encoding == TKroEncoding::Xop) {
        // AMD's XOP instructions; the pp bits select nothing there.
        Entry = KroXopMap(Map)[Opcode].Forms[0];
        return Select(Entry);
    }
    if (Encoding == TKroEncoding::Vex || Encoding == TKroEncoding::Evex) {
        bool Known = Map >= 1 && Map <= 3;
        if (Encoding == TKroEncoding::Evex) {
            // The EVEX maps name every EVEX instruction; those that are their VEX twin say so.
            Entry = KroEvexMap(Map)[Opcode].Forms[static_cast<std::size_t>(VexPp)];
            if (Select(Entry))
                return true;
            if (Fault)
                return false;
            Known = Known && WantVex;
        }
        if (Known) {
            // A form marked Same ignores the prefix: it is the form without one.
            const auto Form = [&](const TKroPrefixedEntry& Forms) {
                const TKroOpcodeEntry& Chosen = Forms.Forms[static_cast<std::size_t>(VexPp)];
                return Chosen.Kind == TKroEntryKind::Fallback ? Forms.Forms[0] : Chosen;
            };
            Entry = Form(KroVexMap(Map)[Opcode]);
            if (Entry.Kind == TKroEntryKind::Invalid) {
                const TKroPrefixedMap& Legacy = Map == 1 ? KroMap0F() : Map == 2 ? KroMap0F38() : KroMap0F3A();
                Entry = Form(Legacy[Opcode]);
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
        if (Opcode == 0x90 && (Rex & 1) != 0 && RepPrefix != 0xF3)
            Entry = KroOneByteMap()[0x91]; // xchg r8, rax
        return Select(Entry);
    }
    const TKroPrefixedMap& Table = Map == 1 ? KroMap0F() : Map == 2 ? KroMap0F38() : KroMap0F3A();
    const TKroPrefixedEntry& Forms = Table[Opcode];
    Entry = {TKroEntryKind::Prefix, nullptr, {}, 0, 0, Forms.Forms.data()};
    return Select(Entry);
}

void TKroDecodeRun::ComputeSizes() {
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

unsigned TKroDecodeRun::SizeBytes(TKroSize Size) const {
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
        return Op66 && !Used66 ? 4 : 6; // far pointers follow the operand-size prefix alone, not REX.W
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
    case TKroSize::ws:
        return RexW() ? 8 : 4;
    case TKroSize::xq:
        return VectorLength == 16 ? 8 : VectorLength;
    case TKroSize::as:
        return AddressSize;
    }
    return 0;
}

void TKroDecodeRun::Finish() {
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
            // A branch with a 16-bit displacement wraps its target at 16 bits; a short one is shown at full width
            // whatever prefix it carries.
            if (OperandSize == 2 && Operand.FieldSize == 2)
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

void TKroDecodeRun::Run() {
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
        const std::uint64_t Flags = Entry.Flags;
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
