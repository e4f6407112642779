#pragma once

#include <functional>
#include <utility>

class TPyxObject;

// One control of an editor frame bound to one value of the focused entity. Load shows the entity's value and
// remembers what the control then shows; Save writes the control's value back only when it differs from that, so
// that a Confirm writes exactly what the user changed: a value the control cannot show as stored (a code no
// combo item carries, a number beyond the control's limits, a date the picker cannot hold) stays as it is unless
// the user changes it. Clear empties the control when the frame is detached, so that it holds no entity.
class TFieldBinding {
public:
    virtual ~TFieldBinding() = default;
    virtual void Load(TPyxObject& Entity) = 0;
    virtual void Save(TPyxObject& Entity) = 0;
    virtual void Clear() = 0;
    // Whether the control now differs from what Load showed.
    virtual bool Changed() const = 0;
};

// A binding made of functions: Show puts the entity's value into the control, Read gives the control's value (any
// type with ==), Write stores such a value into the entity, ClearControl empties the control. A control that knows
// itself whether the user changed it (the editor's spin, float, combo and colour controls keep a stored value
// exactly until then) gives UserChanged and MarkUnchanged: Save then writes exactly when the user changed it.
// Otherwise Save compares the control's value with the one Load left in it.
template <class TShown> class TValueBinding final : public TFieldBinding {
public:
    struct TAccess {
        std::function<void(TPyxObject&)> Show;
        std::function<TShown()> Read;
        std::function<void(TPyxObject&, const TShown&)> Write;
        std::function<void()> ClearControl;
        std::function<bool()> UserChanged;
        std::function<void()> MarkUnchanged;
    };

    explicit TValueBinding(TAccess Access) : Access_(std::move(Access)) {}

    void Load(TPyxObject& Entity) override {
        Access_.Show(Entity);
        Shown_ = Access_.Read();
    }
    void Save(TPyxObject& Entity) override {
        if (!Changed())
            return;
        TShown Now = Access_.Read();
        Access_.Write(Entity, Now);
        Shown_ = std::move(Now);
        if (Access_.MarkUnchanged)
            Access_.MarkUnchanged();
    }
    void Clear() override {
        if (Access_.ClearControl)
            Access_.ClearControl();
        Shown_ = TShown{};
        if (Access_.MarkUnchanged)
            Access_.MarkUnchanged();
    }
    bool Changed() const override { return Access_.UserChanged ? Access_.UserChanged() : !(Access_.Read() == Shown_); }

private:
    TAccess Access_;
    TShown Shown_{};
};
