#include "KnownFunctions.h"
#include "KroDisAsm.h"
#include "KroDisAsmImageReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

} // namespace

TEST(FunctionAnalysisTest, FollowsEveryCaseOfPositionIndependentAbsoluteAndStackSwitches) {
    ExpectSwitchFollowed(KroKnownSwitch, 5, 4);
    ExpectSwitchFollowed(KroKnownAbsoluteSwitch, 3, 8);
    ExpectSwitchFollowed(KroKnownStackSwitch, 4, 4);
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
