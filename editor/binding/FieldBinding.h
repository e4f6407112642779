#pragma once

#include "GoneEntities.h"

#include <functional>
#include <type_traits>
#include <utility>

class TPyxObject;

// One control of an editor frame bound to one value of the entity the frame shows: the one way the editor knows what
// the user changed. The frame shows the entity (Load, and whatever it fills itself), then has every binding
// Remember what its control shows; from then on Changed tells whether the control differs from that, and Save writes
// the control back only when it does. So a Confirm writes exactly what the user changed, and a value the control
// cannot show as stored (a code no combo item carries, a number beyond the control's limits, a date the picker cannot
// hold) stays as it is unless the user changes it.
//
// Work on other tabs reaches a binding only through Purge: after a delete it drops from its control, and from what it
// remembered, the references to the entities that went, as the data model's delete drops them from the entities; the
// rest of what the user typed stays.
class TFieldBinding {
public:
    virtual ~TFieldBinding() = default;
    // Shows the entity's value in the control (nothing for a binding whose control the frame fills itself).
    virtual void Load(TPyxObject& Entity) = 0;
    // What the control shows now is the entity's value.
    virtual void Remember() = 0;
    // Whether the control differs from what Remember took.
    virtual bool Changed() const = 0;
    // Writes the control's value into the entity when Changed (nothing for a binding whose value the frame writes
    // itself). The frame then has every binding Remember again.
    virtual void Save(TPyxObject& Entity) = 0;
    // Empties the control (a detach, or the entity went); it then counts as unchanged.
    virtual void Clear() = 0;
    // Entities went: drops the references to them.
    virtual void Purge(const TGoneEntities& Gone) = 0;
};

// A binding made of functions: Show puts the entity's value into the control, Read gives the control's value (any
// type with ==), Write stores such a value into the entity, ClearControl empties the control, PurgeControl drops from
// the control the entities that went. Show and Write may be left out for a control the frame fills and writes itself,
// asking only whether it changed. A value of an entity kind (TPyxObject*) that went is forgotten as well.
template <class TShown> class TValueBinding final : public TFieldBinding {
public:
    struct TAccess {
        std::function<void(TPyxObject&)> Show;
        std::function<TShown()> Read;
        std::function<void(TPyxObject&, const TShown&)> Write;
        std::function<void()> ClearControl;
        std::function<void(const TGoneEntities&)> PurgeControl;
    };

    explicit TValueBinding(TAccess Access) : Access_(std::move(Access)) {}

    void Load(TPyxObject& Entity) override {
        if (Access_.Show)
            Access_.Show(Entity);
    }
    void Remember() override { Shown_ = Access_.Read(); }
    bool Changed() const override { return !(Access_.Read() == Shown_); }
    void Save(TPyxObject& Entity) override {
        if (Access_.Write && Changed())
            Access_.Write(Entity, Access_.Read());
    }
    void Clear() override {
        if (Access_.ClearControl)
            Access_.ClearControl();
        Remember();
    }
    void Purge(const TGoneEntities& Gone) override {
        if (Access_.PurgeControl)
            Access_.PurgeControl(Gone);
        if constexpr (std::is_pointer_v<TShown>)
            if (Gone.Has(Shown_))
                Shown_ = nullptr;
    }

private:
    TAccess Access_;
    TShown Shown_{};
};
