#include "PickEntity.h"

#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SearchForm.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace eh {

TModalDriver::THandler PickEntity(TPyxObject* Entity, QString* Caption) {
    return [Entity, Caption](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        if (Pick == nullptr) {
            // Another dialog came: closed, so that the test fails on what follows rather than hangs.
            Dialog->close();
            return;
        }
        if (Caption != nullptr)
            *Caption = Pick->windowTitle();
        Pick->edSearch->setText("");
        QTest::keyClick(Pick->edSearch, Qt::Key_Return);
        Pick->lvSearchList->FocusRow(Entity != nullptr ? Pick->Search->Model().RowOf(Entity) : -1);
        Pick->btnOK->click();
    };
}

void DoubleClickItem(QListWidget& List, int Row) {
    const QPoint At = List.visualItemRect(List.item(Row)).center();
    QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, At);
    QTest::mouseDClick(List.viewport(), Qt::LeftButton, {}, At);
}

} // namespace eh
