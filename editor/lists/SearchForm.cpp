#include "SearchForm.h"

#include "PyxBusy.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "StatusForm.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSearchForm::TSearchForm(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("SearchForm");
    setSizeGripEnabled(true);
    resize(276, 376);

    pnlList = new QWidget(this);
    pnlList->setObjectName("pnlList");
    pnlSearch = new QWidget(pnlList);
    pnlSearch->setObjectName("pnlSearch");
    edSearch = new QLineEdit(pnlSearch);
    edSearch->setObjectName("edSearch");
    btnSearch = new QPushButton("Search", pnlSearch);
    btnSearch->setObjectName("btnSearch");
    btnSearch->setAutoDefault(false);
    cbUnknown = new QCheckBox(pnlSearch);
    cbUnknown->setObjectName("cbUnknown");
    lvSearchList = new TPyxListView(pnlList);
    lvSearchList->setObjectName("lvSearchList");
    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName("pnlButtons");
    btnOK = new QPushButton("OK", pnlButtons);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", pnlButtons);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);

    auto* SearchRow = new QHBoxLayout;
    SearchRow->addWidget(edSearch, 1);
    SearchRow->addWidget(btnSearch);
    auto* SearchLayout = new QVBoxLayout(pnlSearch);
    SearchLayout->setContentsMargins(0, 0, 0, 0);
    SearchLayout->addLayout(SearchRow);
    SearchLayout->addWidget(cbUnknown);
    auto* ListLayout = new QVBoxLayout(pnlList);
    ListLayout->setContentsMargins(0, 0, 0, 0);
    ListLayout->addWidget(pnlSearch);
    ListLayout->addWidget(lvSearchList, 1);
    // The two buttons stay centred however wide the dialog is made.
    auto* ButtonRow = new QHBoxLayout(pnlButtons);
    ButtonRow->setContentsMargins(0, 0, 0, 0);
    ButtonRow->addStretch();
    ButtonRow->addWidget(btnOK);
    ButtonRow->addWidget(btnCancel);
    ButtonRow->addStretch();
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(pnlList, 1);
    Layout->addWidget(pnlButtons);

    setTabOrder(edSearch, btnSearch);
    setTabOrder(btnSearch, cbUnknown);
    setTabOrder(cbUnknown, lvSearchList);
    setTabOrder(lvSearchList, btnOK);
    setTabOrder(btnOK, btnCancel);

    edSearch->installEventFilter(this);
    connect(btnSearch, &QPushButton::clicked, this, &TSearchForm::btnSearchClick);
    connect(cbUnknown, &QCheckBox::clicked, this, &TSearchForm::cbUnknownClick);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvSearchList, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
}

TPyxObject* TSearchForm::GetSelected() const {
    return cbUnknown->isChecked() ? nullptr : lvSearchList->FocusedEntity();
}

void TSearchForm::btnSearchClick() {
    if (Search == nullptr || TPyxBusy::Active())
        return;
    TPyxBusy Busy;
    TStatusSession Status(this, {Search});
    if (!edSearch->text().isEmpty())
        Search->Search(edSearch->text().toStdU16String());
    else
        Search->ShowAll();
}

void TSearchForm::cbUnknownClick() {
    const bool Listing = !cbUnknown->isChecked();
    lvSearchList->setEnabled(Listing);
    edSearch->setEnabled(Listing);
    btnSearch->setEnabled(Listing);
}

bool TSearchForm::eventFilter(QObject* Watched, QEvent* Event) {
    // While the search edit has the focus, Enter searches; elsewhere it presses OK.
    if (Watched == edSearch && (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut)) {
        const bool InEdit = Event->type() == QEvent::FocusIn;
        btnSearch->setDefault(InEdit);
        btnOK->setDefault(!InEdit);
    }
    return QDialog::eventFilter(Watched, Event);
}

void TSearchForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    edSearch->setFocus();
}
