// The person setters the editor calls, and the unlinking a person goes through before a club, team or nation is
// deleted.

#include "PyxClub.h"
#include "PyxJobs.h"
#include "PyxName.h"
#include "PyxNation.h"
#include "PyxPerson.h"
#include "PyxTeam.h"

namespace {

// Moves a person's reference from its current name to the name for Text in Nation's pool.
void SetPooledName(TPyxNames& Pool, TPyxName*& Ref, std::u16string Text, TPyxNation* Nation) {
    if (Text == (Ref ? Ref->Text : std::u16string()))
        return;
    TPyxName* Old = Ref;
    Ref = nullptr;
    Pool.Release(Old);
    Ref = Pool.Acquire(Text, Nation);
}

// Files a person's name under Nation's pool: the old entry is released, then the one of Nation taken.
void RefilePooledName(TPyxNames& Pool, TPyxName*& Ref, TPyxNation* Nation) {
    const std::u16string Text = Ref ? Ref->Text : std::u16string();
    SetPooledName(Pool, Ref, u"", Nation);
    SetPooledName(Pool, Ref, Text, Nation);
}

} // namespace

void TPyxPerson::SetFirstName(TPyxNamePools& Names, const std::u16string& Text) {
    SetPooledName(Names.FirstNames, FirstName, Text, Nation);
}

void TPyxPerson::SetSecondName(TPyxNamePools& Names, const std::u16string& Text) {
    SetPooledName(Names.SecondNames, SecondName, Text, Nation);
}

void TPyxPerson::SetCommonName(TPyxNamePools& Names, const std::u16string& Text) {
    SetPooledName(Names.CommonNames, CommonName, Text, Nation);
}

void TPyxPerson::SetNation(TPyxNamePools& Names, TPyxNation* ANation) {
    if (ANation == Nation)
        return;
    if (Nation)
        --Nation->PersonCount;
    if (ANation)
        ++ANation->PersonCount;
    Nation = ANation;
    // Each name belongs to one nation's pool.
    RefilePooledName(Names.FirstNames, FirstName, Nation);
    RefilePooledName(Names.SecondNames, SecondName, Nation);
    RefilePooledName(Names.CommonNames, CommonName, Nation);
}

void TPyxPerson::SetClubTeam(TPyxTeam* Team) {
    if (Team == ClubTeam)
        return;
    // A nation's team is no club post.
    if (Team && !Team->IsClubTeam())
        return;
    TPyxTeam* Old = ClubTeam;
    TPyxClub* NewClub = Team ? Team->GetClub() : nullptr;
    if (Old) {
        // Between squads of one club the person keeps what the club holds for them beyond their job (the
        // captaincy, sell-on records); leaving the club ends those too, also from a squad whose record files
        // nobody into the club's posts.
        TPyxClub* OldClub = Old->GetClub();
        if (Team && OldClub == NewClub) {
            Old->RemovePersonFromJobSlots(this);
        } else {
            Old->RemovePerson(this);
            if (OldClub)
                OldClub->RemovePersonFromPosts(this);
        }
    }
    if (Team)
        Team->AddPerson(this);
    if (!Team) {
        if (JobHasContract(ClubJob))
            Contracts.RemoveClubContract();
        SetClubJob(0);
        DateJoinedClub.Clear();
        EndCoOwnership();
    } else {
        // The job's contract, now with the new club; a post that came without its contract gets one here.
        if (JobHasContract(ClubJob))
            Contracts.AddClubContract();
        if (TPyxContract* C = Contracts.GetClubContract())
            C->Employer = NewClub;
    }
    ClubTeam = Team;
}

void TPyxPerson::SetClubJob(uint8_t Job) {
    if (Job == ClubJob)
        return;
    const bool OldHasContract = JobHasContract(ClubJob);
    const bool NewHasContract = JobHasContract(Job);
    if (OldHasContract && !NewHasContract)
        Contracts.RemoveClubContract();
    if (!ClubTeam) {
        // Without a team there is nothing to file under and no employer; SetClubTeam adds the contract later.
        ClubJob = Job;
        return;
    }
    if (!OldHasContract && NewHasContract)
        Contracts.AddClubContract()->Employer = ClubTeam->GetClub();
    ClubTeam->RemovePersonFromJobSlots(this);
    ClubJob = Job;
    ClubTeam->AddPerson(this);
}

void TPyxPerson::SetNationalTeam(TPyxTeam* Team) {
    if (Team == NationalTeam)
        return;
    // A club's team is no national post.
    if (Team && Team->IsClubTeam())
        return;
    if (NationalTeam)
        NationalTeam->RemovePerson(this);
    if (Team)
        Team->AddPerson(this);
    if (!Team) {
        if (JobHasContract(NationalJob))
            Contracts.RemoveNationContract();
        SetNationalJob(0);
        DateJoinedNation.Clear();
    } else {
        if (JobHasContract(NationalJob))
            Contracts.AddNationContract();
        if (TPyxContract* C = Contracts.GetNationContract())
            C->Employer = Team->GetNation();
    }
    NationalTeam = Team;
}

void TPyxPerson::SetNationalJob(uint8_t Job) {
    if (Job == NationalJob)
        return;
    const bool OldHasContract = JobHasContract(NationalJob);
    const bool NewHasContract = JobHasContract(Job);
    if (OldHasContract && !NewHasContract)
        Contracts.RemoveNationContract();
    if (!NationalTeam) {
        NationalJob = Job;
        return;
    }
    if (!OldHasContract && NewHasContract)
        Contracts.AddNationContract()->Employer = NationalTeam->GetNation();
    NationalTeam->RemovePersonFromJobSlots(this);
    NationalJob = Job;
    NationalTeam->AddPerson(this);
}

bool TPyxPerson::SetCoOwner(TPyxClub* Club, int16_t Version) {
    if (!Club) {
        EndCoOwnership();
        return true;
    }
    if (Version < 145)
        return false;
    if (Club == GetCoOwner())
        return true;
    if (!Contracts.GetCoOwnerContract())
        Contracts.AddCoOwnerContract();
    TPyxContract* C = Contracts.GetCoOwnerContract();
    if (C)
        C->Employer = Club;
    return C != nullptr;
}

void TPyxPerson::EndCoOwnership() {
    if (GetCoOwner() != nullptr || Contracts.GetCoOwnerContract() != nullptr)
        Contracts.RemoveCoOwnerContract();
}

void TPyxPerson::SetClubPost(TPyxTeam* Team, uint8_t Job) {
    SetPost(true, Team, Job);
}

void TPyxPerson::SetNationalPost(TPyxTeam* Team, uint8_t Job) {
    SetPost(false, Team, Job);
}

void TPyxPerson::SetPost(bool Club, TPyxTeam* Team, uint8_t Job) {
    TPyxTeam*& Current = Club ? ClubTeam : NationalTeam;
    const uint8_t CurrentJob = Club ? ClubJob : NationalJob;
    const auto SetTeam = Club ? &TPyxPerson::SetClubTeam : &TPyxPerson::SetNationalTeam;
    const auto SetJob = Club ? &TPyxPerson::SetClubJob : &TPyxPerson::SetNationalJob;
    if (Team && Team->IsClubTeam() != Club)
        return;
    if (!Team || Team == Current) {
        if (!Team)
            (this->*SetTeam)(nullptr);
        else
            (this->*SetJob)(Job);
        return;
    }
    if (Current && Job != CurrentJob) {
        // Out of the old team's job slots, then the new job taken with no team to be filed under (its contract
        // follows the job); setting the team then files the person at the new team under the new job only.
        TPyxTeam* Old = Current;
        Old->RemovePersonFromJobSlots(this);
        Current = nullptr;
        (this->*SetJob)(Job);
        Current = Old;
    } else if (!Current) {
        (this->*SetJob)(Job);
    }
    (this->*SetTeam)(Team);
}

void TPyxPerson::SetSecondNation(TPyxNation* ANation) {
    if (ANation == GetSecondNation())
        return;
    Relationships.RemoveKind(9);
    if (!ANation)
        return;
    auto R = std::make_unique<TPyxRelationship>();
    R->TargetType = TPyxRelationship::ttNation;
    R->Kind = 9;
    R->Amount = 15;
    R->Target = ANation;
    Relationships.Add(std::move(R));
}

void TPyxPerson::SetInternationalRetirement(bool Value) {
    if (Value == GetInternationalRetirement())
        return;
    if (!Value) {
        Relationships.RemoveKind(10);
        return;
    }
    auto R = std::make_unique<TPyxRelationship>();
    R->TargetType = TPyxRelationship::ttNone;
    R->Kind = 10;
    R->Amount = 100;
    Relationships.Add(std::move(R));
}

void TPyxPerson::SetPersonType(uint8_t Type, int16_t ServerVersion) {
    // Only the four types the people table accepts: any other would be written as a record the next load refuses.
    if (Type < ptNonPlayer || Type > ptOfficial)
        return;
    if (Type != PersonType) {
        const bool WasPlayer = IsPlayer();
        const bool WasStaff = IsNonPlayer();
        const bool WasOfficial = IsOfficial();
        const bool ToPlayer = Type & ptPlayer;
        const bool ToStaff = Type & ptNonPlayer;
        const bool ToOfficial = Type & ptOfficial;
        if (WasPlayer && !ToPlayer) {
            Player.reset();
            SetClubTeam(nullptr);
            // A national squad's player without a player part would stay in its players list: that post goes
            // too. A staff post in the national team stays.
            if (NationalJob % 2 == 1)
                SetNationalTeam(nullptr);
            SetInternationalRetirement(false);
        }
        if (WasPlayer && Type != ptPlayer)
            EndCoOwnership();
        if (WasStaff && !ToStaff) {
            NonPlayer.reset();
            SetClubTeam(nullptr);
            SetNationalTeam(nullptr);
        }
        if (WasOfficial && !ToOfficial) {
            Official.reset();
            // An official keeps no personality record; every other person must have one to be written.
            PersonData = std::make_unique<TPyxPersonData>();
        }
        if (!WasPlayer && ToPlayer)
            Player = std::make_unique<TPyxPlayer>(ServerVersion);
        if (!WasStaff && ToStaff)
            NonPlayer = std::make_unique<TPyxNonPlayer>();
        if (!WasOfficial && ToOfficial) {
            Official = std::make_unique<TPyxOfficial>();
            PersonData.reset();
            PlayingHistory.reset();
            Relationships.RemoveKinds1To6();
            // A referee holds no squad post: no team's lists may go on naming them.
            SetClubTeam(nullptr);
            SetNationalTeam(nullptr);
        }
    }
    PersonType = Type;
}

void TPyxPerson::UnlinkClub(const TPyxClub* Club) {
    if (!Club)
        return;
    if (GetCoOwner() == Club)
        EndCoOwnership();
    Relationships.RemoveTarget(Club);
    // Contracts the club employs for a person outside its teams (the club's own posts were cleared before).
    Contracts.RemoveEmployer(Club);
}

void TPyxPerson::UnlinkTeam(const TPyxTeam* Team) {
    if (!Team)
        return;
    // The posts go through the setters, so that jobs, contracts and the club's lists follow.
    if (ClubTeam == Team)
        SetClubTeam(nullptr);
    if (NationalTeam == Team)
        SetNationalTeam(nullptr);
    if (Player) {
        if (Player->FutureTransfer && Player->FutureTransfer->Team == Team)
            Player->SetFutureTransfer(nullptr);
        if (Player->Loan && Player->Loan->Team == Team)
            Player->SetLoan(nullptr);
    }
    if (PlayingHistory)
        PlayingHistory->RemoveTeam(Team);
    Relationships.RemoveTarget(Team);
}

void TPyxPerson::UnlinkNation(const TPyxNation* ANation) {
    if (!ANation)
        return;
    if (Nation == ANation)
        Nation = nullptr;
    Relationships.RemoveTarget(ANation);
    Contracts.RemoveEmployer(ANation);
}
