#include "PyxClub.h"
#include "PyxContract.h"
#include "PyxNation.h"

#include <gtest/gtest.h>

namespace {

struct TEmployers {
    TPyxClub Home{147}, Partner{147}, Other{147};
    TPyxNation Country;
};

} // namespace

TEST(ContractArrangement, AddingAKindThatExistsGivesTheSameContract) {
    TPyxContractList L;
    TPyxContract* Club = L.AddClubContract();
    EXPECT_EQ(L.AddClubContract(), Club);
    TPyxContract* Nation = L.AddNationContract();
    EXPECT_EQ(L.AddNationContract(), Nation);
    TPyxContract* CoOwner = L.AddCoOwnerContract();
    EXPECT_EQ(L.AddCoOwnerContract(), CoOwner);
    ASSERT_EQ(L.Count(), 3);
    EXPECT_EQ(L.Items(0), Club);
    EXPECT_EQ(L.Items(1), CoOwner);
    EXPECT_EQ(L.Items(2), Nation);
}

TEST(ContractArrangement, CoOwnerNeedsAClubContract) {
    TPyxContractList L;
    L.AddNationContract();
    EXPECT_EQ(L.AddCoOwnerContract(), nullptr);
    EXPECT_EQ(L.Count(), 1);
}

TEST(ContractArrangement, CoOwnerGoesRightBehindTheClubContractWhereverItStands) {
    TPyxContractList L;
    TPyxContract* Nation = L.AddNationContract();
    auto Club = std::make_unique<TPyxContract>();
    TPyxContract* ClubPtr = L.Add(std::move(Club));
    ClubPtr->EstimatedWage = 1234;
    TPyxContract* CoOwner = L.AddCoOwnerContract();
    EXPECT_EQ(L.GetClubContract(), ClubPtr);
    EXPECT_EQ(L.GetCoOwnerContract(), CoOwner);
    EXPECT_EQ(L.IndexOf(CoOwner), L.IndexOf(ClubPtr) + 1);
    EXPECT_EQ(CoOwner->EstimatedWage, 1234);
    EXPECT_EQ(L.GetNationContract(), Nation);
}

TEST(ContractArrangement, RemovingTheClubContractTakesTheCoOwnerWithIt) {
    TEmployers E;
    TPyxContractList L;
    L.AddClubContract()->Employer = &E.Home;
    L.AddCoOwnerContract()->Employer = &E.Partner;
    L.AddNationContract()->Employer = &E.Country;
    L.RemoveClubContract();
    EXPECT_EQ(L.GetClubContract(), nullptr) << "the co-owner contract must not take the club contract's place";
    ASSERT_EQ(L.Count(), 1);
    EXPECT_EQ(L.Items(0)->Employer, &E.Country);
}

TEST(ContractArrangement, RemovingAnEmployerKeepsTheRest) {
    TEmployers E;
    TPyxContractList L;
    L.AddClubContract()->Employer = &E.Home;
    L.AddCoOwnerContract()->Employer = &E.Partner;
    L.AddNationContract()->Employer = &E.Country;
    L.RemoveEmployer(&E.Partner);
    ASSERT_EQ(L.Count(), 2);
    EXPECT_EQ(L.GetClubContract()->Employer, &E.Home);
    EXPECT_EQ(L.GetClubContract()->CoOwned, 0);
    L.RemoveEmployer(&E.Other);
    EXPECT_EQ(L.Count(), 2);
    L.RemoveEmployer(&E.Country);
    EXPECT_EQ(L.GetNationContract(), nullptr);
    L.RemoveEmployer(&E.Home);
    EXPECT_EQ(L.Count(), 0);
}

TEST(ContractArrangement, RemovingTheClubEmployerEndsTheCoOwnershipToo) {
    TEmployers E;
    TPyxContractList L;
    L.AddClubContract()->Employer = &E.Home;
    L.AddCoOwnerContract()->Employer = &E.Partner;
    L.RemoveEmployer(&E.Home);
    EXPECT_EQ(L.Count(), 0);
}

TEST(ContractArrangement, AFirstClubContractIsNotCoOwnedAndStandsFirst) {
    TPyxContractList L;
    // Without a club contract there is no co-owner contract to copy from.
    TPyxContract* Club = L.AddClubContract();
    EXPECT_EQ(Club->CoOwned, 0);
    EXPECT_EQ(L.Items(0), Club);
}
