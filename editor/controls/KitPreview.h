#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;

// The preview of one kit beside its colour boxes: a circle filled with the kit's major colour and outlined in its
// trim colour (a pen two pixels wide), with the shirt number "10" centred on it in the minor colour. The number is
// a transparent label of its own (Number()), so that it can be told apart from the circle.
class TKitPreview final : public QWidget {
    Q_OBJECT
public:
    // The circle named ObjectName, its number label NumberName.
    TKitPreview(QWidget* Parent, const QString& ObjectName, const QString& NumberName);

    // Colours as the colour boxes give them: red in the low byte, then green, then blue.
    void SetColors(uint32_t Major, uint32_t Minor, uint32_t Trim);
    QColor FillColor() const { return Fill_; }
    QColor PenColor() const { return Pen_; }
    QColor NumberColor() const;
    QLabel* Number() const { return lblNumber; }

    QSize sizeHint() const override { return {64, 64}; }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    QLabel* lblNumber;
    QColor Fill_{Qt::black};
    QColor Pen_{Qt::black};
};
