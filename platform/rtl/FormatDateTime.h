#pragma once
// The date format language. A format is text in which these letters (in either case) stand for
// parts of a date-time; everything else is copied:
//   c        short date, then a blank and the long time unless the time is exactly 00:00:00
//   d dd     day of the month without / with a leading zero
//   ddd dddd short / long day name;  ddddd short date;  dddddd long date
//   m mm     month without / with a leading zero, or the minute right after h or hh
//   mmm mmmm short / long month name
//   yy yyyy  year with two / four digits
//   h hh     hour (12-hour clock when am/pm, a/p or ampm follows), n nn minute, s ss second
//   z zzz    milliseconds without / with leading zeros
//   t tt     short / long time
//   am/pm a/p  the marker written in the format's own letter case; ampm the locale's AM/PM text
//   / :      the locale's date and time separators
//   '...' "..." quoted text, copied as it stands
// An empty format means c.
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"

#include <optional>

#include <QString>

// Empty when the value is not a date-time of the years 1..9999 (not finite, out of range).
std::optional<QString> TryFormatDateTime(const QString& format, TDateTime value,
                                         const TFormatSettings& settings);
// The text, or an empty text when the value cannot be formatted.
QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings);
// With the user's locale.
QString FormatDateTime(const QString& format, TDateTime value);
