#include "PyxMessages.h"

#include <QMessageBox>

namespace {

bool Run(QMessageBox::Icon Icon, const char* ObjectName, const QString& Caption, QWidget* Parent, const QString& Text,
         QMessageBox::StandardButtons Buttons) {
    QString Shown = Text;
    Shown.replace("\r\n", "\n");
    QMessageBox Box(Icon, Caption, Shown, Buttons, Parent);
    Box.setObjectName(ObjectName);
    Box.setTextFormat(Qt::PlainText);
    return Box.exec() == QMessageBox::Yes;
}

} // namespace

namespace PyxMessages {

void ShowMessage(QWidget* Parent, const QString& Text) {
    Run(QMessageBox::NoIcon, "msgMessage", "Pyx Pregame Editor", Parent, Text, QMessageBox::Ok);
}

void ShowError(QWidget* Parent, const QString& Text) {
    Run(QMessageBox::Critical, "msgError", "Error", Parent, Text, QMessageBox::Ok);
}

bool AskYesNo(QWidget* Parent, const QString& Text) {
    return Run(QMessageBox::Question, "msgConfirm", "Confirm", Parent, Text, QMessageBox::Yes | QMessageBox::No);
}

} // namespace PyxMessages
