// Adding entities as the editor does: fresh keys, language slots, and both hash indexes.

#include "PyxDatabase.h"

#include <algorithm>

namespace {

template <class T> T* AddTranslated(TPyxDatabase& Database, TPyxObjects& Collection, std::unique_ptr<T> Entity) {
    Entity->ID = Collection.NextID();
    Entity->UniqueID = Collection.NextUniqueID();
    Database.AddLanguageSlots(*Entity);
    return static_cast<T*>(Collection.Add(std::move(Entity), true));
}

// A team shares its UniqueID with a club record, so a new one must be free in both collections: a key taken from
// the teams alone could be a club's that has no team (a nation's club record, an orphaned companion).
int32_t NextSharedUniqueID(TPyxClubs& Clubs, TPyxTeams& Teams) {
    const int32_t Key = std::max(Clubs.MaxUniqueID(), Teams.MaxUniqueID()) + 1;
    Clubs.NoteUniqueID(Key);
    Teams.NoteUniqueID(Key);
    return Key;
}

} // namespace

TPyxPerson* TPyxDatabase::AddPerson() {
    auto Person = std::make_unique<TPyxPerson>();
    Person->InitNew(GetVersion());
    Person->ID = People.NextID();
    Person->UniqueID = People.NextUniqueID();
    return static_cast<TPyxPerson*>(People.Add(std::move(Person), true));
}

TPyxClub* TPyxDatabase::AddClub() {
    auto Club = std::make_unique<TPyxClub>(GetVersion());
    auto Team = std::make_unique<TPyxTeam>();
    Club->ID = Clubs.NextID();
    Team->ID = Teams.NextID();
    Club->UniqueID = Team->UniqueID = NextSharedUniqueID(Clubs, Teams);
    Team->Container = Club.get();
    Club->Teams.Add(Team.get());
    AddLanguageSlots(*Club);
    Teams.Add(std::move(Team), true);
    return static_cast<TPyxClub*>(Clubs.Add(std::move(Club), true));
}

TPyxTeam* TPyxDatabase::AddSquad(TPyxClub& Club) {
    auto Companion = std::make_unique<TPyxClub>(GetVersion());
    auto Team = std::make_unique<TPyxTeam>();
    Companion->ID = Clubs.NextID();
    Team->ID = Teams.NextID();
    Companion->UniqueID = Team->UniqueID = NextSharedUniqueID(Clubs, Teams);
    Team->Container = &Club;
    Team->SquadType = 3;
    Club.Teams.Add(Team.get());
    AddLanguageSlots(*Companion);
    Clubs.Add(std::move(Companion), true);
    return static_cast<TPyxTeam*>(Teams.Add(std::move(Team), true));
}

TPyxStadium* TPyxDatabase::AddStadium() {
    return AddTranslated(*this, Stadiums, std::make_unique<TPyxStadium>());
}

TPyxCity* TPyxDatabase::AddCity() {
    return AddTranslated(*this, Cities, std::make_unique<TPyxCity>());
}

TPyxMedia* TPyxDatabase::AddMedia() {
    return AddTranslated(*this, Medias, std::make_unique<TPyxMedia>());
}
