#include "PyxAward.h"
#include "PyxSponsor.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<uint8_t> SponsorTable(std::initializer_list<std::pair<int32_t, int32_t>> Keys) {
    TPyxFileStream S;
    S.WriteInt32(static_cast<int32_t>(Keys.size()));
    for (auto [Id, Uid] : Keys) {
        S.WriteByte(0);
        S.WriteInt32(Id);
        S.WriteInt32(Uid);
    }
    return S.Bytes();
}

// The textbook recursive quicksort on (year, tag) pairs, comparing years only.
void ModelSort(std::vector<std::pair<int, int>>& A, int L, int R) {
    if (L >= R)
        return;
    int Pivot = A[static_cast<size_t>((L + R) / 2)].first;
    int I = L, J = R;
    do {
        while (A[static_cast<size_t>(I)].first < Pivot)
            ++I;
        while (A[static_cast<size_t>(J)].first > Pivot)
            --J;
        if (I <= J) {
            std::swap(A[static_cast<size_t>(I)], A[static_cast<size_t>(J)]);
            ++I;
            --J;
        }
    } while (I <= J);
    ModelSort(A, L, J);
    ModelSort(A, I, R);
}

} // namespace

TEST(CollectionTest, LoadIndexesKeysAndNextKeysStartAboveThem) {
    TPyxSponsors C;
    TPyxFileStream S(SponsorTable({{5, 50}, {2, 20}, {9, 90}}));
    C.LoadFromStream(S, 147, false);
    ASSERT_EQ(C.Count(), 3);
    EXPECT_EQ(C.FindByID(2), C.Items(1));
    EXPECT_EQ(C.FindByUniqueID(90), C.Items(2));
    EXPECT_EQ(C.Items(-1), nullptr);
    EXPECT_EQ(C.Items(3), nullptr);
    EXPECT_EQ(C.NextID(), 10);
    EXPECT_EQ(C.NextID(), 11);
    EXPECT_EQ(C.NextUniqueID(), 91);
}

TEST(CollectionTest, DuplicateKeysKeepBothEntitiesAndIndexTheLater) {
    TPyxSponsors C;
    TPyxFileStream S(SponsorTable({{1, 10}, {1, 11}}));
    C.LoadFromStream(S, 147, false);
    EXPECT_EQ(C.Count(), 2);
    EXPECT_EQ(C.FindByID(1), C.Items(1));
}

TEST(CollectionTest, EmptyTableKeepsMaximaAndSavesItsCount) {
    TPyxSponsors C;
    TPyxFileStream First(SponsorTable({{4, 40}}));
    C.LoadFromStream(First, 147, false);
    C.Clear();
    TPyxFileStream Empty(SponsorTable({}));
    C.LoadFromStream(Empty, 147, false);
    EXPECT_EQ(C.Count(), 0);
    EXPECT_EQ(C.NextID(), 5);
    TPyxFileStream Out;
    C.SaveToStream(Out, 147);
    EXPECT_EQ(Out.Bytes(), SponsorTable({}));
}

TEST(CollectionTest, ImpossibleCountsFailBeforeAnythingIsAllocated) {
    for (int32_t Count : {-1, 1000000}) {
        TPyxFileStream S;
        S.WriteInt32(Count);
        S.WriteByte(0);
        TPyxFileStream R(S.Bytes());
        TPyxSponsors C;
        try {
            C.LoadFromStream(R, 147, false);
            FAIL() << Count;
        } catch (const EFileCorruptError& E) {
            EXPECT_NE(std::string(E.what()).find("TPyxSponsors"), std::string::npos) << E.what();
        }
    }
}

TEST(CollectionTest, UnknownRecordTypeIsWrappedWithEntityNumberAndClass) {
    TPyxFileStream S;
    S.WriteInt32(2);
    S.WriteByte(0);
    S.WriteInt32(1);
    S.WriteInt32(1);
    S.WriteByte(7);
    S.WriteInt32(2);
    S.WriteInt32(2);
    TPyxFileStream R(S.Bytes());
    TPyxSponsors C;
    try {
        C.LoadFromStream(R, 147, false);
        FAIL();
    } catch (const EPyxLoadError& E) {
        EXPECT_STREQ(E.what(), "Error Loading Entity Number: 1\r\nFile Position: 14\r\nClass Type: TPyxSponsors\r\n"
                               "Sponsors seems to be corrupt.\r\nRecord Type: 7");
        EXPECT_EQ(E.FilePosition, 14);
    }
}

TEST(CollectionTest, ProgressIsTruncatedPercentOfItemsDone) {
    EXPECT_EQ(ProgressPercent(0, 0), 100);
    EXPECT_EQ(ProgressPercent(0, 3), 33);
    EXPECT_EQ(ProgressPercent(1, 3), 66);
    EXPECT_EQ(ProgressPercent(2, 3), 100);
    std::vector<int> Seen;
    TPyxSponsors C;
    C.OnProgress = [&](int P) { Seen.push_back(P); };
    TPyxFileStream S(SponsorTable({{1, 1}, {2, 2}, {3, 3}}));
    C.LoadFromStream(S, 147, false);
    EXPECT_EQ(Seen, (std::vector<int>{33, 66, 100}));
}

TEST(CollectionTest, QuicksortPutsTiesWhereTheHoarePartitionDoes) {
    std::mt19937 Rng(7);
    for (int Round = 0; Round < 50; ++Round) {
        TPyxAwardHistories H;
        std::vector<std::pair<int, int>> Model;
        int N = 1 + static_cast<int>(Rng() % 40);
        for (int I = 0; I < N; ++I) {
            auto E = std::make_unique<TPyxAwardHistory>();
            E->Year = static_cast<int16_t>(1990 + Rng() % 4);
            E->UniqueID = I;
            Model.push_back({E->Year, I});
            H.Add(std::move(E), true);
        }
        H.Sort();
        ModelSort(Model, 0, N - 1);
        for (int I = 0; I < N; ++I)
            ASSERT_EQ(H.Items(I)->UniqueID, Model[static_cast<size_t>(I)].second) << "round " << Round;
    }
}
