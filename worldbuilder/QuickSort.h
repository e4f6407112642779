#pragma once

#include <cstddef>
#include <numeric>
#include <utility>
#include <vector>

namespace wb {

// The game's quicksort: Hoare partition around the item in the middle of the range (the item, not its slot),
// recursing left then right. It is not stable; tests depend on ties landing exactly where it puts them, so it is
// written out here rather than taken from the standard library. Compare(A, B) returns <0, 0 or >0.
template <class TCompare> void QuickSortOrder(std::vector<std::size_t>& Order, TCompare Compare) {
    struct TSorter {
        std::vector<std::size_t>& Order;
        TCompare& Compare;

        void Sort(std::ptrdiff_t L, std::ptrdiff_t R) {
            if (L >= R)
                return;
            const std::size_t Pivot = Order[static_cast<std::size_t>((L + R) / 2)];
            std::ptrdiff_t I = L;
            std::ptrdiff_t J = R;
            do {
                while (Compare(Order[static_cast<std::size_t>(I)], Pivot) < 0)
                    ++I;
                while (Compare(Order[static_cast<std::size_t>(J)], Pivot) > 0)
                    --J;
                if (I <= J) {
                    std::swap(Order[static_cast<std::size_t>(I)], Order[static_cast<std::size_t>(J)]);
                    ++I;
                    --J;
                }
            } while (I <= J);
            Sort(L, J);
            Sort(I, R);
        }
    };
    if (Order.size() > 1)
        TSorter{Order, Compare}.Sort(0, static_cast<std::ptrdiff_t>(Order.size()) - 1);
}

// Sorts Items with the game's quicksort; Compare takes two items.
template <class T, class TCompare> void QuickSort(std::vector<T>& Items, TCompare Compare) {
    std::vector<std::size_t> Order(Items.size());
    std::iota(Order.begin(), Order.end(), std::size_t{0});
    QuickSortOrder(Order, [&](std::size_t A, std::size_t B) { return Compare(Items[A], Items[B]); });
    std::vector<T> Sorted;
    Sorted.reserve(Items.size());
    for (std::size_t Index : Order)
        Sorted.push_back(std::move(Items[Index]));
    Items = std::move(Sorted);
}

template <class T> int CompareKeys(const T& A, const T& B) {
    return A < B ? -1 : (B < A ? 1 : 0);
}

} // namespace wb
