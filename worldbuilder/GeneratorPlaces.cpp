#include "BuilderSeeds.h"
#include "GeneratorBuilder.h"
#include "SampleText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace wb {

namespace {

static_assert(LanguageSeeds.size() == MaxGeneratedLanguages);

// Per name style: the continent its nations lie on most of the time, and their two likely languages (IDs).
struct TStyleHome {
    int32_t Continent;
    int32_t Language1, Language2;
};
constexpr std::array<TStyleHome, TNameMaker::StyleCount> StyleHomes = {
    {{0, 4, 1}, {0, 7, 5}, {3, 3, 6}, {0, 8, 9}, {0, 0, 0}, {0, 2, 5}, {1, 1, 0}, {2, 0, 0}}};

// The game knows fourteen regions by ID (0 "Africa" to 13 "UK & Ireland"); each continent's nations lie in the
// regions that belong to it, its first one the region its media cover.
constexpr int RegionCount = 14;
constexpr int RegionDraws = 4;
const std::array<std::vector<int32_t>, 6> ContinentRegions = {{
    {4, 5, 10, 12, 13}, // Europe: Central, Eastern, Scandinavia, Southern, UK & Ireland
    {0, 7},             // Africa, North Africa
    {1, 6},             // Asia, Middle East
    {11},               // South America
    {8, 3, 2},          // North America, Central America, Caribbean
    {9},                // Oceania
}};

} // namespace

int32_t TWorldGenerator::RegionOf(int32_t Continent, int Draw) {
    const auto& Regions = ContinentRegions.at(static_cast<std::size_t>(Continent));
    return Regions[static_cast<std::size_t>(Draw) % Regions.size()];
}

int32_t TWorldGenerator::NextUniqueID() {
    LastUniqueID_ += Random_.Int(1, 3);
    return LastUniqueID_;
}

void TWorldGenerator::AddLanguages() {
    TBuilderBase::AddLanguages(LanguageSeeds.size(), Options_.LanguageCount, Options_.DefaultLanguagePosition);
}

void TWorldGenerator::AddContinentsAndRegions() {
    for (std::size_t I = 0; I < ContinentSeeds.size(); ++I) {
        const std::u16string Name = U16(ContinentSeeds[I].Name);
        AddContinent(ContinentSeeds[I], 1.0f - 0.125f * static_cast<float>(I),
                     {Name + u" Champions Cup", Name + u" Cup"});
    }
    static_assert(ContinentRegions.size() == ContinentSeeds.size());
    AddRegions(RegionCount);
    // Generated worlds once held four regions per continent. The keys the ten beyond the game's fourteen took are
    // still drawn, so that every other record of a generated world keeps the keys and values it had.
    for (int I = RegionCount; I < static_cast<int>(ContinentSeeds.size()) * RegionDraws; ++I)
        NextUniqueID();
}

// Every climate, with warmer days in a different part of each season's spread.
void TWorldGenerator::AddSponsorsWeatherTypesStagesInjuries() {
    AddSponsors(6);
    for (std::size_t I = 0; I < Climates.size(); ++I)
        for (auto& Season : AddWeather(I).Seasons)
            Season.Temperature[I % 7] = static_cast<uint8_t>(Season.Temperature[I % 7] + 5);
    for (std::size_t I = 0; I < PlayerTypeTexts.size(); ++I)
        AddPlayerType(static_cast<int32_t>(I), I);
    for (std::size_t I = 0; I < StageNames.size(); ++I)
        AddStage(static_cast<int32_t>(I), I);
    for (std::size_t I = 0; I < InjurySeeds.size(); ++I)
        AddInjury(static_cast<int32_t>(I), I, static_cast<uint8_t>(5 * I));
}

// Nation sizes are skewed: a few large football nations and many small ones. Persons without a nation stand
// apart; every nation gets at least one club.
void TWorldGenerator::PlanNations() {
    const int People = Options_.PeopleCount;
    const int Stateless = std::max(1, People / 500);
    const int Count = std::clamp(People / 40, 6, 200);
    std::vector<double> Weights(static_cast<std::size_t>(Count));
    double Total = 0;
    for (auto& Weight : Weights) {
        const double U = static_cast<double>(Random_.Int(1, 1000)) / 1000.0;
        Weight = 0.2 + U * U * U * 10.0;
        Total += Weight;
    }
    Nations_.assign(static_cast<std::size_t>(Count), TNationPlan{});
    int Assigned = 0;
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        Nations_[N].PeopleCount = static_cast<int>(std::floor(Weights[N] / Total * (People - Stateless)));
        Nations_[N].Style = Random_.Int(0, TNameMaker::StyleCount - 1);
        Assigned += Nations_[N].PeopleCount;
    }
    for (std::size_t N = 0; Assigned < People - Stateless; N = (N + 1) % Nations_.size(), ++Assigned)
        ++Nations_[N].PeopleCount;
    for (auto& Plan : Nations_)
        Plan.ClubCount = std::max(1, static_cast<int>(std::lround(Plan.PeopleCount / 15.0)));
}

void TWorldGenerator::AddNations() {
    std::unordered_set<std::u16string> Used;
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        const auto& Plan = Nations_[N];
        const auto& Home = StyleHomes[static_cast<std::size_t>(Plan.Style)];
        std::u16string Name = Names_.NationName(Plan.Style);
        for (int Try = 0; Try < 50 && Used.count(Name) != 0; ++Try)
            Name = Names_.NationName(Plan.Style);
        if (Used.count(Name) != 0)
            Name.append(u" ").append(U16(static_cast<long>(N)));
        Used.insert(Name);

        TNation& Nation = AddRecord(World_.Nations);
        const auto Size = static_cast<double>(Plan.PeopleCount) / Options_.PeopleCount * Nations_.size();
        DrawNationFigures(Nation,
                          [&] { return static_cast<int16_t>(std::clamp(1000.0 + 2500.0 * Size, 500.0, 9800.0)); });
        Nation.ContinentID = Random_.Chance(80) ? Home.Continent : Random_.Int(0, 5);
        Nation.RegionID = RegionOf(Nation.ContinentID, Random_.Int(0, RegionDraws - 1));
        DrawNationCharacter(Nation, [&] { return static_cast<uint8_t>(Random_.Chance(90) ? 1 : 0); });
        Nation.LanguageIDs = {Random_.Chance(75) ? Home.Language1 : Home.Language2};
        if (Random_.Chance(15) && Home.Language2 != Nation.LanguageIDs[0])
            Nation.LanguageIDs.push_back(Home.Language2);
        Nation.Container.Kits = {RandomKit()};
        if (Random_.Chance(70))
            Nation.Container.Kits.push_back(RandomKit());
        Nation.Texts = NationTexts(Name, Plan.PeopleCount > Options_.PeopleCount / 50);
    }
}

// A nation has its capital and about one more city for every two clubs.
void TWorldGenerator::AddCities() {
    for (std::size_t N = 0; N < Nations_.size(); ++N) {
        auto& Plan = Nations_[N];
        const int Count = 1 + (Plan.ClubCount + 1) / 2;
        const auto& Seed = ContinentSeeds[static_cast<std::size_t>(World_.Nations[N].ContinentID)];
        const float Latitude = Seed.Latitude + static_cast<float>(Random_.Int(-100, 100)) / 10.0f;
        const float Longitude = Seed.Longitude + static_cast<float>(Random_.Int(-200, 200)) / 10.0f;
        const int32_t Weather = Random_.Int(0, static_cast<int32_t>(World_.Weathers.size()) - 1);
        std::unordered_set<std::u16string> Used;
        for (int C = 0; C < Count; ++C) {
            std::u16string Name = Names_.CityName(Plan.Style);
            for (int Try = 0; Try < 20 && Used.count(Name) != 0; ++Try)
                Name = Names_.CityName(Plan.Style);
            Used.insert(Name);
            TCity& City = AddRecord(World_.Cities);
            City.Latitude = Latitude + static_cast<float>(Random_.Int(-40, 40)) / 8.0f;
            City.Longitude = Longitude + static_cast<float>(Random_.Int(-40, 40)) / 8.0f;
            City.Attraction = Random_.Byte(1, 20);
            City.NationID = static_cast<int32_t>(N);
            City.WeatherID = Random_.Chance(80) ? Weather : Random_.Int(0, 5);
            City.Altitude = Random_.Short(0, 1500);
            const uint8_t NameByte = Random_.Byte(0, 2);
            City.Texts = Translate<TCityText>([&](int32_t L) {
                return TCityText{Tr(Name, L), NameByte, Tr(Name + u"er", L), 1};
            });
            Plan.Cities.push_back(City.ID);
        }
        World_.Nations[N].CapitalCityID = Plan.Cities.front();
    }
}

} // namespace wb
