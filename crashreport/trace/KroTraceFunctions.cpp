#include "KroTraceFunctions.h"

#include "KroSafeRead.h"

namespace {

// Jumps out of a function are followed this deep; tail-call chains longer than this are left unanalysed.
constexpr int MaxJumpDepth = 8;

constexpr std::string_view RaiseFunctions[] = {
    "__cxa_throw", "__cxa_rethrow", "_Unwind_RaiseException", "abort", "raise", "__assert_fail", "pthread_kill"};

} // namespace

bool TTraceFunction::Holds(std::uintptr_t Address) const noexcept {
    for (const TTraceArea& Area : Info.Areas)
        if (!Area.CaseTable && Address > Area.Begin && Address <= Area.End + 1)
            return true;
    return false;
}

bool IsRaiseFunctionName(std::string_view Name) noexcept {
    // Names come bare ("abort"), with a version or a stub suffix ("abort@plt") or with an argument list.
    for (const std::string_view Raise : RaiseFunctions)
        if (Name.substr(0, Raise.size()) == Raise &&
            (Name.size() == Raise.size() || Name[Raise.size()] == '@' || Name[Raise.size()] == '('))
            return true;
    return false;
}

std::int32_t TTraceFunctions::Find(std::uintptr_t Start) const {
    const auto Found = ByStart.find(Start);
    return Found != ByStart.end() ? Found->second : -1;
}

std::int32_t TTraceFunctions::Analyze(std::uintptr_t Start, const std::string* Name, std::int32_t Module, bool Force,
                                      bool Approve) {
    return AnalyzeDepth(Start, Name, Module, Force, Approve, 0);
}

std::int32_t TTraceFunctions::AnalyzeDepth(std::uintptr_t Start, const std::string* Name, std::int32_t Module,
                                           bool Force, bool Approve, int Depth) {
    if (const std::int32_t Known = Find(Start); Known >= 0) {
        if (Approve)
            this->Approve(Known);
        return Known;
    }
    if (Module < 0) {
        Module = Modules.FindByRange(Start);
        if (Module < 0 && Modules.RegionOf(Start) != nullptr)
            Module = Modules.Enter(Start);
    }
    TTraceFunction Row;
    Row.Module = Module;
    const TTraceDecoder* Decoder = TraceDecoder();
    if (Decoder == nullptr || !Decoder->Analyze(Start, Row.Info) || !Row.Info.Succeeded) {
        if (!Force)
            return -1;
        Row.Info = TTraceFunctionInfo{};
        Row.Info.Start = Start;
    }
    Row.Info.Start = Start;
    Row.Name = Name != nullptr ? *Name : NameAt(Start);
    Row.Approved = Approve;
    Rows.push_back(std::move(Row));
    const auto Index = static_cast<std::int32_t>(Rows.size() - 1);
    ByStart[Start] = Index;
    if (Depth < MaxJumpDepth) {
        // Copy: analysing the targets grows the table.
        const std::vector<TTraceBranch> Branches = Rows.back().Info.External;
        for (const TTraceBranch& Branch : Branches)
            if (!Branch.IsCall && Branch.Target != 0)
                AnalyzeDepth(Branch.Target, nullptr, -1, false, Approve, Depth + 1);
    }
    return Index;
}

void TTraceFunctions::Approve(std::int32_t Function) {
    if (Function < 0)
        return;
    std::vector<std::int32_t> Pending{Function};
    Rows[static_cast<std::size_t>(Function)].Approved = true;
    while (!Pending.empty()) {
        const std::int32_t Next = Pending.back();
        Pending.pop_back();
        for (const TTraceBranch& Branch : Rows[static_cast<std::size_t>(Next)].Info.External)
            if (!Branch.IsCall && Branch.Target != 0) {
                const std::int32_t Target = Find(Branch.Target);
                if (Target >= 0 && !Rows[static_cast<std::size_t>(Target)].Approved) {
                    Rows[static_cast<std::size_t>(Target)].Approved = true;
                    Pending.push_back(Target);
                }
            }
    }
}

std::int32_t TTraceFunctions::ApprovedHolding(std::uintptr_t Address) const {
    for (std::size_t I = 0; I < Rows.size(); ++I)
        if (Rows[I].Approved && !Rows[I].Rejected && Rows[I].Holds(Address))
            return static_cast<std::int32_t>(I);
    return -1;
}

bool TTraceFunctions::CallCheck(std::int32_t Function, std::uintptr_t Expected, std::uintptr_t& Address, bool Exact,
                                TCallMatch& Match) {
    Match = TCallMatch{};
    if (Function < 0 || Rows[static_cast<std::size_t>(Function)].Rejected)
        return false;
    const TTraceFunction& Row = Rows[static_cast<std::size_t>(Function)];
    if (!Exact) {
        for (const TTraceBranch& Branch : Row.Info.Open)
            if (Branch.Next == Address) {
                Match.CallSite = Branch.Start;
                return true;
            }
        for (const TTraceBranch& Branch : Row.Info.External)
            if (Branch.Next == Address) {
                Match = TCallMatch{Branch.Start, Branch.Target, true};
                return true;
            }
        return false;
    }
    if (Row.Pseudo()) {
        Match.CallSite = Address;
        return Address == Row.Info.Start;
    }
    if (Expected != 0) {
        // Copy: naming a target may analyse and grow the table.
        const std::vector<TTraceBranch> Branches = Row.Info.External;
        for (const TTraceBranch& Branch : Branches)
            if (Branch.Next == Expected && Branch.Target != 0 && IsRaiseFunctionName(NameAt(Branch.Target))) {
                Address = Expected;
                Match = TCallMatch{Branch.Start, Branch.Target, true};
                return true;
            }
    }
    const TTraceDecoder* Decoder = TraceDecoder();
    if (Decoder == nullptr)
        return false;
    const TTraceFunction& Current = Rows[static_cast<std::size_t>(Function)];
    for (const TTraceArea& Area : Current.Info.Areas) {
        if (Area.CaseTable || Address < Area.Begin || Address > Area.End + 1)
            continue;
        // An instruction boundary of the area: the instruction that ends there is the call site.
        for (std::uintptr_t At = Area.Begin; At < Address;) {
            TTraceInstruction Instruction;
            if (!Decoder->Decode(At, Instruction) || Instruction.Next <= At)
                break;
            if (Instruction.Next == Address) {
                Match = TCallMatch{Instruction.Start, Instruction.Target, false};
                return true;
            }
            At = Instruction.Next;
        }
    }
    return false;
}

std::string TTraceFunctions::NameAt(std::uintptr_t Address) {
    std::int32_t Module = Modules.FindByRange(Address);
    if (Module < 0 && Modules.RegionOf(Address) != nullptr)
        Module = Modules.Enter(Address);
    if (Module < 0)
        return std::string();
    const TTraceModule& Entry = Modules[Module];
    std::string Name;
    std::uintptr_t Start = 0;
    if (Entry.Map != nullptr && Entry.Map->PublicOf(Address, Name, Start) && Start == Address)
        return Name;
    return Modules.ExportNameAt(Module, Address);
}

void TTraceFunctions::Clear() {
    Rows.clear();
    ByStart.clear();
}
