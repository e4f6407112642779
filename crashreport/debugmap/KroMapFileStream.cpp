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

bool TMiniStream::ReadVarUInt(std::uint32_t& Value) {
    std::uint64_t Result = 0;
    for (std::size_t At = Pos, Shift = 0; At < Memory.size() && Shift < 35; ++At, Shift += 7) {
        Result |= static_cast<std::uint64_t>(Memory[At] & 0x7F) << Shift;
        if ((Memory[At] & 0x80) == 0) {
            if (Result > UINT32_MAX)
                return false;
            Value = static_cast<std::uint32_t>(Result);
            Pos = At + 1;
            return true;
        }
    }
    return false;
}

bool TMiniStream::ReadVarInt(std::int32_t& Value) {
    std::uint32_t Coded = 0;
    if (!ReadVarUInt(Coded))
        return false;
    Value = static_cast<std::int32_t>((Coded >> 1) ^ (0u - (Coded & 1)));
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
