#include "BuilderBase.h"
#include "BuilderSeeds.h"
#include "SampleText.h"

namespace wb {

void TBuilderBase::AddLanguages(std::size_t Known, int DirectoryCount, int DefaultPosition) {
    for (std::size_t I = 0; I < Known; ++I) {
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
    for (std::size_t I = 1; static_cast<int>(World_.LangDirectory.size()) < DirectoryCount - 1; ++I)
        World_.LangDirectory.push_back(LanguageSeeds[I].UniqueID);
    World_.LangDirectory.insert(World_.LangDirectory.begin() + DefaultPosition, DefaultLanguageUniqueID);
}

void TBuilderBase::AddContinent(const TContinentSeed& Seed, float RegionalStrength,
                                const std::vector<std::u16string>& ExtraTexts) {
    TContinent Continent;
    Continent.ID = static_cast<int32_t>(World_.Continents.size());
    Continent.UniqueID = NextUniqueID();
    Continent.RegionalStrength = RegionalStrength;
    Continent.ContinentByte = static_cast<uint8_t>(Continent.ID + 1);
    Continent.Texts = Translate<TContinentText>([&](int32_t L) {
        TContinentText Text;
        Text.Name = Tr(U16(Seed.Name), L);
        Text.NameByte = 1;
        Text.ShortName = Tr(U16(Seed.Short), L);
        Text.ContinentalityName = Tr(U16(Seed.Adjective), L);
        Text.FederationName = Tr(U16(Seed.Federation), L);
        Text.FederationNameByte = 2;
        Text.ShortFederationName = U16(Seed.FederationShort);
        Text.ShortFederationNameByte = static_cast<uint8_t>(Continent.ID == 0 ? 3 : 0);
        for (const auto& Extra : ExtraTexts)
            Text.ExtraTexts.push_back(Tr(Extra, L));
        return Text;
    });
    World_.Continents.push_back(Continent);
}

void TBuilderBase::AddRegions(int Count) {
    for (int I = 0; I < Count; ++I) {
        TRegion Region;
        Region.ID = static_cast<int32_t>(World_.Regions.size());
        Region.UniqueID = NextUniqueID();
        World_.Regions.push_back(Region);
    }
}

void TBuilderBase::AddSponsors(int Count) {
    for (int32_t I = 1; I <= Count; ++I) {
        TSponsor Sponsor;
        Sponsor.ID = I;
        Sponsor.UniqueID = NextUniqueID();
        World_.Sponsors.push_back(Sponsor);
    }
}

TWeather& TBuilderBase::AddWeather(std::size_t Climate) {
    TWeather Weather;
    Weather.ID = static_cast<int32_t>(World_.Weathers.size());
    Weather.UniqueID = NextUniqueID();
    Weather.Name = U16(Climates[Climate]);
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
    return World_.Weathers.back();
}

void TBuilderBase::AddPlayerType(int32_t ID, std::size_t Seed) {
    TPlayerType Type;
    Type.ID = ID;
    Type.UniqueID = NextUniqueID();
    Type.Texts = Translate<TPlayerTypeText>([&](int32_t L) {
        TPlayerTypeText Text;
        Text.TypeByte = static_cast<uint8_t>(Seed + 1);
        for (const char* Line : PlayerTypeTexts[Seed])
            Text.Texts.push_back(Tr(U16(Line), L));
        return Text;
    });
    World_.PlayerTypes.push_back(Type);
}

void TBuilderBase::AddStage(int32_t ID, std::size_t Seed) {
    const auto& Names = StageNames[Seed];
    TStage Stage;
    Stage.ID = ID;
    Stage.UniqueID = NextUniqueID();
    Stage.Texts = Translate<TStageText>(
        [&](int32_t L) { return TStageText{Tr(U16(Names[0]), L), 1, U16(Names[1]), 0, Tr(U16(Names[2]), L), 2}; });
    World_.Stages.push_back(Stage);
}

// Strains (category 4) recur.
void TBuilderBase::AddInjury(int32_t ID, std::size_t Seed, uint8_t InactiveRatio) {
    const auto& Known = InjurySeeds[Seed];
    TInjury Injury;
    Injury.ID = ID;
    Injury.UniqueID = NextUniqueID();
    Injury.Category = Known.Category;
    Injury.Chance = Known.Chance;
    Injury.MinimumDaysOut = Known.Minimum;
    Injury.ExtraDaysOut = Known.Extra;
    Injury.InactiveRatio = InactiveRatio;
    Injury.Recurring = static_cast<uint8_t>(Known.Category == 4 ? 1 : 0);
    Injury.Severity = Known.Severity;
    Injury.Texts = Translate<TInjuryText>([&](int32_t L) {
        return TInjuryText{Tr(U16(Known.Name), L), 0, Tr(U16(Known.Sentence), L), 1};
    });
    World_.Injuries.push_back(Injury);
}

} // namespace wb
