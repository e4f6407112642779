#include "KroBoxGlyphs.h"

#include <cstddef>

namespace {

// The glyphs are drawn as text, one character a pixel, and turned into pixels when the program is compiled.
constexpr std::uint32_t PaletteColor(char Key) {
    switch (Key) {
    case 'k':
        return 0xff202020; // outline
    case 'w':
        return 0xffffffff; // paper
    case 'c':
        return 0xfffff4d8; // envelope
    case 'g':
        return 0xffb8b8b8; // light grey
    case 'd':
        return 0xff686868; // dark grey
    case 'b':
        return 0xff2858b0; // blue
    case 'B':
        return 0xff88b0f0; // light blue
    case 'G':
        return 0xff28a038; // green
    case 'L':
        return 0xff90e090; // light green
    case 'r':
        return 0xffb01818; // red
    case 'R':
        return 0xffe84848; // light red
    case 's':
        return 0x50000000; // shadow
    default:
        return 0x00000000; // '.': transparent
    }
}

constexpr TGlyph Draw(const std::array<const char*, GlyphSize>& Art) {
    TGlyph Glyph{};
    for (std::size_t Y = 0; Y < GlyphSize; ++Y)
        for (std::size_t X = 0; X < GlyphSize; ++X)
            Glyph[Y * GlyphSize + X] = PaletteColor(Art[Y][X]);
    return Glyph;
}

// The pictures stay one row a line.
// clang-format off
constexpr TGlyph Glyphs[8] = {
    // mail: a closed envelope
    Draw({"................",
          "................",
          "................",
          "kkkkkkkkkkkkkkk.",
          "kckcccccccccckc.",
          "kcckcccccccckck.",
          "kccckcccccckcck.",
          "kcccckccccckcck.",
          "kccccckkkkkccck.",
          "kcccccccccccccks",
          "kcccccccccccccks",
          "kcccccccccccccks",
          "kkkkkkkkkkkkkkks",
          ".sssssssssssssss",
          "................",
          "................"}),
    // save: a disk
    Draw({"................",
          ".kkkkkkkkkkkkk..",
          ".kbbwwwwwwwwbbk.",
          ".kbbwddddddwbbk.",
          ".kbbwwwwwwwwbbk.",
          ".kbbwddddddwbbk.",
          ".kbbwwwwwwwwbbks",
          ".kbbbbbbbbbbbbks",
          ".kbbbggggggbbbks",
          ".kbbbgddggggbbks",
          ".kbbbgddggggbbks",
          ".kbbbgddggggbbks",
          ".kbbbggggggbbbks",
          ".kkkkkkkkkkkkkks",
          "..ssssssssssssss",
          "................"}),
    // print: a printer with a sheet
    Draw({"................",
          "....kkkkkkkk....",
          "....kwwwwwwk....",
          "....kwddddwk....",
          "....kwwwwwwk....",
          ".kkkkkkkkkkkkkk.",
          ".kggggggggggggks",
          ".kgggggggggGGgks",
          ".kggggggggggggks",
          ".kddddddddddddks",
          ".kdkkkkkkkkkkdks",
          ".kkkwwwwwwwwkkks",
          "..skwddddddwksss",
          "...kwwwwwwwwks..",
          "...kkkkkkkkkks..",
          "....ssssssssss.."}),
    // show: a page of text under a lens
    Draw({".kkkkkkkkk......",
          ".kwwwwwwwkk.....",
          ".kwddddwwkwk....",
          ".kwwwwwwwkkkk...",
          ".kwdddddddwwks..",
          ".kwwwwwkkkkwks..",
          ".kwdddkBBBBkks..",
          ".kwwwkBBwBBBks..",
          ".kwddkBwBBBBks..",
          ".kwwwkBBBBBBks..",
          ".kwwwwkBBBBkks..",
          ".kkkkkkkkkkkdk..",
          "..sssssssssskdk.",
          "............kddk",
          ".............kdk",
          "..............k."}),
    // continue: an arrow to the right
    Draw({"................",
          "................",
          "........k.......",
          "........kk......",
          "........kLk.....",
          ".kkkkkkkkLLk....",
          ".kLLLLLLLGLLk...",
          ".kGGGGGGGGGGLk..",
          ".kGGGGGGGGGGGGk.",
          ".kGGGGGGGGGGGks.",
          ".kkkkkkkkGGGkss.",
          "..ssssssskGGks..",
          "........kGks....",
          "........kks.....",
          "........ks......",
          "................"}),
    // restart: a circle closing on its own arrow
    Draw({"................",
          ".....kkkkk.k....",
          "...kkBBBBBkBk...",
          "..kBBkkkkkBBBk..",
          "..kBk....kBBBBk.",
          ".kBk.....kkkkkk.",
          ".kBk............",
          ".kBk............",
          ".kBk.......kkk..",
          ".kBk.......kBks.",
          "..kBk.....kBks..",
          "..kBBkkkkkBBks..",
          "...kkBBBBBkks...",
          ".....kkkkkss....",
          "......sssss.....",
          "................"}),
    // close: a red disc with a white cross
    Draw({"................",
          ".....kkkkkk.....",
          "...kkRRRRRRkk...",
          "..kRRRRRRRRRRk..",
          "..kRRwRRRRwRRk..",
          ".kRRwwwRRwwwRRk.",
          ".kRRRwwwwwwRRRks",
          ".kRRRRwwwwRRRRks",
          ".krrrrwwwwrrrrks",
          ".krrrwwwwwwrrrks",
          ".krrwwwrrwwwrrks",
          "..krrwrrrrwrrks.",
          "..krrrrrrrrrrks.",
          "...kkrrrrrrkkss.",
          ".....kkkkkkss...",
          ".......sssss...."}),
    // cannot continue: the arrow greyed, barred in red
    Draw({"................",
          "................",
          "........d.......",
          "........dd......",
          "........dgd...rr",
          ".dddddddgggd.rrr",
          ".dgggggggggggrrd",
          ".dggggggggggrrg.",
          ".dgggggggggrrggd",
          ".dggggggggrrggd.",
          ".dddddddgrrgd...",
          "........rrgd....",
          ".......rrgd.....",
          "......rrdd......",
          ".....rrd........",
          "................"}),
};
// clang-format on

} // namespace

const TGlyph& BoxGlyph(int Index) noexcept {
    return Glyphs[Index >= 0 && Index < 8 ? Index : CantContinueGlyph];
}
