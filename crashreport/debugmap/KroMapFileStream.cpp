#include "KroMapFileStream.h"

#include <algorithm>
#include <cstring>

std::size_t TMiniStream::Read(void* Dest, std::size_t Count) {
    const std::size_t Copied = std::min(Count, Remaining());
    if (Copied > 0)
        std::memcpy(Dest, Memory.data() + Pos, Copied);
    Pos += Copied;
    return Copied;
}

bool TMiniStream::ReadInt32(std::int32_t& Value) {
    if (Remaining() < 4)
        return false;
    const std::uint8_t* P = Memory.data() + Pos;
    Value = static_cast<std::int32_t>(static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
                                      static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24);
    Pos += 4;
    return true;
}

bool TMiniStream::ReadPackedInt(std::int32_t& Value) {
    if (Remaining() < 1)
        return false;
    const std::uint8_t Byte = Memory[Pos];
    if (Byte == 0x80) {
        if (Remaining() < 5)
            return false;
        ++Pos;
        return ReadInt32(Value);
    }
    ++Pos;
    Value = static_cast<std::int8_t>(Byte);
    return true;
}

bool TMiniStream::ReadPackedString(std::string& Value) {
    if (Remaining() < 1)
        return false;
    const std::size_t Length = Memory[Pos];
    if (Remaining() - 1 < Length)
        return false;
    Value.assign(reinterpret_cast<const char*>(Memory.data() + Pos + 1), Length);
    Pos += 1 + Length;
    return true;
}
