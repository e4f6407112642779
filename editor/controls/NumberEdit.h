#pragma once

#include <QAbstractSpinBox>

class QKeyEvent;

// What the integer and the floating-point edits share: the value a frame loads is kept exactly (not rounded to the
// digits shown, not clamped to the limits) until the user edits the text, so that a field the user did not touch is
// given back as it was stored. Each edit says how its text reads as a number once edited (TypedNumber).
//
// Signals: Changed when the user types, pastes or spins; Exited when the focus leaves the field. The mouse wheel
// changes nothing: it scrolls the form.
class TNumberEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    // True when the user changed the value since it was last loaded. setModified(false) takes the current value as
    // the loaded one; setModified(true) counts the text as the user's.
    bool isModified() const { return Modified_; }
    void setModified(bool Value);

signals:
    void Changed();
    void Exited();

protected:
    explicit TNumberEdit(QWidget* Parent);

    // The value the text gives once the user has edited it.
    virtual double TypedNumber() const = 0;
    // The loaded value while unmodified, else TypedNumber.
    double Number() const { return Modified_ ? TypedNumber() : Loaded_; }
    // Loads X, shown as Text; the control counts as unmodified.
    void LoadNumber(double X, const QString& Text);
    // The user changed the text or spun the value: the control is modified and Changed raised.
    void UserEdited();

    // The loaded value and the modified flag together, for putting back what a field held when it got the focus.
    struct TLoadState {
        double Loaded = 0;
        bool Modified = false;
    };
    TLoadState LoadState() const { return {Loaded_, Modified_}; }
    void RestoreLoadState(const TLoadState& State);

    // Whether the key types one printable character (no Ctrl, Alt or Meta held).
    static bool TypesCharacter(const QKeyEvent* Event);

    void wheelEvent(QWheelEvent* Event) override;

private:
    double Loaded_ = 0;
    bool Modified_ = false;
};
