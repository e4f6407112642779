#pragma once

#include "NumberEdit.h"

// An edit for a floating-point value shown with a fixed number of decimals (Digits) within Min..Max, with typing
// rules that keep the text a number in range: only "-", digits, "e" and the decimal character are taken, and a key
// is refused when the text would stop being a number, exceed Max or get more decimals than Digits. Enter raises
// EnterPress; Escape puts back the value the edit had when it got the focus. Leaving it with text that is no number
// or out of range puts that value back too and keeps the focus. Use TSpinFloatEdit, which adds the spin buttons.
//
// The text is the value: nothing else holds a second copy that could drift from what the user sees. A value loaded
// with SetValue is kept exactly as given (not rounded to Digits, not clamped to Min..Max) until the user edits the
// text (TNumberEdit); Value() gives it back unchanged.
class TCustomFloatEdit : public TNumberEdit {
    Q_OBJECT
public:
    explicit TCustomFloatEdit(QWidget* Parent = nullptr);

    // The value: the loaded value while the control is unmodified; once the user has edited it, the text read as a
    // number ("-", "", the decimal character alone and "E" read as 0, text that is no number as Min), clamped to
    // Min..Max.
    double Value() const;
    // Loads X: shows it with Digits decimals and keeps it exactly; the control counts as unmodified. Not clamped: a
    // stored value outside Min..Max is shown as it is.
    void SetValue(double X);

    int Digits() const { return Digits_; }
    // Decimals shown, 0 to 18 (more is taken as 18); reformats the text.
    void SetDigits(int D);
    double Min() const { return Min_; }
    double Max() const { return Max_; }
    // Throws std::invalid_argument("Minimum value must not be greater than maximum value !") for X > Max.
    void SetMin(double X);
    // Throws std::invalid_argument("Maximum value must not be less than minimum value !") for X < Min.
    void SetMax(double X);
    // The decimal separator this control accepts and writes: the default locale's when the control was made.
    QChar DecimalChar() const { return DecimalChar_; }
    // Shown in a message box when a value is clamped or refused; empty (the default) keeps the control silent.
    const QString& ErrorMessage() const { return ErrorMessage_; }
    void SetErrorMessage(const QString& Message) { ErrorMessage_ = Message; }
    // The value when the control last got the focus.
    double EnterValue() const { return EnterValue_; }

    // X as this control shows it: fixed-point with Digits decimals and at most 18 significant digits.
    QString FormatValue(double X) const;
    // Text read as a number with this control's decimal character; false when it is no number.
    bool ParseValue(const QString& Text, double& X) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // Enter or Return was pressed (the key goes no further). Exited is not raised when leaving is refused.
    void EnterPress();

protected:
    // Sets X as the user's new value: clamped to Min..Max (with ErrorMessage), shown, and the control modified.
    void ChangeValue(double X);

    double TypedNumber() const override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    StepEnabled stepEnabled() const override { return StepNone; }
    void stepBy(int /*Steps*/) override {}

private:
    enum class TTyping { Accept, Reject, MinusZero, DecimalZero };
    TTyping CheckTyping(QChar Key, const QString& WouldBe) const;
    void Reformat();
    void RestoreEnterState();
    void ShowErrorMessage() const;

    int Digits_ = 1;
    double Min_ = 0;
    double Max_ = 100;
    QChar DecimalChar_;
    QString ErrorMessage_;
    // What focus entry found, for Escape and for a refused exit.
    double EnterValue_ = 0;
    QString EnterText_;
    TLoadState EnterState_;
};
