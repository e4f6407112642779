#include "DwarfLocations.h"

#include "InlinedCallPlacement.h"

#include "KroDemangle.h"

#include <dwarf.h>
#include <elfutils/libdw.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <unordered_map>

namespace {

// The longest name a packed map keeps.
constexpr std::size_t MaxKeptName = 255;

struct TDwarfCloser final {
    void operator()(Dwarf* D) const { dwarf_end(D); }
};

// One entry per distinct file name text that libdw hands out (it keeps them until the end).
class TFileTable final {
public:
    std::uint32_t IndexOf(const char* Name) {
        if (Name == nullptr)
            Name = "";
        const auto [At, Added] = Indexes.try_emplace(Name, static_cast<std::uint32_t>(Names.size()));
        if (Added)
            Names.emplace_back(Name);
        return At->second;
    }
    std::vector<std::string> Take() { return std::move(Names); }

private:
    std::unordered_map<const char*, std::uint32_t> Indexes;
    std::vector<std::string> Names;
};

// Whether DWARF gives a function (or the declaration or abstract description it refers to) a linkage name.
bool HasLinkageName(Dwarf_Die* Die) {
    Dwarf_Attribute Attribute;
    return dwarf_attr_integrate(Die, DW_AT_linkage_name, &Attribute) != nullptr ||
           dwarf_attr_integrate(Die, DW_AT_MIPS_linkage_name, &Attribute) != nullptr;
}

// The scopes (namespaces and classes, "A::B") that functions are declared in, by the offset of their declaration:
// a function that has no linkage name is named with them, as a debugger names it.
using TScopes = std::unordered_map<Dwarf_Off, std::string>;

// The names of inlined functions, one entry per name, each function's name read once.
class TFunctionTable final {
public:
    // The name of the function that Call inlined: its linkage name (the reader demangles it), else its plain name
    // in the scopes it is declared in.
    std::uint32_t IndexOf(Dwarf_Die* Call, const TScopes& Scopes) {
        Dwarf_Attribute Attribute;
        Dwarf_Die Origin;
        Dwarf_Off Key = dwarf_dieoffset(Call);
        if (dwarf_attr(Call, DW_AT_abstract_origin, &Attribute) != nullptr &&
            dwarf_formref_die(&Attribute, &Origin) != nullptr)
            Key = dwarf_dieoffset(&Origin);
        const auto [At, Added] = ByOrigin.try_emplace(Key, 0);
        if (Added) {
            const std::string Name = NameOf(Call, Scopes);
            const auto [Named, New] = ByName.try_emplace(Name, static_cast<std::uint32_t>(Names.size()));
            if (New) {
                Names.push_back(Name);
                Plain.push_back(!HasLinkageName(Call));
            }
            At->second = Named->second;
        }
        return At->second;
    }
    std::vector<std::string> Take() { return std::move(Names); }
    std::vector<bool> TakePlain() { return std::move(Plain); }

private:
    static std::string NameOf(Dwarf_Die* Die, const TScopes& Scopes) {
        Dwarf_Attribute Attribute;
        const char* Text = nullptr;
        if (dwarf_attr_integrate(Die, DW_AT_linkage_name, &Attribute) != nullptr ||
            dwarf_attr_integrate(Die, DW_AT_MIPS_linkage_name, &Attribute) != nullptr)
            Text = dwarf_formstring(&Attribute);
        // The map keeps the linkage name, which is shorter, and the reader demangles it; one too long to keep
        // whole is kept readable, so that what is kept of it still reads.
        if (Text != nullptr)
            return std::strlen(Text) <= MaxKeptName ? std::string(Text) : KroReadableSymbol(Text);
        if (dwarf_attr_integrate(Die, DW_AT_name, &Attribute) != nullptr)
            Text = dwarf_formstring(&Attribute);
        const std::string Name = Text != nullptr ? Text : "";
        // The declaration: the function's abstract description, or the one in its class that that refers to.
        Dwarf_Die Declaration = *Die;
        for (int Step = 0; Step < 4; ++Step) {
            Dwarf_Die Next;
            if ((dwarf_attr(&Declaration, DW_AT_abstract_origin, &Attribute) == nullptr &&
                 dwarf_attr(&Declaration, DW_AT_specification, &Attribute) == nullptr) ||
                dwarf_formref_die(&Attribute, &Next) == nullptr)
                break;
            Declaration = Next;
        }
        const auto Scope = Scopes.find(dwarf_dieoffset(&Declaration));
        return Scope == Scopes.end() || Name.empty() ? Name : Scope->second + "::" + Name;
    }

    std::unordered_map<Dwarf_Off, std::uint32_t> ByOrigin;
    std::unordered_map<std::string, std::uint32_t> ByName;
    std::vector<std::string> Names;
    std::vector<bool> Plain; // per name: the function has no linkage name
};

// The code that the units read so far describe, as disjoint stretches.
class TClaimedCode final {
public:
    bool Overlaps(std::uint64_t Start, std::uint64_t End) const {
        const auto After = Stretches.upper_bound(Start);
        return (After != Stretches.end() && After->first < End) ||
               (After != Stretches.begin() && std::prev(After)->second > Start);
    }
    void Add(std::uint64_t Start, std::uint64_t End) {
        auto At = Stretches.upper_bound(Start);
        if (At != Stretches.begin() && std::prev(At)->second >= Start) {
            --At;
            Start = At->first;
            End = std::max(End, At->second);
            At = Stretches.erase(At);
        }
        while (At != Stretches.end() && At->first <= End) {
            End = std::max(End, At->second);
            At = Stretches.erase(At);
        }
        Stretches.emplace(Start, End);
    }

private:
    std::map<std::uint64_t, std::uint64_t> Stretches; // start -> end
};

class TUnitReader final {
public:
    TUnitReader(Dwarf_Die* UnitDie, std::uint64_t CodeStart, std::uint64_t CodeEnd, TFileTable& FileTable,
                TFunctionTable& FunctionTable)
        : Unit(UnitDie), Low(CodeStart), High(CodeEnd), Files(FileTable), Functions(FunctionTable) {
        if (dwarf_getsrcfiles(Unit, &SourceFiles, &SourceFileCount) != 0) {
            SourceFiles = nullptr;
            SourceFileCount = 0;
        }
    }

    // The unit's rows; Code: the code of the unit's functions; FunctionStarts: where the program's functions start.
    void ReadLines(std::vector<TLocatedRange>& Out, const TClaimedCode& Code,
                   const std::vector<std::uint64_t>& FunctionStarts) {
        Dwarf_Lines* Lines = nullptr;
        std::size_t Count = 0;
        if (dwarf_getsrclines(Unit, &Lines, &Count) != 0)
            return;
        // Of several rows at one address the last one holds (as addr2line reads them); a row reaches to the next
        // row of its sequence. libdw lists the rows by address, a sequence's end before the other rows at its
        // address: a row that a sequence placed at its very end (it covers no code) then follows the end, and
        // would seem to reach to the next sequence. Such a row lies at the end of a function, not in one nor at
        // the start of one.
        Dwarf_Addr SequenceEnd = 0;
        bool AfterEnd = false;
        for (std::size_t I = 0; I + 1 < Count; ++I) {
            Dwarf_Line* Row = dwarf_onesrcline(Lines, I);
            Dwarf_Line* Next = dwarf_onesrcline(Lines, I + 1);
            bool EndOfSequence = false;
            Dwarf_Addr Address = 0;
            Dwarf_Addr NextAddress = 0;
            int LineNumber = 0;
            if (Row == nullptr || Next == nullptr || dwarf_lineendsequence(Row, &EndOfSequence) != 0 ||
                dwarf_lineaddr(Row, &Address) != 0)
                continue;
            if (EndOfSequence) {
                SequenceEnd = Address;
                AfterEnd = true;
                continue;
            }
            AfterEnd = AfterEnd && Address == SequenceEnd;
            if (AfterEnd && !Code.Overlaps(Address, Address + 1) &&
                !std::binary_search(FunctionStarts.begin(), FunctionStarts.end(), Address))
                continue;
            if (dwarf_lineaddr(Next, &NextAddress) != 0 || NextAddress <= Address || Address < Low ||
                NextAddress > High || dwarf_lineno(Row, &LineNumber) != 0)
                continue;
            Out.push_back(
                TLocatedRange{Address, NextAddress, Files.IndexOf(dwarf_linesrc(Row, nullptr, nullptr)), LineNumber});
        }
    }

    // The inlined calls at every depth, where addr2line places them, and the code of the functions themselves.
    void ReadCalls(std::vector<TInlinedCall>& Calls, std::vector<TLocatedRange>& FunctionRanges) {
        FunctionsOut = &FunctionRanges;
        Candidates.clear();
        Instances.clear();
        CallDies.clear();
        Scopes.clear();
        Walk(Unit, -1, NoInstance, std::string());
        // Named once the whole unit is read: a function may be declared after the code that inlined it.
        for (std::size_t I = 0; I < Instances.size(); ++I)
            Instances[I].Function = Functions.IndexOf(&CallDies[I], Scopes);
        PlaceInlinedCalls(Instances, Candidates, Calls);
    }

private:
    // Depth: -1 outside any function, 0 in a function's own code, n inside an inlined call n levels deep. Scope: the
    // namespaces and classes around ("A::B"; empty at the top, and within a function or an unnamed class).
    void Walk(Dwarf_Die* Parent, int Depth, std::uint32_t ParentInstance, const std::string& Scope) {
        Dwarf_Die Child;
        if (dwarf_child(Parent, &Child) != 0)
            return;
        do {
            switch (dwarf_tag(&Child)) {
            case DW_TAG_namespace:
            case DW_TAG_class_type:
            case DW_TAG_structure_type:
            case DW_TAG_union_type: {
                const char* Name = dwarf_diename(&Child);
                std::string Inner;
                if (Name != nullptr || dwarf_tag(&Child) == DW_TAG_namespace) {
                    const std::string Part = Name != nullptr ? Name : "(anonymous namespace)";
                    Inner = Scope.empty() ? Part : Scope + "::" + Part;
                }
                Walk(&Child, Depth, ParentInstance, Inner);
                break;
            }
            case DW_TAG_subprogram: {
                if (!Scope.empty())
                    Scopes.emplace(dwarf_dieoffset(&Child), Scope);
                const std::size_t First = FunctionsOut->size();
                // Code of the function that no row covers: addr2line names no file for it, unless it has to look
                // the function's name up in the symbol table.
                AddRanges(&Child, HasLinkageName(&Child) ? NoLocationFile : SymbolTableFile, 0, *FunctionsOut);
                const auto Order = static_cast<std::uint32_t>(Instances.size() + Candidates.size());
                for (std::size_t I = First; I < FunctionsOut->size(); ++I)
                    Candidates.push_back(
                        TCallCandidate{(*FunctionsOut)[I].Start, (*FunctionsOut)[I].End, NoInstance, Order});
                Walk(&Child, 0, NoInstance, std::string());
                break;
            }
            case DW_TAG_inlined_subroutine:
                if (Depth >= 0) {
                    const std::uint32_t Instance =
                        AddCall(&Child, static_cast<std::uint32_t>(Depth + 1), ParentInstance);
                    Walk(&Child, Depth + 1, Instance, Scope);
                } else {
                    Walk(&Child, Depth, ParentInstance, Scope);
                }
                break;
            case DW_TAG_variable:
            case DW_TAG_formal_parameter:
            case DW_TAG_base_type:
            case DW_TAG_pointer_type:
            case DW_TAG_reference_type:
            case DW_TAG_typedef:
            case DW_TAG_const_type:
            case DW_TAG_member:
            case DW_TAG_enumeration_type:
            case DW_TAG_GNU_call_site:
            case DW_TAG_call_site:
            case DW_TAG_template_type_parameter:
            case DW_TAG_template_value_parameter:
                break; // hold no code
            default:
                Walk(&Child, Depth, ParentInstance, Scope);
                break;
            }
        } while (dwarf_siblingof(&Child, &Child) == 0);
    }

    std::uint32_t AddCall(Dwarf_Die* Call, std::uint32_t Depth, std::uint32_t Parent) {
        // A call without its site (no compiler we know of leaves it out) is kept at no file and line, so that the
        // calls inlined into it keep their depth.
        Dwarf_Attribute Attribute;
        Dwarf_Word FileIndex = 0;
        Dwarf_Word Line = 0;
        std::uint32_t File = Files.IndexOf(nullptr);
        if (dwarf_attr(Call, DW_AT_call_file, &Attribute) != nullptr && dwarf_formudata(&Attribute, &FileIndex) == 0 &&
            dwarf_attr(Call, DW_AT_call_line, &Attribute) != nullptr && dwarf_formudata(&Attribute, &Line) == 0 &&
            FileIndex < SourceFileCount)
            File = Files.IndexOf(dwarf_filesrc(SourceFiles, FileIndex, nullptr, nullptr));
        else
            Line = 0;
        const auto Instance = static_cast<std::uint32_t>(Instances.size());
        Instances.push_back(TCallInstance{Parent, Depth, 0, File, static_cast<std::int32_t>(Line)});
        CallDies.push_back(*Call);
        const auto Order = static_cast<std::uint32_t>(Instances.size() + Candidates.size());
        Dwarf_Addr Base = 0;
        Dwarf_Addr Start = 0;
        Dwarf_Addr End = 0;
        for (ptrdiff_t Offset = 0; (Offset = dwarf_ranges(Call, Offset, &Base, &Start, &End)) > 0;)
            if (End > Start && Start >= Low && End <= High)
                Candidates.push_back(TCallCandidate{Start, End, Instance, Order});
        return Instance;
    }

    void AddRanges(Dwarf_Die* Die, std::uint32_t File, std::int32_t Line, std::vector<TLocatedRange>& Out) const {
        Dwarf_Addr Base = 0;
        Dwarf_Addr Start = 0;
        Dwarf_Addr End = 0;
        for (ptrdiff_t Offset = 0; (Offset = dwarf_ranges(Die, Offset, &Base, &Start, &End)) > 0;)
            if (End > Start && Start >= Low && End <= High)
                Out.push_back(TLocatedRange{Start, End, File, Line});
    }

    Dwarf_Die* Unit;
    std::uint64_t Low;
    std::uint64_t High;
    TFileTable& Files;
    TFunctionTable& Functions;
    std::vector<TLocatedRange>* FunctionsOut = nullptr;
    std::vector<TCallInstance> Instances;
    std::vector<Dwarf_Die> CallDies; // of each instance
    std::vector<TCallCandidate> Candidates;
    TScopes Scopes;
    Dwarf_Files* SourceFiles = nullptr;
    std::size_t SourceFileCount = 0;
};

// Lays the call sites over the line rows: an address inside an inlined call takes the call site's location.
void Overlay(const std::vector<TLocatedRange>& Rows, const std::vector<TInlinedCall>& Calls,
             std::vector<TLocatedRange>& Out) {
    std::size_t First = 0;
    for (const TLocatedRange& Row : Rows) {
        while (First < Calls.size() && Calls[First].End <= Row.Start)
            ++First;
        std::uint64_t At = Row.Start;
        std::size_t K = First;
        while (At < Row.End) {
            while (K < Calls.size() && Calls[K].End <= At)
                ++K;
            if (K < Calls.size() && Calls[K].Start <= At) {
                const std::uint64_t To = std::min(Row.End, Calls[K].End);
                Out.push_back(TLocatedRange{At, To, Calls[K].File, Calls[K].Line});
                At = To;
            } else {
                const std::uint64_t To = K < Calls.size() ? std::min(Row.End, Calls[K].Start) : Row.End;
                Out.push_back(TLocatedRange{At, To, Row.File, Row.Line});
                At = To;
            }
        }
    }
}

// The line rows within the calls (sorted, without overlaps); code of the calls without rows is left out.
std::vector<TLocatedRange> RowsWithin(const std::vector<TLocatedRange>& Rows, const std::vector<TInlinedCall>& Calls) {
    std::vector<TLocatedRange> Out;
    std::size_t First = 0;
    for (const TInlinedCall& Call : Calls) {
        while (First < Rows.size() && Rows[First].End <= Call.Start)
            ++First;
        std::uint64_t At = Call.Start;
        std::size_t K = First;
        while (At < Call.End) {
            while (K < Rows.size() && Rows[K].End <= At)
                ++K;
            if (K < Rows.size() && Rows[K].Start <= At) {
                const std::uint64_t To = std::min(Call.End, Rows[K].End);
                Out.push_back(TLocatedRange{At, To, Rows[K].File, Rows[K].Line});
                At = To;
            } else {
                At = K < Rows.size() ? std::min(Call.End, Rows[K].Start) : Call.End;
            }
        }
    }
    return Out;
}

// The innermost call at every address that calls cover: Calls nest, sorted by start and depth. Sorted, without
// overlaps.
std::vector<TInlinedCall> InnermostCalls(const std::vector<TInlinedCall>& Calls) {
    std::vector<TInlinedCall> Out;
    std::vector<const TInlinedCall*> Open; // the calls holding At, the innermost last
    std::uint64_t At = 0;
    const auto Until = [&](std::uint64_t To) {
        while (!Open.empty()) {
            const TInlinedCall& Top = *Open.back();
            const std::uint64_t End = std::min(Top.End, To);
            if (End > At) {
                TInlinedCall Piece = Top;
                Piece.Start = At;
                Piece.End = End;
                Out.push_back(Piece);
                At = End;
            }
            if (Top.End > To)
                break;
            Open.pop_back();
        }
        At = std::max(At, To);
    };
    for (const TInlinedCall& C : Calls) {
        Until(C.Start);
        Open.push_back(&C);
    }
    Until(UINT64_MAX);
    return Out;
}

// Of the calls of one depth that overlap (code that two units describe), the first keeps it; a call that no kept
// call one level out holds goes too, so that the calls at an address form one chain.
void DropOverlappingCalls(std::vector<TInlinedCall>& Calls) {
    std::stable_sort(Calls.begin(), Calls.end(), [](const TInlinedCall& A, const TInlinedCall& B) {
        return A.Depth != B.Depth ? A.Depth < B.Depth : A.Start < B.Start;
    });
    std::vector<TInlinedCall> Kept;
    Kept.reserve(Calls.size());
    std::uint32_t Depth = 0;
    std::size_t DepthStart = 0; // the kept calls of the current depth
    std::size_t OuterStart = 0; // and those one level out
    std::size_t OuterEnd = 0;
    for (const TInlinedCall& C : Calls) {
        if (C.Depth != Depth) {
            OuterStart = C.Depth == Depth + 1 ? DepthStart : Kept.size();
            OuterEnd = Kept.size();
            DepthStart = Kept.size();
            Depth = C.Depth;
        }
        if (Kept.size() > DepthStart && C.Start < Kept.back().End)
            continue;
        if (C.Depth > 1) {
            const auto First = Kept.begin() + static_cast<std::ptrdiff_t>(OuterStart);
            const auto Outer = std::upper_bound(First, Kept.begin() + static_cast<std::ptrdiff_t>(OuterEnd), C.Start,
                                                [](std::uint64_t A, const TInlinedCall& K) { return A < K.Start; });
            if (Outer == First || (Outer - 1)->End < C.End)
                continue;
        }
        Kept.push_back(C);
    }
    std::stable_sort(Kept.begin(), Kept.end(), [](const TInlinedCall& A, const TInlinedCall& B) {
        return A.Start != B.Start ? A.Start < B.Start : A.Depth < B.Depth;
    });
    Calls = std::move(Kept);
}

} // namespace

void FillLocationGaps(std::vector<TLocatedRange>& Located, std::vector<TLocatedRange> Units) {
    std::stable_sort(Units.begin(), Units.end(), [](const auto& A, const auto& B) { return A.Start < B.Start; });
    std::vector<TLocatedRange> Gaps;
    std::size_t K = 0;
    std::uint64_t Claimed = 0; // units overlapping each other: the first one keeps the code
    for (const TLocatedRange& U : Units) {
        std::uint64_t At = std::max(U.Start, Claimed);
        while (K < Located.size() && Located[K].End <= At)
            ++K;
        std::size_t J = K;
        while (At < U.End) {
            while (J < Located.size() && Located[J].End <= At)
                ++J;
            if (J < Located.size() && Located[J].Start <= At) {
                At = Located[J].End;
                continue;
            }
            const std::uint64_t To = J < Located.size() ? std::min(U.End, Located[J].Start) : U.End;
            Gaps.push_back(TLocatedRange{At, To, U.File, U.Line});
            At = To;
        }
        Claimed = std::max(Claimed, U.End);
    }
    std::vector<TLocatedRange> All;
    All.reserve(Located.size() + Gaps.size());
    std::merge(Located.begin(), Located.end(), Gaps.begin(), Gaps.end(), std::back_inserter(All),
               [](const auto& A, const auto& B) { return A.Start < B.Start; });
    Located = std::move(All);
}

bool ReadDwarfLocations(int Fd, std::uint64_t CodeStart, std::uint64_t CodeEnd,
                        const std::vector<std::uint64_t>& FunctionStarts, TDwarfLocations& Locations,
                        std::string& Error) {
    std::unique_ptr<Dwarf, TDwarfCloser> Debug(dwarf_begin(Fd, DWARF_C_READ));
    if (!Debug) {
        Error = std::string("no DWARF debug information (") + dwarf_errmsg(-1) + ")";
        return false;
    }
    std::vector<TLocatedRange> Rows;
    std::vector<TInlinedCall> Calls;
    std::vector<TLocatedRange> Functions;
    TFileTable FileTable;
    TFunctionTable FunctionTable;
    TClaimedCode Claimed;
    Dwarf_CU* Cu = nullptr;
    Dwarf_Die UnitDie;
    Dwarf_Half Version = 0;
    std::uint8_t UnitType = 0;
    while (dwarf_get_units(Debug.get(), Cu, &Cu, &Version, &UnitType, &UnitDie, nullptr) == 0) {
        if (dwarf_tag(&UnitDie) != DW_TAG_compile_unit && dwarf_tag(&UnitDie) != DW_TAG_partial_unit)
            continue;
        TUnitReader Reader(&UnitDie, CodeStart, CodeEnd, FileTable, FunctionTable);
        const std::size_t FirstFunction = Functions.size();
        std::vector<TInlinedCall> UnitCalls;
        Reader.ReadCalls(UnitCalls, Functions);
        TClaimedCode UnitCode;
        for (std::size_t I = FirstFunction; I < Functions.size(); ++I)
            UnitCode.Add(Functions[I].Start, Functions[I].End);
        std::vector<TLocatedRange> UnitRows;
        Reader.ReadLines(UnitRows, UnitCode, FunctionStarts);
        // Code that an earlier unit describes is read from that one alone: a template's copy that the linker kept
        // from the earlier unit is described by the others too, after their own copies, which were laid out
        // differently and may reach past it. Such a function of this unit is left out whole.
        TClaimedCode Elsewhere = Claimed;
        for (std::size_t I = FirstFunction; I < Functions.size(); ++I)
            if (Claimed.Overlaps(Functions[I].Start, Functions[I].End))
                Elsewhere.Add(Functions[I].Start, Functions[I].End);
        for (const TLocatedRange& Row : UnitRows)
            if (!Elsewhere.Overlaps(Row.Start, Row.End))
                Rows.push_back(Row);
        for (const TInlinedCall& C : UnitCalls)
            if (!Elsewhere.Overlaps(C.Start, C.End))
                Calls.push_back(C);
        for (std::size_t I = FirstFunction; I < Functions.size(); ++I)
            Claimed.Add(Functions[I].Start, Functions[I].End);
    }
    const std::uint32_t NoFile = FileTable.IndexOf(nullptr);
    const auto ByStart = [](const auto& A, const auto& B) { return A.Start < B.Start; };
    std::stable_sort(Rows.begin(), Rows.end(), ByStart);
    DropOverlappingCalls(Calls);
    // The calls straight into a function, with their sites: the outermost locations of inlined code.
    std::vector<TInlinedCall> Sites;
    for (const TInlinedCall& C : Calls)
        if (C.Depth == 1 && !(C.File == NoFile && C.Line == 0))
            Sites.push_back(C);
    std::stable_sort(Sites.begin(), Sites.end(), ByStart);
    // Code that two units claim (a discarded duplicate that kept its addresses) is read from the first.
    std::vector<TLocatedRange> Kept;
    Kept.reserve(Rows.size());
    for (TLocatedRange& Row : Rows)
        if (Kept.empty() || Row.Start >= Kept.back().End)
            Kept.push_back(std::move(Row));
    Locations.Outermost.clear();
    Overlay(Kept, Sites, Locations.Outermost);
    // Inlined code without rows of its own still has its call site; code of a function without any location is
    // marked so that nothing else names a file for it (addr2line names none).
    std::vector<TLocatedRange> SiteRanges;
    SiteRanges.reserve(Sites.size());
    for (const TInlinedCall& C : Sites)
        SiteRanges.push_back(TLocatedRange{C.Start, C.End, C.File, C.Line});
    FillLocationGaps(Locations.Outermost, std::move(SiteRanges));
    FillLocationGaps(Locations.Outermost, std::move(Functions));

    std::vector<TInlinedCall> Outer;
    for (const TInlinedCall& C : Calls)
        if (C.Depth == 1)
            Outer.push_back(C);
    Locations.Inlined = RowsWithin(Kept, Outer);
    // Inlined code without rows: addr2line names no file for it, unless the function inlined there has no linkage
    // name and it has to look the name up in the symbol table.
    const std::vector<bool> Plain = FunctionTable.TakePlain();
    std::vector<TLocatedRange> Rowless;
    for (const TInlinedCall& C : InnermostCalls(Calls))
        Rowless.push_back(TLocatedRange{C.Start, C.End, Plain[C.Function] ? SymbolTableFile : NoFile, 0});
    FillLocationGaps(Locations.Inlined, std::move(Rowless));
    Locations.Calls = std::move(Calls);
    Locations.FileNames = FileTable.Take();
    Locations.NoFile = NoFile;
    Locations.FunctionNames = FunctionTable.Take();
    return true;
}
