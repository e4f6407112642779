#include "ObjdumpOracle.h"

#include "KroDisAsmTool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

struct TOurLine {
    std::string Text;     // behind the address
    std::string Mnemonic; // without lock, rep, repne, bnd and notrack
    bool Data = false;    // a "db" line of undecodable code
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
        std::istringstream Words(Parsed.Text);
        std::string Word;
        while (Words >> Word)
            if (Word != "lock" && Word != "rep" && Word != "repne" && Word != "bnd" && Word != "notrack") {
                Parsed.Mnemonic = Word;
                break;
            }
        Lines[std::strtoull(Line.substr(0, Digits).c_str(), nullptr, 16)] = Parsed;
    }
}

// The absolute address our text gives a RIP-relative operand ("[$401000]"), or 0.
std::uint64_t OurAbsolute(const std::string& Text) {
    const std::size_t Open = Text.find("[$");
    return Open == std::string::npos ? 0 : std::strtoull(Text.c_str() + Open + 2, nullptr, 16);
}

// The target our text gives a relative branch ("+$12 (401000)"), or 0.
std::uint64_t OurTarget(const std::string& Text) {
    const std::size_t Open = Text.find(" (");
    return Open == std::string::npos ? 0 : std::strtoull(Text.c_str() + Open + 2, nullptr, 16);
}

struct TFigures {
    std::size_t Instructions = 0;
    std::size_t SameMnemonic = 0;
};

// Sweeps the file with krodisasm and objdump and compares every instruction.
TFigures CompareWithObjdump(const std::string& File) {
    TFigures Figures;
    std::map<std::uint64_t, TOurLine> Ours;
    std::vector<TSection> Sections;
    SweepWithKrodisasm(File, Ours, Sections);
    const std::vector<TObjdumpLine> Theirs = RunObjdump({"-d", File});
    EXPECT_FALSE(Theirs.empty());
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
        ++Figures.Instructions;
        if (SameMnemonic(Line.Mnemonic, Mine.Mnemonic))
            ++Figures.SameMnemonic;
        // Relative targets: objdump writes the target as a bare hexadecimal number after the mnemonic.
        const std::size_t After = Line.Text.find(Line.Mnemonic) + Line.Mnemonic.size();
        const std::string Operand = Line.Text.substr(Line.Text.find_first_not_of(' ', After) == std::string::npos
                                                         ? Line.Text.size()
                                                         : Line.Text.find_first_not_of(' ', After));
        const bool Branch = Line.Mnemonic[0] == 'j' || Line.Mnemonic == "call" || Line.Mnemonic.rfind("loop", 0) == 0 ||
                            Line.Mnemonic == "xbegin";
        if (Branch && !Operand.empty() && std::isxdigit(static_cast<unsigned char>(Operand[0])) &&
            Operand.find_first_not_of("0123456789abcdef") == Operand.find(' ')) {
            const std::uint64_t Target = std::strtoull(Operand.c_str(), nullptr, 16);
            if (OurTarget(Mine.Text) != Target)
                Report(Line, "target in '" + Mine.Text + "'");
        }
        // RIP-relative operands: objdump names the address in its comment.
        if (Line.Text.find("[rip") != std::string::npos || Line.Text.find("[eip") != std::string::npos) {
            const std::size_t Hash = Line.Text.find("# ");
            const std::uint64_t Address =
                Hash == std::string::npos ? 0 : std::strtoull(Line.Text.c_str() + Hash + 2, nullptr, 16);
            if (Address == 0 || OurAbsolute(Mine.Text) != Address)
                Report(Line, "RIP-relative address in '" + Mine.Text + "'");
        }
    }
    EXPECT_EQ(Matched, Ours.size()) << File << ": instructions of ours that objdump does not have";
    return Figures;
}

void ExpectAgreement(const std::string& File, double Least) {
    if (access(File.c_str(), R_OK) != 0) {
        ADD_FAILURE() << File << " is missing";
        return;
    }
    const TFigures Figures = CompareWithObjdump(File);
    const double Rate = Figures.Instructions == 0 ? 0 : 100.0 * Figures.SameMnemonic / Figures.Instructions;
    std::printf("%s: %zu instructions, mnemonics agree on %.3f %%\n", File.c_str(), Figures.Instructions, Rate);
    EXPECT_GE(Rate, Least) << File;
}

} // namespace

TEST(BinariesTest, OurOwnCodeDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement(KRO_KRODISASM, 99.5);
    char Self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", Self, sizeof Self - 1), 0);
    ExpectAgreement(Self, 99.5);
}

TEST(BinariesTest, LibcDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement("/lib/x86_64-linux-gnu/libc.so.6", 98.0);
}

TEST(BinariesTest, LibstdcxxDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement("/usr/lib/x86_64-linux-gnu/libstdc++.so.6", 98.0);
}

TEST(BinariesTest, QtCoreDisassemblesAsObjdumpSaysEveryInstruction) {
    ExpectAgreement("/usr/lib/x86_64-linux-gnu/libQt6Core.so.6", 98.0);
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
        ExpectAgreement(Program.Path(), 99.5);
    }
}
