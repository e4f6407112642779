#include "GeneratorBuilder.h"
#include "SampleText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

namespace wb {

namespace {

struct TLanguageSeed {
    const char* Name;
    int32_t UniqueID;
    int16_t Family, Group, SubGroup;
    uint8_t Influence, Difficulty;
};

// Table position is the language's ID; English keeps the default UniqueID 8.
constexpr std::array<TLanguageSeed, MaxGeneratedLanguages> LanguageSeeds = {{{"English", 8, 1, 1, 1, 200, 5},
                                                                             {"French", 3, 2, 3, 1, 150, 10},
                                                                             {"German", 12, 1, 2, 1, 140, 12},
                                                                             {"Spanish", 21, 2, 3, 2, 170, 8},
                                                                             {"Italian", 5, 2, 3, 3, 120, 9},
                                                                             {"Dutch", 30, 1, 2, 2, 60, 11},
                                                                             {"Portuguese", 17, 2, 3, 4, 110, 9},
                                                                             {"Swedish", 25, 1, 4, 1, 40, 12},
                                                                             {"Polish", 14, 3, 1, 1, 50, 15},
                                                                             {"Greek", 9, 4, 1, 1, 30, 16}}};

// Per name style: the continent its nations lie on most of the time, and their two likely languages (IDs).
struct TStyleHome {
    int32_t Continent;
    int32_t Language1, Language2;
};
constexpr std::array<TStyleHome, TNameMaker::StyleCount> StyleHomes = {
    {{0, 4, 1}, {0, 7, 5}, {3, 3, 6}, {0, 8, 9}, {0, 0, 0}, {0, 2, 5}, {1, 1, 0}, {2, 0, 0}}};

struct TContinentSeed {
    const char *Name, *Short, *Adjective, *Federation, *FederationShort;
    float Latitude, Longitude;
};
constexpr std::array<TContinentSeed, 6> ContinentSeeds = {
    {{"Europe", "EUR", "European", "Federation of European Football", "FEF", 50.0f, 10.0f},
     {"Africa", "AFR", "African", "African Football Union", "AFU", 5.0f, 20.0f},
     {"Asia", "ASI", "Asian", "Asian Football Council", "AFC", 30.0f, 100.0f},
     {"South America", "SAM", "South American", "South American Football Board", "SAB", -20.0f, -60.0f},
     {"North America", "NAM", "North American", "North and Central American Union", "NCU", 35.0f, -95.0f},
     {"Oceania", "OCE", "Oceanian", "Oceania Football Council", "OFC", -25.0f, 140.0f}}};

constexpr int RegionsPerContinent = 4;

} // namespace

int32_t TWorldGenerator::NextUniqueID() {
    LastUniqueID_ += Random_.Int(1, 3);
    return LastUniqueID_;
}

void TWorldGenerator::AddLanguages() {
    for (std::size_t I = 0; I < LanguageSeeds.size(); ++I) {
        const auto& Seed = LanguageSeeds[I];
        TLanguage Language;
        Language.ID = static_cast<int32_t>(I);
        Language.UniqueID = Seed.UniqueID;
        Language.Name = U16(Seed.Name);
        Language.LanguageByte = static_cast<uint8_t>(I % 2);
        Language.Influence = Seed.Influence;
        Language.Difficulty = Seed.Difficulty;
        Language.Family = Seed.Family;
        Language.Group = Seed.Group;
        Language.SubGroup = Seed.SubGroup;
        World_.Languages.push_back(Language);
    }
    World_.LangDirectory.clear();
    for (std::size_t I = 1; static_cast<int>(World_.LangDirectory.size()) < Options_.LanguageCount - 1; ++I)
        World_.LangDirectory.push_back(LanguageSeeds[I].UniqueID);
    World_.LangDirectory.insert(World_.LangDirectory.begin() + Options_.DefaultLanguagePosition,
                                DefaultLanguageUniqueID);
}

void TWorldGenerator::AddContinentsAndRegions() {
    for (std::size_t I = 0; I < ContinentSeeds.size(); ++I) {
        const auto& Seed = ContinentSeeds[I];
        TContinent Continent;
        Continent.ID = static_cast<int32_t>(I);
        Continent.UniqueID = NextUniqueID();
        Continent.RegionalStrength = 1.0f - 0.125f * static_cast<float>(I);
        Continent.ContinentByte = static_cast<uint8_t>(I + 1);
        Continent.Texts = Translate<TContinentText>([&](int32_t L) {
            TContinentText Text;
            Text.Name = Tr(U16(Seed.Name), L);
            Text.NameByte = 1;
            Text.ShortName = Tr(U16(Seed.Short), L);
            Text.ContinentalityName = Tr(U16(Seed.Adjective), L);
            Text.FederationName = Tr(U16(Seed.Federation), L);
            Text.FederationNameByte = 2;
            Text.ShortFederationName = U16(Seed.FederationShort);
            Text.ShortFederationNameByte = static_cast<uint8_t>(I == 0 ? 3 : 0);
            Text.ExtraTexts = {Tr(U16(Seed.Name) + u" Champions Cup", L), Tr(U16(Seed.Name) + u" Cup", L)};
            return Text;
        });
        World_.Continents.push_back(Continent);
    }
    for (int32_t I = 0; I < static_cast<int32_t>(ContinentSeeds.size()) * RegionsPerContinent; ++I) {
        TRegion Region;
        Region.ID = I;
        Region.UniqueID = NextUniqueID();
        World_.Regions.push_back(Region);
    }
}

void TWorldGenerator::AddSponsorsWeatherTypesStagesInjuries() {
    for (int32_t I = 1; I <= 6; ++I) {
        TSponsor Sponsor;
        Sponsor.ID = I;
        Sponsor.UniqueID = NextUniqueID();
        World_.Sponsors.push_back(Sponsor);
    }

    constexpr std::array<const char*, 6> Climates = {"Temperate Maritime", "Continental", "Mediterranean",
                                                     "Tropical",           "Arid",        "Subarctic"};
    for (std::size_t I = 0; I < Climates.size(); ++I) {
        TWeather Weather;
        Weather.ID = static_cast<int32_t>(I);
        Weather.UniqueID = NextUniqueID();
        Weather.Name = U16(Climates[I]);
        Weather.Wind = Random_.Byte(0, 4);
        Weather.Precipitation = Random_.Byte(0, 4);
        Weather.Temperature = Random_.Byte(0, 6);
        constexpr std::array<int16_t, 4> Starts = {79, 171, 265, 355};
        for (std::size_t S = 0; S < 4; ++S) {
            auto& Season = Weather.Seasons[S];
            Season.StartDay = Starts[S];
            Season.Wind = {40, 30, 15, 10, 5};
            Season.Precipitation = {50, 20, 15, 10, 5};
            Season.Temperature = {0, 10, 30, 30, 20, 10, 0};
            Season.Wind[0] = static_cast<uint8_t>(40 - 5 * S);
            Season.Wind[4] = static_cast<uint8_t>(5 + 5 * S);
            Season.Temperature[I % 7] = static_cast<uint8_t>(Season.Temperature[I % 7] + 5);
        }
        World_.Weathers.push_back(Weather);
    }

    constexpr std::array<std::array<const char*, 2>, 6> TypeTexts = {{{"Target Man", "Strong in the air"},
                                                                      {"Poacher", "Lives in the box"},
                                                                      {"Playmaker", "Dictates play"},
                                                                      {"Sweeper Keeper", "Leaves his line"},
                                                                      {"Ball Winner", "Breaks up play"},
                                                                      {"Wing Back", "Up and down the flank"}}};
    for (std::size_t I = 0; I < TypeTexts.size(); ++I) {
        TPlayerType Type;
        Type.ID = static_cast<int32_t>(I);
        Type.UniqueID = NextUniqueID();
        Type.Texts = Translate<TPlayerTypeText>([&](int32_t L) {
            TPlayerTypeText Text;
            Text.TypeByte = static_cast<uint8_t>(I + 1);
            for (const char* Line : TypeTexts[I])
                Text.Texts.push_back(Tr(U16(Line), L));
            return Text;
        });
        World_.PlayerTypes.push_back(Type);
    }

    constexpr std::array<std::array<const char*, 3>, 8> StageNames = {{{"Final", "F", "Finals"},
                                                                       {"Semi-Final", "SF", "Semi-Finals"},
                                                                       {"Quarter-Final", "QF", "Quarter-Finals"},
                                                                       {"Round of 16", "R16", "Rounds of 16"},
                                                                       {"Group Stage", "GS", "Group Stages"},
                                                                       {"First Round", "R1", "First Rounds"},
                                                                       {"Second Round", "R2", "Second Rounds"},
                                                                       {"Play-Off", "PO", "Play-Offs"}}};
    for (std::size_t I = 0; I < StageNames.size(); ++I) {
        TStage Stage;
        Stage.ID = static_cast<int32_t>(I);
        Stage.UniqueID = NextUniqueID();
        Stage.Texts = Translate<TStageText>([&](int32_t L) {
            return TStageText{Tr(U16(StageNames[I][0]), L), 1, U16(StageNames[I][1]), 0,
                              Tr(U16(StageNames[I][2]), L), 2};
        });
        World_.Stages.push_back(Stage);
    }

    struct TInjurySeed {
        const char *Name, *Sentence;
        uint8_t Category, Chance;
        int16_t Minimum, Extra;
        uint8_t Severity;
    };
    constexpr std::array<TInjurySeed, 16> Injuries = {
        {{"Broken Leg", "a broken leg", 2, 3, 90, 60, 3},
         {"Twisted Ankle", "a twisted ankle", 1, 40, 5, 10, 1},
         {"Hamstring Strain", "a strained hamstring", 4, 30, 10, 20, 2},
         {"Flu", "the flu", 0, 20, 3, 7, 255},
         {"Torn Cruciate Ligament", "a torn cruciate ligament", 3, 2, 150, 90, 3},
         {"Groin Strain", "a groin strain", 4, 25, 7, 14, 1},
         {"Bruised Ribs", "bruised ribs", 1, 15, 5, 9, 1},
         {"Broken Toe", "a broken toe", 2, 6, 14, 14, 2},
         {"Calf Strain", "a strained calf", 4, 25, 6, 12, 1},
         {"Concussion", "concussion", 1, 5, 3, 4, 2},
         {"Dislocated Shoulder", "a dislocated shoulder", 2, 4, 21, 21, 2},
         {"Back Spasms", "back spasms", 4, 10, 3, 10, 1},
         {"Knee Cartilage Damage", "damaged knee cartilage", 3, 4, 40, 30, 3},
         {"Thigh Strain", "a strained thigh", 4, 25, 7, 10, 1},
         {"Broken Wrist", "a broken wrist", 2, 3, 30, 15, 2},
         {"Virus", "a virus", 0, 15, 2, 5, 255}}};
    for (std::size_t I = 0; I < Injuries.size(); ++I) {
        const auto& Seed = Injuries[I];
        TInjury Injury;
        Injury.ID = static_cast<int32_t>(I);
        Injury.UniqueID = NextUniqueID();
        Injury.Category = Seed.Category;
        Injury.Chance = Seed.Chance;
        Injury.MinimumDaysOut = Seed.Minimum;
        Injury.ExtraDaysOut = Seed.Extra;
        Injury.InactiveRatio = static_cast<uint8_t>(5 * I);
        Injury.Recurring = static_cast<uint8_t>(Seed.Category == 4 ? 1 : 0);
        Injury.Severity = Seed.Severity;
        Injury.Texts = Translate<TInjuryText>([&](int32_t L) {
            return TInjuryText{Tr(U16(Seed.Name), L), 0, Tr(U16(Seed.Sentence), L), 1};
        });
        World_.Injuries.push_back(Injury);
    }
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

        TNation Nation;
        Nation.ID = static_cast<int32_t>(N);
        Nation.UniqueID = NextUniqueID();
        Nation.NationValue1 = Random_.Int(0, 1000);
        const auto Size = static_cast<double>(Plan.PeopleCount) / Options_.PeopleCount * Nations_.size();
        Nation.Reputation = static_cast<int16_t>(std::clamp(1000.0 + 2500.0 * Size, 500.0, 9800.0));
        Nation.FIFARankingPoints = Random_.Short(100, 800);
        Nation.NationValue2 = Random_.Short(0, 50);
        Nation.NationValue3 = Random_.Int(0, 100000);
        Nation.NationValue4 = Random_.Short(0, 20);
        Nation.ContinentID = Random_.Chance(80) ? Home.Continent : Random_.Int(0, 5);
        Nation.RegionID = Nation.ContinentID * RegionsPerContinent + Random_.Int(0, RegionsPerContinent - 1);
        if (Nation.ContinentID == 0)
            for (std::size_t Y = 0; Y < 6; ++Y)
                Nation.UEFACoefficients[Y] = static_cast<float>(Random_.Int(0, 160)) / 8.0f;
        for (std::size_t B = 0; B < Nation.NationBlock.size(); B += 3)
            Nation.NationBlock[B] = Random_.Byte(0, 255);
        Nation.StyleOfFootball = Random_.Byte(0, 5);
        Nation.StateOfDevelopment = Random_.Byte(1, 3);
        Nation.GroupMembership = Random_.Byte(0, 2);
        Nation.GameImportance = Random_.Byte(1, 20);
        Nation.LeagueStandard = Random_.Byte(1, 20);
        Nation.NationByte2 = Random_.Byte(0, 3);
        Nation.NationByte3 = Random_.Byte(0, 3);
        Nation.FIFAFullMember = static_cast<uint8_t>(Random_.Chance(90) ? 1 : 0);
        Nation.NationByte4 = Random_.Byte(0, 9);
        Nation.NationByte5 = Random_.Byte(0, 9);
        Nation.NationByte6 = Random_.Byte(0, 9);
        Nation.LanguageIDs = {Random_.Chance(75) ? Home.Language1 : Home.Language2};
        if (Random_.Chance(15) && Home.Language2 != Nation.LanguageIDs[0])
            Nation.LanguageIDs.push_back(Home.Language2);
        Nation.Container.Kits = {RandomKit()};
        if (Random_.Chance(70))
            Nation.Container.Kits.push_back(RandomKit());
        const std::u16string Three = Name.substr(0, 3);
        Nation.Texts = Translate<TNationText>([&](int32_t L) {
            TNationText Text;
            Text.Name = Tr(Name, L);
            Text.NameByte = 1;
            Text.ShortName = Tr(Name, L);
            Text.ShortNameByte = 1;
            Text.ThreeLetterName = Three;
            Text.NationalityName = Tr(Name + u"n", L);
            if (Plan.PeopleCount > Options_.PeopleCount / 50)
                Text.ExtraTexts = {Tr(Name + u" Football Association", L)};
            return Text;
        });
        World_.Nations.push_back(std::move(Nation));
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
            TCity City;
            City.ID = static_cast<int32_t>(World_.Cities.size());
            City.UniqueID = NextUniqueID();
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
            World_.Cities.push_back(std::move(City));
        }
        World_.Nations[N].CapitalCityID = Plan.Cities.front();
    }
}

} // namespace wb
