#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class TSpinEdit;
class QStatusBar;
class TPyxDatabase;
class TPyxListView;
class TPyxObject;
class TPyxSearch;

// The preference dialog: picks a person or a club with an amount from 5 to 100 in steps of 5, for the favourite
// and disliked staff and clubs of persons and clubs. The opener sets Database, calls Setup (and SetEntry when an
// entry is edited), shows it, and after OK takes Selected and GetAmount.
class TEditPreference final : public QDialog {
    Q_OBJECT
public:
    explicit TEditPreference(QWidget* Parent);
    ~TEditPreference() override;

    bool IsStaff = false;
    bool IsFavourite = false;
    TPyxDatabase* Database = nullptr;
    // The entity of the focused row, or nil.
    TPyxObject* Selected = nullptr;

    QWidget* pnlList;
    QLineEdit* edSearch;
    QPushButton* btnSearch;
    TPyxListView* lvSearchList;
    QStatusBar* sbarSearchResult;
    QLabel* lblStaff;
    QLabel* lblStaffName;
    QLabel* lblClub;
    QLabel* lblClubName;
    QLabel* lblNation;
    QLabel* lblNationName;
    QLabel* lblAmount;
    TSpinEdit* seAmount;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // Captions the dialog ("Add " or "Edit ", then "Favourite Staff", "Disliked Staff", "Favourite Club" or
    // "Disliked Club"), binds the list to the people or the clubs and empties the fields; the amount starts at 100.
    void Setup(bool Staff, bool Favourite, bool IsAdd);
    // An existing entry: its amount, and its entity as the one row listed, focused.
    void SetEntry(TPyxObject* Entity, int Amount);
    // The amount, rounded down to a multiple of 5 within 5 to 100 however it was entered (typed and confirmed
    // with Enter too, which leaves the field without its exit).
    int GetAmount() const;
    static int RoundAmount(int Amount);

    TPyxSearch* Search() const { return Search_.get(); }

public slots:
    // Always searches, an empty text too (what it matches is the entity kind's own business).
    void btnSearchClick();
    void lvSearchListFocusChanged(TPyxObject* Entity);
    void seAmountExit();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    std::unique_ptr<TPyxSearch> Search_;
};
