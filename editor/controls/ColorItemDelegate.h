#pragma once

#include <QStyledItemDelegate>

#include <functional>

class QPainter;

// Draws the items of a colour box's dropped-down list, all of one fixed height, through the drawing its box gives
// (swatch and name), so that the delegate needs to know nothing of the box.
class TColorItemDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Draws item Index into Rect.
    using TDrawItem = std::function<void(QPainter& Painter, int Index, const QRect& Rect, bool ItemSelected,
                                         const QPalette& Palette)>;

    TColorItemDelegate(QObject* Owner, TDrawItem DrawItem);

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
    TDrawItem DrawItem_;
};
