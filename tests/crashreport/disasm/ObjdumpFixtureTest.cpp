#include "AgreementTally.h"
#include "ObjdumpOracle.h"
#include "StructuredEncodings.h"

#include "KroDisAsmDecoder.h"
#include "KroDisAsmFormat.h"
#include "KroDisAsmImageReader.h"
#include "KroDisAsmText.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

// Every byte string is followed by fifteen nops, so that objdump starts afresh at the next one whatever it made
// of the previous.
constexpr std::size_t Padding = 15;

std::vector<unsigned char> FromHex(const std::string& Hex) {
    std::vector<unsigned char> Bytes;
    for (std::size_t I = 0; I + 1 < Hex.size(); I += 2)
        Bytes.push_back(static_cast<unsigned char>(std::stoi(Hex.substr(I, 2), nullptr, 16)));
    return Bytes;
}

struct TComparison {
    std::size_t Decoding = 0;         // lines objdump decodes
    std::size_t LengthMismatches = 0; // ... that we decode with another length, or not at all
    std::size_t MnemonicMismatches = 0;
    std::size_t Bad = 0;           // lines objdump calls "(bad)"
    std::size_t BadAgreements = 0; // ... that we do not decode either
    std::vector<std::string> Examples;
};

// Decodes every instruction start objdump found in the blob and compares.
TComparison Compare(const std::vector<unsigned char>& Blob, TKroCpuMode Mode, bool Mnemonics) {
    TTemporaryFile File("blob.bin");
    File.Write(Blob);
    const std::vector<TObjdumpLine> Lines =
        RunObjdump({"-D", "-b", "binary", "-m", Mode == TKroCpuMode::Bits64 ? "i386:x86-64" : "i386", File.Path()});
    const TZeroFilledReader Reader(Blob);
    const TKroDecoder Decoder(Reader, Mode);
    TComparison Result;
    for (const TObjdumpLine& Line : Lines) {
        TKroInstruction Instruction;
        const bool Valid = Decoder.Decode(Line.Address, Instruction);
        const std::string Hex = [&] {
            std::string Text;
            for (std::size_t I = 0; I < Line.Length && Line.Address + I < Blob.size(); ++I) {
                char Pair[3];
                std::snprintf(Pair, sizeof Pair, "%02x", Blob[static_cast<std::size_t>(Line.Address + I)]);
                Text += Pair;
            }
            return Text;
        }();
        if (Line.Decodes) {
            ++Result.Decoding;
            if (!Valid || Instruction.Length != Line.Length) {
                ++Result.LengthMismatches;
                if (Result.Examples.size() < 40)
                    Result.Examples.push_back(
                        Hex + ": objdump '" + Line.Text + "', ours " +
                        (Valid ? std::to_string(Instruction.Length) + " bytes '" + Instruction.Mnemonic + "'"
                               : "undecoded"));
            } else if (Mnemonics && !SameMnemonic(Line.Mnemonic, Instruction.Mnemonic)) {
                ++Result.MnemonicMismatches;
                if (Result.Examples.size() < 20)
                    Result.Examples.push_back(Hex + ": objdump '" + Line.Text + "', ours '" + Instruction.Mnemonic +
                                              "'");
            }
        } else if (Line.Text.find("(bad)") != std::string::npos) {
            ++Result.Bad;
            if (!Valid)
                ++Result.BadAgreements;
            else if (Mnemonics && Result.Examples.size() < 20)
                Result.Examples.push_back(Hex + ": objdump '(bad)', ours '" + Instruction.Mnemonic + "'");
        }
    }
    return Result;
}

std::string Examples(const TComparison& Result) {
    std::string Text;
    for (const std::string& Example : Result.Examples)
        Text += "\n  " + Example;
    return Text;
}

// The 32-bit forms: addressing, prefixes, immediates, branches, far pointers, groups, segment moves, the form checks,
// the FPU, the two-byte map, MMX, SSE, 3DNow! and VEX.
// clang-format off
const char* const ThirtyTwoBitForms[] = {
    // ModRM and SIB addressing, 32- and 16-bit
    "8b00", "8b45fc", "8b8500010000", "8b0424", "8b048d00100000", "8b448b08", "8b0578563412", "8b042578563412",
    "678b07", "678b4602", "678b063412", "678b4010", "678b8434121111", "8bc1", "8ac4", "88e0",
    // prefixes
    "668bc0", "268b00", "64a100000000", "f0ff00", "f3a4", "f2ae", "f3ab", "66f3a5", "2e7410", "3e7410",
    // immediates
    "b878563412", "66b83412", "b0ff", "83c0fc", "81c100010000", "6bc00a", "69c000010000", "c60005", "c70078563412",
    "66c7003412", "6aff", "6800100000", "c20800", "c8100001", "a078563412", "a378563412", "67a13412", "a8ff",
    "a978563412",
    // relative branches and loops
    "ebfe", "7410", "7ffe", "e305", "67e305", "e2fe", "e1fe", "e0fe", "0f8400010000", "0f8ffeffffff", "e800000000",
    "e9ffffffff", "66e80010", "66e90010",
    // far pointers and far indirect branches
    "9a785634120010", "ea785634120010", "ff1d00100000", "ff2d00100000", "669a34120010",
    // groups
    "c0e004", "d0e0", "d1f8", "d2e0", "d3e8", "d1f0", "f6c301", "f6c801", "f7d8", "f7e1", "f6f1", "f7380000", "fec0",
    "fe08", "fe10", "ffd0", "ff20", "ff30", "ff38", "ffd8", "ffe8", "8f00", "8f20",
    // segment registers and the form checks
    "8cd8", "8ed8", "8ef0", "8cf8", "6200", "62c0", "8d00", "8dc0", "c400", "c500", "06", "07", "0e", "1f", "0fa0",
    "0fa1", "0fa8", "0fa9",
    // one-byte odds and ends
    "90", "f390", "6690", "98", "99", "6698", "6699", "60", "61", "669c", "9c", "9d", "d40a", "d508", "27", "2f", "37",
    "3f", "cc", "cd80", "ce", "f4", "d7", "6c", "6d", "6e", "6f", "c9", "cb", "ca0400", "cf", "66cf", "9b", "f5", "f8",
    "fc", "9e", "9f", "e4ff", "e5ff", "e6ff", "ecec", "ed", "ee", "ef", "f1", "d6", "86c4", "87d1", "9178563412",
    // the FPU
    "d8c1", "d8c9", "d8d1", "d8d9", "d8e1", "d8e9", "d8f1", "d8f9", "d9e8", "d9e0", "d9e1", "d9e4", "d9e5", "d9ee",
    "d9c9", "d9c1", "d9d0", "d9d1", "d9d8", "d9f0", "d9ff", "dac1", "dac9", "dad1", "dad9", "dae9", "dae8", "dbe3",
    "dbe2", "dbe0", "dbe5", "dbe8", "dbf0", "dbf8", "dcc1", "dcc9", "dcd1", "dce1", "dcf9", "ddc1", "ddd9", "dde1",
    "dde9", "ddf1", "dec1", "ded9", "ded8", "def9", "dfe0", "dfe1", "dfc1", "dfe9", "dff1", "dff9", "dd45f8",
    "db2d00100000", "d97dfe", "9bd97dfe", "9bdbe3", "df3c24", "d900", "d908", "d930", "db20", "dd28", "dd38", "de00",
    "df28", "df30",
    // the two-byte map
    "0f00c0", "0f0008", "0f0030", "0f0038", "0f01f8", "0f01d0", "0f01d5", "0f01d6", "0f01f9", "0f01e0", "0f0128",
    "0f0110", "0f0138", "0f01c1", "0f01c8", "0f01ca", "0f02c1", "0f03c1", "0f05", "0f06", "0f07", "0f08", "0f09",
    "0f0b", "0fa2", "0f31", "0f30", "0f32", "0f33", "0f34", "0f35", "0f37", "0fafc1", "0fb6c0", "0fbe00", "0fb7c0",
    "0fbfc0", "0f44c1", "0f94c0", "0f9fc0", "0fa3c8", "0fa4d004", "0fa5d0", "0fabc8", "0facd004", "0fadd0", "0fb3c8",
    "0fbbc8", "0fbae004", "0fbaf804", "0fbad004", "0fc8", "0fcf", "0fc1c8", "0fc0c8", "0fb10a", "0fb00a", "0fc70e",
    "0fc7f0", "0fc7f8", "0fb200", "0fb400", "0fb500", "0f20c0", "0f22d8", "0f21c0", "0f23c0", "0f24c0", "0f26c0",
    "0f1f4400", "660f1f840000000000", "0f1800", "0f1808", "0f1810", "0f1818", "0f1820", "0f0d00", "0f0d08", "0f1900",
    "0f1ec8", "f30f1efb", "f30f1efa", "0f04", "0f0a", "0f0c", "0f0e", "0f36", "0f38ff", "0f3aff", "0f7a", "0fa6",
    "0fb8c0", "f30fb8c0", "f30fbcc0", "f30fbdc0", "0fbcc0", "0fb9c0", "0fffc0", "0faa", "0fae00", "0fae08", "0fae10",
    "0fae18", "0fae20", "0fae28", "0fae30", "0fae38", "0faef8", "0faee8", "0faef0",
    // MMX and SSE
    "0f6fc1", "0f7f00", "0fefc0", "660fefc0", "0f1000", "f30f1000", "f20f1000", "660f1000", "0f1100", "0f28c1",
    "660f28c1", "0f58c1", "f30f58c1", "f20f59c1", "0f5ac1", "660f5bc1", "0fc2c101", "f20fc2c105", "0fc2c108",
    "0f70c11b", "660f70c11b", "f30f70c11b", "f20f70c11b", "660f73d804", "660f73f804", "0f71d002", "0f72e002",
    "0f73f002", "0f77", "660f3a0fc104", "0f3a0fc104", "660f3800c1", "0f3800c1", "660f3a63c10c", "660f3a16c001",
    "660f3a20c001", "660f3a22c001", "660f3a17c001", "660f3a14c001", "660f3a4401c111", "660f3810c1", "660f3817c1",
    "660f3820c1", "660f3835c1", "660f3840c1", "660f38dcc1", "0f38c8c1", "0f38f000", "0f38f100", "f20f38f0c0",
    "f20f38f1c0", "660f38f6c0", "f30f38f6c0", "f20f2cc0", "f30f2dc0", "0f2ac1", "f20f2ac0", "660f6ec0", "660f7ec0",
    "f30f7ec1", "660fd6c1", "f30fd6c1", "f20fd6c1", "0fd7c1", "660fd7c1", "0fc4c001", "660fc5c001", "0fc6c101",
    "0fe7 00", "660fe700", "f20ff000", "0ff7c1", "660ff7c1", "0f2bc0", "0f2b00", "660f2e00", "0f2f00", "0f12c1",
    "0f1200", "0f16c1", "0f1600", "660f7cc1", "f20f7cc1", "660fd0c1", "0f50c1", "660f50c1", "0f5200", "0f5300",
    "660fe6c1", "f30fe6c1", "f20fe6c1", "660f6cc1", "660f6dc1", "0fc3c8", "0fc300", "f30f16c1",
    // 3DNow!
    "0f0fc19e", "0f0fc1b4", "0f0fc10d", "0f0fc1bf", "0f0fc1ff", "0f0e",
    // VEX and EVEX (register forms only outside 64-bit code)
    "c5f877", "c5fc77", "c5f96fc1", "c5fd6fc1", "c4e27918c1", "c5f9efc1", "c4e3794ac120", "c5f8ae10", "62f17c4810c1",
    "62f1fe486fc1", "c5fa10c1", "8fe97812c0", "8fe8789ac102", "8fea7810c078563412",
};
// clang-format on

// Random bytes: whatever they hold, the decoder neither faults nor reads out of bounds, and where objdump decodes
// an instruction we decode it with the same length.
void ExpectRandomBytesDecodeAsObjdumpDecodesThem(TKroCpuMode Mode) {
    constexpr std::size_t Strings = 100000;
    constexpr std::size_t StringLength = 16;
    std::mt19937_64 Random(Mode == TKroCpuMode::Bits64 ? 0x64 : 0x32);
    std::vector<unsigned char> Blob;
    Blob.reserve(Strings * (StringLength + Padding));
    for (std::size_t String = 0; String < Strings; ++String) {
        for (std::size_t I = 0; I < StringLength; I += 8) {
            const std::uint64_t Value = Random();
            for (std::size_t Byte = 0; Byte < 8; ++Byte)
                Blob.push_back(static_cast<unsigned char>(Value >> (8 * Byte)));
        }
        Blob.insert(Blob.end(), Padding, 0x90);
    }
    const TComparison Result = Compare(Blob, Mode, false);
    EXPECT_GT(Result.Decoding, Strings * 10);
    EXPECT_EQ(Result.LengthMismatches, 0u) << Examples(Result);
    // Outside the VEX and EVEX spaces, which we decode by their encoding, "(bad)" is ours too. The rest (some
    // hundreds in 32-bit code, a few thousand in 64-bit code) lie in those spaces: we take such an instruction by its
    // encoding and length, with a name or as "(avx)", without every reserved-bit and operand rule objdump checks,
    // since a listing needs only where the next instruction starts; hence 90 % and not all.
    EXPECT_GT(Result.BadAgreements * 10, Result.Bad * 9)
        << Result.BadAgreements << " of " << Result.Bad << " undefined instructions agree";
    std::printf("%s: %zu instructions objdump decodes, %zu it calls (bad), of which %zu are undecoded here too\n",
                Mode == TKroCpuMode::Bits64 ? "64-bit" : "32-bit", Result.Decoding, Result.Bad, Result.BadAgreements);
}

// What objdump reads differently in encodings no compiler emits, each with its reason.
const std::vector<TKnownDifference> EncodingQuirks = {
    {"vmovss", "operand 1 register", "objdump names the register destination after VEX.L, which vmovss ignores"},
    {"vmovsd", "operand 1 register", "objdump names the register destination after VEX.L, which vmovsd ignores"},
    {"vdbpsadbw", "mnemonic", "objdump decodes it without its mandatory 66 prefix"},
    {"vpshldw", "mnemonic", "objdump decodes it without its mandatory 66 prefix"},
    {"vpshrdw", "mnemonic", "objdump decodes it without its mandatory 66 prefix"},
    {"vrsqrt14p*", "mnemonic", "objdump decodes it without its mandatory 66 prefix"},
    {"vrcp14p*", "mnemonic", "objdump decodes it without its mandatory 66 prefix"},
    {"vpdpb*", "mnemonic", "objdump decodes the VEX-only byte dot products with an EVEX prefix as well"},
    {"ldtilecfg", "mnemonic", "objdump ignores the ModRM reg field of ldtilecfg"},
    {"bnd*", "operand 1 address", "objdump writes 64-bit address registers for the bound instructions behind 67"},
    {"bnd*", "operand 2 address", "objdump writes 64-bit address registers for the bound instructions behind 67"},
    {"rdgsbase", "operand 1 register", "objdump lets 66 in front of F3 shrink the register"},
    {"wrgsbase", "operand 1 register", "objdump lets 66 in front of F3 shrink the register"},
    {"rdfsbase", "operand 1 register", "objdump lets 66 in front of F3 shrink the register"},
    {"wrfsbase", "operand 1 register", "objdump lets 66 in front of F3 shrink the register"},
    {"movq2dq", "operand 2 register", "objdump extends the MMX register's number with REX.B"},
    {"movdq2q", "operand 1 register", "objdump extends the MMX register's number with REX.R"},
    {"fldenvw", "mnemonic", "66 and REX.W together: objdump's w follows the 66 prefix alone"},
    {"fnstenvw", "mnemonic", "66 and REX.W together: objdump's w follows the 66 prefix alone"},
    {"frstorw", "mnemonic", "66 and REX.W together: objdump's w follows the 66 prefix alone"},
    {"fnsavew", "mnemonic", "66 and REX.W together: objdump's w follows the 66 prefix alone"},
    {"pf*", "operand 1 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pf*", "operand 2 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pavgusb", "operand 1 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pavgusb", "operand 2 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pmulhrw", "operand 1 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pmulhrw", "operand 2 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pswapd", "operand 1 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pswapd", "operand 2 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pi2f*", "operand 1 register", "3DNow! behind 66: objdump names xmm registers"},
    {"pi2f*", "operand 2 register", "3DNow! behind 66: objdump names xmm registers"},
    {"prefetchit0", "mnemonic", "the RIP-relative form of 0F 18 /7 is a hint nop to us"},
    {"prefetchit1", "mnemonic", "the RIP-relative form of 0F 18 /6 is a hint nop to us"},
};

// Structured random instructions of every map: where objdump decodes one, we decode it with the same length, the
// same mnemonic and the same operands.
void ExpectStructuredEncodingsDecodeAsObjdumpDecodesThem(TKroCpuMode Mode) {
    const bool Bits64 = Mode == TKroCpuMode::Bits64;
    std::vector<unsigned char> Blob;
    std::vector<std::size_t> Starts;
    for (const std::vector<unsigned char>& Encoding : StructuredEncodings(60000, Bits64, Bits64 ? 0x6464 : 0x3232)) {
        Starts.push_back(Blob.size());
        Blob.insert(Blob.end(), Encoding.begin(), Encoding.end());
        Blob.insert(Blob.end(), Padding, 0x90);
    }
    TTemporaryFile File("structured.bin");
    File.Write(Blob);
    const std::vector<TObjdumpLine> Lines =
        RunObjdump({"-D", "-b", "binary", "-m", Bits64 ? "i386:x86-64" : "i386", File.Path()});
    std::map<std::uint64_t, const TObjdumpLine*> ByAddress;
    for (const TObjdumpLine& Line : Lines)
        ByAddress.emplace(Line.Address, &Line);
    const TZeroFilledReader Reader(Blob);
    const TKroDecoder Decoder(Reader, Mode);
    const TKroTextWriter Writer(Reader);
    TAgreementTally Tally;
    std::size_t LengthMismatches = 0;
    for (const std::size_t Start : Starts) {
        const auto Found = ByAddress.find(Start);
        if (Found == ByAddress.end() || !Found->second->Decodes)
            continue;
        const TObjdumpLine& Line = *Found->second;
        TKroInstruction Instruction;
        if (!Decoder.Decode(Start, Instruction) || Instruction.Length != Line.Length) {
            if (++LengthMismatches <= 20)
                ADD_FAILURE() << "objdump '" << Line.Text << "', ours " << int{Instruction.Length} << " bytes";
            continue;
        }
        std::string Text;
        Writer.Append(Text, Instruction);
        std::string Bytes;
        for (std::size_t I = 0; I < Line.Length; ++I)
            KroAppendHex(Bytes, Blob[Start + I], 2);
        Tally.Compare(Line.Text, Text.substr(KroAddressWidth(Mode) + 3), Bits64, Bytes);
    }
    EXPECT_EQ(LengthMismatches, 0u);
    EXPECT_GT(Tally.Instructions(), Starts.size() / 4);
    Tally.Expect(Bits64 ? "64-bit encodings" : "32-bit encodings", EncodingQuirks, 99.5);
}

} // namespace

TEST(ObjdumpFixtureTest, RandomBytesDecodeWithObjdumpsLengthsIn32BitCode) {
    ExpectRandomBytesDecodeAsObjdumpDecodesThem(TKroCpuMode::Bits32);
}

TEST(ObjdumpFixtureTest, RandomBytesDecodeWithObjdumpsLengthsIn64BitCode) {
    ExpectRandomBytesDecodeAsObjdumpDecodesThem(TKroCpuMode::Bits64);
}

TEST(ObjdumpFixtureTest, ThirtyTwoBitFormsDecodeAsObjdumpDecodesThem) {
    std::vector<unsigned char> Blob;
    for (const char* Form : ThirtyTwoBitForms) {
        std::string Hex = Form;
        Hex.erase(std::remove(Hex.begin(), Hex.end(), ' '), Hex.end());
        const std::vector<unsigned char> Bytes = FromHex(Hex);
        Blob.insert(Blob.end(), Bytes.begin(), Bytes.end());
        Blob.insert(Blob.end(), Padding, 0x90);
    }
    const TComparison Result = Compare(Blob, TKroCpuMode::Bits32, true);
    EXPECT_GT(Result.Decoding, std::size(ThirtyTwoBitForms) * 15);
    EXPECT_EQ(Result.LengthMismatches, 0u) << Examples(Result);
    EXPECT_EQ(Result.MnemonicMismatches, 0u) << Examples(Result);
    EXPECT_EQ(Result.BadAgreements, Result.Bad) << Examples(Result);
}

TEST(ObjdumpFixtureTest, StructuredEncodingsOfEveryMapDecodeAsObjdumpDecodesThemIn64BitCode) {
    ExpectStructuredEncodingsDecodeAsObjdumpDecodesThem(TKroCpuMode::Bits64);
}

TEST(ObjdumpFixtureTest, StructuredEncodingsOfEveryMapDecodeAsObjdumpDecodesThemIn32BitCode) {
    ExpectStructuredEncodingsDecodeAsObjdumpDecodesThem(TKroCpuMode::Bits32);
}
