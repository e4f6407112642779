#pragma once

#include "FieldBinding.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// A list of an entity's records edited as copies in a list control (relationships, languages, histories, loans), or
// a list of references to other entities (a media's clubs): the field binding of a whole list. Remember keeps a copy
// of every record the control holds; the list counts as changed when the control holds other records, in another
// order, or records that differ (Same) from those copies. Save writes the list back only then, so a list the user
// left alone keeps its records, their keys and their places.
//
// TRecord is the record the control's rows hold; TKept what Remember keeps of one: a copy it owns
// (std::unique_ptr<TRecord>, the default), or for a list of references the entity itself (TRecord*).
template <class TRecord, class TKept = std::unique_ptr<TRecord>> class TListBinding final : public TFieldBinding {
public:
    struct TAccess {
        // Fills the control with copies of the entity's records.
        std::function<void(TPyxObject&)> Show;
        // The records the control holds now, in its order.
        std::function<std::vector<TRecord*>()> Items;
        // What Remember keeps of a record the control holds.
        std::function<TKept(TRecord&)> Keep;
        // Whether two records are the same as far as the list is concerned.
        std::function<bool(const TRecord*, const TRecord*)> Same;
        // Replaces the entity's records by those of the control.
        std::function<void(TPyxObject&)> Write;
        std::function<void()> ClearControl;
        // Drops from Record its references to entities that went, as the data model's delete drops them from the
        // entities' own records; false when the record itself goes (it then is not read any more). A record of
        // references is never read here: only its address is compared.
        std::function<bool(TRecord*, const TGoneEntities&)> Drop;
        // Takes row Row out of the control, and shows row Row again after Drop changed its record.
        std::function<void(int Row)> RemoveRow;
        std::function<void(int Row)> ShowRow;
    };

    explicit TListBinding(TAccess Access) : Access_(std::move(Access)) {}

    void Load(TPyxObject& Entity) override {
        if (Access_.Show)
            Access_.Show(Entity);
    }
    void Remember() override {
        Kept_.clear();
        for (TRecord* Record : Access_.Items())
            Kept_.push_back(Access_.Keep(*Record));
    }
    bool Changed() const override {
        const std::vector<TRecord*> Now = Access_.Items();
        if (Now.size() != Kept_.size())
            return true;
        for (std::size_t I = 0; I < Now.size(); ++I)
            if (!Access_.Same(Raw(Kept_[I]), Now[I]))
                return true;
        return false;
    }
    void Save(TPyxObject& Entity) override {
        if (Access_.Write && Changed())
            Access_.Write(Entity);
    }
    void Clear() override {
        if (Access_.ClearControl)
            Access_.ClearControl();
        Kept_.clear();
    }
    void Purge(const TGoneEntities& Gone) override {
        if (!Access_.Drop)
            return;
        const std::vector<TRecord*> Now = Access_.Items();
        for (std::size_t I = Now.size(); I-- > 0;) {
            if (!Access_.Drop(Now[I], Gone))
                Access_.RemoveRow(static_cast<int>(I));
            else if (Access_.ShowRow)
                Access_.ShowRow(static_cast<int>(I));
        }
        std::vector<TKept> Left;
        for (TKept& Kept : Kept_)
            if (Access_.Drop(Raw(Kept), Gone))
                Left.push_back(std::move(Kept));
        Kept_ = std::move(Left);
    }

private:
    static TRecord* Raw(const std::unique_ptr<TRecord>& Kept) { return Kept.get(); }
    static TRecord* Raw(TRecord* Kept) { return Kept; }

    TAccess Access_;
    std::vector<TKept> Kept_;
};
