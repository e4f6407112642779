#include "KnownFunctions.h"
#include "KroDisAsm.h"
#include "KroDisAsmImageReader.h"
#include "KroElfFile.h"
#include "KroLiveDisAsm.h"
#include "ObjdumpOracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

bool HasArea(const TFunctionInfo& Info, std::uint64_t Begin) {
    return std::any_of(Info.Areas.begin(), Info.Areas.end(),
                       [&](const TCodeArea& Area) { return Area.Begin == Begin && !Area.CaseTable; });
}

const TCodeArea* CaseTable(const TFunctionInfo& Info) {
    for (const TCodeArea& Area : Info.Areas)
        if (Area.CaseTable)
            return &Area;
    return nullptr;
}

// The case targets a table lists.
std::vector<std::uint64_t> Targets(const TCodeArea& Table) {
    std::vector<std::uint64_t> Result;
    for (std::uint64_t Entry = Table.Begin; Entry + Table.EntrySize - 1 <= Table.End; Entry += Table.EntrySize) {
        std::uint64_t Value = 0;
        std::memcpy(&Value, reinterpret_cast<const void*>(Entry), Table.EntrySize);
        Result.push_back(Table.TableBase == 0 ? Value
                                              : Table.TableBase + static_cast<std::uint64_t>(static_cast<std::int64_t>(
                                                                      static_cast<std::int32_t>(Value))));
    }
    return Result;
}

void ExpectSwitchFollowed(void (*Function)(), std::size_t Cases, std::uint8_t EntrySize) {
    TFunctionInfo Info;
    AnalyzeFunction(KroKnownAddress(Function), Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    const TCodeArea* Table = CaseTable(Info);
    ASSERT_NE(Table, nullptr);
    EXPECT_EQ(Table->EntrySize, EntrySize);
    const std::vector<std::uint64_t> Cased = Targets(*Table);
    ASSERT_EQ(Cased.size(), Cases);
    for (const std::uint64_t Target : Cased) {
        EXPECT_TRUE(HasArea(Info, Target)) << std::hex << Target;
        // Every case ends in a return or a jump inside the function: the analysis reached its end.
        EXPECT_LT(Target, Info.LowestAddress + Info.Extent);
    }
    EXPECT_TRUE(Info.OpenBranches.empty());
}

struct TFunctionSymbol {
    std::uint64_t Address = 0;
    std::uint64_t Size = 0;
    std::string Name;
};

// The functions of a file with their sizes, as nm lists them.
std::vector<TFunctionSymbol> FunctionsOf(const std::string& File) {
    std::vector<TFunctionSymbol> Functions;
    FILE* Pipe = popen(("nm -S --defined-only '" + File + "'").c_str(), "r");
    if (Pipe == nullptr) {
        ADD_FAILURE() << "cannot run nm";
        return Functions;
    }
    char Buffer[8192];
    while (std::fgets(Buffer, sizeof Buffer, Pipe) != nullptr) {
        std::istringstream Line(Buffer);
        std::string Address;
        std::string Size;
        std::string Type;
        TFunctionSymbol Function;
        if (!(Line >> Address >> Size >> Type >> Function.Name) || (Type != "t" && Type != "T"))
            continue;
        Function.Address = std::strtoull(Address.c_str(), nullptr, 16);
        Function.Size = std::strtoull(Size.c_str(), nullptr, 16);
        if (Function.Size != 0)
            Functions.push_back(Function);
    }
    EXPECT_EQ(pclose(Pipe), 0);
    return Functions;
}

// A jump through a register or a table that objdump shows shortly behind an unsigned bound check ("cmp x, n"
// and ja, jbe, jae or jb): a switch of Cases cases.
struct TSwitchJump {
    std::uint64_t Jump = 0;
    std::uint32_t Cases = 0;
    bool ByteIndex = false; // the compare read a byte ("cmp al, n", "cmp BYTE PTR [...], n")
};

bool IsByteRegister(const std::string& Name) {
    static const std::set<std::string> Names = {"al",   "cl",   "dl",   "bl",   "ah",   "ch",  "dh",
                                                "bh",   "spl",  "bpl",  "sil",  "dil",  "r8b", "r9b",
                                                "r10b", "r11b", "r12b", "r13b", "r14b", "r15b"};
    return Names.count(Name) != 0;
}

std::vector<TSwitchJump> SwitchJumps(const std::vector<TObjdumpLine>& Lines, std::size_t First, std::size_t Last) {
    constexpr std::size_t Reach = 12; // instructions from the bound check to the jump
    std::vector<TSwitchJump> Jumps;
    std::size_t CheckedAt = 0;
    TSwitchJump Pending;
    bool Checked = false;
    for (std::size_t Index = First; Index + 1 < Last; ++Index) {
        const TObjdumpLine& Line = Lines[Index];
        const std::string& Next = Lines[Index + 1].Mnemonic;
        const std::size_t Comma = Line.Text.rfind(',');
        if (Line.Mnemonic == "cmp" && Comma != std::string::npos &&
            (Next == "ja" || Next == "jbe" || Next == "jae" || Next == "jb")) {
            char* End = nullptr;
            const std::string Immediate = Line.Text.substr(Comma + 1);
            const unsigned long long Value = std::strtoull(Immediate.c_str(), &End, 0);
            if (End != Immediate.c_str() && *End == 0 && Value < 0x10000) {
                Pending.Cases = static_cast<std::uint32_t>(Next == "ja" || Next == "jbe" ? Value + 1 : Value);
                const std::size_t Begin = Line.Text.rfind(' ', Comma) + 1;
                const std::string Compared = Line.Text.substr(Begin, Comma - Begin);
                Pending.ByteIndex = Line.Text.find("BYTE PTR") != std::string::npos || IsByteRegister(Compared);
                Checked = true;
                CheckedAt = Index;
            }
        }
        if (Checked && Index - CheckedAt > Reach)
            Checked = false;
        // Not a direct jump ("jmp 4012a0 <...>") and not one through a fixed cell ("[rip+...]").
        const std::size_t Space = Line.Text.find(' ', Line.Text.find("jmp"));
        const std::size_t Start = Space == std::string::npos ? Space : Line.Text.find_first_not_of(' ', Space);
        const std::string Operand = Start == std::string::npos ? "" : Line.Text.substr(Start);
        const std::string Word = Operand.substr(0, Operand.find(' '));
        if (Checked && Line.Mnemonic == "jmp" && !Word.empty() &&
            Word.find_first_not_of("0123456789abcdef") != std::string::npos &&
            Operand.find("rip") == std::string::npos) {
            Pending.Jump = Line.Address;
            Jumps.push_back(Pending);
            Checked = false;
        }
    }
    return Jumps;
}

// The functions a shared library exports, as nm lists its dynamic symbols, in address order.
std::vector<TFunctionSymbol> ExportsOf(const std::string& File) {
    std::vector<TFunctionSymbol> Functions;
    FILE* Pipe = popen(("nm -D -S --defined-only '" + File + "'").c_str(), "r");
    if (Pipe == nullptr) {
        ADD_FAILURE() << "cannot run nm";
        return Functions;
    }
    char Buffer[8192];
    while (std::fgets(Buffer, sizeof Buffer, Pipe) != nullptr) {
        std::istringstream Line(Buffer);
        std::string Address;
        std::string Size;
        std::string Type;
        TFunctionSymbol Function;
        if (!(Line >> Address >> Size >> Type >> Function.Name) || (Type != "T" && Type != "W" && Type != "i"))
            continue;
        Function.Address = std::strtoull(Address.c_str(), nullptr, 16);
        Function.Size = std::strtoull(Size.c_str(), nullptr, 16);
        Functions.push_back(Function);
    }
    EXPECT_EQ(pclose(Pipe), 0);
    std::sort(Functions.begin(), Functions.end(),
              [](const TFunctionSymbol& Left, const TFunctionSymbol& Right) { return Left.Address < Right.Address; });
    Functions.erase(std::unique(Functions.begin(), Functions.end(),
                                [](const TFunctionSymbol& Left, const TFunctionSymbol& Right) {
                                    return Left.Address == Right.Address;
                                }),
                    Functions.end());
    return Functions;
}

} // namespace

TEST(FunctionAnalysisTest, FollowsEveryCaseOfPositionIndependentAbsoluteAndStackSwitches) {
    ExpectSwitchFollowed(KroKnownSwitch, 5, 4);
    ExpectSwitchFollowed(KroKnownAbsoluteSwitch, 3, 8);
    ExpectSwitchFollowed(KroKnownStackSwitch, 4, 4);
}

TEST(FunctionAnalysisTest, FollowsEveryCaseOfSwitchesOverAByte) {
    ExpectSwitchFollowed(KroKnownByteSwitch, 4, 4);
    ExpectSwitchFollowed(KroKnownByteStackSwitch, 3, 4);
    // Without the widening the register's upper bytes are unknown: the jump stays open.
    TFunctionInfo Info;
    AnalyzeFunction(KroKnownAddress(KroKnownUnwidenedByte), Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    EXPECT_EQ(CaseTable(Info), nullptr);
    ASSERT_EQ(Info.OpenBranches.size(), 1u);
    EXPECT_FALSE(Info.OpenBranches[0].IsCall);
}

// The hand-written switches above cover the forms we know of; the compiler decides which forms our own code
// has. Every function of this program whose indirect jump objdump shows behind a bound check must get a case
// table of as many entries, each a code area of the function.
TEST(FunctionAnalysisTest, EverySwitchOfOurCompiledCodeGetsItsCaseTable) {
    char Self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", Self, sizeof Self - 1), 0);
    const TKroElfFile File(Self);
    const TKroDisAssembler DisAssembler(File.Reader(), File.Mode());
    const std::vector<TObjdumpLine> Lines = RunObjdump({"-d", Self});
    ASSERT_FALSE(Lines.empty());
    std::set<std::uint64_t> Seen;
    std::size_t Switches = 0;
    std::size_t ByteSwitches = 0;
    std::size_t Failures = 0;
    for (const TFunctionSymbol& Function : FunctionsOf(Self)) {
        // The hand-written functions are checked above, and one of them is deliberately no switch.
        if (!Seen.insert(Function.Address).second || Function.Name.rfind("KroKnown", 0) == 0)
            continue;
        const auto ByAddress = [](const TObjdumpLine& Line, std::uint64_t Address) { return Line.Address < Address; };
        const auto First = std::lower_bound(Lines.begin(), Lines.end(), Function.Address, ByAddress);
        const auto Last = std::lower_bound(First, Lines.end(), Function.Address + Function.Size, ByAddress);
        const std::vector<TSwitchJump> Jumps = SwitchJumps(Lines, static_cast<std::size_t>(First - Lines.begin()),
                                                           static_cast<std::size_t>(Last - Lines.begin()));
        if (Jumps.empty())
            continue;
        TFunctionInfo Info;
        DisAssembler.AnalyzeFunction(Function.Address, Info);
        std::multiset<std::uint32_t> Tables;
        std::size_t Missing = 0;
        for (const TCodeArea& Area : Info.Areas) {
            if (!Area.CaseTable)
                continue;
            Tables.insert(static_cast<std::uint32_t>((Area.End - Area.Begin + 1) / Area.EntrySize));
            for (std::uint64_t Entry = Area.Begin; Entry < Area.End; Entry += Area.EntrySize) {
                std::uint64_t Value = 0;
                EXPECT_TRUE(File.Reader().Read(Entry, &Value, Area.EntrySize));
                const std::uint64_t Target =
                    Area.TableBase == 0
                        ? Value
                        : Area.TableBase +
                              static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(Value)));
                if (!HasArea(Info, Target))
                    ++Missing;
            }
        }
        for (const TSwitchJump& Jump : Jumps) {
            ++Switches;
            ByteSwitches += Jump.ByteIndex ? 1 : 0;
            const auto Found = Tables.find(Jump.Cases);
            const bool Open =
                std::any_of(Info.OpenBranches.begin(), Info.OpenBranches.end(),
                            [&](const TOpenBranch& Branch) { return Branch.InstructionStart == Jump.Jump; });
            if (!Info.Succeeded || Found == Tables.end() || Open) {
                if (++Failures <= 20)
                    ADD_FAILURE() << Function.Name << ": the jump at " << std::hex << Jump.Jump << std::dec << " ("
                                  << Jump.Cases << " cases) has no case table" << (Open ? "; it stays open" : "")
                                  << (Info.Succeeded ? "" : "; " + Info.ErrorText);
                continue;
            }
            Tables.erase(Found);
        }
        EXPECT_EQ(Missing, 0u) << Function.Name << ": case targets without a code area";
    }
    std::printf("%zu switches checked, %zu of them over a byte\n", Switches, ByteSwitches);
    // The program holds switches over bytes of its own (the decoder's operand kinds): the check reached them.
    EXPECT_GT(ByteSwitches, 0u);
}

TEST(FunctionAnalysisTest, JumpTablesInReadOnlyDataStayOutOfTheFunctionsExtent) {
    TFunctionInfo Info;
    AnalyzeFunction(KroKnownAddress(KroKnownSwitch), Info);
    ASSERT_TRUE(Info.Succeeded);
    EXPECT_EQ(Info.StartAddress, KroKnownAddress(KroKnownSwitch));
    EXPECT_EQ(Info.LowestAddress, KroKnownAddress(KroKnownSwitch));
    EXPECT_EQ(Info.Extent, 0x42u); // up to the default case's return, not the table 1 MB further on
    ASSERT_EQ(Info.ExternalBranches.size(), 1u);
    EXPECT_TRUE(Info.ExternalBranches[0].IsCall);
    EXPECT_EQ(Info.ExternalBranches[0].InstructionStart, KroKnownAddress(KroKnownSwitchCall));
    EXPECT_EQ(Info.ExternalBranches[0].TargetAddress, KroKnownAddress(KroKnownHelper));
    EXPECT_TRUE(Info.ExternalBranches[0].TargetRelative);
}

TEST(FunctionAnalysisTest, LandingPadsNopsAndPrefetchesDoNotStopTheAnalysis) {
    TFunctionInfo Info;
    AnalyzeFunction(KroKnownAddress(KroKnownHints), Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    // Both returns were reached: the one behind the hints and the one at the jump's target.
    EXPECT_EQ(Info.Extent, 0x29u);
    EXPECT_TRUE(HasArea(Info, KroKnownAddress(KroKnownHints) + 0x26));
}

TEST(FunctionAnalysisTest, CallsThroughLoadedRegistersAndPointerCellsAreResolved) {
    const TKnownNames Names;
    TFunctionInfo Info;
    AnalyzeFunction(KroKnownAddress(KroKnownIndirect), Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    EXPECT_TRUE(Info.OpenBranches.empty());
    ASSERT_EQ(Info.ExternalBranches.size(), 5u);
    const std::uint64_t Helper = KroKnownAddress(KroKnownHelper);
    const auto& Branches = Info.ExternalBranches;
    // lea rax, [rip+helper]; call rax
    EXPECT_EQ(Branches[0].TargetAddress, Helper);
    // mov rbx, [rip+pointer]; call rbx, and call [rip+pointer]: the cell is the target pointer
    EXPECT_EQ(Branches[1].TargetAddress, Helper);
    EXPECT_EQ(Branches[1].TargetPointer, reinterpret_cast<std::uint64_t>(&KroKnownPointer));
    EXPECT_EQ(Branches[2].TargetPointer, reinterpret_cast<std::uint64_t>(&KroKnownPointer));
    EXPECT_EQ(Branches[2].TargetAddress, Helper);
    // mov ecx, imm32; call rcx: the immediate is the target field
    EXPECT_EQ(Branches[3].TargetAddress, KroKnownAddress(KroKnownHints));
    EXPECT_EQ(Branches[3].TargetField, Branches[3].InstructionStart - 5 + 1);
    // The tail call to a named function leaves the function instead of swallowing the helper.
    EXPECT_FALSE(Branches[4].IsCall);
    EXPECT_EQ(Branches[4].TargetAddress, Helper);
    EXPECT_FALSE(HasArea(Info, Helper));
}

TEST(FunctionAnalysisTest, ThirtyTwoBitSwitchWithItsTableRightBehindTheJump) {
    // cmp eax, 3; ja default; jmp [eax*4 + table]; table (4 entries); the cases; the default.
    const std::uint64_t Base = 0x401000;
    std::vector<unsigned char> Code = {0x83, 0xF8, 0x03, 0x77, 0x2F, 0xFF, 0x24, 0x85, 0x0C, 0x10, 0x40, 0x00};
    for (const std::uint32_t Case : {0x40101Cu, 0x40101Cu + 6, 0x40101Cu + 12, 0x40101Cu + 18}) {
        for (int Shift = 0; Shift < 32; Shift += 8)
            Code.push_back(static_cast<unsigned char>(Case >> Shift));
    }
    for (int Case = 0; Case < 4; ++Case) {
        const unsigned char Return[] = {0xB8, static_cast<unsigned char>(Case), 0, 0, 0, 0xC3};
        Code.insert(Code.end(), Return, Return + sizeof Return);
    }
    ASSERT_EQ(Code.size(), 0x34u);
    Code.insert(Code.end(), {0x31, 0xC0, 0xC3}); // the default case at 0x401034, where ja goes
    TKroImageCodeReader Reader;
    Reader.AddSegment(Base, Code.data(), Code.size());
    const TKroDisAssembler DisAssembler(Reader, TKroCpuMode::Bits32);
    TFunctionInfo Info;
    std::string Listing;
    DisAssembler.ParseFunction(Base, Listing, 0, 0, false, Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    const TCodeArea* Table = CaseTable(Info);
    ASSERT_NE(Table, nullptr);
    EXPECT_EQ(Table->Begin, Base + 12);
    EXPECT_EQ(Table->End, Base + 12 + 16 - 1);
    for (const std::uint64_t Case : {0x40101Cu, 0x401022u, 0x401028u, 0x40102Eu, 0x401034u})
        EXPECT_TRUE(HasArea(Info, Case)) << std::hex << Case;
    EXPECT_EQ(Info.Extent, 0x37u); // code, table and cases in one piece
    EXPECT_NE(Listing.find("0040100c   dd loc_40101c         ; case jump table\r\n"
                           "00401010   dd loc_401022\r\n"),
              std::string::npos)
        << Listing;
}

TEST(FunctionAnalysisTest, LoopHeadsReachedOnlyFromBelowGetTheirLabel) {
    // xor eax, eax; loop: inc eax; cmp eax, 10; jl loop; ret
    const std::vector<unsigned char> Code = {0x31, 0xC0, 0x40, 0x83, 0xF8, 0x0A, 0x7C, 0xFA, 0xC3};
    TKroImageCodeReader Reader;
    Reader.AddSegment(0x401000, Code.data(), Code.size());
    TFunctionInfo Info;
    std::string Listing;
    TKroDisAssembler(Reader, TKroCpuMode::Bits32).ParseFunction(0x401000, Listing, 0x401006, 0, true, Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    EXPECT_EQ(Listing, "00401000 sub_401000:             ; function entry point\r\n"
                       "00401000   xor    eax, eax\r\n"
                       "00401002 loc_401002:\r\n"
                       "00401002   inc    eax\r\n"
                       "00401003   cmp    eax, $a\r\n"
                       "00401006 \xC2\xBB jl     loc_401002\r\n"
                       "00401008   ret\r\n"
                       "00401009\r\n"
                       "00401009 ; ---------------------------------------------------------\r\n"
                       "00401009");
}

TEST(FunctionAnalysisTest, LoopsEnteredByFallingIntoThemBranchesPastAPrefixAndCallsThatNeverReturn) {
    // nop; loop: inc eax; cmp eax, ecx; jl loop; ret. Nothing starts an area at the loop head before the jump back
    // reaches it from inside the area being analysed.
    const std::vector<unsigned char> Loop = {0x90, 0x40, 0x39, 0xC8, 0x7C, 0xFB, 0xC3};
    TKroImageCodeReader Reader;
    Reader.AddSegment(0x401000, Loop.data(), Loop.size());
    TFunctionInfo Info;
    std::string Listing;
    const TKroDisAssembler DisAssembler(Reader, TKroCpuMode::Bits32);
    DisAssembler.ParseFunction(0x401000, Listing, 0, 0, true, Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    EXPECT_EQ(Info.Extent, Loop.size());
    EXPECT_TRUE(HasArea(Info, 0x401001));
    EXPECT_NE(Listing.find("00401001 loc_401001:\r\n00401001   inc    eax\r\n00401002   cmp    eax, ecx\r\n"
                           "00401004   jl     loc_401001\r\n00401006   ret"),
              std::string::npos)
        << Listing;
    // jz over; lock; over: cmpxchg [edx], ecx; ret: the jump lands inside the locked instruction.
    const std::vector<unsigned char> Lock = {0x74, 0x01, 0xF0, 0x0F, 0xB1, 0x0A, 0xC3};
    TKroImageCodeReader LockReader;
    LockReader.AddSegment(0x401000, Lock.data(), Lock.size());
    TKroDisAssembler(LockReader, TKroCpuMode::Bits32).AnalyzeFunction(0x401000, Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    EXPECT_EQ(Info.Extent, Lock.size());
    EXPECT_TRUE(HasArea(Info, 0x401003));
    // again: lock cmpxchg [edx], ecx; jnz again+1; ret: the jump back lands behind the prefix.
    const std::vector<unsigned char> Retry = {0xF0, 0x0F, 0xB1, 0x0A, 0x75, 0xFB, 0xC3};
    TKroImageCodeReader RetryReader;
    RetryReader.AddSegment(0x401000, Retry.data(), Retry.size());
    TKroDisAssembler(RetryReader, TKroCpuMode::Bits32).ParseFunction(0x401000, Listing, 0, 0, true, Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    EXPECT_NE(Listing.find("00401000   lock cmpxchg [edx], ecx\r\n00401001 loc_401001:\r\n"
                           "00401001   cmpxchg [edx], ecx\r\n00401004   jnz    loc_401001\r\n00401006   ret"),
              std::string::npos)
        << Listing;
    // jz done; call __stack_chk_fail; (data); done: ret. Nothing behind a call that never returns is code.
    const std::vector<unsigned char> Guard = {0x74, 0x06, 0xE8, 0xF9, 0x00, 0x00, 0x00, 0x06, 0xC3};
    const std::vector<unsigned char> Stub = {0xC3};
    TKroImageCodeReader GuardReader;
    GuardReader.AddSegment(0x401000, Guard.data(), Guard.size());
    GuardReader.AddSegment(0x401100, Stub.data(), Stub.size());
    const TKroDisAssembler Guarded(GuardReader, TKroCpuMode::Bits64);
    Guarded.AnalyzeFunction(0x401000, Info);
    EXPECT_FALSE(Info.Succeeded); // a call returns unless the analysis knows better
    GuardReader.AddName(0x401100, "__stack_chk_fail@plt");
    Guarded.AnalyzeFunction(0x401000, Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    EXPECT_EQ(Info.Areas.size(), 2u);
    ASSERT_EQ(Info.ExternalBranches.size(), 1u);
    EXPECT_EQ(Info.ExternalBranches[0].TargetAddress, 0x401100u);
    // A jump into the middle of an instruction that is no prefix's rest is no code.
    const std::vector<unsigned char> Overlap = {0x74, 0x01, 0xB8, 0xC3, 0x00, 0x00, 0x00, 0xC3};
    TKroImageCodeReader OverlapReader;
    OverlapReader.AddSegment(0x401000, Overlap.data(), Overlap.size());
    TKroDisAssembler(OverlapReader, TKroCpuMode::Bits32).AnalyzeFunction(0x401000, Info);
    EXPECT_FALSE(Info.Succeeded);
    EXPECT_EQ(Info.ErrorCode, KroErrorInvalidCode);
}

TEST(FunctionAnalysisTest, FreeMemoryGivesErrorEightySeven) {
    const long Page = sysconf(_SC_PAGESIZE);
    void* Mapped = mmap(nullptr, static_cast<std::size_t>(Page), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(Mapped, MAP_FAILED);
    ASSERT_EQ(munmap(Mapped, static_cast<std::size_t>(Page)), 0);
    TFunctionInfo Info;
    AnalyzeFunction(reinterpret_cast<std::uint64_t>(Mapped), Info);
    EXPECT_FALSE(Info.Succeeded);
    EXPECT_EQ(Info.ErrorCode, KroErrorNotCommitted);
    EXPECT_EQ(Info.ErrorAddress, reinterpret_cast<std::uint64_t>(Mapped));
    std::string Listing = "stale";
    ParseFunction(reinterpret_cast<std::uint64_t>(Mapped), Listing, 0, 5, false, Info);
    EXPECT_TRUE(Listing.empty());
}

TEST(FunctionAnalysisTest, HostileCodeAtTheEdgeOfMappedMemoryNeverFaults) {
    const std::size_t Page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    auto* Pages = static_cast<unsigned char*>(
        mmap(nullptr, 2 * Page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(Pages, MAP_FAILED);
    ASSERT_EQ(munmap(Pages + Page, Page), 0);
    const auto Address = [&](std::size_t Offset) { return reinterpret_cast<std::uint64_t>(Pages + Offset); };

    // Code that runs off the end of its page into the hole: an invalid function, not a fault.
    std::memset(Pages, 0x90, Page);
    Pages[Page - 2] = 0xB8; // mov eax, imm32 needs three bytes more than the page holds
    TFunctionInfo Info;
    AnalyzeFunction(Address(Page - 16), Info);
    EXPECT_FALSE(Info.Succeeded);
    EXPECT_EQ(Info.ErrorCode, KroErrorInvalidCode);
    EXPECT_EQ(Info.ErrorText, "Invalid code!");

    // A jump through a cell in the hole makes the jump invalid; a jump into the hole leaves the function.
    const auto RipTo = [&](unsigned char* Field, std::size_t Next, std::size_t Target) {
        const std::int32_t Displacement = static_cast<std::int32_t>(Target - Next);
        std::memcpy(Field, &Displacement, 4);
    };
    unsigned char ThroughHole[] = {0xFF, 0x25, 0, 0, 0, 0}; // jmp [rip+hole]
    RipTo(ThroughHole + 2, sizeof ThroughHole, Page);
    std::memcpy(Pages, ThroughHole, sizeof ThroughHole);
    AnalyzeFunction(Address(0), Info);
    EXPECT_FALSE(Info.Succeeded);
    TCodeInfo Code;
    EXPECT_FALSE(DecodeInstruction(Address(0), Code));
    EXPECT_EQ(Code.TargetPointer, Address(Page));

    const std::int32_t Distance = static_cast<std::int32_t>(Page) - 5 + 0x100;
    unsigned char IntoHole[] = {0xE9, 0, 0, 0, 0};
    std::memcpy(IntoHole + 1, &Distance, 4);
    std::memcpy(Pages, IntoHole, sizeof IntoHole);
    AnalyzeFunction(Address(0), Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    ASSERT_EQ(Info.ExternalBranches.size(), 1u);
    EXPECT_EQ(Info.ExternalBranches[0].TargetAddress, Address(Page + 0x100));

    // A "switch" whose table lies in the hole: the jump stays an open branch.
    unsigned char HoleTable[] = {0x83, 0xFF, 0x03,                // cmp edi, 3
                                 0x77, 0x10,                      // ja the return
                                 0x48, 0x8D, 0x15, 0,    0, 0, 0, // lea rdx, [rip+hole]
                                 0x48, 0x63, 0x04, 0xBA,          // movsxd rax, [rdx+rdi*4]
                                 0x48, 0x01, 0xD0,                // add rax, rdx
                                 0xFF, 0xE0,                      // jmp rax
                                 0xC3};                           // ret
    RipTo(HoleTable + 8, 12, Page);
    std::memcpy(Pages, HoleTable, sizeof HoleTable);
    AnalyzeFunction(Address(0), Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    ASSERT_EQ(Info.OpenBranches.size(), 1u);
    EXPECT_EQ(Info.OpenBranches[0].InstructionStart, Address(19));
    EXPECT_EQ(CaseTable(Info), nullptr);
    munmap(Pages, Page);
}

// Optimised code is full of loops entered by falling into them, of tail calls, of cold parts far from their
// function and of calls that never return. Sampled exports of the system's libraries must be analysed, nearly all,
// and the areas found must hold most of each function's code: what they leave out is padding, the landing pads
// that only the unwinder enters, and switches whose table was not recognised. The refusals that may remain (none
// among all the exports of these libraries today) are code that runs on into data behind a call the analysis does
// not know never returns, and a jump into the middle of an instruction that is not the rest of it behind a prefix.
TEST(FunctionAnalysisTest, SampledExportsOfSystemLibrariesAreAnalysed) {
    const char* const Libraries[] = {"/lib/x86_64-linux-gnu/libc.so.6",
                                     "/usr/lib/x86_64-linux-gnu/libstdc++.so.6",
                                     "/usr/lib/x86_64-linux-gnu/libQt6Core.so.6",
                                     "/usr/lib/x86_64-linux-gnu/libQt6Gui.so.6",
                                     "/usr/lib/x86_64-linux-gnu/libQt6Widgets.so.6",
                                     "/usr/lib/x86_64-linux-gnu/libm.so.6",
                                     "/usr/lib/x86_64-linux-gnu/libcrypto.so.3",
                                     "/usr/lib/x86_64-linux-gnu/libglib-2.0.so.0",
                                     "/usr/lib/x86_64-linux-gnu/libX11.so.6",
                                     "/usr/lib/x86_64-linux-gnu/libz.so.1",
                                     "/usr/lib/x86_64-linux-gnu/libzstd.so.1",
                                     "/usr/lib/x86_64-linux-gnu/libicuuc.so.72"};
    constexpr std::size_t Sample = 200;
    for (const char* Library : Libraries) {
        const TKroElfFile File(Library);
        const TKroDisAssembler DisAssembler(File.Reader(), File.Mode());
        const std::vector<TFunctionSymbol> Exports = ExportsOf(Library);
        ASSERT_GE(Exports.size(), 20u) << Library;
        const std::size_t Count = std::min(Sample, Exports.size());
        std::size_t Refused = 0;
        std::uint64_t Sized = 0;
        std::uint64_t Covered = 0;
        for (std::size_t Index = 0; Index < Count; ++Index) {
            const TFunctionSymbol& Function = Exports[Index * Exports.size() / Count];
            TFunctionInfo Info;
            DisAssembler.AnalyzeFunction(Function.Address, Info);
            if (Info.Succeeded) {
                // How much of the symbol's code the areas hold: the analysis followed the function, it did not
                // stop short of it.
                Sized += Function.Size;
                for (const TCodeArea& Area : Info.Areas) {
                    const std::uint64_t Begin = std::max(Area.Begin, Function.Address);
                    const std::uint64_t End = std::min(Area.End + 1, Function.Address + Function.Size);
                    if (!Area.CaseTable && Begin < End)
                        Covered += End - Begin;
                }
                continue;
            }
            ++Refused;
            std::printf("  %s %s: %s at %llx\n", Library, Function.Name.c_str(), Info.ErrorText.c_str(),
                        static_cast<unsigned long long>(Info.ErrorAddress));
        }
        const double Rate = 100.0 * static_cast<double>(Count - Refused) / static_cast<double>(Count);
        const double Coverage = Sized == 0 ? 0 : 100.0 * static_cast<double>(Covered) / static_cast<double>(Sized);
        std::printf("%s: %zu of %zu sampled exports analysed (%.1f %%), their areas cover %.1f %% of their code\n",
                    Library, Count - Refused, Count, Rate, Coverage);
        EXPECT_GE(Rate, 99.5) << Library;
        EXPECT_GE(Coverage, 80.0) << Library;
    }
}
