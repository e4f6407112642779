#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A minimal read stream over bytes it owns: the unpacked debug map is read through it. Every read checks the bytes
// left, so a cut or damaged map ends a read instead of running past the end.
class TMiniStream final {
public:
    explicit TMiniStream(std::vector<std::uint8_t> Bytes) : Memory(std::move(Bytes)) {}

    std::size_t Size() const { return Memory.size(); }
    std::size_t Position() const { return Pos; }
    std::size_t Remaining() const { return Memory.size() - Pos; }

    // Copies at most the remaining bytes; returns how many were copied.
    std::size_t Read(void* Dest, std::size_t Count);
    // A little-endian int32; false (and nothing consumed) when fewer than four bytes remain.
    bool ReadInt32(std::int32_t& Value);
    // One byte: 0x80 announces a little-endian int32, any other byte is the value as a signed 8-bit number.
    bool ReadPackedInt(std::int32_t& Value);
    // Seven bits a byte, the lowest first, while the top bit says that more follow; false when cut short or beyond
    // 32 bits. The signed form keeps the sign in the lowest bit (0, -1, 1, -2... are 0, 1, 2, 3...).
    bool ReadVarUInt(std::uint32_t& Value);
    bool ReadVarInt(std::int32_t& Value);
    // A length byte and that many characters; when fewer remain the string is left as it was and false returned.
    bool ReadPackedString(std::string& Value);

private:
    std::vector<std::uint8_t> Memory;
    std::size_t Pos = 0;
};
