#pragma once

#include "NumberEdit.h"

#include <cstdint>

// The integer spin edit of the frames: a number within MinValue..MaxValue, stepped by Increment with the Up and Down
// arrow keys and the buttons. Only digits, "+" and "-" can be typed; a typed value is clamped to the limits when the
// user leaves the control or presses Enter, and text that is no number reads as MinValue. With MinValue equal to
// MaxValue there are no limits.
//
// The text is the value. A value loaded with SetValue is kept exactly, even outside the limits the form gives, until
// the user edits it (TNumberEdit): Value() gives it back unchanged, so a stored field the user did not touch is never
// clamped by being shown.
//
// Signals: Changed when the user types or spins; Exited when the focus leaves (after the clamping; the place for
// handlers that adjust other controls on leaving); QAbstractSpinBox::editingFinished on leaving and on Enter, which
// is then passed on so a dialog's default button still fires. The mouse wheel does not spin it.
class TSpinEdit final : public TNumberEdit {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* Parent = nullptr);

    // The loaded value while unmodified; once the user edited it, the text as a number (MinValue when it is none),
    // clamped to the limits.
    int32_t Value() const;
    // Loads V exactly (not clamped); the control counts as unmodified.
    void SetValue(int32_t V);

    int32_t MinValue() const { return MinValue_; }
    int32_t MaxValue() const { return MaxValue_; }
    void SetMinValue(int32_t V);
    void SetMaxValue(int32_t V);
    int32_t Increment() const { return Increment_; }
    void SetIncrement(int32_t V) { Increment_ = V; }

    // V within the limits (unchanged when MinValue equals MaxValue).
    int32_t CheckValue(int64_t V) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    double TypedNumber() const override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    StepEnabled stepEnabled() const override;
    void stepBy(int Steps) override;

private:
    void Normalize();
    void Spin(bool Up);

    int32_t MinValue_ = 0;
    int32_t MaxValue_ = 100;
    int32_t Increment_ = 1;
};
