#pragma once

#include "ListBinding.h"

#include <QTreeWidget>
#include <QWidget>

#include <memory>

class QCheckBox;
class QPushButton;
class QToolButton;
class TPyxDatabase;
class TPyxNavigator;
class TPyxPerson;
class TPyxPlayingHistoryEntry;
class TSpinEdit;
class TframeSelectionSearch;

// The report list of a person's playing history: one row per season, in the order saved. Each row owns a copy of
// its entry. A row dragged within the list moves to just before the row it is dropped on; a drop anywhere else, or
// a drag from anywhere else, is refused. Drags carry the list's own format, so only a drag from this list is taken.
class THistoryListView final : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr const char* DragFormat = "application/x-pyx-playing-history-row";

    explicit THistoryListView(QWidget* Parent);

    // The entry a row holds (nil for none).
    static TPyxPlayingHistoryEntry* EntryOf(const QTreeWidgetItem* Item);
    // Appends a row owning Entry and shows it.
    QTreeWidgetItem* AddEntry(std::unique_ptr<TPyxPlayingHistoryEntry> Entry);
    // Shows the row's entry in its columns.
    static void UpdateItem(QTreeWidgetItem* Item);
    // Moves the selected row to just before Target (nothing when either is missing or they are the same row).
    bool MoveSelectedBefore(QTreeWidgetItem* Target);
    // What a drag of the selected row carries.
    std::unique_ptr<QMimeData> DragPayload() const;

signals:
    // A row was moved by a drop.
    void RowMoved();

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& Items) const override;
    QStringList mimeTypes() const override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    bool Accepts(const QMimeData* Data, const QPoint& Position) const;
};

// A person's playing history, season by season, on the people frame's "&Playing History" page. The list holds
// copies; nothing reaches the person until the people frame's Confirm calls SaveHistory, and then only when the
// list differs from what was loaded (a list binding). A season at a club whose team was deleted elsewhere leaves the
// list, as it leaves the person's own history. The panel edits the selected row; without one it is disabled and
// empty.
class TframePlayingHistory final : public QWidget {
    Q_OBJECT
public:
    TframePlayingHistory(TPyxNavigator& Navigator, QWidget* Parent);

    // Attaches to a database loaded with its playing histories (nil on detach).
    void SetDatabase(TPyxDatabase* Database);
    void LoadPerson(TPyxPerson* Person);
    // Empties the list (the person type changed); the list then saves as no history.
    void ClearList();
    // Replaces the person's history by copies of the rows, or removes it when there are none; only when edited.
    void SaveHistory();
    // Whether the rows differ from the person's history as loaded or last saved.
    bool Modified() const { return Rows_->Changed(); }
    // Drops the seasons at teams deleted elsewhere, and such a team from the panel.
    void Purge(const TGoneEntities& Gone);

    THistoryListView* lvPlayingHistory;
    QPushButton* btnAdd;
    QPushButton* btnDelete;
    QWidget* pnlEntry;
    TSpinEdit* seSeason;
    TframeSelectionSearch* ssClub;
    QToolButton* btnTeamLink;
    QCheckBox* cbOnLoan;
    TSpinEdit* seApps;
    TSpinEdit* seGoals;
    QPushButton* btnOK;

public slots:
    void lvPlayingHistoryClick();
    void btnOKClick();
    void btnAddClick();
    void btnDeleteClick();

private:
    // Disables the panel and empties it.
    void ClearPanel();

    TPyxNavigator& Navigator_;
    TPyxDatabase* Database_ = nullptr;
    TPyxPerson* Person_ = nullptr;
    std::unique_ptr<TListBinding<TPyxPlayingHistoryEntry>> Rows_;
};
