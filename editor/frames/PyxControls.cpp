#include "PyxControls.h"

#include "IntegerComboBox.h"
#include "PointerComboBox.h"
#include "PyxDate.h"
#include "PyxListModel.h"
#include "PyxObjects.h"
#include "SpinEdit.h"
#include "SpinFloatEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPalette>

#include <limits>

namespace {

// The Julian day of 1 January 1970, the epoch of the system clock's days.
constexpr qint64 UnixEpochJulianDay = 2440588;

} // namespace

namespace PyxControls {

QLineEdit* TextEdit(QWidget* Parent, const QString& ObjectName) {
    auto* Edit = new QLineEdit(Parent);
    Edit->setObjectName(ObjectName);
    Edit->setMaxLength(std::numeric_limits<int>::max());
    return Edit;
}

QLineEdit* ReadOnlyEdit(QWidget* Parent, const QString& ObjectName) {
    QLineEdit* Edit = TextEdit(Parent, ObjectName);
    Edit->setReadOnly(true);
    QPalette Inactive = Edit->palette();
    Inactive.setColor(QPalette::Base, Edit->palette().color(QPalette::Window));
    Edit->setPalette(Inactive);
    return Edit;
}

TSpinEdit* SpinEdit(QWidget* Parent, const QString& ObjectName, int32_t Min, int32_t Max) {
    auto* Spin = new TSpinEdit(Parent);
    Spin->setObjectName(ObjectName);
    Spin->SetMinValue(Min);
    Spin->SetMaxValue(Max);
    return Spin;
}

TSpinFloatEdit* FloatEdit(QWidget* Parent, const QString& ObjectName, int Digits, double Min, double Max,
                          double Increment) {
    auto* Edit = new TSpinFloatEdit(Parent);
    Edit->setObjectName(ObjectName);
    Edit->SetDigits(Digits);
    // Max first: the default limits are 0..100, and a minimum above the old maximum would be refused.
    Edit->SetMax(Max);
    Edit->SetMin(Min);
    Edit->SetIncrement(Increment);
    Edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return Edit;
}

TIntegerComboBox* IntegerCombo(QWidget* Parent, const QString& ObjectName, std::initializer_list<TCodeItem> Items,
                               bool Sorted) {
    auto* Combo = new TIntegerComboBox(Parent);
    Combo->setObjectName(ObjectName);
    Combo->SetSorted(Sorted);
    for (const TCodeItem& Item : Items)
        Combo->Add(QString::fromUtf8(Item.Text), Item.Code);
    return Combo;
}

TIntegerComboBox* FormationCombo(QWidget* Parent, const QString& ObjectName) {
    return IntegerCombo(Parent, ObjectName,
                        {{"<Not Specified>", 0},
                         {"5-3-2 Sweeper", 1},
                         {"5-3-2", 2},
                         {"4-4-2", 3},
                         {"4-3-3", 4},
                         {"4-2-4", 5},
                         {"3-5-2", 6},
                         {"4-1-2-1-2", 7},
                         {"4-5-1", 8},
                         {"3-4-3", 9},
                         {"3-4-1-2", 10},
                         {"3-4-2-1", 11},
                         {"4-3-2-1", 12},
                         {"3-5-2 Sweeper", 13},
                         {"4-3-1-2", 14},
                         {"5-4-1", 15},
                         {"4-4-1-1", 16},
                         {"4-4-2 Sweeper", 17}},
                        true);
}

TPointerComboBox* PointerCombo(QWidget* Parent, const QString& ObjectName) {
    auto* Combo = new TPointerComboBox(Parent);
    Combo->setObjectName(ObjectName);
    Combo->SetSorted(true);
    return Combo;
}

void FillPointerCombo(TPointerComboBox* Combo, const QString& NoneText, const TPyxObjects& Collection) {
    Combo->Clear();
    Combo->Add(NoneText, nullptr);
    for (int32_t I = 0; I < Collection.Count(); ++I) {
        TPyxObject* Entity = Collection.Items(I);
        Combo->Add(TPyxListModel::DisplayName(*Entity), Entity);
    }
}

void RoundDownToStep(TSpinEdit* Spin, int32_t Step) {
    const int32_t Value = Spin->Value();
    if (Step <= 0 || Spin->CheckValue(Value) != Value)
        return;
    const int32_t Rounded = Value / Step * Step;
    // Loaded as the control's value; the binding finds it changed from what the entity holds.
    if (Rounded != Value)
        Spin->SetValue(Rounded);
}

TframeSelectionSearch* Selector(QWidget* Parent, const QString& ObjectName, const QString& SearchCaption,
                                const QString& UnknownCaption, const QString& NoneText) {
    auto* Selector = new TframeSelectionSearch(Parent);
    Selector->setObjectName(ObjectName);
    Selector->SearchCaption = SearchCaption;
    Selector->UnknownCaption = UnknownCaption;
    Selector->NoneText = NoneText;
    Selector->SetSelected(nullptr);
    return Selector;
}

QDateEdit* DatePicker(QWidget* Parent, const QString& ObjectName, const QString& Format) {
    auto* Picker = new QDateEdit(Parent);
    Picker->setObjectName(ObjectName);
    Picker->setCalendarPopup(false);
    if (!Format.isEmpty())
        Picker->setDisplayFormat(Format);
    return Picker;
}

QCheckBox* CheckBox(QWidget* Parent, const QString& ObjectName) {
    auto* Box = new QCheckBox(Parent);
    Box->setObjectName(ObjectName);
    return Box;
}

QDate ToQDate(const TPyxDate& Date) {
    return QDate::fromJulianDay(Date.ToDateTime().time_since_epoch().count() + UnixEpochJulianDay);
}

TPyxDate FromQDate(const QDate& Date) {
    TPyxDate Result;
    Result.FromDateTime(std::chrono::sys_days{std::chrono::days{Date.toJulianDay() - UnixEpochJulianDay}});
    return Result;
}

} // namespace PyxControls
