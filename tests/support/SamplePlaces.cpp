#include "SampleBuilder.h"
#include "SampleText.h"

#include <array>

namespace wb {

namespace {

struct TLanguageSeed {
    const char* Name;
    int32_t UniqueID;
    int16_t Family, Group, SubGroup;
    uint8_t Influence, Difficulty;
};

// English carries the default UniqueID 8 but is deliberately not the only possible first directory entry.
constexpr std::array<TLanguageSeed, 6> LanguageSeeds = {{{"English", 8, 1, 1, 1, 200, 5},
                                                         {"French", 3, 2, 3, 1, 150, 10},
                                                         {"German", 12, 1, 2, 1, 140, 12},
                                                         {"Spanish", 21, 2, 3, 2, 170, 8},
                                                         {"Italian", 5, 2, 3, 3, 120, 9},
                                                         {"Dutch", 30, 1, 2, 2, 60, 11}}};

constexpr std::array<const char*, 16> NationNames = {
    "Aldoria", "Belmark", "Corvania", "Dunmore", "Estravia", "Ferland",  "Galicor",  "Hestria",
    "Ivoria",  "Jorvik",  "Kalmar",   "Lorvan",  "Mardova",  "Norrland", "Ostravia", "Pellaro"};

std::u16string NationName(std::size_t N) {
    return N < NationNames.size() ? U16(NationNames[N]) : u"Nation " + U16(static_cast<long>(N));
}

} // namespace

void TSampleBuilder::AddLanguages() {
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
    // Further languages in a fixed order, English inserted at the requested position; Dutch is spoken but never
    // has a block of its own.
    World_.LangDirectory.assign({3, 12, 21, 5});
    World_.LangDirectory.resize(static_cast<std::size_t>(Options_.LanguageCount - 1));
    World_.LangDirectory.insert(World_.LangDirectory.begin() + Options_.DefaultLanguagePosition,
                                DefaultLanguageUniqueID);
}

void TSampleBuilder::AddContinents() {
    struct TSeed {
        const char *Name, *Short, *Adjective, *Federation, *FederationShort;
    };
    constexpr std::array<TSeed, 4> Seeds = {
        {{"Europe", "EUR", "European", "Federation of European Football", "FEF"},
         {"Africa", "AFR", "African", "African Football Union", "AFU"},
         {"Asia", "ASI", "Asian", "Asian Football Council", "AFC"},
         {"The Americas", "AME", "American", "Football Union of the Americas", "FUA"}}};
    for (std::size_t I = 0; I < Seeds.size(); ++I) {
        TContinent Continent;
        Continent.ID = static_cast<int32_t>(I);
        Continent.UniqueID = NextUniqueID();
        Continent.RegionalStrength = 1.0f - 0.2f * static_cast<float>(I);
        Continent.ContinentByte = static_cast<uint8_t>(I + 1);
        const auto& Seed = Seeds[I];
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
            if (I == 0)
                Text.ExtraTexts = {Tr(u"Champions Cup", L), Tr(u"Cup Winners Cup", L)};
            return Text;
        });
        World_.Continents.push_back(Continent);
    }
}

void TSampleBuilder::AddRegionsSponsorsWeather() {
    for (int32_t I = 0; I < 14; ++I) {
        TRegion Region;
        Region.ID = I;
        Region.UniqueID = NextUniqueID();
        World_.Regions.push_back(Region);
    }
    for (int32_t I = 1; I <= 2; ++I) {
        TSponsor Sponsor;
        Sponsor.ID = I;
        Sponsor.UniqueID = NextUniqueID();
        World_.Sponsors.push_back(Sponsor);
    }
    constexpr std::array<const char*, 3> Climates = {"Temperate Maritime", "Continental", "Mediterranean"};
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
        }
        World_.Weathers.push_back(Weather);
    }
}

void TSampleBuilder::AddPlayerTypesStagesInjuries() {
    constexpr std::array<std::array<const char*, 2>, 3> TypeTexts = {
        {{"Target Man", "Strong in the air"}, {"Poacher", "Lives in the box"}, {"Playmaker", "Dictates play"}}};
    for (std::size_t I = 0; I < TypeTexts.size(); ++I) {
        TPlayerType Type;
        Type.ID = static_cast<int32_t>(I + 1);
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

    constexpr std::array<std::array<const char*, 3>, 4> StageNames = {{{"Final", "F", "Finals"},
                                                                       {"Semi-Final", "SF", "Semi-Finals"},
                                                                       {"Quarter-Final", "QF", "Quarter-Finals"},
                                                                       {"Group Stage", "GS", "Group Stages"}}};
    for (std::size_t I = 0; I < StageNames.size(); ++I) {
        TStage Stage;
        Stage.ID = static_cast<int32_t>(I + 1);
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
    constexpr std::array<TInjurySeed, 4> Injuries = {{{"Broken Leg", "a broken leg", 2, 3, 90, 60, 3},
                                                      {"Twisted Ankle", "a twisted ankle", 1, 40, 5, 10, 1},
                                                      {"Hamstring Strain", "a strained hamstring", 4, 30, 10, 20, 2},
                                                      {"Flu", "the flu", 0, 20, 3, 7, 255}}};
    for (std::size_t I = 0; I < Injuries.size(); ++I) {
        const auto& Seed = Injuries[I];
        TInjury Injury;
        Injury.ID = static_cast<int32_t>(2 * I);
        Injury.UniqueID = NextUniqueID();
        Injury.Category = Seed.Category;
        Injury.Chance = Seed.Chance;
        Injury.MinimumDaysOut = Seed.Minimum;
        Injury.ExtraDaysOut = Seed.Extra;
        Injury.InactiveRatio = static_cast<uint8_t>(10 * I);
        Injury.Recurring = static_cast<uint8_t>(I == 2 ? 1 : 0);
        Injury.Severity = Seed.Severity;
        Injury.Texts = Translate<TInjuryText>([&](int32_t L) {
            return TInjuryText{Tr(U16(Seed.Name), L), 0, Tr(U16(Seed.Sentence), L), 1};
        });
        World_.Injuries.push_back(Injury);
    }
}

void TSampleBuilder::AddNations() {
    const auto Count = static_cast<std::size_t>(Options_.PeopleCount);
    for (std::size_t N = 0; N < Count; ++N) {
        TNation Nation;
        Nation.ID = static_cast<int32_t>(N);
        Nation.UniqueID = NextUniqueID();
        Nation.NationValue1 = Random_.Int(0, 1000);
        Nation.Reputation = Random_.Short(1000, 9000);
        Nation.FIFARankingPoints = Random_.Short(100, 800);
        Nation.NationValue2 = Random_.Short(0, 50);
        Nation.NationValue3 = Random_.Int(0, 100000);
        Nation.NationValue4 = Random_.Short(0, 20);
        Nation.ContinentID = static_cast<int32_t>(N % 4);
        Nation.RegionID = static_cast<int32_t>((N * 5) % 14);
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
        Nation.FIFAFullMember = static_cast<uint8_t>(N % 7 == 6 ? 0 : 1);
        Nation.NationByte4 = Random_.Byte(0, 9);
        Nation.NationByte5 = Random_.Byte(0, 9);
        Nation.NationByte6 = Random_.Byte(0, 9);
        Nation.LanguageIDs = {static_cast<int32_t>(N % 5)};
        if (N == 0)
            Nation.LanguageIDs.push_back(1);
        Nation.Container.Kits = {RandomKit()};
        if (N % 2 == 0)
            Nation.Container.Kits.push_back(RandomKit());
        const std::u16string Name = NationName(N);
        Nation.Texts = Translate<TNationText>([&](int32_t L) {
            TNationText Text;
            Text.Name = Tr(Name, L);
            Text.NameByte = 1;
            Text.ShortName = Tr(Name, L);
            Text.ShortNameByte = 1;
            Text.ThreeLetterName = Name.substr(0, 3);
            Text.NationalityName = Tr(Name + u"n", L);
            if (N == 0)
                Text.ExtraTexts = {Tr(Name + u" Football Association", L)};
            return Text;
        });
        World_.Nations.push_back(std::move(Nation));
    }
}

void TSampleBuilder::AddCities() {
    struct TSeed {
        const char *Name, *Citizen;
        int32_t Nation, Weather;
        float Latitude, Longitude;
    };
    constexpr std::array<TSeed, 6> Seeds = {{{"Northport", "Northporter", 0, 0, 54.25f, -1.5f},
                                             {"Aldenburg", "Aldenburger", 0, 1, 52.125f, 0.75f},
                                             {"Eastbridge", "Eastbridger", 1, 0, 48.5f, 7.25f},
                                             {"Westfield", "Westfielder", 3, 2, 41.0f, -8.5f},
                                             {"Estra", "Estran", 4, 2, 38.75f, 23.5f},
                                             {"Talvas", "", -1, -1, -12.5f, 130.25f}}};
    for (std::size_t I = 0; I < Seeds.size(); ++I) {
        const auto& Seed = Seeds[I];
        TCity City;
        City.ID = static_cast<int32_t>(I);
        City.UniqueID = NextUniqueID();
        City.Latitude = Seed.Latitude;
        City.Longitude = Seed.Longitude;
        City.Attraction = Random_.Byte(1, 20);
        City.NationID = Seed.Nation;
        City.WeatherID = Seed.Weather;
        City.Altitude = Random_.Short(0, 900);
        City.Texts = Translate<TCityText>([&](int32_t L) {
            return TCityText{Tr(U16(Seed.Name), L), static_cast<uint8_t>(I % 3), Tr(U16(Seed.Citizen), L), 1};
        });
        World_.Cities.push_back(City);
    }
    World_.Nations[0].CapitalCityID = 1;
    World_.Nations[1].CapitalCityID = 2;
    World_.Nations[3].CapitalCityID = 3;
    World_.Nations[4].CapitalCityID = 4;
}

void TSampleBuilder::AddStadiums() {
    struct TSeed {
        const char* Name;
        int32_t Club, City, Nearby, Capacity;
        uint8_t Flags, State;
    };
    constexpr std::array<TSeed, 5> Seeds = {{{"Harbour Park", Northport, 0, -1, 32000, 0x03, 2},
                                             {"New Harbour Arena", Northport, 0, 0, 45000, 0x09, 1},
                                             {"Bridge Road", Eastbridge, 2, -1, 18500, 0x01, 3},
                                             {"Westfield Stadium", Westfield, 3, 2, 15000, 0x13, 4},
                                             {"Aldoria National Stadium", -1, 1, 0, 70000, 0x03, 1}}};
    for (std::size_t I = 0; I < Seeds.size(); ++I) {
        const auto& Seed = Seeds[I];
        TStadium Stadium;
        Stadium.ID = static_cast<int32_t>(I);
        Stadium.UniqueID = NextUniqueID();
        Stadium.Capacity = Seed.Capacity;
        Stadium.SeatingCapacity = Seed.Capacity - Random_.Int(0, 5000);
        Stadium.ExpansionCapacity = Random_.Int(0, 10000);
        Stadium.Flags = Seed.Flags;
        Stadium.ClubID = Seed.Club;
        Stadium.Decay = Random_.Byte(1, 10);
        Stadium.UsedCapacity = Seed.Capacity;
        Stadium.PitchLength = Random_.Short(100, 110);
        Stadium.PitchWidth = Random_.Short(64, 75);
        Stadium.StadiumByte1 = Random_.Byte(0, 3);
        Stadium.State = Seed.State;
        Stadium.Extinct = 0;
        Stadium.StadiumByte2 = Random_.Byte(0, 3);
        Stadium.CityID = Seed.City;
        Stadium.NearbyStadiumID = Seed.Nearby;
        Stadium.Texts = Translate<TStadiumText>([&](int32_t L) { return TStadiumText{Tr(U16(Seed.Name), L), 0}; });
        World_.Stadiums.push_back(Stadium);
    }
    World_.Nations[0].NationalStadiumID = 4;
}

} // namespace wb
