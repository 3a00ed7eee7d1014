#include "platform/registry/TextDecoding.h"

#include "platform/registry/RegValue.h"

#include <QStringDecoder>

namespace TextDecoding {

namespace {

bool StartsWith(const QByteArray& bytes, std::initializer_list<unsigned char> mark) {
    if (bytes.size() < qsizetype(mark.size()))
        return false;
    qsizetype i = 0;
    for (const unsigned char b : mark)
        if (static_cast<unsigned char>(bytes[i++]) != b)
            return false;
    return true;
}

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString FromUtf16Be(const QByteArray& bytes) {
    QByteArray swapped(bytes.size() & ~qsizetype(1), Qt::Uninitialized);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        swapped[i] = bytes[i + 1];
        swapped[i + 1] = bytes[i];
    }
    return Utf16LeToString(swapped);
}

} // namespace

Encoding Detect(const QByteArray& bytes) {
    if (StartsWith(bytes, {0xFF, 0xFE}))
        return Encoding::Utf16Le;
    if (StartsWith(bytes, {0xFE, 0xFF}))
        return Encoding::Utf16Be;
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return Encoding::Utf8Bom;
    return IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Latin1;
}

QString Decode(const QByteArray& bytes) {
    switch (Detect(bytes)) {
    case Encoding::Utf16Le:
        return Utf16LeToString(bytes.mid(2));
    case Encoding::Utf16Be:
        return FromUtf16Be(bytes.mid(2));
    case Encoding::Utf8Bom:
        return QString::fromUtf8(bytes.mid(3));
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Latin1:
        break;
    }
    return QString::fromLatin1(bytes);
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

} // namespace TextDecoding
