#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The records the disassembler shares with its customers: the code hooks and the stack tracer decode single
// instructions into a TCodeInfo, the stack tracer and the report analyse whole functions into a TFunctionInfo.

// The processor mode code is decoded in: the native mode of this process, or 32-bit code (raw code files, and the
// 32-bit forms the reporter has always understood).
enum class TKroCpuMode : std::uint8_t { Bits32, Bits64 };

constexpr TKroCpuMode KroNativeCpuMode = sizeof(void*) == 8 ? TKroCpuMode::Bits64 : TKroCpuMode::Bits32;

// What one decode found out about an instruction. All fields are zero before decoding starts.
struct TCodeInfo {
    bool Decoded = false;            // the bytes form a defined instruction
    std::uint32_t Opcode = 0;        // the opcode byte, $0F00 + byte, $0F3800 + byte or $0F3A00 + byte
    std::uint8_t ModRm = 0;          // the ModRM byte, 0 without one
    bool IsCall = false;             // near or far call
    bool IsJump = false;             // conditional and unconditional jumps, loops
    bool TargetRelative = false;     // the target is encoded relative to the next instruction
    std::uint64_t TargetAddress = 0; // the absolute target, when known (0 = unknown)
    std::uint64_t TargetField = 0;   // address of the code bytes that hold the target, or 0
    std::uint64_t TargetPointer = 0; // address of the memory cell that holds the target, or 0
    std::int32_t TargetWidth = 0;    // width of the target field or cell in bytes
    bool Widenable = false;          // a relative target field that a wider form of the branch could hold
    std::uint64_t InstructionStart = 0;
    std::uint64_t NextInstruction = 0;
};

// What the flow analysis knows about the value of one general register at a point of the code.
enum class TKroSlotKind : std::uint8_t {
    Unknown,
    Immediate,  // loaded from an immediate: Address is the immediate's address in the code, Width its size
    Constant,   // a known address computed by the code (lea of a RIP-relative address): Value
    MemoryCell, // loaded from a known memory cell: Address is the cell, Width its size
    Index,      // a bounded index: 0 <= value <= Bound, multiplied by Scale; with Width 1 or 2 only the low byte or
                // word is bounded (a compare of al or ax), and the index serves a table once zero-extended
    TableEntry, // an entry of a table of Count entries of Width bytes at Address (a jump table being read)
    CaseTarget, // a table entry plus the table's own address (position-independent jump tables)
};

struct TRegisterSlot {
    TKroSlotKind Kind = TKroSlotKind::Unknown;
    std::uint8_t Width = 0;    // Immediate, MemoryCell, TableEntry: bytes; Index: bytes bounded, 0 = all
    std::uint8_t Scale = 1;    // Index: the factor the index was multiplied by
    bool Signed = false;       // Immediate and TableEntry: the value is sign-extended
    std::uint32_t Bound = 0;   // Index: the highest value; TableEntry, CaseTarget: the entry count
    std::uint64_t Address = 0; // Immediate: field; MemoryCell: cell; TableEntry, CaseTarget: the table
    std::uint64_t Value = 0;   // Constant: the value; TableEntry: the base added to the entries (0 = absolute)

    friend bool operator==(const TRegisterSlot&, const TRegisterSlot&) = default;
};

// A bounded memory cell ([base register + displacement]) whose value a compare and a conditional jump limited,
// as unoptimised code keeps a switch's value on the stack.
struct TBoundedCell {
    std::int8_t Base = -1; // register number, -1 = none known
    std::int64_t Displacement = 0;
    std::uint32_t Bound = 0;
    std::uint8_t Width = 0; // bytes the compare read: a wider load of the cell is not bounded

    friend bool operator==(const TBoundedCell&, const TBoundedCell&) = default;
};

// The register slots of the 16 general registers in encoding order (rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi,
// r8-r15; in 32-bit code only the first eight are used), plus the compare that is still to meet its jump.
struct TRegisterSlots {
    std::array<TRegisterSlot, 16> Registers{};
    TBoundedCell Cell;
    // The last compare of a register or cell with an immediate, waiting for its conditional jump.
    std::int8_t CompareRegister = -1; // register number, -1 none
    std::uint8_t CompareWidth = 0;    // bytes of the register compared: 1 or 2 for its low part, 0 = all of it
    TBoundedCell CompareCell;         // Base -1 none
    std::uint32_t CompareValue = 0;

    friend bool operator==(const TRegisterSlots&, const TRegisterSlots&) = default;
};

// A piece of a function: code from Begin to End, or a case jump table.
struct TCodeArea {
    std::uint64_t Begin = 0;
    std::uint64_t End = 0;       // last byte; 0 while the area is still to be analysed
    bool CaseTable = false;      // a table of jump targets, not code
    std::uint8_t EntrySize = 0;  // case table: 4 or 8 bytes per entry
    std::uint64_t TableBase = 0; // case table: the address its entries are relative to, 0 for absolute entries
    std::uint64_t Referrer = 0;  // the closest instruction that branches here, 0 for none
    TRegisterSlots Registers;    // valid at Begin
};

struct TExternalBranch {
    bool IsCall = false;
    std::uint64_t InstructionStart = 0;
    std::uint64_t NextInstruction = 0;
    std::uint64_t TargetAddress = 0;
    bool TargetRelative = false;
    std::uint64_t TargetField = 0;
    std::uint64_t TargetPointer = 0;
};

struct TOpenBranch {
    bool IsCall = false;
    std::uint64_t InstructionStart = 0;
    std::uint64_t NextInstruction = 0;
};

struct TFunctionInfo {
    bool Succeeded = false;
    std::uint64_t StartAddress = 0;
    std::uint64_t LowestAddress = 0;
    std::uint32_t Extent = 0;
    std::uint64_t ErrorAddress = 0;
    std::uint32_t ErrorCode = 0;
    std::string ErrorText;
    std::vector<TCodeArea> Areas;
    std::vector<TExternalBranch> ExternalBranches;
    std::vector<TOpenBranch> OpenBranches;
    bool EntryRelocatable = false;
    bool Analysed = false; // set when an analysis starts
    std::uint32_t RelocationSize = 0;
};

// The error codes an analysis reports.
constexpr std::uint32_t KroErrorNotCommitted = 87;
constexpr std::uint32_t KroErrorInvalidCode = 0x770001;
