#pragma once

#include "ListBinding.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QToolButton;
class TPointerListBox;
class TPyxNavigator;
class TPyxObjects;
class TPyxPerson;
class TPyxPersonLanguage;
class TSpinEdit;
class TframeSelectionSearch;

// The languages a person speaks, with their fluency, on the people frame's "&Languages" tab. The list holds
// copies of the person's entries; nothing reaches the person until the people frame's Confirm calls
// SaveLanguages, and then only when the list differs from what was loaded (a list binding).
class TframePersonLanguages final : public QWidget {
    Q_OBJECT
public:
    TframePersonLanguages(TPyxNavigator& Navigator, QWidget* Parent);

    // The Languages collection of an attached database (nil on detach).
    void SetLanguages(TPyxObjects* Languages);
    // Shows copies of Person's languages (nil empties the list).
    void LoadPerson(TPyxPerson* Person);
    // Replaces the person's languages by copies of the list's entries, in list order, when the list was edited.
    void SaveLanguages();
    // Whether the list differs from the person's languages as loaded or last saved.
    bool Modified() const { return Rows_->Changed(); }

    QLabel* lblSpokenLanguages;
    TPointerListBox* lboxLanguages;
    QPushButton* btnAdd;
    QPushButton* btnDelete;
    QWidget* pnlLanguages;
    TframeSelectionSearch* ssLanguage;
    QToolButton* btnLanguageLink;
    TSpinEdit* seProficiency;
    QPushButton* btnOK;

public slots:
    void lboxLanguagesClick();
    void btnOKClick();
    void btnAddClick();
    void btnDeleteClick();

private:
    TPyxNavigator& Navigator_;
    TPyxPerson* Person_ = nullptr;
    std::unique_ptr<TListBinding<TPyxPersonLanguage>> Rows_;
};
