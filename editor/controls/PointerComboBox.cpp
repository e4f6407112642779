#include "PointerComboBox.h"

#include "PyxObject.h"

namespace {

QVariant ToValue(TPyxObject* Entity) {
    return QVariant::fromValue(reinterpret_cast<quintptr>(Entity));
}

TPyxObject* FromValue(const QVariant& Value) {
    return reinterpret_cast<TPyxObject*>(Value.value<quintptr>());
}

} // namespace

TPointerComboBox::TPointerComboBox(QWidget* Parent) : TDataComboBox(ToValue(nullptr), Parent) {}

void TPointerComboBox::Add(const QString& Text, TPyxObject* Entity) {
    AddItem(Text, ToValue(Entity));
}

void TPointerComboBox::SetSelected(TPyxObject* Entity) {
    SelectValue(ToValue(Entity));
}

TPyxObject* TPointerComboBox::GetSelected() const {
    return FromValue(SelectedValue());
}

TPyxObject* TPointerComboBox::GetItem(int Index) const {
    return FromValue(ItemValue(Index));
}

int TPointerComboBox::IndexOf(const TPyxObject* Entity) const {
    return IndexOfValue(ToValue(const_cast<TPyxObject*>(Entity)));
}

void TPointerComboBox::RemoveEntities(const std::function<bool(const TPyxObject*)>& Gone) {
    RemoveValues([&Gone](const QVariant& Value) { return FromValue(Value) != nullptr && Gone(FromValue(Value)); },
                 ToValue(nullptr));
}
