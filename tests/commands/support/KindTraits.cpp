#include "tests/commands/support/KindTraits.h"

namespace {

QVariant Token(const QString& raw) {
    const QString t = raw.trimmed();
    if (t.startsWith(QLatin1Char('\'')))
        return t.mid(1, t.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    if (t == QLatin1String("True") || t == QLatin1String("False"))
        return t == QLatin1String("True");
    if (t.startsWith(QLatin1Char('$')))
        return t.mid(1).toLongLong(nullptr, 16);
    if (t.contains(QLatin1Char('.')) || t.contains(QLatin1Char('E')))
        return t.toDouble();
    return t.toLongLong();
}

} // namespace

QVariantList MacroLineArguments(const QString& line) {
    const qsizetype open = line.indexOf(QLatin1Char('('));
    const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
    QVariantList args;
    if (open < 0 || close < open)
        return args;
    const QString inner = line.mid(open + 1, close - open - 1);
    QString current;
    bool quoted = false;
    for (QChar c : inner) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (c == QLatin1Char(',') && !quoted) {
            args << Token(current);
            current.clear();
        } else {
            current += c;
        }
    }
    args << Token(current);
    return args;
}
