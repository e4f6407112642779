#pragma once

#include "ListBinding.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class QAbstractButton;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TPyxCompetition;
class TPyxCompetitionHistory;
class TPyxDatabase;
class TPyxNavigator;
class TPyxTeam;
class TSpinEdit;
class TframeSelectionSearch;

// The history page of the competition frame: one row per year with the first, second and third placed teams and
// the hosts, "Add" and "Delete" under the list, and an editor panel that edits the selected row ("OK" writes the
// panel into the row). The rows hold copies of the competition's entries; nothing reaches the competition before
// SaveHistory, which the competition frame's Confirm calls.
//
// Each copy keeps the keys (ID and UniqueID) of the entry it was made from, and a row added here gets fresh keys
// of its own, so that the histories keep telling their entries apart. SaveHistory touches the competition only when
// the rows differ from what was loaded (a list binding): a Confirm without such an edit leaves the entries, their
// order and their keys as they were. A team deleted elsewhere leaves the rows and the panel, as it leaves the
// competition's own entries.
class TframeCompetitionHistory final : public QWidget {
    Q_OBJECT
public:
    TframeCompetitionHistory(TPyxNavigator& Navigator, QWidget* Parent);
    ~TframeCompetitionHistory() override;

    // Remembers the database (nil on detach) and points the four team selectors at its teams.
    void SetDatabase(TPyxDatabase* Database);
    // Shows copies of Competition's entries (nil: an empty list); the panel is disabled.
    void LoadCompetition(TPyxCompetition* Competition);
    // Replaces the competition's entries by copies of the rows, in list order, when the rows were edited.
    void SaveHistory();
    // Whether the rows differ from the competition's entries as loaded or last saved.
    bool Edited() const { return Rows_->Changed(); }
    // Drops the teams deleted elsewhere from the rows and the panel.
    void Purge(const TGoneEntities& Gone);

    // The copy row Row holds (in list order), or nil.
    TPyxCompetitionHistory* RowEntry(int Row) const;
    int RowCount() const;

    QTreeWidget* lvHistory;
    QPushButton* btnAdd;
    QPushButton* btnDelete;
    QWidget* pnlHistory;
    TSpinEdit* seYear;
    TframeSelectionSearch* ssFirstPlaced;
    TframeSelectionSearch* ssSecondPlaced;
    TframeSelectionSearch* ssThirdPlaced;
    TframeSelectionSearch* ssHosts;
    QPushButton* btnOK;

public slots:
    void lvHistoryClick();
    void btnOKClick();
    void btnAddClick();
    void btnDeleteClick();

private:
    class THistoryItem;

    TframeSelectionSearch* AddTeamRow(int Row, const QString& Caption, const QString& Name,
                                      const QString& SearchCaption, const QString& UnknownCaption,
                                      const QString& NoneText, const QString& LinkName);
    void AddItem(std::unique_ptr<TPyxCompetitionHistory> Entry);
    static void UpdateItem(THistoryItem& Item);
    THistoryItem* SelectedItem() const;

    TPyxNavigator& Navigator_;
    TPyxDatabase* Database_ = nullptr;
    TPyxCompetition* Competition_ = nullptr;
    std::unique_ptr<TListBinding<TPyxCompetitionHistory>> Rows_;
};
