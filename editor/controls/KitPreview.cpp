#include "KitPreview.h"

#include "PyxCustomColorBox.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

TKitPreview::TKitPreview(QWidget* Parent, const QString& ObjectName, const QString& NumberName) : QWidget(Parent) {
    setObjectName(ObjectName);
    setFixedSize(sizeHint());
    lblNumber = new QLabel("10", this);
    lblNumber->setObjectName(NumberName);
    lblNumber->setAlignment(Qt::AlignCenter);
    lblNumber->setAttribute(Qt::WA_TranslucentBackground);
    lblNumber->setAutoFillBackground(false);
    QFont Bold = lblNumber->font();
    Bold.setBold(true);
    Bold.setPointSizeF(Bold.pointSizeF() * 1.4);
    lblNumber->setFont(Bold);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(lblNumber);
}

void TKitPreview::SetColors(uint32_t Major, uint32_t Minor, uint32_t Trim) {
    Fill_ = TPyxCustomColorBox::ToQColor(Major);
    Pen_ = TPyxCustomColorBox::ToQColor(Trim);
    QPalette Palette = lblNumber->palette();
    Palette.setColor(QPalette::WindowText, TPyxCustomColorBox::ToQColor(Minor));
    lblNumber->setPalette(Palette);
    update();
}

QColor TKitPreview::NumberColor() const {
    return lblNumber->palette().color(QPalette::WindowText);
}

void TKitPreview::paintEvent(QPaintEvent* /*Event*/) {
    QPainter Painter(this);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(QPen(Pen_, 2));
    Painter.setBrush(Fill_);
    Painter.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
}
