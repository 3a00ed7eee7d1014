#include "platform/com/ModuleTrust.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

namespace {

// The owner's own private group: named after the owner, with no other members.
bool IsOwnersPrivateGroup(gid_t gid, uid_t owner) {
    const group* g = getgrgid(gid);
    const passwd* p = getpwuid(owner);
    if (!g || !p || !g->gr_name || !p->pw_name)
        return false;
    if (QString::fromLocal8Bit(g->gr_name) != QString::fromLocal8Bit(p->pw_name))
        return false;
    return !g->gr_mem || !g->gr_mem[0] ||
           (QString::fromLocal8Bit(g->gr_mem[0]) == QString::fromLocal8Bit(p->pw_name) &&
            !g->gr_mem[1]);
}

QString Octal(mode_t mode) {
    return QStringLiteral("%1").arg(mode & 07777, 4, 8, QLatin1Char('0'));
}

// Empty when the entry is safe, else the reason.
QString Unsafe(const QString& entry) {
    struct stat st {};
    if (stat(QFile::encodeName(entry).constData(), &st) != 0)
        return QStringLiteral("\"%1\" cannot be examined").arg(entry);
    const bool folder = S_ISDIR(st.st_mode);
    if (st.st_uid != 0 && st.st_uid != geteuid())
        return QStringLiteral("\"%1\" belongs to another user").arg(entry);
    if ((st.st_mode & S_IWOTH) && !(folder && (st.st_mode & S_ISVTX)))
        return QStringLiteral("\"%1\" can be written by every user (mode %2)")
            .arg(entry, Octal(st.st_mode));
    if ((st.st_mode & S_IWGRP) && st.st_gid != 0 && !(folder && (st.st_mode & S_ISVTX)) &&
        !IsOwnersPrivateGroup(st.st_gid, st.st_uid))
        return QStringLiteral("\"%1\" can be written by the members of its group (mode %2)")
            .arg(entry, Octal(st.st_mode));
    return QString();
}

} // namespace

bool ModulePathIsTrusted(const QString& path, QString* why) {
    const QString real = QFileInfo(path).canonicalFilePath();
    QString reason;
    if (real.isEmpty())
        reason = QStringLiteral("the file does not exist");
    for (QString entry = real; reason.isEmpty() && !entry.isEmpty();) {
        reason = Unsafe(entry);
        if (entry == QLatin1String("/"))
            break;
        const QString parent = QFileInfo(entry).path();
        entry = parent == entry ? QString() : parent;
    }
    if (reason.isEmpty())
        return true;
    if (why)
        *why = QStringLiteral("Refused to load the module \"%1\": %2.").arg(path, reason);
    return false;
}
