#include "KroCrypt.h"

#include "KroBlowfishInit.h"

#include <cstring>

namespace {

std::uint32_t F(const TBlowfishState& State, std::uint32_t X) noexcept {
    return ((State.S[0][X >> 24] + State.S[1][(X >> 16) & 0xff]) ^ State.S[2][(X >> 8) & 0xff]) + State.S[3][X & 0xff];
}

std::uint32_t LoadBigEndian(const unsigned char* Bytes) noexcept {
    return (std::uint32_t{Bytes[0]} << 24) | (std::uint32_t{Bytes[1]} << 16) | (std::uint32_t{Bytes[2]} << 8) |
           std::uint32_t{Bytes[3]};
}

void StoreBigEndian(unsigned char* Bytes, std::uint32_t Word) noexcept {
    Bytes[0] = static_cast<unsigned char>(Word >> 24);
    Bytes[1] = static_cast<unsigned char>(Word >> 16);
    Bytes[2] = static_cast<unsigned char>(Word >> 8);
    Bytes[3] = static_cast<unsigned char>(Word);
}

std::uint32_t LoadLittleEndian(const unsigned char* Bytes) noexcept {
    return ByteSwap32(LoadBigEndian(Bytes));
}

void StoreLittleEndian(unsigned char* Bytes, std::uint32_t Word) noexcept {
    StoreBigEndian(Bytes, ByteSwap32(Word));
}

void CipherEcb(const TBlowfishState& State, unsigned char* Data, std::size_t Blocks, bool Encipher, bool Raw) noexcept {
    const auto Load = Raw ? LoadLittleEndian : LoadBigEndian;
    const auto Store = Raw ? StoreLittleEndian : StoreBigEndian;
    for (std::size_t Block = 0; Block < Blocks; ++Block, Data += 8) {
        std::uint32_t Left = Load(Data);
        std::uint32_t Right = Load(Data + 4);
        BlowfishEncipherBlock(State, Left, Right, Encipher);
        Store(Data, Left);
        Store(Data + 4, Right);
    }
}

void CipherCounter(const TBlowfishState& State, unsigned char* Data, std::size_t Blocks, std::uint32_t Iv1,
                   std::uint32_t Iv2) noexcept {
    unsigned char Counter[8];
    StoreLittleEndian(Counter, Iv1);
    StoreLittleEndian(Counter + 4, Iv2);
    for (std::size_t Block = 0; Block < Blocks; ++Block, Data += 8) {
        for (int Byte = 7; Byte >= 0 && ++Counter[Byte] == 0; --Byte) {
        }
        std::uint32_t Left = LoadBigEndian(Counter);
        std::uint32_t Right = LoadBigEndian(Counter + 4);
        BlowfishEncipherBlock(State, Left, Right, true);
        unsigned char Stream[8];
        StoreBigEndian(Stream, Left);
        StoreBigEndian(Stream + 4, Right);
        for (int Byte = 0; Byte < 8; ++Byte)
            Data[Byte] ^= Stream[Byte];
    }
}

} // namespace

TBlowfishState BlowfishInitKey(const void* Password, std::size_t Length) noexcept {
    TBlowfishState State;
    std::memcpy(State.P, BlowfishInitialP, sizeof State.P);
    std::memcpy(State.S, BlowfishInitialS, sizeof State.S);
    const auto* Key = static_cast<const unsigned char*>(Password);
    if (Key != nullptr && Length > 0) {
        std::size_t Next = 0;
        for (std::uint32_t& Word : State.P) {
            std::uint32_t Data = 0;
            for (int Byte = 0; Byte < 4; ++Byte) {
                Data = (Data << 8) | Key[Next];
                Next = Next + 1 == Length ? 0 : Next + 1;
            }
            Word ^= Data;
        }
    }
    std::uint32_t Left = 0;
    std::uint32_t Right = 0;
    for (int I = 0; I < 18; I += 2) {
        BlowfishEncipherBlock(State, Left, Right, true);
        State.P[I] = Left;
        State.P[I + 1] = Right;
    }
    for (auto& Box : State.S)
        for (int I = 0; I < 256; I += 2) {
            BlowfishEncipherBlock(State, Left, Right, true);
            Box[I] = Left;
            Box[I + 1] = Right;
        }
    return State;
}

TBlowfishState BlowfishInitKey(std::string_view Password) noexcept {
    return BlowfishInitKey(Password.data(), Password.size());
}

void BlowfishEncipherBlock(const TBlowfishState& State, std::uint32_t& Left, std::uint32_t& Right,
                           bool Encipher) noexcept {
    std::uint32_t L = Left;
    std::uint32_t R = Right;
    for (int Round = 0; Round < 16; ++Round) {
        L ^= State.P[Encipher ? Round : 17 - Round];
        R ^= F(State, L);
        const std::uint32_t Swap = L;
        L = R;
        R = Swap;
    }
    // The last round does not swap: undo it, then whiten with the two remaining P-words.
    const std::uint32_t Swap = L;
    L = R;
    R = Swap;
    R ^= State.P[Encipher ? 16 : 1];
    L ^= State.P[Encipher ? 17 : 0];
    Left = L;
    Right = R;
}

void BlowfishCipherBuffer(void* Buffer, std::size_t Length, bool Encipher, bool Raw, std::uint32_t Iv1,
                          std::uint32_t Iv2, std::string_view Password) noexcept {
    const std::size_t Blocks = Length / 8;
    if (Buffer == nullptr || Blocks == 0)
        return;
    const TBlowfishState State = BlowfishInitKey(Password);
    auto* Data = static_cast<unsigned char*>(Buffer);
    if (Iv1 == 0 && Iv2 == 0)
        CipherEcb(State, Data, Blocks, Encipher, Raw);
    else
        CipherCounter(State, Data, Blocks, Iv1, Iv2);
}

void DecipherString(std::string& Text, std::string_view Password, std::uint32_t Iv1, std::uint32_t Iv2) {
    if (Text.empty())
        return;
    BlowfishCipherBuffer(Text.data(), Text.size(), false, false, Iv1, Iv2, Password);
    const auto Last = static_cast<unsigned char>(Text.back());
    if (Last == 1) {
        Text.pop_back();
        return;
    }
    // The padding test looks only at bytes the text has: a short text with a large last byte keeps everything.
    if (Last < 2 || Last > 8 || Text.size() < Last)
        return;
    for (std::size_t I = Text.size() - Last; I + 1 < Text.size(); ++I)
        if (static_cast<unsigned char>(Text[I]) != Last)
            return;
    Text.resize(Text.size() - Last);
}

void LegacyEncipher(void* Data, std::size_t Length, std::string_view Password) noexcept {
    BlowfishCipherBuffer(Data, Length, true, true, 0, 0, Password);
}

void LegacyDecipher(void* Data, std::size_t Length, std::string_view Password) noexcept {
    BlowfishCipherBuffer(Data, Length, false, true, 0, 0, Password);
}

void LegacyEncipher(std::string& Text, std::string_view Password) noexcept {
    LegacyEncipher(Text.data(), Text.size(), Password);
}

void LegacyDecipher(std::string& Text, std::string_view Password) noexcept {
    LegacyDecipher(Text.data(), Text.size(), Password);
}

std::string Base64Encode(const void* Bytes, std::ptrdiff_t Count) {
    static constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string Text;
    if (Bytes == nullptr || Count <= 0)
        return Text;
    const auto* Data = static_cast<const unsigned char*>(Bytes);
    const auto Size = static_cast<std::size_t>(Count);
    Text.reserve((Size + 2) / 3 * 4);
    std::size_t I = 0;
    for (; I + 3 <= Size; I += 3) {
        const std::uint32_t Group = (std::uint32_t{Data[I]} << 16) | (std::uint32_t{Data[I + 1]} << 8) | Data[I + 2];
        Text += Alphabet[Group >> 18];
        Text += Alphabet[(Group >> 12) & 63];
        Text += Alphabet[(Group >> 6) & 63];
        Text += Alphabet[Group & 63];
    }
    if (I < Size) {
        const bool Two = I + 2 == Size;
        const std::uint32_t Group = (std::uint32_t{Data[I]} << 16) | (Two ? std::uint32_t{Data[I + 1]} << 8 : 0u);
        Text += Alphabet[Group >> 18];
        Text += Alphabet[(Group >> 12) & 63];
        Text += Two ? Alphabet[(Group >> 6) & 63] : '=';
        Text += '=';
    }
    return Text;
}

std::string Base64Encode(std::string_view Bytes) {
    return Base64Encode(Bytes.data(), static_cast<std::ptrdiff_t>(Bytes.size()));
}
