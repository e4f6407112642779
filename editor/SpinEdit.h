#pragma once

#include <QAbstractSpinBox>

#include <cstdint>

// The integer spin edit of the frames: a number within MinValue..MaxValue, stepped by Increment with the Up and Down
// arrow keys and the buttons. Only digits, "+" and "-" can be typed; a typed value is clamped to the limits when the
// user leaves the control or presses Enter, and text that is no number reads as MinValue. With MinValue equal to
// MaxValue there are no limits.
//
// The text is the value. A value loaded with SetValue is kept exactly, even outside the limits the form gives, until
// the user edits it: Value() gives it back unchanged and isModified() stays false, so a frame that writes the control
// back only when it is modified never clamps a stored field the user did not touch.
//
// Signals: Changed when the user types or spins; Exited when the focus leaves (after the clamping; the place for
// handlers that adjust other controls on leaving); QAbstractSpinBox::editingFinished on leaving and on Enter, which
// is then passed on so a dialog's default button still fires. The mouse wheel does not spin it.
class TSpinEdit final : public QAbstractSpinBox {
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

    // True when the user changed the value since the last SetValue. setModified(false) takes the current Value() as
    // the loaded value.
    bool isModified() const { return Modified_; }
    void setModified(bool Value);

    // V within the limits (unchanged when MinValue equals MaxValue).
    int32_t CheckValue(int64_t V) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void Changed();
    void Exited();

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    StepEnabled stepEnabled() const override;
    void stepBy(int Steps) override;

private:
    void UserEdited();
    void Normalize();
    void Spin(bool Up);

    int32_t MinValue_ = 0;
    int32_t MaxValue_ = 100;
    int32_t Increment_ = 1;
    int32_t Loaded_ = 0;
    bool Modified_ = false;
};
