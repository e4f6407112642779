#include "DwarfLocations.h"

#include <dwarf.h>
#include <elfutils/libdw.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <unordered_map>

namespace {

struct TDwarfCloser final {
    void operator()(Dwarf* D) const { dwarf_end(D); }
};

// The range of an inlined call at the top of its function, located at the call site.
struct TCallSite final {
    std::uint64_t Start = 0;
    std::uint64_t End = 0;
    std::uint32_t File = 0;
    std::int32_t Line = 0;
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

class TUnitReader final {
public:
    TUnitReader(Dwarf_Die* UnitDie, std::uint64_t CodeStart, std::uint64_t CodeEnd, TFileTable& FileTable)
        : Unit(UnitDie), Low(CodeStart), High(CodeEnd), Table(FileTable) {
        if (dwarf_getsrcfiles(Unit, &Files, &FileCount) != 0) {
            Files = nullptr;
            FileCount = 0;
        }
    }

    void ReadLines(std::vector<TLocatedRange>& Out) {
        Dwarf_Lines* Lines = nullptr;
        std::size_t Count = 0;
        if (dwarf_getsrclines(Unit, &Lines, &Count) != 0)
            return;
        // Of several rows at one address the last one holds (as addr2line reads them); a row reaches to the next
        // row of its sequence.
        for (std::size_t I = 0; I + 1 < Count; ++I) {
            Dwarf_Line* Row = dwarf_onesrcline(Lines, I);
            Dwarf_Line* Next = dwarf_onesrcline(Lines, I + 1);
            bool EndOfSequence = false;
            Dwarf_Addr Address = 0;
            Dwarf_Addr NextAddress = 0;
            int LineNumber = 0;
            if (Row == nullptr || Next == nullptr || dwarf_lineendsequence(Row, &EndOfSequence) != 0 || EndOfSequence ||
                dwarf_lineaddr(Row, &Address) != 0 || dwarf_lineaddr(Next, &NextAddress) != 0 ||
                NextAddress <= Address || Address < Low || NextAddress > High || dwarf_lineno(Row, &LineNumber) != 0)
                continue;
            Out.push_back(
                TLocatedRange{Address, NextAddress, Table.IndexOf(dwarf_linesrc(Row, nullptr, nullptr)), LineNumber});
        }
    }

    // The inlined calls at the top of their functions, and the code of the functions themselves.
    void ReadCallSites(std::vector<TCallSite>& Out, std::vector<TLocatedRange>& Functions) {
        FunctionRanges = &Functions;
        Walk(Unit, false, Out);
    }

private:
    void Walk(Dwarf_Die* Parent, bool InFunction, std::vector<TCallSite>& Out) {
        Dwarf_Die Child;
        if (dwarf_child(Parent, &Child) != 0)
            return;
        do {
            switch (dwarf_tag(&Child)) {
            case DW_TAG_subprogram:
                AddRanges(&Child, NoLocationFile, 0, *FunctionRanges);
                Walk(&Child, true, Out);
                break;
            case DW_TAG_inlined_subroutine:
                // Only the outermost inlined call matters; what it inlined in turn lies inside its ranges.
                if (InFunction)
                    AddCallSite(&Child, Out);
                else
                    Walk(&Child, false, Out);
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
                Walk(&Child, InFunction, Out);
                break;
            }
        } while (dwarf_siblingof(&Child, &Child) == 0);
    }

    void AddCallSite(Dwarf_Die* Call, std::vector<TCallSite>& Out) {
        Dwarf_Attribute Attribute;
        Dwarf_Word FileIndex = 0;
        Dwarf_Word Line = 0;
        if (dwarf_attr(Call, DW_AT_call_file, &Attribute) == nullptr || dwarf_formudata(&Attribute, &FileIndex) != 0 ||
            dwarf_attr(Call, DW_AT_call_line, &Attribute) == nullptr || dwarf_formudata(&Attribute, &Line) != 0 ||
            FileIndex >= FileCount)
            return;
        const std::uint32_t File = Table.IndexOf(dwarf_filesrc(Files, FileIndex, nullptr, nullptr));
        Dwarf_Addr Base = 0;
        Dwarf_Addr Start = 0;
        Dwarf_Addr End = 0;
        for (ptrdiff_t Offset = 0; (Offset = dwarf_ranges(Call, Offset, &Base, &Start, &End)) > 0;)
            if (End > Start && Start >= Low && End <= High)
                Out.push_back(TCallSite{Start, End, File, static_cast<std::int32_t>(Line)});
    }

    Dwarf_Die* Unit;
    std::uint64_t Low;
    std::uint64_t High;
    void AddRanges(Dwarf_Die* Die, std::uint32_t File, std::int32_t Line, std::vector<TLocatedRange>& Out) const {
        Dwarf_Addr Base = 0;
        Dwarf_Addr Start = 0;
        Dwarf_Addr End = 0;
        for (ptrdiff_t Offset = 0; (Offset = dwarf_ranges(Die, Offset, &Base, &Start, &End)) > 0;)
            if (End > Start && Start >= Low && End <= High)
                Out.push_back(TLocatedRange{Start, End, File, Line});
    }

    TFileTable& Table;
    std::vector<TLocatedRange>* FunctionRanges = nullptr;
    Dwarf_Files* Files = nullptr;
    std::size_t FileCount = 0;
};

// Lays the call sites over the line rows: an address inside an inlined call takes the call site's location.
void Overlay(const std::vector<TLocatedRange>& Rows, const std::vector<TCallSite>& Calls,
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

bool ReadOutermostLocations(int Fd, std::uint64_t CodeStart, std::uint64_t CodeEnd, std::vector<TLocatedRange>& Ranges,
                            std::vector<std::string>& FileNames, std::string& Error) {
    std::unique_ptr<Dwarf, TDwarfCloser> Debug(dwarf_begin(Fd, DWARF_C_READ));
    if (!Debug) {
        Error = std::string("no DWARF debug information (") + dwarf_errmsg(-1) + ")";
        return false;
    }
    std::vector<TLocatedRange> Rows;
    std::vector<TCallSite> Calls;
    std::vector<TLocatedRange> Functions;
    TFileTable FileTable;
    Dwarf_CU* Cu = nullptr;
    Dwarf_Die UnitDie;
    Dwarf_Half Version = 0;
    std::uint8_t UnitType = 0;
    while (dwarf_get_units(Debug.get(), Cu, &Cu, &Version, &UnitType, &UnitDie, nullptr) == 0) {
        if (dwarf_tag(&UnitDie) != DW_TAG_compile_unit && dwarf_tag(&UnitDie) != DW_TAG_partial_unit)
            continue;
        TUnitReader Reader(&UnitDie, CodeStart, CodeEnd, FileTable);
        Reader.ReadLines(Rows);
        Reader.ReadCallSites(Calls, Functions);
    }
    const auto ByStart = [](const auto& A, const auto& B) { return A.Start < B.Start; };
    std::stable_sort(Rows.begin(), Rows.end(), ByStart);
    std::stable_sort(Calls.begin(), Calls.end(), ByStart);
    // Code that two units claim (a discarded duplicate that kept its addresses) is read from the first.
    std::vector<TLocatedRange> Kept;
    Kept.reserve(Rows.size());
    for (TLocatedRange& Row : Rows)
        if (Kept.empty() || Row.Start >= Kept.back().End)
            Kept.push_back(std::move(Row));
    Ranges.clear();
    Overlay(Kept, Calls, Ranges);
    // Inlined code without rows of its own still has its call site; code of a function without any location is
    // marked so that nothing else names a file for it (addr2line names none).
    std::vector<TLocatedRange> CallRanges;
    CallRanges.reserve(Calls.size());
    for (const TCallSite& C : Calls)
        CallRanges.push_back(TLocatedRange{C.Start, C.End, C.File, C.Line});
    FillLocationGaps(Ranges, std::move(CallRanges));
    FillLocationGaps(Ranges, std::move(Functions));
    FileNames = FileTable.Take();
    return true;
}
