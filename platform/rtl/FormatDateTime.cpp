#include "platform/rtl/FormatDateTime.h"

namespace {

// Writes one format; formats of the locale (c, ddddd, t, ...) are written by a nested call, one
// level deep, so that a locale format naming itself cannot recurse without end.
class TDateTimeWriter {
public:
    TDateTimeWriter(const TDateTimeParts& parts, int dayOfWeek, const TFormatSettings& settings)
        : FParts(parts), FDayOfWeek(dayOfWeek), FSettings(settings) {}

    QString Write(const QString& format) {
        Append(format.isEmpty() ? QStringLiteral("C") : format);
        return FOut;
    }

private:
    static constexpr int kMaxLevel = 2;

    void Append(const QString& format);
    qsizetype AppendToken(const QString& f, qsizetype i, QChar& lastToken);
    qsizetype AppendAmPm(const QString& f, qsizetype i, bool& handled);
    bool TwelveHourClockFollows(const QString& f, qsizetype from) const;
    void AppendNumber(int value, int digits) {
        FOut += QString::number(value).rightJustified(digits, u'0');
    }
    void AppendNested(const QString& format) {
        if (FLevel < kMaxLevel)
            Append(format);
    }

    const TDateTimeParts& FParts;
    const int FDayOfWeek;
    const TFormatSettings& FSettings;
    QString FOut;
    int FLevel = 0;
};

int CountRun(const QString& f, qsizetype i) {
    const QChar c = f[i].toUpper();
    qsizetype end = i;
    while (end < f.size() && f[end].toUpper() == c)
        ++end;
    return int(end - i);
}

bool StartsWithNoCase(const QString& f, qsizetype i, QStringView what) {
    return QStringView(f).mid(i).startsWith(what, Qt::CaseInsensitive);
}

void TDateTimeWriter::Append(const QString& format) {
    ++FLevel;
    QChar lastToken;
    qsizetype i = 0;
    while (i < format.size())
        i = AppendToken(format, i, lastToken);
    --FLevel;
}

bool TDateTimeWriter::TwelveHourClockFollows(const QString& f, qsizetype from) const {
    bool quoted = false;
    QChar quote;
    for (qsizetype p = from; p < f.size(); ++p) {
        const QChar c = f[p];
        if (quoted) {
            quoted = c != quote;
        } else if (c == u'\'' || c == u'"') {
            quoted = true;
            quote = c;
        } else if (c == u'a' || c == u'A') {
            return StartsWithNoCase(f, p, u"am/pm") || StartsWithNoCase(f, p, u"a/p") ||
                   StartsWithNoCase(f, p, u"ampm");
        } else if (c == u'h' || c == u'H') {
            return false;
        }
    }
    return false;
}

qsizetype TDateTimeWriter::AppendAmPm(const QString& f, qsizetype i, bool& handled) {
    const bool pm = FParts.Hour >= 12;
    handled = true;
    if (StartsWithNoCase(f, i, u"am/pm")) {
        FOut += f.mid(pm ? i + 3 : i, 2); // the format's own letter case
        return i + 5;
    }
    if (StartsWithNoCase(f, i, u"a/p")) {
        FOut += f[pm ? i + 2 : i];
        return i + 3;
    }
    if (StartsWithNoCase(f, i, u"ampm")) {
        FOut += pm ? FSettings.TimePMString : FSettings.TimeAMString;
        return i + 4;
    }
    handled = false;
    return i + 1;
}

qsizetype TDateTimeWriter::AppendToken(const QString& f, qsizetype i, QChar& lastToken) {
    const QChar c = f[i];
    QChar token = c.toUpper();
    if (c == u'\'' || c == u'"') {
        const qsizetype close = f.indexOf(c, i + 1);
        const qsizetype end = close < 0 ? f.size() : close;
        FOut += QStringView(f).mid(i + 1, end - i - 1);
        return close < 0 ? f.size() : close + 1;
    }
    if (c == u'/') {
        FOut += FSettings.DateSeparator;
        return i + 1;
    }
    if (c == u':') {
        FOut += FSettings.TimeSeparator;
        return i + 1;
    }
    if (!(token >= u'A' && token <= u'Z')) {
        FOut += c;
        return i + 1;
    }
    int count = CountRun(f, i);
    if (token == u'M' && lastToken == u'H' && count <= 2)
        token = u'N';
    lastToken = token;
    switch (token.unicode()) {
    case 'C':
        AppendNested(FSettings.ShortDateFormat);
        if (FParts.Hour != 0 || FParts.Minute != 0 || FParts.Second != 0) {
            FOut += u' ';
            AppendNested(FSettings.LongTimeFormat);
        }
        break;
    case 'D':
        if (count <= 2)
            AppendNumber(FParts.Day, count);
        else if (count == 3)
            FOut += FSettings.ShortDayNames[FDayOfWeek - 1];
        else if (count == 4)
            FOut += FSettings.LongDayNames[FDayOfWeek - 1];
        else if (count == 5)
            AppendNested(FSettings.ShortDateFormat);
        else
            AppendNested(FSettings.LongDateFormat);
        break;
    case 'M':
        if (count <= 2)
            AppendNumber(FParts.Month, count);
        else if (count == 3)
            FOut += FSettings.ShortMonthNames[FParts.Month - 1];
        else
            FOut += FSettings.LongMonthNames[FParts.Month - 1];
        break;
    case 'Y':
        if (count <= 2)
            AppendNumber(FParts.Year % 100, 2);
        else
            AppendNumber(FParts.Year, 4);
        break;
    case 'H': {
        int hour = FParts.Hour;
        if (TwelveHourClockFollows(f, i + count))
            hour = hour == 0 ? 12 : (hour > 12 ? hour - 12 : hour);
        AppendNumber(hour, std::min(count, 2));
        break;
    }
    case 'N':
        AppendNumber(FParts.Minute, std::min(count, 2));
        break;
    case 'S':
        AppendNumber(FParts.Second, std::min(count, 2));
        break;
    case 'Z':
        AppendNumber(FParts.MilliSecond, count <= 1 ? 1 : 3);
        break;
    case 'T':
        AppendNested(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat);
        break;
    case 'A': {
        bool handled = false;
        const qsizetype next = AppendAmPm(f, i, handled);
        if (!handled)
            FOut += c;
        return next;
    }
    default:
        FOut += QStringView(f).mid(i, count);
        break;
    }
    return i + count;
}

} // namespace

std::optional<QString> TryFormatDateTime(const QString& format, TDateTime value,
                                         const TFormatSettings& settings) {
    TDateTimeParts parts;
    if (!TryDecodeDateTime(value, parts))
        return std::nullopt;
    TDateTimeWriter writer(parts, DayOfWeek(value), settings);
    return writer.Write(format);
}

QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings) {
    return TryFormatDateTime(format, value, settings).value_or(QString());
}

QString FormatDateTime(const QString& format, TDateTime value) {
    return FormatDateTime(format, value, TFormatSettings::Default());
}
