#include "GoneEntities.h"

#include "PyxDatabase.h"

#include <array>
#include <vector>

namespace {

// The collections whose entities the tabs list, show or pick: those a delete can take away directly or with another.
std::array<const TPyxObjects*, 15> Collections(const TPyxDatabase& Db) {
    return {&Db.People,   &Db.Clubs,     &Db.Teams,      &Db.Nations, &Db.Competitions,
            &Db.Stadiums, &Db.Cities,    &Db.Continents, &Db.Awards,  &Db.Weathers,
            &Db.Injuries, &Db.Languages, &Db.Medias,     &Db.Stages,  &Db.Regions};
}

std::vector<const TPyxObject*> Entities(const TPyxObjects& Collection) {
    std::vector<const TPyxObject*> All(static_cast<std::size_t>(Collection.Count()));
    for (int32_t I = 0; I < Collection.Count(); ++I)
        All[static_cast<std::size_t>(I)] = Collection.Items(I);
    return All;
}

} // namespace

TGoneEntities TGoneEntities::Of(const TPyxDatabase& Database, const std::function<void()>& Delete) {
    const auto Lists = Collections(Database);
    std::vector<std::vector<const TPyxObject*>> Before;
    Before.reserve(Lists.size());
    for (const TPyxObjects* Collection : Lists)
        Before.push_back(Entities(*Collection));
    Delete();
    TGoneEntities Gone;
    for (std::size_t L = 0; L < Lists.size(); ++L) {
        const TPyxObjects& Collection = *Lists[L];
        // A delete only takes entities away: a collection of the same size lost none.
        if (static_cast<std::size_t>(Collection.Count()) == Before[L].size())
            continue;
        const std::vector<const TPyxObject*> After = Entities(Collection);
        // A delete keeps the others in their order: one walk finds what went, even among 300,000 persons. Should
        // the order have changed, every entity is looked up.
        std::vector<const TPyxObject*> Missing;
        std::size_t Next = 0;
        for (const TPyxObject* Entity : Before[L]) {
            if (Next < After.size() && After[Next] == Entity)
                ++Next;
            else
                Missing.push_back(Entity);
        }
        if (Next != After.size()) {
            const std::unordered_set<const void*> Left(After.begin(), After.end());
            Missing.clear();
            for (const TPyxObject* Entity : Before[L])
                if (Left.count(Entity) == 0)
                    Missing.push_back(Entity);
        }
        Gone.Gone_.insert(Missing.begin(), Missing.end());
    }
    return Gone;
}

void TGoneEntities::Add(const TPyxObject* Entity) {
    if (Entity != nullptr)
        Gone_.insert(Entity);
}
