#include "PyxControls.h"

#include "PyxDate.h"

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

QDate ToQDate(const TPyxDate& Date) {
    return QDate::fromJulianDay(Date.ToDateTime().time_since_epoch().count() + UnixEpochJulianDay);
}

TPyxDate FromQDate(const QDate& Date) {
    TPyxDate Result;
    Result.FromDateTime(std::chrono::sys_days{std::chrono::days{Date.toJulianDay() - UnixEpochJulianDay}});
    return Result;
}

} // namespace PyxControls
