#include "DataComboBox.h"

#include "ItemTextOrder.h"

#include <QSignalBlocker>

TDataComboBox::TDataComboBox(QVariant NoValue, QWidget* Parent)
    : QComboBox(Parent), NoValue_(std::move(NoValue)), Stored_(NoValue_) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, &TDataComboBox::UserPicked);
}

void TDataComboBox::Clear() {
    const QSignalBlocker Blocker(this);
    clear();
    Stored_ = NoValue_;
}

void TDataComboBox::SetSorted(bool Value) {
    Sorted_ = Value;
}

void TDataComboBox::AddItem(const QString& Text, const QVariant& Value) {
    int Position = count();
    if (Sorted_) {
        // After the last item that does not sort behind the new one, so equal texts keep their order.
        int Low = 0;
        int High = count();
        while (Low < High) {
            const int Middle = (Low + High) / 2;
            if (CompareItemTexts(itemText(Middle), Text) <= 0)
                Low = Middle + 1;
            else
                High = Middle;
        }
        Position = Low;
    }
    // QComboBox makes the first item of an empty box current; a box whose stored value has no item must show
    // nothing, so the current item is put back.
    const int Current = currentIndex();
    const QSignalBlocker Blocker(this);
    insertItem(Position, Text, Value);
    if (Current < 0)
        setCurrentIndex(-1);
}

void TDataComboBox::SelectValue(const QVariant& Value) {
    const QSignalBlocker Blocker(this);
    setCurrentIndex(IndexOfValue(Value));
    Stored_ = Value;
}

QVariant TDataComboBox::SelectedValue() const {
    const int Current = currentIndex();
    if (Current < 0)
        return Stored_;
    return ItemValue(Current);
}

QVariant TDataComboBox::ItemValue(int Index) const {
    const QVariant Value = itemData(Index);
    return Value.isValid() ? Value : NoValue_;
}

int TDataComboBox::IndexOfValue(const QVariant& Value) const {
    for (int I = 0; I < count(); ++I)
        if (ItemValue(I) == Value)
            return I;
    return -1;
}

void TDataComboBox::RemoveValues(const std::function<bool(const QVariant&)>& Gone, const QVariant& Instead) {
    const QSignalBlocker Blocker(this);
    const bool CurrentGoes = currentIndex() >= 0 && Gone(ItemValue(currentIndex()));
    for (int I = count() - 1; I >= 0; --I)
        if (Gone(ItemValue(I)))
            removeItem(I);
    if (CurrentGoes || (currentIndex() < 0 && Gone(Stored_)))
        SelectValue(Instead);
    else if (currentIndex() < 0)
        // Removing items may have made another current; a box showing no item goes on showing none.
        setCurrentIndex(-1);
}

void TDataComboBox::UserPicked() {
    emit Changed();
}
