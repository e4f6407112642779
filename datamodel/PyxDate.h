#pragma once

#include "PyxSupportClasses.h"

#include <chrono>
#include <cstdint>

// A date as day of the year (0 = 1 January) and year; day 0 of 1900 when new or cleared. On disk: int16 day, int16
// year.
class TPyxDate final {
public:
    void Clear() {
        DayOfYear = 0;
        Year = 1900;
    }
    // 1 January of Year plus DayOfYear days.
    std::chrono::sys_days ToDateTime() const;
    void FromDateTime(std::chrono::sys_days Date);
    void LoadFromStream(TPyxFileStream& Stream) {
        DayOfYear = Stream.ReadInt16();
        Year = Stream.ReadInt16();
    }
    void SaveToStream(TPyxFileStream& Stream) const {
        Stream.WriteInt16(DayOfYear);
        Stream.WriteInt16(Year);
    }
    bool operator==(const TPyxDate&) const = default;

    int16_t DayOfYear = 0;
    int16_t Year = 1900;
};
