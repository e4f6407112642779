#pragma once

#include <QComboBox>
#include <QVariant>

// The common part of the drop-down lists whose items carry a value (TIntegerComboBox, TPointerComboBox); use those.
//
// Frames load a field into the box with the typed SetSelected and write back the typed GetSelected. A stored value
// that no item carries is kept: the box then shows no selection, and GetSelected gives that value back unchanged
// until the user picks an item, so confirming an entity the user did not touch never changes the field.
class TDataComboBox : public QComboBox {
    Q_OBJECT
public:
    // Removes every item and forgets the stored value; the box counts as unmodified.
    void Clear();
    // When true, the typed Add keeps the items ordered by text (the user's locale, ignoring case; items with equal
    // texts keep their insertion order). Set it before adding items. Default false: items stay in insertion order.
    void SetSorted(bool Value);
    bool Sorted() const { return Sorted_; }

    // True when the user picked an item (mouse, keys or wheel) since the last SetSelected or Clear. Frames write the
    // box back only when it is modified.
    bool isModified() const { return Modified_; }
    void setModified(bool Value) { Modified_ = Value; }

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

private:
    void UserPicked();

    QVariant NoValue_;
    QVariant Stored_;
    bool Sorted_ = false;
    bool Modified_ = false;
};
