// The integer spin edit driven by real keys: a stored value outside the form's limits is kept until the user edits
// it, typed values are clamped on leaving and on Enter, and the arrow keys step by the increment.
#include "SpinEdit.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A dialog with the spin edit, an ordinary edit to Tab to, and a default OK button.
struct TSpinForm {
    TSpinForm() {
        auto* Layout = new QVBoxLayout(&Dialog);
        Edit = new TSpinEdit;
        After = new QLineEdit;
        Ok = new QPushButton("OK");
        Ok->setDefault(true);
        QObject::connect(Ok, &QPushButton::clicked, &Dialog, &QDialog::accept);
        Layout->addWidget(Edit);
        Layout->addWidget(After);
        Layout->addWidget(Ok);
        Edit->SetMinValue(0);
        Edit->SetMaxValue(10000);
        Edit->SetIncrement(500);
        Dialog.show();
        QApplication::setActiveWindow(&Dialog);
        QVERIFY(QTest::qWaitForWindowActive(&Dialog));
    }
    void Enter() {
        After->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(After, Qt::Key_Backtab);
        QVERIFY(Edit->hasFocus());
    }
    void Leave() { QTest::keyClick(Edit, Qt::Key_Tab); }
    void SelectAllAndType(const QString& Keys) {
        QTest::keyClick(Edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Edit, Keys);
    }

    QDialog Dialog;
    TSpinEdit* Edit;
    QLineEdit* After;
    QPushButton* Ok;
};

} // namespace

class SpinEditTest : public QObject {
    Q_OBJECT

private slots:
    void StoredValueOutsideTheLimitsIsKeptUntilEdited() {
        TSpinForm Form;
        Form.Edit->SetValue(12000);
        QCOMPARE(Form.Edit->text(), QString("12000"));
        Form.Enter();
        Form.Leave();
        QVERIFY(!Form.Edit->isModified());
        QCOMPARE(Form.Edit->Value(), 12000);
        QCOMPARE(Form.Edit->text(), QString("12000"));

        // Stepping is an edit: the result is clamped to the form's limits.
        Form.Enter();
        QTest::keyClick(Form.Edit, Qt::Key_Up);
        QCOMPARE(Form.Edit->text(), QString("10000"));
        QTest::keyClick(Form.Edit, Qt::Key_Down);
        QCOMPARE(Form.Edit->Value(), 9500);
        QVERIFY(Form.Edit->isModified());
    }

    void TypedValuesAreClampedOnLeavingAndNonNumbersReadAsMinValue() {
        TSpinForm Form;
        Form.Edit->SetValue(100);
        Form.Enter();
        QSignalSpy Exited(Form.Edit, &TSpinEdit::Exited);
        Form.SelectAllAndType("12a3.x"); // only digits, + and - are taken
        QCOMPARE(Form.Edit->text(), QString("123"));
        Form.Leave();
        QCOMPARE(Form.Edit->Value(), 123);
        QCOMPARE(Exited.count(), 1);

        Form.Enter();
        Form.SelectAllAndType("99999");
        QCOMPARE(Form.Edit->Value(), 10000); // read clamped even before leaving
        Form.Leave();
        QCOMPARE(Form.Edit->text(), QString("10000"));

        Form.Enter();
        Form.SelectAllAndType("-");
        QCOMPARE(Form.Edit->Value(), 0);
        Form.Leave();
        QCOMPARE(Form.Edit->text(), QString("0"));
        QCOMPARE(Exited.count(), 3);

        // Equal limits mean no limits at all.
        Form.Edit->SetMinValue(0);
        Form.Edit->SetMaxValue(0);
        Form.Enter();
        Form.SelectAllAndType("-250000");
        Form.Leave();
        QCOMPARE(Form.Edit->Value(), -250000);
    }

    void EnterClampsTheTypedValueAndStillPressesTheDefaultButton() {
        TSpinForm Form;
        Form.Edit->SetMinValue(5);
        Form.Edit->SetMaxValue(100);
        QSignalSpy Finished(Form.Edit, &QAbstractSpinBox::editingFinished);
        Form.Edit->SetValue(50);
        Form.Enter();
        Form.SelectAllAndType("200");
        QTest::keyClick(Form.Edit, Qt::Key_Return);
        QCOMPARE(Form.Edit->text(), QString("100"));
        QVERIFY(Finished.count() >= 1);
        QCOMPARE(Form.Dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(SpinEditTest)
#include "SpinEditTest.moc"
