// Adding entities as the editor does: fresh keys, language slots, and both hash indexes.

#include "PyxDatabase.h"

#include <algorithm>
#include <utility>

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

// A new club record and a new team that share a fresh UniqueID; the team is filed under Owner, or under the new club
// itself when there is no owner.
std::pair<TPyxClub*, TPyxTeam*> AddClubAndTeam(TPyxDatabase& Database, TPyxClub* Owner) {
    auto Club = std::make_unique<TPyxClub>(Database.GetVersion());
    auto Team = std::make_unique<TPyxTeam>();
    Club->ID = Database.Clubs.NextID();
    Team->ID = Database.Teams.NextID();
    Club->UniqueID = Team->UniqueID = NextSharedUniqueID(Database.Clubs, Database.Teams);
    Team->Container = Owner ? Owner : Club.get();
    Team->Container->Teams.Add(Team.get());
    Database.AddLanguageSlots(*Club);
    auto* NewTeam = static_cast<TPyxTeam*>(Database.Teams.Add(std::move(Team), true));
    return {static_cast<TPyxClub*>(Database.Clubs.Add(std::move(Club), true)), NewTeam};
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
    return AddClubAndTeam(*this, nullptr).first;
}

TPyxTeam* TPyxDatabase::AddSquad(TPyxClub& Club) {
    if (Club.Teams.Count() == 0)
        return nullptr;
    // The new club record is the squad's companion, which lends it its UniqueID.
    TPyxTeam* Team = AddClubAndTeam(*this, &Club).second;
    Team->SquadType = 3;
    return Team;
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
