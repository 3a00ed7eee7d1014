#include "platform/rtl/FormatSettings.h"

namespace {

int RunLength(const QString& s, qsizetype at) {
    qsizetype end = at;
    while (end < s.size() && s[end] == s[at])
        ++end;
    return int(end - at);
}

// Characters that the date format language gives a meaning to; literal text that holds one of
// them is quoted.
bool IsSpecialInFormatLanguage(QChar c) {
    static const QString special = QStringLiteral("cdmyhnstzaCDMYHNSTZA/:");
    return special.contains(c);
}

void AppendLiteral(QString& out, QChar c) {
    if (c == u'"')
        out += QStringLiteral("'\"'");
    else if (c == u'\'')
        out += QStringLiteral("\"'\"");
    else if (IsSpecialInFormatLanguage(c))
        out += u'"' + QString(c) + u'"';
    else
        out += c;
}

// Drops a time-zone field with the blank that separated it from its neighbour.
void DropTimeZone(QString& out, const QString& pattern, qsizetype& next) {
    if (out.endsWith(u' '))
        out.chop(1);
    else if (next < pattern.size() && pattern[next] == u' ')
        ++next;
}

// Reads a quoted section of a Qt pattern starting at the opening quote; '' inside stands for '.
qsizetype AppendQuoted(QString& out, const QString& pattern, qsizetype at) {
    qsizetype i = at + 1;
    while (i < pattern.size()) {
        if (pattern[i] == u'\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                AppendLiteral(out, u'\'');
                i += 2;
                continue;
            }
            return i + 1;
        }
        AppendLiteral(out, pattern[i]);
        ++i;
    }
    return i;
}

QString FirstSeparator(const QString& pattern, const QString& fallback) {
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return fallback;
}

} // namespace

QString TranslateQtDateTimePattern(const QString& pattern) {
    QString out;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                AppendLiteral(out, u'\'');
                i += 2;
            } else {
                i = AppendQuoted(out, pattern, i);
            }
            continue;
        }
        const int n = RunLength(pattern, i);
        qsizetype next = i + n;
        switch (c.unicode()) {
        case 'd':
            out += QString(std::min(n, 4), u'd');
            break;
        case 'M':
            out += QString(std::min(n, 4), u'm');
            break;
        case 'y':
            out += QStringLiteral("yyyy");
            break;
        case 'h':
        case 'H':
            out += QString(std::min(n, 2), u'h');
            break;
        case 'm':
            out += QString(std::min(n, 2), u'n');
            break;
        case 's':
            out += QString(std::min(n, 2), u's');
            break;
        case 'z':
            out += n >= 3 ? QStringLiteral("zzz") : QStringLiteral("z");
            break;
        case 't':
            DropTimeZone(out, pattern, next);
            break;
        case 'A':
        case 'a':
            // "AP", "ap", "A" or "a": the locale's AM/PM texts.
            next = i + 1;
            if (next < pattern.size() && (pattern[next] == u'P' || pattern[next] == u'p'))
                ++next;
            out += QStringLiteral("ampm");
            break;
        default:
            for (int k = 0; k < n; ++k)
                AppendLiteral(out, c);
            break;
        }
        i = next;
    }
    return out.trimmed();
}

TFormatSettings TFormatSettings::FromLocale(const QLocale& locale) {
    TFormatSettings s;
    s.ShortDateFormat = TranslateQtDateTimePattern(locale.dateFormat(QLocale::ShortFormat));
    s.LongDateFormat = TranslateQtDateTimePattern(locale.dateFormat(QLocale::LongFormat));
    s.ShortTimeFormat = TranslateQtDateTimePattern(locale.timeFormat(QLocale::ShortFormat));
    s.LongTimeFormat = TranslateQtDateTimePattern(locale.timeFormat(QLocale::LongFormat));
    s.DateSeparator = FirstSeparator(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
    s.TimeSeparator = FirstSeparator(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
    s.TimeAMString = locale.amText();
    s.TimePMString = locale.pmText();
    for (int m = 1; m <= 12; ++m) {
        s.ShortMonthNames[m - 1] = locale.monthName(m, QLocale::ShortFormat);
        s.LongMonthNames[m - 1] = locale.monthName(m, QLocale::LongFormat);
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d; // Qt counts Monday = 1 ... Sunday = 7
        s.ShortDayNames[d] = locale.dayName(qtDay, QLocale::ShortFormat);
        s.LongDayNames[d] = locale.dayName(qtDay, QLocale::LongFormat);
    }
    return s;
}

TFormatSettings TFormatSettings::Default() {
    return FromLocale(QLocale());
}
