#pragma once

#include <QIcon>
#include <QString>

class QToolButton;
class QWidget;

// The two glyphs of the frames' small buttons, drawn here rather than loaded: "EDITBUTTON" (three dots: edit the
// value beside it in a dialog) and "LINKBUTTON" (an arrow: go to the entity beside it in its own tab).
namespace PyxGlyphs {

QIcon EditButton();
QIcon LinkButton();
// A 23 x 22 button with Glyph, named ObjectName.
QToolButton* MakeButton(QWidget* Parent, const QString& ObjectName, const QIcon& Glyph);

} // namespace PyxGlyphs
