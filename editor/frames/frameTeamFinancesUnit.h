#pragma once

#include "BindingSet.h"
#include "ListBinding.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class TIntegerComboBox;
class TPointerListBox;
class TPyxClubDebt;
class TPyxTeam;
class TSpinEdit;

// A squad page's finances: the team's transfer budget (-1: the team has no budget record) and its loans from the
// bank or the chairman. The loans are edited on copies held by the list; nothing reaches the team before SaveTeam.
//
// SaveTeam writes only what the user changed: an untouched budget keeps its record, and a loan list that holds what
// was loaded (a list binding) leaves the team's own records, with their keys and order.
class TframeTeamFinances final : public QWidget {
    Q_OBJECT
public:
    explicit TframeTeamFinances(QWidget* Parent);
    ~TframeTeamFinances() override;

    void LoadTeam(TPyxTeam* Team);
    void SaveTeam();
    // Frees the copies of the loans and forgets the team.
    void ClearLoans();
    // The list text of a loan: its source, a tab, the amount and the pound sign.
    static QString LoanText(const TPyxClubDebt& Loan);
    // Whether the user changed the budget or the loans since LoadTeam (or the last SaveTeam).
    bool Changed() const;
    // The budget and the loans shown now are the team's (after LoadTeam and SaveTeam).
    void Remember();

    TSpinEdit* seTransferBudget;
    TPointerListBox* lboxLoans;
    QPushButton* btnAdd;
    QPushButton* btnDelete;
    QWidget* pnlLoan;
    TSpinEdit* seAmount;
    TSpinEdit* seMonthlyPayments;
    TIntegerComboBox* cmbLoanSource;
    QPushButton* btnOK;

public slots:
    void lboxLoansClick();
    void btnOKClick();
    void btnAddClick();
    void btnDeleteClick();

private:
    TPyxTeam* Team_ = nullptr;
    TBindingSet Bindings_;
    std::unique_ptr<TListBinding<TPyxClubDebt>> Loans_;
};
