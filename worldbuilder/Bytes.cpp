#include "Bytes.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>

namespace wb {

void TBytes::U8(uint8_t Value) {
    Data_.push_back(Value);
}

void TBytes::U16(uint16_t Value) {
    Data_.push_back(static_cast<uint8_t>(Value & 0xFF));
    Data_.push_back(static_cast<uint8_t>(Value >> 8));
}

void TBytes::U32(uint32_t Value) {
    for (int Shift = 0; Shift < 32; Shift += 8)
        Data_.push_back(static_cast<uint8_t>((Value >> Shift) & 0xFF));
}

void TBytes::F32(float Value) {
    U32(std::bit_cast<uint32_t>(Value));
}

void TBytes::WStr(std::u16string_view Text) {
    I32(static_cast<int32_t>(Text.size()));
    if (Text.empty())
        return;
    for (char16_t Unit : Text)
        U16(static_cast<uint16_t>(Unit));
    U16(0);
}

void TBytes::Raw(std::span<const uint8_t> Data) {
    Data_.insert(Data_.end(), Data.begin(), Data.end());
}

void TBytes::Zeros(std::size_t Count) {
    Data_.insert(Data_.end(), Count, 0);
}

void TBytes::CheckPatch(std::size_t Offset, std::size_t Count) const {
    if (Offset > Data_.size() || Count > Data_.size() - Offset)
        throw std::out_of_range("patch of " + std::to_string(Count) + " bytes at " + std::to_string(Offset) +
                                " lies outside " + std::to_string(Data_.size()) + " bytes");
}

void TBytes::PatchU8(std::size_t Offset, uint8_t Value) {
    CheckPatch(Offset, 1);
    Data_[Offset] = Value;
}

void TBytes::PatchI16(std::size_t Offset, int16_t Value) {
    CheckPatch(Offset, 2);
    const auto Bits = static_cast<uint16_t>(Value);
    Data_[Offset] = static_cast<uint8_t>(Bits & 0xFF);
    Data_[Offset + 1] = static_cast<uint8_t>(Bits >> 8);
}

void TBytes::PatchI32(std::size_t Offset, int32_t Value) {
    CheckPatch(Offset, 4);
    const auto Bits = static_cast<uint32_t>(Value);
    for (std::size_t I = 0; I < 4; ++I)
        Data_[Offset + I] = static_cast<uint8_t>((Bits >> (8 * I)) & 0xFF);
}

void TBytes::PatchRaw(std::size_t Offset, std::span<const uint8_t> Data) {
    CheckPatch(Offset, Data.size());
    std::copy(Data.begin(), Data.end(), Data_.begin() + static_cast<std::ptrdiff_t>(Offset));
}

std::size_t WideStringSize(std::u16string_view Text) {
    return Text.empty() ? 4 : 4 + 2 * Text.size() + 2;
}

static void CheckRead(std::span<const uint8_t> Data, std::size_t Offset, std::size_t Count) {
    if (Offset > Data.size() || Count > Data.size() - Offset)
        throw std::out_of_range("read of " + std::to_string(Count) + " bytes at " + std::to_string(Offset) +
                                " lies outside " + std::to_string(Data.size()) + " bytes");
}

uint8_t ReadU8(std::span<const uint8_t> Data, std::size_t Offset) {
    CheckRead(Data, Offset, 1);
    return Data[Offset];
}

int16_t ReadI16(std::span<const uint8_t> Data, std::size_t Offset) {
    CheckRead(Data, Offset, 2);
    return static_cast<int16_t>(static_cast<uint16_t>(Data[Offset] | (Data[Offset + 1] << 8)));
}

uint32_t ReadU32(std::span<const uint8_t> Data, std::size_t Offset) {
    CheckRead(Data, Offset, 4);
    uint32_t Value = 0;
    for (std::size_t I = 0; I < 4; ++I)
        Value |= static_cast<uint32_t>(Data[Offset + I]) << (8 * I);
    return Value;
}

int32_t ReadI32(std::span<const uint8_t> Data, std::size_t Offset) {
    return static_cast<int32_t>(ReadU32(Data, Offset));
}

} // namespace wb
