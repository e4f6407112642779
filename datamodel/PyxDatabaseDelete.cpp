// Deleting entities as the editor does: each is unlinked from every collection that refers to it before it is freed.

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

bool TPyxDatabase::DeleteClubTeam(TPyxClub& Club, TPyxTeam* Team) {
    if (!Team || Team->Container != &Club)
        return false;
    // The first team shares the club's UniqueID, and the save writes the club's first listed team as that team:
    // with another squad moved up, the club would be written with a team that does not share its key.
    if (Club.Teams.Count() > 1 && Club.Teams.Items(0) == Team)
        return false;
    Club.Teams.RemoveAll(Team);
    // A further squad shares its UniqueID with a companion club created with it; the first team shares it with
    // this club. Only a companion that runs no team of its own goes with the squad, and only after it: DeleteClub
    // refuses a companion while its squad is there.
    TPyxClub* Companion = Clubs.FindByUniqueID(Team->UniqueID);
    const bool CompanionGoes = Companion && Companion != &Club && !HasTeams(Companion, Teams);
    DeleteTeam(Team);
    if (CompanionGoes)
        DeleteClub(Companion);
    return true;
}

const TPyxTeam* TPyxDatabase::TeamStoodFor(const TPyxClub& Club) const {
    const TPyxTeam* Team = Teams.FindByUniqueID(Club.UniqueID);
    return Team != nullptr && Team->Container != &Club ? Team : nullptr;
}

void TPyxDatabase::DeleteClub(TPyxClub* Club) {
    if (!Club || Clubs.IndexOf(Club) < 0 || TeamStoodFor(*Club) != nullptr)
        return;
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

    for (TPyxTeam* T : TeamsOf(Club, Teams)) {
        if (T->Container == Club)
            DeleteClubTeam(*Club, T);
        else
            Club->Teams.RemoveAll(T);
    }

    Clubs.ForEach([&](TPyxClub* C) { C->RemoveClub(Club); });
    Nations.ForEach([&](TPyxNation* N) { N->RemoveClub(Club); });
    Medias.ForEach([&](TPyxMedia* M) { M->RemoveClub(Club); });
    People.ForEach([&](TPyxPerson* P) { P->UnlinkClub(Club); });
    Stadiums.ForEach([&](TPyxStadium* S) { S->UnlinkClub(Club); });
    Clubs.TPyxObjects::Delete(Club);
}

void TPyxDatabase::DeleteNation(TPyxNation* Nation) {
    if (!Nation || Nations.IndexOf(Nation) < 0)
        return;
    for (TPyxTeam* T : TeamsOf(Nation, Teams)) {
        Nation->Teams.RemoveAll(T);
        if (T->Container == Nation)
            DeleteTeam(T);
    }
    Awards.ClearReferences(&TPyxAward::Nation, Nation);
    Cities.ClearReferences(&TPyxCity::Nation, Nation);
    Clubs.ForEach([&](TPyxClub* C) { C->RemoveNation(Nation); });
    Competitions.ClearReferences(&TPyxCompetition::Nation, Nation);
    Medias.ForEach([&](TPyxMedia* M) { M->ClearTarget(Nation); });
    for (TPyxNames* Pool : {&Names.FirstNames, &Names.SecondNames, &Names.CommonNames})
        Pool->ClearReferences(&TPyxName::Nation, Nation);
    Nations.ForEach([&](TPyxNation* N) { N->RemoveNation(Nation); });
    People.ForEach([&](TPyxPerson* P) { P->UnlinkNation(Nation); });
    Nations.TPyxObjects::Delete(Nation);
}

void TPyxDatabase::DeleteTeam(TPyxTeam* Team) {
    if (!Team || Teams.IndexOf(Team) < 0)
        return;
    // Every person whose post is this team leaves it through the setters, whatever the job: chairmen, board
    // members and scouts (and people of job 0) are in none of the team's lists, and national jobs never file
    // into the club's posts. People listed here whose post is elsewhere keep it.
    People.ForEach([&](TPyxPerson* P) { P->UnlinkTeam(Team); });
    Competitions.ForEach([&](TPyxCompetition* C) { C->RemoveTeam(Team); });
    Clubs.ForEach([&](TPyxClub* C) { C->RemoveTeam(Team); });
    Nations.ForEach([&](TPyxNation* N) { N->RemoveTeam(Team); });
    Teams.TPyxObjects::Delete(Team);
}

void TPyxDatabase::DeletePerson(TPyxPerson* Person) {
    if (!Person || People.IndexOf(Person) < 0)
        return;
    Person->SetFirstName(Names, u"");
    Person->SetSecondName(Names, u"");
    Person->SetCommonName(Names, u"");
    Person->SetNation(Names, nullptr);
    Person->SetClubTeam(nullptr);
    Person->SetNationalTeam(nullptr);
    Person->EndCoOwnership();
    Awards.ForEach([&](TPyxAward* A) { A->RemovePerson(Person); });
    // Every post and list that still names the person goes too, wherever the person's own post was: a former
    // club's sell-on records, a stale chairman or captain, another squad's lists.
    Clubs.ForEach([&](TPyxClub* C) { C->RemovePerson(Person); });
    Nations.ForEach([&](TPyxNation* N) { N->RemovePerson(Person); });
    Teams.ForEach([&](TPyxTeam* T) { T->RemovePerson(Person); });
    People.ForEach([&](TPyxPerson* P) { P->Relationships.RemoveTarget(Person); });
    People.TPyxObjects::Delete(Person);
}
