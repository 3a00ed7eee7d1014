#include "platform/registry/RegFileReader.h"

#include "platform/registry/RegPath.h"
#include "platform/registry/TextDecoding.h"

#include <optional>

namespace {

struct LogicalLine {
    int Number = 0;
    QString Text;
};

// Physical lines joined where one ends in "\"; each logical line keeps the number of its first.
std::vector<LogicalLine> JoinContinuations(const QStringList& lines) {
    std::vector<LogicalLine> out;
    bool continuing = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = continuing ? lines[i].trimmed() : lines[i];
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        const bool continues = line.endsWith(u'\\');
        if (continues)
            line.chop(1);
        if (continuing)
            out.back().Text += line;
        else
            out.push_back({int(i + 1), line});
        continuing = continues;
    }
    return out;
}

class LineParser {
public:
    LineParser(RegParseResult& result, bool ansi) : FResult(result), FAnsi(ansi) {}

    void Parse(const LogicalLine& line) {
        FLine = line.Number;
        const QString text = line.Text.trimmed();
        if (text.isEmpty() || text.startsWith(u';'))
            return;
        if (text.startsWith(u'['))
            ParseKey(text);
        else
            ParseValue(text);
    }

private:
    void Error(const QString& what) {
        FResult.Errors.append(QStringLiteral("line %1: %2").arg(FLine).arg(what));
    }

    // key-line := "[" ["-"] root ["\" name]* "]"
    void ParseKey(const QString& text) {
        if (!text.endsWith(u']')) {
            Error(QStringLiteral("key line without closing bracket"));
            FState = State::Invalid;
            return;
        }
        QString path = text.mid(1, text.size() - 2);
        const bool remove = path.startsWith(u'-');
        if (remove)
            path.remove(0, 1);
        const auto names = RegPath::SplitRooted(path);
        if (!names) {
            Error(QStringLiteral("not a key of HKEY_CURRENT_USER: %1").arg(path));
            FState = State::Invalid;
            return;
        }
        if (remove && names->isEmpty()) {
            Error(QStringLiteral("the root key cannot be deleted"));
            FState = State::Invalid;
            return;
        }
        FKey = *names;
        FState = remove ? State::Deleted : State::Open;
        FResult.Operations.push_back(
            {remove ? RegOperation::DeleteTree : RegOperation::CreateKey, FKey, {}, {}});
    }

    // value-line := ( "@" | quoted-name ) "=" ( "-" | quoted-text | dword | hex )
    void ParseValue(const QString& text) {
        qsizetype pos = 0;
        QString name;
        if (text[0] == u'@') {
            pos = 1;
        } else if (text[0] == u'"') {
            const auto quoted = Quoted(text, pos);
            if (!quoted)
                return;
            name = *quoted;
        } else {
            Error(QStringLiteral("unrecognised line"));
            return;
        }
        SkipBlanks(text, pos);
        if (pos >= text.size() || text[pos] != u'=') {
            Error(QStringLiteral("'=' expected after the value name"));
            return;
        }
        ++pos;
        SkipBlanks(text, pos);
        if (!RegPath::IsValidValueName(name)) {
            Error(QStringLiteral("invalid value name"));
            return;
        }
        if (FState != State::Open) {
            Error(FState == State::None ? QStringLiteral("value line before any key line")
                                        : QStringLiteral("value line under an unusable key"));
            return;
        }
        ParseData(name, text, pos);
    }

    void ParseData(const QString& name, const QString& text, qsizetype pos) {
        const QString rest = text.mid(pos);
        if (rest == u"-") {
            FResult.Operations.push_back({RegOperation::DeleteValue, FKey, name, {}});
            return;
        }
        std::optional<RegValue> value;
        if (rest.startsWith(u'"'))
            value = QuotedValue(text, pos);
        else if (rest.startsWith(u"dword:", Qt::CaseInsensitive))
            value = Dword(rest.mid(6));
        else if (rest.startsWith(u"hex", Qt::CaseInsensitive))
            value = Hex(rest.mid(3));
        else
            Error(QStringLiteral("unknown value data: %1").arg(rest.left(20)));
        if (value)
            FResult.Operations.push_back({RegOperation::SetValue, FKey, name, *value});
    }

    std::optional<RegValue> QuotedValue(const QString& text, qsizetype pos) {
        const auto quoted = Quoted(text, pos);
        if (!quoted)
            return std::nullopt;
        if (pos != text.size()) {
            Error(QStringLiteral("text after the closing quotation mark"));
            return std::nullopt;
        }
        return RegValue::FromString(*quoted);
    }

    // quoted := '"' ( char | "\\" | '\"' )* '"'; pos is at the opening mark and moves past the
    // closing one.
    std::optional<QString> Quoted(const QString& text, qsizetype& pos) {
        QString out;
        for (qsizetype i = pos + 1; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'"') {
                pos = i + 1;
                return out;
            }
            if (c == u'\\') {
                if (i + 1 >= text.size() || (text[i + 1] != u'\\' && text[i + 1] != u'"')) {
                    Error(QStringLiteral("unknown escape sequence in quoted text"));
                    return std::nullopt;
                }
                ++i;
            }
            out.append(text[i]);
        }
        Error(QStringLiteral("missing closing quotation mark"));
        return std::nullopt;
    }

    // dword := 1 to 8 hexadecimal digits
    std::optional<RegValue> Dword(const QString& digits) {
        bool ok = false;
        const uint32_t value = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || !AllHex(digits)) {
            Error(QStringLiteral("bad dword value"));
            return std::nullopt;
        }
        return RegValue::FromDword(value);
    }

    // hex := [ "(" type ")" ] ":" [ byte ( "," byte )* ]
    std::optional<RegValue> Hex(const QString& rest) {
        uint32_t type = REG_BINARY;
        qsizetype colon = 0;
        if (rest.startsWith(u'(')) {
            const qsizetype close = rest.indexOf(u')');
            const QString digits = close < 0 ? QString() : rest.mid(1, close - 1);
            bool ok = false;
            type = digits.toUInt(&ok, 16);
            if (!ok || digits.isEmpty() || digits.size() > 8 || !AllHex(digits)) {
                Error(QStringLiteral("bad value type in hex(...)"));
                return std::nullopt;
            }
            colon = close + 1;
        }
        if (colon >= rest.size() || rest[colon] != u':') {
            Error(QStringLiteral("':' expected after hex"));
            return std::nullopt;
        }
        auto bytes = Bytes(rest.mid(colon + 1));
        if (!bytes)
            return std::nullopt;
        if (FAnsi && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ))
            bytes = StringToUtf16Le(QString::fromLatin1(*bytes));
        return RegValue{type, *bytes};
    }

    std::optional<QByteArray> Bytes(const QString& list) {
        QByteArray bytes;
        if (list.trimmed().isEmpty())
            return bytes;
        QStringList items = list.split(u',');
        if (items.size() > 1 && items.back().trimmed().isEmpty())
            items.removeLast();
        for (const QString& raw : items) {
            const QString item = raw.trimmed();
            bool ok = false;
            const uint value = item.toUInt(&ok, 16);
            if (!ok || item.isEmpty() || item.size() > 2 || !AllHex(item)) {
                Error(QStringLiteral("bad byte in hex data: %1").arg(item.left(8)));
                return std::nullopt;
            }
            bytes.append(char(value));
        }
        return bytes;
    }

    static bool AllHex(const QString& s) {
        for (const QChar c : s)
            if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
                return false;
        return true;
    }

    static void SkipBlanks(const QString& text, qsizetype& pos) {
        while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
            ++pos;
    }

    enum class State { None, Open, Deleted, Invalid };

    RegParseResult& FResult;
    bool FAnsi;
    int FLine = 0;
    State FState = State::None;
    QStringList FKey;
};

} // namespace

RegParseResult RegFileReader::Parse(const QByteArray& bytes) {
    return ParseText(TextDecoding::Decode(bytes));
}

RegParseResult RegFileReader::ParseText(const QString& text) {
    RegParseResult result;
    const std::vector<LogicalLine> lines = JoinContinuations(TextDecoding::SplitLines(text));
    size_t first = 0;
    while (first < lines.size() && lines[first].Text.trimmed().isEmpty())
        ++first;
    const QString header = first < lines.size() ? lines[first].Text.trimmed() : QString();
    const bool ansi = header == u"REGEDIT4";
    if (!ansi && header != u"Windows Registry Editor Version 5.00") {
        result.Errors.append(QStringLiteral("line %1: not a registry file (header missing)")
                                 .arg(first < lines.size() ? lines[first].Number : 1));
        return result;
    }
    LineParser parser(result, ansi);
    for (size_t i = first + 1; i < lines.size(); ++i)
        parser.Parse(lines[i]);
    return result;
}
