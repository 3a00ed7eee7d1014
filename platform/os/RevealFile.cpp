#include "platform/os/RevealFile.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kelvara::os {

bool RevealFile(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const QString url = QUrl::fromLocalFile(info.absoluteFilePath()).toString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusInterface manager(QStringLiteral("org.freedesktop.FileManager1"),
                               QStringLiteral("/org/freedesktop/FileManager1"),
                               QStringLiteral("org.freedesktop.FileManager1"), bus);
        if (manager.isValid()) {
            const QDBusMessage reply =
                manager.call(QStringLiteral("ShowItems"), QStringList{url}, QString());
            if (reply.type() == QDBusMessage::ReplyMessage)
                return true;
        }
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()));
}

} // namespace kelvara::os
