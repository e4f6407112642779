#include "KroMapFileInlinePart.h"

#include "KroMapFileInlineModel.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace {

using TSite = TInlineModel::TSite;
using TPlace = TInlineModel::TPlace;

constexpr std::size_t MaxNameLength = 255;
// Nesting deeper than this is no real program's.
constexpr std::size_t MaxDepth = 256;

enum TColumn : std::size_t {
    Offsets,
    Shapes,
    SiteCodes,
    SiteNumbers,
    NewFunctions,
    NewUnits,
    NewLines,
    PlaceCodes,
    PlaceUnits,
    PlaceLines,
    ColumnCount
};

void PutVarUInt(std::vector<std::uint8_t>& Out, std::uint64_t Value) {
    while (Value >= 0x80) {
        Out.push_back(static_cast<std::uint8_t>(Value | 0x80));
        Value >>= 7;
    }
    Out.push_back(static_cast<std::uint8_t>(Value));
}

void PutVarInt(std::vector<std::uint8_t>& Out, std::int64_t Value) {
    const auto Narrow = static_cast<std::uint32_t>(static_cast<std::int32_t>(Value));
    PutVarUInt(Out, (Narrow << 1) ^ (0u - (Narrow >> 31)));
}

std::string_view Cut(const std::string& Name) {
    return std::string_view(Name).substr(0, MaxNameLength);
}

void PutFunctionNames(std::vector<std::uint8_t>& Out, const std::vector<std::string>& Names,
                      const std::vector<std::uint32_t>& Sorted) {
    PutVarUInt(Out, Names.size());
    std::string_view Previous;
    for (const std::uint32_t I : Sorted) {
        const std::string_view Name = Cut(Names[I]);
        const auto Shared = static_cast<std::size_t>(
            std::mismatch(Name.begin(), Name.end(), Previous.begin(), Previous.end()).first - Name.begin());
        Out.push_back(static_cast<std::uint8_t>(Shared));
        Out.push_back(static_cast<std::uint8_t>(Name.size() - Shared));
        Out.insert(Out.end(), Name.begin() + static_cast<std::ptrdiff_t>(Shared), Name.end());
        Previous = Name;
    }
}

// The calls of each depth, ordered by start, without overlaps.
using TDepths = std::vector<std::vector<const TPackedInlineCall*>>;

TDepths CallsByDepth(const std::vector<TPackedInlineCall>& Calls) {
    TDepths Depths;
    for (const auto& C : Calls)
        if (C.Depth > 0 && C.Depth <= MaxDepth && C.Length > 0) {
            if (Depths.size() < C.Depth)
                Depths.resize(C.Depth);
            Depths[C.Depth - 1].push_back(&C);
        }
    for (auto& Calls : Depths) {
        std::stable_sort(Calls.begin(), Calls.end(), [](const auto* A, const auto* B) { return A->Start < B->Start; });
        std::int64_t Reach = INT64_MIN;
        std::erase_if(Calls, [&Reach](const auto* C) {
            if (C->Start < Reach)
                return true;
            Reach = static_cast<std::int64_t>(C->Start) + C->Length;
            return false;
        });
    }
    return Depths;
}

// The calls that hold Offset, outermost first, as sites.
std::vector<TSite> ChainAt(const TDepths& Depths, std::int64_t Offset, const std::vector<std::uint32_t>& NewIndex) {
    std::vector<TSite> Chain;
    for (const auto& Calls : Depths) {
        const auto After = std::upper_bound(Calls.begin(), Calls.end(), Offset,
                                            [](std::int64_t A, const auto* C) { return A < C->Start; });
        if (After == Calls.begin() ||
            static_cast<std::int64_t>((*(After - 1))->Start) + (*(After - 1))->Length <= Offset)
            break;
        const auto& C = **(After - 1);
        Chain.push_back(TSite{NewIndex[C.Function], C.Unit, C.Line});
    }
    return Chain;
}

class TColumnReader final {
public:
    bool Open(TMiniStream& Stream) {
        std::uint32_t Length = 0;
        if (!Stream.ReadVarUInt(Length) || Length > Stream.Remaining())
            return false;
        std::vector<std::uint8_t> Bytes(Length);
        Stream.Read(Bytes.data(), Length);
        Column = TMiniStream(std::move(Bytes));
        return true;
    }
    TMiniStream Column{{}};
};

} // namespace

void WriteInlinePart(std::vector<std::uint8_t>& Out, const TPackedInlines& Inlines) {
    const std::vector<std::string>& Names = Inlines.Functions;
    std::vector<std::uint32_t> Sorted(Names.size());
    std::iota(Sorted.begin(), Sorted.end(), 0u);
    std::stable_sort(Sorted.begin(), Sorted.end(),
                     [&Names](std::uint32_t A, std::uint32_t B) { return Cut(Names[A]) < Cut(Names[B]); });
    std::vector<std::uint32_t> NewIndex(Names.size());
    for (std::uint32_t I = 0; I < Sorted.size(); ++I)
        NewIndex[Sorted[I]] = I;
    PutFunctionNames(Out, Names, Sorted);
    PutVarUInt(Out, Inlines.Units.size());
    for (const std::string& Unit : Inlines.Units) {
        const std::string_view Name = Cut(Unit);
        Out.push_back(static_cast<std::uint8_t>(Name.size()));
        Out.insert(Out.end(), Name.begin(), Name.end());
    }

    const TDepths Depths = CallsByDepth(Inlines.Calls);
    auto Rows = Inlines.Rows;
    std::stable_sort(Rows.begin(), Rows.end(), [](const auto& A, const auto& B) { return A.Offset < B.Offset; });
    std::vector<std::int64_t> Bounds;
    for (const auto& Calls : Depths)
        for (const auto* C : Calls) {
            Bounds.push_back(C->Start);
            Bounds.push_back(static_cast<std::int64_t>(C->Start) + C->Length);
        }
    for (const auto& R : Rows)
        Bounds.push_back(R.Offset);
    std::sort(Bounds.begin(), Bounds.end());
    Bounds.erase(std::unique(Bounds.begin(), Bounds.end()), Bounds.end());

    TInlineModel Model;
    std::array<std::vector<std::uint8_t>, ColumnCount> Columns;
    std::vector<TSite> Previous;
    TPlace PreviousPlace;
    std::int64_t PreviousOffset = 0;
    std::int64_t LastNewLine = 0;
    std::int64_t LastLine = 0;
    std::uint64_t Transitions = 0;
    std::size_t Row = 0;
    for (const std::int64_t Offset : Bounds) {
        const std::vector<TSite> Chain = ChainAt(Depths, Offset, NewIndex);
        while (Row < Rows.size() && Rows[Row].Offset <= Offset)
            ++Row;
        const TPlace Place = Row > 0 ? TPlace{Rows[Row - 1].Unit, Rows[Row - 1].Line} : TPlace{};
        const auto Common = static_cast<std::size_t>(
            std::mismatch(Chain.begin(), Chain.end(), Previous.begin(), Previous.end()).first - Chain.begin());
        if (Common == Chain.size() && Common == Previous.size() && (Chain.empty() || Place == PreviousPlace))
            continue;
        ++Transitions;
        PutVarUInt(Columns[Offsets], static_cast<std::uint64_t>(Offset - PreviousOffset));
        PreviousOffset = Offset;
        const std::size_t Closed = Previous.size() - Common;
        const std::size_t Opened = Chain.size() - Common;
        PutVarUInt(Columns[Shapes], std::min<std::size_t>(Closed, 15) * 16 + std::min<std::size_t>(Opened, 15));
        if (Closed >= 15)
            PutVarUInt(Columns[Shapes], Closed - 15);
        if (Opened >= 15)
            PutVarUInt(Columns[Shapes], Opened - 15);
        for (std::size_t K = Common; K < Chain.size(); ++K) {
            const TSite& Site = Chain[K];
            const std::uint32_t Context = K == 0 ? TInlineModel::Outermost : Chain[K - 1].Function;
            std::optional<std::uint32_t> Id = Model.FindSite(Site);
            const int Recent = Id ? Model.RecentSitePlace(Context, *Id) : -1;
            if (Recent >= 0) {
                PutVarUInt(Columns[SiteCodes], static_cast<std::uint64_t>(Recent) + 2);
            } else if (Id) {
                PutVarUInt(Columns[SiteCodes], 1);
                PutVarUInt(Columns[SiteNumbers], *Id);
            } else {
                PutVarUInt(Columns[SiteCodes], 0);
                PutVarUInt(Columns[NewFunctions], Site.Function);
                PutVarUInt(Columns[NewUnits], Site.Unit);
                PutVarInt(Columns[NewLines], Site.Line - LastNewLine);
                LastNewLine = Site.Line;
                Id = Model.AddSite(Site);
            }
            Model.UseSite(Context, *Id);
        }
        if (!Chain.empty()) {
            const std::uint32_t Function = Chain.back().Function;
            const int Recent = Model.RecentPlaceOf(Function, Place);
            if (Recent >= 0) {
                PutVarUInt(Columns[PlaceCodes], static_cast<std::uint64_t>(Recent) + 1);
            } else {
                const std::optional<TPlace> Last = Model.RecentPlace(Function, 0);
                PutVarUInt(Columns[PlaceCodes], 0);
                PutVarUInt(Columns[PlaceUnits], Place.Unit);
                PutVarInt(Columns[PlaceLines], Place.Line - (Last ? Last->Line : LastLine));
            }
            Model.UsePlace(Function, Place);
            LastLine = Place.Line;
        }
        Previous = Chain;
        PreviousPlace = Place;
    }
    PutVarUInt(Out, Transitions);
    for (const std::vector<std::uint8_t>& Column : Columns) {
        PutVarUInt(Out, Column.size());
        Out.insert(Out.end(), Column.begin(), Column.end());
    }
}

bool ReadInlinePart(TMiniStream& Stream, TMapFile& Map) {
    std::uint32_t Count = 0;
    if (!Stream.ReadVarUInt(Count) || Count > Stream.Remaining() / 2)
        return false;
    std::vector<std::string> Functions(Count);
    std::string Previous;
    for (std::string& Name : Functions) {
        std::uint8_t Lengths[2];
        if (Stream.Read(Lengths, 2) != 2 || Lengths[0] > Previous.size() || Lengths[1] > Stream.Remaining())
            return false;
        Name = Previous.substr(0, Lengths[0]);
        Name.resize(Lengths[0] + Lengths[1]);
        Stream.Read(Name.data() + Lengths[0], Lengths[1]);
        Previous = Name;
    }
    if (!Stream.ReadVarUInt(Count) || Count > Stream.Remaining())
        return false;
    std::vector<std::string> Units(Count);
    for (std::string& Unit : Units)
        if (!Stream.ReadPackedString(Unit))
            return false;
    const std::size_t FunctionCount = Functions.size();
    const std::size_t UnitCount = Units.size();
    TMapInlines& Inlines = Map.MutableInlines();
    Inlines.SetNames(std::move(Functions), std::move(Units));

    std::uint32_t Transitions = 0;
    if (!Stream.ReadVarUInt(Transitions) || Transitions > Stream.Remaining() / 2)
        return false;
    std::array<TColumnReader, ColumnCount> Columns;
    for (TColumnReader& Column : Columns)
        if (!Column.Open(Stream))
            return false;
    if (Stream.Remaining() != 0)
        return false;
    const auto Read = [&Columns](TColumn Which, std::uint32_t& Value) {
        return Columns[Which].Column.ReadVarUInt(Value);
    };
    const auto ReadSigned = [&Columns](TColumn Which, std::int32_t& Value) {
        return Columns[Which].Column.ReadVarInt(Value);
    };

    struct TOpen final {
        TSite Site;
        std::int64_t Start;
    };
    std::vector<TOpen> Open;
    TInlineModel Model;
    std::int64_t Offset = 0;
    std::int64_t LastNewLine = 0;
    std::int64_t LastLine = 0;
    for (std::uint32_t T = 0; T < Transitions; ++T) {
        std::uint32_t Delta = 0, Shape = 0;
        if (!Read(Offsets, Delta) || !Read(Shapes, Shape))
            return false;
        Offset += Delta;
        std::uint32_t Closed = Shape >> 4, Opened = Shape & 15, More = 0;
        if ((Closed == 15 && (!Read(Shapes, More) || (Closed += More) < More)) ||
            (Opened == 15 && (!Read(Shapes, More) || (Opened += More) < More)))
            return false;
        if (Offset > INT32_MAX || Closed > Open.size() || Open.size() - Closed + Opened > MaxDepth)
            return false;
        for (; Closed > 0; --Closed) {
            const TOpen& Call = Open.back();
            const TMapInlines::TCall Done{Map.Absolute(true, Call.Start), Map.Absolute(true, Offset),
                                          Call.Site.Function, Call.Site.Unit, Call.Site.Line};
            if (!Inlines.AddCall(Open.size(), Done))
                return false;
            Open.pop_back();
        }
        for (; Opened > 0; --Opened) {
            const std::uint32_t Context = Open.empty() ? TInlineModel::Outermost : Open.back().Site.Function;
            std::uint32_t Code = 0;
            std::optional<std::uint32_t> Id;
            if (!Read(SiteCodes, Code))
                return false;
            if (Code >= 2) {
                Id = Model.RecentSite(Context, Code - 2);
            } else if (Code == 1) {
                std::uint32_t Number = 0;
                if (Read(SiteNumbers, Number) && Number < Model.SiteCount())
                    Id = Number;
            } else {
                TSite Site;
                std::int32_t LineDelta = 0;
                if (!Read(NewFunctions, Site.Function) || !Read(NewUnits, Site.Unit) ||
                    !ReadSigned(NewLines, LineDelta) || Site.Function >= FunctionCount || Site.Unit >= UnitCount)
                    return false;
                LastNewLine += LineDelta;
                Site.Line = static_cast<std::int32_t>(LastNewLine);
                Id = Model.AddSite(Site);
            }
            if (!Id)
                return false;
            Model.UseSite(Context, *Id);
            Open.push_back(TOpen{Model.SiteAt(*Id), Offset});
        }
        if (Open.empty())
            continue;
        const std::uint32_t Function = Open.back().Site.Function;
        std::uint32_t Code = 0;
        std::optional<TPlace> Place;
        if (!Read(PlaceCodes, Code))
            return false;
        if (Code >= 1) {
            Place = Model.RecentPlace(Function, Code - 1);
        } else {
            const std::optional<TPlace> Last = Model.RecentPlace(Function, 0);
            std::int32_t LineDelta = 0;
            Place = TPlace{};
            if (!Read(PlaceUnits, Place->Unit) || !ReadSigned(PlaceLines, LineDelta) || Place->Unit >= UnitCount)
                return false;
            Place->Line = static_cast<std::int32_t>((Last ? Last->Line : LastLine) + LineDelta);
        }
        if (!Place || !Inlines.AddRow(TMapInlines::TRow{Map.Absolute(true, Offset), Place->Unit, Place->Line}))
            return false;
        Model.UsePlace(Function, *Place);
        LastLine = Place->Line;
    }
    return Open.empty() && std::all_of(Columns.begin(), Columns.end(),
                                       [](const TColumnReader& C) { return C.Column.Remaining() == 0; });
}
