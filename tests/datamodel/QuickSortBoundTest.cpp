#include "PyxAward.h"
#include "PyxName.h"
#include "PyxQuickSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <numeric>
#include <random>

// The game's quicksort is quadratic on orders built against it. A file can hold such an order in any sorted table
// (person nations, name use counts, history years), so the sort must stay n log n on them while giving ordinary
// orders exactly the algorithm's result.

namespace {

// Keys sorted in place, comparisons counted.
struct TKeySequence {
    std::vector<int64_t> Keys;
    int64_t Comparisons = 0;
    int64_t PivotAt(int32_t I) const { return Keys[static_cast<size_t>(I)]; }
    int Compare(int32_t I, int64_t Pivot) {
        ++Comparisons;
        const int64_t K = Keys[static_cast<size_t>(I)];
        return K < Pivot ? -1 : (K > Pivot ? 1 : 0);
    }
    void Swap(int32_t A, int32_t B) { std::swap(Keys[static_cast<size_t>(A)], Keys[static_cast<size_t>(B)]); }
    void Fallback(int32_t L, int32_t R) {
        std::stable_sort(Keys.begin() + L, Keys.begin() + R + 1, [this](int64_t A, int64_t B) {
            ++Comparisons;
            return A < B;
        });
    }
};

// An adversary that decides the items' values only as the sort compares them, so that every partition around a
// pivot splits off as little as possible; the values it settles on are an input the sort is quadratic on.
struct TAdversary {
    std::vector<int32_t> Items; // item at each slot
    std::vector<int64_t> Value; // per item; Gas until decided
    int64_t Gas, Solid = 0;
    int32_t Candidate = -1;

    explicit TAdversary(int32_t N) : Items(static_cast<size_t>(N)), Value(static_cast<size_t>(N), N), Gas(N) {
        std::iota(Items.begin(), Items.end(), 0);
    }
    int32_t PivotAt(int32_t I) const { return Items[static_cast<size_t>(I)]; }
    int Compare(int32_t I, int32_t Pivot) {
        const int32_t X = Items[static_cast<size_t>(I)];
        if (Value[static_cast<size_t>(X)] == Gas && Value[static_cast<size_t>(Pivot)] == Gas)
            Value[static_cast<size_t>(X == Candidate ? X : Pivot)] = Solid++;
        if (Value[static_cast<size_t>(X)] == Gas)
            Candidate = X;
        else if (Value[static_cast<size_t>(Pivot)] == Gas)
            Candidate = Pivot;
        const int64_t A = Value[static_cast<size_t>(X)], B = Value[static_cast<size_t>(Pivot)];
        return A < B ? -1 : (A > B ? 1 : 0);
    }
    void Swap(int32_t A, int32_t B) { std::swap(Items[static_cast<size_t>(A)], Items[static_cast<size_t>(B)]); }
    void Fallback(int32_t, int32_t) { FAIL() << "the adversary runs without a depth limit"; }
};

std::vector<int64_t> KillerKeys(int32_t N) {
    TAdversary A(N);
    HoareQuickSort(A, 0, N - 1, INT_MAX);
    for (int64_t& V : A.Value)
        if (V == A.Gas)
            V = A.Solid++;
    return A.Value;
}

} // namespace

TEST(QuickSortBoundTest, AnOrderBuiltAgainstTheSortIsSortedWithoutQuadraticWork) {
    const int32_t N = 10000;
    const std::vector<int64_t> Keys = KillerKeys(N);

    TKeySequence Unbounded{Keys};
    HoareQuickSort(Unbounded, 0, N - 1, INT_MAX);
    TKeySequence Bounded{Keys};
    HoareQuickSort(Bounded, N);

    // The input really is a worst case: without the limit the work is far beyond n log n.
    EXPECT_GT(Unbounded.Comparisons, int64_t{N} * N / 8);
    EXPECT_LT(Bounded.Comparisons, int64_t{N} * QuickSortDepthLimit(N) * 2);
    EXPECT_TRUE(std::is_sorted(Bounded.Keys.begin(), Bounded.Keys.end()));
    EXPECT_EQ(Bounded.Keys, Unbounded.Keys);
}

TEST(QuickSortBoundTest, OrdinaryOrdersGetExactlyTheAlgorithmsResult) {
    // Keys tagged with their first slot in the low bits, compared on the high bits only, so ties are visible.
    struct TTagged : TKeySequence {
        int Compare(int32_t I, int64_t Pivot) {
            const int64_t K = Keys[static_cast<size_t>(I)] >> 20, P = Pivot >> 20;
            return K < P ? -1 : (K > P ? 1 : 0);
        }
    };
    std::mt19937 Rng(11);
    const int32_t N = 100000;
    for (int64_t Spread : {int64_t{3}, int64_t{200}, int64_t{1} << 40}) {
        for (int Shape = 0; Shape < 3; ++Shape) {
            std::vector<int64_t> Keys(static_cast<size_t>(N));
            for (int32_t I = 0; I < N; ++I)
                Keys[static_cast<size_t>(I)] = static_cast<int64_t>(Rng() % static_cast<uint64_t>(Spread));
            if (Shape == 1)
                std::sort(Keys.begin(), Keys.end());
            if (Shape == 2)
                std::sort(Keys.rbegin(), Keys.rend());
            for (int32_t I = 0; I < N; ++I)
                Keys[static_cast<size_t>(I)] = Keys[static_cast<size_t>(I)] << 20 | I;
            TTagged Unbounded, Bounded;
            Unbounded.Keys = Bounded.Keys = Keys;
            HoareQuickSort(Unbounded, 0, N - 1, INT_MAX);
            HoareQuickSort(Bounded, N);
            ASSERT_EQ(Bounded.Keys, Unbounded.Keys) << "spread " << Spread << ", shape " << Shape;
        }
    }
}

TEST(QuickSortBoundTest, TablesWhoseOrderIsBuiltAgainstTheSortKeepEveryRecordInOrder) {
    const int32_t N = 4000;
    const std::vector<int64_t> Keys = KillerKeys(N);

    TPyxNames Names;              // sorted by keys gathered from the records
    TPyxAwardHistories Histories; // sorted through the comparison of two records
    for (int32_t I = 0; I < N; ++I) {
        auto Name = std::make_unique<TPyxName>();
        Name->UseCount = static_cast<int16_t>(Keys[static_cast<size_t>(I)]);
        Name->UniqueID = I;
        Names.Add(std::move(Name), true);
        auto History = std::make_unique<TPyxAwardHistory>();
        History->Year = static_cast<int16_t>(Keys[static_cast<size_t>(I)]);
        History->UniqueID = I;
        Histories.Add(std::move(History), true);
    }
    Names.Sort();
    Histories.Sort();
    std::vector<int32_t> Seen(static_cast<size_t>(N), 0);
    for (int32_t I = 0; I < N; ++I) {
        EXPECT_EQ(Names.Items(I)->UseCount, I);
        EXPECT_EQ(Histories.Items(I)->Year, I);
        ++Seen[static_cast<size_t>(Names.Items(I)->UniqueID)];
    }
    EXPECT_EQ(std::count(Seen.begin(), Seen.end(), 1), N);
}
