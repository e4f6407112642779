#include "ObjdumpOracle.h"

#include "AgreementTally.h"

#include "KroDisAsmDecoder.h"
#include "KroDisAsmFormat.h"
#include "KroDisAsmImageReader.h"
#include "KroDisAsmText.h"
#include "KroDisAsmTool.h"
#include "KroElfFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

struct TOurLine {
    std::string Text;  // behind the address
    bool Data = false; // a "db" line of undecodable code
};

struct TSection {
    std::uint64_t Begin = 0;
    std::uint64_t Last = 0;
};

// krodisasm's sweep of a file, by address.
void SweepWithKrodisasm(const std::string& File, std::map<std::uint64_t, TOurLine>& Lines,
                        std::vector<TSection>& Sections) {
    std::ostringstream Out;
    std::ostringstream Err;
    ASSERT_EQ(KroDisAsmToolMain({File}, Out, Err), 0) << Err.str();
    std::istringstream In(Out.str());
    std::string Line;
    while (std::getline(In, Line)) {
        if (Line.rfind("section ", 0) == 0) {
            TSection Section;
            const std::size_t Colon = Line.find(": ");
            ASSERT_NE(Colon, std::string::npos) << Line;
            Section.Begin = std::strtoull(Line.c_str() + Colon + 2, nullptr, 16);
            Section.Last = std::strtoull(Line.c_str() + Line.rfind(' ') + 1, nullptr, 16);
            Sections.push_back(Section);
            continue;
        }
        // 16-digit addresses in 64-bit files, 8 digits in 32-bit ones.
        const std::size_t Digits = Line.find(' ');
        if ((Digits != 16 && Digits != 8) || Line.compare(Digits, 3, "   ") != 0)
            continue;
        TOurLine Parsed;
        Parsed.Text = Line.substr(Digits + 3);
        Parsed.Data = Parsed.Text.rfind("db $", 0) == 0;
        Lines[std::strtoull(Line.substr(0, Digits).c_str(), nullptr, 16)] = Parsed;
    }
}

std::string Hex(std::uint64_t Value) {
    std::string Text;
    KroAppendHex(Text, Value);
    return Text;
}

// The differences that remain on the system's libraries, each named with its reason; any other fails the test.
// None remain today on the libraries below.
const std::vector<TKnownDifference> KnownDifferences = {};

// Sweeps the file with krodisasm and objdump and compares the instructions: where they start, their lengths, their
// mnemonics and operands.
TAgreementTally CompareWithObjdump(const std::string& File) {
    TAgreementTally Figures;
    std::map<std::uint64_t, TOurLine> Ours;
    std::vector<TSection> Sections;
    SweepWithKrodisasm(File, Ours, Sections);
    const std::vector<TObjdumpLine> Theirs = RunObjdump({"-d", File});
    EXPECT_FALSE(Theirs.empty());
    const bool Bits64 = TKroElfFile(File).Mode() == TKroCpuMode::Bits64;
    std::size_t Reported = 0;
    auto Report = [&](const TObjdumpLine& Line, const std::string& What) {
        if (++Reported <= 20)
            ADD_FAILURE() << File << " " << std::hex << Line.Address << ": " << What << " (objdump: '" << Line.Text
                          << "')";
    };
    std::size_t Matched = 0;
    for (std::size_t Index = 0; Index < Theirs.size(); ++Index) {
        const TObjdumpLine& Line = Theirs[Index];
        const auto Found = Ours.find(Line.Address);
        if (Found == Ours.end()) {
            Report(Line, "no instruction starts here");
            continue;
        }
        ++Matched;
        const TOurLine& Mine = Found->second;
        // The length: up to our next start, or to the end of the section.
        const auto Next = std::next(Found);
        std::uint64_t End = Next != Ours.end() ? Next->first : 0;
        for (const TSection& Section : Sections)
            if (Line.Address >= Section.Begin && Line.Address <= Section.Last && (End == 0 || End > Section.Last + 1))
                End = Section.Last + 1;
        if (End - Line.Address != Line.Length)
            Report(Line, "length " + std::to_string(End - Line.Address));
        if (Line.Text.find("(bad)") != std::string::npos) {
            if (!Mine.Data)
                Report(Line, "decoded as '" + Mine.Text + "'");
            continue;
        }
        if (Mine.Data) {
            Report(Line, "not decoded");
            continue;
        }
        // Every instruction's start and length; in a large file the text of every eighth, which keeps the time of
        // the whole sweep near that of the sweep alone (the sampled libraries below compare all they hold).
        if (Index % 8 == 0 || Theirs.size() < 100000)
            Figures.Compare(Line.Text, Mine.Text, Bits64, Hex(Line.Address));
    }
    EXPECT_EQ(Matched, Ours.size()) << File << ": instructions of ours that objdump does not have";
    return Figures;
}

void ExpectAgreement(const std::string& File, double Least) {
    if (access(File.c_str(), R_OK) != 0) {
        ADD_FAILURE() << File << " is missing";
        return;
    }
    CompareWithObjdump(File).Expect(File, KnownDifferences, Least);
}

// Pieces of a library's code, laid one behind the other with nops between them (so that objdump starts each
// piece afresh) and decoded there by objdump and by us: a sample of a large library in a fraction of the time.
TAgreementTally CompareSampleWithObjdump(const std::string& File) {
    constexpr std::uint64_t Piece = 4096;
    constexpr std::uint64_t Sample = 64 * Piece;
    constexpr std::size_t Padding = 32;
    constexpr std::size_t Skipped = 3; // instructions at a piece's start, which may begin inside an instruction
    const TKroElfFile Image(File);
    std::uint64_t Total = 0;
    for (const TKroElfFile::TSection& Section : Image.Sections())
        if (Section.Code)
            Total += Section.Size;
    std::vector<unsigned char> Blob;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> Pieces; // where each piece lies in the blob
    const std::uint64_t Step = std::max<std::uint64_t>(Piece, Total / (Sample / Piece));
    std::uint64_t Offset = 0;
    for (const TKroElfFile::TSection& Section : Image.Sections()) {
        if (!Section.Code)
            continue;
        for (std::uint64_t At = (Offset + Step - 1) / Step * Step - Offset; At < Section.Size; At += Step) {
            const std::uint64_t Size = std::min(Piece, Section.Size - At);
            const std::size_t Begin = Blob.size();
            Blob.resize(Begin + Size);
            EXPECT_TRUE(Image.Reader().Read(Section.Address + At, Blob.data() + Begin, Size));
            Pieces.emplace_back(Begin, Begin + Size);
            Blob.insert(Blob.end(), Padding, 0x90);
        }
        Offset += Section.Size;
    }
    const TTemporaryFile Copy("sample.bin");
    Copy.Write(Blob);
    const bool Bits64 = Image.Mode() == TKroCpuMode::Bits64;
    const std::vector<TObjdumpLine> Theirs =
        RunObjdump({"-D", "-b", "binary", "-m", Bits64 ? "i386:x86-64" : "i386", Copy.Path()});
    const TZeroFilledReader Reader(Blob);
    const TKroDecoder Decoder(Reader, Image.Mode());
    const TKroTextWriter Writer(Reader);
    TAgreementTally Figures;
    std::size_t Line = 0;
    for (const auto& [Begin, End] : Pieces) {
        while (Line < Theirs.size() && Theirs[Line].Address < Begin)
            ++Line;
        for (std::size_t Seen = 0; Line < Theirs.size() && Theirs[Line].Address + Theirs[Line].Length <= End;
             ++Line, ++Seen) {
            const TObjdumpLine& Their = Theirs[Line];
            if (Seen < Skipped || !Their.Decodes)
                continue;
            TKroInstruction Instruction;
            Decoder.Decode(Their.Address, Instruction);
            if (!Instruction.Info.Decoded || Instruction.Length != Their.Length) {
                ADD_FAILURE() << File << " sample at " << std::hex << Their.Address << ": objdump '" << Their.Text
                              << "', ours " << std::dec << int{Instruction.Length} << " bytes";
                continue;
            }
            std::string Text;
            Writer.Append(Text, Instruction);
            Figures.Compare(Their.Text, Text.substr(KroAddressWidth(Image.Mode()) + 3), Bits64,
                            Hex(Their.Address) + " in the sample");
        }
    }
    return Figures;
}

} // namespace

TEST(BinariesTest, OurOwnCodeDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement(KRO_KRODISASM, 99.9);
    char Self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", Self, sizeof Self - 1), 0);
    ExpectAgreement(Self, 99.9);
}

TEST(BinariesTest, LibcDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement("/lib/x86_64-linux-gnu/libc.so.6", 99.9);
}

TEST(BinariesTest, LibstdcxxDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement("/usr/lib/x86_64-linux-gnu/libstdc++.so.6", 99.9);
}

TEST(BinariesTest, QtCoreDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement("/usr/lib/x86_64-linux-gnu/libQt6Core.so.6", 99.9);
}

// A linked 32-bit program of our own, compiled here without the C library (whose 32-bit form the machine need not
// have), unoptimised and optimised so that the sweep meets both kinds of code: x87 arithmetic, 16-bit and 64-bit
// integers in 32-bit registers, a switch, loops and calls.
TEST(BinariesTest, ALinkedThirtyTwoBitFileDisassemblesAsObjdumpSaysEveryInstruction) {
    const std::string Source = R"(
extern "C" {
int Helper(int X) { return X * 3 + 1; }
int Switch(int X) {
    switch (X) {
    case 0: return Helper(1);
    case 1: return 7;
    case 2: return Helper(X) + 2;
    case 3: return X << 4;
    case 4: return -X;
    case 5: return Helper(X - 1);
    default: return 0;
    }
}
double Average(const double* Values, int Count) {
    double Sum = 0;
    for (int I = 0; I < Count; ++I)
        Sum += Values[I];
    return Count > 0 ? Sum / Count : 0.0;
}
unsigned short Narrow(unsigned short A, unsigned short B) { return static_cast<unsigned short>((A ^ B) >> 3); }
void Fill(char* Bytes, int Count) {
    for (int I = 0; I < Count; ++I)
        Bytes[I] = static_cast<char>(I);
}
long long Wide(long long A, long long B) { return A * B + (A >> 7); }
int Entry(int X) {
    char Buffer[64];
    Fill(Buffer, 64);
    const double Values[2] = {1.5, 2.5};
    return Switch(X) + Narrow(1, 2) + static_cast<int>(Average(Values, 2)) + static_cast<int>(Wide(X, 3)) + Buffer[5];
}
}
)";
    for (const char* Level : {"-O0", "-O2"}) {
        const TTemporaryFile Program("program32");
        std::string Messages;
        if (!CompileWithOurCompiler(Source,
                                    {"-m32", Level, "-nostdlib", "-nostartfiles", "-static", "-no-pie", "-fno-pie",
                                     "-fno-exceptions", "-fno-asynchronous-unwind-tables", "-Wl,-e,Entry"},
                                    Program.Path(), Messages))
            GTEST_SKIP() << "the compiler cannot link 32-bit code here: " << Messages;
        std::ostringstream Out;
        std::ostringstream Err;
        ASSERT_EQ(KroDisAsmToolMain({Program.Path()}, Out, Err), 0) << Err.str();
        // Read as 32-bit code: eight-digit addresses, 32-bit registers.
        EXPECT_EQ(Out.str().rfind("section .text: 080", 0), 0u) << Out.str().substr(0, 200);
        EXPECT_NE(Out.str().find(", [e"), std::string::npos); // a memory operand with a 32-bit base
        ExpectAgreement(Program.Path(), 99.9);
    }
}

// The system's libraries, the vector-heavy among them (codecs, crypto, maths), sampled.
class BinariesSampleTest : public testing::TestWithParam<const char*> {};

TEST_P(BinariesSampleTest, SampledCodeDisassemblesAsObjdumpSaysOperandsIncluded) {
    const std::string File = std::string("/usr/lib/x86_64-linux-gnu/") + GetParam();
    ASSERT_EQ(access(File.c_str(), R_OK), 0) << File << " is missing";
    CompareSampleWithObjdump(File).Expect(File, KnownDifferences, 99.9);
}

INSTANTIATE_TEST_SUITE_P(Libraries, BinariesSampleTest,
                         testing::Values("libcrypto.so.3", "libgcrypt.so.20", "libnettle.so.8", "libgnutls.so.30",
                                         "libgmp.so.10", "libm.so.6", "libmvec.so.1", "libfftw3.so.3", "libz.so.1",
                                         "libzstd.so.1", "liblzma.so.5", "liblz4.so.1", "libxxhash.so.0",
                                         "libjpeg.so.62", "libpng16.so.16", "libwebp.so.7", "libopenjp2.so.7",
                                         "libtiff.so.6", "libpixman-1.so.0", "libdav1d.so.6", "libaom.so.3",
                                         "libx265.so.199", "libde265.so.0", "libsqlite3.so.0", "libQt6Gui.so.6"),
                         [](const testing::TestParamInfo<const char*>& Info) {
                             std::string Name;
                             for (const char* C = Info.param; *C != 0 && *C != '.'; ++C)
                                 Name += std::isalnum(static_cast<unsigned char>(*C)) ? *C : '_';
                             return Name;
                         });
