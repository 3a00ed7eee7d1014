#pragma once
// Running kelvara-mksample and kelvara-info from tests, and what a DV clip made by
// kelvara-mksample holds: the recording date of frame n is the date given plus the whole seconds
// of n frames, the time code is the one given plus n frames (the muxer's rule).
#include "tests/platform/rtl/QtPrinters.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>

namespace kelvara::test {

struct TRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// A run that was killed at the time limit or by a signal has exit code -1.
inline TRun RunTool(const QString& tool, const QStringList& args) {
    TChildOptions options;
    options.Timeout = std::chrono::minutes(5);
    const TChildRun run = RunChild(ToolPath(tool), args, options);
    TRun r;
    r.ExitCode = run.Exited() ? run.ExitCode : -1;
    r.Out = QString::fromUtf8(run.Out);
    r.Err = QString::fromUtf8(run.Err);
    return r;
}

// The key=value lines that kelvara-mksample prints.
inline std::map<QString, QString> Params(const TRun& r) {
    std::map<QString, QString> params;
    for (const QString& line : r.Out.split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            params[line.left(eq)] = line.mid(eq + 1);
    }
    return params;
}

// YYYY-MM-DDTHH:MM:SS of frame n of a DV clip whose first frame was recorded at date0.
inline QString DVClipDate(const QString& date0, int64_t n, bool pal) {
    QDateTime t = QDateTime::fromString(date0, Qt::ISODate);
    t.setTimeZone(QTimeZone::utc());
    const int64_t seconds = pal ? n / 25 : n * 1001 / 30000;
    return t.addSecs(seconds).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

// h:mm:ss:ff of frame n of a DV clip whose first time code is tc0 (HH:MM:SS:FF, no drop frame).
inline QString DVClipTimecode(const QString& tc0, int64_t n, bool pal) {
    const QStringList parts = tc0.split(u':');
    const int base = pal ? 25 : 30;
    int64_t total =
        ((parts[0].toLongLong() * 60 + parts[1].toLongLong()) * 60 + parts[2].toLongLong()) * base +
        parts[3].toLongLong() + n;
    const int64_t f = total % base;
    total /= base;
    return QStringLiteral("%1:%2:%3:%4")
        .arg(total / 3600 % 24)
        .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'))
        .arg(f, 2, 10, QLatin1Char('0'));
}

} // namespace kelvara::test
