#include "commands/uValueText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The digits of text from position i to its end in the given base, at most max.
std::optional<uint64_t> ReadDigits(const QString& text, qsizetype i, int base, uint64_t max) {
    if (i >= text.size())
        return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = HexDigit(text.at(i));
        if (d < 0 || d >= base)
            return std::nullopt;
        value = value * uint64_t(base) + uint64_t(d);
        if (value > max)
            return std::nullopt;
    }
    return value;
}

// The text between two positions of a bracketed list, read as an integer or 0.
int32_t Part(const QString& text, qsizetype from, qsizetype to) {
    return StrToIntDef(text.mid(from, to - from).trimmed(), 0);
}

} // namespace

std::optional<int32_t> ReadIntegerText(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i < text.size() && text.at(i) == QLatin1Char('$')) {
        const auto v = ReadDigits(text, i + 1, 16, 0xFFFFFFFFu);
        if (!v)
            return std::nullopt;
        const uint32_t bits = negative ? uint32_t(0u - uint32_t(*v)) : uint32_t(*v);
        return int32_t(bits);
    }
    const auto v = ReadDigits(text, i, 10, negative ? 0x80000000u : 0x7FFFFFFFu);
    if (!v)
        return std::nullopt;
    return negative ? int32_t(-int64_t(*v)) : int32_t(*v);
}

int32_t StrToIntDef(const QString& text, int32_t def) {
    return ReadIntegerText(text).value_or(def);
}

bool ReadBooleanText(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("vrai") || t == QLatin1String("t") ||
        t == QLatin1String("v"))
        return true;
    return StrToIntDef(t, 0) != 0;
}

std::optional<double> ReadDoubleText(const QString& text, const QLocale& locale) {
    QLocale l(locale);
    l.setNumberOptions(l.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = l.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<TPoint> ReadPointText(const QString& text) {
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1Char('(')) || !t.endsWith(QLatin1Char(')')))
        return std::nullopt;
    const qsizetype comma = t.indexOf(QLatin1Char(','));
    if (comma < 0)
        return std::nullopt;
    return TPoint{Part(t, 1, comma), Part(t, comma + 1, t.size() - 1)};
}

std::optional<TRect> ReadRectText(const QString& text) {
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1Char('(')) || !t.endsWith(QLatin1Char(')')))
        return std::nullopt;
    const qsizetype c1 = t.indexOf(QLatin1Char(','));
    const qsizetype c2 = c1 < 0 ? -1 : t.indexOf(QLatin1Char(','), c1 + 1);
    const qsizetype c3 = c2 < 0 ? -1 : t.indexOf(QLatin1Char(','), c2 + 1);
    if (c3 < 0)
        return std::nullopt;
    return TRect{Part(t, 1, c1), Part(t, c1 + 1, c2), Part(t, c2 + 1, c3),
                 Part(t, c3 + 1, t.size() - 1)};
}

QString ScriptString(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString ScriptBoolean(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString ScriptHexColor(TColor color) {
    return QLatin1Char('$') + QString::number(uint32_t(color), 16).toUpper().rightJustified(6, '0');
}

QString ScriptDouble(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    // buffer: d.dddddddddddddde[+-]xx
    QString digits = QString::fromLatin1(buffer, 1) + QString::fromLatin1(buffer + 2, 14);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    const int exponent = std::atoi(buffer + 17); // power of ten of the first digit
    const int pointAt = exponent + 1;            // digits before the decimal point
    QString text;
    if (pointAt > 15 || pointAt < -3) {
        text = digits.left(1);
        if (digits.size() > 1)
            text += QLatin1Char('.') + digits.mid(1);
        text += QLatin1Char('E') + QString::number(exponent);
    } else if (pointAt <= 0) {
        text = QLatin1String("0.") + QString(-pointAt, QLatin1Char('0')) + digits;
    } else if (digits.size() <= pointAt) {
        text = digits + QString(pointAt - digits.size(), QLatin1Char('0'));
    } else {
        text = digits.left(pointAt) + QLatin1Char('.') + digits.mid(pointAt);
    }
    return value < 0 ? QLatin1Char('-') + text : text;
}
