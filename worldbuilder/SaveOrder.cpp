#include "SaveOrder.h"

#include "QuickSort.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace wb {

namespace {

// Key lookups behave like the game's hash tables: with duplicate keys the later record wins.
template <class T, class TKey> std::unordered_map<int32_t, std::size_t> IndexBy(const std::vector<T>& Items, TKey Key) {
    std::unordered_map<int32_t, std::size_t> Index;
    for (std::size_t I = 0; I < Items.size(); ++I)
        Index[Key(Items[I])] = I;
    return Index;
}

template <class T> std::unordered_map<int32_t, std::size_t> IndexByID(const std::vector<T>& Items) {
    return IndexBy(Items, [](const T& Item) { return Item.ID; });
}

std::optional<std::size_t> Find(const std::unordered_map<int32_t, std::size_t>& Index, int32_t Key) {
    const auto It = Index.find(Key);
    if (It == Index.end())
        return std::nullopt;
    return It->second;
}

void SortPool(std::vector<TName>& Pool, std::vector<TPerson>& People, int32_t TPerson::*Reference) {
    std::unordered_map<int32_t, std::size_t> OldIndex = IndexByID(Pool);
    std::vector<std::size_t> Order(Pool.size());
    for (std::size_t I = 0; I < Order.size(); ++I)
        Order[I] = I;
    QuickSortOrder(Order, [&](std::size_t A, std::size_t B) {
        if (Pool[A].NationID != Pool[B].NationID)
            return CompareKeys(Pool[A].NationID, Pool[B].NationID);
        return CompareKeys(Pool[A].UseCount, Pool[B].UseCount);
    });
    std::vector<int32_t> NewIDOfOld(Pool.size());
    std::vector<TName> Sorted;
    for (std::size_t Position = 0; Position < Order.size(); ++Position) {
        NewIDOfOld[Order[Position]] = static_cast<int32_t>(Position);
        Sorted.push_back(std::move(Pool[Order[Position]]));
        Sorted.back().ID = static_cast<int32_t>(Position);
    }
    for (auto& Person : People) {
        const auto Old = Find(OldIndex, Person.*Reference);
        Person.*Reference = Old ? NewIDOfOld[*Old] : -1;
    }
    Pool = std::move(Sorted);
}

void RealignPool(const std::vector<TName>& Pool, std::vector<TNation>& Nations, int32_t TNation::*Start,
                 int32_t TNation::*Count) {
    const auto NationCount = static_cast<int32_t>(Nations.size());
    auto Clear = [&](int32_t From, int32_t To) {
        for (int32_t N = std::max(From, 0); N < std::min(To, NationCount); ++N) {
            Nations[static_cast<std::size_t>(N)].*Start = -1;
            Nations[static_cast<std::size_t>(N)].*Count = 0;
        }
    };
    auto SetCount = [&](int32_t N, int32_t Value) {
        if (N >= 0 && N < NationCount)
            Nations[static_cast<std::size_t>(N)].*Count = Value;
    };
    int32_t Current = -1;
    int32_t Counted = 0;
    for (std::size_t I = 0; I < Pool.size(); ++I) {
        const int32_t Nation = Pool[I].NationID;
        if (Nation > Current) {
            SetCount(Current, Counted);
            Clear(Current + 1, Nation);
            if (Nation < NationCount)
                Nations[static_cast<std::size_t>(Nation)].*Start = static_cast<int32_t>(I);
            Current = Nation;
            Counted = 1;
        } else {
            ++Counted;
        }
    }
    SetCount(Current, Counted);
    Clear(Current + 1, NationCount);
}

// Groups Records by their owner (in owner order), sorts each group by year and numbers them across owners.
template <class TOwner, class THistory>
void RenumberOwned(const std::vector<TOwner>& Owners, std::vector<THistory>& Records, int32_t THistory::*OwnerID) {
    const auto OwnerIndex = IndexByID(Owners);
    std::vector<std::vector<THistory>> Groups(Owners.size());
    for (auto& Record : Records)
        if (const auto Owner = Find(OwnerIndex, Record.*OwnerID))
            Groups[*Owner].push_back(std::move(Record));
    Records.clear();
    for (auto& Group : Groups) {
        QuickSort(Group, [](const THistory& A, const THistory& B) { return CompareKeys(A.Year, B.Year); });
        for (auto& Record : Group) {
            Record.ID = static_cast<int32_t>(Records.size());
            Records.push_back(std::move(Record));
        }
    }
}

// One attached record per person (a later one replaces an earlier one), rebuilt in person order.
template <class TAttached, class TRole>
void RebuildPerPerson(const std::vector<TPerson>& People, std::vector<TAttached>& Records, TRole HasRole) {
    const auto PersonIndex = IndexByID(People);
    std::vector<std::optional<TAttached>> Owned(People.size());
    for (auto& Record : Records)
        if (const auto Owner = Find(PersonIndex, Record.PersonID); Owner && HasRole(People[*Owner]))
            Owned[*Owner] = std::move(Record);
    Records.clear();
    for (auto& Record : Owned)
        if (Record) {
            Record->ID = static_cast<int32_t>(Records.size());
            Records.push_back(std::move(*Record));
        }
}

// The data record each person refers to, in person order, renumbered by position.
template <class TData, class TReference, class TRole>
void RebuildDataTable(std::vector<TPerson>& People, std::vector<TData>& Table, TReference Reference, TRole HasRole) {
    const auto DataIndex = IndexByID(Table);
    std::vector<TData> Rebuilt;
    for (auto& Person : People) {
        if (!HasRole(Person))
            continue;
        int32_t& ID = Reference(Person);
        const auto Data = Find(DataIndex, ID);
        if (!Data)
            continue;
        Rebuilt.push_back(Table[*Data]);
        ID = Rebuilt.back().ID = static_cast<int32_t>(Rebuilt.size() - 1);
    }
    Table = std::move(Rebuilt);
}

} // namespace

void SortPeople(TWorld& World) {
    auto& People = World.People;
    People.erase(std::remove_if(People.begin(), People.end(), [](const TPerson& P) { return P.RecordType == 5; }),
                 People.end());
    QuickSort(People, [](const TPerson& A, const TPerson& B) { return CompareKeys(A.NationID, B.NationID); });
}

void SortNamePools(TWorld& World) {
    SortPool(World.FirstNames, World.People, &TPerson::FirstNameID);
    SortPool(World.SecondNames, World.People, &TPerson::SecondNameID);
    SortPool(World.CommonNames, World.People, &TPerson::CommonNameID);
}

void RealignNames(TWorld& World) {
    RealignPool(World.FirstNames, World.Nations, &TNation::FirstNameStart, &TNation::FirstNameCount);
    RealignPool(World.SecondNames, World.Nations, &TNation::SecondNameStart, &TNation::SecondNameCount);
    RealignPool(World.CommonNames, World.Nations, &TNation::CommonNameStart, &TNation::CommonNameCount);
}

void RebuildStadiumMoves(TWorld& World) {
    const auto TeamIndex = IndexByID(World.Teams);
    std::vector<std::optional<TStadiumMove>> Moves(World.Teams.size()), Changes(World.Teams.size());
    for (auto& Move : World.StadiumMoves)
        if (const auto Team = Find(TeamIndex, Move.TeamID))
            (Move.Kind == 1 ? Moves : Changes)[*Team] = std::move(Move);
    World.StadiumMoves.clear();
    for (std::size_t T = 0; T < World.Teams.size(); ++T)
        for (auto* Record : {&Moves[T], &Changes[T]})
            if (*Record) {
                (*Record)->ID = static_cast<int32_t>(World.StadiumMoves.size());
                World.StadiumMoves.push_back(std::move(**Record));
            }
}

void RenumberHistories(TWorld& World) {
    RenumberOwned(World.Awards, World.AwardHistories, &TAwardHistory::AwardID);
    RenumberOwned(World.Competitions, World.CompetitionHistories, &TCompetitionHistory::CompetitionID);
}

void PrepareForSave(TWorld& World) {
    auto& People = World.People;
    const auto IsPlayer = [](const TPerson& P) { return P.IsPlayer(); };
    const auto IsStaff = [](const TPerson& P) { return P.IsStaff(); };
    RebuildPerPerson(People, World.Loans, IsPlayer);
    RebuildPerPerson(People, World.StartingInjuries, IsPlayer);
    RebuildPerPerson(People, World.StartingConfidences, IsStaff);
    RebuildPerPerson(People, World.FutureTransfers, IsPlayer);

    const auto PersonIndex = IndexByID(People);
    std::vector<std::vector<TPersonLanguage>> Spoken(People.size());
    for (auto& Item : World.PersonLanguages)
        if (const auto Owner = Find(PersonIndex, Item.PersonID))
            Spoken[*Owner].push_back(Item);
    World.PersonLanguages.clear();
    for (auto& Items : Spoken)
        World.PersonLanguages.insert(World.PersonLanguages.end(), Items.begin(), Items.end());

    RebuildDataTable(
        People, World.PersonDatas, [](TPerson& P) -> int32_t& { return P.PersonDataID; },
        [](const TPerson& P) { return !P.IsOfficial(); });
    RebuildDataTable(
        People, World.PlayingDatas, [](TPerson& P) -> int32_t& { return P.Player.PlayingDataID; }, IsPlayer);
    RebuildDataTable(
        People, World.NonPlayingDatas, [](TPerson& P) -> int32_t& { return P.Staff.NonPlayingDataID; }, IsStaff);
}

void RebuildClubDebts(TWorld& World) {
    const auto TeamIndex = IndexByID(World.Teams);
    std::vector<std::vector<TClubDebt>> Loans(World.Teams.size());
    std::vector<std::optional<TClubDebt>> Budgets(World.Teams.size());
    for (auto& Debt : World.ClubDebts) {
        const auto Team = Find(TeamIndex, Debt.TeamID);
        if (!Team)
            continue;
        if (Debt.Kind == 0)
            Budgets[*Team] = Debt;
        else
            Loans[*Team].push_back(Debt);
    }
    World.ClubDebts.clear();
    auto Append = [&](TClubDebt Debt) {
        Debt.ID = static_cast<int32_t>(World.ClubDebts.size());
        World.ClubDebts.push_back(std::move(Debt));
    };
    for (std::size_t T = 0; T < World.Teams.size(); ++T) {
        for (auto& Debt : Loans[T])
            Append(Debt);
        if (Budgets[T])
            Append(*Budgets[T]);
    }
}

void SortPlayingHistories(TWorld& World) {
    if (!World.Histories)
        return;
    const auto PersonIndex = IndexBy(World.People, [](const TPerson& P) { return P.UniqueID; });
    std::vector<std::optional<TPlayingHistory>> Owned(World.People.size());
    for (auto& History : World.Histories->Histories)
        if (const auto Owner = Find(PersonIndex, History.PersonUniqueID))
            Owned[*Owner] = std::move(History);
    auto& Histories = World.Histories->Histories;
    Histories.clear();
    for (auto& History : Owned)
        if (History && !History->Entries.empty())
            Histories.push_back(std::move(*History));
    std::sort(Histories.begin(), Histories.end(),
              [](const TPlayingHistory& A, const TPlayingHistory& B) { return A.PersonUniqueID < B.PersonUniqueID; });
}

void ApplySaveOrder(TWorld& World) {
    SortPeople(World);
    SortNamePools(World);
    RealignNames(World);
    RebuildStadiumMoves(World);
    RenumberHistories(World);
    PrepareForSave(World);
    RebuildClubDebts(World);
    SortPlayingHistories(World);
}

} // namespace wb
