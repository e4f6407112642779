#include "PyxListView.h"

#include "PyxListModel.h"

#include <QApplication>
#include <QItemSelectionModel>

TPyxListView::TPyxListView(QWidget* Parent) : QListView(Parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    // Every row has the same height, so the view places 300,000 rows without measuring one of them.
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideRight);
}

void TPyxListView::SetListModel(TPyxListModel* Model) {
    QItemSelectionModel* Old = selectionModel();
    Model_ = Model;
    setModel(Model);
    // The view does not free the selection model it made for the previous model.
    if (Old != nullptr && Old != selectionModel())
        Old->deleteLater();
    if (selectionModel() != nullptr)
        connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& Current, const QModelIndex&) { CurrentRowChanged(Current); });
}

TPyxObject* TPyxListView::FocusedEntity() const {
    return Model_ != nullptr ? Model_->Entity(FocusedRow()) : nullptr;
}

int TPyxListView::FocusedRow() const {
    const QModelIndex Current = currentIndex();
    return Current.isValid() ? Current.row() : -1;
}

void TPyxListView::FocusRow(int Row) {
    if (Model_ == nullptr || selectionModel() == nullptr)
        return;
    if (Row < 0 || Row >= Model_->Count()) {
        SuppressFocusEvents(true);
        selectionModel()->clear();
        SuppressFocusEvents(false);
        return;
    }
    const QModelIndex Index = Model_->index(Row);
    selectionModel()->setCurrentIndex(Index, QItemSelectionModel::ClearAndSelect);
    scrollTo(Index);
}

void TPyxListView::SuppressFocusEvents(bool Suppress) {
    Suppressed_ += Suppress ? 1 : -1;
}

void TPyxListView::CurrentRowChanged(const QModelIndex& Current) {
    // The focused row is the one highlighted: the view makes a row current without selecting it when it takes the
    // keyboard focus with none, and the editor would then show an entity no row marks.
    if (Current.isValid() && selectionModel() != nullptr && !selectionModel()->isSelected(Current))
        selectionModel()->select(Current, QItemSelectionModel::ClearAndSelect);
    if (Suppressed_ > 0 || Model_ == nullptr)
        return;
    emit FocusChanged(Current.isValid() ? Model_->Entity(Current.row()) : nullptr);
}

void TPyxListView::keyboardSearch(const QString& Text) {
    if (Model_ == nullptr || Text.isEmpty())
        return;
    const bool NewWord = !SinceTyped_.isValid() || SinceTyped_.elapsed() > QApplication::keyboardInputInterval();
    SinceTyped_.start();
    Typed_ = NewWord ? Text : Typed_ + Text;
    // A new word starts below the focused row, so that typing one letter again goes on to the next match; a
    // longer word keeps the focused row while it still matches.
    const int Focused = FocusedRow();
    const int From = Focused < 0 ? 0 : (NewWord ? Focused + 1 : Focused);
    const int Found = Model_->FindPrefix(Typed_, Model_->Count() == 0 ? 0 : From % Model_->Count());
    if (Found >= 0)
        FocusRow(Found);
}
