#include "scripting/SourceFile.h"

#include <QFile>
#include <QStringDecoder>

namespace kelvara::script {

QString DecodeSourceBytes(const QByteArray& bytes) {
    if (auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

bool ReadSourceFile(const QString& path, QString& text, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.size() > kMaxSourceFileBytes) {
        error = QStringLiteral("file too large");
        return false;
    }
    const QByteArray bytes = file.read(kMaxSourceFileBytes + 1);
    if (bytes.size() > kMaxSourceFileBytes) {
        error = QStringLiteral("file too large");
        return false;
    }
    text = DecodeSourceBytes(bytes);
    return true;
}

} // namespace kelvara::script
