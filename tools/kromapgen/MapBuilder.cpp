#include "MapBuilder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

std::string BaseName(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::int32_t OffsetOf(std::uint64_t Address, std::uint64_t CodeStart) {
    return static_cast<std::int32_t>(Address - CodeStart);
}

} // namespace

TPackedMapContent BuildMapContent(const TProgramSymbols& Program, const std::vector<TLocatedRange>& Locations,
                                  const std::vector<std::string>& FileNames) {
    TPackedMapContent Content;
    std::vector<std::string> Units(FileNames.size());
    for (std::size_t I = 0; I < FileNames.size(); ++I)
        Units[I] = BaseName(FileNames[I]);

    std::uint64_t SegmentEnd = 0;
    const std::string* SegmentUnit = nullptr;
    for (const TLocatedRange& L : Locations) {
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
    return Content;
}

void AddFiledFunctions(const TProgramSymbols& Program, std::vector<TLocatedRange>& Locations,
                       std::vector<std::string>& FileNames) {
    std::vector<TLocatedRange> Fill;
    Fill.reserve(Program.FiledFunctions.size());
    for (const TFiledFunction& F : Program.FiledFunctions) {
        // Like the symbol lookup of addr2line, the function reaches to the next symbol, over any padding.
        const auto Next = std::upper_bound(Program.Symbols.begin(), Program.Symbols.end(), F.Address,
                                           [](std::uint64_t A, const TCodeSymbol& S) { return A < S.Address; });
        const std::uint64_t End = Next == Program.Symbols.end() ? Program.CodeEnd : Next->Address;
        Fill.push_back(TLocatedRange{F.Address, End, static_cast<std::uint32_t>(FileNames.size()), 0});
        FileNames.push_back(F.File);
    }
    FillLocationGaps(Locations, std::move(Fill));
    std::erase_if(Locations, [](const TLocatedRange& L) { return L.File == NoLocationFile; });
}

bool GenerateMap(const std::string& ProgramFile, std::vector<std::uint8_t>& PackedMap, std::string& Error) {
    const int Fd = open(ProgramFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0) {
        Error = "cannot open " + ProgramFile + ": " + std::strerror(errno);
        return false;
    }
    TProgramSymbols Program;
    std::vector<TLocatedRange> Locations;
    std::vector<std::string> FileNames;
    bool Ok = ReadProgramSymbols(ProgramFile, Program, Error);
    if (Ok && Program.CodeEnd - Program.CodeStart > 0x7FFFFFFF) {
        Error = "the code is larger than a map can describe (2 GiB)";
        Ok = false;
    }
    if (Ok)
        Ok = ReadOutermostLocations(Fd, Program.CodeStart, Program.CodeEnd, Locations, FileNames, Error);
    close(Fd);
    if (Ok)
        AddFiledFunctions(Program, Locations, FileNames);
    if (!Ok) {
        Error = ProgramFile + ": " + Error;
        return false;
    }
    PackedMap = PackMap(BuildMapContent(Program, Locations, FileNames));
    return true;
}
