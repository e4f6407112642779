#pragma once

#include "KroDisAsmInstruction.h"
#include "KroDisAsmReader.h"

#include <functional>
#include <string>

// Writes a decoded instruction as the line the reports show: address, prefixes, mnemonic, operands in Intel order,
// relative targets with their absolute address, and a comment naming the target or quoting a text the instruction
// points at. Undecodable bytes become one "db" line each.
class TKroTextWriter final {
public:
    explicit TKroTextWriter(const TKroCodeReader& Reader) : Reader(Reader) {}

    // Gives the label of an address, which then stands in place of a branch target (the listing's areas).
    using TLabeler = std::function<bool(std::uint64_t Address, std::string& Label)>;
    void SetLabeler(TLabeler Labeler) { Labels = std::move(Labeler); }

    // Appends the instruction's line(s), without a line break at the end.
    void Append(std::string& Text, const TKroInstruction& Instruction) const;

    // The column operands start at and the column of the comments, by mode.
    static std::size_t OperandColumn(TKroCpuMode Mode);
    static std::size_t CommentColumn(TKroCpuMode Mode);

private:
    void AppendOperand(std::string& Text, const TKroInstruction& Instruction, const TKroOperand& Operand,
                       bool SizeWord) const;
    void AppendMemory(std::string& Text, const TKroInstruction& Instruction, const TKroOperand& Operand) const;
    bool Comment(const TKroInstruction& Instruction, std::string& Comment) const;
    bool NameOf(std::uint64_t Address, TKroCpuMode Mode, std::string& Name) const;
    bool TextAt(std::uint64_t Address, std::string& Quoted) const;

    const TKroCodeReader& Reader;
    TLabeler Labels;
};

// Appends the name of a register of a class and size.
void KroAppendRegister(std::string& Text, TKroRegClass Class, unsigned Number, unsigned Size, bool HighByte);
