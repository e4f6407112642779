// The float spin edit driven by real keys and mouse clicks: its typing rules, leaving and Escape, spinning, and
// that a value the user did not edit comes back exactly as it was loaded.
#include "SpinFloatEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionSpinBox>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>
#include <stdexcept>

namespace {

// A window with the float edit between two ordinary edits, so Tab moves the focus in and out of it.
struct TFloatForm {
    TFloatForm() {
        auto* Layout = new QVBoxLayout(&Window);
        Before = new QLineEdit;
        Edit = new TSpinFloatEdit;
        After = new QLineEdit;
        Layout->addWidget(Before);
        Layout->addWidget(Edit);
        Layout->addWidget(After);
        Edit->SetMin(0);
        Edit->SetMax(1.0);
        Edit->SetDigits(2);
        Edit->SetIncrement(0.1);
        Window.show();
        QApplication::setActiveWindow(&Window);
        QVERIFY(QTest::qWaitForWindowActive(&Window));
    }

    // Tab from the edit before it, as a user moving through the form.
    void Enter() {
        Before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(Before, Qt::Key_Tab);
        QVERIFY(Edit->hasFocus());
    }
    void Leave() { QTest::keyClick(Edit, Qt::Key_Tab); }
    void Type(const QString& Keys) { QTest::keyClicks(Edit, Keys); }
    void SelectAllAndType(const QString& Keys) {
        QTest::keyClick(Edit, Qt::Key_A, Qt::ControlModifier);
        Type(Keys);
    }
    QLineEdit* Line() const { return Edit->findChild<QLineEdit*>(); }

    QWidget Window;
    QLineEdit* Before;
    TSpinFloatEdit* Edit;
    QLineEdit* After;
};

} // namespace

class FloatEditTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void StoredValueComesBackExactlyUntilTheUserEditsIt() {
        TFloatForm Form;
        Form.Edit->SetValue(0.957);
        QCOMPARE(Form.Edit->text(), QString("0.96"));
        Form.Enter();
        Form.Leave();
        QVERIFY(!Form.Edit->isModified());
        QCOMPARE(Form.Edit->Value(), 0.957);
        QCOMPARE(Form.Edit->text(), QString("0.96"));

        // A stored value outside the form's limits is shown as it is, not clamped, and survives a visit.
        Form.Edit->SetValue(1.7);
        QCOMPARE(Form.Edit->text(), QString("1.70"));
        Form.Enter();
        Form.Leave();
        QCOMPARE(Form.Edit->Value(), 1.7);
        QVERIFY(!Form.Edit->isModified());

        // Once edited, the text is the value.
        Form.Enter();
        Form.SelectAllAndType("0.5");
        QVERIFY(Form.Edit->isModified());
        QCOMPARE(Form.Edit->Value(), 0.5);
        // setModified(false) makes what is shown the loaded value.
        Form.Edit->setModified(false);
        QCOMPARE(Form.Edit->Value(), 0.5);
    }

    void TypingRefusesKeysThatBreakTheNumberTheLimitOrTheDecimals() {
        TFloatForm Form;
        QSignalSpy Changed(Form.Edit, &TSpinFloatEdit::Changed);
        Form.Edit->SetValue(0.25);
        Form.Enter();
        QCOMPARE(Form.Line()->selectedText(), QString("0.25")); // Tab selects all

        Form.SelectAllAndType("1.5"); // the 5 would exceed Max
        QCOMPARE(Form.Edit->text(), QString("1."));
        Form.SelectAllAndType("0.123"); // the 3 would be a third decimal
        QCOMPARE(Form.Edit->text(), QString("0.12"));
        Form.SelectAllAndType("x0E,+a"); // only the 0 is one of the keys the edit takes
        QCOMPARE(Form.Edit->text(), QString("0"));
        QVERIFY(Changed.count() > 0);

        // "-" alone becomes "-0" with the 0 selected, so the next digit replaces it.
        Form.SelectAllAndType("-");
        QCOMPARE(Form.Edit->text(), QString("-0"));
        QCOMPARE(Form.Line()->selectionStart(), 1);
        QCOMPARE(Form.Line()->selectedText(), QString("0"));
        // The decimal character alone becomes "0.0" with the last 0 selected.
        Form.SelectAllAndType(".");
        QCOMPARE(Form.Edit->text(), QString("0.0"));
        QCOMPARE(Form.Line()->selectionStart(), 2);
        QCOMPARE(Form.Line()->selectedText(), QString("0"));
        Form.Type("57");
        QCOMPARE(Form.Edit->text(), QString("0.57"));

        // An "e" is taken only where it leaves a number: "0.57e" is none, "0e0" is one.
        Form.Type("e");
        QCOMPARE(Form.Edit->text(), QString("0.57"));
        Form.SelectAllAndType("00");
        QTest::keyClick(Form.Edit, Qt::Key_Left);
        Form.Type("e");
        QCOMPARE(Form.Edit->text(), QString("0e0"));
        // Past an exponent the decimals are not counted.
        QTest::keyClick(Form.Edit, Qt::Key_Home);
        Form.Type("0.12");
        QCOMPARE(Form.Edit->text(), QString("0.120e0"));

        // With no decimals allowed the decimal character is refused.
        Form.Edit->SetDigits(0);
        Form.SelectAllAndType("1.");
        QCOMPARE(Form.Edit->text(), QString("1"));
    }

    void LeavingReformatsAnAcceptableValueAndRefusesTheRest() {
        TFloatForm Form;
        QSignalSpy Exited(Form.Edit, &TSpinFloatEdit::Exited);
        Form.Edit->SetValue(0.25);
        Form.Enter();
        Form.SelectAllAndType("0.5");
        Form.Leave();
        QCOMPARE(Form.Edit->text(), QString("0.50"));
        QCOMPARE(Form.Edit->Value(), 0.5);
        QCOMPARE(Exited.count(), 1);
        QVERIFY(Form.After->hasFocus());

        // "-" left alone is no number: the value from when the edit got the focus comes back, with the focus.
        Form.Enter();
        QCOMPARE(Form.Edit->EnterValue(), 0.5);
        Form.SelectAllAndType("-");
        QTest::keyClick(Form.Edit, Qt::Key_Backspace);
        QCOMPARE(Form.Edit->text(), QString("-"));
        QCOMPARE(Form.Edit->Value(), 0.0); // "-" reads as 0 while it stands
        Form.Leave();
        QTRY_VERIFY(Form.Edit->hasFocus());
        QCOMPARE(Form.Edit->text(), QString("0.50"));
        QCOMPARE(Form.Line()->selectedText(), QString("0.50"));
        QCOMPARE(Exited.count(), 1);

        // A pasted "E" is no number either; an empty text leaves as Min.
        QGuiApplication::clipboard()->setText("E");
        Form.SelectAllAndType("");
        QTest::keyClick(Form.Edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Form.Edit->text(), QString("E"));
        QCOMPARE(Form.Edit->Value(), 0.0);
        Form.Leave();
        QTRY_VERIFY(Form.Edit->hasFocus());
        QCOMPARE(Form.Edit->text(), QString("0.50"));
        QTest::keyClick(Form.Edit, Qt::Key_Backspace);
        QCOMPARE(Form.Edit->text(), QString());
        Form.Leave();
        QCOMPARE(Form.Edit->text(), QString("0.00"));
        QCOMPARE(Exited.count(), 2);

        // A stored value the user only visited is left alone, even when it lies outside the limits.
        Form.Edit->SetValue(-3.14159);
        Form.Enter();
        Form.Leave();
        QCOMPARE(Form.Edit->Value(), -3.14159);
        QVERIFY(Form.After->hasFocus());
    }

    void EscapePutsBackTheValueAtFocusEntryAndEnterIsReported() {
        TFloatForm Form;
        QSignalSpy EnterPress(Form.Edit, &TSpinFloatEdit::EnterPress);
        Form.Edit->SetValue(0.333);
        Form.Enter();
        Form.SelectAllAndType("0.9");
        QTest::keyClick(Form.Edit, Qt::Key_Return);
        QCOMPARE(EnterPress.count(), 1);
        QCOMPARE(Form.Edit->text(), QString("0.9"));
        QTest::keyClick(Form.Edit, Qt::Key_Escape);
        QCOMPARE(Form.Edit->text(), QString("0.33"));
        QCOMPARE(Form.Line()->selectedText(), QString("0.33"));
        // Escape undoes the typing completely: the loaded value is exact again.
        QVERIFY(!Form.Edit->isModified());
        QCOMPARE(Form.Edit->Value(), 0.333);

        // Another entity loaded while the edit keeps the focus: Escape goes back to its value, not the first one's.
        Form.SelectAllAndType("0.8");
        Form.Edit->SetValue(0.125);
        Form.SelectAllAndType("0.9");
        QTest::keyClick(Form.Edit, Qt::Key_Escape);
        QCOMPARE(Form.Edit->Value(), 0.125);
        QVERIFY(!Form.Edit->isModified());
    }

    void ArrowKeysAndButtonsSpinWithinTheLimits() {
        TFloatForm Form;
        Form.Edit->SetValue(0.95);
        Form.Enter();
        QTest::keyClick(Form.Edit, Qt::Key_Up);
        QCOMPARE(Form.Edit->text(), QString("1.00"));
        QCOMPARE(Form.Edit->Value(), 1.0);
        QVERIFY(Form.Edit->isModified());
        QTest::keyClick(Form.Edit, Qt::Key_Down);
        QTest::keyClick(Form.Edit, Qt::Key_Down);
        QCOMPARE(Form.Edit->text(), QString("0.80"));

        // The buttons, clicked with the mouse where the style draws them.
        QStyleOptionSpinBox Option;
        Option.initFrom(Form.Edit);
        Option.rect = Form.Edit->rect();
        Option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame;
        Option.buttonSymbols = QAbstractSpinBox::UpDownArrows;
        Option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        const QRect Up =
            Form.Edit->style()->subControlRect(QStyle::CC_SpinBox, &Option, QStyle::SC_SpinBoxUp, Form.Edit);
        const QRect Down =
            Form.Edit->style()->subControlRect(QStyle::CC_SpinBox, &Option, QStyle::SC_SpinBoxDown, Form.Edit);
        QTest::mouseClick(Form.Edit, Qt::LeftButton, {}, Up.center());
        QCOMPARE(Form.Edit->text(), QString("0.90"));
        for (int I = 0; I < 12; ++I)
            QTest::mouseClick(Form.Edit, Qt::LeftButton, {}, Down.center());
        QCOMPARE(Form.Edit->text(), QString("0.00"));

        // Read-only: the buttons and keys do nothing (but beep).
        Form.Edit->setReadOnly(true);
        QTest::keyClick(Form.Edit, Qt::Key_Up);
        QTest::mouseClick(Form.Edit, Qt::LeftButton, {}, Up.center());
        Form.Type("5");
        QCOMPARE(Form.Edit->text(), QString("0.00"));
        Form.Edit->setReadOnly(false);

        // With the editor disabled only spinning changes the value.
        Form.Edit->SetEditorEnabled(false);
        Form.SelectAllAndType("5");
        QTest::keyClick(Form.Edit, Qt::Key_Backspace);
        QCOMPARE(Form.Edit->text(), QString("0.00"));
        QTest::keyClick(Form.Edit, Qt::Key_Up);
        QCOMPARE(Form.Edit->text(), QString("0.10"));
        Form.Edit->setReadOnly(true);
        Form.Edit->setReadOnly(false);
        QVERIFY(Form.Line()->isReadOnly()); // still closed to typing and pasting
        Form.Edit->SetEditorEnabled(true);
        QVERIFY(!Form.Line()->isReadOnly());

        // A computed increment replaces the built-in step.
        QList<bool> Calls;
        Form.Edit->OnComputedIncrement = [&Calls](bool Increment) { Calls.append(Increment); };
        QTest::keyClick(Form.Edit, Qt::Key_Up);
        QTest::mouseClick(Form.Edit, Qt::LeftButton, {}, Down.center());
        QCOMPARE(Calls, (QList<bool>{true, false}));
        QCOMPARE(Form.Edit->text(), QString("0.10"));
        QVERIFY(TSpinFloatEdit::About().contains("1.5"));
    }

    void DigitsAndLimitsAreCheckedAndReformatTheText() {
        TSpinFloatEdit Edit;
        Edit.SetDigits(2);
        Edit.SetValue(0.35);
        QCOMPARE(Edit.text(), QString("0.35"));
        Edit.SetDigits(3);
        Edit.SetValue(1);
        QCOMPARE(Edit.text(), QString("1.000"));
        Edit.SetDigits(25);
        QCOMPARE(Edit.Digits(), 18);
        QCOMPARE(Edit.text(), QString("1.000000000000000000"));
        // Beyond 18 significant digits the decimals are zeros.
        Edit.SetMax(1e6);
        Edit.SetValue(123456.5);
        QCOMPARE(Edit.text(), QString("123456.500000000000000000"));
        Edit.SetDigits(1);
        Edit.SetValue(-0.04);
        QCOMPARE(Edit.text(), QString("0.0"));

        Edit.SetMin(0);
        Edit.SetMax(1);
        try {
            Edit.SetMin(2);
            QFAIL("a minimum above the maximum was taken");
        } catch (const std::invalid_argument& Error) {
            QCOMPARE(QString(Error.what()), QString("Minimum value must not be greater than maximum value !"));
        }
        try {
            Edit.SetMax(-1);
            QFAIL("a maximum below the minimum was taken");
        } catch (const std::invalid_argument& Error) {
            QCOMPARE(QString(Error.what()), QString("Maximum value must not be less than minimum value !"));
        }
        QCOMPARE(Edit.Min(), 0.0);
        QCOMPARE(Edit.Max(), 1.0);
    }

    void TheLocalesDecimalCommaIsTheOneTypedAndShown() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TFloatForm Form;
        QCOMPARE(Form.Edit->DecimalChar(), QChar(','));
        Form.Edit->SetValue(0.5);
        QCOMPARE(Form.Edit->text(), QString("0,50"));
        Form.Enter();
        Form.SelectAllAndType(".");
        QCOMPARE(Form.Edit->text(), QString("0,50")); // the point is refused, the selection stays
        Form.SelectAllAndType(",");
        QCOMPARE(Form.Edit->text(), QString("0,0"));
        Form.Type("7");
        Form.Leave();
        QCOMPARE(Form.Edit->text(), QString("0,70"));
        QCOMPARE(Form.Edit->Value(), 0.7);
        double X = 0;
        QVERIFY(!Form.Edit->ParseValue("0.7", X));
    }
};

QTEST_MAIN(FloatEditTest)
#include "FloatEditTest.moc"
