#include "scripting/FormatText.h"

#include "scripting/NumberText.h"

namespace kelvara::script {

namespace {

constexpr int kMaxWidth = 1 << 20;

class Formatter {
public:
    Formatter(const QString& format, const Aggregate* args, const Runtime& rt, const SourcePos& pos)
        : FFormat(format), FArgs(args), FRt(rt), FPos(pos) {}

    QString Run() {
        for (qsizetype i = 0; i < FFormat.size();) {
            const QChar c = FFormat.at(i);
            if (c != u'%') {
                FOut += c;
                ++i;
            } else if (i + 1 < FFormat.size() && FFormat.at(i + 1) == u'%') {
                FOut += c;
                i += 2;
            } else {
                i = Directive(i + 1);
            }
            FRt.CheckStringLength(FOut.size(), FPos);
        }
        return FOut;
    }

private:
    [[noreturn]] void Invalid() const {
        throw ScriptError(
            QStringLiteral("Format '%1' invalid or incompatible with argument").arg(FFormat),
            ErrorKind::Convert, FPos);
    }

    size_t Count() const { return FArgs ? FArgs->items.size() : 0; }

    const Value& Arg(size_t k, const Type*& t) const {
        if (k >= Count())
            Invalid();
        t = FArgs->itemTypes[k];
        return FArgs->items[k];
    }

    // A number, or "*" taking the next argument.
    int Number(qsizetype& i) {
        if (i < FFormat.size() && FFormat.at(i) == u'*') {
            ++i;
            const Type* t = nullptr;
            const Value& v = Arg(FNext++, t);
            if (!IsInteger(t))
                Invalid();
            return int(std::clamp<int64_t>(v.i, -kMaxWidth, kMaxWidth));
        }
        int64_t n = -1;
        while (i < FFormat.size() && FFormat.at(i).isDigit() && FFormat.at(i).unicode() < 128) {
            n = std::min<int64_t>((n < 0 ? 0 : n) * 10 + (FFormat.at(i).unicode() - u'0'),
                                  kMaxWidth);
            ++i;
        }
        return int(n);
    }

    qsizetype Directive(qsizetype i) {
        int first = Number(i);
        if (i < FFormat.size() && FFormat.at(i) == u':') {
            if (first < 0)
                first = 0;
            FNext = size_t(first);
            ++i;
            first = -1;
        }
        bool left = false;
        if (first < 0 && i < FFormat.size() && FFormat.at(i) == u'-') {
            left = true;
            ++i;
        }
        const int width = first >= 0 ? first : Number(i);
        int precision = -1;
        if (i < FFormat.size() && FFormat.at(i) == u'.') {
            ++i;
            precision = std::max(0, Number(i));
        }
        if (i >= FFormat.size())
            Invalid();
        const QChar type = FFormat.at(i).toLower();
        QString text = Convert(type, precision);
        if (width > text.size()) {
            const QString pad(width - text.size(), QChar(u' '));
            text = left ? text + pad : pad + text;
        }
        FOut += text;
        return i + 1;
    }

    QString Convert(QChar type, int precision) {
        const Type* t = nullptr;
        const Value& v = Arg(FNext++, t);
        switch (type.unicode()) {
        case u'd':
        case u'u':
        case u'x': {
            if (!IsInteger(t))
                Invalid();
            const bool wide = t->size == IntSize::S64;
            QString digits;
            if (type == u'd') {
                digits = QString::number(v.i < 0 ? -(v.i + 1) + uint64_t(1) : uint64_t(v.i));
            } else {
                const uint64_t u = wide ? uint64_t(v.i) : uint64_t(uint32_t(v.i));
                digits = type == u'u' ? QString::number(u) : QString::number(u, 16).toUpper();
            }
            if (precision > digits.size())
                digits = QString(precision - digits.size(), QChar(u'0')) + digits;
            return (type == u'd' && v.i < 0) ? QStringLiteral("-") + digits : digits;
        }
        case u'e':
        case u'f':
        case u'g':
        case u'n':
        case u'm': {
            if (!IsFloat(t))
                Invalid();
            const QChar dec = LocaleDecimal();
            if (type == u'e')
                return FloatExponent(v.d, precision < 0 ? 15 : precision, dec);
            if (type == u'g')
                return FloatGeneral(v.d, precision < 0 ? 15 : precision, dec);
            if (type == u'f')
                return FloatFixed(v.d, precision < 0 ? 2 : precision, dec);
            return FloatFixed(v.d, precision < 0 ? 2 : precision, dec, LocaleThousands());
        }
        case u's': {
            QString s;
            if (IsString(t))
                s = v.s;
            else if (IsChar(t))
                s = QString(QChar(char16_t(v.i)));
            else
                Invalid();
            return precision >= 0 && precision < s.size() ? s.left(precision) : s;
        }
        default:
            Invalid();
        }
    }

    const QString& FFormat;
    const Aggregate* FArgs;
    const Runtime& FRt;
    SourcePos FPos;
    size_t FNext = 0;
    QString FOut;
};

} // namespace

QString FormatText(const QString& format, const Aggregate* args, const Runtime& rt,
                   const SourcePos& pos) {
    return Formatter(format, args, rt, pos).Run();
}

} // namespace kelvara::script
