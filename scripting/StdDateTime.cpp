// Date, time and file routines of the standard library.
#include "scripting/Compiler.h"
#include "scripting/DateTimeText.h"
#include "scripting/StdLib.h"

#include <QFileInfo>

namespace kelvara::script {

namespace {

DateTimeParts Decode(double value) {
    DateTimeParts p;
    if (!DecodeDateTime(value, p))
        ThrowConvertError(QStringLiteral("Invalid date/time value"));
    return p;
}

} // namespace

void RegisterStdDateTime(Compiler& c) {
    c.AddNative(
        QStringLiteral("function Now: TDateTime;"),
        [](NativeCall& n) { n.Result().d = CurrentDateTime(); }, false);
    c.AddNative(
        QStringLiteral("function Date: TDateTime;"),
        [](NativeCall& n) { n.Result().d = std::floor(CurrentDateTime()); }, false);
    c.AddNative(
        QStringLiteral("function Time: TDateTime;"),
        [](NativeCall& n) {
            const double now = CurrentDateTime();
            n.Result().d = now - std::floor(now);
        },
        false);
    c.AddNative(
        QStringLiteral("function EncodeDate(Year, Month, Day: Word): TDateTime;"),
        [](NativeCall& n) {
            if (!EncodeDate(int(n.Arg(0).i), int(n.Arg(1).i), int(n.Arg(2).i), n.Result().d))
                ThrowConvertError(QStringLiteral("Invalid argument to date encode"));
        },
        true);
    c.AddNative(
        QStringLiteral("function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime;"),
        [](NativeCall& n) {
            if (!EncodeTime(int(n.Arg(0).i), int(n.Arg(1).i), int(n.Arg(2).i), int(n.Arg(3).i),
                            n.Result().d))
                ThrowConvertError(QStringLiteral("Invalid argument to time encode"));
        },
        true);
    c.AddNative(
        QStringLiteral(
            "procedure DecodeDate(const DateTime: TDateTime; var Year, Month, Day: Word);"),
        [](NativeCall& n) {
            const DateTimeParts p = Decode(n.Arg(0).d);
            n.VarArg(1).i = p.year;
            n.VarArg(2).i = p.month;
            n.VarArg(3).i = p.day;
        },
        false);
    c.AddNative(
        QStringLiteral(
            "procedure DecodeTime(const DateTime: TDateTime; var Hour, Min, Sec, MSec: Word);"),
        [](NativeCall& n) {
            const DateTimeParts p = Decode(n.Arg(0).d);
            n.VarArg(1).i = p.hour;
            n.VarArg(2).i = p.minute;
            n.VarArg(3).i = p.second;
            n.VarArg(4).i = p.msec;
        },
        false);
    c.AddNative(
        QStringLiteral("function DayOfWeek(const DateTime: TDateTime): Integer;"),
        [](NativeCall& n) { n.Result().i = Decode(n.Arg(0).d).dayOfWeek % 7 + 1; }, true);
    c.AddNative(
        QStringLiteral("function IsLeapYear(Year: Word): Boolean;"),
        [](NativeCall& n) { n.Result().i = QDate::isLeapYear(int(n.Arg(0).i)); }, true);
    c.AddNative(
        QStringLiteral(
            "function FormatDateTime(const Format: string; DateTime: TDateTime): string;"),
        [](NativeCall& n) {
            Decode(n.Arg(1).d);
            n.Result().s = FormatDateTime(n.Arg(0).s, n.Arg(1).d);
            n.rt.CheckStringLength(n.Result().s.size(), n.pos);
        },
        false);
    c.AddNative(
        QStringLiteral("function DateToStr(const DateTime: TDateTime): string;"),
        [](NativeCall& n) {
            Decode(n.Arg(0).d);
            n.Result().s = ShortDateText(n.Arg(0).d);
        },
        false);
    c.AddNative(
        QStringLiteral("function TimeToStr(const DateTime: TDateTime): string;"),
        [](NativeCall& n) {
            Decode(n.Arg(0).d);
            n.Result().s = LongTimeText(n.Arg(0).d);
        },
        false);
    c.AddNative(
        QStringLiteral("function DateTimeToStr(const DateTime: TDateTime): string;"),
        [](NativeCall& n) {
            Decode(n.Arg(0).d);
            n.Result().s = FormatDateTime(QStringLiteral("c"), n.Arg(0).d);
        },
        false);
    c.AddNative(
        QStringLiteral("function FileExists(const FileName: string): Boolean;"),
        [](NativeCall& n) {
            const QFileInfo fi(n.Arg(0).s);
            n.Result().i = !n.Arg(0).s.isEmpty() && fi.exists() && !fi.isDir();
        },
        false);
    c.AddNative(
        QStringLiteral("function DirectoryExists(const Directory: string): Boolean;"),
        [](NativeCall& n) {
            n.Result().i = !n.Arg(0).s.isEmpty() && QFileInfo(n.Arg(0).s).isDir();
        },
        false);
}

} // namespace kelvara::script
