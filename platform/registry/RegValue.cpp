#include "platform/registry/RegValue.h"

#include <QtEndian>

QString Utf16LeToString(const QByteArray& bytes) {
    const qsizetype n = bytes.size() / 2;
    QString text(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(bytes.constData() + 2 * i));
    return text;
}

QByteArray StringToUtf16Le(const QString& text) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text[i].unicode(), bytes.data() + 2 * i);
    return bytes;
}

RegValue RegValue::FromString(const QString& text, uint32_t type) {
    QByteArray data = StringToUtf16Le(text);
    data.append(2, '\0');
    return RegValue{type, data};
}

RegValue RegValue::FromDword(uint32_t value) {
    QByteArray data(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(value, data.data());
    return RegValue{REG_DWORD, data};
}

RegValue RegValue::FromBinary(const QByteArray& bytes) {
    return RegValue{REG_BINARY, bytes};
}

std::optional<QString> RegValue::AsString() const {
    if (Type != REG_SZ && Type != REG_EXPAND_SZ)
        return std::nullopt;
    QString text = Utf16LeToString(Data);
    if (!text.isEmpty() && text.back() == QChar(0))
        text.chop(1);
    return text;
}

std::optional<uint32_t> RegValue::AsDword() const {
    if (Data.size() != 4)
        return std::nullopt;
    return qFromLittleEndian<quint32>(Data.constData());
}
