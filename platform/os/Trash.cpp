#include "platform/os/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kelvara::os {

namespace {

// The home trash ($XDG_DATA_HOME/Trash), made when missing. Qt moves a file into the current
// folder when it cannot establish a trash, so the program makes sure there is one first.
bool EnsureHomeTrash(QString* error) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data + QStringLiteral("/Trash"))) {
        if (error)
            *error = QStringLiteral("No trash folder");
        return false;
    }
    return true;
}

} // namespace

bool MoveFileToTrash(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink())) {
        if (error)
            *error = QStringLiteral("File not found");
        return false;
    }
    if (!info.isSymLink()) {
        const QFileDevice::Permissions normal =
            info.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner |
            (info.isDir() ? QFileDevice::ExeOwner : QFileDevice::Permissions());
        if (normal != info.permissions())
            QFile::setPermissions(path, normal);
    }
    if (!EnsureHomeTrash(error))
        return false;
    QFile file(path);
    if (file.moveToTrash())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace kelvara::os
