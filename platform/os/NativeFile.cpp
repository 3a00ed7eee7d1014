#include "platform/os/NativeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include <QFile>

namespace {

bool Decodes(const QByteArray& name) {
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

// The folder part of a name and the last part.
std::pair<QByteArray, QByteArray> Split(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0)
        return {QByteArray("."), name};
    return {slash == 0 ? QByteArray("/") : name.left(slash), name.mid(slash + 1)};
}

} // namespace

TNativeFile::TNativeFile(QByteArray name) : FName(std::move(name)) {
    // A name with a NUL byte cannot reach the system whole.
    if (FName.isEmpty() || FName.contains('\0')) {
        FError = ENOENT;
        return;
    }
    struct stat info {};
    if (::stat(FName.constData(), &info) != 0) {
        FError = errno;
        FKind = FError == ENOENT || FError == ENOTDIR ? TKind::Missing : TKind::Unreadable;
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        FKind = TKind::Folder;
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        FKind = TKind::Other;
        return;
    }
    // Not blocking: the name may have been given to a FIFO since the look.
    const int fd = ::open(FName.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        FError = errno;
        FKind = FError == ENOENT ? TKind::Missing : TKind::Unreadable;
        return;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        FKind = TKind::Other;
        return;
    }
    FDescriptor = fd;
    FKind = TKind::Regular;
    if (!Decodes(FName) && Decodes(Split(FName).second))
        FFolder = ::open(Split(FName).first.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

TNativeFile::~TNativeFile() {
    if (FDescriptor >= 0)
        ::close(FDescriptor);
    if (FFolder >= 0)
        ::close(FFolder);
}

QString TNativeFile::DisplayName() const {
    return QFile::decodeName(FName);
}

QString TNativeFile::Path() const {
    if (FKind != TKind::Regular)
        return {};
    if (Decodes(FName))
        return QFile::decodeName(FName);
    if (FFolder >= 0)
        return QStringLiteral("/proc/self/fd/%1/").arg(FFolder) +
               QFile::decodeName(Split(FName).second);
    return QStringLiteral("/proc/self/fd/%1").arg(FDescriptor);
}
