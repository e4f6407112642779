#include "ControlSnapshot.h"

#include "IntegerComboBox.h"
#include "PointerComboBox.h"
#include "SpinEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>

QVariant TControlSnapshot::ValueOf(const QWidget* Control) {
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

void TControlSnapshot::Take() {
    Values_.clear();
    for (const QWidget* Control : Tracked_)
        Values_[Control] = ValueOf(Control);
}

bool TControlSnapshot::Changed(const QWidget* Control) const {
    const auto Found = Values_.find(Control);
    return Found == Values_.end() || Found->second != ValueOf(Control);
}

bool TControlSnapshot::AnyChanged(std::initializer_list<const QWidget*> Controls) const {
    for (const QWidget* Control : Controls)
        if (Changed(Control))
            return true;
    return false;
}
