#pragma once

#include <QElapsedTimer>
#include <QListView>

class TPyxListModel;
class TPyxObject;

// The list control of every entity list: a flat, single-column list of a TPyxListModel with full-row selection,
// no editing and no dragging. Typing letters into it moves the focus to the next row whose name begins with the
// letters typed so far (a pause longer than the desktop's keyboard interval starts a new word). It reports the
// focused row's entity through FocusChanged, the event an editor frame loads its entity on; the focused row is always
// the highlighted one.
class TPyxListView final : public QListView {
    Q_OBJECT
public:
    explicit TPyxListView(QWidget* Parent);

    // Puts Model in the view (nil takes it out). The model stays its owner's.
    void SetListModel(TPyxListModel* Model);
    TPyxListModel* ListModel() const { return Model_; }

    // The entity of the focused row, or nil.
    TPyxObject* FocusedEntity() const;
    int FocusedRow() const;
    // Focuses and selects Row (FocusChanged follows); -1 leaves no row focused, without an event.
    void FocusRow(int Row);

    // While suppressed, a change of the focused row raises no FocusChanged (nested calls count).
    void SuppressFocusEvents(bool Suppress);

    void keyboardSearch(const QString& Text) override;

signals:
    // The focused row changed; Entity is its entity, or nil when no row is focused.
    void FocusChanged(TPyxObject* Entity);

private:
    void CurrentRowChanged(const QModelIndex& Current);

    TPyxListModel* Model_ = nullptr;
    int Suppressed_ = 0;
    QString Typed_;
    QElapsedTimer SinceTyped_;
};
