#include "TabStopItemDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextOption>

TTabStopItemDelegate::TTabStopItemDelegate(QObject* Parent) : QStyledItemDelegate(Parent) {}

void TTabStopItemDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                                 const QModelIndex& Index) const {
    if (TabStop_ <= 0) {
        QStyledItemDelegate::paint(Painter, Option, Index);
        return;
    }
    QStyleOptionViewItem Opt(Option);
    initStyleOption(&Opt, Index);
    const QWidget* Widget = Opt.widget;
    QStyle* Style = Widget ? Widget->style() : QApplication::style();
    const QRect TextRect = Style->subElementRect(QStyle::SE_ItemViewItemText, &Opt, Widget);
    const QString Text = Opt.text;

    // The style draws the background, selection and focus; the text is drawn here with our tab stops.
    Opt.text.clear();
    Style->drawControl(QStyle::CE_ItemViewItem, &Opt, Painter, Widget);

    const int Margin = Style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Widget) + 1;
    QTextOption TextOption(Qt::AlignLeft | Qt::AlignVCenter);
    TextOption.setWrapMode(QTextOption::NoWrap);
    TextOption.setTabStopDistance(TabStop_);
    const QPalette::ColorGroup Group = !(Opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (Opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                            : QPalette::Inactive;
    Painter->save();
    Painter->setFont(Opt.font);
    Painter->setPen(
        Opt.palette.color(Group, (Opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    Painter->setClipRect(TextRect);
    Painter->drawText(QRectF(TextRect.adjusted(Margin, 0, -Margin, 0)), Text, TextOption);
    Painter->restore();
}
