// Number routines of the standard library: conversions to and from text, rounding, arithmetic,
// random numbers (Delphi's generator, so a seeded sequence repeats).
#include "scripting/Compiler.h"
#include "scripting/NumberText.h"
#include "scripting/StdLib.h"

#include <cmath>

#include <QDateTime>

namespace kelvara::script {

namespace {

// The largest doubles that convert to Int64 exactly enough.
constexpr double kInt64Limit = 9.2233720368547758e18;

int64_t ToInt64(double v) {
    if (!std::isfinite(v) || v >= kInt64Limit || v < -kInt64Limit)
        ThrowInvalidOp();
    return int64_t(v);
}

// Round to the nearest integer, halves to the even neighbour (Delphi's Round).
double RoundHalfEven(double v) {
    const double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5)
        return 2.0 * std::round(v / 2.0);
    return r;
}

uint32_t NextRandom(Runtime& rt) {
    rt.randSeed = rt.randSeed * 0x08088405u + 1u;
    return rt.randSeed;
}

int64_t ReadInteger(const QString& s, IntWidth width) {
    int64_t v = 0;
    if (ValInteger(s, width, v) != 0)
        ThrowConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return v;
}

// StrToIntDef: the value, or `fallback` when the text is not one.
int64_t IntegerOr(const QString& s, IntWidth width, int64_t fallback) {
    int64_t v = 0;
    return ValInteger(s, width, v) == 0 ? v : fallback;
}

bool ReadFloat(const QString& s, double& out) {
    return ParseFloat(s, LocaleDecimal(), out);
}

// StrToInt and the routines around it, StrToFloat and its kin, Val for Integer variables.
void RegisterTextToNumber(Compiler& c) {
    c.AddNative(
        QStringLiteral("function StrToInt(const S: string): Integer;"),
        [](NativeCall& n) { n.Result().i = ReadInteger(n.Arg(0).s, IntWidth::I32); }, true);
    c.AddNative(
        QStringLiteral("function StrToInt64(const S: string): Int64;"),
        [](NativeCall& n) { n.Result().i = ReadInteger(n.Arg(0).s, IntWidth::I64); }, true);
    c.AddNative(
        QStringLiteral("function StrToIntDef(const S: string; Default: Integer): Integer;"),
        [](NativeCall& n) { n.Result().i = IntegerOr(n.Arg(0).s, IntWidth::I32, n.Arg(1).i); },
        true);
    c.AddNative(
        QStringLiteral("function StrToInt64Def(const S: string; Default: Int64): Int64;"),
        [](NativeCall& n) { n.Result().i = IntegerOr(n.Arg(0).s, IntWidth::I64, n.Arg(1).i); },
        true);
    c.AddNative(
        QStringLiteral("function TryStrToInt(const S: string; out Value: Integer): Boolean;"),
        [](NativeCall& n) {
            n.Result().i = ValInteger(n.Arg(0).s, IntWidth::I32, n.VarArg(1).i) == 0;
        },
        false);
    c.AddNative(
        QStringLiteral("function TryStrToInt64(const S: string; out Value: Int64): Boolean;"),
        [](NativeCall& n) {
            n.Result().i = ValInteger(n.Arg(0).s, IntWidth::I64, n.VarArg(1).i) == 0;
        },
        false);
    c.AddNative(
        QStringLiteral("procedure Val(const S: string; var V: Integer; var Code: Integer);"),
        [](NativeCall& n) { n.VarArg(2).i = ValInteger(n.Arg(0).s, IntWidth::I32, n.VarArg(1).i); },
        false);
    c.AddNative(
        QStringLiteral("function StrToFloat(const S: string): Double;"),
        [](NativeCall& n) {
            if (!ReadFloat(n.Arg(0).s, n.Result().d))
                ThrowConvertError(
                    QStringLiteral("'%1' is not a valid floating point value").arg(n.Arg(0).s));
        },
        true);
    c.AddNative(
        QStringLiteral("function StrToFloatDef(const S: string; Default: Double): Double;"),
        [](NativeCall& n) {
            if (!ReadFloat(n.Arg(0).s, n.Result().d))
                n.Result().d = n.Arg(1).d;
        },
        true);
    c.AddNative(
        QStringLiteral("function TryStrToFloat(const S: string; out Value: Double): Boolean;"),
        [](NativeCall& n) {
            double& v = n.VarArg(1).d;
            n.Result().i = ReadFloat(n.Arg(0).s, v);
            if (!n.Result().i)
                v = 0;
        },
        false);
}

double CheckedResult(double v) {
    if (std::isnan(v))
        ThrowInvalidOp();
    return v;
}

} // namespace

void RegisterStdNumbers(Compiler& c) {
    c.AddNative(
        QStringLiteral("function IntToStr(Value: Int64): string;"),
        [](NativeCall& n) { n.Result().s = QString::number(n.Arg(0).i); }, true);
    RegisterTextToNumber(c);
    c.AddNative(
        QStringLiteral("function FloatToStr(Value: Double): string;"),
        [](NativeCall& n) { n.Result().s = FloatGeneral(n.Arg(0).d, 15, LocaleDecimal()); }, true);
    c.AddNative(
        QStringLiteral("function BoolToStr(B: Boolean; UseBoolStrs: Boolean = False): string;"),
        [](NativeCall& n) {
            const bool b = n.Arg(0).i != 0;
            if (n.Arg(1).i)
                n.Result().s = b ? QStringLiteral("True") : QStringLiteral("False");
            else
                n.Result().s = b ? QStringLiteral("-1") : QStringLiteral("0");
        },
        true);
    c.AddNative(
        QStringLiteral("function Round(X: Double): Int64;"),
        [](NativeCall& n) { n.Result().i = ToInt64(RoundHalfEven(n.Arg(0).d)); }, true);
    c.AddNative(
        QStringLiteral("function Trunc(X: Double): Int64;"),
        [](NativeCall& n) { n.Result().i = ToInt64(std::trunc(n.Arg(0).d)); }, true);
    c.AddNative(
        QStringLiteral("function Ceil(X: Double): Int64;"),
        [](NativeCall& n) { n.Result().i = ToInt64(std::ceil(n.Arg(0).d)); }, true);
    c.AddNative(
        QStringLiteral("function Floor(X: Double): Int64;"),
        [](NativeCall& n) { n.Result().i = ToInt64(std::floor(n.Arg(0).d)); }, true);
    c.AddNative(
        QStringLiteral("function Frac(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = n.Arg(0).d - std::trunc(n.Arg(0).d); }, true);
    c.AddNative(
        QStringLiteral("function Int(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = std::trunc(n.Arg(0).d); }, true);
    c.AddNative(
        QStringLiteral("function Sqrt(X: Double): Double;"),
        [](NativeCall& n) {
            if (n.Arg(0).d < 0)
                ThrowInvalidOp();
            n.Result().d = std::sqrt(n.Arg(0).d);
        },
        true);
    c.AddNative(
        QStringLiteral("function Exp(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = std::exp(n.Arg(0).d); }, true);
    c.AddNative(
        QStringLiteral("function Ln(X: Double): Double;"),
        [](NativeCall& n) {
            if (n.Arg(0).d <= 0)
                ThrowInvalidOp();
            n.Result().d = std::log(n.Arg(0).d);
        },
        true);
    c.AddNative(
        QStringLiteral("function Sin(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = CheckedResult(std::sin(n.Arg(0).d)); }, true);
    c.AddNative(
        QStringLiteral("function Cos(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = CheckedResult(std::cos(n.Arg(0).d)); }, true);
    c.AddNative(
        QStringLiteral("function ArcTan(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = std::atan(n.Arg(0).d); }, true);
    c.AddNative(
        QStringLiteral("function Power(Base, Exponent: Double): Double;"),
        [](NativeCall& n) { n.Result().d = CheckedResult(std::pow(n.Arg(0).d, n.Arg(1).d)); },
        true);
    c.AddNative(
        QStringLiteral("procedure Randomize;"),
        [](NativeCall& n) { n.rt.randSeed = uint32_t(QDateTime::currentMSecsSinceEpoch()); },
        false);
    c.AddNative(
        QStringLiteral("function $RandomFloat: Double;"),
        [](NativeCall& n) { n.Result().d = double(NextRandom(n.rt)) / 4294967296.0; }, false);
    c.AddNative(
        QStringLiteral("function $RandomInt(Range: Integer): Integer;"),
        [](NativeCall& n) {
            const int64_t range = n.Arg(0).i;
            const uint64_t r = NextRandom(n.rt);
            n.Result().i = range <= 0 ? 0 : int64_t((r * uint64_t(range)) >> 32);
        },
        false);
    c.AddNative(
        QStringLiteral("function $AbsFloat(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = std::fabs(n.Arg(0).d); }, true);
    c.AddNative(
        QStringLiteral("function $SqrFloat(X: Double): Double;"),
        [](NativeCall& n) { n.Result().d = n.Arg(0).d * n.Arg(0).d; }, true);
    c.AddNative(
        QStringLiteral("function $MaxInt(A, B: Int64): Int64;"),
        [](NativeCall& n) { n.Result().i = std::max(n.Arg(0).i, n.Arg(1).i); }, true);
    c.AddNative(
        QStringLiteral("function $MinInt(A, B: Int64): Int64;"),
        [](NativeCall& n) { n.Result().i = std::min(n.Arg(0).i, n.Arg(1).i); }, true);
    c.AddNative(
        QStringLiteral("function $MaxFloat(A, B: Double): Double;"),
        [](NativeCall& n) { n.Result().d = std::max(n.Arg(0).d, n.Arg(1).d); }, true);
    c.AddNative(
        QStringLiteral("function $MinFloat(A, B: Double): Double;"),
        [](NativeCall& n) { n.Result().d = std::min(n.Arg(0).d, n.Arg(1).d); }, true);
    c.AddNative(
        QStringLiteral("function $Odd(X: Int64): Boolean;"),
        [](NativeCall& n) { n.Result().i = (n.Arg(0).i & 1) != 0; }, true);
}

} // namespace kelvara::script
