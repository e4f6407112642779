#include "ModalAnswerer.h"

#include "StatusForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

TModalAnswerer::TModalAnswerer() {
    Timer_.setInterval(5);
    connect(&Timer_, &QTimer::timeout, this, &TModalAnswerer::Poll);
    Timer_.start();
}

void TModalAnswerer::Poll() {
    QWidget* Modal = QApplication::activeModalWidget();
    if (Modal == nullptr || !Modal->isVisible() || qobject_cast<TfrmStatus*>(Modal) != nullptr)
        return;
    auto* Box = qobject_cast<QMessageBox*>(Modal);
    if (Box == nullptr) {
        if (auto* Dialog = qobject_cast<QDialog*>(Modal))
            Dialog->reject();
        return;
    }
    QMessageBox::StandardButton Answer = QMessageBox::Ok;
    if (Box->objectName() == "msgConfirm")
        Answer = QMessageBox::Yes;
    else
        Boxes_.push_back(Box->text());
    // The click runs the box's own loop to its end; it must not run inside this poll.
    QTimer::singleShot(0, Box, [Box, Answer] {
        if (QAbstractButton* Button = Box->button(Answer))
            Button->click();
        else
            Box->reject();
    });
}
