#include "KroMapFileTds.h"

#include "KroMapFileModule.h"

#include <cstring>
#include <vector>

namespace {

// A bounds-checked view of the debug data: a read that does not fit gives false.
class TDebugData final {
public:
    TDebugData(const std::uint8_t* Data, std::size_t Size) : Bytes(Data), Length(Size) {}

    bool Fits(std::uint64_t Offset, std::uint64_t Count) const { return Offset <= Length && Count <= Length - Offset; }
    bool U16(std::uint64_t Offset, std::uint16_t& Value) const {
        if (!Fits(Offset, 2))
            return false;
        Value = static_cast<std::uint16_t>(Bytes[Offset] | Bytes[Offset + 1] << 8);
        return true;
    }
    bool I32(std::uint64_t Offset, std::int32_t& Value) const {
        if (!Fits(Offset, 4))
            return false;
        std::uint32_t U = 0;
        for (int I = 3; I >= 0; --I)
            U = U << 8 | Bytes[Offset + static_cast<std::uint64_t>(I)];
        Value = static_cast<std::int32_t>(U);
        return true;
    }
    const std::uint8_t* At(std::uint64_t Offset) const { return Bytes + Offset; }
    std::size_t Size() const { return Length; }

private:
    const std::uint8_t* Bytes;
    std::size_t Length;
};

// Items a buffer of a given size may add: real debug information spends many bytes per item, but a crafted one
// could point many directories, files or ranges at the same bytes. The budget keeps the map linear in the buffer.
class TBudget final {
public:
    explicit TBudget(std::size_t Size) : Left(Size / 4) {}
    bool Take() { return Left > 0 ? (--Left, true) : false; }

private:
    std::size_t Left;
};

struct TSubsection final {
    std::uint16_t Type = 0;
    std::uint64_t Offset = 0;
    std::uint64_t Size = 0;
};

constexpr std::uint16_t ModuleType = 0x120;
constexpr std::uint16_t SymbolsType = 0x125;
constexpr std::uint16_t SourceModuleType = 0x127;
constexpr std::uint16_t GlobalSymbolsType = 0x129;
constexpr std::uint16_t NamesType = 0x130;
// No real file has this many directories; a loop in the chain of directories ends here.
constexpr int MaxDirectories = 4096;

std::vector<TSubsection> Subsections(const TDebugData& D, TBudget& Budget) {
    std::vector<TSubsection> List;
    // Real subsections do not overlap; crafted ones that cover the same bytes again and again would make the reading
    // quadratic, so the bytes they cover together are bounded too.
    std::uint64_t Covered = 0;
    std::int32_t Directory = 0;
    if (!D.I32(4, Directory))
        return List;
    for (int Seen = 0; Directory > 0 && Seen < MaxDirectories; ++Seen) {
        std::uint16_t HeaderSize = 0;
        std::uint16_t EntrySize = 0;
        std::int32_t Count = 0;
        std::int32_t Next = 0;
        const auto Dir = static_cast<std::uint64_t>(Directory);
        if (!D.U16(Dir, HeaderSize) || !D.U16(Dir + 2, EntrySize) || !D.I32(Dir + 4, Count) || !D.I32(Dir + 8, Next) ||
            Count < 0 || EntrySize < 12 || !D.Fits(Dir + HeaderSize, static_cast<std::uint64_t>(Count) * EntrySize))
            break;
        for (std::int32_t I = 0; I < Count; ++I) {
            const std::uint64_t Entry = Dir + HeaderSize + static_cast<std::uint64_t>(I) * EntrySize;
            std::uint16_t Type = 0;
            std::int32_t Offset = 0;
            std::int32_t Size = 0;
            if (D.U16(Entry, Type) && D.I32(Entry + 4, Offset) && D.I32(Entry + 8, Size) && Offset >= 0 && Size >= 0 &&
                D.Fits(static_cast<std::uint64_t>(Offset), static_cast<std::uint64_t>(Size)) &&
                Covered + static_cast<std::uint64_t>(Size) <= 2 * std::uint64_t{D.Size()} && Budget.Take()) {
                List.push_back(TSubsection{Type, static_cast<std::uint64_t>(Offset), static_cast<std::uint64_t>(Size)});
                Covered += static_cast<std::uint64_t>(Size);
            }
        }
        Directory = Next;
    }
    return List;
}

std::vector<std::string> ReadNames(const TDebugData& D, const TSubsection& S) {
    std::vector<std::string> Names;
    std::int32_t Count = 0;
    if (!D.I32(S.Offset, Count) || Count < 0)
        return Names;
    const std::uint64_t End = S.Offset + S.Size;
    std::uint64_t At = S.Offset + 4;
    // Each name takes at least two bytes (length and terminator), which bounds the count by the subsection.
    if (static_cast<std::uint64_t>(Count) > S.Size / 2)
        Count = static_cast<std::int32_t>(S.Size / 2);
    Names.reserve(static_cast<std::size_t>(Count));
    for (std::int32_t I = 0; I < Count && At < End; ++I) {
        const std::uint64_t Length = *D.At(At);
        if (At + 1 + Length + 1 > End)
            break;
        Names.emplace_back(reinterpret_cast<const char*>(D.At(At + 1)), Length);
        At += Length + 2;
    }
    return Names;
}

std::string NameNumbered(const std::vector<std::string>& Names, std::int32_t Number) {
    return Number >= 1 && static_cast<std::size_t>(Number) <= Names.size() ? Names[static_cast<std::size_t>(Number) - 1]
                                                                           : std::string();
}

void ReadModule(TMapFile& Map, const TDebugData& D, const TSubsection& S, const std::vector<std::string>& Names,
                TBudget& Budget) {
    std::uint16_t Count = 0;
    std::int32_t NameNumber = 0;
    if (!D.U16(S.Offset + 4, Count) || !D.I32(S.Offset + 8, NameNumber))
        return;
    std::string Unit = NameNumbered(Names, NameNumber);
    const std::size_t Slash = Unit.find_last_of("\\/:");
    if (Slash != std::string::npos)
        Unit.erase(0, Slash + 1);
    for (std::uint16_t I = 0; I < Count; ++I) {
        const std::uint64_t Entry = S.Offset + 28 + std::uint64_t{12} * I;
        std::uint16_t Segment = 0;
        std::int32_t Offset = 0;
        std::int32_t Length = 0;
        if (Entry + 12 > S.Offset + S.Size || !D.U16(Entry + 2, Segment) || !D.I32(Entry + 4, Offset) ||
            !D.I32(Entry + 8, Length))
            break;
        if (Length == 0)
            continue;
        if (!Budget.Take())
            return;
        const bool Code = Segment == 1;
        Map.AddSegment(Code, Map.Absolute(Code, Offset), Length, Unit);
    }
}

void ReadSymbols(TMapFile& Map, const TDebugData& D, const TSubsection& S, std::uint64_t Skip,
                 const std::vector<std::string>& Names, TBudget& Budget) {
    const std::uint64_t End = S.Offset + S.Size;
    std::uint64_t At = S.Offset + Skip;
    while (At + 4 <= End) {
        std::uint16_t Length = 0;
        std::uint16_t Type = 0;
        if (!D.U16(At, Length) || !D.U16(At + 2, Type) || Length == 0 || At + 2 + Length > End)
            break;
        std::uint64_t NameAt = 0;
        std::uint64_t OffsetAt = 0;
        bool Code = true;
        switch (Type) {
        case 0x204:
        case 0x205:
            NameAt = 40, OffsetAt = 28;
            break;
        case 0x201:
        case 0x202:
            NameAt = 16, OffsetAt = 4, Code = false;
            break;
        case 0x20:
            NameAt = 12, OffsetAt = 20;
            break;
        case 0x21:
            NameAt = 12, OffsetAt = 20, Code = false;
            break;
        default:
            break;
        }
        std::int32_t NameNumber = 0;
        std::int32_t Offset = 0;
        if (NameAt != 0 && NameAt + 4 <= 2u + Length && OffsetAt + 4 <= 2u + Length && D.I32(At + NameAt, NameNumber) &&
            D.I32(At + OffsetAt, Offset) && NameNumber != 0) {
            std::string Name = NameNumbered(Names, NameNumber);
            if (!Name.empty() && Budget.Take())
                Map.AddPublic(TMapFile::TSource::BinaryDebugInfo, Code, std::move(Name), Map.Absolute(Code, Offset));
        }
        At += 2u + Length;
    }
}

void ReadSourceModule(TMapFile& Map, const TDebugData& D, const TSubsection& S, TBudget& Budget) {
    const std::uint64_t End = S.Offset + S.Size;
    const auto Inside = [&](std::uint64_t At, std::uint64_t Count) { return At <= End && Count <= End - At; };
    std::uint16_t Files = 0;
    if (!D.U16(S.Offset, Files))
        return;
    for (std::uint16_t F = 0; F < Files; ++F) {
        std::int32_t FileBlock = 0;
        if (!Inside(S.Offset + 4 + 4u * F, 4) || !D.I32(S.Offset + 4 + 4u * F, FileBlock) || FileBlock < 0)
            return;
        const std::uint64_t FileAt = S.Offset + static_cast<std::uint64_t>(FileBlock);
        std::uint16_t Ranges = 0;
        if (!Inside(FileAt, 2) || !D.U16(FileAt, Ranges))
            continue;
        for (std::uint16_t R = 0; R < Ranges; ++R) {
            std::int32_t LineBlock = 0;
            if (!Inside(FileAt + 6 + 4u * R, 4) || !D.I32(FileAt + 6 + 4u * R, LineBlock) || LineBlock < 0)
                break;
            const std::uint64_t BlockAt = S.Offset + static_cast<std::uint64_t>(LineBlock);
            std::uint16_t Count = 0;
            if (!Inside(BlockAt, 4) || !D.U16(BlockAt + 2, Count) || !Inside(BlockAt + 4, std::uint64_t{6} * Count))
                continue;
            for (std::uint16_t I = 0; I < Count; ++I) {
                std::int32_t Offset = 0;
                std::uint16_t Line = 0;
                if (!Budget.Take())
                    return;
                if (D.I32(BlockAt + 4 + 4u * I, Offset) && D.U16(BlockAt + 4 + 4u * Count + 2u * I, Line))
                    Map.AddLine(Line, Map.Absolute(true, Offset));
            }
        }
    }
}

} // namespace

bool ReadBinaryDebugInfo(TMapFile& Map, const std::uint8_t* Data, std::size_t Size) {
    if (Data == nullptr || Size < 8 || (std::memcmp(Data, "FB09", 4) != 0 && std::memcmp(Data, "FB0A", 4) != 0))
        return false;
    const TDebugData D(Data, Size);
    TBudget Budget(Size);
    const std::vector<TSubsection> List = Subsections(D, Budget);
    std::vector<std::string> Names;
    bool HaveGlobals = false;
    for (const TSubsection& S : List) {
        if (S.Type == NamesType)
            Names = ReadNames(D, S);
        HaveGlobals = HaveGlobals || S.Type == GlobalSymbolsType;
    }
    for (const TSubsection& S : List) {
        switch (S.Type) {
        case ModuleType:
            ReadModule(Map, D, S, Names, Budget);
            break;
        case SymbolsType:
            if (!HaveGlobals)
                ReadSymbols(Map, D, S, 4, Names, Budget);
            break;
        case SourceModuleType:
            ReadSourceModule(Map, D, S, Budget);
            break;
        case GlobalSymbolsType:
            ReadSymbols(Map, D, S, 32, Names, Budget);
            break;
        default:
            break;
        }
    }
    Map.Finish(true);
    Map.SetValid(true);
    return true;
}

bool ReadBinaryDebugInfoBeside(TMapFile& Map, const std::string& ModuleFileName) {
    const std::string Base = FileNameWithoutExtension(ModuleFileName);
    const bool IsTds = ModuleFileName.size() > Base.size() && ModuleFileName.substr(Base.size()) == ".tds";
    const std::string FileName = IsTds ? ModuleFileName : Base + ".tds";
    const std::vector<std::uint8_t> Content = ReadWholeFile(FileName);
    if (!ReadBinaryDebugInfo(Map, Content.data(), Content.size()))
        return false;
    Map.SetSourceFileName(FileName);
    return true;
}
