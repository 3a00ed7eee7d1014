#pragma once
// Date-times as the runtime keeps them: a double counting days since 30 December 1899 (day 0),
// with the time of day as the fraction. Before day 0 the integer part counts days backwards and
// the fraction is still the time of day, taken without its sign: -1.25 is 29 December 1899, 06:00.
// Calendar dates are proleptic Gregorian, years 1 to 9999.
#include <cstdint>

using TDateTime = double;

struct TDateTimeParts {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int MilliSecond = 0;
    friend bool operator==(const TDateTimeParts&, const TDateTimeParts&) = default;
};

constexpr int MinDateTimeYear = 1;
constexpr int MaxDateTimeYear = 9999;
constexpr double MSecsPerDay = 86400000.0;

bool IsLeapYear(int year);
// Days of the month (28 to 31); 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Each Try function refuses (returns false, leaves result alone) values that are no calendar date
// or time of day: month outside 1..12, day outside the month, hour > 23, minute or second > 59,
// milliseconds > 999, year outside 1..9999.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int milliSecond, TDateTime& result);
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                       int milliSecond, TDateTime& result);
bool TryEncodeDateTime(const TDateTimeParts& parts, TDateTime& result);

// Splits a date-time into its calendar parts, milliseconds rounded. False for a value that is not
// finite or lies outside the years 1..9999.
bool TryDecodeDateTime(TDateTime value, TDateTimeParts& parts);

// 1 = Sunday ... 7 = Saturday; 0 when the value cannot be decoded.
int DayOfWeek(TDateTime value);
