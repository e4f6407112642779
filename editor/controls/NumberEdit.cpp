#include "NumberEdit.h"

#include <QKeyEvent>
#include <QLineEdit>

TNumberEdit::TNumberEdit(QWidget* Parent) : QAbstractSpinBox(Parent) {
    connect(lineEdit(), &QLineEdit::textEdited, this, &TNumberEdit::UserEdited);
}

void TNumberEdit::setModified(bool Value) {
    if (!Value)
        Loaded_ = Number();
    Modified_ = Value;
}

void TNumberEdit::LoadNumber(double X, const QString& Text) {
    Loaded_ = X;
    Modified_ = false;
    lineEdit()->setText(Text);
}

void TNumberEdit::UserEdited() {
    Modified_ = true;
    emit Changed();
}

void TNumberEdit::RestoreLoadState(const TLoadState& State) {
    Loaded_ = State.Loaded;
    Modified_ = State.Modified;
}

bool TNumberEdit::TypesCharacter(const QKeyEvent* Event) {
    const QString Typed = Event->text();
    return Typed.size() == 1 && Typed.at(0) >= QChar(' ') && Typed.at(0) != QChar(0x7F) &&
           !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

void TNumberEdit::wheelEvent(QWheelEvent* Event) {
    Event->ignore();
}
