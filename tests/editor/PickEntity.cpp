#include "PickEntity.h"

#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SearchForm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace eh {

TModalDriver::THandler PickEntity(TPyxObject* Entity, QString* Caption) {
    return [Entity, Caption](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        if (Pick == nullptr)
            return;
        if (Caption != nullptr)
            *Caption = Pick->windowTitle();
        Pick->edSearch->setText("");
        QTest::keyClick(Pick->edSearch, Qt::Key_Return);
        Pick->lvSearchList->FocusRow(Entity != nullptr ? Pick->Search->Model().RowOf(Entity) : -1);
        Pick->btnOK->click();
    };
}

} // namespace eh
