#include "platform/rtl/DateTime.h"

#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

namespace {

struct DateCase {
    int y, m, d;
    double serial;
};

const DateCase kKnownDates[] = {
    {1899, 12, 30, 0},   {1899, 12, 31, 1},       {1900, 1, 1, 2},       {1900, 3, 1, 61},
    {2000, 1, 1, 36526}, {2000, 2, 29, 36585},    {2005, 12, 25, 38711}, {1970, 1, 1, 25569},
    {1, 1, 1, -693593},  {9999, 12, 31, 2958465}, {1899, 12, 29, -1},    {1600, 2, 29, -109512},
};

} // namespace

TEST(TryEncodeDate, KnownSerialNumbers) {
    for (const auto& c : kKnownDates) {
        double v = -12345;
        ASSERT_TRUE(TryEncodeDate(c.y, c.m, c.d, v)) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(v, c.serial) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(TryEncodeDate, RefusesInvalidCalendarDates) {
    const int invalid[][3] = {{2005, 0, 1},  {2005, 13, 1}, {2005, 4, 31}, {1900, 2, 29},
                              {2001, 2, 29}, {2005, 1, 0},  {2005, 1, 32}, {0, 1, 1},
                              {10000, 1, 1}, {-5, 1, 1},    {2005, -1, 1}, {2005, 6, 31}};
    for (const auto& d : invalid) {
        double v = 42;
        EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], v)) << d[0] << "-" << d[1] << "-" << d[2];
        EXPECT_EQ(v, 42) << "result must stay untouched";
    }
    double v = 0;
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, v));
    EXPECT_TRUE(TryEncodeDate(2004, 2, 29, v));
}

TEST(TryEncodeTime, RangesAndFractions) {
    double v = 0;
    ASSERT_TRUE(TryEncodeTime(12, 0, 0, 0, v));
    EXPECT_EQ(v, 0.5);
    ASSERT_TRUE(TryEncodeTime(6, 0, 0, 0, v));
    EXPECT_EQ(v, 0.25);
    ASSERT_TRUE(TryEncodeTime(23, 59, 59, 999, v));
    EXPECT_LT(v, 1.0);
    const int invalid[][4] = {{24, 0, 0, 0},   {0, 60, 0, 0}, {0, 0, 60, 0},
                              {0, 0, 0, 1000}, {-1, 0, 0, 0}, {0, -1, 0, 0}};
    for (const auto& t : invalid)
        EXPECT_FALSE(TryEncodeTime(t[0], t[1], t[2], t[3], v))
            << t[0] << ":" << t[1] << ":" << t[2];
}

TEST(TryEncodeDateTime, DatesBeforeDayZeroSubtractTheTime) {
    double v = 0;
    ASSERT_TRUE(TryEncodeDateTime(1899, 12, 29, 6, 0, 0, 0, v));
    EXPECT_EQ(v, -1.25);
    TDateTimeParts p;
    ASSERT_TRUE(TryDecodeDateTime(v, p));
    EXPECT_EQ(p, (TDateTimeParts{1899, 12, 29, 6, 0, 0, 0}));
    EXPECT_FALSE(TryEncodeDateTime(2005, 4, 31, 0, 0, 0, 0, v));
    EXPECT_FALSE(TryEncodeDateTime(2005, 4, 30, 25, 0, 0, 0, v));
}

TEST(TryDecodeDateTime, RoundTripsEveryPartOverTheWholeRange) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> year(1, 9999), month(1, 12), day(1, 31), hour(0, 23),
        minute(0, 59), ms(0, 999);
    int checked = 0;
    while (checked < 20000) {
        const TDateTimeParts in{year(rng),   month(rng),  day(rng), hour(rng),
                                minute(rng), minute(rng), ms(rng)};
        double v = 0;
        if (!TryEncodeDateTime(in, v))
            continue;
        TDateTimeParts out;
        ASSERT_TRUE(TryDecodeDateTime(v, out)) << v;
        ASSERT_EQ(out, in) << "serial " << v;
        ++checked;
    }
}

TEST(TryDecodeDateTime, CarriesRoundingIntoTheNextDay) {
    TDateTimeParts p;
    ASSERT_TRUE(TryDecodeDateTime(38711.0 + 0.9999999999, p));
    EXPECT_EQ(p, (TDateTimeParts{2005, 12, 26, 0, 0, 0, 0}));
}

TEST(TryDecodeDateTime, RefusesValuesOutsideTheCalendar) {
    TDateTimeParts p;
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e10,
                          -1e10,
                          2958466.0,
                          -693594.5,
                          1e300};
    for (double v : bad)
        EXPECT_FALSE(TryDecodeDateTime(v, p)) << v;
    EXPECT_TRUE(TryDecodeDateTime(2958465.999, p));
    EXPECT_TRUE(TryDecodeDateTime(-693593.5, p));
}

TEST(DayOfWeek, SundayIsOne) {
    EXPECT_EQ(DayOfWeek(0), 7);       // 30 December 1899, a Saturday
    EXPECT_EQ(DayOfWeek(38711.6), 1); // 25 December 2005, a Sunday
    EXPECT_EQ(DayOfWeek(-1.25), 6);   // Friday
    EXPECT_EQ(DayOfWeek(std::nan("")), 0);
}
