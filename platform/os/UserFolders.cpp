#include "platform/os/UserFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace kelvara::os {

namespace {

QString Existing(QStandardPaths::StandardLocation location) {
    const QString path = QStandardPaths::writableLocation(location);
    return !path.isEmpty() && QDir(path).exists() ? path : QString();
}

QString WithSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

QString DefaultPicturesFolder() {
    const QString pictures = Existing(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? DefaultDocumentsFolder() : WithSlash(pictures);
}

QString DefaultDocumentsFolder() {
    const QString documents = Existing(QStandardPaths::DocumentsLocation);
    return WithSlash(documents.isEmpty() ? QDir::homePath() : documents);
}

} // namespace kelvara::os
