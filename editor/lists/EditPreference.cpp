#include "EditPreference.h"

#include "PyxBusy.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SpinEdit.h"
#include "StatusForm.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QLabel* MakeLabel(QWidget* Parent, const char* ObjectName, const QString& Text) {
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(ObjectName);
    return Label;
}

QString NameOr(const TPyxObject* Entity, const QString& None) {
    return Entity != nullptr ? TPyxListModel::DisplayName(*Entity) : None;
}

} // namespace

TEditPreference::TEditPreference(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("EditPreference");

    pnlList = new QWidget(this);
    pnlList->setObjectName("pnlList");
    pnlList->setFixedWidth(201);
    edSearch = new QLineEdit(pnlList);
    edSearch->setObjectName("edSearch");
    btnSearch = new QPushButton("Search", pnlList);
    btnSearch->setObjectName("btnSearch");
    btnSearch->setAutoDefault(false);
    lvSearchList = new TPyxListView(pnlList);
    lvSearchList->setObjectName("lvSearchList");
    sbarSearchResult = new QStatusBar(pnlList);
    sbarSearchResult->setObjectName("sbarSearchResult");
    sbarSearchResult->setSizeGripEnabled(false);
    auto* SearchRow = new QHBoxLayout;
    SearchRow->addWidget(edSearch, 1);
    SearchRow->addWidget(btnSearch);
    auto* ListLayout = new QVBoxLayout(pnlList);
    ListLayout->setContentsMargins(0, 0, 0, 0);
    ListLayout->addLayout(SearchRow);
    ListLayout->addWidget(lvSearchList, 1);
    ListLayout->addWidget(sbarSearchResult);

    lblStaff = MakeLabel(this, "lblStaff", "Staff:");
    lblStaffName = MakeLabel(this, "lblStaffName", "");
    lblClub = MakeLabel(this, "lblClub", "Club:");
    lblClubName = MakeLabel(this, "lblClubName", "");
    lblNation = MakeLabel(this, "lblNation", "Nation:");
    lblNationName = MakeLabel(this, "lblNationName", "");
    lblAmount = MakeLabel(this, "lblAmount", "Amount:");
    seAmount = new TSpinEdit(this);
    seAmount->setObjectName("seAmount");
    seAmount->SetMinValue(5);
    seAmount->SetMaxValue(100);
    seAmount->SetIncrement(5);
    seAmount->SetValue(100);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);

    auto* Fields = new QGridLayout;
    Fields->addWidget(lblStaff, 0, 0);
    Fields->addWidget(lblStaffName, 0, 1);
    Fields->addWidget(lblClub, 1, 0);
    Fields->addWidget(lblClubName, 1, 1);
    Fields->addWidget(lblNation, 2, 0);
    Fields->addWidget(lblNationName, 2, 1);
    Fields->addWidget(lblAmount, 3, 0);
    Fields->addWidget(seAmount, 3, 1, Qt::AlignLeft);
    Fields->setColumnStretch(1, 1);
    Fields->setColumnMinimumWidth(1, 140);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnOK);
    Buttons->addWidget(btnCancel);
    auto* Right = new QVBoxLayout;
    Right->addLayout(Fields);
    Right->addStretch();
    Right->addLayout(Buttons);
    auto* Layout = new QHBoxLayout(this);
    Layout->addWidget(pnlList);
    Layout->addLayout(Right, 1);
    resize(405, 265);

    edSearch->installEventFilter(this);
    connect(btnSearch, &QPushButton::clicked, this, &TEditPreference::btnSearchClick);
    connect(lvSearchList, &TPyxListView::FocusChanged, this, &TEditPreference::lvSearchListFocusChanged);
    connect(seAmount, &TSpinEdit::Exited, this, &TEditPreference::seAmountExit);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TEditPreference::~TEditPreference() = default;

void TEditPreference::Setup(bool Staff, bool Favourite, bool IsAdd) {
    IsStaff = Staff;
    IsFavourite = Favourite;
    QString Caption = IsAdd ? "Add " : "Edit ";
    if (IsStaff)
        Caption += IsFavourite ? "Favourite Staff" : "Disliked Staff";
    else
        Caption += IsFavourite ? "Favourite Club" : "Disliked Club";
    setWindowTitle(Caption);
    lblStaff->setVisible(IsStaff);
    lblStaffName->setVisible(IsStaff);
    Search_.reset();
    if (Database != nullptr) {
        if (IsStaff)
            Search_ = std::make_unique<TPyxSearch>(Database->People, *lvSearchList);
        else
            Search_ = std::make_unique<TPyxSearch>(Database->Clubs, *lvSearchList);
    }
    edSearch->clear();
    lblStaffName->clear();
    lblClubName->clear();
    lblNationName->clear();
    seAmount->SetValue(100);
}

void TEditPreference::SetEntry(TPyxObject* Entity, int Amount) {
    seAmount->SetValue(Amount);
    if (Search_)
        Search_->AddAndSelect(Entity);
}

int TEditPreference::RoundAmount(int Amount) {
    return std::clamp(Amount / 5 * 5, 5, 100);
}

int TEditPreference::GetAmount() const {
    return RoundAmount(seAmount->Value());
}

void TEditPreference::btnSearchClick() {
    if (!Search_ || TPyxBusy::Active())
        return;
    TPyxBusy Busy;
    TStatusSession Status(this, {Search_.get()});
    Search_->Search(edSearch->text().toStdU16String());
}

void TEditPreference::lvSearchListFocusChanged(TPyxObject* Entity) {
    if (Entity == nullptr)
        return;
    Selected = Entity;
    if (IsStaff) {
        const auto* Person = static_cast<const TPyxPerson*>(Entity);
        lblStaffName->setText(TPyxListModel::DisplayName(*Person));
        const TPyxClub* Club = Person->ClubTeam != nullptr ? Person->ClubTeam->GetClub() : nullptr;
        lblClubName->setText(NameOr(Club, "No Club"));
        lblNationName->setText(NameOr(Person->Nation, "No Nation"));
    } else {
        const auto* Club = static_cast<const TPyxClub*>(Entity);
        lblClubName->setText(TPyxListModel::DisplayName(*Club));
        lblNationName->setText(NameOr(Club->Nation, "No Nation"));
    }
}

void TEditPreference::seAmountExit() {
    const int Rounded = RoundAmount(seAmount->Value());
    if (Rounded != seAmount->Value())
        seAmount->SetValue(Rounded);
}

bool TEditPreference::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == edSearch && (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut)) {
        const bool InEdit = Event->type() == QEvent::FocusIn;
        btnSearch->setDefault(InEdit);
        btnOK->setDefault(!InEdit);
    }
    return QDialog::eventFilter(Watched, Event);
}

void TEditPreference::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    edSearch->setFocus();
}
