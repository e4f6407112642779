#pragma once

#include <QStyledItemDelegate>

class TPyxCustomColorBox;

// Draws the items of a colour box's dropped-down list (swatch and name), all of one fixed height.
class TColorItemDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TColorItemDelegate(TPyxCustomColorBox* Box);

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
    TPyxCustomColorBox* Box_; // the owner
};
