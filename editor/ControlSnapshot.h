#pragma once

#include <QVariant>

#include <unordered_map>
#include <vector>

class QWidget;

// What a frame's controls showed once an entity was loaded into them, so that a Confirm can tell which values the
// user changed and write back only those. It reads the editor's own controls (spin edits, integer and pointer
// combos, selectors, date pickers, check boxes and line edits) by the value they give back, so a stored value a
// control cannot show counts as unchanged until the user changes it.
class TControlSnapshot final {
public:
    // Remembers Control among the controls Take reads.
    void Track(QWidget* Control) { Tracked_.push_back(Control); }
    // Reads every tracked control now.
    void Take();
    // Whether Control now gives another value than at the last Take (true for a control never read).
    bool Changed(const QWidget* Control) const;
    // Whether any of the controls changed.
    bool AnyChanged(std::initializer_list<const QWidget*> Controls) const;

    // The value a control gives back, as Take reads it.
    static QVariant ValueOf(const QWidget* Control);

private:
    std::vector<QWidget*> Tracked_;
    std::unordered_map<const QWidget*, QVariant> Values_;
};
