#include "InfoRecords.h"

#include "platform/rtl/DateTime.h"

#include <cstdio>

std::string IsoDateTime(double dateTime) {
    TDateTimeParts p;
    // Half a second on, so that the seconds come out rounded rather than cut.
    if (dateTime < 0 || !TryDecodeDateTime(dateTime + 500.0 / MSecsPerDay, p))
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", p.Year, p.Month, p.Day,
                  p.Hour, p.Minute, p.Second);
    return text;
}
