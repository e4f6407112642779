#include "StructuredEncodings.h"

#include <random>

namespace {

class TBuilder final {
public:
    TBuilder(bool Bits64, std::uint64_t Seed) : Bits64(Bits64), Random(Seed) {}

    std::vector<unsigned char> Next() {
        Bytes.clear();
        switch (Below(8)) {
        case 0:
        case 1:
        case 2:
        case 3:
            Legacy();
            break;
        case 4:
            Vex3(0xC4, 1 + Below(3), Below(4));
            break;
        case 5:
            Evex();
            break;
        case 6:
            Vex3(0x8F, 8 + Below(3), 0);
            break;
        default:
            Vex2();
            break;
        }
        ModRmAndRest();
        return Bytes;
    }

private:
    unsigned Below(unsigned Limit) { return static_cast<unsigned>(Random() % Limit); }
    void Push(unsigned Byte) { Bytes.push_back(static_cast<unsigned char>(Byte)); }

    // A legacy instruction: optional prefixes and REX, then the one-byte or an escape map.
    void Legacy() {
        if (Below(4) == 0)
            Push(0x66);
        if (Below(5) == 0)
            Push(Below(2) ? 0xF2 : 0xF3);
        if (Below(8) == 0)
            Push(0x67);
        if (Bits64 && Below(2))
            Push(0x40 | Below(16));
        const unsigned Map = Below(4);
        if (Map >= 1)
            Push(0x0F);
        if (Map == 2)
            Push(0x38);
        if (Map == 3)
            Push(0x3A);
        unsigned Opcode = Below(256);
        // Bytes that would be prefixes or escapes here become a nop: those are built above.
        static constexpr unsigned Escapes[] = {0x0F, 0x26, 0x2E, 0x36, 0x3E, 0x64, 0x65, 0x66, 0x67,
                                               0xF0, 0xF2, 0xF3, 0xC4, 0xC5, 0x62, 0x8F, 0x9B};
        if (Map == 0)
            for (const unsigned Escape : Escapes)
                if (Opcode == Escape || (Bits64 && Opcode >= 0x40 && Opcode <= 0x4F))
                    Opcode = 0x90;
        if (Map == 1 && (Opcode == 0x38 || Opcode == 0x3A))
            Opcode = 0x10;
        Push(Opcode);
    }

    // Outside 64-bit code the inverted register-extension bits must be set, or the bytes are LES, LDS or BOUND.
    unsigned Extension(unsigned Bits) { return Bits64 ? Below(1u << Bits) : (1u << Bits) - 1; }

    void Vex3(unsigned Escape, unsigned Map, unsigned Prefix) {
        Push(Escape);
        Push(Extension(3) << 5 | Map);
        Push(Below(2) << 7 | (Extension(4) | (Bits64 ? 0 : 8)) << 3 | Below(2) << 2 | Prefix);
        Push(Below(256));
    }

    void Vex2() {
        Push(0xC5);
        Push(Extension(1) << 7 | (Extension(4) | (Bits64 ? 0 : 8)) << 3 | Below(2) << 2 | Below(4));
        Push(Below(256));
    }

    void Evex() {
        static constexpr unsigned Maps[] = {1, 2, 3, 5, 6};
        const unsigned Mask = Below(3) == 0 ? Below(8) : 0;
        Push(0x62);
        Push(Extension(4) << 4 | Maps[Below(5)]);
        Push(Below(2) << 7 | (Extension(4) | (Bits64 ? 0 : 8)) << 3 | 4 | (Below(5) == 0 ? Below(4) : 1));
        Push((Mask != 0 && Below(3) == 0) << 7 | Below(3) << 5 | (Below(5) == 0) << 4 | Extension(1) << 3 | Mask);
        Push(Below(256));
    }

    void ModRmAndRest() {
        unsigned Mod = Below(4);
        const bool Vector = !Bytes.empty() && (Bytes[0] == 0x62 || Bytes[0] == 0xC4 || Bytes[0] == 0xC5);
        if (!Bits64 && Vector && Below(2))
            Mod = 3;
        const unsigned Rm = Below(8);
        Push(Mod << 6 | Below(8) << 3 | Rm);
        if (Mod != 3 && Rm == 4)
            Push(Below(256));
        static constexpr unsigned Favoured[] = {0x00, 0x01, 0x05, 0x10, 0x11, 0x1F, 0x21, 0x07, 0x83, 0xFE};
        for (int I = 0; I < 10; ++I)
            Push(Below(3) != 0 ? Favoured[Below(10)] : Below(256));
    }

    const bool Bits64;
    std::mt19937_64 Random;
    std::vector<unsigned char> Bytes;
};

} // namespace

std::vector<std::vector<unsigned char>> StructuredEncodings(std::size_t Count, bool Bits64, std::uint64_t Seed) {
    TBuilder Builder(Bits64, Seed);
    std::vector<std::vector<unsigned char>> Encodings;
    Encodings.reserve(Count);
    for (std::size_t I = 0; I < Count; ++I)
        Encodings.push_back(Builder.Next());
    return Encodings;
}
