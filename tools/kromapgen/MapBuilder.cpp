#include "MapBuilder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <unordered_map>

namespace {

std::string BaseName(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::vector<std::uint64_t> FunctionStarts(const TProgramSymbols& Program) {
    std::vector<std::uint64_t> Starts;
    Starts.reserve(Program.Symbols.size());
    for (const TCodeSymbol& Symbol : Program.Symbols)
        Starts.push_back(Symbol.Address);
    return Starts;
}

std::int32_t OffsetOf(std::uint64_t Address, std::uint64_t CodeStart) {
    return static_cast<std::int32_t>(Address - CodeStart);
}

// Indexes of a table's entries, the most used first, so that the common ones take the fewest bytes.
class TUseOrder final {
public:
    explicit TUseOrder(std::size_t Size) : Uses(Size, 0) {}
    void Use(std::uint32_t Index) { ++Uses[Index]; }
    // Old index -> new index, and the entries in their new order.
    std::vector<std::uint32_t> Order(const std::vector<std::string>& Entries, std::vector<std::string>& Ordered) const {
        std::vector<std::uint32_t> ByUse;
        for (std::uint32_t I = 0; I < Uses.size(); ++I)
            if (Uses[I] > 0)
                ByUse.push_back(I);
        std::stable_sort(ByUse.begin(), ByUse.end(),
                         [this](std::uint32_t A, std::uint32_t B) { return Uses[A] > Uses[B]; });
        std::vector<std::uint32_t> NewIndex(Uses.size(), 0);
        Ordered.clear();
        for (const std::uint32_t I : ByUse) {
            NewIndex[I] = static_cast<std::uint32_t>(Ordered.size());
            Ordered.push_back(Entries[I]);
        }
        return NewIndex;
    }

private:
    std::vector<std::size_t> Uses;
};

TPackedMapContent::TInlines BuildInlines(const TProgramSymbols& Program, const TDwarfLocations& Locations,
                                         const std::vector<std::string>& FileUnits) {
    TPackedMapContent::TInlines Inlines;
    if (Locations.Calls.empty())
        return Inlines;
    // Files of one name in different folders are one unit to a report.
    std::vector<std::string> Units;
    std::vector<std::uint32_t> UnitOfFile(FileUnits.size(), 0);
    {
        std::unordered_map<std::string, std::uint32_t> Known;
        for (std::size_t I = 0; I < FileUnits.size(); ++I) {
            const auto [At, Added] = Known.try_emplace(FileUnits[I], static_cast<std::uint32_t>(Units.size()));
            if (Added)
                Units.push_back(FileUnits[I]);
            UnitOfFile[I] = At->second;
        }
    }
    // A row wherever the line of inlined code changes; stretches between the calls take no rows of their own.
    struct TRow final {
        std::uint64_t Start;
        std::uint32_t Unit;
        std::int32_t Line;
    };
    std::vector<TRow> Rows;
    for (const TLocatedRange& L : Locations.Inlined) {
        const std::uint32_t Unit = UnitOfFile[L.File];
        if (Rows.empty() || Rows.back().Unit != Unit || Rows.back().Line != L.Line)
            Rows.push_back(TRow{L.Start, Unit, L.Line});
    }
    TUseOrder FunctionUse(Locations.FunctionNames.size());
    TUseOrder UnitUse(Units.size());
    for (const TInlinedCall& C : Locations.Calls) {
        FunctionUse.Use(C.Function);
        UnitUse.Use(UnitOfFile[C.File]);
    }
    for (const TRow& R : Rows)
        UnitUse.Use(R.Unit);
    const std::vector<std::uint32_t> NewFunction = FunctionUse.Order(Locations.FunctionNames, Inlines.Functions);
    const std::vector<std::uint32_t> NewUnit = UnitUse.Order(Units, Inlines.Units);
    Inlines.Calls.reserve(Locations.Calls.size());
    for (const TInlinedCall& C : Locations.Calls)
        Inlines.Calls.push_back(TPackedMapContent::TInlineCall{
            OffsetOf(C.Start, Program.CodeStart), static_cast<std::int32_t>(C.End - C.Start), C.Depth,
            NewFunction[C.Function], NewUnit[UnitOfFile[C.File]], C.Line});
    Inlines.Rows.reserve(Rows.size());
    for (const TRow& R : Rows)
        Inlines.Rows.push_back(
            TPackedMapContent::TInlineRow{OffsetOf(R.Start, Program.CodeStart), NewUnit[R.Unit], R.Line});
    return Inlines;
}

} // namespace

TPackedMapContent BuildMapContent(const TProgramSymbols& Program, const TDwarfLocations& Locations) {
    TPackedMapContent Content;
    std::vector<std::string> Units(Locations.FileNames.size());
    for (std::size_t I = 0; I < Locations.FileNames.size(); ++I)
        Units[I] = BaseName(Locations.FileNames[I]);

    std::uint64_t SegmentEnd = 0;
    const std::string* SegmentUnit = nullptr;
    for (const TLocatedRange& L : Locations.Outermost) {
        static const std::string NoUnit;
        const std::string& Unit = L.File < Units.size() ? Units[L.File] : NoUnit;
        const bool Continues = !Content.Segments.empty() && L.Start == SegmentEnd && *SegmentUnit == Unit;
        if (Continues) {
            Content.Segments.back().Length += static_cast<std::int32_t>(L.End - L.Start);
        } else {
            Content.Segments.push_back(TPackedMapContent::TSegment{OffsetOf(L.Start, Program.CodeStart),
                                                                   static_cast<std::int32_t>(L.End - L.Start), Unit});
            SegmentUnit = &Unit;
        }
        SegmentEnd = L.End;
        // A segment starts with a line entry of its own, so no lookup reads a line across a unit boundary.
        if (!Continues || Content.Lines.back().LineNumber != L.Line)
            Content.Lines.push_back(TPackedMapContent::TLine{L.Line, OffsetOf(L.Start, Program.CodeStart)});
    }

    Content.Publics.reserve(Program.Symbols.size());
    for (const TCodeSymbol& S : Program.Symbols)
        Content.Publics.push_back(TPackedMapContent::TPublic{S.Name, OffsetOf(S.Address, Program.CodeStart)});
    if (Program.Entry >= Program.CodeStart && Program.Entry < Program.CodeEnd)
        Content.EntryPoint = OffsetOf(Program.Entry, Program.CodeStart);
    Content.Inlines = BuildInlines(Program, Locations, Units);
    return Content;
}

void AddFiledFunctions(const TProgramSymbols& Program, TDwarfLocations& Locations) {
    std::vector<TLocatedRange> Fill;
    Fill.reserve(Program.FiledFunctions.size());
    // The file of each filed function by its address.
    std::unordered_map<std::uint64_t, std::uint32_t> FileAt;
    for (const TFiledFunction& F : Program.FiledFunctions) {
        // Like the symbol lookup of addr2line, the function reaches to the next symbol, over any padding.
        const auto Next = std::upper_bound(Program.Symbols.begin(), Program.Symbols.end(), F.Address,
                                           [](std::uint64_t A, const TCodeSymbol& S) { return A < S.Address; });
        const std::uint64_t End = Next == Program.Symbols.end() ? Program.CodeEnd : Next->Address;
        const auto File = static_cast<std::uint32_t>(Locations.FileNames.size());
        Fill.push_back(TLocatedRange{F.Address, End, File, 0});
        FileAt.try_emplace(F.Address, File);
        Locations.FileNames.push_back(F.File);
    }
    std::erase_if(Locations.Outermost, [](const TLocatedRange& L) { return L.File == SymbolTableFile; });
    FillLocationGaps(Locations.Outermost, std::move(Fill));
    std::erase_if(Locations.Outermost, [](const TLocatedRange& L) { return L.File == NoLocationFile; });

    std::vector<TLocatedRange> Inlined;
    Inlined.reserve(Locations.Inlined.size());
    for (const TLocatedRange& L : Locations.Inlined) {
        if (L.File != SymbolTableFile) {
            Inlined.push_back(L);
            continue;
        }
        // Piece by piece of the symbols that hold the code.
        for (std::uint64_t At = L.Start; At < L.End;) {
            const auto Next = std::upper_bound(Program.Symbols.begin(), Program.Symbols.end(), At,
                                               [](std::uint64_t A, const TCodeSymbol& S) { return A < S.Address; });
            const std::uint64_t To = Next == Program.Symbols.end() ? L.End : std::min(L.End, Next->Address);
            std::uint32_t File = Locations.NoFile;
            if (Next != Program.Symbols.begin()) {
                const auto Filed = FileAt.find(std::prev(Next)->Address);
                if (Filed != FileAt.end())
                    File = Filed->second;
            }
            Inlined.push_back(TLocatedRange{At, To, File, L.Line});
            At = To;
        }
    }
    Locations.Inlined = std::move(Inlined);
}

bool GenerateMap(const std::string& ProgramFile, std::vector<std::uint8_t>& PackedMap, std::string& Error) {
    const int Fd = open(ProgramFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0) {
        Error = "cannot open " + ProgramFile + ": " + std::strerror(errno);
        return false;
    }
    TProgramSymbols Program;
    TDwarfLocations Locations;
    bool Ok = ReadProgramSymbols(ProgramFile, Program, Error);
    if (Ok && Program.CodeEnd - Program.CodeStart > 0x7FFFFFFF) {
        Error = "the code is larger than a map can describe (2 GiB)";
        Ok = false;
    }
    if (Ok)
        Ok = ReadDwarfLocations(Fd, Program.CodeStart, Program.CodeEnd, FunctionStarts(Program), Locations, Error);
    close(Fd);
    if (Ok)
        AddFiledFunctions(Program, Locations);
    if (!Ok) {
        Error = ProgramFile + ": " + Error;
        return false;
    }
    PackedMap = PackMap(BuildMapContent(Program, Locations));
    return true;
}
