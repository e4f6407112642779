#pragma once

#include <QComboBox>
#include <QVariant>

#include <functional>

// The common part of the drop-down lists whose items carry a value (TIntegerComboBox, TPointerComboBox); use those.
//
// Frames load a field into the box with the typed SetSelected and write back the typed GetSelected. A stored value
// that no item carries is kept: the box then shows no selection, and GetSelected gives that value back unchanged
// until the user picks an item, so the box gives back what it was loaded with until the user picks.
class TDataComboBox : public QComboBox {
    Q_OBJECT
public:
    // Removes every item and forgets the stored value.
    void Clear();
    // When true, the typed Add keeps the items ordered by text (the user's locale, ignoring case; items with equal
    // texts keep their insertion order). Set it before adding items. Default false: items stay in insertion order.
    void SetSorted(bool Value);
    bool Sorted() const { return Sorted_; }

signals:
    // The user picked an item; never raised by SetSelected, Add or Clear. Connect to this rather than to QComboBox's
    // own signals, which also fire for changes made by code.
    void Changed();

protected:
    // NoValue is what GetSelected gives when nothing is current and nothing was stored (-1, nil).
    TDataComboBox(QVariant NoValue, QWidget* Parent);

    void AddItem(const QString& Text, const QVariant& Value);
    void SelectValue(const QVariant& Value);
    QVariant SelectedValue() const;
    QVariant ItemValue(int Index) const;
    int IndexOfValue(const QVariant& Value) const;
    // Takes out the items whose value Gone holds; a current item that goes gives way to the item of Instead (none
    // when no item carries it), and a stored value that went becomes Instead. Raises no Changed.
    void RemoveValues(const std::function<bool(const QVariant&)>& Gone, const QVariant& Instead);

private:
    void UserPicked();

    QVariant NoValue_;
    QVariant Stored_;
    bool Sorted_ = false;
};
