// How clubs and teams file people under their jobs, and the team's setters of the records it owns.

#include "PyxClub.h"
#include "PyxJobs.h"
#include "PyxNation.h"
#include "PyxPerson.h"
#include "PyxTeam.h"

namespace {

// Keeps Record in Slot, stamped with its team and its kind; the record held so far is freed.
template <class R> void KeepStamped(std::unique_ptr<R>& Slot, std::unique_ptr<R> Record, TPyxTeam* Team, uint8_t Kind) {
    if (Record) {
        Record->Team = Team;
        Record->Kind = Kind;
    }
    Slot = std::move(Record);
}

void AddOnce(TPyxPeopleList& List, TPyxPerson* Person) {
    if (!List.Contains(Person))
        List.Add(Person);
}

// Whether a person's post of the given kind is this team: only then may replacing them in a single post take
// them out of the team, otherwise a stale post would cost them the job they really hold elsewhere.
bool HoldsManagerPost(const TPyxPerson* Person, const TPyxTeam* Team) {
    if (Team->IsClubTeam())
        return Person->ClubTeam == Team && (Person->ClubJob == 16 || Person->ClubJob == 17);
    return Person->NationalTeam == Team && (Person->NationalJob == 16 || Person->NationalJob == 17);
}

} // namespace

TPyxClub* TPyxTeam::GetClub() const {
    return IsClubTeam() ? static_cast<TPyxClub*>(Container) : nullptr;
}

TPyxNation* TPyxTeam::GetNation() const {
    return IsClubTeam() ? nullptr : static_cast<TPyxNation*>(Container);
}

void TPyxTeam::SetStadiumMove(std::unique_ptr<TPyxStadiumMove> Move) {
    KeepStamped(StadiumMove, std::move(Move), this, 1);
}

void TPyxTeam::SetCapacityChange(std::unique_ptr<TPyxStadiumMove> Move) {
    KeepStamped(CapacityChange, std::move(Move), this, 2);
}

void TPyxTeam::SetClubDebt(std::unique_ptr<TPyxClubDebt> Debt) {
    KeepStamped(ClubDebt, std::move(Debt), this, 0);
}

TPyxClubDebt* TPyxTeam::AddLoan(std::unique_ptr<TPyxClubDebt> Debt) {
    Debt->Team = this;
    if (Debt->Kind != 1 && Debt->Kind != 2)
        Debt->Kind = 1;
    return static_cast<TPyxClubDebt*>(ClubDebts.Add(std::move(Debt), true));
}

void TPyxTeam::AddPerson(TPyxPerson* Person) {
    const uint8_t Job = IsClubTeam() ? Person->ClubJob : Person->NationalJob;
    if (Job % 2 == 1)
        AddOnce(Players, Person);
    if (Job == 2 || Job == 3 || Job == 20 || Job == 21)
        AddOnce(Coaches, Person);
    if (Job == 12)
        AddOnce(Physios, Person);
    if (Job == 16 || Job == 17) {
        // The post is the new manager's before the previous one leaves, so that leaving does not clear it.
        TPyxPerson* Previous = Manager;
        Manager = Person;
        if (Previous && Previous != Person && HoldsManagerPost(Previous, this)) {
            if (IsClubTeam())
                Previous->SetClubTeam(nullptr);
            else
                Previous->SetNationalTeam(nullptr);
        }
    }
    if (RecordKind == 10)
        if (TPyxClub* Club = GetClub())
            Club->AddPerson(Person);
}

void TPyxTeam::RemovePersonFromJobSlots(const TPyxPerson* Person) {
    if (Manager == Person)
        Manager = nullptr;
    Physios.RemoveAll(Person);
    Players.RemoveAll(Person);
    Coaches.RemoveAll(Person);
    if (RecordKind == 10)
        if (TPyxClub* Club = GetClub())
            Club->RemovePersonFromJobPosts(Person);
}

void TPyxTeam::RemovePerson(const TPyxPerson* Person) {
    RemovePersonFromJobSlots(Person);
    if (RecordKind == 10)
        if (TPyxClub* Club = GetClub())
            Club->RemovePersonFromPosts(Person);
}

void TPyxClub::AddPerson(TPyxPerson* Person) {
    switch (Person->ClubJob) {
    case 4: {
        TPyxPerson* Previous = Chairman;
        Chairman = Person;
        // The previous chairman leaves the club, but only when that post is really theirs: a stale chairman
        // reference must not cost someone the job they hold elsewhere. (The post is already the new chairman's,
        // so leaving does not clear it.)
        if (Previous && Previous != Person && Previous->ClubJob == 4 && Previous->ClubTeam &&
            Previous->ClubTeam->Container == this)
            Previous->SetClubTeam(nullptr);
        break;
    }
    case 8:
    case 10:
    case 24:
        AddOnce(BoardMembers, Person);
        break;
    case 14:
        AddOnce(Scouts, Person);
        break;
    default:
        break;
    }
}

void TPyxClub::RemovePersonFromJobPosts(const TPyxPerson* Person) {
    if (Chairman == Person)
        Chairman = nullptr;
    BoardMembers.RemoveAll(Person);
    Scouts.RemoveAll(Person);
}

void TPyxClub::RemovePersonFromPosts(const TPyxPerson* Person) {
    RemovePersonFromJobPosts(Person);
    if (Captain == Person)
        Captain = nullptr;
    TransferInfo.RemoveSalePercentagesForPerson(Person);
}

void TPyxClub::SetNation(TPyxNation* ANation) {
    if (ANation == Nation)
        return;
    if (Nation)
        --Nation->ClubCount;
    if (ANation)
        ++ANation->ClubCount;
    Nation = ANation;
}
