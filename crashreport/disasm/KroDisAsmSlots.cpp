#include "KroDisAsmSlots.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsMnemonic(const TKroInstruction& Instruction, const char* Name) {
    return std::strcmp(Instruction.Mnemonic, Name) == 0;
}

bool IsConditionalJump(const TKroInstruction& Instruction) {
    if (Instruction.Encoding != TKroEncoding::Legacy || (Instruction.Flags & KfCond) == 0 || !Instruction.Info.IsJump)
        return false;
    return true;
}

int GprOf(const TKroOperand& Operand) {
    if (Operand.Kind != TKroOperandKind::Register || Operand.RegClass != TKroRegClass::Gpr)
        return -1;
    return Operand.HighByte ? Operand.Reg & 3 : Operand.Reg & 15;
}

void ClearRegister(TRegisterSlots& Slots, int Register) {
    if (Register < 0 || Register > 15)
        return;
    Slots.Registers[static_cast<std::size_t>(Register)] = {};
    if (Slots.Cell.Base == Register)
        Slots.Cell = {};
}

// The highest value Bytes bytes hold.
std::uint32_t LargestIn(unsigned Bytes) {
    return Bytes >= 4 ? 0xFFFFFFFFu : (1u << (8 * Bytes)) - 1;
}

void Bound(TRegisterSlots& Slots, std::int8_t Register, std::uint8_t Width, const TBoundedCell& Cell,
           std::uint32_t Highest) {
    if (Register >= 0) {
        TRegisterSlot Index;
        Index.Kind = TKroSlotKind::Index;
        Index.Width = Width;
        Index.Bound = Highest;
        Slots.Registers[static_cast<std::size_t>(Register)] = Index;
    } else if (Cell.Base >= 0) {
        Slots.Cell = Cell;
        Slots.Cell.Bound = Highest;
    }
}

// The highest index a conditional jump leaves on one of its paths after "cmp x, Value": ja/jg leave x <= Value on
// the fall-through path, jae/jge x <= Value - 1; jbe/jle and jb/jl leave the same on the taken path.
bool BoundOnPath(unsigned Condition, bool Taken, std::uint32_t Value, std::uint32_t& Highest) {
    const bool FallThrough = Condition == 0x7 || Condition == 0xF || Condition == 0x3 || Condition == 0xD;
    const bool TakenPath = Condition == 0x6 || Condition == 0xE || Condition == 0x2 || Condition == 0xC;
    if (Taken ? !TakenPath : !FallThrough)
        return false;
    const bool Inclusive = Condition == 0x7 || Condition == 0xF || Condition == 0x6 || Condition == 0xE;
    if (!Inclusive && Value == 0)
        return false;
    Highest = Inclusive ? Value : Value - 1;
    return true;
}

} // namespace

TRegisterSlot KroLoadedValue(const TKroOperand& Memory, const TRegisterSlots& Slots, bool Signed) {
    TRegisterSlot Slot;
    if (Memory.AbsoluteKnown) {
        Slot.Kind = TKroSlotKind::MemoryCell;
        Slot.Address = Memory.Address;
        Slot.Width = static_cast<std::uint8_t>(Memory.Size);
        return Slot;
    }
    if (Memory.Base == KroRipRegister || Memory.VectorIndex)
        return Slot;
    const TRegisterSlot* Base = Memory.Base >= 0 ? &Slots.Registers[static_cast<std::size_t>(Memory.Base)] : nullptr;
    const TRegisterSlot* Index = Memory.Index >= 0 ? &Slots.Registers[static_cast<std::size_t>(Memory.Index)] : nullptr;
    // The table's address is a known constant (a register or the displacement); the index is bounded in full and
    // scaled to the entry width.
    auto Table = [&](const TRegisterSlot* Address, const TRegisterSlot* Scaled, unsigned Scale) {
        if (Scaled == nullptr || Scaled->Kind != TKroSlotKind::Index || Scaled->Width != 0 ||
            Scaled->Scale * Scale != Memory.Size)
            return false;
        std::uint64_t Start = static_cast<std::uint64_t>(Memory.Displacement);
        if (Address != nullptr) {
            if (Address->Kind != TKroSlotKind::Constant)
                return false;
            Start += Address->Value;
        } else if (Start == 0) {
            return false;
        }
        Slot.Kind = TKroSlotKind::TableEntry;
        Slot.Address = Start;
        Slot.Width = static_cast<std::uint8_t>(Memory.Size);
        Slot.Signed = Signed;
        Slot.Bound = Scaled->Bound + 1;
        return true;
    };
    if (Memory.Size == 4 || Memory.Size == 8) {
        if (Table(Base, Index, Memory.Scale) || Table(Index, Base, 1))
            return Slot;
    }
    // The bounded cell itself, read no wider than the compare read it (a wider load takes unknown bytes along).
    if (Memory.Base >= 0 && Memory.Index < 0 && Slots.Cell.Base == Memory.Base &&
        Slots.Cell.Displacement == Memory.Displacement && Memory.Size != 0 && Memory.Size <= Slots.Cell.Width) {
        Slot.Kind = TKroSlotKind::Index;
        Slot.Bound = std::min(Slots.Cell.Bound, LargestIn(Memory.Size));
    }
    return Slot;
}

namespace {

TRegisterSlot AddressOf(const TKroOperand& Memory, const TRegisterSlots& Slots) {
    TRegisterSlot Slot;
    if (Memory.AbsoluteKnown) {
        Slot.Kind = TKroSlotKind::Constant;
        Slot.Value = Memory.Address;
        return Slot;
    }
    if (Memory.Base == KroRipRegister || Memory.VectorIndex)
        return Slot;
    if (Memory.Base < 0 && Memory.Index >= 0 && Memory.Displacement == 0) {
        const TRegisterSlot& Index = Slots.Registers[static_cast<std::size_t>(Memory.Index)];
        if (Index.Kind == TKroSlotKind::Index && Index.Width == 0) {
            Slot = Index;
            Slot.Scale = static_cast<std::uint8_t>(Index.Scale * Memory.Scale);
        }
        return Slot;
    }
    if (Memory.Base >= 0 && Memory.Index < 0) {
        const TRegisterSlot& Base = Slots.Registers[static_cast<std::size_t>(Memory.Base)];
        if (Base.Kind == TKroSlotKind::Constant) {
            Slot = Base;
            Slot.Value += static_cast<std::uint64_t>(Memory.Displacement);
        }
    }
    return Slot;
}

// A relative jump-table entry plus the address it is relative to: the case target.
TRegisterSlot Sum(const TRegisterSlot& A, const TRegisterSlot& B) {
    TRegisterSlot Slot;
    const TRegisterSlot* Entry = A.Kind == TKroSlotKind::TableEntry   ? &A
                                 : B.Kind == TKroSlotKind::TableEntry ? &B
                                                                      : nullptr;
    const TRegisterSlot* Base = Entry == &A ? &B : &A;
    if (Entry != nullptr && Entry->Width == 4 && Entry->Signed && Base->Kind == TKroSlotKind::Constant) {
        Slot = *Entry;
        Slot.Kind = TKroSlotKind::CaseTarget;
        Slot.Value = Base->Value;
    }
    return Slot;
}

// What movzx gives from a bounded register or cell: an index bounded in full, which may then index a table. A
// value bounded in a narrower part than the one widened is not bounded.
TRegisterSlot ZeroExtended(const TKroOperand& Source, const TRegisterSlots& Slots) {
    TRegisterSlot Slot;
    if (Source.Size == 0 || Source.Size > 2)
        return Slot;
    if (Source.Kind == TKroOperandKind::Memory) {
        const TRegisterSlot Loaded = KroLoadedValue(Source, Slots, false);
        if (Loaded.Kind == TKroSlotKind::Index)
            Slot = Loaded;
        return Slot;
    }
    if (Source.Kind != TKroOperandKind::Register || Source.RegClass != TKroRegClass::Gpr || Source.HighByte)
        return Slot;
    const TRegisterSlot& Bounded = Slots.Registers[Source.Reg & 15u];
    if (Bounded.Kind != TKroSlotKind::Index || Bounded.Scale != 1 ||
        (Bounded.Width != 0 && Bounded.Width < Source.Size))
        return Slot;
    Slot.Kind = TKroSlotKind::Index;
    Slot.Bound = std::min(Bounded.Bound, LargestIn(Source.Size));
    return Slot;
}

} // namespace

int KroFullRegister(const TKroOperand& Operand) {
    if (Operand.Kind != TKroOperandKind::Register || Operand.RegClass != TKroRegClass::Gpr || Operand.Size < 4)
        return -1;
    return Operand.Reg & 15;
}

void KroUpdateSlots(const TKroInstruction& Instruction, TRegisterSlots& Slots) {
    const TRegisterSlots Before = Slots;
    Slots.CompareRegister = -1;
    Slots.CompareWidth = 0;
    Slots.CompareCell = {};
    if (!Instruction.Info.Decoded) {
        Slots = {};
        return;
    }
    if (IsConditionalJump(Instruction)) {
        std::uint32_t Highest = 0;
        if (BoundOnPath(Instruction.Info.Opcode & 15, false, Before.CompareValue, Highest))
            Bound(Slots, Before.CompareRegister, Before.CompareWidth, Before.CompareCell, Highest);
        return;
    }
    const bool Is64 = Instruction.Mode == TKroCpuMode::Bits64;
    const std::uint64_t Flags = Instruction.Flags;
    const std::size_t Count = Instruction.OperandCount;
    const TKroOperand* First = Count > 0 ? &Instruction.Operands[0] : nullptr;
    const TKroOperand* Second = Count > 1 ? &Instruction.Operands[1] : nullptr;

    for (int Register = 0; Register < 16; ++Register)
        if (Instruction.Clobbers & (1u << Register))
            ClearRegister(Slots, Register);
    if (Instruction.Info.IsCall) {
        // The callee may change every register the calling conventions do not preserve.
        static constexpr int Volatile64[] = {0, 1, 2, 6, 7, 8, 9, 10, 11};
        static constexpr int Volatile32[] = {0, 1, 2};
        if (Is64)
            for (const int Register : Volatile64)
                ClearRegister(Slots, Register);
        else
            for (const int Register : Volatile32)
                ClearRegister(Slots, Register);
    }
    if (Slots.Cell.Base == 4 &&
        (IsMnemonic(Instruction, "push") || IsMnemonic(Instruction, "pop") || Instruction.Info.IsCall))
        Slots.Cell = {}; // the stack pointer moved under the cell
    if (First != nullptr && First->Kind == TKroOperandKind::Memory && (Flags & KfNoWrite) == 0 &&
        First->Base == Slots.Cell.Base)
        Slots.Cell = {}; // the cell (or its neighbourhood) is written

    if ((Flags & KfCompare) && IsMnemonic(Instruction, "cmp") && Second != nullptr &&
        Second->Kind == TKroOperandKind::Immediate && Second->Value < 0x10000) {
        // A switch over a byte- or word-sized value compares only the register's low part (cmp al, 39); the
        // movzx that widens it for the table keeps the bound.
        const int Register = KroFullRegister(*First);
        const int Part = GprOf(*First);
        if (Register >= 0) {
            Slots.CompareRegister = static_cast<std::int8_t>(Register);
        } else if (Part >= 0 && !First->HighByte && (First->Size == 1 || First->Size == 2)) {
            Slots.CompareRegister = static_cast<std::int8_t>(Part);
            Slots.CompareWidth = static_cast<std::uint8_t>(First->Size);
        } else if (First->Kind == TKroOperandKind::Memory && First->Base >= 0 && First->Base != KroRipRegister &&
                   First->Index < 0 && First->Size != 0) {
            Slots.CompareCell.Base = First->Base;
            Slots.CompareCell.Displacement = First->Displacement;
            Slots.CompareCell.Width = static_cast<std::uint8_t>(First->Size);
        }
        Slots.CompareValue = static_cast<std::uint32_t>(Second->Value);
        return;
    }
    if (IsMnemonic(Instruction, "cdqe")) {
        // Sign-extending a table entry keeps it one.
        if (Before.Registers[0].Kind == TKroSlotKind::TableEntry && Before.Registers[0].Width == 4) {
            Slots.Registers[0] = Before.Registers[0];
            Slots.Registers[0].Signed = true;
        }
        return;
    }

    const int Destination = (Flags & KfNoWrite) == 0 && First != nullptr ? GprOf(*First) : -1;
    TRegisterSlot Value;
    if (Destination >= 0 && First->Size >= 4) {
        if ((Flags & KfMovImm) && Second != nullptr && Second->Kind == TKroOperandKind::Immediate) {
            Value.Kind = TKroSlotKind::Immediate;
            Value.Address = Second->FieldAddress;
            Value.Width = Second->FieldSize;
            Value.Signed = Second->Signed;
        } else if ((Flags & KfMovReg) && Second != nullptr && KroFullRegister(*Second) >= 0 &&
                   Second->Size == First->Size) {
            const TRegisterSlot& Source = Before.Registers[static_cast<std::size_t>(KroFullRegister(*Second))];
            // A 32-bit copy in 64-bit code cuts the value: only a small index survives it.
            if (First->Size == 8 || !Is64 || Source.Kind == TKroSlotKind::Index)
                Value = Source;
        } else if ((Flags & KfZeroExtend) && Second != nullptr) {
            Value = ZeroExtended(*Second, Before);
        } else if ((Flags & (KfMovMem | KfSignExtend)) && Second != nullptr &&
                   Second->Kind == TKroOperandKind::Memory) {
            Value = KroLoadedValue(*Second, Before, (Flags & KfSignExtend) != 0);
        } else if ((Flags & KfLea) && Second != nullptr) {
            Value = AddressOf(*Second, Before);
        } else if (IsMnemonic(Instruction, "add") && Second != nullptr && KroFullRegister(*Second) >= 0) {
            Value = Sum(Before.Registers[static_cast<std::size_t>(Destination)],
                        Before.Registers[static_cast<std::size_t>(KroFullRegister(*Second))]);
        } else if (IsMnemonic(Instruction, "and") && Second != nullptr && Second->Kind == TKroOperandKind::Immediate &&
                   Second->Value < 0x10000) {
            Value.Kind = TKroSlotKind::Index;
            Value.Bound = static_cast<std::uint32_t>(Second->Value);
        }
    }
    if (Destination >= 0) {
        ClearRegister(Slots, Destination);
        Slots.Registers[static_cast<std::size_t>(Destination)] = Value;
    }
    if ((Flags & KfWritesBoth) && Second != nullptr)
        ClearRegister(Slots, GprOf(*Second));
}

void KroTakenSlots(const TKroInstruction& Instruction, const TRegisterSlots& Before, TRegisterSlots& Taken) {
    Taken = Before;
    Taken.CompareRegister = -1;
    Taken.CompareWidth = 0;
    Taken.CompareCell = {};
    std::uint32_t Highest = 0;
    if (IsConditionalJump(Instruction) && BoundOnPath(Instruction.Info.Opcode & 15, true, Before.CompareValue, Highest))
        Bound(Taken, Before.CompareRegister, Before.CompareWidth, Before.CompareCell, Highest);
}

void KroMergeSlots(TRegisterSlots& Slots, const TRegisterSlots& Other) {
    for (std::size_t Register = 0; Register < Slots.Registers.size(); ++Register)
        if (!(Slots.Registers[Register] == Other.Registers[Register]))
            Slots.Registers[Register] = {};
    if (!(Slots.Cell == Other.Cell))
        Slots.Cell = {};
    if (Slots.CompareRegister != Other.CompareRegister || Slots.CompareWidth != Other.CompareWidth ||
        !(Slots.CompareCell == Other.CompareCell) || Slots.CompareValue != Other.CompareValue) {
        Slots.CompareRegister = -1;
        Slots.CompareWidth = 0;
        Slots.CompareCell = {};
        Slots.CompareValue = 0;
    }
}

bool KroResolveThroughSlots(const TKroCodeReader& Reader, TKroInstruction& Instruction, const TRegisterSlots& Slots) {
    TCodeInfo& Info = Instruction.Info;
    const int RegField = (Info.ModRm >> 3) & 7;
    if (!Info.Decoded || Instruction.Encoding != TKroEncoding::Legacy || Instruction.Map != 0 || Info.Opcode != 0xFF ||
        RegField < 2 || RegField > 5 || Instruction.OperandCount == 0 || Info.TargetAddress != 0)
        return true;
    const TKroOperand& Operand = Instruction.Operands[0];
    const unsigned PointerSize = Instruction.OperandSize;
    auto ReadValue = [&](std::uint64_t Address, unsigned Width, bool Signed, std::uint64_t& Value) {
        Value = 0;
        if (Width == 0 || Width > 8 || !Reader.Read(Address, &Value, Width))
            return false;
        if (Signed && Width < 8) {
            const unsigned Shift = 64 - 8 * Width;
            Value = static_cast<std::uint64_t>(static_cast<std::int64_t>(Value << Shift) >> Shift);
        }
        return true;
    };
    const int Register = KroFullRegister(Operand);
    if (Register >= 0) {
        const TRegisterSlot& Slot = Slots.Registers[static_cast<std::size_t>(Register)];
        std::uint64_t Value = 0;
        switch (Slot.Kind) {
        case TKroSlotKind::Immediate:
            if (!ReadValue(Slot.Address, Slot.Width, Slot.Signed, Value))
                return false;
            Info.TargetField = Slot.Address;
            Info.TargetWidth = Slot.Width;
            Info.TargetAddress = Value;
            break;
        case TKroSlotKind::MemoryCell:
            if (!ReadValue(Slot.Address, Slot.Width, false, Value))
                return false;
            Info.TargetPointer = Slot.Address;
            Info.TargetWidth = Slot.Width;
            Info.TargetAddress = Value;
            break;
        case TKroSlotKind::Constant:
            Info.TargetAddress = Slot.Value;
            break;
        default:
            return true;
        }
    } else if (Operand.Kind == TKroOperandKind::Memory && Operand.Base >= 0 && Operand.Base != KroRipRegister &&
               Operand.Index < 0) {
        const TRegisterSlot& Slot = Slots.Registers[static_cast<std::size_t>(Operand.Base)];
        std::uint64_t Cell = 0;
        if (Slot.Kind == TKroSlotKind::Immediate) {
            if (!ReadValue(Slot.Address, Slot.Width, Slot.Signed, Cell))
                return false;
        } else if (Slot.Kind == TKroSlotKind::Constant) {
            Cell = Slot.Value;
        } else {
            return true;
        }
        Cell += static_cast<std::uint64_t>(Operand.Displacement);
        std::uint64_t Target = 0;
        if (!ReadValue(Cell, PointerSize, false, Target))
            return false;
        Info.TargetPointer = Cell;
        Info.TargetWidth = static_cast<std::int32_t>(PointerSize);
        Info.TargetAddress = Target;
    } else {
        return true;
    }
    if (Info.TargetAddress == Info.NextInstruction) {
        Info.IsCall = Info.IsJump = false;
        Info.TargetAddress = Info.TargetField = Info.TargetPointer = 0;
        Info.TargetWidth = 0;
    }
    return true;
}
