#pragma once

#include "ModalDriver.h"
#include "PyxNavigator.h"

#include <QString>
#include <QStringList>

#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QWidget;
class TPyxEditorFrame;
class TPyxObject;
class TframeSelectionSearch;

namespace eh {

// The main window's part for frames built without one: records where their links lead, in order.
class TRecordingNavigator final : public TPyxNavigator {
public:
    void ShowPerson(TPyxPerson* E) override;
    void ShowClub(TPyxClub* E) override;
    void ShowNation(TPyxNation* E) override;
    void ShowCity(TPyxCity* E) override;
    void ShowStadium(TPyxStadium* E) override;
    void ShowCompetition(TPyxCompetition* E) override;
    void ShowContinent(TPyxContinent* E) override;
    void ShowWeather(TPyxWeather* E) override;
    void ShowLanguage(TPyxLanguage* E) override;
    void ShowInjury(TPyxInjury* E) override;
    void RefreshClubSquads() override {}
    void EntitiesAdded() override {}
    void EntitiesDeleted(const TGoneEntities&) override {}
    // The entity of the one Show since the last Take; nil when none came, or more than one.
    const TPyxObject* Take() {
        const TPyxObject* Last = Shown.size() == 1 ? Shown.back() : nullptr;
        Shown.clear();
        return Last;
    }
    std::vector<const TPyxObject*> Shown;
};

// What a user does with a frame's controls, for the journeys over the editor's tabs.

// Lists every entity of Frame's kind and focuses Entity's row (which loads it into the editor, also when the editor
// showed it before).
void ShowAllAndFocus(TPyxEditorFrame& Frame, const TPyxObject* Entity);
// Types Text over the whole text of a spin, float or line edit, then leaves it (a spin edit clamps then).
void TypeInto(QWidget* Edit, const QString& Text);
// Picks the item with Text in a drop-down list with the keyboard, as a user does; throws when there is none.
void PickItem(QComboBox* Combo, const QString& Text);
// Clicks a check box on its indicator, as a user ticks it.
void ClickCheckBox(QCheckBox* Box);
// What each control of Frame shows, one "name=value" line per control: the value a Confirm reads, a combo's item,
// a colour box's colour and an item list's texts. For telling whether a frame shows again what it showed before.
QStringList ShownValues(const QWidget& Frame);
// The texts of a combo's items in the order shown.
QStringList ItemTexts(const QComboBox* Combo);
// Opens the language text dialog with Button, types Texts into its rows (as many as both have) and presses OK, or
// Cancel when Ok is false; returns the rows' labels as shown.
QStringList EditNames(TModalDriver& Driver, QAbstractButton* Button, const QStringList& Texts, bool Ok = true);
// The texts the language text dialog shows for Button's name, read and cancelled.
QStringList NamesShown(TModalDriver& Driver, QAbstractButton* Button);
// Picks Entity (nil: ticks the "no entity" box) in Selector's pick dialog and presses OK; returns the dialog's
// caption and the caption of its "no entity" box, one per line.
QString PickInSelector(TModalDriver& Driver, TframeSelectionSearch* Selector, const TPyxObject* Entity);

} // namespace eh
