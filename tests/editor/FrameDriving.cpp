#include "FrameDriving.h"

#include "IntegerComboBox.h"
#include "LanguageEditor.h"
#include "PointerComboBox.h"
#include "PyxCustomColorBox.h"
#include "PyxDatabase.h"
#include "PyxEditorFrame.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SearchForm.h"
#include "SpinEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolButton>

#include <stdexcept>

namespace eh {

void TRecordingNavigator::ShowPerson(TPyxPerson* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowClub(TPyxClub* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowNation(TPyxNation* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowCity(TPyxCity* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowStadium(TPyxStadium* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowCompetition(TPyxCompetition* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowContinent(TPyxContinent* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowWeather(TPyxWeather* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowLanguage(TPyxLanguage* E) {
    Shown.push_back(E);
}

void TRecordingNavigator::ShowInjury(TPyxInjury* E) {
    Shown.push_back(E);
}

void ShowAllAndFocus(TPyxEditorFrame& Frame, const TPyxObject* Entity) {
    Frame.SearchEdit()->clear();
    Frame.btnSearchClick();
    const int Row = Frame.Search()->Model().RowOf(Entity);
    if (Row < 0)
        throw std::runtime_error("the entity is not listed in " + Frame.objectName().toStdString());
    // The list marks the entity the editor shows; focused afresh, the row is loaded again.
    Frame.List()->FocusRow(-1);
    Frame.List()->FocusRow(Row);
}

void TypeInto(QWidget* Edit, const QString& Text) {
    Edit->setFocus();
    if (auto* Spin = qobject_cast<QAbstractSpinBox*>(Edit))
        Spin->selectAll();
    else if (auto* Line = qobject_cast<QLineEdit*>(Edit))
        Line->selectAll();
    // Letters beyond ASCII have no key code of their own: they arrive as the text of an unnamed key.
    for (const QChar Letter : Text) {
        if (Letter.unicode() < 128) {
            QTest::keyClick(Edit, Letter.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, Edit, Qt::Key_unknown, QString(Letter), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, Edit, Qt::Key_unknown, QString(Letter), Qt::NoModifier);
        }
    }
    Edit->clearFocus();
}

void PickItem(QComboBox* Combo, const QString& Text) {
    const int Index = Combo->findText(Text, Qt::MatchExactly);
    if (Index < 0)
        throw std::runtime_error("no item " + Text.toStdString() + " in " + Combo->objectName().toStdString());
    Combo->setFocus();
    QTest::keyClick(Combo, Qt::Key_Home);
    for (int I = 0; I < Index; ++I)
        QTest::keyClick(Combo, Qt::Key_Down);
    if (Combo->currentIndex() != Index)
        throw std::runtime_error("could not pick " + Text.toStdString());
}

void ClickCheckBox(QCheckBox* Box) {
    QStyleOptionButton Option;
    Option.initFrom(Box);
    const QRect Indicator = Box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &Option, Box);
    QTest::mouseClick(Box, Qt::LeftButton, {}, Indicator.center());
}

namespace {

// The value a control gives back to a Confirm.
QVariant ValueOf(const QWidget* Control) {
    if (const auto* Spin = qobject_cast<const TSpinEdit*>(Control))
        return Spin->Value();
    if (const auto* Codes = qobject_cast<const TIntegerComboBox*>(Control))
        return Codes->GetSelected();
    if (const auto* Pointers = qobject_cast<const TPointerComboBox*>(Control))
        return QVariant::fromValue(reinterpret_cast<quintptr>(Pointers->GetSelected()));
    if (const auto* Selector = qobject_cast<const TframeSelectionSearch*>(Control))
        return QVariant::fromValue(reinterpret_cast<quintptr>(Selector->Selected()));
    if (const auto* Date = qobject_cast<const QDateEdit*>(Control))
        return Date->date();
    if (const auto* Box = qobject_cast<const QCheckBox*>(Control))
        return Box->isChecked();
    if (const auto* Edit = qobject_cast<const QLineEdit*>(Control))
        return Edit->text();
    return {};
}

} // namespace

QStringList ShownValues(const QWidget& Frame) {
    QStringList Values;
    for (const QWidget* Control : Frame.findChildren<QWidget*>()) {
        QVariant Value = ValueOf(Control);
        if (const auto* Colour = qobject_cast<const TPyxCustomColorBox*>(Control))
            Value = QString::number(Colour->Selected(), 16);
        else if (const auto* Combo = qobject_cast<const QComboBox*>(Control))
            Value = QString::number(Combo->currentIndex()) + " " + Combo->currentText();
        else if (const auto* List = qobject_cast<const QListWidget*>(Control)) {
            QStringList Items;
            for (int Row = 0; Row < List->count(); ++Row)
                Items.push_back(List->item(Row)->text());
            Value = Items.join('|');
        }
        if (Value.isValid())
            Values.push_back(Control->objectName() + "=" + Value.toString());
    }
    return Values;
}

QStringList ItemTexts(const QComboBox* Combo) {
    QStringList Texts;
    for (int I = 0; I < Combo->count(); ++I)
        Texts.push_back(Combo->itemText(I));
    return Texts;
}

QStringList EditNames(TModalDriver& Driver, QAbstractButton* Button, const QStringList& Texts, bool Ok) {
    QStringList Labels;
    QString Title;
    Driver.Expect([&](QWidget* Dialog) {
        auto* Languages = qobject_cast<TLanguageEditor*>(Dialog);
        Title = Languages->windowTitle();
        for (QLabel* Label : Languages->Labels)
            Labels.push_back(Label->text());
        for (qsizetype I = 0; I < static_cast<qsizetype>(Languages->Edits.size()) && I < Texts.size(); ++I)
            Languages->Edits[static_cast<std::size_t>(I)]->setText(Texts[I]);
        (Ok ? Languages->btnOK : Languages->btnCancel)->click();
    });
    Button->click();
    if (Driver.Pending() != 0) {
        Driver.Withdraw();
        throw std::runtime_error("no language text dialog from " + Button->objectName().toStdString());
    }
    Labels.push_front(Title);
    return Labels;
}

QStringList NamesShown(TModalDriver& Driver, QAbstractButton* Button) {
    QStringList Texts;
    Driver.Expect([&](QWidget* Dialog) {
        auto* Languages = qobject_cast<TLanguageEditor*>(Dialog);
        for (QLineEdit* Edit : Languages->Edits)
            Texts.push_back(Edit->text());
        Languages->btnCancel->click();
    });
    Button->click();
    if (Driver.Pending() != 0) {
        Driver.Withdraw();
        throw std::runtime_error("no language text dialog from " + Button->objectName().toStdString());
    }
    return Texts;
}

QString PickInSelector(TModalDriver& Driver, TframeSelectionSearch* Selector, const TPyxObject* Entity) {
    QString Seen;
    Driver.Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        Seen = Pick->windowTitle() + "\n" + Pick->cbUnknown->text();
        if (Entity == nullptr) {
            Pick->cbUnknown->setChecked(true);
        } else {
            Pick->edSearch->clear();
            Pick->btnSearchClick();
            Pick->lvSearchList->FocusRow(Pick->Search->Model().RowOf(Entity));
        }
        Pick->btnOK->click();
    });
    Selector->btnSearch->click();
    if (Driver.Pending() != 0) {
        Driver.Withdraw();
        throw std::runtime_error("no pick dialog from " + Selector->objectName().toStdString());
    }
    return Seen;
}

} // namespace eh
