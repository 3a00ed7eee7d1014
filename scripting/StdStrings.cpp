// String routines of the standard library.
#include "scripting/Compiler.h"
#include "scripting/FormatText.h"
#include "scripting/NumberText.h"
#include "scripting/StdLib.h"

#include <algorithm>
#include <limits>

namespace kelvara::script {

namespace {

QString AsciiUpper(QString s) {
    for (QChar& c : s)
        if (c >= u'a' && c <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    return s;
}

QString AsciiLower(QString s) {
    for (QChar& c : s)
        if (c >= u'A' && c <= u'Z')
            c = QChar(char16_t(c.unicode() + 32));
    return s;
}

// Delphi's Trim family removes blanks and control characters (code <= 32).
bool IsTrimmed(QChar c) {
    return c.unicode() <= u' ';
}

QString TrimLeftText(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && IsTrimmed(s.at(i)))
        ++i;
    return s.mid(i);
}

QString TrimRightText(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && IsTrimmed(s.at(n - 1)))
        --n;
    return s.left(n);
}

int CompareAscii(const QString& a, const QString& b, bool ignoreCase) {
    const QString x = ignoreCase ? AsciiUpper(a) : a;
    const QString y = ignoreCase ? AsciiUpper(b) : b;
    const qsizetype n = std::min(x.size(), y.size());
    for (qsizetype k = 0; k < n; ++k)
        if (x.at(k) != y.at(k))
            return int(x.at(k).unicode()) - int(y.at(k).unicode());
    return int(x.size() - y.size());
}

// Copy(S, Index, Count) with Delphi's clipping: an index below 1 starts at the beginning.
QString CopyText(const QString& s, int64_t index, int64_t count) {
    const int64_t length = s.size();
    int64_t from = index < 1 ? 0 : std::min(index - 1, length);
    count = std::clamp<int64_t>(count, 0, length - from);
    return s.mid(qsizetype(from), qsizetype(count));
}

// IntToHex: upper-case digits, padded with zeros to `digits` (bounded by the string limit).
QString HexText(NativeCall& n, uint64_t value) {
    QString s = QString::number(value, 16).toUpper();
    const int64_t digits = n.Arg(1).i;
    if (digits > s.size()) {
        n.rt.CheckStringLength(digits, n.pos);
        s = QString(qsizetype(digits - s.size()), QChar(u'0')) + s;
    }
    return s;
}

} // namespace

void RegisterStdStrings(Compiler& c) {
    c.AddNative(
        QStringLiteral("function Pos(const SubStr, S: string): Integer;"),
        [](NativeCall& n) {
            const QString& sub = n.Arg(0).s;
            n.Result().i = sub.isEmpty() ? 0 : n.Arg(1).s.indexOf(sub) + 1;
        },
        true);
    c.AddNative(
        QStringLiteral("function PosEx(const SubStr, S: string; Offset: Integer = 1): Integer;"),
        [](NativeCall& n) {
            const QString& sub = n.Arg(0).s;
            const int64_t offset = n.Arg(2).i;
            if (sub.isEmpty() || offset < 1 || offset > n.Arg(1).s.size())
                n.Result().i = 0;
            else
                n.Result().i = n.Arg(1).s.indexOf(sub, qsizetype(offset - 1)) + 1;
        },
        true);
    c.AddNative(
        QStringLiteral("procedure Delete(var S: string; Index, Count: Integer);"),
        [](NativeCall& n) {
            QString& s = n.VarArg(0).s;
            const int64_t index = n.Arg(1).i, count = n.Arg(2).i;
            if (index < 1 || index > s.size() || count <= 0)
                return;
            s.remove(qsizetype(index - 1), qsizetype(std::min<int64_t>(count, s.size())));
        },
        false);
    c.AddNative(
        QStringLiteral("procedure Insert(const Source: string; var S: string; Index: Integer);"),
        [](NativeCall& n) {
            QString& s = n.VarArg(1).s;
            const QString& src = n.Arg(0).s;
            n.rt.CheckStringLength(int64_t(s.size()) + src.size(), n.pos);
            const int64_t index = std::clamp<int64_t>(n.Arg(2).i, 1, s.size() + 1);
            s.insert(qsizetype(index - 1), src);
        },
        false);
    c.AddNative(
        QStringLiteral("function StringOfChar(Ch: Char; Count: Integer): string;"),
        [](NativeCall& n) {
            const int64_t count = std::max<int64_t>(0, n.Arg(1).i);
            n.rt.CheckStringLength(count, n.pos);
            n.Result().s = QString(qsizetype(count), QChar(char16_t(n.Arg(0).i)));
        },
        true);
    c.AddNative(
        QStringLiteral("function UpperCase(const S: string): string;"),
        [](NativeCall& n) { n.Result().s = AsciiUpper(n.Arg(0).s); }, true);
    c.AddNative(
        QStringLiteral("function LowerCase(const S: string): string;"),
        [](NativeCall& n) { n.Result().s = AsciiLower(n.Arg(0).s); }, true);
    c.AddNative(
        QStringLiteral("function AnsiUpperCase(const S: string): string;"),
        [](NativeCall& n) { n.Result().s = n.Arg(0).s.toUpper(); }, true);
    c.AddNative(
        QStringLiteral("function AnsiLowerCase(const S: string): string;"),
        [](NativeCall& n) { n.Result().s = n.Arg(0).s.toLower(); }, true);
    c.AddNative(
        QStringLiteral("function UpCase(Ch: Char): Char;"),
        [](NativeCall& n) {
            const int64_t ch = n.Arg(0).i;
            n.Result().i = (ch >= 'a' && ch <= 'z') ? ch - 32 : ch;
        },
        true);
    c.AddNative(
        QStringLiteral("function Trim(const S: string): string;"),
        [](NativeCall& n) { n.Result().s = TrimLeftText(TrimRightText(n.Arg(0).s)); }, true);
    c.AddNative(
        QStringLiteral("function TrimLeft(const S: string): string;"),
        [](NativeCall& n) { n.Result().s = TrimLeftText(n.Arg(0).s); }, true);
    c.AddNative(
        QStringLiteral("function TrimRight(const S: string): string;"),
        [](NativeCall& n) { n.Result().s = TrimRightText(n.Arg(0).s); }, true);
    c.AddNative(
        QStringLiteral("function CompareStr(const S1, S2: string): Integer;"),
        [](NativeCall& n) { n.Result().i = CompareAscii(n.Arg(0).s, n.Arg(1).s, false); }, true);
    c.AddNative(
        QStringLiteral("function CompareText(const S1, S2: string): Integer;"),
        [](NativeCall& n) { n.Result().i = CompareAscii(n.Arg(0).s, n.Arg(1).s, true); }, true);
    c.AddNative(
        QStringLiteral("function SameText(const S1, S2: string): Boolean;"),
        [](NativeCall& n) { n.Result().i = CompareAscii(n.Arg(0).s, n.Arg(1).s, true) == 0; },
        true);
    c.AddNative(
        QStringLiteral("function QuotedStr(const S: string): string;"),
        [](NativeCall& n) {
            QString s = n.Arg(0).s;
            s.replace(QStringLiteral("'"), QStringLiteral("''"));
            n.rt.CheckStringLength(s.size() + 2, n.pos);
            n.Result().s = QStringLiteral("'") + s + QStringLiteral("'");
        },
        true);
    c.AddSystemType(QStringLiteral("TReplaceFlags"),
                    QStringLiteral("set of (rfReplaceAll, rfIgnoreCase)"));
    c.AddNative(
        QStringLiteral("function StringReplace(const S, OldPattern, NewPattern: string; "
                       "Flags: TReplaceFlags): string;"),
        [](NativeCall& n) {
            const QString& s = n.Arg(0).s;
            const QString& from = n.Arg(1).s;
            const QString& to = n.Arg(2).s;
            const Aggregate* flags = n.Arg(3).a.get();
            const bool all = flags && flags->HasBit(0);
            const Qt::CaseSensitivity cs =
                flags && flags->HasBit(1) ? Qt::CaseInsensitive : Qt::CaseSensitive;
            QString out;
            qsizetype at = 0;
            while (!from.isEmpty()) {
                const qsizetype hit = s.indexOf(from, at, cs);
                if (hit < 0)
                    break;
                out += s.mid(at, hit - at) + to;
                n.rt.CheckStringLength(out.size(), n.pos);
                at = hit + from.size();
                if (!all)
                    break;
            }
            out += s.mid(at);
            n.rt.CheckStringLength(out.size(), n.pos);
            n.Result().s = out;
        },
        true);
    c.AddNative(
        QStringLiteral("function $CopyStr(const S: string; Index, Count: Int64): string;"),
        [](NativeCall& n) { n.Result().s = CopyText(n.Arg(0).s, n.Arg(1).i, n.Arg(2).i); }, true);
    c.AddNative(
        QStringLiteral("function $Format(const Fmt: string; const Args: array of const): string;"),
        [](NativeCall& n) { n.Result().s = FormatText(n.Arg(0).s, n.Arg(1).a.get(), n.rt, n.pos); },
        true);
    c.AddNative(
        QStringLiteral("function $IntToHex32(Value: Int64; Digits: Integer): string;"),
        [](NativeCall& n) { n.Result().s = HexText(n, uint32_t(n.Arg(0).i)); }, true);
    c.AddNative(
        QStringLiteral("function $IntToHex64(Value: Int64; Digits: Integer): string;"),
        [](NativeCall& n) { n.Result().s = HexText(n, uint64_t(n.Arg(0).i)); }, true);
}

} // namespace kelvara::script
