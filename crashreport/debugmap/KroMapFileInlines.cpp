#include "KroMapFileInlines.h"

#include "KroDemangle.h"

#include <algorithm>

namespace {

// Nesting deeper than this is no real program's; a map that claims it is damaged.
constexpr std::size_t MaxDepth = 256;

} // namespace

void TMapInlines::SetNames(std::vector<std::string> Functions, std::vector<std::string> Units) {
    FunctionNames = std::move(Functions);
    UnitNames = std::move(Units);
    for (std::string& Unit : UnitNames)
        if (const std::size_t Dot = Unit.rfind('.'); Dot != std::string::npos)
            Unit.resize(Dot);
}

bool TMapInlines::AddCall(std::size_t Depth, const TCall& Call) {
    if (Depth == 0 || Depth > MaxDepth || Call.End <= Call.Start || Call.Function >= FunctionNames.size() ||
        Call.File >= UnitNames.size())
        return false;
    if (CallsByDepth.size() < Depth)
        CallsByDepth.resize(Depth);
    CallsByDepth[Depth - 1].push_back(Call);
    return true;
}

bool TMapInlines::AddRow(const TRow& Row) {
    if (Row.File >= UnitNames.size())
        return false;
    RowList.push_back(Row);
    return true;
}

void TMapInlines::Finish() {
    for (std::vector<TCall>& Calls : CallsByDepth) {
        std::stable_sort(Calls.begin(), Calls.end(), [](const TCall& A, const TCall& B) { return A.Start < B.Start; });
        std::uintptr_t Reach = 0;
        std::erase_if(Calls, [&Reach](const TCall& C) {
            if (C.Start < Reach)
                return true;
            Reach = C.End;
            return false;
        });
    }
    while (!CallsByDepth.empty() && CallsByDepth.back().empty())
        CallsByDepth.pop_back();
    std::stable_sort(RowList.begin(), RowList.end(),
                     [](const TRow& A, const TRow& B) { return A.Address < B.Address; });
    // They were grown one by one; kept for the life of the map, they keep no more room than they fill.
    for (std::vector<TCall>& Calls : CallsByDepth)
        Calls.shrink_to_fit();
    RowList.shrink_to_fit();
}

void TMapInlines::Clear() {
    CallsByDepth = {};
    RowList = {};
    FunctionNames = {};
    UnitNames = {};
}

std::string TMapInlines::FunctionOf(std::uint32_t Index) const {
    if (Index >= FunctionNames.size())
        return std::string();
    // Names are kept as the compiler wrote them, which is shorter; a report shows them readable.
    return KroReadableSymbol(FunctionNames[Index]);
}

std::string TMapInlines::UnitOf(std::uint32_t Index) const {
    return Index < UnitNames.size() ? UnitNames[Index] : std::string();
}

std::vector<TMfInlineFrame> TMapInlines::FramesOf(std::uintptr_t Address) const {
    // The calls that hold the address, outermost first: one at each depth, as deep as they go.
    std::vector<const TCall*> Chain;
    for (const std::vector<TCall>& Calls : CallsByDepth) {
        const auto After = std::upper_bound(Calls.begin(), Calls.end(), Address,
                                            [](std::uintptr_t A, const TCall& C) { return A < C.Start; });
        if (After == Calls.begin() || (After - 1)->End <= Address)
            break;
        Chain.push_back(&*(After - 1));
    }
    std::vector<TMfInlineFrame> Frames;
    if (Chain.empty())
        return Frames;
    Frames.reserve(Chain.size());
    // The innermost function stands at the address's own line; every other one at the call of the next inner one.
    const auto Row = std::upper_bound(RowList.begin(), RowList.end(), Address,
                                      [](std::uintptr_t A, const TRow& R) { return A < R.Address; });
    TMfInlineFrame Inner{FunctionOf(Chain.back()->Function), std::string(), 0};
    if (Row != RowList.begin()) {
        Inner.UnitName = UnitOf((Row - 1)->File);
        Inner.Line = (Row - 1)->Line;
    }
    Frames.push_back(std::move(Inner));
    for (std::size_t I = Chain.size() - 1; I > 0; --I)
        Frames.push_back(TMfInlineFrame{FunctionOf(Chain[I - 1]->Function), UnitOf(Chain[I]->File), Chain[I]->Line});
    return Frames;
}
