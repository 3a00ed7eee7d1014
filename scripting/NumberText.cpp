#include "scripting/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include <QLocale>

namespace kelvara::script {

namespace {

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Digits of |value| rounded to `precision` significant digits, and the decimal exponent E so
// that value = 0.d1d2d3... x 10^E. Trailing zeros are removed.
void Digits(double value, int precision, std::string& digits, int& exponent) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(value));
    const std::string s = buf;
    const size_t e = s.find('e');
    digits.clear();
    for (size_t k = 0; k < e; ++k)
        if (s[k] != '.')
            digits.push_back(s[k]);
    exponent = std::atoi(s.c_str() + e + 1) + 1;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (digits == "0")
        exponent = 0;
}

QString NonFinite(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString Group(const QString& integer, QChar thousands) {
    if (thousands.isNull())
        return integer;
    QString out;
    const qsizetype n = integer.size();
    for (qsizetype k = 0; k < n; ++k) {
        if (k > 0 && (n - k) % 3 == 0)
            out += thousands;
        out += integer.at(k);
    }
    return out;
}

} // namespace

bool ParseInteger(const QString& text, int64_t low, int64_t high, int64_t& out) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        negative = text.at(i++) == u'-';
    bool hex = false;
    if (i < n && text.at(i) == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' &&
               (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t value = 0;
    for (; i < n; ++i) {
        const int d =
            hex ? HexDigit(text.at(i))
                : (text.at(i).isDigit() && text.at(i).unicode() < 128 ? text.at(i).unicode() - u'0'
                                                                      : -1);
        if (d < 0)
            return false;
        const uint64_t base = hex ? 16 : 10;
        if (value > (std::numeric_limits<uint64_t>::max() - uint64_t(d)) / base)
            return false;
        value = value * base + uint64_t(d);
    }
    int64_t result;
    if (hex) {
        const bool narrow = high <= std::numeric_limits<int32_t>::max();
        if (narrow && value > 0xFFFFFFFFu)
            return false;
        result = narrow ? int64_t(int32_t(uint32_t(value))) : int64_t(value);
        if (negative)
            result = int64_t(uint64_t(0) - uint64_t(result));
    } else if (negative) {
        if (value > uint64_t(std::numeric_limits<int64_t>::max()) + 1)
            return false;
        result = int64_t(uint64_t(0) - value);
    } else {
        if (value > uint64_t(std::numeric_limits<int64_t>::max()))
            return false;
        result = int64_t(value);
    }
    if (result < low || result > high)
        return false;
    out = result;
    return true;
}

bool ParseFloat(const QString& text, QChar decimal, double& out) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    std::string ascii;
    for (QChar c : t) {
        const char16_t u = c.unicode();
        if (c == decimal)
            ascii.push_back('.');
        else if ((u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'e' || u == u'E')
            ascii.push_back(char(u));
        else
            return false;
    }
    char* end = nullptr;
    const double v = std::strtod(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size() || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

QString FloatGeneral(double value, int precision, QChar decimal) {
    if (!std::isfinite(value))
        return NonFinite(value);
    precision = std::clamp(precision, 1, 18);
    std::string digits;
    int exponent = 0;
    Digits(value, precision, digits, exponent);
    const bool negative = value < 0 && digits != "0";
    QString out = negative ? QStringLiteral("-") : QString();
    if (digits == "0")
        return QStringLiteral("0");
    if (exponent > precision || exponent < -3) {
        out += QChar(digits[0]);
        if (digits.size() > 1) {
            out += decimal;
            out += QString::fromLatin1(digits.c_str() + 1);
        }
        out += QStringLiteral("E%1").arg(exponent - 1);
        return out;
    }
    if (exponent <= 0) {
        out += QChar(u'0');
        out += decimal;
        out += QString(-exponent, QChar(u'0'));
        out += QString::fromLatin1(digits.c_str());
        return out;
    }
    const QString d = QString::fromLatin1(digits.c_str());
    if (int(d.size()) <= exponent) {
        out += d + QString(exponent - int(d.size()), QChar(u'0'));
        return out;
    }
    out += d.left(exponent) + decimal + d.mid(exponent);
    return out;
}

QString FloatExponent(double value, int precision, QChar decimal) {
    if (!std::isfinite(value))
        return NonFinite(value);
    precision = std::clamp(precision, 1, 18);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, value);
    QString s = QString::fromLatin1(buf);
    const qsizetype e = s.indexOf(u'e');
    QString mantissa = s.left(e);
    mantissa.replace(u'.', decimal);
    const int exponent = s.mid(e + 1).toInt();
    return mantissa + QStringLiteral("E%1%2")
                          .arg(exponent < 0 ? QChar(u'-') : QChar(u'+'))
                          .arg(std::abs(exponent), 3, 10, QChar(u'0'));
}

QString FloatFixed(double value, int decimals, QChar decimal, QChar thousands) {
    if (!std::isfinite(value))
        return NonFinite(value);
    decimals = std::clamp(decimals, 0, 18);
    char buf[400]; // 309 integer digits, a sign, a point and 18 decimals at most
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    QString s = QString::fromLatin1(buf, res.ptr - buf);
    QString sign;
    if (s.startsWith(u'-')) {
        sign = QStringLiteral("-");
        s.remove(0, 1);
    }
    const qsizetype dot = s.indexOf(u'.');
    const QString integer = dot < 0 ? s : s.left(dot);
    const QString fraction = dot < 0 ? QString() : s.mid(dot + 1);
    QString out = sign + Group(integer, thousands);
    if (!fraction.isEmpty())
        out += decimal + fraction;
    return out;
}

QChar LocaleDecimal() {
    const QString d = QLocale().decimalPoint();
    return d.isEmpty() ? QChar(u'.') : d.at(0);
}

QChar LocaleThousands() {
    const QString g = QLocale().groupSeparator();
    return g.isEmpty() ? QChar(u',') : g.at(0);
}

} // namespace kelvara::script
