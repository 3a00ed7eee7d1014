#include "platform/rtl/FormatDateTime.h"

#include "tests/platform/rtl/QtPrinters.h"

#include <cmath>

#include <QLocale>

#include <gtest/gtest.h>

namespace {

double At(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    double v = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, ms, v));
    return v;
}

struct FormatCase {
    const char* format;
    const char* expected;
};

void ExpectFormats(const TFormatSettings& fs, double value,
                   std::initializer_list<FormatCase> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), value, fs),
                  QString::fromUtf8(c.expected))
            << "format \"" << c.format << "\"";
}

class FormatDateTimeTest : public ::testing::Test {
protected:
    const TFormatSettings us = TFormatSettings::FromLocale(QLocale(QStringLiteral("en_US")));
    const TFormatSettings fr = TFormatSettings::FromLocale(QLocale(QStringLiteral("fr_FR")));
    // Sunday 25 December 2005, 15:04:05.678
    const double christmas = At(2005, 12, 25, 15, 4, 5, 678);
};

} // namespace

TEST_F(FormatDateTimeTest, DvDateExampleInUnitedStatesEnglish) {
    EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd - tt"), At(2005, 12, 25, 15, 4, 5), us),
              QStringLiteral("12/25/2005 - 3:04:05 PM"));
}

TEST_F(FormatDateTimeTest, EveryLetterInUnitedStatesEnglish) {
    ExpectFormats(us, christmas,
                  {{"c", "12/25/2005 3:04:05 PM"},
                   {"", "12/25/2005 3:04:05 PM"},
                   {"C", "12/25/2005 3:04:05 PM"},
                   {"d", "25"},
                   {"dd", "25"},
                   {"ddd", "Sun"},
                   {"dddd", "Sunday"},
                   {"ddddd", "12/25/2005"},
                   {"dddddd", "Sunday, December 25, 2005"},
                   {"ddddddd", "Sunday, December 25, 2005"},
                   {"m", "12"},
                   {"mmm", "Dec"},
                   {"mmmm", "December"},
                   {"mmmmm", "December"},
                   {"yy", "05"},
                   {"y", "05"},
                   {"yyyy", "2005"},
                   {"yyy", "2005"},
                   {"h", "15"},
                   {"hh", "15"},
                   {"n", "4"},
                   {"nn", "04"},
                   {"s", "5"},
                   {"ss", "05"},
                   {"z", "678"},
                   {"zzz", "678"},
                   {"t", "3:04 PM"},
                   {"tt", "3:04:05 PM"},
                   {"h am/pm", "3 pm"},
                   {"h AM/PM", "3 PM"},
                   {"h Am/pM", "3 pM"},
                   {"h a/p", "3 p"},
                   {"h A/P", "3 P"},
                   {"h ampm", "3 PM"},
                   {"ampm", "PM"},
                   {"hh:nn:ss", "15:04:05"},
                   {"dd/mm/yyyy", "25/12/2005"},
                   {"HH:MM", "15:04"},
                   {"h:m", "15:4"},
                   {"hh mm", "15 04"},
                   {"hh:nn:ss mm", "15:04:05 12"},
                   {"h:mmm", "15:Dec"},
                   {"d mmm yyyy", "25 Dec 2005"},
                   {"ddddd tt", "12/25/2005 3:04:05 PM"},
                   {"dddddd tt", "Sunday, December 25, 2005 3:04:05 PM"},
                   {"'day' d", "day 25"},
                   {"\"h\" h", "h 15"},
                   {"'unterminated", "unterminated"},
                   {"d 'it''s'", "25 its"},
                   {"x-d!", "x-25!"},
                   {"bqx", "bqx"}});
}

TEST_F(FormatDateTimeTest, LeadingZerosAndTwelveHourClockEdges) {
    const double morning = At(2005, 1, 5, 0, 7, 9, 7);
    ExpectFormats(us, morning,
                  {{"d", "5"},
                   {"dd", "05"},
                   {"m", "1"},
                   {"mm", "01"},
                   {"hh", "00"},
                   {"h am/pm", "12 am"},
                   {"hh:nn a/p", "12:07 a"},
                   {"h", "0"},
                   {"n", "7"},
                   {"ss", "09"},
                   {"z", "7"},
                   {"zzz", "007"},
                   {"c", "1/5/2005 12:07:09 AM"}});
    ExpectFormats(us, At(2005, 1, 5, 12, 0, 0), {{"h ampm", "12 PM"}, {"hh AM/PM", "12 PM"}});
    ExpectFormats(us, At(2005, 1, 5, 13, 0, 0), {{"h:nn AM/PM h", "1:00 PM 13"}});
}

TEST_F(FormatDateTimeTest, MidnightWritesOnlyTheDateForC) {
    ExpectFormats(us, At(2005, 12, 25, 0, 0, 0), {{"c", "12/25/2005"}, {"", "12/25/2005"}});
    // Milliseconds alone do not count as a time of day.
    ExpectFormats(us, At(2005, 12, 25, 0, 0, 0, 500), {{"c", "12/25/2005"}});
}

TEST_F(FormatDateTimeTest, EveryLetterInFrench) {
    ExpectFormats(fr, christmas,
                  {{"c", "25/12/2005 15:04:05"},
                   {"", "25/12/2005 15:04:05"},
                   {"ddd", "dim."},
                   {"dddd", "dimanche"},
                   {"ddddd", "25/12/2005"},
                   {"dddddd", "dimanche 25 décembre 2005"},
                   {"mmm", "déc."},
                   {"mmmm", "décembre"},
                   {"t", "15:04"},
                   {"tt", "15:04:05"},
                   {"ddddd - tt", "25/12/2005 - 15:04:05"},
                   {"d mmmm yyyy", "25 décembre 2005"},
                   {"hh:mm", "15:04"},
                   {"yy", "05"},
                   {"h ampm", "3 PM"},
                   {"z", "678"}});
}

TEST_F(FormatDateTimeTest, SeparatorsComeFromTheLocale) {
    const auto de = TFormatSettings::FromLocale(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(de.DateSeparator, QStringLiteral("."));
    ExpectFormats(de, christmas,
                  {{"dd/mm/yyyy", "25.12.2005"},
                   {"ddddd", "25.12.2005"},
                   {"dddddd", "Sonntag, 25. Dezember 2005"},
                   {"tt", "15:04:05"}});
    TFormatSettings odd = us;
    odd.DateSeparator = QStringLiteral("-");
    odd.TimeSeparator = QStringLiteral(".");
    ExpectFormats(odd, christmas, {{"yyyy/mm/dd hh:nn", "2005-12-25 15.04"}});
}

TEST_F(FormatDateTimeTest, LocaleFormatsAreNormalised) {
    // A four-digit year in the short date, no time zone in the long time.
    EXPECT_EQ(us.ShortDateFormat, QStringLiteral("m\"/\"d\"/\"yyyy"));
    EXPECT_EQ(us.LongTimeFormat, QStringLiteral("h\":\"nn\":\"ss ampm"));
    EXPECT_EQ(fr.LongTimeFormat, QStringLiteral("hh\":\"nn\":\"ss"));
    EXPECT_EQ(us.TimeSeparator, QStringLiteral(":"));
    // Quoted text of a Qt pattern stays literal even where it holds format letters.
    EXPECT_EQ(FormatDateTime(TranslateQtDateTimePattern(QStringLiteral("d 'de' MMMM 'de' yyyy")),
                             christmas, us),
              QStringLiteral("25 de December de 2005"));
    EXPECT_EQ(FormatDateTime(TranslateQtDateTimePattern(QStringLiteral("HH'h'mm 'o''clock' t")),
                             christmas, us),
              QStringLiteral("15h04 o'clock"));
    const auto es = TFormatSettings::FromLocale(QLocale(QStringLiteral("es_ES")));
    EXPECT_EQ(FormatDateTime(QStringLiteral("dddddd"), christmas, es),
              QStringLiteral("domingo, 25 de diciembre de 2005"));
}

TEST_F(FormatDateTimeTest, YearsBeforeDayZeroAndSmallYears) {
    ExpectFormats(us, -1.25, {{"yyyy-mm-dd hh:nn", "1899-12-29 06:00"}});
    ExpectFormats(us, At(5, 3, 1, 0, 0, 0), {{"yyyy", "0005"}, {"yy", "05"}});
}

TEST_F(FormatDateTimeTest, ValuesOutsideTheCalendarGiveNoText) {
    EXPECT_FALSE(TryFormatDateTime(QStringLiteral("c"), std::nan(""), us).has_value());
    EXPECT_FALSE(TryFormatDateTime(QStringLiteral("c"), 1e12, us).has_value());
    EXPECT_EQ(FormatDateTime(QStringLiteral("yyyy"), -1e12, us), QString());
}

TEST_F(FormatDateTimeTest, SelfReferringLocaleFormatsDoNotRecurse) {
    TFormatSettings loop = us;
    loop.ShortDateFormat = QStringLiteral("c ddddd");
    loop.LongTimeFormat = QStringLiteral("tt");
    // One level of nesting is written; deeper references are dropped.
    EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd"), christmas, loop), QStringLiteral("  "));
    EXPECT_EQ(FormatDateTime(QStringLiteral("tt"), christmas, loop), QString());
}
