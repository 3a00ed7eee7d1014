#include "scripting/DateTimeText.h"

#include <cmath>
#include <cstring>

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>

namespace kelvara::script {

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr double kMaxDays = 2958466.0; // 31 December 9999 and a little

QDate DateOf(int64_t days) {
    return QDate(1899, 12, 30).addDays(days);
}

// The first separator character of a locale format ("dd/MM/yyyy" gives '/').
QString SeparatorOf(const QString& qtFormat, const QString& fallback) {
    for (QChar c : qtFormat)
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return QString(c);
    return fallback;
}

QString LongTimeFormat(const QLocale& locale) {
    QString f = locale.timeFormat(QLocale::LongFormat);
    f.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return f.trimmed();
}

QTime TimeOf(const DateTimeParts& p) {
    return QTime(p.hour, p.minute, p.second, p.msec);
}
QDate DateOf(const DateTimeParts& p) {
    return QDate(p.year, p.month, p.day);
}

int RunLength(const QString& f, qsizetype i, QChar lower) {
    int n = 0;
    while (i + n < f.size() && f.at(i + n).toLower() == lower)
        ++n;
    return n;
}

bool StartsWithCI(const QString& f, qsizetype i, const char* text) {
    return f.mid(i, qsizetype(strlen(text))).compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
}

class Formatter {
public:
    Formatter(const QString& format, const DateTimeParts& parts, double value, const QLocale& l)
        : FF(format), FP(parts), FValue(value), FL(l) {
        const QString lower = format.toLower();
        F12 = lower.contains(QStringLiteral("am/pm")) || lower.contains(QStringLiteral("a/p")) ||
              lower.contains(QStringLiteral("ampm"));
    }

    QString Run() {
        for (qsizetype i = 0; i < FF.size();)
            i = Step(i);
        return FOut;
    }

private:
    static QString Pad(int v, int width) {
        return QStringLiteral("%1").arg(v, width, 10, QChar(u'0'));
    }

    qsizetype Step(qsizetype i) {
        const QChar c = FF.at(i);
        const QChar lc = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = FF.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? FF.size() : end;
            FOut += FF.mid(i + 1, stop - i - 1);
            return stop + 1;
        }
        if (lc == u'a' && (StartsWithCI(FF, i, "am/pm") || StartsWithCI(FF, i, "a/p") ||
                           StartsWithCI(FF, i, "ampm")))
            return AmPm(i);
        const int n = RunLength(FF, i, lc);
        if (lc.isLetter() && lc != u'h' && lc != u'm')
            FLastHour = false; // separators between h and m keep m a minute ("hh:mm")
        switch (lc.unicode()) {
        case u'c':
            FOut += ShortDateText(FValue, FL);
            if (FP.hour || FP.minute || FP.second || FP.msec)
                FOut += QChar(u' ') + LongTimeText(FValue, FL);
            return i + 1;
        case u'd':
            Day(n);
            return i + n;
        case u'm':
            Month(std::min(n, 4));
            return i + std::min(n, 4);
        case u'y':
            FOut += n <= 2 ? Pad(FP.year % 100, 2) : Pad(FP.year, 4);
            return i + n;
        case u'h': {
            int h = FP.hour;
            if (F12)
                h = h % 12 == 0 ? 12 : h % 12;
            FOut += n >= 2 ? Pad(h, 2) : QString::number(h);
            FLastHour = true;
            return i + std::min(n, 2);
        }
        case u'n':
            FOut += n >= 2 ? Pad(FP.minute, 2) : QString::number(FP.minute);
            return i + std::min(n, 2);
        case u's':
            FOut += n >= 2 ? Pad(FP.second, 2) : QString::number(FP.second);
            return i + std::min(n, 2);
        case u'z':
            FOut += n >= 3 ? Pad(FP.msec, 3) : QString::number(FP.msec);
            return i + std::min(n, 3);
        case u't':
            FOut +=
                n >= 2 ? LongTimeText(FValue, FL) : FL.toString(TimeOf(FP), QLocale::ShortFormat);
            return i + std::min(n, 2);
        case u'/':
            FOut += SeparatorOf(FL.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
            return i + 1;
        case u':':
            FOut += SeparatorOf(FL.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
            return i + 1;
        default:
            FOut += c;
            return i + 1;
        }
    }

    void Day(int n) {
        switch (std::min(n, 6)) {
        case 1:
            FOut += QString::number(FP.day);
            break;
        case 2:
            FOut += Pad(FP.day, 2);
            break;
        case 3:
            FOut += FL.dayName(FP.dayOfWeek, QLocale::ShortFormat);
            break;
        case 4:
            FOut += FL.dayName(FP.dayOfWeek, QLocale::LongFormat);
            break;
        case 5:
            FOut += FL.toString(DateOf(FP), QLocale::ShortFormat);
            break;
        default:
            FOut += FL.toString(DateOf(FP), QLocale::LongFormat);
            break;
        }
    }

    // m and mm right after an hour are minutes.
    void Month(int n) {
        if (FLastHour && n <= 2) {
            FOut += n == 2 ? Pad(FP.minute, 2) : QString::number(FP.minute);
            FLastHour = false;
            return;
        }
        switch (n) {
        case 1:
            FOut += QString::number(FP.month);
            break;
        case 2:
            FOut += Pad(FP.month, 2);
            break;
        case 3:
            FOut += FL.monthName(FP.month, QLocale::ShortFormat);
            break;
        default:
            FOut += FL.monthName(FP.month, QLocale::LongFormat);
            break;
        }
    }

    qsizetype AmPm(qsizetype i) {
        const bool pm = FP.hour >= 12;
        if (StartsWithCI(FF, i, "am/pm")) {
            const bool upper = FF.at(i).isUpper();
            const QString t = pm ? QStringLiteral("pm") : QStringLiteral("am");
            FOut += upper ? t.toUpper() : t;
            return i + 5;
        }
        if (StartsWithCI(FF, i, "a/p")) {
            const bool upper = FF.at(i).isUpper();
            const QString t = pm ? QStringLiteral("p") : QStringLiteral("a");
            FOut += upper ? t.toUpper() : t;
            return i + 3;
        }
        FOut += pm ? FL.pmText() : FL.amText();
        return i + 4;
    }

    const QString& FF;
    const DateTimeParts& FP;
    double FValue;
    const QLocale& FL;
    QString FOut;
    bool F12 = false;
    bool FLastHour = false;
};

} // namespace

bool DecodeDateTime(double value, DateTimeParts& out) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxDays)
        return false;
    int64_t days = int64_t(std::trunc(value));
    int64_t ms = std::llround(std::fabs(value - double(days)) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        days += value < 0 ? -1 : 1;
    }
    const QDate d = DateOf(days);
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return false;
    out.year = d.year();
    out.month = d.month();
    out.day = d.day();
    out.dayOfWeek = d.dayOfWeek();
    out.hour = int(ms / 3600000);
    out.minute = int(ms / 60000 % 60);
    out.second = int(ms / 1000 % 60);
    out.msec = int(ms % 1000);
    return true;
}

bool EncodeDate(int year, int month, int day, double& out) {
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    out = double(QDate(1899, 12, 30).daysTo(QDate(year, month, day)));
    return true;
}

bool EncodeTime(int hour, int minute, int second, int msec, double& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    out = double(((int64_t(hour) * 60 + minute) * 60 + second) * 1000 + msec) / double(kMsPerDay);
    return true;
}

double CurrentDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const double days = double(QDate(1899, 12, 30).daysTo(now.date()));
    return days + double(now.time().msecsSinceStartOfDay()) / double(kMsPerDay);
}

QString FormatDateTime(const QString& format, double value, const QLocale& locale) {
    DateTimeParts parts;
    if (!DecodeDateTime(value, parts))
        return QString();
    if (format.isEmpty())
        return FormatDateTime(QStringLiteral("c"), value, locale);
    return Formatter(format, parts, value, locale).Run();
}

QString ShortDateText(double value, const QLocale& locale) {
    DateTimeParts p;
    if (!DecodeDateTime(value, p))
        return QString();
    return locale.toString(DateOf(p), QLocale::ShortFormat);
}

QString LongTimeText(double value, const QLocale& locale) {
    DateTimeParts p;
    if (!DecodeDateTime(value, p))
        return QString();
    return locale.toString(TimeOf(p), LongTimeFormat(locale));
}

} // namespace kelvara::script
