// The kit colour sub-frame on its own, over kit lists made here: what a load shows, the cascading check boxes,
// colours picked by name and through the colour dialog, and what SaveKits writes (only what the user changed, in
// place, never a stored colour rounded through the colour boxes).

#include "ColorPicking.h"
#include "EditorTestMain.h"
#include "ModalDriver.h"

#include "KitPreview.h"
#include "PyxColor.h"
#include "PyxColorBox.h"
#include "frameKitColorUnit.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <vector>

namespace {

using TRaw = std::array<int16_t, 3>; // minor, major, trim as stored

// Stored values the colour boxes cannot give back: bit 15 set, and channels no 24-bit colour rounds to.
const std::vector<TRaw> OddKits = {{static_cast<int16_t>(0x8421), 0x7C00, 0x03E0},
                                   {0x001F, static_cast<int16_t>(0xFFFF), 0x5294},
                                   {0x2108, 0x4210, static_cast<int16_t>(0x8000)},
                                   {0x1111, 0x2222, 0x3333}};

void Fill(TPyxColorList& Kits, const std::vector<TRaw>& Raws) {
    Kits.Clear();
    for (const TRaw& Raw : Raws) {
        auto Kit = std::make_unique<TPyxColor>();
        Kit->RawMinor = Raw[0];
        Kit->RawMajor = Raw[1];
        Kit->RawTrim = Raw[2];
        Kits.Add(std::move(Kit));
    }
}

std::vector<TRaw> Raws(const TPyxColorList& Kits) {
    std::vector<TRaw> Result;
    for (int32_t I = 0; I < Kits.Count(); ++I)
        Result.push_back({Kits.Colors(I)->RawMinor, Kits.Colors(I)->RawMajor, Kits.Colors(I)->RawTrim});
    return Result;
}

std::vector<bool> CheckedRows(const TframeKitColor& Frame) {
    return {Frame.cbMainKit->isChecked(), Frame.cbSecondKit->isChecked(), Frame.cbThirdKit->isChecked()};
}

// A window holding the sub-frame, shown so that clicks reach it.
struct TKitForm {
    TKitForm() {
        auto* Layout = new QVBoxLayout(&Window);
        Frame = new TframeKitColor(&Window);
        Layout->addWidget(Frame);
        Window.resize(460, 420);
        Window.show();
        QApplication::setActiveWindow(&Window);
        QVERIFY(QTest::qWaitForWindowActive(&Window));
    }
    void Click(QCheckBox* Box) const { QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(8, Box->height() / 2)); }

    QWidget Window;
    TframeKitColor* Frame;
};

} // namespace

class KitColorFrameTest final : public QObject {
    Q_OBJECT
private slots:
    void ALoadShowsTheFirstThreeKitsAndSavingWithoutEditsKeepsEveryStoredBit();
    void ColoursPickedByNameAndThroughTheDialogAreTheOnlyOnesWritten();
    void CheckBoxesCascadeAndDecideWhichKitsAreAddedOrRemoved();
};

void KitColorFrameTest::ALoadShowsTheFirstThreeKitsAndSavingWithoutEditsKeepsEveryStoredBit() {
    TKitForm Form;
    TframeKitColor& Frame = *Form.Frame;
    TPyxColorList Kits;
    Fill(Kits, OddKits);
    Frame.LoadKits(&Kits);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{true, true, true}));
    for (int Row = 0; Row < 3; ++Row) {
        const TPyxColor& Kit = *Kits.Colors(Row);
        QCOMPARE(Frame.Box(Row, TframeKitColor::Major)->Selected(), Kit.Major());
        QCOMPARE(Frame.Box(Row, TframeKitColor::Minor)->Selected(), Kit.Minor());
        QCOMPARE(Frame.Box(Row, TframeKitColor::Trim)->Selected(), Kit.Trim());
        // The preview: circle in the major colour, outline in the trim colour, number in the minor colour.
        TKitPreview* Preview = Frame.Preview(Row);
        QVERIFY(Preview->isVisible());
        QCOMPARE(Preview->FillColor(), TPyxCustomColorBox::ToQColor(Kit.Major()));
        QCOMPARE(Preview->PenColor(), TPyxCustomColorBox::ToQColor(Kit.Trim()));
        QCOMPARE(Preview->NumberColor(), TPyxCustomColorBox::ToQColor(Kit.Minor()));
        QCOMPARE(Preview->Number()->text(), QString("10"));
    }
    QCOMPARE(Frame.findChild<QLabel*>("lblSecond"), Frame.Preview(1)->Number());
    QVERIFY(!Frame.Changed());
    Frame.SaveKits();
    QCOMPARE(Raws(Kits), OddKits); // the fourth kit, not shown, is kept too

    // A list with one kit: the other rows are unchecked, their boxes disabled and their previews hidden; the rows
    // keep the colours they showed before.
    const uint32_t ThirdMajorBefore = Frame.Box(2, TframeKitColor::Major)->Selected();
    TPyxColorList One;
    Fill(One, {OddKits[3]});
    Frame.LoadKits(&One);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{true, false, false}));
    QVERIFY(Frame.Box(0, TframeKitColor::Trim)->isEnabled());
    QVERIFY(!Frame.Box(1, TframeKitColor::Major)->isEnabled());
    QVERIFY(!Frame.BoxLabel(2, TframeKitColor::Minor)->isEnabled());
    QVERIFY(!Frame.Preview(1)->isVisible());
    QVERIFY(!Frame.Preview(2)->isVisible());
    QCOMPARE(Frame.Box(2, TframeKitColor::Major)->Selected(), ThirdMajorBefore);
    Frame.SaveKits();
    QCOMPARE(Raws(One), (std::vector<TRaw>{OddKits[3]}));

    // A detach forgets the list: saving then writes nowhere.
    Frame.ClearKits();
    QVERIFY(Frame.Kits() == nullptr);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{false, false, false}));
    Frame.SaveKits();
    QCOMPARE(Raws(One), (std::vector<TRaw>{OddKits[3]}));
}

void KitColorFrameTest::ColoursPickedByNameAndThroughTheDialogAreTheOnlyOnesWritten() {
    TKitForm Form;
    eh::TModalDriver Driver;
    TframeKitColor& Frame = *Form.Frame;
    TPyxColorList Kits;
    Fill(Kits, {OddKits[0], OddKits[1]});
    Frame.LoadKits(&Kits);

    // A named colour picked from the dropped-down list: the preview follows at once, the kit only on save.
    const uint32_t Gold = TPyxCustomColorBox::NamedColors[eh::NamedColorIndex("Gold") - 1].Color;
    eh::PickColor(*Frame.Box(0, TframeKitColor::Major), eh::NamedColorIndex("Gold"));
    QCOMPARE(Frame.Box(0, TframeKitColor::Major)->Selected(), Gold);
    QCOMPARE(Frame.Preview(0)->FillColor(), TPyxCustomColorBox::ToQColor(Gold));
    QCOMPARE(Raws(Kits), (std::vector<TRaw>{OddKits[0], OddKits[1]}));
    QVERIFY(Frame.Changed());

    // A custom colour chosen in the dialog for the second kit's trim; a dialog cancelled on its minor colour
    // changes nothing.
    Driver.Expect(eh::AnswerColorDialog(QColor(86, 52, 18)));
    eh::PickColor(*Frame.Box(1, TframeKitColor::Trim), 0);
    QTRY_COMPARE(Driver.Pending(), 0);
    Driver.Expect(eh::AnswerColorDialog(QColor()));
    eh::PickColor(*Frame.Box(1, TframeKitColor::Minor), 0);
    QTRY_COMPARE(Driver.Pending(), 0);
    QCOMPARE(Frame.Preview(1)->PenColor(), QColor(86, 52, 18));

    Frame.SaveKits();
    std::vector<TRaw> Expected = {OddKits[0], OddKits[1]};
    Expected[0][1] = TPyxColor::To15(Gold);
    Expected[1][2] = TPyxColor::To15(86 | (52 << 8) | (18 << 16));
    QCOMPARE(Raws(Kits), Expected);
    QVERIFY(!Frame.Changed());

    // Saved once, the rows count as unchanged: a second save writes nothing over the stored values.
    Kits.Colors(0)->RawMajor = 0x7FFF;
    Frame.SaveKits();
    QCOMPARE(Kits.Colors(0)->RawMajor, int16_t(0x7FFF));
    QVERIFY(Driver.Unexpected().isEmpty());
}

void KitColorFrameTest::CheckBoxesCascadeAndDecideWhichKitsAreAddedOrRemoved() {
    TKitForm Form;
    TframeKitColor& Frame = *Form.Frame;
    TPyxColorList Kits;
    Fill(Kits, {OddKits[0], OddKits[1], OddKits[2]});
    Frame.LoadKits(&Kits);

    // Unchecking the main kit unchecks the other two; checking the third checks all three.
    Form.Click(Frame.cbMainKit);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{false, false, false}));
    QVERIFY(!Frame.Preview(0)->isVisible());
    QVERIFY(!Frame.Box(0, TframeKitColor::Major)->isEnabled());
    Form.Click(Frame.cbThirdKit);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{true, true, true}));
    QVERIFY(Frame.Preview(2)->isVisible());
    QVERIFY(Frame.BoxLabel(2, TframeKitColor::Trim)->isEnabled());
    // Unchecking the second unchecks the third and leaves the main; checking it again checks nothing more.
    Form.Click(Frame.cbSecondKit);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{true, false, false}));
    Form.Click(Frame.cbSecondKit);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{true, true, false}));
    // Set by code, the rules hold the same way.
    Frame.cbMainKit->setChecked(false);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{false, false, false}));

    // No kit checked: the list is emptied.
    Frame.SaveKits();
    QCOMPARE(Kits.Count(), 0);

    // The third kit checked on a list of two: it becomes a new kit with the colours its row last showed.
    Fill(Kits, {OddKits[3], OddKits[0]});
    Frame.LoadKits(&Kits);
    const uint32_t RowMajor = Frame.Box(2, TframeKitColor::Major)->Selected();
    const uint32_t RowMinor = Frame.Box(2, TframeKitColor::Minor)->Selected();
    const uint32_t RowTrim = Frame.Box(2, TframeKitColor::Trim)->Selected();
    QCOMPARE(RowMajor, TPyxColor::To24(OddKits[2][1])); // what the third row showed for the earlier list
    Form.Click(Frame.cbThirdKit);
    QVERIFY(Frame.Changed());
    Frame.SaveKits();
    QCOMPARE(Kits.Count(), 3);
    QCOMPARE(Raws(Kits)[0], OddKits[3]);
    QCOMPARE(Raws(Kits)[1], OddKits[0]);
    QCOMPARE(Kits.Colors(2)->Major(), RowMajor);
    QCOMPARE(Kits.Colors(2)->RawMajor, TPyxColor::To15(RowMajor));
    QCOMPARE(Kits.Colors(2)->RawMinor, TPyxColor::To15(RowMinor));
    QCOMPARE(Kits.Colors(2)->RawTrim, TPyxColor::To15(RowTrim));

    // Four kits, the third unchecked: the third goes, the fourth (never shown) stays behind the second.
    Fill(Kits, OddKits);
    Frame.LoadKits(&Kits);
    Form.Click(Frame.cbThirdKit);
    QCOMPARE(CheckedRows(Frame), (std::vector<bool>{true, true, false}));
    Frame.SaveKits();
    QCOMPARE(Raws(Kits), (std::vector<TRaw>{OddKits[0], OddKits[1], OddKits[3]}));
}

PYX_EDITOR_TEST_MAIN(KitColorFrameTest)
#include "KitColorFrameTest.moc"
