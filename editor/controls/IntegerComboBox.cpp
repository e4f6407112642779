#include "IntegerComboBox.h"

TIntegerComboBox::TIntegerComboBox(QWidget* Parent) : TDataComboBox(QVariant(int32_t{-1}), Parent) {}

void TIntegerComboBox::Add(const QString& Text, int32_t Code) {
    AddItem(Text, QVariant(Code));
}

void TIntegerComboBox::SetSelected(int32_t Code) {
    SelectValue(QVariant(Code));
}

int32_t TIntegerComboBox::GetSelected() const {
    return SelectedValue().value<int32_t>();
}

int32_t TIntegerComboBox::GetItem(int Index) const {
    return ItemValue(Index).value<int32_t>();
}
