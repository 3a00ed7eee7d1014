#include "platform/rtl/DateTime.h"

#include <cmath>

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date, and back (era-based, exact for all
// years used here).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

// Day 0 of the date-time scale, 30 December 1899, counted from 1 January 1970.
const int64_t kDayZero = DaysFromCivil(1899, 12, 30);
const int64_t kFirstDay = DaysFromCivil(MinDateTimeYear, 1, 1) - kDayZero;
const int64_t kLastDay = DaysFromCivil(MaxDateTimeYear, 12, 31) - kDayZero;

} // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < MinDateTimeYear || year > MaxDateTimeYear || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    result = double(DaysFromCivil(year, month, day) - kDayZero);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int milliSecond, TDateTime& result) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        milliSecond < 0 || milliSecond > 999)
        return false;
    const int64_t ms = ((int64_t(hour) * 60 + minute) * 60 + second) * 1000 + milliSecond;
    result = double(ms) / MSecsPerDay;
    return true;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                       int milliSecond, TDateTime& result) {
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(year, month, day, date) ||
        !TryEncodeTime(hour, minute, second, milliSecond, time))
        return false;
    // Before day 0 the fraction still counts forward from midnight, so it is subtracted.
    result = date >= 0 ? date + time : date - time;
    return true;
}

bool TryEncodeDateTime(const TDateTimeParts& p, TDateTime& result) {
    return TryEncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.MilliSecond,
                             result);
}

bool TryDecodeDateTime(TDateTime value, TDateTimeParts& parts) {
    if (!std::isfinite(value) || value <= double(kFirstDay) - 1 || value >= double(kLastDay) + 1)
        return false;
    int64_t day = int64_t(std::trunc(value));
    int64_t ms = std::llround(std::fabs(value - std::trunc(value)) * MSecsPerDay);
    if (ms >= int64_t(MSecsPerDay)) { // rounded up to the next midnight
        ms -= int64_t(MSecsPerDay);
        ++day;
    }
    if (day < kFirstDay || day > kLastDay)
        return false;
    CivilFromDays(day + kDayZero, parts.Year, parts.Month, parts.Day);
    parts.MilliSecond = int(ms % 1000);
    parts.Second = int(ms / 1000 % 60);
    parts.Minute = int(ms / 60000 % 60);
    parts.Hour = int(ms / 3600000);
    return true;
}

int DayOfWeek(TDateTime value) {
    TDateTimeParts p;
    if (!TryDecodeDateTime(value, p))
        return 0;
    TDateTime date = 0;
    TryEncodeDate(p.Year, p.Month, p.Day, date);
    // Day 0 was a Saturday (7).
    const int64_t d = int64_t(date);
    return int(((d + 6) % 7 + 7) % 7) + 1;
}
