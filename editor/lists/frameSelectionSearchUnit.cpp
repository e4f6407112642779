#include "frameSelectionSearchUnit.h"

#include "PyxGlyphs.h"
#include "PyxListModel.h"
#include "PyxSearch.h"
#include "SearchForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QToolButton>

TframeSelectionSearch::TframeSelectionSearch(QWidget* Parent) : QWidget(Parent) {
    edSelection = new QLineEdit(this);
    edSelection->setObjectName("edSelection");
    edSelection->setReadOnly(true);
    QPalette Inactive = edSelection->palette();
    Inactive.setColor(QPalette::Base, palette().color(QPalette::Window));
    edSelection->setPalette(Inactive);
    btnSearch = PyxGlyphs::MakeButton(this, "btnSearch", PyxGlyphs::EditButton());
    auto* Layout = new QHBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(1);
    Layout->addWidget(edSelection, 1);
    Layout->addWidget(btnSearch);
    setFocusProxy(edSelection);
    connect(btnSearch, &QToolButton::clicked, this, &TframeSelectionSearch::btnSearchClick);
}

void TframeSelectionSearch::SetSelected(TPyxObject* Entity) {
    Selected_ = Entity;
    edSelection->setText(Entity != nullptr ? TPyxListModel::DisplayName(*Entity) : NoneText);
    edSelection->setCursorPosition(0);
}

void TframeSelectionSearch::btnSearchClick() {
    if (List == nullptr)
        return;
    TSearchForm Dialog(this);
    Dialog.setWindowTitle(SearchCaption);
    Dialog.cbUnknown->setText(UnknownCaption);
    TPyxSearch Search(*List, *Dialog.lvSearchList);
    Dialog.Search = &Search;
    Search.AddAndSelect(Selected_);
    if (Dialog.exec() != QDialog::Accepted)
        return;
    SetSelected(Dialog.GetSelected());
    emit Changed(this);
}
