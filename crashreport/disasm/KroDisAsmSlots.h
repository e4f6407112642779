#pragma once

#include "KroDisAsmInstruction.h"
#include "KroDisAsmReader.h"

// What the register slots know about the general registers, and what an instruction does to them: loads of
// immediates and of known addresses, copies, the bounded index of a switch and the jump-table entry it reads.

// The state after the instruction on its fall-through path.
void KroUpdateSlots(const TKroInstruction& Instruction, TRegisterSlots& Slots);

// The state on the taken path of a conditional jump, from the state before it (a compare and "jbe" bound the
// index there).
void KroTakenSlots(const TKroInstruction& Instruction, const TRegisterSlots& Before, TRegisterSlots& Taken);

// Merges the state of another path into Slots: what differs becomes unknown.
void KroMergeSlots(TRegisterSlots& Slots, const TRegisterSlots& Other);

// Resolves the target of an indirect call or jump through a register, or through memory at a register's known
// value, with the slots. Reads the cells involved; false when a needed read failed (the instruction is then not
// decoded). Does nothing for other instructions.
bool KroResolveThroughSlots(const TKroCodeReader& Reader, TKroInstruction& Instruction, const TRegisterSlots& Slots);

// What a load from the memory operand gives: a known cell, a jump-table entry read with a bounded index, the
// bounded cell, or nothing known.
TRegisterSlot KroLoadedValue(const TKroOperand& Memory, const TRegisterSlots& Slots, bool Signed);

// The general register an operand names in full (32- or 64-bit), or -1.
int KroFullRegister(const TKroOperand& Operand);
