#pragma once

#include "BindingSet.h"

#include <QWidget>

#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class TKitPreview;
class TPyxColorBox;
class TPyxColorList;

// The kit colour sub-frame of the nation and club frames ("&Colours" page): the kits of one team container, at
// most three shown, "Main Kit:", "Second Kit:" and "Third Kit:". Each row has a check box (the kit exists), three
// colour boxes ("Major Colour:", "Minor Colour:", "Trim Colour:") and a preview: a circle in the major colour,
// outlined in the trim colour, with a "10" in the minor colour.
//
// How a frame uses it (the nation and the club frame alike), with Kits the entity's TPyxColorList:
//   LoadEntity:   frameKitColor->LoadKits(&Entity.Kits);
//   SaveEntity:   frameKitColor->SaveKits();
//   ClearEntity:  frameKitColor->ClearKits();   // detach: the frame forgets the list
// The sub-frame needs no database. Nothing reaches the list before SaveKits.
//
// Rows and check boxes: a row's labels and colour boxes are enabled, and its preview shown, exactly while its box
// is checked. The boxes cascade, so that the kits checked are always none, the main kit, main and second, or all
// three: unchecking the main kit unchecks the second (which unchecks the third); checking the second checks the
// main, unchecking it unchecks the third; checking the third checks the second (and so the main). This holds
// whether the user clicks a box or code sets it.
//
// What SaveKits writes: only what the user changed, in place, so that a Confirm without edits leaves the list
// byte for byte as it was (a stored colour is never rounded through the 24-bit form of the colour boxes):
// - a kit shown and still checked keeps its record; each of its colours the user picked is set (the 15-bit
//   conversion of TPyxColor), the others stay as stored;
// - a row checked that the list did not have becomes a new kit with the row's three colours (a row keeps the
//   colours it last showed, so a third kit checked on a list with two kits takes whatever its row showed);
// - a kit shown and now unchecked is removed.
// Kits after the third (a list longer than the game uses) are not shown and are kept after the shown ones.
class TframeKitColor final : public QWidget {
    Q_OBJECT
public:
    static constexpr int KitRows = 3;
    // The three colours of a row, in this order.
    enum TPart : int { Major = 0, Minor = 1, Trim = 2 };

    explicit TframeKitColor(QWidget* Parent);

    // Shows the first three kits of Kits and remembers the list for SaveKits (nil: no list, every row unchecked).
    void LoadKits(TPyxColorList* Kits);
    // Writes the user's changes into the list given to LoadKits (see above); nothing without a list. The rows then
    // count as unchanged, so a second SaveKits writes nothing more.
    void SaveKits();
    // Forgets the list and resets every row (unchecked, black): what a detach leaves.
    void ClearKits();
    // Whether the rows differ from what LoadKits showed: a check box changed, or a checked row's colour picked.
    bool Changed() const;
    // The list being shown, or nil.
    TPyxColorList* Kits() const { return Kits_; }

    // Applies the check box rules to the rows and paints the previews from the colour boxes (each colour box's
    // change runs it).
    void UpdatePreview();

    QCheckBox* Check(int Row) const { return Rows_[static_cast<std::size_t>(Row)].Check; }
    TPyxColorBox* Box(int Row, TPart Part) const {
        return Rows_[static_cast<std::size_t>(Row)].Boxes[static_cast<std::size_t>(Part)];
    }
    QLabel* BoxLabel(int Row, TPart Part) const {
        return Rows_[static_cast<std::size_t>(Row)].Labels[static_cast<std::size_t>(Part)];
    }
    TKitPreview* Preview(int Row) const { return Rows_[static_cast<std::size_t>(Row)].Preview; }

    QCheckBox* cbMainKit;
    QCheckBox* cbSecondKit;
    QCheckBox* cbThirdKit;

private:
    struct TRow {
        QCheckBox* Check = nullptr;
        std::array<QLabel*, 3> Labels{};
        std::array<TPyxColorBox*, 3> Boxes{};
        TKitPreview* Preview = nullptr;
    };

    void BuildRow(int Row, const QString& Caption, const QString& Name);
    // The cascade of row Row's check box, and the row's look.
    void CheckChanged(int Row, bool Checked);
    void ShowRowState(int Row);
    int CheckedCount() const;

    std::array<TRow, KitRows> Rows_;
    // The colour boxes, watched: a kit's colour is written only when its box shows another than was loaded.
    TBindingSet Bindings_;
    TPyxColorList* Kits_ = nullptr;
    // How many rows showed a kit of the list when it was loaded (or last saved).
    int LoadedKits_ = 0;
};
