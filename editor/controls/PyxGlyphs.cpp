#include "PyxGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace {

constexpr int Size = 16;

QIcon Draw(void (*Paint)(QPainter&)) {
    QPixmap Pixmap(Size, Size);
    Pixmap.fill(Qt::transparent);
    QPainter Painter(&Pixmap);
    Painter.setRenderHint(QPainter::Antialiasing);
    Paint(Painter);
    Painter.end();
    QIcon Icon(Pixmap);
    // The disabled state greys the glyph, so a disabled button reads as one.
    return Icon;
}

void PaintDots(QPainter& Painter) {
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(Qt::black);
    for (int I = 0; I < 3; ++I)
        Painter.drawEllipse(QRectF(2.5 + I * 4.0, 9.0, 2.6, 2.6));
}

void PaintArrow(QPainter& Painter) {
    QPainterPath Arrow;
    Arrow.moveTo(2, 6.5);
    Arrow.lineTo(9, 6.5);
    Arrow.lineTo(9, 3);
    Arrow.lineTo(14.5, 8);
    Arrow.lineTo(9, 13);
    Arrow.lineTo(9, 9.5);
    Arrow.lineTo(2, 9.5);
    Arrow.closeSubpath();
    Painter.setPen(QPen(QColor(0, 0, 96), 1));
    Painter.setBrush(QColor(48, 96, 200));
    Painter.drawPath(Arrow);
}

} // namespace

namespace PyxGlyphs {

QIcon EditButton() {
    static const QIcon Icon = Draw(PaintDots);
    return Icon;
}

QIcon LinkButton() {
    static const QIcon Icon = Draw(PaintArrow);
    return Icon;
}

QToolButton* MakeButton(QWidget* Parent, const QString& ObjectName, const QIcon& Glyph) {
    auto* Button = new QToolButton(Parent);
    Button->setObjectName(ObjectName);
    Button->setIcon(Glyph);
    Button->setFixedSize(23, 22);
    Button->setFocusPolicy(Qt::TabFocus);
    return Button;
}

} // namespace PyxGlyphs
