// The combo and list boxes whose items carry a code, an entity or a record: a stored code or entity they have no item
// for survives until the user picks one, picks by mouse and keys, sorted filling, texts in any script, and the
// records a list box owns.
#include "IntegerComboBox.h"
#include "PointerComboBox.h"
#include "PointerListBox.h"

#include "PyxContinent.h"
#include "PyxRegion.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include <string>

namespace {

// A window holding one box.
template <class TBox> struct TBoxForm {
    TBoxForm() {
        auto* Layout = new QVBoxLayout(&Window);
        Box = new TBox;
        Layout->addWidget(Box);
        Window.resize(300, 300);
        Window.show();
        QApplication::setActiveWindow(&Window);
        QVERIFY(QTest::qWaitForWindowActive(&Window));
        Box->setFocus();
    }
    // Drops the combo's list down with a click and clicks item Index in it.
    void PickWithMouse(int Index) {
        QTest::mouseClick(Box, Qt::LeftButton);
        QTRY_VERIFY(Box->view()->isVisible());
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        // Scrolled into sight first, as the user would with the list's scroll bar.
        const QModelIndex Wanted = Box->model()->index(Index, 0);
        Box->view()->scrollTo(Wanted);
        const QRect Item = Box->view()->visualRect(Wanted);
        QTest::mouseClick(Box->view()->viewport(), Qt::LeftButton, {}, Item.center());
        QTRY_VERIFY(!Box->view()->isVisible());
    }

    QWidget Window;
    TBox* Box;
};

QStringList Texts(const QComboBox& Box) {
    QStringList Result;
    for (int I = 0; I < Box.count(); ++I)
        Result << Box.itemText(I);
    return Result;
}

// A record that counts the live copies, as a list box's owned items are.
struct TCounted {
    explicit TCounted(int AValue) : Value(AValue) { ++Alive; }
    ~TCounted() { --Alive; }
    TCounted(const TCounted&) = delete;
    TCounted& operator=(const TCounted&) = delete;
    int Value;
    static inline int Alive = 0;
};

} // namespace

class DataBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void IntegerComboKeepsAStoredCodeItHasNoItemForUntilTheUserPicks() {
        TBoxForm<TIntegerComboBox> Form;
        TIntegerComboBox& Box = *Form.Box;
        QSignalSpy Changed(&Box, &TIntegerComboBox::Changed);
        Box.Add("Bank", 1);
        Box.Add("Chairman", 2);
        QCOMPARE(Box.currentIndex(), -1); // filling selects nothing
        QCOMPARE(Box.GetSelected(), -1);

        Box.SetSelected(2);
        QCOMPARE(Box.currentText(), QString("Chairman"));
        QCOMPARE(Box.GetSelected(), 2);

        // A loan source of 7 from the data: nothing is shown, and 7 is what goes back.
        Box.SetSelected(7);
        QCOMPARE(Box.currentIndex(), -1);
        QCOMPARE(Box.GetSelected(), 7);
        QCOMPARE(Changed.count(), 0);

        // The user picks with the keys, then with the mouse.
        QTest::keyClick(&Box, Qt::Key_Down);
        QCOMPARE(Box.GetSelected(), 1);
        QCOMPARE(Changed.count(), 1);
        Form.PickWithMouse(1);
        QCOMPARE(Box.GetSelected(), 2);
        QCOMPARE(Changed.count(), 2);

        Box.Clear();
        QCOMPARE(Box.count(), 0);
        QCOMPARE(Box.GetSelected(), -1);
        QCOMPARE(Changed.count(), 2);
    }

    void SortedComboOrdersByTextIgnoringCase() {
        TIntegerComboBox Box;
        Box.SetSorted(true);
        Box.Add("beta", 2);
        Box.Add("Alpha", 1);
        Box.Add("gamma", 3);
        Box.Add("Delta", 4);
        Box.Add("alpha", 5);
        QCOMPARE(Texts(Box), (QStringList{"Alpha", "alpha", "beta", "Delta", "gamma"}));
        QCOMPARE(Box.GetItem(1), 5);
        QCOMPARE(Box.GetItem(3), 4);
        Box.SetSelected(4);
        QCOMPARE(Box.currentIndex(), 3);
        // An item added in front of the current one keeps the current item.
        Box.Add("Aardvark", 6);
        QCOMPARE(Box.GetSelected(), 4);
    }

    void PointerComboKeepsAnEntityOutsideItsListUntilTheUserPicks() {
        TPyxContinent Europe;
        Europe.Name = u"Europe";
        TPyxContinent Asia;
        Asia.Name = u"\u30a2\u30b8\u30a2"; // a name in Japanese script survives as it is
        TPyxContinent Elsewhere;
        TPyxRegion Region;

        TBoxForm<TPointerComboBox> Form;
        TPointerComboBox& Box = *Form.Box;
        Box.Add("<no continent>", nullptr);
        for (TPyxContinent* Continent : {&Europe, &Asia})
            Box.Add(QString::fromStdU16String(Continent->GetName()), Continent);
        QCOMPARE(Box.itemText(2).toStdU16String(), Asia.Name);

        Box.SetSelected(nullptr);
        QCOMPARE(Box.currentIndex(), 0);
        QCOMPARE(Box.GetSelected(), nullptr);
        Box.SetSelected(&Asia);
        QCOMPARE(Box.currentIndex(), 2);
        QCOMPARE(Box.GetSelectedAs<TPyxContinent>(), &Asia);
        QCOMPARE(Box.GetSelectedAs<TPyxRegion>(), nullptr);

        Box.SetSelected(&Elsewhere);
        QCOMPARE(Box.currentIndex(), -1);
        QCOMPARE(Box.GetSelected(), &Elsewhere);
        Box.SetSelected(&Region); // another kind altogether: still kept
        QCOMPARE(Box.GetSelected(), &Region);

        Form.PickWithMouse(1);
        QCOMPARE(Box.GetSelected(), &Europe);
        // Picking the nil item is a choice too: nil goes back.
        Form.PickWithMouse(0);
        QCOMPARE(Box.GetSelected(), nullptr);

        // Entities deleted elsewhere leave the box: the others stay, a current one gives way to the nil item, and a
        // stored one outside the list is forgotten.
        Box.SetSelected(&Asia);
        Box.RemoveEntities([&](const TPyxObject* E) { return E == &Europe; });
        QCOMPARE(Texts(Box), (QStringList{"<no continent>", QString::fromStdU16String(Asia.Name)}));
        QCOMPARE(Box.GetSelected(), &Asia);
        Box.RemoveEntities([&](const TPyxObject* E) { return E == &Asia; });
        QCOMPARE(Box.count(), 1);
        QCOMPARE(Box.currentIndex(), 0);
        QCOMPARE(Box.GetSelected(), nullptr);
        Box.SetSelected(&Elsewhere);
        Box.RemoveEntities([&](const TPyxObject* E) { return E == &Elsewhere; });
        QCOMPARE(Box.GetSelected(), nullptr);
    }

    void ListBoxGivesItemsBackAsTheirTypeAndFreesWhatItOwns() {
        TPyxContinent Europe;
        {
            TBoxForm<TPointerListBox> Form;
            TPointerListBox& Box = *Form.Box;
            Box.AddOwned("First", std::make_unique<TCounted>(1));
            Box.Add("Europe", &Europe);
            Box.AddOwned("Third", std::make_unique<TCounted>(3));
            QCOMPARE(TCounted::Alive, 2);
            QCOMPARE(Box.GetItem<TCounted>(0)->Value, 1);
            QCOMPARE(Box.GetItem<TPyxContinent>(1), &Europe);
            // Asked as another type, an item gives nothing rather than a pointer to the wrong kind.
            QCOMPARE(Box.GetItem<TCounted>(1), nullptr);
            QCOMPARE(Box.GetItem<TPyxObject>(1), nullptr);
            QCOMPARE(Box.GetItem<TCounted>(7), nullptr);

            // The item under a point; nothing below the last item.
            const QRect Third = Box.visualItemRect(Box.item(2));
            QCOMPARE(Box.ItemAt<TCounted>(Third.center().x(), Third.center().y())->Value, 3);
            QCOMPARE(Box.ItemAt<TCounted>(Third.center().x(), Third.bottom() + 40), nullptr);

            QCOMPARE(Box.GetSelected<TCounted>(), nullptr);
            QTest::mouseClick(Box.viewport(), Qt::LeftButton, {}, Third.center());
            QCOMPARE(Box.SelectedIndex(), 2);
            QCOMPARE(Box.GetSelected<TCounted>()->Value, 3);

            Box.DeleteItem(0);
            QCOMPARE(TCounted::Alive, 1);
            QCOMPARE(Box.GetItem<TPyxContinent>(0), &Europe);
            Box.AddOwned("Fourth", std::make_unique<TCounted>(4));
            QCOMPARE(TCounted::Alive, 2);
            Box.Clear();
            QCOMPARE(TCounted::Alive, 0);
            Box.AddOwned("Fifth", std::make_unique<TCounted>(5));
        }
        // The box took its last record with it.
        QCOMPARE(TCounted::Alive, 0);
    }

    void SortedListBoxOrdersIgnoringCase() {
        TPointerListBox Box;
        Box.SetSorted(true);
        int Values[4] = {0, 1, 2, 3};
        Box.Add("zulu", &Values[0]);
        Box.Add("Alpha", &Values[1]);
        Box.Add("mike", &Values[2]);
        Box.Add("Kilo", &Values[3]);
        QStringList Order;
        for (int I = 0; I < Box.count(); ++I)
            Order << Box.item(I)->text();
        QCOMPARE(Order, (QStringList{"Alpha", "Kilo", "mike", "zulu"}));
        QCOMPARE(Box.GetItem<int>(0), &Values[1]);
    }

    void TabStopsLineUpTheColumnsOfAListBox() {
        TBoxForm<TPointerListBox> Form;
        TPointerListBox& Box = *Form.Box;
        Box.Add("1\tW", static_cast<int*>(nullptr));
        Box.Add("22\tW", static_cast<int*>(nullptr));
        // Wide stops, far from the style's own 80 pixels, so only our stops put the column there.
        Box.SetTabWidth(100);
        const qreal Stop = 100 * QFontMetrics(Box.font()).averageCharWidth() / 4.0;
        QVERIFY(Stop > 120);
        QTRY_VERIFY(Box.visualItemRect(Box.item(1)).isValid()); // the view lays its items out lazily
        const QImage Shot = Box.viewport()->grab().toImage();
        const QRgb Background = Shot.pixel(Shot.width() - 2, Box.visualItemRect(Box.item(0)).center().y());
        for (int Row = 0; Row < 2; ++Row) {
            const QRect Item = Box.visualItemRect(Box.item(Row));
            int Rightmost = -1;
            for (int Y = Item.top(); Y <= Item.bottom(); ++Y)
                for (int X = 0; X < Shot.width(); ++X)
                    if (Shot.pixel(X, Y) != Background && X > Rightmost)
                        Rightmost = X;
            // The W stands right after the first stop, in both rows.
            QVERIFY2(Rightmost > Stop && Rightmost < Stop + 40, qPrintable(QString::number(Rightmost)));
        }
    }
};

QTEST_MAIN(DataBoxesTest)
#include "DataBoxesTest.moc"
