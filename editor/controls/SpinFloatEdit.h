#pragma once

#include "CustomFloatEdit.h"

#include <functional>

// The float edit with spin buttons: the Up and Down arrow keys and the buttons add or take Increment, clamped to
// Min..Max. The frames' floating-point fields (latitudes, coefficients, strengths) are edited with it.
//
// Usage: SetMin/SetMax/SetDigits/SetIncrement when building the form; SetValue(field) on load; on Confirm, when
// Value() differs from the field, field = Value(). The mouse wheel does not spin it.
class TSpinFloatEdit final : public TCustomFloatEdit {
    Q_OBJECT
    Q_PROPERTY(QString About READ About CONSTANT)
public:
    explicit TSpinFloatEdit(QWidget* Parent = nullptr);

    // The step of the buttons and arrow keys; default 1.0.
    double Increment() const { return Increment_; }
    void SetIncrement(double Value) { Increment_ = Value; }
    // False makes the text read-only for typing while the buttons and arrow keys still spin; default true.
    bool EditorEnabled() const { return EditorEnabled_; }
    void SetEditorEnabled(bool Value);
    // When set, a click or arrow key calls it (true for up, false for down) instead of stepping by Increment.
    std::function<void(bool Increment)> OnComputedIncrement;

    // Value + Increment (Up) or Value - Increment (Down), clamped to Min..Max; a beep when the control is read-only.
    void UpClick();
    void DownClick();

    // The component's name, version and credit.
    static QString About();

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    StepEnabled stepEnabled() const override;
    void stepBy(int Steps) override;

private:
    void Spin(bool Up);

    double Increment_ = 1.0;
    bool EditorEnabled_ = true;
};
