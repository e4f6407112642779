#include "KroCallBefore.h"

#include "KroSafeRead.h"

#include <initializer_list>

namespace {

// The length of an FF instruction with this ModR/M byte (and the SIB byte after it), counted from the FF.
int IndirectLength(std::uint8_t ModRm, std::uint8_t Sib) noexcept {
    const int Mod = ModRm >> 6;
    const int Rm = ModRm & 7;
    if (Mod == 3)
        return 2;
    const bool HasSib = Rm == 4;
    int Length = 2 + (HasSib ? 1 : 0);
    if (Mod == 1)
        Length += 1;
    else if (Mod == 2)
        Length += 4;
    else if (Rm == 5 || (HasSib && (Sib & 7) == 5))
        Length += 4; // RIP-relative, or a SIB without base: a 32-bit displacement
    return Length;
}

} // namespace

bool EndsWithCall(const std::uint8_t (&Bytes)[8]) noexcept {
    if (Bytes[3] == 0xE8)
        return true;
    // FF at Bytes[8 - Length]: the ModR/M's reg field is 2 (near call) or 3 (far call), and the form is that long.
    for (const int Length : {2, 3, 4, 6, 7}) {
        const int At = 8 - Length;
        const std::uint8_t ModRm = Bytes[At + 1];
        const std::uint8_t Sib = At + 2 < 8 ? Bytes[At + 2] : 0;
        if (Bytes[At] == 0xFF && (ModRm & 0x30) == 0x10 && IndirectLength(ModRm, Sib) == Length)
            return true;
    }
    return false;
}

bool FollowsCall(std::uintptr_t Value) noexcept {
    std::uint8_t Bytes[8];
    return Value > 8 && KroSafeRead(Value - 8, Bytes, sizeof Bytes) && EndsWithCall(Bytes);
}
