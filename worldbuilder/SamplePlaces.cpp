#include "BuilderSeeds.h"
#include "SampleBuilder.h"
#include "SampleText.h"

#include <array>

namespace wb {

namespace {

constexpr std::array<const char*, 16> NationNames = {
    "Aldoria", "Belmark", "Corvania", "Dunmore", "Estravia", "Ferland",  "Galicor",  "Hestria",
    "Ivoria",  "Jorvik",  "Kalmar",   "Lorvan",  "Mardova",  "Norrland", "Ostravia", "Pellaro"};

std::u16string NationName(std::size_t N) {
    return N < NationNames.size() ? U16(NationNames[N]) : u"Nation " + U16(static_cast<long>(N));
}

} // namespace

// Six languages, English at the requested position of the directory among the next ones in table order; Dutch is
// spoken but never has a block of its own.
void TSampleBuilder::AddLanguages() {
    TBuilderBase::AddLanguages(6, Options_.LanguageCount, Options_.DefaultLanguagePosition);
}

// Three of the generator's continents and the Americas as one; only Europe names its competitions.
void TSampleBuilder::AddContinents() {
    const std::array<TContinentSeed, 4> Seeds = {
        ContinentSeeds[0], ContinentSeeds[1], ContinentSeeds[2],
        TContinentSeed{"The Americas", "AME", "American", "Football Union of the Americas", "FUA", 0.0f, 0.0f}};
    for (std::size_t I = 0; I < Seeds.size(); ++I)
        AddContinent(Seeds[I], 1.0f - 0.2f * static_cast<float>(I),
                     I == 0 ? std::vector<std::u16string>{u"Champions Cup", u"Cup Winners Cup"}
                            : std::vector<std::u16string>{});
}

void TSampleBuilder::AddRegionsSponsorsWeather() {
    AddRegions(14);
    AddSponsors(2);
    for (std::size_t I = 0; I < 3; ++I)
        AddWeather(I);
}

// The first player types and injuries of the tables, and the final, semi-final, quarter-final and group stage.
void TSampleBuilder::AddPlayerTypesStagesInjuries() {
    for (std::size_t I = 0; I < 3; ++I)
        AddPlayerType(static_cast<int32_t>(I + 1), I);
    constexpr std::array<std::size_t, 4> Stages = {0, 1, 2, 4};
    for (std::size_t I = 0; I < Stages.size(); ++I)
        AddStage(static_cast<int32_t>(I + 1), Stages[I]);
    for (std::size_t I = 0; I < 4; ++I)
        AddInjury(static_cast<int32_t>(2 * I), I, static_cast<uint8_t>(10 * I));
}

void TSampleBuilder::AddNations() {
    const auto Count = static_cast<std::size_t>(Options_.PeopleCount);
    for (std::size_t N = 0; N < Count; ++N) {
        TNation& Nation = AddRecord(World_.Nations);
        DrawNationFigures(Nation, [&] { return Random_.Short(1000, 9000); });
        Nation.ContinentID = static_cast<int32_t>(N % 4);
        Nation.RegionID = static_cast<int32_t>((N * 5) % 14);
        DrawNationCharacter(Nation, [&] { return static_cast<uint8_t>(N % 7 == 6 ? 0 : 1); });
        Nation.LanguageIDs = {static_cast<int32_t>(N % 5)};
        if (N == 0)
            Nation.LanguageIDs.push_back(1);
        Nation.Container.Kits = {RandomKit()};
        if (N % 2 == 0)
            Nation.Container.Kits.push_back(RandomKit());
        Nation.Texts = NationTexts(NationName(N), N == 0);
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
        TCity& City = AddRecord(World_.Cities);
        City.Latitude = Seed.Latitude;
        City.Longitude = Seed.Longitude;
        City.Attraction = Random_.Byte(1, 20);
        City.NationID = Seed.Nation;
        City.WeatherID = Seed.Weather;
        City.Altitude = Random_.Short(0, 900);
        City.Texts = Translate<TCityText>([&](int32_t L) {
            return TCityText{Tr(U16(Seed.Name), L), static_cast<uint8_t>(I % 3), Tr(U16(Seed.Citizen), L), 1};
        });
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
        TStadium& Stadium = AddRecord(World_.Stadiums);
        Stadium.Capacity = Seed.Capacity;
        Stadium.SeatingCapacity = Seed.Capacity - Random_.Int(0, 5000);
        Stadium.ExpansionCapacity = Random_.Int(0, 10000);
        Stadium.Flags = Seed.Flags;
        Stadium.ClubID = Seed.Club;
        DrawGround(Stadium, [&] { return Seed.State; });
        Stadium.CityID = Seed.City;
        Stadium.NearbyStadiumID = Seed.Nearby;
        Stadium.Texts = Translate<TStadiumText>([&](int32_t L) { return TStadiumText{Tr(U16(Seed.Name), L), 0}; });
    }
    World_.Nations[0].NationalStadiumID = 4;
}

} // namespace wb
