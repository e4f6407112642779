#include "ColorPicking.h"

#include "PyxColorBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include <cstring>
#include <stdexcept>

namespace eh {

void PickColor(TPyxColorBox& Box, int Index) {
    Box.setFocus();
    QTest::mouseClick(&Box, Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return Box.view()->isVisible(); }))
        throw std::runtime_error("the colour list did not drop down");
    const QModelIndex Wanted = Box.model()->index(Index, 0);
    // A release too soon after the opening click counts as part of that click and leaves the list down; on a loaded
    // machine the pause may not be enough, so the click is given a few chances, as a user would click again.
    for (int Attempt = 0; Attempt < 4; ++Attempt) {
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Box.view()->scrollTo(Wanted);
        QTest::mouseClick(Box.view()->viewport(), Qt::LeftButton, {}, Box.view()->visualRect(Wanted).center());
        if (QTest::qWaitFor([&] { return !Box.view()->isVisible(); }, 2000))
            return;
    }
    throw std::runtime_error("the colour list stayed down");
}

int NamedColorIndex(const char* Name) {
    for (int I = 0; I < TPyxCustomColorBox::NamedColorCount; ++I)
        if (std::strcmp(TPyxCustomColorBox::NamedColors[I].Name, Name) == 0)
            return I + 1;
    throw std::runtime_error(std::string("no colour named ") + Name);
}

TModalDriver::THandler AnswerColorDialog(const QColor& Color) {
    return [Color](QWidget* Dialog) {
        auto* Colors = qobject_cast<QColorDialog*>(Dialog);
        if (Colors == nullptr)
            throw std::runtime_error("expected the colour dialog");
        auto* Buttons = Colors->findChild<QDialogButtonBox*>();
        if (!Color.isValid()) {
            Buttons->button(QDialogButtonBox::Cancel)->click();
            return;
        }
        Colors->setCurrentColor(Color);
        Buttons->button(QDialogButtonBox::Ok)->click();
    };
}

} // namespace eh
