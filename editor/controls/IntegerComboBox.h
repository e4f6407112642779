#pragma once

#include "DataComboBox.h"

#include <cstdint>

// A drop-down list whose items each carry a 32-bit code (an injury category, a loan source, a person type...).
//
// Usage: fill it with Add (SetSorted(true) first for an alphabetical list), load the field with SetSelected, and on
// Confirm write GetSelected back when it differs from what was loaded. A code that no item carries shows no selection
// and is given back unchanged by GetSelected until the user picks an item.
class TIntegerComboBox final : public TDataComboBox {
    Q_OBJECT
public:
    explicit TIntegerComboBox(QWidget* Parent = nullptr);

    // Appends an item (at its place in text order when sorted). Adding never changes the current item.
    void Add(const QString& Text, int32_t Code);
    // Loads a code: the first item carrying it becomes current, or none when no item carries it. The code is stored
    // and the box counts as unmodified.
    void SetSelected(int32_t Code);
    // The current item's code; with no current item, the code last given to SetSelected (-1 when none was given since
    // the box was made or cleared).
    int32_t GetSelected() const;
    // The code of item Index (-1 for an index out of range).
    int32_t GetItem(int Index) const;
};
