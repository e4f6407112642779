// The colour box: its named colours and selection rules, the swatches it draws, and journeys that choose and cancel
// a custom colour through the colour dialog, driven with the mouse and the keys as a user would.
#include "PyxColorBox.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <optional>

namespace {

constexpr uint32_t Rgb(uint32_t Red, uint32_t Green, uint32_t Blue) {
    return Red | (Green << 8) | (Blue << 16);
}

constexpr uint32_t Gold = Rgb(222, 181, 41);
constexpr uint32_t Amber = Rgb(255, 173, 0);

// Answers the next colour dialog that opens: types the colour into the dialog's HTML field and clicks OK, or clicks
// Cancel when no colour is given.
class TColorDialogAnswerer final : public QObject {
public:
    explicit TColorDialogAnswerer(std::optional<QString> Html) : Html_(std::move(Html)) {
        connect(&Timer_, &QTimer::timeout, this, &TColorDialogAnswerer::Poll);
        Timer_.start(10);
    }
    int Answered() const { return Answered_; }

private:
    void Poll() {
        auto* Dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!Dialog || !Dialog->isVisible())
            return;
        auto* Buttons = Dialog->findChild<QDialogButtonBox*>();
        QVERIFY(Buttons);
        ++Answered_;
        Timer_.stop();
        if (!Html_) {
            QTest::mouseClick(Buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            return;
        }
        QLineEdit* HtmlEdit = nullptr;
        for (QLineEdit* Edit : Dialog->findChildren<QLineEdit*>())
            if (Edit->text().startsWith('#'))
                HtmlEdit = Edit;
        QVERIFY(HtmlEdit);
        HtmlEdit->setFocus();
        QTest::keyClick(HtmlEdit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(HtmlEdit, *Html_);
        QTest::mouseClick(Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }

    std::optional<QString> Html_;
    QTimer Timer_;
    int Answered_ = 0;
};

// A window holding one colour box.
struct TColorForm {
    TColorForm() {
        auto* Layout = new QVBoxLayout(&Window);
        Box = new TPyxColorBox;
        Layout->addWidget(Box);
        Layout->addStretch();
        Window.resize(240, 400);
        Window.show();
        QApplication::setActiveWindow(&Window);
        QVERIFY(QTest::qWaitForWindowActive(&Window));
        Box->setFocus();
    }

    // Drops the list down with a click and clicks item Index in it.
    void PickWithMouse(int Index) {
        QTest::mouseClick(Box, Qt::LeftButton);
        QTRY_VERIFY(Box->view()->isVisible());
        // A release too soon after the opening click counts as part of that click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        // Scrolled into sight first, as the user would with the list's scroll bar.
        const QModelIndex Wanted = Box->model()->index(Index, 0);
        Box->view()->scrollTo(Wanted);
        const QRect Item = Box->view()->visualRect(Wanted);
        QTest::mouseClick(Box->view()->viewport(), Qt::LeftButton, {}, Item.center());
        QTRY_VERIFY(!Box->view()->isVisible());
    }

    QWidget Window;
    TPyxColorBox* Box;
};

int CountPixels(const QImage& Image, const QRect& Area, uint32_t Color) {
    const QRgb Wanted = TPyxCustomColorBox::ToQColor(Color).rgb();
    int Count = 0;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X <= Area.right(); ++X)
            if (Image.pixel(X, Y) == Wanted)
                ++Count;
    return Count;
}

} // namespace

class ColorBoxTest : public QObject {
    Q_OBJECT

private slots:
    void ListsTheCustomEntryThenTheNamedColoursInOrder() {
        TPyxColorBox Box;
        QCOMPARE(Box.count(), 36);
        QCOMPARE(Box.itemText(0), QString("Custom Colour..."));
        QCOMPARE(Box.ItemColor(0), Rgb(0, 0, 0));
        QCOMPARE(Box.itemText(1), QString("Amber"));
        QCOMPARE(Box.ItemColor(1), 44543u);
        QCOMPARE(Box.itemText(12), QString("Gold"));
        QCOMPARE(Box.itemText(19), QString("Grey 2"));
        QCOMPARE(Box.ItemColor(19), Rgb(115, 115, 148));
        QCOMPARE(Box.itemText(35), QString("Yellow 2"));
        QCOMPARE(Box.ItemColor(35), Rgb(255, 214, 0));
        QCOMPARE(Box.Selected(), Rgb(0, 0, 0)); // a new box shows black
        QCOMPARE(Box.itemText(Box.currentIndex()), QString("Black"));
    }

    void SelectedPrefersNamedColoursAndKeepsTheCustomColour() {
        TPyxColorBox Box;
        Box.SetSelected(TPyxCustomColorBox::NoColor);
        QCOMPARE(Box.currentIndex(), -1);
        QCOMPARE(Box.Selected(), TPyxCustomColorBox::NoColor);

        // Black is the custom colour too, but the name wins.
        Box.SetSelected(0);
        QCOMPARE(Box.currentIndex(), 2);

        Box.SetSelected(1193046);
        QCOMPARE(Box.currentIndex(), 0);
        QCOMPARE(Box.ItemColor(0), 1193046u);
        QCOMPARE(Box.property("Selected").toUInt(), 1193046u);
        Box.PopulateList();
        QCOMPARE(Box.currentIndex(), 0);
        QCOMPARE(Box.Selected(), 1193046u);

        Box.setProperty("Selected", Gold);
        QCOMPARE(Box.itemText(Box.currentIndex()), QString("Gold"));
        QCOMPARE(Box.ItemColor(0), 1193046u); // the custom colour stays for later
    }

    void SwatchesAreFramedByLightnessAndSelection() {
        QCOMPARE(TPyxCustomColorBox::ColorToBorderColor(Rgb(255, 255, 255), false), 0u);
        QCOMPARE(TPyxCustomColorBox::ColorToBorderColor(Rgb(255, 247, 0), true), 0u);
        QCOMPARE(TPyxCustomColorBox::ColorToBorderColor(Rgb(0, 33, 99), false), Rgb(0, 33, 99));
        QCOMPARE(TPyxCustomColorBox::ColorToBorderColor(Rgb(0, 33, 99), true), Rgb(255, 255, 255));

        // Drawn: the swatch inside its frame, one pixel in from the item's edges.
        TPyxColorBox Box;
        QImage Image(200, 20, QImage::Format_RGB32);
        Image.fill(Qt::gray);
        QPainter Painter(&Image);
        const int Blue1 = 3;
        Box.DrawItem(Painter, Blue1, QRect(0, 0, 200, 20), true, Box.palette());
        Painter.end();
        QCOMPARE(Image.pixelColor(1, 1), QColor(Qt::white));                 // the frame of a selected dark colour
        QCOMPARE(Image.pixelColor(18, 18), QColor(Qt::white));               // its far corner
        QCOMPARE(Image.pixelColor(10, 10), QColor(0, 33, 99));               // the swatch
        QCOMPARE(Image.pixelColor(0, 0), Box.palette().highlight().color()); // the item's background
        QVERIFY(CountPixels(Image, QRect(24, 0, 176, 20), Rgb(0, 33, 99)) == 0);
    }

    void CustomColourChosenFromTheDroppedListBecomesTheSelection() {
        TColorForm Form;
        QSignalSpy Changed(Form.Box, &TPyxColorBox::Changed);
        Form.Box->SetSelected(Gold);
        TColorDialogAnswerer Answerer(QString("#563412"));
        Form.PickWithMouse(0);
        QCOMPARE(Answerer.Answered(), 1);
        QCOMPARE(Form.Box->currentIndex(), 0);
        QCOMPARE(Form.Box->Selected(), Rgb(0x56, 0x34, 0x12));
        QCOMPARE(Form.Box->Selected(), 1193046u);
        QCOMPARE(Changed.count(), 1);

        // The closed box shows the new swatch.
        const QImage Shot = Form.Box->grab().toImage();
        QVERIFY(CountPixels(Shot, Shot.rect(), 1193046) > 50);

        // A named colour picked from the list needs no dialog.
        Form.PickWithMouse(1);
        QCOMPARE(Answerer.Answered(), 1);
        QCOMPARE(Form.Box->Selected(), Amber);
        QCOMPARE(Changed.count(), 2);
    }

    void CancelledCustomColourRestoresThePreviousChoice() {
        TColorForm Form;
        Form.Box->SetSelected(Rgb(1, 2, 3)); // a custom colour from the data
        Form.Box->SetSelected(Gold);
        QSignalSpy Changed(Form.Box, &TPyxColorBox::Changed);
        TColorDialogAnswerer Answerer(std::nullopt);
        Form.PickWithMouse(0);
        QCOMPARE(Answerer.Answered(), 1);
        QCOMPARE(Form.Box->itemText(Form.Box->currentIndex()), QString("Gold"));
        QCOMPARE(Form.Box->Selected(), Gold);
        QCOMPARE(Form.Box->ItemColor(0), Rgb(1, 2, 3));
        QCOMPARE(Changed.count(), 0);
        const QImage Shot = Form.Box->grab().toImage();
        QVERIFY(CountPixels(Shot, Shot.rect(), Gold) > 50);
    }

    void ArrowKeysReachTheCustomEntryWithoutTheDialogAndEnterOpensIt() {
        TColorForm Form;
        Form.Box->SetSelected(Amber);
        QSignalSpy Changed(Form.Box, &TPyxColorBox::Changed);
        TColorDialogAnswerer Answerer(QString("#102030"));
        QTest::keyClick(Form.Box, Qt::Key_Up);
        QCOMPARE(Form.Box->currentIndex(), 0);
        QCOMPARE(Form.Box->Selected(), Rgb(0, 0, 0)); // the custom colour as it stands
        QCOMPARE(Changed.count(), 1);
        QTest::qWait(50);
        QCOMPARE(Answerer.Answered(), 0);

        QTest::keyClick(Form.Box, Qt::Key_Return);
        QCOMPARE(Answerer.Answered(), 1);
        QCOMPARE(Form.Box->Selected(), Rgb(0x10, 0x20, 0x30));
        QCOMPARE(Changed.count(), 2);

        // Enter in the dropped-down list on the custom entry opens the dialog as well; cancelled, nothing changes.
        TColorDialogAnswerer Canceller(std::nullopt);
        QTest::keyClick(Form.Box, Qt::Key_F4);
        QTRY_VERIFY(Form.Box->view()->isVisible());
        QTest::keyClick(Form.Box->view(), Qt::Key_Return);
        QTRY_VERIFY(!Form.Box->view()->isVisible());
        QCOMPARE(Canceller.Answered(), 1);
        QCOMPARE(Form.Box->Selected(), Rgb(0x10, 0x20, 0x30));
        QCOMPARE(Changed.count(), 2);
    }
};

QTEST_MAIN(ColorBoxTest)
#include "ColorBoxTest.moc"
