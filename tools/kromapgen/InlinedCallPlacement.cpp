#include "InlinedCallPlacement.h"

#include <algorithm>
#include <map>
#include <set>

void PlaceInlinedCalls(const std::vector<TCallInstance>& Instances, const std::vector<TCallCandidate>& Candidates,
                       std::vector<TInlinedCall>& Calls) {
    std::vector<std::uint64_t> Bounds;
    Bounds.reserve(Candidates.size() * 2);
    for (const TCallCandidate& C : Candidates) {
        Bounds.push_back(C.Start);
        Bounds.push_back(C.End);
    }
    std::sort(Bounds.begin(), Bounds.end());
    Bounds.erase(std::unique(Bounds.begin(), Bounds.end()), Bounds.end());
    std::vector<const TCallCandidate*> ByStart;
    ByStart.reserve(Candidates.size());
    for (const TCallCandidate& C : Candidates)
        ByStart.push_back(&C);
    std::sort(ByStart.begin(), ByStart.end(), [](const auto* A, const auto* B) { return A->Start < B->Start; });
    // The ranges that hold the current stretch, best first: the smallest, then the one listed last.
    const auto Better = [](const TCallCandidate* A, const TCallCandidate* B) {
        const std::uint64_t LengthA = A->End - A->Start, LengthB = B->End - B->Start;
        if (LengthA != LengthB)
            return LengthA < LengthB;
        return A->Order != B->Order ? A->Order > B->Order : A < B;
    };
    std::set<const TCallCandidate*, decltype(Better)> Holding(Better);
    std::multimap<std::uint64_t, const TCallCandidate*> Ending;
    std::vector<std::size_t> Open(Instances.size(), static_cast<std::size_t>(-1)); // each call's last placed range
    std::size_t Next = 0;
    for (std::size_t B = 0; B + 1 < Bounds.size(); ++B) {
        const std::uint64_t At = Bounds[B];
        for (auto E = Ending.begin(); E != Ending.end() && E->first <= At; E = Ending.erase(E))
            Holding.erase(E->second);
        for (; Next < ByStart.size() && ByStart[Next]->Start <= At; ++Next) {
            Holding.insert(ByStart[Next]);
            Ending.emplace(ByStart[Next]->End, ByStart[Next]);
        }
        if (Holding.empty())
            continue;
        for (std::uint32_t I = (*Holding.begin())->Instance; I != NoInstance; I = Instances[I].Parent) {
            const TCallInstance& Call = Instances[I];
            if (Open[I] != static_cast<std::size_t>(-1) && Calls[Open[I]].End == At) {
                Calls[Open[I]].End = Bounds[B + 1];
                continue;
            }
            Open[I] = Calls.size();
            Calls.push_back(TInlinedCall{At, Bounds[B + 1], Call.Depth, Call.Function, Call.File, Call.Line});
        }
    }
}
