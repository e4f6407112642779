#pragma once

#include <QComboBox>

#include <cstdint>

class QPainter;

// A drop-down list of colours: "Custom Colour..." first, then 35 named kit colours, each item drawn with a swatch of
// its colour. Picking "Custom Colour..." from the dropped-down list (mouse or Enter), or pressing Enter on it while
// the box is closed, opens a colour dialog; the chosen colour becomes the custom colour. Moving onto it with the
// arrow keys of a closed box selects the custom colour as it stands, without the dialog.
//
// A colour is a 32-bit value with red in the low byte, then green, then blue, top byte 0 (TPyxColor's 24-bit form);
// NoColor (0xFF000000) means no colour is selected. Use TPyxColorBox, which adds the Selected property.
class TPyxCustomColorBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr uint32_t NoColor = 0xFF000000u;
    // The named colours, items 1 to 35 in this order.
    static constexpr int NamedColorCount = 35;
    struct TNamedColor {
        const char* Name;
        uint32_t Color;
    };
    static const TNamedColor NamedColors[NamedColorCount];

    explicit TPyxCustomColorBox(QWidget* Parent = nullptr);

    // NoColor when no item is current, else the current item's colour.
    uint32_t Selected() const;
    // Makes the item carrying Color current, preferring a named colour to the custom entry; a colour no item carries
    // becomes the custom colour and "Custom Colour..." is made current; NoColor makes no item current. Frames load a
    // kit colour with it; Selected then gives Color back exactly. Raises no Changed.
    void SetSelected(uint32_t Color);

    // The colour of item Index (item 0: the custom colour; black until one is set or chosen).
    uint32_t ItemColor(int Index) const;
    // Rebuilds the items, keeping the custom colour and the selected colour.
    void PopulateList();

    // The colour a swatch is framed with: black when red, green or blue is above 192 (a light colour), otherwise white
    // for a selected item, otherwise the colour itself.
    static uint32_t ColorToBorderColor(uint32_t Color, bool ItemSelected);
    static QColor ToQColor(uint32_t Color);
    static uint32_t FromQColor(const QColor& Color);
    // Draws item Index into Rect: the background, a framed swatch at the left and the name beside it.
    void DrawItem(QPainter& Painter, int Index, const QRect& Rect, bool ItemSelected, const QPalette& Palette) const;

    // The base's popup and keys feed the selection rules.
    void hidePopup() override;

signals:
    // The user settled on a colour: picked a named colour, moved onto one with the keys, or chose a custom colour in
    // the dialog. Not raised by SetSelected, nor when the colour dialog is cancelled. Connect to this rather than to
    // QComboBox's own signals, which fire before the dialog has been answered.
    void Changed();

protected:
    // Runs the colour dialog on the custom colour; true when the user confirmed a colour, which then is the custom
    // colour.
    virtual bool PickCustomColor();

    void keyPressEvent(QKeyEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    void Select(int Index);
    void DrawContent(QPainter& Painter, int Index, const QRect& Rect, bool ItemSelected, const QColor& TextColor) const;
    void SelectColor(uint32_t Color);
    void SetItemColor(int Index, uint32_t Color);
    void Settle();
    int IndexOfColor(uint32_t Color, int From) const;

    // The last selection came from closing the dropped-down list (so picking the custom entry opens the dialog).
    bool DroppedPick_ = false;
    // The last colour selected, by code or by the user; a rebuild selects it again.
    uint32_t SelectedColor_ = 0;
    // The item the user last settled on, restored when a custom colour dialog is cancelled.
    int SettledIndex_ = -1;
};
