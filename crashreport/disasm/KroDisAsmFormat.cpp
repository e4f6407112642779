#include "KroDisAsmFormat.h"

void KroAppendHex(std::string& Text, std::uint64_t Value, int Digits) {
    char Buffer[16];
    int Count = 0;
    do {
        Buffer[Count++] = "0123456789abcdef"[Value & 15];
        Value >>= 4;
    } while (Value != 0);
    for (int I = Count; I < Digits; ++I)
        Text += '0';
    while (Count > 0)
        Text += Buffer[--Count];
}

void KroAppendNumber(std::string& Text, std::uint64_t Value) {
    if (Value <= 9) {
        Text += static_cast<char>('0' + Value);
        return;
    }
    Text += '$';
    KroAppendHex(Text, Value);
}

void KroAppendAddress(std::string& Text, std::uint64_t Address, TKroCpuMode Mode) {
    KroAppendHex(Text, Address, static_cast<int>(KroAddressWidth(Mode)));
}

void KroPadToColumn(std::string& Text, std::size_t LineStart, std::size_t Column) {
    if (Text.size() - LineStart < Column)
        Text.append(Column - (Text.size() - LineStart), ' ');
}
