#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace wb {

// Little-endian byte writer with the data files' own wide-string encoding. Every value is written as the raw
// image of its width, so a test can produce any byte sequence it needs, including invalid ones.
class TBytes final {
public:
    void U8(uint8_t Value);
    void I8(int8_t Value) { U8(static_cast<uint8_t>(Value)); }
    void U16(uint16_t Value);
    void I16(int16_t Value) { U16(static_cast<uint16_t>(Value)); }
    void U32(uint32_t Value);
    void I32(int32_t Value) { U32(static_cast<uint32_t>(Value)); }
    // Bit-exact: F32Bits lets a test write a NaN with a payload or a signalling NaN.
    void F32(float Value);
    void F32Bits(uint32_t Bits) { U32(Bits); }
    // int32 count of UTF-16 units, the units, then a 16-bit terminator; an empty string is the count 0 alone.
    void WStr(std::u16string_view Text);
    void Raw(std::span<const uint8_t> Data);
    void Zeros(std::size_t Count);

    void PatchU8(std::size_t Offset, uint8_t Value);
    void PatchI16(std::size_t Offset, int16_t Value);
    void PatchI32(std::size_t Offset, int32_t Value);
    void PatchRaw(std::size_t Offset, std::span<const uint8_t> Data);

    std::size_t Size() const { return Data_.size(); }
    const std::vector<uint8_t>& Data() const { return Data_; }
    std::vector<uint8_t>& Data() { return Data_; }

private:
    void CheckPatch(std::size_t Offset, std::size_t Count) const;

    std::vector<uint8_t> Data_;
};

// Bytes one wide string occupies in a data file.
std::size_t WideStringSize(std::u16string_view Text);

// Little-endian reads, for tests that inspect written bytes.
uint8_t ReadU8(std::span<const uint8_t> Data, std::size_t Offset);
int16_t ReadI16(std::span<const uint8_t> Data, std::size_t Offset);
int32_t ReadI32(std::span<const uint8_t> Data, std::size_t Offset);
uint32_t ReadU32(std::span<const uint8_t> Data, std::size_t Offset);

} // namespace wb
