#pragma once

#include <bit>
#include <cstdint>

// The game's quicksort: Hoare partition around the item in the middle of the range, the smaller part first. Ties
// land where this algorithm puts them, and the files we write depend on that, so it is not replaced by std::sort.
//
// Its worst case is quadratic, and a crafted file can order its records to reach it, which would make a save of a
// few hundred thousand records take minutes. Ordinary orders never partition more than a few times log2(n) deep;
// a range reached deeper is handed to the sequence's stable fallback sort instead, which keeps the result sorted
// and the total work n log n.
//
// TSequence provides: TPivot PivotAt(int32_t Index); int Compare(int32_t Index, const TPivot& Pivot) (<0, 0, >0);
// void Swap(int32_t A, int32_t B); void Fallback(int32_t L, int32_t R), a stable sort of the range [L, R].
template <class TSequence> void HoareQuickSort(TSequence& Seq, int32_t L, int32_t R, int DepthLeft) {
    while (L < R) {
        if (DepthLeft-- <= 0) {
            Seq.Fallback(L, R);
            return;
        }
        const auto Pivot = Seq.PivotAt((L + R) / 2);
        int32_t I = L;
        int32_t J = R;
        do {
            while (Seq.Compare(I, Pivot) < 0)
                ++I;
            while (Seq.Compare(J, Pivot) > 0)
                --J;
            if (I <= J) {
                Seq.Swap(I, J);
                ++I;
                --J;
            }
        } while (I <= J);
        // The two parts are disjoint, so sorting the smaller one first (and the larger one in this loop) gives the
        // same order as the textbook recursion while bounding the stack depth.
        if (J - L < R - I) {
            HoareQuickSort(Seq, L, J, DepthLeft);
            L = I;
        } else {
            HoareQuickSort(Seq, I, R, DepthLeft);
            R = J;
        }
    }
}

// How deep partitions may go for Count items before the fallback takes over.
inline int QuickSortDepthLimit(int32_t Count) {
    return 4 * static_cast<int>(std::bit_width(static_cast<uint32_t>(Count))) + 32;
}

template <class TSequence> void HoareQuickSort(TSequence& Seq, int32_t Count) {
    if (Count > 1)
        HoareQuickSort(Seq, 0, Count - 1, QuickSortDepthLimit(Count));
}
