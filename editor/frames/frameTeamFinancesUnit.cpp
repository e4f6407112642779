#include "frameTeamFinancesUnit.h"

#include "IntegerComboBox.h"
#include "PointerListBox.h"
#include "PyxClubDebt.h"
#include "PyxControls.h"
#include "PyxTeam.h"
#include "SpinEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Caption(QWidget* Parent, const QString& Text, QWidget* Buddy) {
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName("lbl" + Buddy->objectName().mid(Buddy->objectName().startsWith("lbox") ? 4 : 2));
    Label->setBuddy(Buddy);
    return Label;
}

// A copy of Loan for the list, keeping its UniqueID so that a loan that went through the list unchanged keeps its
// key when the list is written back.
std::unique_ptr<TPyxClubDebt> CopyOf(const TPyxClubDebt& Loan) {
    auto Copy = Loan.Clone();
    Copy->UniqueID = Loan.UniqueID;
    return Copy;
}

bool Same(const TPyxClubDebt* A, const TPyxClubDebt* B) {
    return A->UniqueID == B->UniqueID && A->Team == B->Team && A->Amount == B->Amount &&
           A->MonthlyPaymentsLeft == B->MonthlyPaymentsLeft && A->TransferBudget == B->TransferBudget &&
           A->Kind == B->Kind;
}

} // namespace

TframeTeamFinances::TframeTeamFinances(QWidget* Parent) : QWidget(Parent) {
    setObjectName("frameTeamFinances");
    auto* Layout = new QVBoxLayout(this);
    auto* Heading = new QLabel("Finances:", this);
    Heading->setObjectName("lblFinances");
    QFont Bold = Heading->font();
    Bold.setBold(true);
    Heading->setFont(Bold);
    Layout->addWidget(Heading);

    auto* Grid = new QGridLayout;
    Grid->setColumnMinimumWidth(0, 160);
    Grid->setColumnStretch(1, 1);
    seTransferBudget = PyxControls::SpinEdit(this, "seTransferBudget", -1, 200000000);
    seTransferBudget->SetIncrement(500);
    seTransferBudget->SetValue(-1);
    Grid->addWidget(Caption(this, "Transfer Budget:", seTransferBudget), 0, 0);
    Grid->addWidget(seTransferBudget, 0, 1);
    lboxLoans = new TPointerListBox(this);
    lboxLoans->setObjectName("lboxLoans");
    lboxLoans->SetTabWidth(35);
    Grid->addWidget(Caption(this, "Loans:", lboxLoans), 1, 0, Qt::AlignTop);
    Grid->addWidget(lboxLoans, 1, 1);
    auto* Buttons = new QHBoxLayout;
    btnAdd = new QPushButton("Add", this);
    btnAdd->setObjectName("btnAdd");
    btnDelete = new QPushButton("Delete", this);
    btnDelete->setObjectName("btnDelete");
    Buttons->addWidget(btnAdd);
    Buttons->addWidget(btnDelete);
    Buttons->addStretch(1);
    Grid->addLayout(Buttons, 2, 1);
    Layout->addLayout(Grid);

    pnlLoan = new QWidget(this);
    pnlLoan->setObjectName("pnlLoan");
    auto* LoanGrid = new QGridLayout(pnlLoan);
    LoanGrid->setContentsMargins(0, 0, 0, 0);
    LoanGrid->setColumnMinimumWidth(0, 160);
    LoanGrid->setColumnStretch(1, 1);
    seAmount = PyxControls::SpinEdit(pnlLoan, "seAmount", 1, 200000000);
    seAmount->SetIncrement(500);
    seMonthlyPayments = PyxControls::SpinEdit(pnlLoan, "seMonthlyPayments", 1, 10000);
    seMonthlyPayments->SetIncrement(500);
    cmbLoanSource = PyxControls::IntegerCombo(pnlLoan, "cmbLoanSource", {{"Bank", 1}, {"Chairman", 2}}, false);
    LoanGrid->addWidget(Caption(pnlLoan, "Amount:", seAmount), 0, 0);
    LoanGrid->addWidget(seAmount, 0, 1);
    LoanGrid->addWidget(Caption(pnlLoan, "Monthly Payments Left:", seMonthlyPayments), 1, 0);
    LoanGrid->addWidget(seMonthlyPayments, 1, 1);
    LoanGrid->addWidget(Caption(pnlLoan, "Loan Source:", cmbLoanSource), 2, 0);
    LoanGrid->addWidget(cmbLoanSource, 2, 1);
    btnOK = new QPushButton("OK", pnlLoan);
    btnOK->setObjectName("btnOK");
    LoanGrid->addWidget(btnOK, 3, 1, Qt::AlignLeft);
    pnlLoan->setEnabled(false);
    Layout->addWidget(pnlLoan);
    Layout->addStretch(1);

    Bindings_.Watch(seTransferBudget);
    // The loans are the team's own records (their team is the page's), so a delete elsewhere leaves them alone.
    TListBinding<TPyxClubDebt>::TAccess Loans;
    Loans.Items = [this] { return lboxLoans->Items<TPyxClubDebt>(); };
    Loans.Keep = [](TPyxClubDebt& Loan) { return CopyOf(Loan); };
    Loans.Same = Same;
    Loans.ClearControl = [this] { lboxLoans->Clear(); };
    Loans_ = std::make_unique<TListBinding<TPyxClubDebt>>(std::move(Loans));

    connect(lboxLoans, &QListWidget::currentRowChanged, this, &TframeTeamFinances::lboxLoansClick);
    connect(btnOK, &QPushButton::clicked, this, &TframeTeamFinances::btnOKClick);
    connect(btnAdd, &QPushButton::clicked, this, &TframeTeamFinances::btnAddClick);
    connect(btnDelete, &QPushButton::clicked, this, &TframeTeamFinances::btnDeleteClick);
}

TframeTeamFinances::~TframeTeamFinances() {
    ClearLoans();
}

QString TframeTeamFinances::LoanText(const TPyxClubDebt& Loan) {
    return QString(Loan.Kind == 1 ? "Bank\t" : "Chairman\t") + QString::number(Loan.Amount) + QString(" ") +
           QChar(0x00A3);
}

void TframeTeamFinances::LoadTeam(TPyxTeam* Team) {
    ClearLoans();
    Team_ = Team;
    seTransferBudget->SetValue(Team != nullptr && Team->ClubDebt ? Team->ClubDebt->TransferBudget : -1);
    if (Team != nullptr)
        Team->ClubDebts.ForEach([this](TPyxClubDebt* Loan) { lboxLoans->AddOwned(LoanText(*Loan), CopyOf(*Loan)); });
    lboxLoansClick();
    Remember();
}

void TframeTeamFinances::Remember() {
    Bindings_.Remember();
    Loans_->Remember();
}

void TframeTeamFinances::SaveTeam() {
    if (Team_ == nullptr)
        return;
    if (Bindings_.Changed(seTransferBudget)) {
        const int32_t Budget = seTransferBudget->Value();
        if (Budget == -1)
            Team_->SetClubDebt(nullptr);
        else if (Team_->ClubDebt)
            // The record stays the team's, with its key; only the amount changes.
            Team_->ClubDebt->TransferBudget = Budget;
        else {
            auto Debt = std::make_unique<TPyxClubDebt>();
            Debt->TransferBudget = Budget;
            Team_->SetClubDebt(std::move(Debt));
        }
    }
    if (Loans_->Changed()) {
        Team_->ClubDebts.Clear();
        for (const TPyxClubDebt* Loan : lboxLoans->Items<TPyxClubDebt>())
            if (Loan != nullptr)
                Team_->AddLoan(CopyOf(*Loan));
    }
    Remember();
}

void TframeTeamFinances::ClearLoans() {
    lboxLoans->Clear();
    pnlLoan->setEnabled(false);
    Team_ = nullptr;
    Remember();
}

bool TframeTeamFinances::Changed() const {
    return Loans_->Changed() || Bindings_.Changed(seTransferBudget);
}

void TframeTeamFinances::lboxLoansClick() {
    const TPyxClubDebt* Loan = lboxLoans->GetSelected<TPyxClubDebt>();
    pnlLoan->setEnabled(Loan != nullptr);
    if (Loan == nullptr)
        return;
    seAmount->SetValue(Loan->Amount);
    seMonthlyPayments->SetValue(Loan->MonthlyPaymentsLeft);
    cmbLoanSource->SetSelected(Loan->Kind);
}

void TframeTeamFinances::btnOKClick() {
    const int Row = lboxLoans->SelectedIndex();
    auto* Loan = lboxLoans->GetItem<TPyxClubDebt>(Row);
    if (Loan == nullptr)
        return;
    Loan->Amount = seAmount->Value();
    Loan->MonthlyPaymentsLeft = static_cast<int16_t>(seMonthlyPayments->Value());
    // With no source selected the loan is a Bank loan: the combo's -1 would put 255 in the kind byte, which is no
    // loan source the game knows.
    Loan->Kind = static_cast<uint8_t>(cmbLoanSource->GetSelected() == 2 ? 2 : 1);
    lboxLoans->item(Row)->setText(LoanText(*Loan));
}

void TframeTeamFinances::btnAddClick() {
    if (Team_ == nullptr)
        return;
    auto Loan = std::make_unique<TPyxClubDebt>();
    Loan->Team = Team_;
    Loan->Amount = 1;
    Loan->MonthlyPaymentsLeft = 1;
    Loan->TransferBudget = 0;
    Loan->Kind = 1;
    const QString Text = LoanText(*Loan);
    lboxLoans->AddOwned(Text, std::move(Loan));
}

void TframeTeamFinances::btnDeleteClick() {
    const int Row = lboxLoans->SelectedIndex();
    if (Row < 0)
        return;
    lboxLoans->DeleteItem(Row);
    lboxLoansClick();
}
