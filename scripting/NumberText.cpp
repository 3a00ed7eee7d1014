#include "scripting/NumberText.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>
#include <string_view>

#include <QLocale>

namespace kelvara::script {

namespace {

// ---- integers

int DigitIn(QChar c, int base) {
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < base ? d : -1;
}

// The base that a prefix at `i` selects; `i` is moved past the prefix.
int ReadPrefix(const QString& t, qsizetype& i) {
    if (i >= t.size())
        return 10;
    const QChar c = t.at(i);
    if (c == u'$' || c == u'x' || c == u'X') {
        ++i;
        return 16;
    }
    if (c == u'&' || c == u'%') {
        ++i;
        return c == u'&' ? 8 : 2;
    }
    if (c == u'0' && i + 1 < t.size() && (t.at(i + 1) == u'x' || t.at(i + 1) == u'X')) {
        i += 2;
        return 16;
    }
    return 10;
}

int Position(qsizetype index) {
    return int(std::min<qsizetype>(index + 1, INT_MAX));
}

// ---- floats

// The C locale, so that reading a float does not follow the process's LC_NUMERIC.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}

// Copies the digits at `i` to `ascii` and returns how many there were.
int CopyDigits(const QString& t, qsizetype& i, qsizetype end, std::string& ascii) {
    int count = 0;
    for (; i < end && t.at(i) >= u'0' && t.at(i) <= u'9'; ++i, ++count)
        ascii.push_back(char(t.at(i).unicode()));
    return count;
}

bool IsSurroundingBlank(QChar c) {
    return c.unicode() <= u' ';
}

// The exact decimal expansion of |value|: digits without leading or trailing zeros (empty for
// zero) and the exponent E with |value| = 0.d1d2d3... x 10^E.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal ExactDecimal(double value) {
    Decimal d;
    if (value == 0)
        return d;
    // 767 significant digits hold every double exactly.
    char buf[800];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 766);
    const std::string_view s(buf, size_t(res.ptr - buf));
    const size_t e = s.find('e');
    for (size_t k = 0; k < e; ++k)
        if (s[k] != '.')
            d.digits.push_back(s[k]);
    size_t from = e + 1;
    if (s[from] == '+')
        ++from;
    int exp10 = 0;
    std::from_chars(s.data() + from, s.data() + s.size(), exp10);
    d.exponent = exp10 + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero (the digits are exact, so a 5 in
// the first dropped place means at least half). Fewer than one kept digit rounds to 0 or to
// one unit of the place before the first digit.
void RoundTo(Decimal& d, int keep) {
    if (keep < 0 || d.digits.empty()) {
        d = Decimal();
        return;
    }
    if (size_t(keep) >= d.digits.size())
        return;
    const bool up = d.digits[size_t(keep)] >= '5';
    d.digits.resize(size_t(keep));
    if (up) {
        int k = keep - 1;
        while (k >= 0 && d.digits[size_t(k)] == '9')
            d.digits[size_t(k--)] = '0';
        if (k < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[size_t(k)];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// The digit at `index` of the expansion, 0 outside the stored digits.
QChar DigitAt(const Decimal& d, int index) {
    return index >= 0 && size_t(index) < d.digits.size() ? QChar(d.digits[size_t(index)])
                                                         : QChar(u'0');
}

// A minus sign for a negative value that did not round to zero.
QString Sign(double value, const Decimal& d) {
    return value < 0 && !d.digits.empty() ? QStringLiteral("-") : QString();
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

int ValInteger(const QString& text, IntWidth width, int64_t& out) {
    out = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        negative = text.at(i++) == u'-';
    const int base = ReadPrefix(text, i);
    const bool wide = width == IntWidth::I64;
    uint64_t limit = 0;
    if (base != 10)
        limit = wide ? std::numeric_limits<uint64_t>::max() : std::numeric_limits<uint32_t>::max();
    else
        limit = uint64_t(wide ? std::numeric_limits<int64_t>::max()
                              : std::numeric_limits<int32_t>::max()) +
                (negative ? 1 : 0);
    if (i >= n)
        return Position(i);
    uint64_t value = 0;
    for (; i < n; ++i) {
        const int d = DigitIn(text.at(i), base);
        if (d < 0 || value > (limit - uint64_t(d)) / uint64_t(base))
            return Position(i);
        value = value * uint64_t(base) + uint64_t(d);
    }
    const uint64_t bits = negative ? uint64_t(0) - value : value;
    out = wide ? int64_t(bits) : int64_t(int32_t(uint32_t(bits)));
    return 0;
}

bool ParseInteger(const QString& text, int64_t low, int64_t high, int64_t& out) {
    const bool narrow =
        low >= std::numeric_limits<int32_t>::min() && high <= std::numeric_limits<int32_t>::max();
    int64_t v = 0;
    if (ValInteger(text, narrow ? IntWidth::I32 : IntWidth::I64, v) != 0 || v < low || v > high)
        return false;
    out = v;
    return true;
}

bool ParseFloat(const QString& text, QChar decimal, double& out) {
    qsizetype i = 0, end = text.size();
    while (i < end && IsSurroundingBlank(text.at(i)))
        ++i;
    while (end > i && IsSurroundingBlank(text.at(end - 1)))
        --end;
    std::string ascii;
    if (i < end && (text.at(i) == u'+' || text.at(i) == u'-'))
        ascii.push_back(char(text.at(i++).unicode()));
    int digits = CopyDigits(text, i, end, ascii);
    if (i < end && text.at(i) == decimal) {
        ascii.push_back('.');
        ++i;
        digits += CopyDigits(text, i, end, ascii);
    }
    if (digits == 0)
        return false;
    if (i < end && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < end && (text.at(i) == u'+' || text.at(i) == u'-'))
            ascii.push_back(char(text.at(i++).unicode()));
        if (CopyDigits(text, i, end, ascii) == 0)
            return false;
    }
    if (i != end)
        return false;
    const double v = strtod_l(ascii.c_str(), nullptr, CLocale());
    if (!std::isfinite(v))
        return false;
    out = v;
    return true;
}

QString FloatGeneral(double value, int precision, QChar decimal) {
    if (!std::isfinite(value))
        return NonFinite(value);
    precision = std::clamp(precision, 1, 18);
    Decimal d = ExactDecimal(value);
    RoundTo(d, precision);
    if (d.digits.empty())
        return QStringLiteral("0");
    QString out = Sign(value, d);
    const QString digits = QString::fromLatin1(d.digits.c_str());
    // Fixed notation from 0.00001 (0.1E-4) up to `precision` integer digits.
    if (d.exponent > precision || d.exponent < -4) {
        out += digits.at(0);
        if (digits.size() > 1)
            out += decimal + digits.mid(1);
        return out + QStringLiteral("E%1").arg(d.exponent - 1);
    }
    if (d.exponent <= 0)
        return out + QChar(u'0') + decimal + QString(-d.exponent, QChar(u'0')) + digits;
    if (digits.size() <= d.exponent)
        return out + digits + QString(d.exponent - digits.size(), QChar(u'0'));
    return out + digits.left(d.exponent) + decimal + digits.mid(d.exponent);
}

QString FloatExponent(double value, int precision, QChar decimal) {
    if (!std::isfinite(value))
        return NonFinite(value);
    precision = std::clamp(precision, 1, 18);
    Decimal d = ExactDecimal(value);
    RoundTo(d, precision);
    QString out = Sign(value, d) + DigitAt(d, 0);
    if (precision > 1) {
        out += decimal;
        for (int k = 1; k < precision; ++k)
            out += DigitAt(d, k);
    }
    const int exponent = d.digits.empty() ? 0 : d.exponent - 1;
    return out + QStringLiteral("E%1%2")
                     .arg(exponent < 0 ? QChar(u'-') : QChar(u'+'))
                     .arg(std::abs(exponent), 3, 10, QChar(u'0'));
}

QString FloatFixed(double value, int decimals, QChar decimal, QChar thousands) {
    if (!std::isfinite(value))
        return NonFinite(value);
    decimals = std::clamp(decimals, 0, 18);
    Decimal d = ExactDecimal(value);
    RoundTo(d, d.exponent + decimals);
    QString integer;
    for (int k = 0; k < d.exponent; ++k)
        integer += DigitAt(d, k);
    if (integer.isEmpty())
        integer = QStringLiteral("0");
    QString out = Sign(value, d) + Group(integer, thousands);
    if (decimals > 0) {
        out += decimal;
        for (int k = 0; k < decimals; ++k)
            out += DigitAt(d, d.exponent + k);
    }
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
