// The script's date-time routines rest on the program's runtime library (platform/rtl), so that a
// script's FormatDateTime writes exactly what the inlay and the picture names write.
#include "scripting/DateTimeText.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatDateTime.h"
#include "platform/rtl/FormatSettings.h"

namespace kelvara::script {

bool DecodeDateTime(double value, DateTimeParts& out) {
    TDateTimeParts p;
    if (!TryDecodeDateTime(value, p))
        return false;
    out.year = p.Year;
    out.month = p.Month;
    out.day = p.Day;
    out.hour = p.Hour;
    out.minute = p.Minute;
    out.second = p.Second;
    out.msec = p.MilliSecond;
    out.dayOfWeek = QDate(p.Year, p.Month, p.Day).dayOfWeek();
    return true;
}

bool EncodeDate(int year, int month, int day, double& out) {
    return TryEncodeDate(year, month, day, out);
}

bool EncodeTime(int hour, int minute, int second, int msec, double& out) {
    return TryEncodeTime(hour, minute, second, msec, out);
}

double CurrentDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const double days = double(QDate(1899, 12, 30).daysTo(now.date()));
    return days + double(now.time().msecsSinceStartOfDay()) / MSecsPerDay;
}

QString FormatDateTime(const QString& format, double value, const QLocale& locale) {
    return ::FormatDateTime(format, value, TFormatSettings::FromLocale(locale));
}

QString ShortDateText(double value, const QLocale& locale) {
    return FormatDateTime(QStringLiteral("ddddd"), value, locale);
}

QString LongTimeText(double value, const QLocale& locale) {
    return FormatDateTime(QStringLiteral("tt"), value, locale);
}

} // namespace kelvara::script
