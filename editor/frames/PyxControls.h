#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <initializer_list>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QWidget;
class TIntegerComboBox;
class TPointerComboBox;
class TPyxDate;
class TPyxObjects;
class TSpinEdit;
class TSpinFloatEdit;
class TframeSelectionSearch;

// Small factories and conversions the frames share.
namespace PyxControls {

// An edit for an entity's text: no length limit below the files' own, so that no text is cut on its way through.
QLineEdit* TextEdit(QWidget* Parent, const QString& ObjectName);
// A read-only edit in the inactive colour, for names changed through their dialog and values only shown.
QLineEdit* ReadOnlyEdit(QWidget* Parent, const QString& ObjectName);

// An integer spin edit limited to Min..Max.
TSpinEdit* SpinEdit(QWidget* Parent, const QString& ObjectName, int32_t Min, int32_t Max);
// A right-aligned float spin edit with Digits decimals, limited to Min..Max and stepped by Increment.
TSpinFloatEdit* FloatEdit(QWidget* Parent, const QString& ObjectName, int Digits, double Min, double Max,
                          double Increment);

// One item of a fixed code list: its text and the code it stands for.
struct TCodeItem {
    const char* Text;
    int32_t Code;
};
// A drop-down list of fixed codes, shown in the order given or, when Sorted, alphabetically by text.
TIntegerComboBox* IntegerCombo(QWidget* Parent, const QString& ObjectName, std::initializer_list<TCodeItem> Items,
                               bool Sorted);
// The drop-down list of team formations (awards' and staff members' alike), sorted by text after "<Not Specified>".
TIntegerComboBox* FormationCombo(QWidget* Parent, const QString& ObjectName);
// A drop-down list of entities, sorted by text; fill it with FillPointerCombo.
TPointerComboBox* PointerCombo(QWidget* Parent, const QString& ObjectName);
// Refills Combo with its nil item (NoneText) and one item per entity of Collection, named as the lists name them.
void FillPointerCombo(TPointerComboBox* Combo, const QString& NoneText, const TPyxObjects& Collection);
// A selector with the caption of its pick dialog, the caption of the dialog's "no entity" check box and the text
// it shows for none.
TframeSelectionSearch* Selector(QWidget* Parent, const QString& ObjectName, const QString& SearchCaption,
                                const QString& UnknownCaption, const QString& NoneText);
// A date picker stepped by its arrows (no calendar pop-up), showing Format when given.
QDateEdit* DatePicker(QWidget* Parent, const QString& ObjectName, const QString& Format = QString());
// A check box whose caption is its row's label.
QCheckBox* CheckBox(QWidget* Parent, const QString& ObjectName);

// The reputation rule of the nation and squad pages, run when the user leaves the field: a value that is not a
// multiple of Step goes toward zero to one. A stored value outside the spin edit's limits is shown and kept as it is.
void RoundDownToStep(TSpinEdit* Spin, int32_t Step);

// A stored date as a calendar date: 1 January of its year plus its day of the year. Any stored value converts,
// odd ones too (a year of 0 or less, a day beyond the year's end); a picker that cannot hold the result shows its
// nearest limit, and the binding writes the date back only when the user changed it.
QDate ToQDate(const TPyxDate& Date);
// The day of the year and the year of Date.
TPyxDate FromQDate(const QDate& Date);

} // namespace PyxControls
