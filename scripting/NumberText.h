#pragma once
// Reading and writing numbers as the Pascal RTLs do. Integers as Val reads them: leading blanks
// and tabs, a sign, then decimal digits or a prefix and digits of another base ($, x, X, 0x, 0X:
// hexadecimal; &: octal; %: binary). Floats as StrToFloat reads them (the locale's decimal
// separator, blanks around). FloatToStr's general form (15 significant digits, "0.00001" and
// up in fixed notation, "1E-6" / "1.5E20" outside) and Format's %e, %f, %g, %n. Every written
// number is rounded from its exact binary value, halves away from zero; no conversion depends
// on the C library's locale.
#include <cstdint>

#include <QString>

namespace kelvara::script {

enum class IntWidth { I32, I64 };

// Val: 0 when `text` is an integer of the width, else the 1-based position of the first
// character that is not part of one (the digit at which the value leaves the range, the
// position past the end when digits are missing). Decimal texts must fit the signed range;
// other bases take up to 32 or 64 bits and wrap into the signed range, so "$FFFFFFFF" is -1 as
// an I32. `out` is the value, or 0 on failure.
int ValInteger(const QString& text, IntWidth width, int64_t& out);

// An integer of the range low..high, read as ValInteger does (as an I32 when the range fits).
bool ParseInteger(const QString& text, int64_t low, int64_t high, int64_t& out);

// A finite float with `decimal` as the decimal separator: a sign, digits with at most one
// separator (at least one digit), an exponent "e"/"E" with an optional sign and digits.
// Characters up to the blank (code 32) around it are ignored. Values too small for a double
// read as 0 or a subnormal; values too large are refused.
bool ParseFloat(const QString& text, QChar decimal, double& out);

// FloatToStrF(value, ffGeneral, precision, 0).
QString FloatGeneral(double value, int precision, QChar decimal);
// Format's %e: precision significant digits, "E+003" exponent.
QString FloatExponent(double value, int precision, QChar decimal);
// Format's %f (thousands empty) and %n (with the separator).
QString FloatFixed(double value, int decimals, QChar decimal, QChar thousands = QChar());

// The decimal separator and thousands separator of the current locale.
QChar LocaleDecimal();
QChar LocaleThousands();

} // namespace kelvara::script
