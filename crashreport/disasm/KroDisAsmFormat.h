#pragma once

#include "KroDisAsmTypes.h"

#include <cstdint>
#include <string>

// The number forms of the disassembly texts.

// Lower-case hexadecimal, at least Digits digits.
void KroAppendHex(std::string& Text, std::uint64_t Value, int Digits = 1);

// Decimal up to 9, else "$" and hexadecimal.
void KroAppendNumber(std::string& Text, std::uint64_t Value);

// An address as the listings write it: 8 digits in 32-bit code, 16 in 64-bit code.
void KroAppendAddress(std::string& Text, std::uint64_t Address, TKroCpuMode Mode);

// The width of that address column.
constexpr std::size_t KroAddressWidth(TKroCpuMode Mode) {
    return Mode == TKroCpuMode::Bits64 ? 16 : 8;
}

// Pads Text with blanks to Column characters in its last line.
void KroPadToColumn(std::string& Text, std::size_t LineStart, std::size_t Column);
