#include "SpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* Parent) : TNumberEdit(Parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    SetValue(0);
}

int32_t TSpinEdit::CheckValue(int64_t V) const {
    if (MinValue_ == MaxValue_)
        return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
    // Limits given the wrong way round (while a form sets them one after the other) still bound the value.
    const int64_t Low = std::min(MinValue_, MaxValue_);
    const int64_t High = std::max(MinValue_, MaxValue_);
    return static_cast<int32_t>(std::clamp<int64_t>(V, Low, High));
}

int32_t TSpinEdit::Value() const {
    // Loaded and typed values are both 32-bit integers, which a double holds exactly.
    return static_cast<int32_t>(Number());
}

double TSpinEdit::TypedNumber() const {
    bool Ok = false;
    const int32_t Typed = text().trimmed().toInt(&Ok);
    return CheckValue(Ok ? Typed : MinValue_);
}

void TSpinEdit::SetValue(int32_t V) {
    LoadNumber(V, QString::number(V));
}

void TSpinEdit::SetMinValue(int32_t V) {
    MinValue_ = V;
    updateGeometry();
}

void TSpinEdit::SetMaxValue(int32_t V) {
    MaxValue_ = V;
    updateGeometry();
}

void TSpinEdit::Normalize() {
    // Only what the user typed is clamped; a loaded value stays as stored.
    if (isModified())
        lineEdit()->setText(QString::number(Value()));
}

void TSpinEdit::Spin(bool Up) {
    if (isReadOnly()) {
        QApplication::beep();
        return;
    }
    const int64_t Next = static_cast<int64_t>(Value()) + (Up ? Increment_ : -static_cast<int64_t>(Increment_));
    lineEdit()->setText(QString::number(CheckValue(Next)));
    UserEdited();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

void TSpinEdit::stepBy(int Steps) {
    if (Steps != 0)
        Spin(Steps > 0);
}

void TSpinEdit::keyPressEvent(QKeyEvent* Event) {
    switch (Event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        Event->accept();
        Spin(Event->key() == Qt::Key_Up);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Normalize();
        TNumberEdit::keyPressEvent(Event);
        return;
    default:
        break;
    }
    if (TypesCharacter(Event)) {
        const QChar Key = Event->text().at(0);
        if (!(Key.isDigit() && Key.unicode() < 128) && Key != QChar('+') && Key != QChar('-')) {
            Event->accept();
            return;
        }
    }
    TNumberEdit::keyPressEvent(Event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* Event) {
    const bool Leaving = Event->reason() != Qt::ActiveWindowFocusReason && Event->reason() != Qt::PopupFocusReason;
    if (Leaving)
        Normalize();
    TNumberEdit::focusOutEvent(Event);
    if (Leaving)
        emit Exited();
}

QSize TSpinEdit::sizeHint() const {
    ensurePolished();
    const QFontMetrics Metrics(fontMetrics());
    const int Width = std::max({Metrics.horizontalAdvance(QString::number(MinValue_)),
                                Metrics.horizontalAdvance(QString::number(MaxValue_)),
                                Metrics.horizontalAdvance(QString(4, QChar('0')))}) +
                      2;
    QStyleOptionSpinBox Option;
    initStyleOption(&Option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &Option, QSize(Width, lineEdit()->sizeHint().height()), this);
}
