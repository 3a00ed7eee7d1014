#pragma once
// Date-times as the script sees them (TDateTime): days since 30 December 1899, the time of day
// as the fraction (for negative values the fraction still counts forward from midnight). Encoding,
// decoding, the current time, and FormatDateTime's format language (d, m, y, h, n, s, z, t,
// am/pm, c, / and :, quoted text), with names and formats of the current locale.
#include <QLocale>
#include <QString>

namespace kelvara::script {

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, msec = 0;
    int dayOfWeek = 7; // 1 = Monday .. 7 = Sunday (ISO)
};

// False when the value lies outside the years 1..9999.
bool DecodeDateTime(double value, DateTimeParts& out);
bool EncodeDate(int year, int month, int day, double& out);
bool EncodeTime(int hour, int minute, int second, int msec, double& out);
double CurrentDateTime();

QString FormatDateTime(const QString& format, double value, const QLocale& locale = QLocale());
QString ShortDateText(double value, const QLocale& locale = QLocale());
QString LongTimeText(double value, const QLocale& locale = QLocale());

} // namespace kelvara::script
