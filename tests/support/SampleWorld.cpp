#include "SampleWorld.h"

#include "SampleBuilder.h"
#include "SaveOrder.h"
#include "Writers.h"

#include <algorithm>
#include <stdexcept>

namespace wb {

TSampleBuilder::TSampleBuilder(const TSampleOptions& Options) : Options_(Options), Random_(Options.Seed) {
    if (Options_.Version != 112 && Options_.Version != 145 && Options_.Version != 147)
        throw std::invalid_argument("sample worlds exist for versions 112, 145 and 147");
    Options_.LanguageCount = std::clamp(Options_.LanguageCount, 1, 5);
    Options_.DefaultLanguagePosition = std::clamp(Options_.DefaultLanguagePosition, 0, Options_.LanguageCount - 1);
    Options_.PeopleCount = std::max(Options_.PeopleCount, 12);
    if (Options_.LangVersion == 0)
        Options_.LangVersion = Options_.Version;
    UniqueIDs_ = Random_.Distinct(600 + 40 * static_cast<std::size_t>(Options_.PeopleCount), 1000, 9999999);
}

int32_t TSampleBuilder::NextUniqueID() {
    return UniqueIDs_.at(NextUniqueID_++);
}

TDate TSampleBuilder::RandomDate(int FirstYear, int LastYear) {
    return TDate{Random_.Short(0, 364), Random_.Short(FirstYear, LastYear)};
}

TColor TSampleBuilder::RandomKit() {
    return TColor{Random_.Short(0, 0x7FFF), Random_.Short(0, 0x7FFF), Random_.Short(0, 0x7FFF)};
}

// Texts in further languages carry the language's tag and a character outside Latin-1's ASCII half, so that
// every language block differs and the UTF-16 path is exercised.
std::u16string TSampleBuilder::Tr(std::u16string_view Base, int32_t Language) const {
    if (Language == DefaultLanguageUniqueID || Base.empty())
        return std::u16string(Base);
    std::u16string Tag;
    for (const auto& Known : World_.Languages)
        if (Known.UniqueID == Language)
            Tag = Known.Name.substr(0, 2);
    return std::u16string(Base) + u" \u00B7 " + Tag;
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
    AddRelationships();
    AddClubAndNationLinks();
    AddAwards();
    AddAwardHistories();
    AddCompetitionHistories();
    AddMedia();
    AddStadiumMoves();
    AddClubDebts();
    AddAttachedRecords();
    AddPlayingHistories();
    Finish();
    return std::move(World_);
}

// What is derived from the rest: counts the game keeps, the names' order and the nations' ranges of them, the
// playing histories' order, texts the server records repeat, and the language offsets.
void TSampleBuilder::Finish() {
    for (std::size_t N = 0; N < World_.Nations.size(); ++N) {
        auto& Nation = World_.Nations[N];
        const auto ID = static_cast<int32_t>(N);
        Nation.PersonCount = static_cast<int32_t>(std::count_if(World_.People.begin(), World_.People.end(),
                                                                [&](const TPerson& P) { return P.NationID == ID; }));
        Nation.ClubCount = static_cast<int16_t>(
            std::count_if(World_.Clubs.begin(), World_.Clubs.end(), [&](const TClub& C) { return C.NationID == ID; }));
    }
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
