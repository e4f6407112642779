#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;
class TPyxListView;
class TPyxObject;
class TPyxSearch;

// The modal pick dialog: a search edit and a list of entities, with a check box for "no entity". Whoever opens it
// sets its caption and the check box's caption, creates a TPyxSearch over lvSearchList and stores it in Search
// (and frees it afterwards), shows it, and reads GetSelected after OK.
class TSearchForm final : public QDialog {
    Q_OBJECT
public:
    explicit TSearchForm(QWidget* Parent);

    // The search object over the list; borrowed from the opener.
    TPyxSearch* Search = nullptr;

    QWidget* pnlList;
    QWidget* pnlSearch;
    QLineEdit* edSearch;
    QPushButton* btnSearch;
    QCheckBox* cbUnknown;
    TPyxListView* lvSearchList;
    QWidget* pnlButtons;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // Nil when cbUnknown is checked or no row is focused; else the focused row's entity.
    TPyxObject* GetSelected() const;

public slots:
    // Lists what edSearch matches, or every entity when it is empty.
    void btnSearchClick();
    void cbUnknownClick();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
};
