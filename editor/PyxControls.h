#pragma once

#include <QDate>
#include <QString>

class QLineEdit;
class QWidget;
class TPyxDate;

// Small factories and conversions the frames share.
namespace PyxControls {

// An edit for an entity's text: no length limit below the files' own, so that no text is cut on its way through.
QLineEdit* TextEdit(QWidget* Parent, const QString& ObjectName);
// A read-only edit in the inactive colour, for names changed through their dialog and values only shown.
QLineEdit* ReadOnlyEdit(QWidget* Parent, const QString& ObjectName);

// A stored date as a calendar date: 1 January of its year plus its day of the year. Any stored value converts,
// odd ones too (a year of 0 or less, a day beyond the year's end); a picker that cannot hold the result shows its
// nearest limit, and the binding writes the date back only when the user changed it.
QDate ToQDate(const TPyxDate& Date);
// The day of the year and the year of Date.
TPyxDate FromQDate(const QDate& Date);

} // namespace PyxControls
