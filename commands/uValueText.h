#pragma once
// Reading the value texts of command-line switches (and other outside text) as action values, and
// writing values as script source for recorded macro lines. Every reader is bounded by the text's
// length and refuses what it cannot read.
#include "platform/ui/Types.h"

#include <cstdint>
#include <optional>

#include <QLocale>
#include <QString>

// Optional leading blanks, an optional sign, then decimal digits or "$" and hexadecimal digits
// (up to 32 bits, so "$FF000008" reads as the negative system colour code). Nothing may follow.
std::optional<int32_t> ReadIntegerText(const QString& text);
int32_t StrToIntDef(const QString& text, int32_t def);

// Trimmed and lower-cased: "true", "vrai", "t", "v" or a non-zero integer are true; anything else
// is false.
bool ReadBooleanText(const QString& text);

// A finite floating-point number in the locale's notation (blanks around it allowed, no group
// separators).
std::optional<double> ReadDoubleText(const QString& text, const QLocale& locale = QLocale());

// "(x, y)": the trimmed text begins with "(", ends with ")" and holds a ","; each part that is not
// an integer counts as 0. Malformed text gives nullopt.
std::optional<TPoint> ReadPointText(const QString& text);
// "(left, top, right, bottom)" likewise, with three commas.
std::optional<TRect> ReadRectText(const QString& text);

// Script source texts.
QString ScriptString(const QString& text); // 'text' with every quote doubled
QString ScriptBoolean(bool value);         // True / False
QString ScriptHexColor(TColor color);      // $ and at least 6 upper-case hexadecimal digits
// General format with up to 15 significant digits: fixed notation unless the decimal exponent is
// above 15 or the value is below 0.0001, then d.dddE[-]x. The decimal separator is always ".",
// since the text is script source.
QString ScriptDouble(double value);
