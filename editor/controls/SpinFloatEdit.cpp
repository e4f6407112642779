#include "SpinFloatEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

TSpinFloatEdit::TSpinFloatEdit(QWidget* Parent) : TCustomFloatEdit(Parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

QString TSpinFloatEdit::About() {
    return QStringLiteral("TSpinFloatEdit 1.5: a floating-point edit with spin buttons, for the Pyx Pregame Editor");
}

void TSpinFloatEdit::SetEditorEnabled(bool Value) {
    EditorEnabled_ = Value;
    lineEdit()->setReadOnly(!Value || isReadOnly());
}

void TSpinFloatEdit::changeEvent(QEvent* Event) {
    TCustomFloatEdit::changeEvent(Event);
    // setReadOnly(false) makes the text editable again; with the editor disabled it must stay read-only for typing.
    if (Event->type() == QEvent::ReadOnlyChange)
        lineEdit()->setReadOnly(!EditorEnabled_ || isReadOnly());
}

void TSpinFloatEdit::UpClick() {
    Spin(true);
}

void TSpinFloatEdit::DownClick() {
    Spin(false);
}

void TSpinFloatEdit::Spin(bool Up) {
    if (isReadOnly()) {
        QApplication::beep();
        return;
    }
    if (OnComputedIncrement) {
        OnComputedIncrement(Up);
        return;
    }
    ChangeValue(Up ? Value() + Increment_ : Value() - Increment_);
}

QAbstractSpinBox::StepEnabled TSpinFloatEdit::stepEnabled() const {
    // Read-only still takes the click, to answer it with a beep.
    return StepUpEnabled | StepDownEnabled;
}

void TSpinFloatEdit::stepBy(int Steps) {
    if (Steps != 0)
        Spin(Steps > 0);
}

void TSpinFloatEdit::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Up || Event->key() == Qt::Key_Down) {
        Event->accept();
        Spin(Event->key() == Qt::Key_Up);
        return;
    }
    if (!EditorEnabled_) {
        // Nothing that would change the text gets through; moving the cursor and selecting still do.
        const QString Typed = Event->text();
        const bool Edits = (!Typed.isEmpty() && Typed.at(0) >= QChar(' ')) || Event->key() == Qt::Key_Backspace ||
                           Event->key() == Qt::Key_Delete || Event->matches(QKeySequence::Paste) ||
                           Event->matches(QKeySequence::Cut) || Event->matches(QKeySequence::Undo) ||
                           Event->matches(QKeySequence::Redo);
        if (Edits) {
            Event->accept();
            return;
        }
    }
    TCustomFloatEdit::keyPressEvent(Event);
}
