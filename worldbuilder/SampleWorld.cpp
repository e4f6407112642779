#include "SampleWorld.h"

#include "SampleBuilder.h"
#include "SaveOrder.h"
#include "Writers.h"

#include <algorithm>
#include <stdexcept>

namespace wb {

TSampleBuilder::TSampleBuilder(const TSampleOptions& Options) : TBuilderBase(Options.Seed), Options_(Options) {
    if (Options_.Version != 112 && Options_.Version != 145 && Options_.Version != 147)
        throw std::invalid_argument("sample worlds exist for versions 112, 145 and 147");
    Options_.LanguageCount = std::clamp(Options_.LanguageCount, 1, 5);
    Options_.DefaultLanguagePosition = std::clamp(Options_.DefaultLanguagePosition, 0, Options_.LanguageCount - 1);
    Options_.PeopleCount = std::max(Options_.PeopleCount, 12);
    if (Options_.LangVersion == 0)
        Options_.LangVersion = Options_.Version;
    // UniqueIDs come from an odd-multiplier affine map modulo a power of two: distinct for every counter value
    // below the modulus and scattered, so that UniqueID order differs from table order, at any world size.
    const auto Needed = 600 + 40 * static_cast<uint64_t>(Options_.PeopleCount);
    while ((uint64_t{1} << UniqueIDBits_) < Needed)
        ++UniqueIDBits_;
    UniqueIDMultiplier_ = (Random_.Next() | 1u) & ((uint64_t{1} << UniqueIDBits_) - 1);
    UniqueIDOffset_ = Random_.Next();
}

int32_t TSampleBuilder::NextUniqueID() {
    const uint64_t Mask = (uint64_t{1} << UniqueIDBits_) - 1;
    return static_cast<int32_t>(1000 + ((NextUniqueID_++ * UniqueIDMultiplier_ + UniqueIDOffset_) & Mask));
}

TWorld TSampleBuilder::Build() {
    World_ = EmptyWorld(Options_.Version);
    World_.LangVersion = Options_.LangVersion;
    World_.Languages.clear();
    AddLanguages();
    AddContinents();
    AddRegionsSponsorsWeather();
    AddPlayerTypesStagesInjuries();
    AddNations();
    AddCities();
    AddStadiums();
    AddCompetitions();
    AddClubs();
    AddTeams();
    PlanPeople();
    AddPeople();
    FileIntoTeams();
    AddRecordsAfterPeople();
    Finish();
    return std::move(World_);
}

// What is derived from the rest: counts the game keeps, the names' order and the nations' ranges of them, the
// playing histories' order, texts the server records repeat, and the language offsets.
void TSampleBuilder::Finish() {
    CountNationMembers();
    SortNamePools(World_);
    RealignNames(World_);
    SortPlayingHistories(World_);
    SyncServerTexts(World_);
    AlignLangFileOffsets(World_);
}

TWorld SampleWorld(const TSampleOptions& Options) {
    return TSampleBuilder(Options).Build();
}

namespace {

template <class TEntity, class TCopy> void SyncKind(std::vector<TEntity>& Items, TCopy Copy) {
    for (auto& Item : Items) {
        const auto It = Item.Texts.find(DefaultLanguageUniqueID);
        if (It != Item.Texts.end())
            Copy(Item, It->second);
    }
}

} // namespace

void SyncServerTexts(TWorld& World) {
    SyncKind(World.Cities, [](TCity& City, const TCityText& Text) {
        City.NameByte = Text.NameByte;
        City.CitizenName = Text.CitizenName;
        City.CitizenByte = Text.CitizenByte;
    });
    SyncKind(World.Continents, [](TContinent& Continent, const TContinentText& Text) {
        Continent.NameByte = Text.NameByte;
        Continent.FederationNameByte = Text.FederationNameByte;
        Continent.ShortFederationNameByte = Text.ShortFederationNameByte;
    });
    SyncKind(World.Awards, [](TAward& Award, const TAwardText& Text) {
        Award.NameByte = Text.NameByte;
        Award.ShortNameByte = Text.ShortNameByte;
    });
    SyncKind(World.Competitions, [](TCompetition& Competition, const TCompetitionText& Text) {
        Competition.NameByte = Text.NameByte;
        Competition.ShortNameByte = Text.ShortNameByte;
    });
    SyncKind(World.Clubs, [](TClub& Club, const TClubText& Text) {
        Club.Container.Name = Text.Name;
        Club.Container.NameByte = Text.NameByte;
        Club.Container.ShortName = Text.ShortName;
        Club.Container.ShortNameByte = Text.ShortNameByte;
        Club.ClubTextByte = Text.ClubTextByte;
        Club.Nickname1 = Text.Nickname1;
        Club.Nickname1Byte = Text.Nickname1Byte;
        Club.Nickname2 = Text.Nickname2;
    });
    SyncKind(World.Nations, [](TNation& Nation, const TNationText& Text) {
        Nation.Container.Name = Text.Name;
        Nation.Container.NameByte = Text.NameByte;
        Nation.Container.ShortName = Text.ShortName;
        Nation.Container.ShortNameByte = Text.ShortNameByte;
    });
    SyncKind(World.Stadiums, [](TStadium& Stadium, const TStadiumText& Text) { Stadium.NameByte = Text.NameByte; });
    SyncKind(World.Stages, [](TStage& Stage, const TStageText& Text) { Stage.Own = Text; });
    SyncKind(World.Medias, [](TMedia& Media, const TMediaText& Text) {
        Media.ShortName = Text.ShortName;
        Media.ShortNameByte = Text.ShortNameByte;
        Media.LongName = Text.LongName;
        Media.LongNameByte = Text.LongNameByte;
    });
    SyncKind(World.Injuries, [](TInjury& Injury, const TInjuryText& Text) {
        Injury.Name = Text.Name;
        Injury.NameByte = Text.NameByte;
        Injury.SentenceName = Text.SentenceName;
        Injury.SentenceNameByte = Text.SentenceNameByte;
    });
    SyncKind(World.PlayerTypes, [](TPlayerType& Type, const TPlayerTypeText& Text) { Type.TypeByte = Text.TypeByte; });
}

} // namespace wb
