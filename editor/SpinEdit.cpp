#include "SpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* Parent) : QAbstractSpinBox(Parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    connect(lineEdit(), &QLineEdit::textEdited, this, &TSpinEdit::UserEdited);
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
    if (!Modified_)
        return Loaded_;
    bool Ok = false;
    const int32_t Typed = text().trimmed().toInt(&Ok);
    return CheckValue(Ok ? Typed : MinValue_);
}

void TSpinEdit::SetValue(int32_t V) {
    Loaded_ = V;
    Modified_ = false;
    lineEdit()->setText(QString::number(V));
}

void TSpinEdit::SetMinValue(int32_t V) {
    MinValue_ = V;
    updateGeometry();
}

void TSpinEdit::SetMaxValue(int32_t V) {
    MaxValue_ = V;
    updateGeometry();
}

void TSpinEdit::setModified(bool Value) {
    if (!Value)
        Loaded_ = this->Value();
    Modified_ = Value;
}

void TSpinEdit::UserEdited() {
    Modified_ = true;
    emit Changed();
}

void TSpinEdit::Normalize() {
    // Only what the user typed is clamped; a loaded value stays as stored.
    if (Modified_)
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
        QAbstractSpinBox::keyPressEvent(Event);
        return;
    default:
        break;
    }
    const QString Typed = Event->text();
    const bool Printable = Typed.size() == 1 && Typed.at(0) >= QChar(' ') && Typed.at(0) != QChar(0x7F) &&
                           !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (Printable) {
        const QChar Key = Typed.at(0);
        if (!(Key.isDigit() && Key.unicode() < 128) && Key != QChar('+') && Key != QChar('-')) {
            Event->accept();
            return;
        }
    }
    QAbstractSpinBox::keyPressEvent(Event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* Event) {
    const bool Leaving = Event->reason() != Qt::ActiveWindowFocusReason && Event->reason() != Qt::PopupFocusReason;
    if (Leaving)
        Normalize();
    QAbstractSpinBox::focusOutEvent(Event);
    if (Leaving)
        emit Exited();
}

void TSpinEdit::wheelEvent(QWheelEvent* Event) {
    // The wheel scrolls the form; a value changes only by the keys and the buttons, never by passing over it.
    Event->ignore();
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
