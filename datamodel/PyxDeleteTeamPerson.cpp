// Deleting teams and people: each is unlinked from every other collection before it is freed.

#include "PyxDatabase.h"

void TPyxTeams::Delete(TPyxObject* Entity) {
    auto* Team = static_cast<TPyxTeam*>(Entity);
    if (!Team || IndexOf(Team) < 0)
        return;
    TPyxDatabase& Db = Database_;
    // Every person whose post is this team leaves it through the setters, whatever the job: chairmen, board
    // members and scouts (and people of job 0) are in none of the team's lists, and national jobs never file
    // into the club's posts. People listed here whose post is elsewhere keep it.
    Db.People.ForEach([&](TPyxPerson* P) { P->UnlinkTeam(Team); });
    Db.Competitions.ForEach([&](TPyxCompetition* C) { C->RemoveTeam(Team); });
    Db.Clubs.ForEach([&](TPyxClub* C) { C->RemoveTeam(Team); });
    Db.Nations.ForEach([&](TPyxNation* N) { N->RemoveTeam(Team); });
    TPyxObjects::Delete(Team);
}

void TPyxPeople::Delete(TPyxObject* Entity) {
    auto* Person = static_cast<TPyxPerson*>(Entity);
    if (!Person || IndexOf(Person) < 0)
        return;
    TPyxDatabase& Db = Database_;
    Person->SetFirstName(Db, u"");
    Person->SetSecondName(Db, u"");
    Person->SetCommonName(Db, u"");
    Person->SetNation(Db, nullptr);
    Person->SetClubTeam(nullptr);
    Person->SetNationalTeam(nullptr);
    Person->EndCoOwnership();
    Db.Awards.ForEach([&](TPyxAward* A) { A->RemovePerson(Person); });
    // Every post and list that still names the person goes too, wherever the person's own post was: a former
    // club's sell-on records, a stale chairman or captain, another squad's lists.
    Db.Clubs.ForEach([&](TPyxClub* C) { C->RemovePerson(Person); });
    Db.Nations.ForEach([&](TPyxNation* N) { N->RemovePerson(Person); });
    Db.Teams.ForEach([&](TPyxTeam* T) { T->RemovePerson(Person); });
    ForEach([&](TPyxPerson* P) { P->Relationships.RemoveTarget(Person); });
    TPyxObjects::Delete(Person);
}
