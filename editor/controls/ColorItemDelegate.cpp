#include "ColorItemDelegate.h"

#include <QFontMetrics>
#include <QPainter>

TColorItemDelegate::TColorItemDelegate(QObject* Owner, TDrawItem DrawItem)
    : QStyledItemDelegate(Owner), DrawItem_(std::move(DrawItem)) {}

void TColorItemDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const {
    DrawItem_(*Painter, Index.row(), Option.rect, (Option.state & QStyle::State_Selected) != 0, Option.palette);
}

QSize TColorItemDelegate::sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const {
    const QFontMetrics Metrics(Option.font);
    const int Height = std::max(16, Metrics.height() + 4);
    // Swatch, gap, name and a little room at the end.
    const int Width = Height + 5 + Metrics.horizontalAdvance(Index.data().toString()) + 8;
    return {Width, Height};
}
