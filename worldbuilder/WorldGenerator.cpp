#include "WorldGenerator.h"

#include "GeneratorBuilder.h"
#include "SampleWorld.h"
#include "SaveOrder.h"
#include "Writers.h"

#include <stdexcept>

namespace wb {

TWorldGenerator::TWorldGenerator(const TGeneratorOptions& Options)
    : TBuilderBase(Options.Seed), Options_(Options), Names_(Random_) {
    if (Options_.Version != 112 && Options_.Version != 145 && Options_.Version != 147)
        throw std::invalid_argument("worlds exist for versions 112, 145 and 147");
    if (Options_.PeopleCount < 1 || Options_.PeopleCount > 5000000)
        throw std::invalid_argument("a world holds 1 to 5,000,000 persons");
    if (Options_.LanguageCount < 1 || Options_.LanguageCount > MaxGeneratedLanguages)
        throw std::invalid_argument("a world has 1 to " + std::to_string(MaxGeneratedLanguages) + " languages");
    if (Options_.DefaultLanguagePosition < 0)
        Options_.DefaultLanguagePosition = Options_.LanguageCount > 1 ? 1 : 0;
    if (Options_.DefaultLanguagePosition >= Options_.LanguageCount)
        throw std::invalid_argument("the default language's position lies outside the directory");
    if (Options_.RetiredPerMille < 0 || Options_.RetiredPerMille > 1000)
        throw std::invalid_argument("retired persons are 0 to 1000 per thousand");
}

TWorld TWorldGenerator::Build() {
    World_ = EmptyWorld(Options_.Version);
    World_.Languages.clear();
    AddLanguages();
    AddContinentsAndRegions();
    AddSponsorsWeatherTypesStagesInjuries();
    PlanNations();
    AddNations();
    AddCities();
    AddCompetitions();
    AddClubsAndStadiums();
    AddTeams();
    PlanPeople();
    AddPeople();
    PlanNationalTeams();
    AddNames();
    FileIntoTeams();
    AddPersonLanguages();
    AddRecordsAfterPeople();

    // What is derived from the rest: the counts the game keeps, the save's order and numbering, the texts the
    // server records repeat, and (once every table's size is final) the language blocks' offsets.
    CountNationMembers();
    ApplySaveOrder(World_);
    SyncServerTexts(World_);
    AddRetiredPersons();
    AlignLangFileOffsets(World_);
    return std::move(World_);
}

TWorld GenerateWorld(const TGeneratorOptions& Options) {
    return TWorldGenerator(Options).Build();
}

} // namespace wb
