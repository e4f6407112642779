#include "PyxDate.h"

using namespace std::chrono;

sys_days TPyxDate::ToDateTime() const {
    return sys_days{year{Year} / January / 1} + days{DayOfYear};
}

void TPyxDate::FromDateTime(sys_days Date) {
    year_month_day Ymd{Date};
    Year = static_cast<int16_t>(static_cast<int>(Ymd.year()));
    DayOfYear = static_cast<int16_t>((Date - sys_days{Ymd.year() / January / 1}).count());
}
