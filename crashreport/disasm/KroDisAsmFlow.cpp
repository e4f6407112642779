#include "KroDisAsmFlow.h"

#include "KroDisAsmSlots.h"

#include <algorithm>

namespace {

constexpr std::size_t None = static_cast<std::size_t>(-1);
// A function is no larger than this: hostile or runaway code ends the analysis instead of the memory.
constexpr std::size_t MaximumAreas = 65536;
constexpr std::size_t MaximumInstructions = 2000000;
constexpr std::uint32_t MaximumCases = 4096;
constexpr std::uint64_t MaximumGap = 1023;

bool IsUnconditionalJump(const TKroInstruction& Instruction) {
    if (Instruction.Encoding != TKroEncoding::Legacy || Instruction.Map != 0)
        return false;
    const std::uint32_t Opcode = Instruction.Info.Opcode;
    const int Reg = (Instruction.Info.ModRm >> 3) & 7;
    return Opcode == 0xE9 || Opcode == 0xEA || Opcode == 0xEB || (Opcode == 0xFF && (Reg == 4 || Reg == 5));
}

// Execution does not go on behind ud2 and int3.
bool IsTrap(const TKroInstruction& Instruction) {
    return Instruction.Encoding == TKroEncoding::Legacy &&
           ((Instruction.Map == 1 && Instruction.Info.Opcode == 0x0F0B) ||
            (Instruction.Map == 0 && Instruction.Info.Opcode == 0xCC));
}

// The functions of the C and C++ runtimes that never return. The compiler puts no code behind a call to one of them,
// and what follows the call (padding, the next function, data in the code) is no part of the caller.
bool NeverReturns(std::string Name) {
    const std::size_t Version = Name.find('@');
    if (Version != std::string::npos)
        Name.resize(Version); // "@plt", "@@GLIBC_2.2.5"
    static constexpr const char* Names[] = {"__stack_chk_fail",
                                            "__stack_chk_fail_local",
                                            "abort",
                                            "exit",
                                            "_exit",
                                            "_Exit",
                                            "quick_exit",
                                            "__assert_fail",
                                            "__assert_perror_fail",
                                            "__fortify_fail",
                                            "__chk_fail",
                                            "__libc_fatal",
                                            "pthread_exit",
                                            "longjmp",
                                            "siglongjmp",
                                            "_longjmp",
                                            "__longjmp_chk",
                                            "err",
                                            "errx",
                                            "verr",
                                            "verrx",
                                            "__cxa_throw",
                                            "__cxa_rethrow",
                                            "__cxa_bad_cast",
                                            "__cxa_bad_typeid",
                                            "__cxa_pure_virtual",
                                            "__cxa_deleted_virtual",
                                            "__cxa_throw_bad_array_new_length",
                                            "__cxa_call_terminate",
                                            "_Unwind_Resume",
                                            "std::terminate()",
                                            "std::unexpected()",
                                            "std::rethrow_exception(std::__exception_ptr::exception_ptr)"};
    for (const char* Known : Names)
        if (Name == Known)
            return true;
    // std::__throw_logic_error(char const*) and its kin.
    return Name.rfind("std::__throw_", 0) == 0;
}

// Of two instructions branching to Begin, the closer one below it, else the closer one above it.
std::uint64_t CloserReferrer(std::uint64_t Begin, std::uint64_t Old, std::uint64_t New) {
    if (Old == 0)
        return New;
    if (New == 0)
        return Old;
    const bool OldBelow = Old < Begin;
    const bool NewBelow = New < Begin;
    if (OldBelow != NewBelow)
        return OldBelow ? Old : New;
    const std::uint64_t OldDistance = OldBelow ? Begin - Old : Old - Begin;
    const std::uint64_t NewDistance = NewBelow ? Begin - New : New - Begin;
    return NewDistance < OldDistance ? New : Old;
}

} // namespace

bool TKroFunctionAnalysis::DecodeAt(std::uint64_t Address, const TRegisterSlots& Slots,
                                    TKroInstruction& Instruction) const {
    if (!Decoder.Decode(Address, Instruction))
        return false;
    Instruction.Info.Decoded = KroResolveThroughSlots(Decoder.CodeReader(), Instruction, Slots);
    return Instruction.Info.Decoded;
}

bool TKroFunctionAnalysis::StartsOtherFunction(std::uint64_t Address) const {
    if (Address == Info->StartAddress)
        return false;
    std::string Name;
    std::string Module;
    return Decoder.CodeReader().NameOf(Address, Name, Module);
}

bool TKroFunctionAnalysis::StartsInstruction(std::uint64_t From, std::uint64_t Address) const {
    while (From < Address) {
        TKroInstruction Instruction;
        if (!Decoder.Decode(From, Instruction))
            return false;
        From = Instruction.Info.NextInstruction;
    }
    return From == Address;
}

void TKroFunctionAnalysis::AddArea(std::uint64_t Begin, std::uint64_t Referrer, const TRegisterSlots& Slots) {
    std::vector<TCodeArea>& Areas = Info->Areas;
    const auto Found = ByBegin.find(Begin);
    if (Found != ByBegin.end()) {
        TCodeArea& Area = Areas[Found->second];
        if (Area.CaseTable)
            return;
        Area.Referrer = CloserReferrer(Begin, Area.Referrer, Referrer);
        KroMergeSlots(Area.Registers, Slots);
        return;
    }
    TCodeArea Area;
    Area.Begin = Begin;
    Area.Referrer = Referrer;
    Area.Registers = Slots;
    auto Below = ByBegin.lower_bound(Begin);
    if (Below != ByBegin.begin()) {
        --Below;
        TCodeArea& Holder = Areas[Below->second];
        if (Holder.End != 0 && Begin <= Holder.End) {
            if (Holder.CaseTable)
                return; // a branch into a jump table is no code
            // The target lies in code analysed already: split the area there. The slots do not change inside an
            // area, so the holder's slots are those at the target too. A target inside an instruction (a jump
            // over its prefix) starts a piece that is decoded anew; the holder keeps the whole instruction.
            Area.End = StartsInstruction(Holder.Begin, Begin) ? Holder.End : 0;
            KroMergeSlots(Area.Registers, Holder.Registers);
            Holder.End = Begin - 1;
        }
    }
    ByBegin.emplace(Begin, Areas.size());
    Areas.push_back(Area);
}

bool TKroFunctionAnalysis::AddCaseTable(std::uint64_t Table, std::uint32_t Count, std::uint8_t EntrySize,
                                        std::uint64_t Base) {
    const std::uint64_t Last = Table + static_cast<std::uint64_t>(Count) * EntrySize - 1;
    // The table must not overlap any area known so far.
    auto Above = ByBegin.lower_bound(Table);
    if (Above != ByBegin.end() && Above->first <= Last)
        return false;
    if (Above != ByBegin.begin()) {
        // An area below still to be analysed stops at the table, as at any area above it.
        const TCodeArea& Before = Info->Areas[std::prev(Above)->second];
        if (Before.End != 0 && Before.End >= Table)
            return false;
    }
    TCodeArea Area;
    Area.Begin = Table;
    Area.End = Last;
    Area.CaseTable = true;
    Area.EntrySize = EntrySize;
    Area.TableBase = Base;
    ByBegin.emplace(Table, Info->Areas.size());
    Info->Areas.push_back(Area);
    return true;
}

bool TKroFunctionAnalysis::CaseJump(const TKroInstruction& Instruction, const TRegisterSlots& Slots) {
    if (Instruction.Encoding != TKroEncoding::Legacy || Instruction.Map != 0 || Instruction.Info.Opcode != 0xFF ||
        ((Instruction.Info.ModRm >> 3) & 7) != 4 || Instruction.OperandCount == 0)
        return false;
    const TKroOperand& Operand = Instruction.Operands[0];
    const unsigned PointerSize = Instruction.Mode == TKroCpuMode::Bits64 ? 8 : 4;
    TRegisterSlot Entry;
    const int Register = KroFullRegister(Operand);
    if (Register >= 0)
        Entry = Slots.Registers[static_cast<std::size_t>(Register)];
    else if (Operand.Kind == TKroOperandKind::Memory && !Operand.AbsoluteKnown)
        Entry = KroLoadedValue(Operand, Slots, false);
    std::uint8_t Width;
    std::uint64_t Base;
    if (Entry.Kind == TKroSlotKind::CaseTarget) {
        Width = 4;
        Base = Entry.Value; // entries relative to this address
    } else if (Entry.Kind == TKroSlotKind::TableEntry && Entry.Width == PointerSize) {
        Width = Entry.Width;
        Base = 0; // absolute entries
    } else {
        return false;
    }
    const std::uint32_t Count = Entry.Bound;
    if (Count == 0 || Count > MaximumCases)
        return false;
    TRegisterSlots AtTargets = Slots;
    AtTargets.CompareRegister = -1;
    AtTargets.CompareCell = {};
    std::uint32_t Read = 0;
    for (; Read < Count; ++Read) {
        std::uint64_t Value = 0;
        if (!Decoder.CodeReader().Read(Entry.Address + static_cast<std::uint64_t>(Read) * Width, &Value, Width))
            break;
        std::uint64_t Target = Value;
        if (Base != 0)
            Target = Base + static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(Value)));
        if (Target >= RangeBegin && Target < RangeEnd)
            AddArea(Target, Instruction.Info.InstructionStart, AtTargets);
    }
    if (Read == 0)
        return false;
    AddCaseTable(Entry.Address, Read, Width, Base);
    return true;
}

bool TKroFunctionAnalysis::EnterBranch(const TKroInstruction& Instruction, const TRegisterSlots& Before) {
    const TCodeInfo& Code = Instruction.Info;
    std::vector<TOpenBranch>& Open = Info->OpenBranches;
    Open.erase(
        std::remove_if(Open.begin(), Open.end(),
                       [&](const TOpenBranch& Branch) { return Branch.InstructionStart == Code.InstructionStart; }),
        Open.end());
    if (Code.TargetAddress == 0) {
        Open.push_back({Code.IsCall, Code.InstructionStart, Code.NextInstruction});
        return false;
    }
    const std::uint64_t Target = Code.TargetAddress;
    if (!Code.IsCall && Code.TargetRelative && Target >= RangeBegin && Target < RangeEnd &&
        !StartsOtherFunction(Target)) {
        TRegisterSlots Taken;
        KroTakenSlots(Instruction, Before, Taken);
        AddArea(Target, Code.InstructionStart, Taken);
        return false;
    }
    // A call, or a jump that leaves the function. A target that only jumps on (an import stub) is recorded as the
    // place it jumps to, when the stub itself has no name.
    TExternalBranch Branch{Code.IsCall,         Code.InstructionStart, Code.NextInstruction, Target,
                           Code.TargetRelative, Code.TargetField,      Code.TargetPointer};
    std::string Name;
    std::string Module;
    if (!Decoder.CodeReader().NameOf(Target, Name, Module)) {
        const std::uint64_t Onward = KroStubTarget(Decoder, Target);
        if (Onward != 0) {
            Branch.TargetAddress = Onward;
            Decoder.CodeReader().NameOf(Onward, Name, Module);
        }
    }
    const bool NoReturn = Code.IsCall && NeverReturns(Name);
    for (const TExternalBranch& Known : Info->ExternalBranches)
        if (Known.NextInstruction == Branch.NextInstruction)
            return NoReturn;
    Info->ExternalBranches.push_back(Branch);
    if (Branch.TargetPointer != 0)
        Info->RelocationSize += 4;
    return NoReturn;
}

// A branch back into the area being analysed (the loop that is entered by falling into it) splits the area at its
// target: the code from there on now belongs to the area at the target, and the analysis goes on in that one. A piece
// split off whose merged slots differ from those the code was decoded with is decoded again from its start.
bool TKroFunctionAnalysis::ContinueAfterSplit(std::size_t& Index, std::uint64_t& Begin, std::uint64_t Address,
                                              const TRegisterSlots& Slots) {
    auto Holder = ByBegin.upper_bound(Address);
    --Holder; // the area at Begin is never above Address
    if (Holder->second == Index)
        return true;
    for (auto Piece = ByBegin.upper_bound(Begin); Piece != ByBegin.end() && Piece->first <= Address; ++Piece) {
        TCodeArea& Area = Info->Areas[Piece->second];
        if (!(Area.Registers == Slots))
            Area.End = 0;
    }
    if (Info->Areas[Holder->second].End == 0)
        return false;
    Index = Holder->second;
    Begin = Holder->first;
    return true;
}

bool TKroFunctionAnalysis::AnalyseArea(std::size_t Index) {
    TRegisterSlots Slots = Info->Areas[Index].Registers;
    std::uint64_t Begin = Info->Areas[Index].Begin;
    std::uint64_t Address = Begin;
    for (;;) {
        const auto Above = ByBegin.upper_bound(Begin);
        const std::uint64_t Limit = Above != ByBegin.end() && Above->first < RangeEnd ? Above->first : RangeEnd;
        TKroInstruction Instruction;
        const bool Valid = DecodeAt(Address, Slots, Instruction);
        ++Decoded;
        const std::uint64_t Next = Instruction.Info.NextInstruction;
        if (!Valid) {
            Info->ErrorAddress = Next;
            return false;
        }
        if (Next > Limit) {
            // A branch into this instruction past its prefix ("jz over; lock; over: cmpxchg" takes the lock only
            // when other threads run): the area ends at the branch target, whose area decodes the rest of it. Any
            // other overlap is no code.
            TKroInstruction Rest;
            if (Address >= Limit || !DecodeAt(Limit, Slots, Rest) || Rest.Info.NextInstruction != Next) {
                Info->ErrorAddress = Next;
                return false;
            }
            Info->Areas[Index].End = Limit - 1;
            return true;
        }
        Info->Areas[Index].End = Next - 1;
        if (Instruction.Flags & KfRet)
            return true;
        bool Branch = Instruction.Info.IsCall || Instruction.Info.IsJump;
        const bool NoReturn = Branch && !CaseJump(Instruction, Slots) && EnterBranch(Instruction, Slots);
        if (Branch && !ContinueAfterSplit(Index, Begin, Instruction.Info.InstructionStart, Slots))
            return true;
        if (IsUnconditionalJump(Instruction) || IsTrap(Instruction) || NoReturn)
            return true;
        TRegisterSlots After = Slots;
        KroUpdateSlots(Instruction, After);
        // Falling into another function's entry ends this one; a change of the slots starts a new area.
        if (StartsOtherFunction(Next) || Next >= RangeEnd)
            return true;
        if (Next >= Limit || !(After == Slots)) {
            AddArea(Next, 0, After);
            return true;
        }
        if (Decoded > MaximumInstructions)
            return false;
        Address = Next;
    }
}

std::size_t TKroFunctionAnalysis::NextToAnalyse() {
    // Areas are only ever appended, and an analysed area stays analysed: the search goes on where it stopped.
    const std::vector<TCodeArea>& Areas = Info->Areas;
    for (; Cursor < Areas.size(); ++Cursor)
        if (Areas[Cursor].End == 0 && !Areas[Cursor].CaseTable)
            return Cursor;
    return None;
}

bool TKroFunctionAnalysis::RetryOpenBranches() {
    // A branch whose target was unknown may resolve with the slots its area ended up with.
    for (std::size_t Entry = Info->OpenBranches.size(); Entry-- > 0;) {
        if (Entry >= Info->OpenBranches.size())
            continue;
        const TOpenBranch Open = Info->OpenBranches[Entry];
        auto Holder = ByBegin.upper_bound(Open.InstructionStart);
        if (Holder == ByBegin.begin())
            continue;
        --Holder;
        const TCodeArea Area = Info->Areas[Holder->second];
        if (Area.CaseTable || Area.End == 0 || Open.InstructionStart > Area.End)
            continue;
        TKroInstruction Instruction;
        if (DecodeAt(Open.InstructionStart, Area.Registers, Instruction) && Instruction.Info.TargetAddress != 0 &&
            !CaseJump(Instruction, Area.Registers))
            EnterBranch(Instruction, Area.Registers);
        else if (Instruction.Info.Decoded && CaseJump(Instruction, Area.Registers))
            Info->OpenBranches.erase(Info->OpenBranches.begin() + static_cast<std::ptrdiff_t>(Entry));
    }
    return NextToAnalyse() != None;
}

bool TKroFunctionAnalysis::StartAfterGap() {
    const bool OpenJump = std::any_of(Info->OpenBranches.begin(), Info->OpenBranches.end(),
                                      [](const TOpenBranch& Branch) { return !Branch.IsCall; });
    if (!OpenJump || ByBegin.empty())
        return false;
    // The run of adjoining areas from the lowest one, and the highest end of all.
    std::uint64_t RunEnd = 0;
    std::uint64_t Highest = 0;
    bool InRun = true;
    for (const auto& [Begin, Index] : ByBegin) {
        const TCodeArea& Area = Info->Areas[Index];
        if (Begin < RangeBegin || Begin >= RangeEnd)
            continue;
        if (RunEnd == 0)
            RunEnd = Area.End;
        else if (InRun && Begin <= RunEnd + 1)
            RunEnd = std::max(RunEnd, Area.End);
        else
            InRun = false;
        Highest = std::max(Highest, Area.End);
    }
    const std::uint64_t Gap = RunEnd + 1;
    if (RunEnd == 0 || Gap >= Highest || Highest - Gap > MaximumGap)
        return false;
    AddArea(Gap, 0, {});
    return true;
}

void TKroFunctionAnalysis::Fail(std::uint64_t Address) {
    Info->Succeeded = false;
    Info->ErrorAddress = Address;
    Info->ErrorCode = KroErrorInvalidCode;
    Info->ErrorText = "Invalid code!";
}

void TKroFunctionAnalysis::Finish() {
    std::vector<TCodeArea>& Areas = Info->Areas;
    std::uint64_t Lowest = 0;
    std::uint64_t Highest = 0;
    for (const TCodeArea& Area : Areas) {
        if (Area.Begin < RangeBegin || Area.Begin >= RangeEnd)
            continue; // a jump table elsewhere (read-only data) is no part of the function's extent
        if (Lowest == 0 || Area.Begin < Lowest)
            Lowest = Area.Begin;
        Highest = std::max(Highest, Area.End);
    }
    Info->LowestAddress = Lowest;
    Info->Extent = static_cast<std::uint32_t>(Highest - Lowest + 1);
    Info->RelocationSize += Info->Extent + 4;
    // The entry can be moved when its first instructions hold no branch whose target could not be rewritten.
    const auto Entry = ByBegin.find(Info->StartAddress);
    if (Entry != ByBegin.end()) {
        const TCodeArea& Area = Areas[Entry->second];
        bool Movable = Area.End - Area.Begin + 1 > 5;
        for (std::uint64_t Address = Area.Begin; Movable && Address < Area.Begin + 6;) {
            TKroInstruction Instruction;
            if (!Decoder.Decode(Address, Instruction)) {
                Movable = false;
                break;
            }
            const TCodeInfo& Code = Instruction.Info;
            if ((Code.IsCall || Code.IsJump) && ((Code.TargetField == 0 && Code.TargetPointer == 0) ||
                                                 (Code.TargetField != 0 && !Code.Widenable && Code.TargetWidth != 4)))
                Movable = false;
            Address = Code.NextInstruction;
        }
        Info->EntryRelocatable = Movable;
    }
    std::sort(Areas.begin(), Areas.end(),
              [](const TCodeArea& Left, const TCodeArea& Right) { return Left.Begin < Right.Begin; });
    Areas.shrink_to_fit();
    Info->Succeeded = true;
}

void TKroFunctionAnalysis::Run(std::uint64_t Address, TFunctionInfo& Result) {
    Result = TFunctionInfo{};
    Info = &Result;
    ByBegin.clear();
    Decoded = 0;
    Cursor = 0;
    Result.Analysed = true;
    Result.StartAddress = Address;
    if (Address == 0 || !Decoder.CodeReader().CodeRange(Address, RangeBegin, RangeEnd)) {
        Result.ErrorAddress = Address;
        Result.ErrorCode = KroErrorNotCommitted;
        Result.ErrorText = "The parameter is incorrect.";
        return;
    }
    Result.Areas.reserve(8);
    AddArea(Address, 0, {});
    for (;;) {
        std::size_t Index = NextToAnalyse();
        if (Index == None && RetryOpenBranches())
            Index = NextToAnalyse();
        bool AfterGap = false;
        TFunctionInfo Saved;
        std::map<std::uint64_t, std::size_t> SavedAreas;
        if (Index == None) {
            Saved = Result;
            SavedAreas = ByBegin;
            if (!StartAfterGap())
                break;
            AfterGap = true;
            Index = NextToAnalyse();
            if (Index == None)
                break;
        }
        if (!AnalyseArea(Index)) {
            if (AfterGap) {
                // The gap held no code after all: forget what was started there.
                Result = std::move(Saved);
                ByBegin = std::move(SavedAreas);
                Cursor = 0;
                break;
            }
            Fail(Result.ErrorAddress);
            return;
        }
        if (Result.Areas.size() > MaximumAreas || Decoded > MaximumInstructions) {
            Fail(Result.Areas.back().Begin);
            return;
        }
    }
    Finish();
}
