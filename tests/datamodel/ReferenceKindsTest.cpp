// The reference kinds: name pools sorted by nation and use count with the nations' name ranges realigned, floats
// carried bit for bit, unresolved references, and the kinds a save never renumbers.

#include "ServerTestSupport.h"

#include "SaveOrder.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

using namespace servertest;

namespace {

wb::TName Name(int32_t Nation, int16_t UseCount, int32_t Tag) {
    wb::TName N;
    N.ID = Tag % 50;
    N.UniqueID = Tag;
    N.NationID = Nation;
    N.UseCount = UseCount;
    N.Text = u"Name " + std::u16string(1, char16_t('A' + Tag % 26));
    return N;
}

// Five nations whose name ranges in the file are stale.
wb::TWorld NationsWorld() {
    wb::TWorld World = wb::EmptyWorld(147);
    World.Histories.reset();
    for (int32_t I = 0; I < 5; ++I) {
        wb::TNation Nation;
        Nation.ID = I;
        Nation.UniqueID = 300 + I;
        Nation.FirstNameStart = Nation.SecondNameStart = Nation.CommonNameStart = 77;
        Nation.FirstNameCount = Nation.SecondNameCount = Nation.CommonNameCount = 88;
        Nation.Texts[wb::DefaultLanguageUniqueID].Name = u"Nation " + std::u16string(1, char16_t('0' + I));
        World.Nations.push_back(Nation);
    }
    return World;
}

struct TRange {
    int32_t Start;
    int32_t Count;
    bool operator==(const TRange&) const = default;
};

std::vector<TRange> FirstNameRanges(const TPyxDatabase& Db) {
    std::vector<TRange> Ranges;
    for (int32_t I = 0; I < Db.Nations.Count(); ++I)
        Ranges.push_back({Db.Nations.Items(I)->FirstNameStart, Db.Nations.Items(I)->FirstNameCount});
    return Ranges;
}

} // namespace

TEST(ReferenceKindsTest, NamePoolsSortByNationThenUseCountAndNationsRecordTheirRanges) {
    wb::TWorld World = NationsWorld();
    World.FirstNames = {Name(4, 1, 11), Name(0, 5, 12), Name(-1, 3, 13), Name(2, 0, 14),
                        Name(0, 2, 15), Name(4, 1, 16), Name(-1, 3, 17), Name(9, 0, 18)};
    // Every second name lacks a nation; the common pool is empty.
    World.SecondNames = {Name(-1, 2, 21), Name(-1, 1, 22), Name(42, 0, 23)};
    Finish(World);
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");

    // Names without a nation (or with one that does not exist) first, then by nation, then by use count; IDs are
    // the new positions.
    std::vector<std::pair<int32_t, int16_t>> Keys;
    for (int32_t I = 0; I < Db.Names.FirstNames.Count(); ++I) {
        const TPyxName* N = Db.Names.FirstNames.Items(I);
        Keys.emplace_back(N->Nation ? N->Nation->ID : -1, N->UseCount);
        EXPECT_EQ(N->ID, I);
        EXPECT_EQ(Db.Names.FirstNames.FindByID(I), N);
    }
    EXPECT_EQ(Keys, (std::vector<std::pair<int32_t, int16_t>>{
                        {-1, 0}, {-1, 3}, {-1, 3}, {0, 2}, {0, 5}, {2, 0}, {4, 1}, {4, 1}}));
    // A nation without names between two with names has none; so have all nations in a pool without nations.
    EXPECT_EQ(FirstNameRanges(Db), (std::vector<TRange>{{3, 2}, {-1, 0}, {5, 1}, {-1, 0}, {6, 2}}));
    for (int32_t I = 0; I < Db.Nations.Count(); ++I) {
        const TPyxNation* N = Db.Nations.Items(I);
        EXPECT_EQ(TRange({N->SecondNameStart, N->SecondNameCount}), TRange({-1, 0})) << I;
        EXPECT_EQ(TRange({N->CommonNameStart, N->CommonNameCount}), TRange({-1, 0})) << I;
    }

    // The files are those of the modelled sort, which agrees with the ranges above.
    wb::TWorld Expected = World;
    for (auto* Pool : {&Expected.FirstNames, &Expected.SecondNames})
        for (auto& N : *Pool)
            if (N.NationID >= 5)
                N.NationID = -1;
    wb::SortNamePools(Expected);
    wb::RealignNames(Expected);
    EXPECT_EQ(Expected.Nations[2].FirstNameStart, 5);
    ExpectSavedAs(Expected, Out);
}

TEST(ReferenceKindsTest, ManyNamesWithTiedKeysLandWhereTheModelledQuicksortPutsThem) {
    wb::TWorld World = NationsWorld();
    std::mt19937 Random(7);
    std::uniform_int_distribution<int> Nation(-1, 4), Uses(0, 3);
    for (int32_t I = 0; I < 200; ++I) {
        World.FirstNames.push_back(Name(Nation(Random), static_cast<int16_t>(Uses(Random)), 1000 + I));
        World.CommonNames.push_back(Name(Nation(Random) / 2 * 2, static_cast<int16_t>(Uses(Random)), 2000 + I));
    }
    // The last nation has no common names: its range is cleared after the pool.
    for (auto& N : World.CommonNames)
        if (N.NationID == 4)
            N.NationID = 2;
    Finish(World);
    wb::TWorld Expected = World;
    wb::SortNamePools(Expected);
    wb::RealignNames(Expected);
    EXPECT_EQ(Expected.Nations[4].CommonNameStart, -1);
    EXPECT_EQ(Expected.Nations[3].CommonNameStart, -1);
    ExpectLoadSaveWrites(World, Expected);
}

TEST(ReferenceKindsTest, FloatsAreCarriedBitForBit) {
    const uint32_t QuietWithPayload = 0x7FC12345, Signalling = 0x7F800001, NegativeNaN = 0xFFC00001;
    wb::TWorld World = NationsWorld();
    wb::TCity City;
    City.ID = 0;
    City.UniqueID = 700;
    City.Latitude = wb::TF32::FromBits(QuietWithPayload);
    City.Longitude = wb::TF32::FromBits(Signalling);
    City.Texts[wb::DefaultLanguageUniqueID].Name = u"Nowhere";
    World.Cities.push_back(City);
    wb::TContinent Continent;
    Continent.ID = 0;
    Continent.UniqueID = 800;
    Continent.RegionalStrength = wb::TF32::FromBits(NegativeNaN);
    World.Continents.push_back(Continent);
    auto& Coefficients = World.Nations[1].UEFACoefficients;
    Coefficients = {wb::TF32::FromBits(Signalling),       wb::TF32::FromBits(0x80000000),
                    wb::TF32::FromBits(0x00000001),       wb::TF32::FromBits(0x7F800000),
                    wb::TF32::FromBits(QuietWithPayload), wb::TF32(12.375f)};
    Finish(World);
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    EXPECT_EQ(std::bit_cast<uint32_t>(Db.Cities.Items(0)->Latitude), QuietWithPayload);
    EXPECT_EQ(std::bit_cast<uint32_t>(Db.Cities.Items(0)->Longitude), Signalling);
    EXPECT_EQ(std::bit_cast<uint32_t>(Db.Nations.Items(1)->GetUEFACoefficient(1998)), Signalling);
    EXPECT_EQ(Db.Nations.Items(1)->GetUEFACoefficient(2003), 12.375f);
    EXPECT_EQ(Db.Nations.Items(1)->GetUEFACoefficient(1997), 0.0f);
    EXPECT_EQ(Db.Nations.Items(1)->GetUEFACoefficient(2004), 0.0f);
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    wb::TWorld Expected = World;
    wb::RealignNames(Expected); // no names: the stale ranges are cleared
    ExpectSavedAs(Expected, Out);
}

TEST(ReferenceKindsTest, ACityWithoutAKnownNationOrWeatherIsWrittenWithNone) {
    wb::TWorld World = Sample();
    ASSERT_GE(World.Cities.size(), 3u);
    World.Cities[0].NationID = -1;
    World.Cities[1].NationID = 4000;
    World.Cities[1].WeatherID = 4001;
    World.Cities[2].WeatherID = -7;
    wb::TWorld Expected = World;
    Expected.Cities[1].NationID = Expected.Cities[1].WeatherID = Expected.Cities[2].WeatherID = -1;
    ExpectLoadSaveWrites(World, Expected);
}

TEST(ReferenceKindsTest, KindsWithoutRenumberingKeepTheIDsTheyWereLoadedWith) {
    wb::TWorld World = Sample();
    ASSERT_GE(World.Weathers.size(), 2u);
    ASSERT_GE(World.Sponsors.size(), 2u);
    ASSERT_GE(World.PlayerTypes.size(), 2u);
    // Weathers out of order, cities following them.
    for (auto& City : World.Cities)
        if (City.WeatherID >= 0)
            City.WeatherID = 60 - City.WeatherID;
    for (auto& Weather : World.Weathers)
        Weather.ID = 60 - Weather.ID;
    World.Sponsors[0].ID = 17;
    World.Sponsors[1].ID = 3;
    World.PlayerTypes[0].ID = 250;
    World.PlayerTypes[1].ID = -2;
    ExpectLoadSaveWrites(World, World);
}
