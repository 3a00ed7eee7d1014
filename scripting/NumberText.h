#pragma once
// Reading and writing numbers as Delphi's SysUtils does: StrToInt (decimal, $hex, 0x hex,
// leading blanks, a sign), StrToFloat (the locale's decimal separator), FloatToStr (15
// significant digits, shortest form, "1E-5" / "1.5E20" outside the fixed range), and the
// %e, %f, %g, %n conversions of Format.
#include <cstdint>

#include <QString>

namespace kelvara::script {

// Reads an integer of the range low..high; hexadecimal values of up to 32 bits wrap into a
// 32-bit signed range as Delphi's Val does. False when the text is not such a number.
bool ParseInteger(const QString& text, int64_t low, int64_t high, int64_t& out);

// Reads a float with `decimal` as the decimal separator (blanks around allowed).
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
