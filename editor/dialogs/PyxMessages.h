#pragma once

#include <QString>

class QWidget;

// The editor's message boxes. Each is a modal QMessageBox with an object name of its own ("msgMessage",
// "msgError", "msgConfirm"), so that tests and accessibility tools can tell them apart. The texts keep the "\r\n"
// line breaks of the data model's messages; they are shown as plain line breaks.
namespace PyxMessages {

// A plain message, captioned with the program's title.
void ShowMessage(QWidget* Parent, const QString& Text);
// An error box: error icon, one OK button.
void ShowError(QWidget* Parent, const QString& Text);
// A confirmation with Yes and No; true only for Yes.
bool AskYesNo(QWidget* Parent, const QString& Text);

} // namespace PyxMessages
