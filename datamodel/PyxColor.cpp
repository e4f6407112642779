#include "PyxColor.h"

#include <cmath>

namespace {

uint32_t Channel5To8(uint32_t C) {
    return static_cast<uint32_t>(std::lround(C / 31.0 * 255.0));
}
uint32_t Channel8To5(uint32_t B) {
    return static_cast<uint32_t>(std::lround(B / 255.0 * 31.0));
}

} // namespace

uint32_t TPyxColor::To24(int16_t C15) {
    auto V = static_cast<uint16_t>(C15);
    uint32_t R = (V >> 10) & 0x1F;
    uint32_t G = (V >> 5) & 0x1F;
    uint32_t B = V & 0x1F;
    return Channel5To8(R) | (Channel5To8(G) << 8) | (Channel5To8(B) << 16);
}

int16_t TPyxColor::To15(uint32_t C24) {
    uint32_t R = Channel8To5(C24 & 0xFF);
    uint32_t G = Channel8To5((C24 >> 8) & 0xFF);
    uint32_t B = Channel8To5((C24 >> 16) & 0xFF);
    return static_cast<int16_t>((R << 10) | (G << 5) | B);
}

void TPyxColor::LoadFromStream(TPyxFileStream& Stream) {
    RawMinor = Stream.ReadInt16();
    RawMajor = Stream.ReadInt16();
    RawTrim = Stream.ReadInt16();
}

void TPyxColor::SaveToStream(TPyxFileStream& Stream) const {
    Stream.WriteInt16(RawMinor);
    Stream.WriteInt16(RawMajor);
    Stream.WriteInt16(RawTrim);
}

std::unique_ptr<TPyxColor> TPyxColorList::ReadItem(TPyxFileStream& Stream, int16_t /*Version*/) {
    auto C = std::make_unique<TPyxColor>();
    C->LoadFromStream(Stream);
    return C;
}

void TPyxColorList::WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t /*Version*/) const {
    Items(Index)->SaveToStream(Stream);
}
