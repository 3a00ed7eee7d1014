#include "preferences/IniValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <QLocale>
#include <QRegularExpression>

namespace IniValues {

namespace {

// The decimal digits of |value| rounded to 15 significant digits, without trailing zeros, and the
// position of the decimal point relative to the first digit (123.4 gives "1234", 3).
void Digits(double value, QByteArray& digits, int& pointPosition) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const QByteArray text(buffer);
    const qsizetype e = text.indexOf('e');
    digits = text.left(e);
    digits.remove(1, 1); // the decimal point after the first digit
    pointPosition = text.mid(e + 1).toInt() + 1;
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
}

} // namespace

QString FormatFloat(double value, QChar decimalSeparator) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    QByteArray digits;
    int point = 0;
    Digits(value, digits, point);
    QString out = value < 0 ? QStringLiteral("-") : QString();
    const QString d = QString::fromLatin1(digits);
    if (point > 15 || point < -3) {
        out += d.left(1);
        if (d.size() > 1)
            out += decimalSeparator + d.mid(1);
        return out + QStringLiteral("E%1").arg(point - 1);
    }
    if (point <= 0)
        return out + u'0' + decimalSeparator + QString(-point, u'0') + d;
    if (d.size() <= point)
        return out + d + QString(point - d.size(), u'0');
    return out + d.left(point) + decimalSeparator + d.mid(point);
}

bool ParseFloat(const QString& text, QChar decimalSeparator, double& value) {
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][+-]?\\d+)?$"));
    QString t = text.trimmed();
    const QString upper = t.toUpper();
    const bool negative = upper.startsWith(u'-');
    const QString unsignedUpper = (negative || upper.startsWith(u'+')) ? upper.mid(1) : upper;
    if (unsignedUpper == u"NAN" || unsignedUpper == u"INF") {
        value = unsignedUpper == u"NAN" ? std::nan("") : (negative ? -HUGE_VAL : HUGE_VAL);
        return true;
    }
    if (decimalSeparator != u'.' && decimalSeparator != u',')
        t.replace(decimalSeparator, u'.');
    if (!number.match(t).hasMatch())
        return false;
    t.replace(u',', u'.');
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool ParseInteger(const QString& text, int32_t& value) {
    QString t = text;
    while (!t.isEmpty() && t.front().isSpace())
        t.remove(0, 1);
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = t.front() == u'-';
        t.remove(0, 1);
    }
    int base = 10;
    if (t.startsWith(u'$')) {
        base = 16;
        t.remove(0, 1);
    } else if (t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t.remove(0, 2);
    }
    if (t.isEmpty())
        return false;
    for (const QChar c : t)
        if (!(c.isDigit() && c.unicode() < 128) &&
            !(base == 16 && QStringLiteral("abcdefABCDEF").contains(c)))
            return false;
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok)
        return false;
    const qulonglong limit =
        base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (magnitude > limit)
        return false;
    const uint32_t bits = uint32_t(magnitude);
    value = int32_t(negative ? 0u - bits : bits);
    return true;
}

} // namespace IniValues
