#include "platform/registry/RegFileWriter.h"

namespace {

constexpr qsizetype WrapColumn = 76;

QString Quote(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out.append(u'"');
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"')
            out.append(u'\\');
        out.append(c);
    }
    out.append(u'"');
    return out;
}

// A string value that the quoted form reproduces byte for byte.
bool IsQuotable(const RegValue& value) {
    if (value.Type != REG_SZ || value.Data.size() < 2 || value.Data.size() % 2 != 0)
        return false;
    const QString text = Utf16LeToString(value.Data);
    if (text.back() != QChar(0))
        return false;
    const QString body = text.left(text.size() - 1);
    for (const QChar c : body)
        if (c == QChar(0) || c == u'\r' || c == u'\n')
            return false;
    return body.isValidUtf16();
}

QString HexData(const QString& prefix, const QByteArray& data) {
    QString out = prefix;
    qsizetype column = prefix.size();
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += QStringLiteral("%1").arg(uint(uchar(data[i])), 2, 16, QChar(u'0'));
        column += 2;
        if (i + 1 < data.size()) {
            out += u',';
            ++column;
            if (column >= WrapColumn) {
                out += QStringLiteral("\\\n  ");
                column = 2;
            }
        }
    }
    return out;
}

void FormatKey(const RegKey& key, const QString& path, QString& out) {
    out += u'[' + path + QStringLiteral("]\n");
    for (const auto& [name, value] : key.Values())
        out += RegFileWriter::FormatValue(name, value) + u'\n';
    out += u'\n';
    for (const QString& child : key.ChildNames()) {
        const RegKey* sub = key.Child(child);
        FormatKey(*sub, path + u'\\' + sub->Name(), out);
    }
}

} // namespace

QString RegFileWriter::FormatValue(const QString& name, const RegValue& value) {
    const QString head = (name.isEmpty() ? QStringLiteral("@") : Quote(name)) + u'=';
    if (IsQuotable(value))
        return head + Quote(Utf16LeToString(value.Data.left(value.Data.size() - 2)));
    if (value.Type == REG_DWORD && value.Data.size() == 4)
        return head + QStringLiteral("dword:%1").arg(*value.AsDword(), 8, 16, QChar(u'0'));
    if (value.Type == REG_BINARY)
        return HexData(head + QStringLiteral("hex:"), value.Data);
    return HexData(head + QStringLiteral("hex(%1):").arg(value.Type, 0, 16), value.Data);
}

QByteArray RegFileWriter::Format(const RegKey& root) {
    QString out = QStringLiteral("Windows Registry Editor Version 5.00\n\n");
    const QString rootPath = QStringLiteral("HKEY_CURRENT_USER");
    if (!root.Values().empty()) {
        out += u'[' + rootPath + QStringLiteral("]\n");
        for (const auto& [name, value] : root.Values())
            out += FormatValue(name, value) + u'\n';
        out += u'\n';
    }
    for (const QString& child : root.ChildNames()) {
        const RegKey* sub = root.Child(child);
        FormatKey(*sub, rootPath + u'\\' + sub->Name(), out);
    }
    return out.toUtf8();
}
