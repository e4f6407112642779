#pragma once

#include <QStyledItemDelegate>

// Draws an item view's texts with tab stops at a fixed distance, so that texts built as tab-separated columns line
// up; a distance of 0 leaves the style's own tab width.
class TTabStopItemDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TTabStopItemDelegate(QObject* Parent = nullptr);

    void SetTabStop(qreal Pixels) { TabStop_ = Pixels; }
    qreal TabStop() const { return TabStop_; }

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
    qreal TabStop_ = 0;
};
