#pragma once
// Number texts of the INI store. Floats are written in the general form with up to 15
// significant digits and the locale's decimal separator (0.1, 1234.5, 1E20, 1.5E-5, NAN, INF);
// integers in decimal.
#include <cstdint>

#include <QChar>
#include <QString>

namespace IniValues {

QString FormatFloat(double value, QChar decimalSeparator);

// Reads a float written with the given separator; "." and "," are both accepted, so that a file
// written under another locale still reads. Blanks around the number are ignored.
bool ParseFloat(const QString& text, QChar decimalSeparator, double& value);

// Reads a 32-bit integer: optional blanks and sign, then decimal digits, or hexadecimal digits
// after "$" or "0x"; hexadecimal texts up to FFFFFFFF give the same 32 bits.
bool ParseInteger(const QString& text, int32_t& value);

} // namespace IniValues
