#include "PointerListBox.h"

#include "ItemTextOrder.h"
#include "TabStopItemDelegate.h"

#include <QFontMetrics>

namespace {

// One item: its text, the pointer with the type it was added as, and the record it owns, if any.
class TPointerListItem final : public QListWidgetItem {
public:
    TPointerListItem(const QString& Text, void* APointer, const std::type_info& AType,
                     std::unique_ptr<void, void (*)(void*)> AOwned)
        : QListWidgetItem(Text, nullptr, UserType), Pointer(APointer), Type(AType), Owned(std::move(AOwned)) {}

    // The order of a sorted box.
    bool operator<(const QListWidgetItem& Other) const override { return CompareItemTexts(text(), Other.text()) < 0; }

    void* const Pointer;
    const std::type_index Type;
    const std::unique_ptr<void, void (*)(void*)> Owned;
};

} // namespace

TPointerListBox::TPointerListBox(QWidget* Parent) : QListWidget(Parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

// The items, and with them the records they own, go with the base's destructor.
TPointerListBox::~TPointerListBox() = default;

void TPointerListBox::AddPointer(const QString& Text, void* Pointer, const std::type_info& Type, TOwned Owned) {
    addItem(new TPointerListItem(Text, Pointer, Type, std::move(Owned)));
}

void* TPointerListBox::PointerOf(const QListWidgetItem* Item, const std::type_info& Type) {
    if (!Item || Item->type() != QListWidgetItem::UserType)
        return nullptr;
    const auto* Carrier = static_cast<const TPointerListItem*>(Item);
    return Carrier->Type == std::type_index(Type) ? Carrier->Pointer : nullptr;
}

int TPointerListBox::SelectedIndex() const {
    const QList<QListWidgetItem*> Selected = selectedItems();
    return Selected.isEmpty() ? -1 : row(Selected.first());
}

void TPointerListBox::DeleteItem(int Index) {
    delete takeItem(Index);
}

void TPointerListBox::SetSorted(bool Value) {
    setSortingEnabled(Value);
    if (Value)
        sortItems(Qt::AscendingOrder);
}

void TPointerListBox::SetTabWidth(int Width) {
    TabWidth_ = Width > 0 ? Width : 0;
    if (!TabDelegate_) {
        TabDelegate_ = new TTabStopItemDelegate(this);
        setItemDelegate(TabDelegate_);
    }
    // A dialog unit is a quarter of the average character width of the list's font.
    TabDelegate_->SetTabStop(TabWidth_ * QFontMetrics(font()).averageCharWidth() / 4.0);
    viewport()->update();
}
