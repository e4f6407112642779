#include "PyxCustomColorBox.h"

#include "ColorItemDelegate.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace {

constexpr uint32_t Rgb(uint32_t Red, uint32_t Green, uint32_t Blue) {
    return Red | (Green << 8) | (Blue << 16);
}

const char* const CustomColorText = "Custom Colour...";

// Left of the text: the swatch is as wide as the item is high, then this gap.
constexpr int TextGap = 5;

} // namespace

const TPyxCustomColorBox::TNamedColor TPyxCustomColorBox::NamedColors[NamedColorCount] = {
    {"Amber", Rgb(255, 173, 0)},      {"Black", Rgb(0, 0, 0)},        {"Blue 1", Rgb(0, 33, 99)},
    {"Blue 2", Rgb(0, 33, 132)},      {"Blue 3", Rgb(0, 49, 165)},    {"Blue 4", Rgb(0, 82, 214)},
    {"Blue 5", Rgb(99, 197, 255)},    {"Brown 1", Rgb(132, 66, 0)},   {"Brown 2", Rgb(165, 82, 0)},
    {"Cyan 1", Rgb(16, 173, 173)},    {"Cyan 2", Rgb(0, 99, 99)},     {"Gold", Rgb(222, 181, 41)},
    {"Green 1", Rgb(0, 132, 49)},     {"Green 2", Rgb(0, 99, 49)},    {"Green 3", Rgb(0, 140, 140)},
    {"Green 4", Rgb(132, 206, 74)},   {"Green 5", Rgb(0, 58, 49)},    {"Grey 1", Rgb(132, 132, 132)},
    {"Grey 2", Rgb(115, 115, 148)},   {"Grey 3", Rgb(197, 197, 197)}, {"Grey 4", Rgb(230, 222, 206)},
    {"Orange 1", Rgb(255, 115, 0)},   {"Orange 2", Rgb(230, 132, 0)}, {"Pink", Rgb(255, 148, 148)},
    {"Purple 1", Rgb(132, 0, 66)},    {"Purple 2", Rgb(99, 0, 99)},   {"Purple 3", Rgb(132, 0, 33)},
    {"Purple 4", Rgb(206, 132, 206)}, {"Red 1", Rgb(230, 0, 0)},      {"Red 2", Rgb(181, 0, 0)},
    {"Red 3", Rgb(148, 16, 0)},       {"Red 4", Rgb(222, 25, 123)},   {"White", Rgb(255, 255, 255)},
    {"Yellow 1", Rgb(255, 247, 0)},   {"Yellow 2", Rgb(255, 214, 0)},
};

TPyxCustomColorBox::TPyxCustomColorBox(QWidget* Parent) : QComboBox(Parent) {
    setEditable(false);
    setItemDelegate(new TColorItemDelegate(
        this, [this](QPainter& Painter, int Index, const QRect& Rect, bool ItemSelected, const QPalette& Palette) {
            DrawItem(Painter, Index, Rect, ItemSelected, Palette);
        }));
    // A dropped-down list of a dozen colours with a scroll bar, below the box, rather than all 36 over the form.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setMaxVisibleItems(12);
    connect(this, &QComboBox::activated, this, &TPyxCustomColorBox::Select);
    PopulateList();
}

uint32_t TPyxCustomColorBox::Selected() const {
    const int Current = currentIndex();
    return Current < 0 ? NoColor : ItemColor(Current);
}

void TPyxCustomColorBox::SetSelected(uint32_t Color) {
    SelectColor(Color);
}

void TPyxCustomColorBox::SelectColor(uint32_t Color) {
    int Index = IndexOfColor(Color, 0);
    if (Index < 0 && Color != NoColor) {
        SetItemColor(0, Color);
        Index = 0;
    }
    if (Index == 0) {
        // A named colour is shown by its name rather than as the custom colour that happens to equal it.
        const int Named = IndexOfColor(Color, 1);
        if (Named >= 0)
            Index = Named;
    }
    {
        const QSignalBlocker Blocker(this);
        setCurrentIndex(Index);
    }
    SelectedColor_ = Color;
    SettledIndex_ = Index;
    update();
}

uint32_t TPyxCustomColorBox::ItemColor(int Index) const {
    const QVariant Value = itemData(Index);
    return Value.isValid() ? Value.value<uint32_t>() : NoColor;
}

void TPyxCustomColorBox::SetItemColor(int Index, uint32_t Color) {
    setItemData(Index, QVariant::fromValue(Color));
}

int TPyxCustomColorBox::IndexOfColor(uint32_t Color, int From) const {
    for (int I = From; I < count(); ++I)
        if (ItemColor(I) == Color)
            return I;
    return -1;
}

void TPyxCustomColorBox::PopulateList() {
    const uint32_t Custom = count() > 0 ? ItemColor(0) : Rgb(0, 0, 0);
    const uint32_t Remembered = SelectedColor_;
    {
        const QSignalBlocker Blocker(this);
        setUpdatesEnabled(false);
        clear();
        for (const TNamedColor& Named : NamedColors)
            addItem(QString::fromLatin1(Named.Name), QVariant::fromValue(Named.Color));
        insertItem(0, QString::fromLatin1(CustomColorText), QVariant::fromValue(Custom));
        setUpdatesEnabled(true);
    }
    SelectColor(Remembered);
}

uint32_t TPyxCustomColorBox::ColorToBorderColor(uint32_t Color, bool ItemSelected) {
    const uint32_t Red = Color & 0xFF;
    const uint32_t Green = (Color >> 8) & 0xFF;
    const uint32_t Blue = (Color >> 16) & 0xFF;
    if (Red > 192 || Green > 192 || Blue > 192)
        return Rgb(0, 0, 0);
    if (ItemSelected)
        return Rgb(255, 255, 255);
    return Color & 0xFFFFFF;
}

QColor TPyxCustomColorBox::ToQColor(uint32_t Color) {
    return QColor(static_cast<int>(Color & 0xFF), static_cast<int>((Color >> 8) & 0xFF),
                  static_cast<int>((Color >> 16) & 0xFF));
}

uint32_t TPyxCustomColorBox::FromQColor(const QColor& Color) {
    const QColor C = Color.toRgb();
    return Rgb(static_cast<uint32_t>(C.red()), static_cast<uint32_t>(C.green()), static_cast<uint32_t>(C.blue()));
}

void TPyxCustomColorBox::DrawItem(QPainter& Painter, int Index, const QRect& Rect, bool ItemSelected,
                                  const QPalette& Palette) const {
    Painter.fillRect(Rect, Palette.color(ItemSelected ? QPalette::Highlight : QPalette::Base));
    DrawContent(Painter, Index, Rect, ItemSelected,
                Palette.color(ItemSelected ? QPalette::HighlightedText : QPalette::Text));
}

void TPyxCustomColorBox::DrawContent(QPainter& Painter, int Index, const QRect& Rect, bool ItemSelected,
                                     const QColor& TextColor) const {
    const uint32_t Color = ItemColor(Index);
    // The swatch: the square at the left as high as the item, one pixel in from every side.
    const QRect Swatch = QRect(Rect.left(), Rect.top(), Rect.height(), Rect.height()).adjusted(1, 1, -1, -1);
    Painter.save();
    Painter.fillRect(Swatch, ToQColor(Color));
    Painter.setPen(ToQColor(ColorToBorderColor(Color, ItemSelected)));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRect(Swatch.adjusted(0, 0, -1, -1));
    Painter.setPen(TextColor);
    const QRect TextRect(Swatch.right() + 1 + TextGap, Rect.top(), Rect.right() - Swatch.right() - TextGap,
                         Rect.height());
    Painter.setClipRect(Rect);
    Painter.drawText(TextRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(Index));
    Painter.restore();
}

bool TPyxCustomColorBox::PickCustomColor() {
    const QColor Custom = ToQColor(ItemColor(0));
    // Qt's own dialog rather than the desktop's, so that it looks the same everywhere and tests can drive it.
    QColorDialog Dialog(Custom, this);
    Dialog.setOption(QColorDialog::DontUseNativeDialog);
    QColorDialog::setCustomColor(0, Custom);
    if (Dialog.exec() != QDialog::Accepted)
        return false;
    SetItemColor(0, FromQColor(Dialog.selectedColor()));
    update();
    return true;
}

void TPyxCustomColorBox::hidePopup() {
    QComboBox::hidePopup();
    DroppedPick_ = true;
}

void TPyxCustomColorBox::keyPressEvent(QKeyEvent* Event) {
    DroppedPick_ = false;
    const bool Enter = Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter;
    if (Enter && currentIndex() == 0) {
        Event->accept();
        if (PickCustomColor()) {
            Settle();
            emit Changed();
        }
        return;
    }
    QComboBox::keyPressEvent(Event);
}

void TPyxCustomColorBox::wheelEvent(QWheelEvent* Event) {
    // The wheel moves through the items like the arrow keys: it never opens the dialog.
    DroppedPick_ = false;
    QComboBox::wheelEvent(Event);
}

void TPyxCustomColorBox::Select(int Index) {
    if (DroppedPick_) {
        DroppedPick_ = false;
        if (Index == 0 && !PickCustomColor()) {
            // Cancelled: back to what was shown before, not the custom entry with a colour nobody chose.
            const QSignalBlocker Blocker(this);
            setCurrentIndex(SettledIndex_);
            update();
            return;
        }
    }
    Settle();
    emit Changed();
}

void TPyxCustomColorBox::Settle() {
    SettledIndex_ = currentIndex();
    SelectedColor_ = Selected();
    update();
}

void TPyxCustomColorBox::paintEvent(QPaintEvent* /*Event*/) {
    QStylePainter Painter(this);
    QStyleOptionComboBox Option;
    initStyleOption(&Option);
    Option.currentText.clear();
    Option.currentIcon = QIcon();
    Painter.drawComplexControl(QStyle::CC_ComboBox, Option);
    const int Current = currentIndex();
    if (Current < 0)
        return;
    const QRect Field = style()->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxEditField, this);
    DrawContent(Painter, Current, Field, false, palette().color(QPalette::ButtonText));
}
