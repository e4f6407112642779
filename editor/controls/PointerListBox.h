#pragma once

#include <QListWidget>

#include <memory>
#include <typeindex>
#include <typeinfo>
#include <vector>

class TTabStopItemDelegate;

// A list box whose items each carry a pointer: an entity borrowed from the database (a club, a coach) or a record the
// item owns (the copy of a relationship, a person language or a loan that a frame edits until Confirm).
//
// Items are read back as the type they were added with: GetItem<TPyxClub>(i) of an item added as a TPyxClub* gives
// that club, and nil for an item of another type, so a frame can never mistake one kind of record for another. Owned
// records are freed with their item (DeleteItem, Clear, clear, or the box itself), so a frame that keeps its copies in
// the box cannot leak them. Single selection; double-clicks arrive through QListWidget::itemDoubleClicked.
class TPointerListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit TPointerListBox(QWidget* Parent = nullptr);
    ~TPointerListBox() override;

    // Appends an item carrying a borrowed pointer (nil allowed).
    template <class T> void Add(const QString& Text, T* Reference) {
        AddPointer(Text, Reference, typeid(T), TOwned(nullptr, &KeepBorrowed));
    }
    // Appends an item that owns Record; the record lives until its item is deleted.
    template <class T> void AddOwned(const QString& Text, std::unique_ptr<T> Record) {
        T* Raw = Record.get();
        AddPointer(Text, Raw, typeid(T), TOwned(Record.release(), [](void* P) { delete static_cast<T*>(P); }));
    }

    // The pointer of item Index; nil when there is no such item or it carries another type.
    template <class T> T* GetItem(int Index) const { return static_cast<T*>(PointerOf(item(Index), typeid(T))); }
    // The pointer of the item under the point (X, Y) of the list's viewport; nil when the point lies on no item.
    template <class T> T* ItemAt(int X, int Y) const { return static_cast<T*>(PointerOf(itemAt(X, Y), typeid(T))); }
    // The pointer of the selected item; nil when no item is selected.
    template <class T> T* GetSelected() const { return GetItem<T>(SelectedIndex()); }
    // The pointers of every item, in the order shown (nil for an item of another type).
    template <class T> std::vector<T*> Items() const {
        std::vector<T*> All;
        for (int Row = 0; Row < count(); ++Row)
            All.push_back(GetItem<T>(Row));
        return All;
    }
    // The row of the selected item, -1 when none is selected.
    int SelectedIndex() const;

    // Removes item Index and frees the record it owns; nothing happens for an index out of range.
    void DeleteItem(int Index);
    // Removes every item, freeing the records they own.
    void Clear() { clear(); }

    // When true, items are kept ordered by text (the user's locale, ignoring case). Default false.
    void SetSorted(bool Value);
    bool Sorted() const { return isSortingEnabled(); }
    // Tab stops every Width dialog units (a quarter of the font's average character width each), for items whose
    // texts are columns separated by tabs ("07\tName"). 0, the default, leaves tabs at the style's own width.
    void SetTabWidth(int Width);
    int TabWidth() const { return TabWidth_; }

private:
    using TOwned = std::unique_ptr<void, void (*)(void*)>;

    static void KeepBorrowed(void*) {}
    void AddPointer(const QString& Text, void* Pointer, const std::type_info& Type, TOwned Owned);
    static void* PointerOf(const QListWidgetItem* Item, const std::type_info& Type);

    int TabWidth_ = 0;
    TTabStopItemDelegate* TabDelegate_ = nullptr; // owned by the widget
};
