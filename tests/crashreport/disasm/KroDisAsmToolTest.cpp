#include "ObjdumpOracle.h"

#include "KroDisAsmTool.h"
#include "KroElfFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

namespace {

struct TRun {
    int Code = 0;
    std::string Out;
    std::string Err;
};

TRun RunTool(const std::vector<std::string>& Arguments) {
    std::ostringstream Out;
    std::ostringstream Err;
    TRun Result;
    Result.Code = KroDisAsmToolMain(Arguments, Out, Err);
    Result.Out = Out.str();
    Result.Err = Err.str();
    return Result;
}

std::vector<unsigned char> ReadFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

void Put(std::vector<unsigned char>& Bytes, std::size_t Offset, std::uint64_t Value, unsigned Size) {
    for (unsigned I = 0; I < Size; ++I)
        Bytes[Offset + I] = static_cast<unsigned char>(Value >> (8 * I));
}

} // namespace

TEST(KroDisAsmToolTest, HelpAndBadArgumentsNameTheProblem) {
    const TRun Help = RunTool({"--help"});
    EXPECT_EQ(Help.Code, 0);
    EXPECT_NE(Help.Out.find("krodisasm --function NAME|ADDRESS FILE"), std::string::npos);
    struct TCase {
        std::vector<std::string> Arguments;
        const char* Message;
    };
    const TCase Cases[] = {
        {{}, "krodisasm: no file given"},
        {{"--frobnicate", "x"}, "krodisasm: unknown option '--frobnicate'"},
        {{"--function"}, "krodisasm: --function needs a name or an address"},
        {{"--32", "x", "--base", "zz"}, "krodisasm: bad address 'zz' for --base"},
        {{"x", "--base", "10"}, "krodisasm: --base goes with --32 only"},
        {{"a", "b"}, "krodisasm: more than one file given: 'a' and 'b'"},
        {{"--32", "--function", "f", "x"}, "krodisasm: --function reads ELF files; it does not go with --32"},
    };
    for (const TCase& Case : Cases) {
        const TRun Result = RunTool(Case.Arguments);
        EXPECT_EQ(Result.Code, 2) << Case.Message;
        EXPECT_EQ(Result.Err.rfind(Case.Message, 0), 0u) << Result.Err;
        EXPECT_TRUE(Result.Out.empty());
    }
    const TRun Missing = RunTool({"/nonexistent/file"});
    EXPECT_EQ(Missing.Code, 1);
    EXPECT_EQ(Missing.Err, "krodisasm: /nonexistent/file: cannot open the file\n");
}

TEST(KroDisAsmToolTest, RawThirtyTwoBitCodeAtABase) {
    const TTemporaryFile File("code.bin");
    File.Write({0x55, 0x89, 0xE5, 0x8B, 0x45, 0x08, 0x0F, 0x04, 0x5D, 0xC3, 0xE8});
    const TRun Result = RunTool({"--32", File.Path(), "--base", "0x401000"});
    EXPECT_EQ(Result.Code, 0) << Result.Err;
    EXPECT_EQ(Result.Out, "00401000   push   ebp\n"
                          "00401001   mov    ebp, esp\n"
                          "00401003   mov    eax, [ebp+8]\n"
                          "00401006   db $0f\n"
                          "00401007   db $04\n"
                          "00401008   pop    ebp\n"
                          "00401009   ret\n"
                          "0040100a   db $e8\n");
    const TRun TooHigh = RunTool({"--32", File.Path(), "--base", "fffffff8"});
    EXPECT_EQ(TooHigh.Code, 2);
    EXPECT_EQ(TooHigh.Err.rfind("krodisasm: the code of " + File.Path() +
                                    " does not fit in 32-bit addresses from "
                                    "fffffff8\n",
                                0),
              0u)
        << TooHigh.Err;
}

TEST(KroDisAsmToolTest, FunctionListingByNameAndByAddress) {
    const std::string Tool = KRO_KRODISASM;
    const TRun ByName = RunTool({"--function", "main", Tool});
    ASSERT_EQ(ByName.Code, 0) << ByName.Err;
    EXPECT_NE(ByName.Out.find(" public main:"), std::string::npos) << ByName.Out;
    EXPECT_NE(ByName.Out.find("; function entry point\n"), std::string::npos);
    EXPECT_EQ(ByName.Out.find('\r'), std::string::npos);
    // The same function found by its address, written as the listing writes addresses.
    const std::string Address = ByName.Out.substr(0, 16);
    const TRun ByAddress = RunTool({"--function", "0x" + Address, Tool});
    EXPECT_EQ(ByAddress.Code, 0) << ByAddress.Err;
    EXPECT_EQ(ByAddress.Out, ByName.Out);
    const TRun Unknown = RunTool({"--function", "NoSuchFunctionAnywhere", Tool});
    EXPECT_EQ(Unknown.Code, 1);
    EXPECT_EQ(Unknown.Err, "krodisasm: " + Tool + ": no function 'NoSuchFunctionAnywhere'\n");
}

TEST(KroDisAsmToolTest, ObjectFilesAreRefusedUntilLinked) {
    // Two functions in sections of their own: unlinked, both sections sit at address 0.
    const TTemporaryFile Object("functions.o");
    std::string Messages;
    ASSERT_TRUE(CompileWithOurCompiler("extern \"C\" int g(int x) { return x * 8; }\n"
                                       "extern \"C\" int h(int x) { return x + 5; }\n",
                                       {"-O2", "-ffunction-sections", "-c"}, Object.Path(), Messages))
        << Messages;
    const std::string Refusal = "krodisasm: " + Object.Path() +
                                ": a relocatable object file, whose sections have no addresses yet: link it first\n";
    const std::vector<std::vector<std::string>> Runs = {{Object.Path()}, {"--function", "h", Object.Path()}};
    for (const std::vector<std::string>& Arguments : Runs) {
        const TRun Result = RunTool(Arguments);
        EXPECT_EQ(Result.Code, 1);
        EXPECT_EQ(Result.Err, Refusal);
        EXPECT_TRUE(Result.Out.empty()) << Result.Out;
    }
}

TEST(KroDisAsmToolTest, DamagedElfFilesGiveClearErrors) {
    const std::vector<unsigned char> Good = ReadFile(KRO_KRODISASM);
    ASSERT_GT(Good.size(), 64u);
    const std::uint64_t SectionOffset =
        Good[40] | std::uint64_t{Good[41]} << 8 | std::uint64_t{Good[42]} << 16 | std::uint64_t{Good[43]} << 24;
    struct TCase {
        const char* What;
        std::function<void(std::vector<unsigned char>&)> Damage;
        const char* Message;
    };
    const TCase Cases[] = {
        {"not ELF", [](std::vector<unsigned char>& B) { B[1] = 'X'; }, "not an ELF file"},
        {"big-endian", [](std::vector<unsigned char>& B) { B[5] = 2; }, "not a little-endian ELF file"},
        {"other machine", [](std::vector<unsigned char>& B) { Put(B, 18, 40, 2); }, "not an x86 ELF file (machine 40)"},
        {"truncated header", [](std::vector<unsigned char>& B) { B.resize(30); }, "the ELF header lies beyond"},
        {"section headers beyond the end", [](std::vector<unsigned char>& B) { Put(B, 40, B.size() - 10, 8); },
         "lies beyond the end of the file"},
        {"small header entries", [](std::vector<unsigned char>& B) { Put(B, 58, 8, 2); },
         "section header entries of 8 bytes are too small"},
        {"names index out of range", [](std::vector<unsigned char>& B) { Put(B, 62, 0xFFF0, 2); },
         "the section name table index 65520 is out of range"},
        {"section contents beyond the end",
         [&](std::vector<unsigned char>& B) {
             // The first real section's offset moved past the end of the file.
             Put(B, static_cast<std::size_t>(SectionOffset) + 64 + 24, 0xFFFFFFFFF0ull, 8);
         },
         "lies beyond the end of the file"},
        {"truncated file", [&](std::vector<unsigned char>& B) { B.resize(B.size() / 2); },
         "lies beyond the end of the file"},
    };
    const TTemporaryFile File("damaged");
    for (const TCase& Case : Cases) {
        std::vector<unsigned char> Bytes = Good;
        Case.Damage(Bytes);
        File.Write(Bytes);
        const TRun Result = RunTool({File.Path()});
        EXPECT_EQ(Result.Code, 1) << Case.What;
        EXPECT_NE(Result.Err.find(Case.Message), std::string::npos) << Case.What << ": " << Result.Err;
        EXPECT_EQ(Result.Err.rfind("krodisasm: " + File.Path() + ": ", 0), 0u) << Result.Err;
    }
}

TEST(KroDisAsmToolTest, RandomlyDamagedElfFilesNeverCrashTheReader) {
    const std::vector<unsigned char> Good = ReadFile(KRO_KRODISASM);
    std::mt19937 Random(7);
    const std::size_t HeaderEnd = 64;
    const std::uint64_t SectionOffset =
        Good[40] | std::uint64_t{Good[41]} << 8 | std::uint64_t{Good[42]} << 16 | std::uint64_t{Good[43]} << 24;
    for (int Round = 0; Round < 200; ++Round) {
        std::vector<unsigned char> Bytes = Good;
        // Scribble over the ELF header and the section headers, where the offsets and counts live.
        for (int Change = 0; Change < 8; ++Change) {
            const bool InHeader = Random() % 3 == 0;
            const std::size_t At = InHeader ? Random() % HeaderEnd
                                            : static_cast<std::size_t>(SectionOffset) +
                                                  Random() % (Good.size() - static_cast<std::size_t>(SectionOffset));
            Bytes[At] = static_cast<unsigned char>(Random());
        }
        try {
            const TKroElfFile Image(std::move(Bytes), "damaged");
            for (const TKroElfFile::TSection& Section : Image.Sections())
                if (Section.Code && Section.Size < 0x100000) {
                    unsigned char Byte = 0;
                    Image.Reader().Read(Section.Address, &Byte, 1);
                }
        } catch (const EKroElfError& Error) {
            EXPECT_EQ(std::string(Error.what()).rfind("damaged: ", 0), 0u) << Error.what();
        }
    }
}
