#include "KroDisAsm.h"
#include "KroDisAsmImageReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Code placed at an address of our choosing, decoded in one mode.
class TCodeAt {
public:
    TCodeAt(std::uint64_t Address, std::vector<unsigned char> Bytes, TKroCpuMode Mode = TKroCpuMode::Bits32)
        : Address(Address), Bytes(std::move(Bytes)), DisAssembler(Reader, Mode) {
        Reader.AddSegment(Address, this->Bytes.data(), this->Bytes.size());
    }
    TCodeInfo Info(std::uint64_t Offset = 0) const {
        TCodeInfo Code;
        DisAssembler.DecodeInstruction(Address + Offset, Code);
        return Code;
    }
    std::string Text(std::uint64_t Offset = 0) const {
        std::string Line;
        TCodeInfo Code;
        DisAssembler.DecodeInstruction(Address + Offset, Line, nullptr, Code, false);
        return Line;
    }
    void Add(std::uint64_t Where, const std::vector<unsigned char>& More) {
        Extra.push_back(More);
        Reader.AddSegment(Where, Extra.back().data(), Extra.back().size());
    }
    const std::uint64_t Address;
    const std::vector<unsigned char> Bytes;
    TKroImageCodeReader Reader;
    TKroDisAssembler DisAssembler;
    std::vector<std::vector<unsigned char>> Extra;
};

} // namespace

TEST(DecoderEdgeCaseTest, CallToTheNextInstructionIsNoBranch) {
    for (const TKroCpuMode Mode : {TKroCpuMode::Bits32, TKroCpuMode::Bits64}) {
        const TCodeAt Code(0x401000, {0xE8, 0x00, 0x00, 0x00, 0x00}, Mode);
        const TCodeInfo Info = Code.Info();
        EXPECT_TRUE(Info.Decoded);
        EXPECT_FALSE(Info.IsCall);
        EXPECT_FALSE(Info.IsJump);
        EXPECT_EQ(Info.TargetAddress, 0u);
        EXPECT_EQ(Info.TargetField, 0u);
        EXPECT_EQ(Info.TargetWidth, 0);
        EXPECT_EQ(Info.NextInstruction, 0x401005u);
        EXPECT_EQ(Info.Opcode, 0xE8u);
    }
}

TEST(DecoderEdgeCaseTest, LoopTargetsCannotBeWidenedShortJumpsCan) {
    const TCodeAt Code(0x401000, {0xE2, 0xFE, 0xEB, 0x10, 0x0F, 0x84, 0x00, 0x01, 0x00, 0x00, 0xE3, 0x02});
    const TCodeInfo Loop = Code.Info(0);
    EXPECT_TRUE(Loop.IsJump);
    EXPECT_TRUE(Loop.TargetRelative);
    EXPECT_FALSE(Loop.Widenable);
    EXPECT_EQ(Loop.TargetAddress, 0x401000u);
    EXPECT_EQ(Loop.TargetField, 0x401001u);
    const TCodeInfo Short = Code.Info(2);
    EXPECT_TRUE(Short.Widenable);
    EXPECT_EQ(Short.TargetWidth, 1);
    EXPECT_EQ(Short.TargetAddress, 0x401014u);
    const TCodeInfo Near = Code.Info(4);
    EXPECT_EQ(Near.Opcode, 0x0F84u);
    EXPECT_EQ(Near.TargetWidth, 4);
    EXPECT_EQ(Near.TargetField, 0x401006u);
    EXPECT_EQ(Near.TargetAddress, 0x40110Au);
    EXPECT_FALSE(Code.Info(10).Widenable); // jecxz
}

TEST(DecoderEdgeCaseTest, IndirectJumpThroughAnUnreadableCellIsInvalid) {
    TCodeAt Code(0x401000, {0xFF, 0x25, 0x00, 0x20, 0x40, 0x00, 0xFF, 0x15, 0x00, 0x30, 0x40, 0x00});
    const TCodeInfo Unreadable = Code.Info(0);
    EXPECT_FALSE(Unreadable.Decoded);
    EXPECT_EQ(Unreadable.TargetPointer, 0x402000u);
    EXPECT_EQ(Code.Text(0), "00401000   db $ff\r\n00401001   db $25\r\n00401002   db $00\r\n00401003   db $20\r\n"
                            "00401004   db $40\r\n00401005   db $00");
    Code.Add(0x403000, {0x78, 0x56, 0x34, 0x12});
    const TCodeInfo Readable = Code.Info(6);
    EXPECT_TRUE(Readable.Decoded);
    EXPECT_TRUE(Readable.IsCall);
    EXPECT_FALSE(Readable.TargetRelative);
    EXPECT_EQ(Readable.TargetPointer, 0x403000u);
    EXPECT_EQ(Readable.TargetAddress, 0x12345678u);
    EXPECT_EQ(Readable.TargetWidth, 4);
}

TEST(DecoderEdgeCaseTest, CallThroughARegisterLoadedWithAnImmediateIsResolvedFromTheSlots) {
    // mov eax, $00402000; call eax
    const TCodeAt Code(0x401000, {0xB8, 0x00, 0x20, 0x40, 0x00, 0xFF, 0xD0});
    TRegisterSlots Slots;
    TCodeInfo Info;
    std::string Text;
    ASSERT_TRUE(Code.DisAssembler.DecodeInstruction(0x401000, Text, &Slots, Info, true));
    EXPECT_EQ(Slots.Registers[0].Kind, TKroSlotKind::Immediate);
    EXPECT_EQ(Slots.Registers[0].Address, 0x401001u);
    ASSERT_TRUE(Code.DisAssembler.DecodeInstruction(0x401005, Text, &Slots, Info, true));
    EXPECT_TRUE(Info.IsCall);
    EXPECT_EQ(Info.TargetAddress, 0x402000u);
    EXPECT_EQ(Info.TargetField, 0x401001u);
    EXPECT_EQ(Info.TargetWidth, 4);
    // The call may change eax: its slot is unknown afterwards.
    EXPECT_EQ(Slots.Registers[0].Kind, TKroSlotKind::Unknown);
    // Through memory at the register's value: the cell the register points at holds the target.
    TCodeAt Cell(0x401000, {0xB9, 0x00, 0x20, 0x40, 0x00, 0xFF, 0x51, 0x04});
    Cell.Add(0x402004, {0x44, 0x33, 0x22, 0x11});
    TRegisterSlots CellSlots;
    Cell.DisAssembler.DecodeInstruction(0x401000, Text, &CellSlots, Info, true);
    ASSERT_TRUE(Cell.DisAssembler.DecodeInstruction(0x401005, Text, &CellSlots, Info, true)) << Text;
    EXPECT_EQ(Info.TargetPointer, 0x402004u);
    EXPECT_EQ(Info.TargetAddress, 0x11223344u);
    // Without resolution the call has no target.
    TRegisterSlots Fresh;
    Code.DisAssembler.DecodeInstruction(0x401000, &Fresh, false, Info);
    Code.DisAssembler.DecodeInstruction(0x401005, &Fresh, false, Info);
    EXPECT_EQ(Info.TargetAddress, 0u);
}

TEST(DecoderEdgeCaseTest, RipRelativeLoadsAndAddressesFeedTheSlots) {
    // lea rax, [rip+0x100]; call rax; mov rcx, [rip+0x200]; call rcx; call [rip+0x1f8]
    TCodeAt Code(0x401000, {0x48, 0x8D, 0x05, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xD0, 0x48, 0x8B, 0x0D,
                            0x00, 0x02, 0x00, 0x00, 0xFF, 0xD1, 0xFF, 0x15, 0xF8, 0x01, 0x00, 0x00},
                 TKroCpuMode::Bits64);
    Code.Add(0x401210, {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11});
    TRegisterSlots Slots;
    TCodeInfo Info;
    std::string Text;
    Code.DisAssembler.DecodeInstruction(0x401000, Text, &Slots, Info, true);
    EXPECT_EQ(Text, "0000000000401000   lea    rax, [$401107]");
    Code.DisAssembler.DecodeInstruction(0x401007, Text, &Slots, Info, true);
    EXPECT_EQ(Info.TargetAddress, 0x401107u);
    EXPECT_EQ(Info.TargetPointer, 0u);
    Code.DisAssembler.DecodeInstruction(0x401009, Text, &Slots, Info, true);
    EXPECT_EQ(Text, "0000000000401009   mov    rcx, [$401210]");
    Code.DisAssembler.DecodeInstruction(0x401010, Text, &Slots, Info, true);
    EXPECT_EQ(Info.TargetPointer, 0x401210u);
    EXPECT_EQ(Info.TargetAddress, 0x1122334455667788u);
    EXPECT_EQ(Info.TargetWidth, 8);
    const TCodeInfo Through = Code.Info(0x12);
    EXPECT_EQ(Through.TargetPointer, 0x401210u);
    EXPECT_EQ(Through.TargetAddress, 0x1122334455667788u);
}

TEST(DecoderEdgeCaseTest, MultiByteNopsLandingPadsAndHintsDecode) {
    struct TCase {
        std::vector<unsigned char> Bytes;
        const char* Text;
    };
    const TCase Cases[] = {
        {{0xF3, 0x0F, 0x1E, 0xFA}, "0000000000401000   endbr64"},
        {{0xF3, 0x0F, 0x1E, 0xFB}, "0000000000401000   endbr32"},
        {{0x0F, 0x1F, 0x44, 0x00, 0x00}, "0000000000401000   nop    dword ptr [rax+rax]"},
        {{0x66, 0x2E, 0x0F, 0x1F, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00}, "0000000000401000   nop    word ptr [rax+rax]"},
        {{0x0F, 0x19, 0xC0}, "0000000000401000   nop    eax"},
        {{0x0F, 0x1C, 0x00}, "0000000000401000   cldemote byte ptr [rax]"},
        {{0x0F, 0x18, 0x08}, "0000000000401000   prefetcht0 byte ptr [rax]"},
        {{0x0F, 0x0D, 0x08}, "0000000000401000   prefetchw byte ptr [rax]"},
    };
    for (const TCase& Case : Cases) {
        const TCodeAt Code(0x401000, Case.Bytes, TKroCpuMode::Bits64);
        EXPECT_TRUE(Code.Info().Decoded) << Case.Text;
        EXPECT_EQ(Code.Info().NextInstruction, 0x401000 + Case.Bytes.size()) << Case.Text;
        EXPECT_EQ(Code.Text(), Case.Text);
    }
}

TEST(DecoderEdgeCaseTest, InstructionTextsFollowTheReportsNumberAndOperandForms) {
    struct TCase {
        std::vector<unsigned char> Bytes;
        const char* Text;
    };
    const TCase Cases[] = {
        {{0xB8, 0x78, 0x56, 0x34, 0x12}, "00401000   mov    eax, $12345678"},
        {{0x83, 0xC0, 0xFC}, "00401000   add    eax, -4"},
        {{0x6B, 0xC0, 0x0A}, "00401000   imul   eax, eax, $a"},
        {{0x74, 0x10}, "00401000   jz     +$10 (401012)"},
        {{0xEB, 0xFE}, "00401000   jmp    -2 (401000)"},
        {{0xC8, 0x10, 0x00, 0x01}, "00401000   enter  $10, 1"},
        {{0x9A, 0x78, 0x56, 0x34, 0x12, 0x10, 0x00}, "00401000   callf  $10:$12345678"},
        {{0x64, 0xA1, 0x00, 0x00, 0x00, 0x00}, "00401000   mov    eax, fs:[0]"},
        {{0xD4, 0x0A}, "00401000   aam"},
        {{0xD4, 0x08}, "00401000   aam    8"},
        {{0xD1, 0xE0}, "00401000   shl    eax, 1"},
        {{0x0F, 0xA5, 0xD0}, "00401000   shld   eax, edx, cl"},
        {{0xF3, 0xA4}, "00401000   rep movsb"},
        {{0xF2, 0xAE}, "00401000   repne scasb"},
        {{0xF0, 0xFF, 0x00}, "00401000   lock inc dword ptr [eax]"},
        {{0xD8, 0xC1}, "00401000   fadd   st, st(1)"},
        {{0x9B, 0xD9, 0x7D, 0xFE}, "00401000   fstcw  word ptr [ebp-2]"},
        {{0x67, 0x8B, 0x40, 0x10}, "00401000   mov    eax, [bx+si+$10]"},
        {{0x66, 0x8B, 0xC8}, "00401000   mov    cx, ax"},
        {{0x8B, 0x44, 0x8B, 0xF8}, "00401000   mov    eax, [ebx+ecx*4-8]"},
        {{0x0F, 0xB6, 0x45, 0x08}, "00401000   movzx  eax, byte ptr [ebp+8]"},
        {{0x0F, 0x04}, "00401000   db $0f\r\n00401001   db $04"},
        {{0x0F, 0x0F, 0xC1, 0x9E}, "00401000   pfadd  mm0, mm1"},
        {{0xF2, 0x0F, 0xC2, 0xC1, 0x01}, "00401000   cmpltsd xmm0, xmm1"},
        {{0xC5, 0xF8, 0x77}, "00401000   vzeroupper"},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(TCodeAt(0x401000, Case.Bytes).Text(), Case.Text);
    // A target with a name gets it as a comment behind column 40, a text it points at gets quoted.
    TCodeAt Named(0x401000, {0xE8, 0xFB, 0x0F, 0x00, 0x00, 0x68, 0x00, 0x30, 0x40, 0x00});
    Named.Reader.AddName(0x402000, "Target");
    Named.Add(0x403000, {'H', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', 0});
    EXPECT_EQ(Named.Text(0), "00401000   call   +$ffb (402000)          ; Target");
    EXPECT_EQ(Named.Text(5), "00401005   push   $403000                 ; 'Hello world'");
    // Texts beyond ASCII are UTF-8; bytes above $7f that are no UTF-8 are code or data, not a text.
    TCodeAt Texts(0x401000, {0x68, 0x00, 0x30, 0x40, 0x00, 0x68, 0x00, 0x31, 0x40, 0x00});
    Texts.Add(0x403000, {'M', 0xC3, 0xBC, 'l', 'l', 'e', 'r', ' ', 'F', 'C', 0});
    Texts.Add(0x403100, {0x95, 0x90, 0xFE, 0xFF, 0xFF, 0x48, 0x81, 0xC2, 0xA0, 0});
    EXPECT_EQ(Texts.Text(0), "00401000   push   $403000                 ; 'M\xC3\xBCller FC'");
    EXPECT_EQ(Texts.Text(5), "00401005   push   $403100");
}

// The report is UTF-8 text: a quoted comment is never bytes that are not. A pointer's bytes (here those of a
// sanitizer's global) read like letters but are no text; text in UTF-8 is quoted; a text cut by the read limit loses
// only the character it cut.
TEST(DecoderEdgeCaseTest, QuotedTextsAreWellFormedUtf8) {
    auto Quoted = [](const std::vector<unsigned char>& Data) {
        TCodeAt Code(0x401000, {0x68, 0x00, 0x30, 0x40, 0x00});
        Code.Add(0x403000, Data);
        const std::string Line = Code.Text();
        const std::size_t At = Line.find("; ");
        return At == std::string::npos ? std::string() : Line.substr(At + 2);
    };
    EXPECT_EQ(Quoted({0x70, 0x8A, 0xA9, 0xC0, 0xD4, 0x55, 0x00, 0x00}), "");
    EXPECT_EQ(Quoted({'K', 'o', 'e', 'l', 'n', 0xC0, 0xAF, 'e', 'r', 0}), "");  // an overlong form
    EXPECT_EQ(Quoted({'S', 't', 'a', 'd', 't', 0xED, 0xA0, 0x80, 'x', 0}), ""); // a surrogate
    EXPECT_EQ(Quoted({'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F, 'e', ' ', 'a', 'u', 's', 0}), "'Gr\xc3\xbc\xc3\x9f"
                                                                                      "e aus'");
    // A hundred bytes are read: the last two are the start of a three-byte quotation mark.
    std::vector<unsigned char> Long(98, 'a');
    for (const unsigned char Byte : {0xE2, 0x80, 0x9E, 0x62, 0x00})
        Long.push_back(Byte);
    EXPECT_EQ(Quoted(Long), "'" + std::string(98, 'a') + "'");
    Long[96] = 0xC3;
    Long[97] = 0xA4; // the whole character before the cut one stays
    EXPECT_EQ(Quoted(Long), "'" + std::string(96, 'a') + "\xc3\xa4'");
}

TEST(DecoderEdgeCaseTest, FormChecksRejectUndefinedEncodings) {
    const std::vector<std::vector<unsigned char>> Invalid = {
        {0x8D, 0xC0},       // lea with a register operand
        {0xC4, 0xC0},       // les with a register operand outside 64-bit code is VEX, here with a bad map
        {0x8E, 0xF0},       // mov to segment register 6
        {0xFE, 0x10},       // FE /2
        {0xFF, 0x38},       // FF /7
        {0xFF, 0xD8},       // callf with a register
        {0x0F, 0x00, 0x30}, // 0F 00 /6
        {0x0F, 0x01, 0x28}, // 0F 01 /5 memory without F3
        {0x0F, 0x0A},       {0x0F, 0x36}, {0x0F, 0x7A}, {0x0F, 0xB8, 0xC0}, {0xD9, 0xD1}, {0xDA, 0xC8 + 0x20},
    };
    for (const std::vector<unsigned char>& Bytes : Invalid) {
        const TCodeAt Code(0x401000, Bytes);
        EXPECT_FALSE(Code.Info().Decoded) << Code.Text();
    }
    const std::vector<std::vector<unsigned char>> Valid = {
        {0x62, 0x00}, {0x8D, 0x00}, {0xC4, 0x00}, {0xC5, 0x00}, {0x8C, 0xD8}, {0xFE, 0x08}, {0xFF, 0x30},
    };
    for (const std::vector<unsigned char>& Bytes : Valid)
        EXPECT_TRUE(TCodeAt(0x401000, Bytes).Info().Decoded) << TCodeAt(0x401000, Bytes).Text();
}
