#pragma once
// The locale data that the date format language needs: the short and long date and time formats
// (written in that language), the date and time separators, the AM/PM texts and the day and
// month names. Built from a QLocale.
#include <array>

#include <QLocale>
#include <QString>

struct TFormatSettings {
    QString ShortDateFormat;
    QString LongDateFormat;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    QString DateSeparator;
    QString TimeSeparator;
    QString TimeAMString;
    QString TimePMString;
    std::array<QString, 12> ShortMonthNames; // [0] = January
    std::array<QString, 12> LongMonthNames;
    std::array<QString, 7> ShortDayNames; // [0] = Sunday
    std::array<QString, 7> LongDayNames;

    // Formats, names and separators of the locale. Qt's patterns are translated into the date
    // format language and normalised to what a desktop user expects: the short date shows the
    // year with four digits, and no format shows a time zone.
    static TFormatSettings FromLocale(const QLocale& locale);
    // The user's locale (QLocale's default).
    static TFormatSettings Default();
};

// A Qt date or time pattern ("M/d/yy", "h:mm:ss AP t") in the date format language
// ("m/d/yyyy", "h:nn:ss ampm"): literal text that the language would read as a letter or a
// separator is quoted, years get four digits and the time zone is dropped.
QString TranslateQtDateTimePattern(const QString& pattern);
