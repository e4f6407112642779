#pragma once

#include <cstddef>
#include <functional>
#include <unordered_set>

class TPyxDatabase;
class TPyxObject;

// The entities one delete took out of the database: the one the user deleted and those that went with it (a club's
// squads and their companion clubs). Every tab is told, so that it drops what it still shows or holds of them. Only
// addresses are kept: an entity that went is never followed, only recognised.
class TGoneEntities final {
public:
    TGoneEntities() = default;

    // Runs Delete on Database and gives the entities it took from the collections the editor's tabs list or refer to.
    static TGoneEntities Of(const TPyxDatabase& Database, const std::function<void()>& Delete);

    // Whether Entity went (false for nil).
    bool Has(const void* Entity) const { return Entity != nullptr && Gone_.count(Entity) > 0; }
    bool Empty() const { return Gone_.empty(); }
    std::size_t Count() const { return Gone_.size(); }
    // Counts Entity as gone.
    void Add(const TPyxObject* Entity);

private:
    std::unordered_set<const void*> Gone_;
};
