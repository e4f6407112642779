// Deleting clubs and nations: each is unlinked from every other collection before it is freed.

#include "PyxDatabase.h"

#include <algorithm>
#include <vector>

namespace {

// The container's teams, last to first, followed by any team that names the container without being in its list
// (it would otherwise be left pointing at a freed container).
std::vector<TPyxTeam*> TeamsOf(const TPyxTeamContainer* Container, const TPyxTeams& AllTeams) {
    std::vector<TPyxTeam*> Result(Container->Teams.Data().rbegin(), Container->Teams.Data().rend());
    AllTeams.ForEach([&](TPyxTeam* T) {
        if (T->Container == Container && std::find(Result.begin(), Result.end(), T) == Result.end())
            Result.push_back(T);
    });
    return Result;
}

bool HasTeams(const TPyxClub* Club, const TPyxTeams& AllTeams) {
    if (Club->Teams.Count() > 0)
        return true;
    for (int32_t I = 0; I < AllTeams.Count(); ++I)
        if (AllTeams.Items(I)->Container == Club)
            return true;
    return false;
}

} // namespace

bool TPyxClub::DeleteTeam(TPyxDatabase& Database, TPyxTeam* Team) {
    if (!Team || Team->Container != this)
        return false;
    // The first team shares the club's UniqueID, and the save writes the club's first listed team as that team:
    // with another squad moved up, the club would be written with a team that does not share its key.
    if (Teams.Count() > 1 && Teams.Items(0) == Team)
        return false;
    Teams.RemoveAll(Team);
    // A further squad shares its UniqueID with a companion club created with it; the first team shares it with
    // this club. Only a companion that runs no team of its own goes with the squad, and only after it: the clubs'
    // Delete refuses a companion while its squad is there.
    TPyxClub* Companion = Database.Clubs.FindByUniqueID(Team->UniqueID);
    const bool CompanionGoes = Companion && Companion != this && !HasTeams(Companion, Database.Teams);
    Database.Teams.Delete(Team);
    if (CompanionGoes)
        Database.Clubs.Delete(Companion);
    return true;
}

const TPyxTeam* TPyxClubs::TeamStoodFor(const TPyxClub& Club) const {
    const TPyxTeam* Team = Database_.Teams.FindByUniqueID(Club.UniqueID);
    return Team != nullptr && Team->Container != &Club ? Team : nullptr;
}

void TPyxClubs::Delete(TPyxObject* Entity) {
    auto* Club = static_cast<TPyxClub*>(Entity);
    if (!Club || IndexOf(Club) < 0 || TeamStoodFor(*Club) != nullptr)
        return;
    TPyxDatabase& Db = Database_;
    Club->SetNation(nullptr);

    // The club's posts, from a snapshot: taking one person out changes the lists. Only people whose club team
    // is one of this club's leave through the setter; a stale entry must not cost anyone a post elsewhere.
    std::vector<TPyxPerson*> Posts;
    if (Club->Chairman)
        Posts.push_back(Club->Chairman);
    Posts.insert(Posts.end(), Club->BoardMembers.Data().rbegin(), Club->BoardMembers.Data().rend());
    Posts.insert(Posts.end(), Club->Scouts.Data().rbegin(), Club->Scouts.Data().rend());
    for (TPyxPerson* P : Posts)
        if (P->ClubTeam && P->ClubTeam->Container == Club)
            P->SetClubTeam(nullptr);

    for (TPyxTeam* T : TeamsOf(Club, Db.Teams)) {
        if (T->Container == Club)
            Club->DeleteTeam(Db, T);
        else
            Club->Teams.RemoveAll(T);
    }

    ForEach([&](TPyxClub* C) { C->RemoveClub(Club); });
    Db.Nations.ForEach([&](TPyxNation* N) { N->RemoveClub(Club); });
    Db.Medias.ForEach([&](TPyxMedia* M) { M->RemoveClub(Club); });
    Db.People.ForEach([&](TPyxPerson* P) { P->UnlinkClub(Club); });
    Db.Stadiums.ForEach([&](TPyxStadium* S) { S->UnlinkClub(Club); });
    TPyxObjects::Delete(Club);
}

void TPyxNations::Delete(TPyxObject* Entity) {
    auto* Nation = static_cast<TPyxNation*>(Entity);
    if (!Nation || IndexOf(Nation) < 0)
        return;
    TPyxDatabase& Db = Database_;
    for (TPyxTeam* T : TeamsOf(Nation, Db.Teams)) {
        Nation->Teams.RemoveAll(T);
        if (T->Container == Nation)
            Db.Teams.Delete(T);
    }
    Db.Awards.ClearReferences(&TPyxAward::Nation, Nation);
    Db.Cities.ClearReferences(&TPyxCity::Nation, Nation);
    Db.Clubs.ForEach([&](TPyxClub* C) { C->RemoveNation(Nation); });
    Db.Competitions.ClearReferences(&TPyxCompetition::Nation, Nation);
    Db.Medias.ForEach([&](TPyxMedia* M) { M->ClearTarget(Nation); });
    for (TPyxNames* Pool : {&Db.FirstNames, &Db.SecondNames, &Db.CommonNames})
        Pool->ClearReferences(&TPyxName::Nation, Nation);
    ForEach([&](TPyxNation* N) { N->RemoveNation(Nation); });
    Db.People.ForEach([&](TPyxPerson* P) { P->UnlinkNation(Nation); });
    TPyxObjects::Delete(Nation);
}
