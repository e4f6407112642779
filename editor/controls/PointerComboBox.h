#pragma once

#include "DataComboBox.h"

#include <functional>

class TPyxObject;

// A drop-down list whose items each carry an entity (a continent, a region, a city...), borrowed from the database.
// Frames put a nil item first whose text names the absence ("<no continent>").
//
// Usage: fill it with Add, load the reference with SetSelected, and on Confirm write GetSelected (or
// GetSelectedAs<T>) back when it differs from what was loaded. An entity that no item carries (one outside the listed
// collection) shows no selection and is given back unchanged by GetSelected until the user picks an item. The box holds
// only borrowed pointers: clear it before the entities it lists or stores are freed.
class TPointerComboBox final : public TDataComboBox {
    Q_OBJECT
public:
    explicit TPointerComboBox(QWidget* Parent = nullptr);

    // Appends an item (at its place in text order when sorted); Entity may be nil. Adding never changes the current
    // item.
    void Add(const QString& Text, TPyxObject* Entity);
    // Loads a reference: the first item carrying it becomes current, or none when no item carries it. The reference
    // is stored and the box counts as unmodified.
    void SetSelected(TPyxObject* Entity);
    // The current item's entity (nil for the nil item); with no current item, the entity last given to SetSelected
    // (nil when none was given since the box was made or cleared).
    TPyxObject* GetSelected() const;
    // GetSelected as the kind the frame filled the box with; nil when it is another kind.
    template <class T> T* GetSelectedAs() const { return dynamic_cast<T*>(GetSelected()); }
    // The entity of item Index (nil for an index out of range).
    TPyxObject* GetItem(int Index) const;
    // The first item carrying Entity, -1 when none does.
    int IndexOf(const TPyxObject* Entity) const;
    // Takes out the items of the entities Gone holds (entities that were deleted); when the current item goes, the
    // nil item becomes current (none when there is no nil item). Gone gets only the pointers and must not follow
    // them.
    void RemoveEntities(const std::function<bool(const TPyxObject*)>& Gone);
};
