#include "ReferenceWalk.h"

#include "PyxDatabase.h"
#include "PyxJobs.h"
#include "PyxText.h"

#include <map>
#include <set>

namespace rw {

namespace {

template <class C> std::set<const void*> Members(const C& Collection) {
    std::set<const void*> S;
    for (int32_t I = 0; I < Collection.Count(); ++I)
        S.insert(Collection.Items(I));
    return S;
}

class TWalker {
public:
    explicit TWalker(const TPyxDatabase& Db)
        : Db_(Db), Clubs_(Members(Db.Clubs)), Nations_(Members(Db.Nations)), Teams_(Members(Db.Teams)),
          People_(Members(Db.People)), Stadiums_(Members(Db.Stadiums)), Cities_(Members(Db.Cities)),
          Competitions_(Members(Db.Competitions)), Continents_(Members(Db.Continents)), Regions_(Members(Db.Regions)),
          Languages_(Members(Db.Languages)), Weathers_(Members(Db.Weathers)), Injuries_(Members(Db.Injuries)),
          FirstNames_(Members(Db.Names.FirstNames)), SecondNames_(Members(Db.Names.SecondNames)),
          CommonNames_(Members(Db.Names.CommonNames)) {}

    std::vector<std::string> Walk() {
        WalkReferenceKinds();
        WalkClubsAndNations();
        WalkTeams();
        WalkPeople();
        return std::move(Out_);
    }

private:
    // Reports Target when it is set and not one of Set's entities.
    void Check(const std::set<const void*>& Set, const void* Target, const std::string& Where) {
        if (Target && !Set.count(Target))
            Out_.push_back(Where + " names no live entity");
    }
    template <class L> void CheckList(const std::set<const void*>& Set, const L& List, const std::string& Where) {
        for (const auto* E : List)
            Check(Set, E, Where);
    }
    const std::set<const void*>& ForTargetType(uint8_t Type) const {
        switch (Type) {
        case TPyxRelationship::ttClub:
            return Clubs_;
        case TPyxRelationship::ttNation:
            return Nations_;
        case TPyxRelationship::ttPerson:
            return People_;
        case TPyxRelationship::ttTeam:
            return Teams_;
        case TPyxRelationship::ttStadium:
            return Stadiums_;
        default:
            return Empty_;
        }
    }
    void CheckRelationships(const TPyxRelationshipList& List, const std::string& Where) {
        for (const auto& R : List) {
            if (R->TargetType == TPyxRelationship::ttNone) {
                if (R->Target)
                    Out_.push_back(Where + " relationship without target type has a target");
                continue;
            }
            if (!R->Target)
                Out_.push_back(Where + " relationship of kind " + std::to_string(R->Kind) + " has no target");
            Check(ForTargetType(R->TargetType), R->Target, Where + " relationship of kind " + std::to_string(R->Kind));
        }
    }
    void CheckTransferInfo(const TPyxTransferInfoList& List, const std::string& Where) {
        for (const auto& I : List) {
            if (auto* S = dynamic_cast<const TPyxNextSalePercentage*>(I.get())) {
                Check(People_, S->Person, Where + " sell-on person");
                Check(Clubs_, S->Club, Where + " sell-on club");
            } else if (auto* R = dynamic_cast<const TPyxTeamRecords*>(I.get())) {
                Check(People_, R->Holder1, Where + " record holder 1");
                Check(People_, R->Holder2, Where + " record holder 2");
            }
        }
    }
    static std::string Named(const char* Kind, const TPyxObject* E) {
        return std::string(Kind) + " " + std::to_string(E->UniqueID);
    }

    void WalkReferenceKinds() {
        Db_.Awards.ForEach([&](TPyxAward* A) {
            const std::string W = Named("award", A);
            Check(Continents_, A->Continent, W + " continent");
            Check(Nations_, A->Nation, W + " nation");
            Check(Competitions_, A->Competition, W + " competition");
            A->Histories.ForEach([&](TPyxAwardHistory* H) {
                for (const TPyxPerson* P : {H->Person1, H->Person2, H->Person3})
                    Check(People_, P, W + " history person");
            });
        });
        Db_.Competitions.ForEach([&](TPyxCompetition* C) {
            const std::string W = Named("competition", C);
            Check(Continents_, C->Continent, W + " continent");
            Check(Nations_, C->Nation, W + " nation");
            C->Histories.ForEach([&](TPyxCompetitionHistory* H) {
                for (const TPyxTeam* T : {H->FirstPlaced, H->SecondPlaced, H->ThirdPlaced, H->Hosts})
                    Check(Teams_, T, W + " history team");
            });
        });
        Db_.Cities.ForEach([&](TPyxCity* C) {
            Check(Nations_, C->Nation, Named("city", C) + " nation");
            Check(Weathers_, C->Weather, Named("city", C) + " weather");
        });
        Db_.Stadiums.ForEach([&](TPyxStadium* S) {
            Check(Clubs_, S->Club, Named("stadium", S) + " club");
            Check(Cities_, S->City, Named("stadium", S) + " city");
            Check(Stadiums_, S->NearbyStadium, Named("stadium", S) + " nearby stadium");
        });
        Db_.Medias.ForEach([&](TPyxMedia* M) {
            CheckList(Clubs_, M->Clubs, Named("media", M) + " club list");
            static const std::map<uint8_t, const std::set<const void*> TWalker::*> ByScope = {
                {TPyxMedia::scClub, &TWalker::Clubs_},           {TPyxMedia::scCity, &TWalker::Cities_},
                {TPyxMedia::scRegion, &TWalker::Regions_},       {TPyxMedia::scNation, &TWalker::Nations_},
                {TPyxMedia::scContinent, &TWalker::Continents_}, {TPyxMedia::scCompetition, &TWalker::Competitions_}};
            auto It = ByScope.find(M->Scope);
            Check(It == ByScope.end() ? Empty_ : this->*(It->second), M->Target, Named("media", M) + " target");
        });
        for (const TPyxNames* Pool : {&Db_.Names.FirstNames, &Db_.Names.SecondNames, &Db_.Names.CommonNames})
            Pool->ForEach([&](TPyxName* N) { Check(Nations_, N->Nation, Named("name", N) + " nation"); });
    }

    void WalkClubsAndNations() {
        Db_.Clubs.ForEach([&](TPyxClub* C) {
            const std::string W = Named("club", C);
            Check(Nations_, C->Nation, W + " nation");
            Check(People_, C->Chairman, W + " chairman");
            Check(People_, C->Captain, W + " captain");
            CheckList(People_, C->BoardMembers, W + " board");
            CheckList(People_, C->Scouts, W + " scouts");
            CheckTransferInfo(C->TransferInfo, W);
            CheckList(Teams_, C->Teams, W + " team list");
            CheckRelationships(C->Relationships, W);
        });
        Db_.Nations.ForEach([&](TPyxNation* N) {
            const std::string W = Named("nation", N);
            Check(Stadiums_, N->NationalStadium, W + " stadium");
            Check(Continents_, N->Continent, W + " continent");
            Check(Regions_, N->Region, W + " region");
            Check(Cities_, N->CapitalCity, W + " capital");
            CheckList(Languages_, N->Languages, W + " languages");
            CheckTransferInfo(N->TransferInfo, W);
            CheckList(Teams_, N->Teams, W + " team list");
            CheckRelationships(N->Relationships, W);
        });
    }

    void WalkTeams() {
        Db_.Teams.ForEach([&](TPyxTeam* T) {
            const std::string W = Named("team", T);
            for (const TPyxCompetition* C : {T->Division, T->LastDivision, T->ContinentalCompetition, T->OtherDivision})
                Check(Competitions_, C, W + " competition");
            Check(Stadiums_, T->Stadium, W + " stadium");
            Check(People_, T->Manager, W + " manager");
            CheckList(People_, T->Physios, W + " physios");
            CheckList(People_, T->Players, W + " players");
            CheckList(People_, T->Coaches, W + " coaches");
            if (!T->Container)
                Out_.push_back(W + " has no container");
            Check(T->IsNationTeam ? Nations_ : Clubs_, T->Container, W + " container");
            for (const TPyxStadiumMove* M : {T->StadiumMove.get(), T->CapacityChange.get()})
                if (M) {
                    if (M->Team != T)
                        Out_.push_back(W + " stadium move of another team");
                    for (const TPyxStadium* S : {M->Stadium, M->NewStadium, M->AlternativeStadium})
                        Check(Stadiums_, S, W + " stadium move");
                }
            if (T->ClubDebt && T->ClubDebt->Team != T)
                Out_.push_back(W + " transfer budget of another team");
            T->ClubDebts.ForEach([&](TPyxClubDebt* D) {
                if (D->Team != T)
                    Out_.push_back(W + " loan of another team");
            });
        });
    }

    void WalkPeople() {
        Db_.People.ForEach([&](TPyxPerson* P) {
            const std::string W = Named("person", P);
            Check(FirstNames_, P->FirstName, W + " first name");
            Check(SecondNames_, P->SecondName, W + " second name");
            Check(CommonNames_, P->CommonName, W + " common name");
            Check(Nations_, P->Nation, W + " nation");
            Check(Teams_, P->NationalTeam, W + " national team");
            Check(Teams_, P->ClubTeam, W + " club team");
            Check(Cities_, P->CityOfBirth, W + " city of birth");
            if (P->Official) {
                Check(Cities_, P->Official->City, W + " referee city");
                Check(Competitions_, P->Official->Division, W + " referee division");
            }
            for (const auto& C : P->Contracts)
                Check(C->NationContract ? Nations_ : Clubs_, C->Employer, W + " contract employer");
            CheckRelationships(P->Relationships, W);
            for (const auto& L : P->Languages) {
                if (L->Person != P)
                    Out_.push_back(W + " language of another person");
                Check(Languages_, L->Language, W + " language");
            }
            if (P->PlayingHistory)
                for (int32_t I = 0; I < P->PlayingHistory->Count(); ++I)
                    Check(Teams_, P->PlayingHistory->Items(I)->Team, W + " playing history");
            if (P->Player) {
                if (const TPyxLoan* L = P->Player->Loan.get()) {
                    Check(People_, L->Person, W + " loan person");
                    Check(Teams_, L->Team, W + " loan team");
                }
                if (const TPyxFutureTransfer* F = P->Player->FutureTransfer.get()) {
                    Check(People_, F->Person, W + " future transfer person");
                    Check(Teams_, F->Team, W + " future transfer team");
                }
                if (const TPyxStartingInjury* S = P->Player->StartingInjury.get()) {
                    Check(People_, S->Person, W + " starting injury person");
                    Check(Injuries_, S->Injury, W + " starting injury");
                }
            }
            if (P->NonPlayer && P->NonPlayer->StartingConfidence)
                Check(People_, P->NonPlayer->StartingConfidence->Person, W + " starting confidence person");
        });
    }

    const TPyxDatabase& Db_;
    std::set<const void*> Clubs_, Nations_, Teams_, People_, Stadiums_, Cities_, Competitions_, Continents_, Regions_,
        Languages_, Weathers_, Injuries_, FirstNames_, SecondNames_, CommonNames_, Empty_;
    std::vector<std::string> Out_;
};

std::string PersonName(const TPyxPerson* P) {
    return "person " + std::to_string(P->UniqueID);
}

void CountContainers(const TPyxDatabase& Db, std::vector<std::string>& Out) {
    Db.Nations.ForEach([&](TPyxNation* N) {
        int32_t Clubs = 0, People = 0;
        Db.Clubs.ForEach([&](TPyxClub* C) { Clubs += C->Nation == N; });
        Db.People.ForEach([&](TPyxPerson* P) { People += P->Nation == N; });
        if (N->ClubCount != Clubs)
            Out.push_back("nation " + std::to_string(N->UniqueID) + " counts " + std::to_string(N->ClubCount) +
                          " clubs, has " + std::to_string(Clubs));
        if (N->PersonCount != People)
            Out.push_back("nation " + std::to_string(N->UniqueID) + " counts " + std::to_string(N->PersonCount) +
                          " people, has " + std::to_string(People));
    });
}

void CountNames(const TPyxDatabase& Db, std::vector<std::string>& Out) {
    std::map<const TPyxName*, int> Uses;
    Db.People.ForEach([&](TPyxPerson* P) {
        for (const TPyxName* N : {P->FirstName, P->SecondName, P->CommonName})
            if (N) {
                ++Uses[N];
                if (N->Nation != P->Nation)
                    Out.push_back(PersonName(P) + " uses name '" + ToUtf8(N->Text) + "' of another nation");
            }
    });
    for (const TPyxNames* Pool : {&Db.Names.FirstNames, &Db.Names.SecondNames, &Db.Names.CommonNames})
        Pool->ForEach([&](TPyxName* N) {
            const int Used = Uses.count(N) ? Uses[N] : 0;
            if (N->UseCount != Used)
                Out.push_back("name '" + ToUtf8(N->Text) + "' counts " + std::to_string(N->UseCount) + " uses, has " +
                              std::to_string(Used));
            if (N->References != Used)
                Out.push_back("name '" + ToUtf8(N->Text) + "' knows " + std::to_string(N->References) +
                              " references, has " + std::to_string(Used));
        });
}

// Whether a team files a person of this job in each of its posts.
struct TFiling {
    bool Player, Coach, Physio, Manager, Chairman, Board, Scout;
};
TFiling FilingOf(uint8_t Job) {
    return {Job % 2 == 1, Job == 2 || Job == 3 || Job == 20 || Job == 21,
            Job == 12,    Job == 16 || Job == 17,
            Job == 4,     Job == 8 || Job == 10 || Job == 24,
            Job == 14};
}

void CountPosts(const TPyxDatabase& Db, std::vector<std::string>& Out) {
    // Every list entry holds the post it stands for.
    Db.Teams.ForEach([&](TPyxTeam* T) {
        auto Holds = [&](const TPyxPerson* P, bool TFiling::*Slot, const char* What) {
            const bool Club = T->IsClubTeam();
            const TPyxTeam* Post = Club ? P->ClubTeam : P->NationalTeam;
            const uint8_t Job = Club ? P->ClubJob : P->NationalJob;
            if (Post != T || !(FilingOf(Job).*Slot))
                Out.push_back("team " + std::to_string(T->UniqueID) + " lists " + PersonName(P) + " as " + What +
                              " without that post");
        };
        if (T->Manager)
            Holds(T->Manager, &TFiling::Manager, "manager");
        for (const TPyxPerson* P : T->Players)
            Holds(P, &TFiling::Player, "player");
        for (const TPyxPerson* P : T->Coaches)
            Holds(P, &TFiling::Coach, "coach");
        for (const TPyxPerson* P : T->Physios)
            Holds(P, &TFiling::Physio, "physio");
    });
    Db.Clubs.ForEach([&](TPyxClub* C) {
        auto Holds = [&](const TPyxPerson* P, bool TFiling::*Slot, const char* What) {
            if (!P->ClubTeam || P->ClubTeam->Container != C || P->ClubTeam->RecordKind != 10 ||
                !(FilingOf(P->ClubJob).*Slot))
                Out.push_back("club " + std::to_string(C->UniqueID) + " lists " + PersonName(P) + " as " + What +
                              " without that post");
        };
        if (C->Chairman)
            Holds(C->Chairman, &TFiling::Chairman, "chairman");
        for (const TPyxPerson* P : C->BoardMembers)
            Holds(P, &TFiling::Board, "board member");
        for (const TPyxPerson* P : C->Scouts)
            Holds(P, &TFiling::Scout, "scout");
    });
    // Every post is filed where its job puts it, and backed by the contracts it needs.
    Db.People.ForEach([&](TPyxPerson* P) {
        auto Filed = [&](const TPyxTeam* T, uint8_t Job, const char* Kind) {
            if (!T)
                return;
            const TFiling F = FilingOf(Job);
            bool Ok = (!F.Player || T->Players.Contains(P)) && (!F.Coach || T->Coaches.Contains(P)) &&
                      (!F.Physio || T->Physios.Contains(P)) && (!F.Manager || T->Manager == P);
            if (T->IsClubTeam() && T->RecordKind == 10) {
                const auto* C = static_cast<const TPyxClub*>(T->Container);
                Ok = Ok && (!F.Chairman || C->Chairman == P) && (!F.Board || C->BoardMembers.Contains(P)) &&
                     (!F.Scout || C->Scouts.Contains(P));
            }
            if (!Ok)
                Out.push_back(PersonName(P) + "'s " + Kind + " job " + std::to_string(Job) + " is not filed");
        };
        Filed(P->ClubTeam, P->ClubJob, "club");
        Filed(P->NationalTeam, P->NationalJob, "national");
        const TPyxContract* Club = P->Contracts.GetClubContract();
        const TPyxContract* Nation = P->Contracts.GetNationContract();
        const bool NeedsClub = P->ClubTeam && JobHasContract(P->ClubJob);
        const bool NeedsNation = P->NationalTeam && JobHasContract(P->NationalJob);
        if (NeedsClub != (Club != nullptr))
            Out.push_back(PersonName(P) + (NeedsClub ? " lacks" : " has a stray") + " club contract");
        if (Club && P->ClubTeam && Club->Employer != P->ClubTeam->Container)
            Out.push_back(PersonName(P) + "'s club contract is with another club");
        if (NeedsNation != (Nation != nullptr))
            Out.push_back(PersonName(P) + (NeedsNation ? " lacks" : " has a stray") + " nation contract");
        if (Nation && P->NationalTeam && Nation->Employer != P->NationalTeam->Container)
            Out.push_back(PersonName(P) + "'s nation contract is with another nation");
        // The arrangement: club contract first, co-owner second, nation last, nothing else.
        const TPyxContract* CoOwner = P->Contracts.GetCoOwnerContract();
        const int32_t Expected = (Club ? 1 : 0) + (CoOwner ? 1 : 0) + (Nation ? 1 : 0);
        if (P->Contracts.Count() != Expected || (Club && P->Contracts.Items(0) != Club) ||
            (CoOwner && P->Contracts.Items(1) != CoOwner) ||
            (Nation && P->Contracts.Items(P->Contracts.Count() - 1) != Nation))
            Out.push_back(PersonName(P) + "'s contracts are out of their arrangement");
        if (Club && Club->CoOwned && !CoOwner)
            Out.push_back(PersonName(P) + "'s club contract is co-owned without a co-owner");
    });
}

} // namespace

std::vector<std::string> DanglingReferences(const TPyxDatabase& Db) {
    return TWalker(Db).Walk();
}

// Every team shares its UniqueID with a club record: the first team with its club, every other with its companion.
void ShareKeys(const TPyxDatabase& Db, std::vector<std::string>& Out) {
    Db.Teams.ForEach([&](TPyxTeam* T) {
        if (Db.Clubs.FindByUniqueID(T->UniqueID) == nullptr)
            Out.push_back("team " + std::to_string(T->UniqueID) + " shares its UniqueID with no club record");
    });
}

std::vector<std::string> CountMismatches(const TPyxDatabase& Db) {
    std::vector<std::string> Out;
    ShareKeys(Db, Out);
    CountContainers(Db, Out);
    CountNames(Db, Out);
    CountPosts(Db, Out);
    return Out;
}

std::vector<std::string> Problems(const TPyxDatabase& Db) {
    std::vector<std::string> Out = DanglingReferences(Db);
    // Counting follows references, which is only safe once none dangles.
    if (Out.empty())
        Out = CountMismatches(Db);
    return Out;
}

} // namespace rw
