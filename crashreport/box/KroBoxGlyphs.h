#pragma once

#include <array>
#include <cstdint>

// The exception box's button glyphs: 16 x 16 pixels each, 0xAARRGGBB, drawn for this program (no image from
// elsewhere). A glyph is blended over the button's face pixel by pixel, so its alpha gives soft edges and shadows.
inline constexpr int GlyphSize = 16;
using TGlyph = std::array<std::uint32_t, GlyphSize * GlyphSize>;

// Indexed by action code (mail, save, print, show, continue, restart, close), and 7 for the disabled "continue" of an
// exception that cannot continue.
inline constexpr int CantContinueGlyph = 7;
const TGlyph& BoxGlyph(int Index) noexcept;

// A glyph pixel over a face colour (0xRRGGBB): with c = alpha + 1, each channel is ((256 - c) * face + c * pixel) /
// 256, so alpha 0 leaves the face (all but) untouched and alpha 255 is the pixel itself.
constexpr std::uint32_t BlendGlyphPixel(std::uint32_t Pixel, std::uint32_t Face) noexcept {
    const std::uint32_t C = (Pixel >> 24) + 1;
    std::uint32_t Result = 0;
    for (int Shift = 0; Shift <= 16; Shift += 8) {
        const std::uint32_t F = (Face >> Shift) & 0xff, P = (Pixel >> Shift) & 0xff;
        Result |= (((256 - C) * F + C * P) / 256) << Shift;
    }
    return Result;
}
