#include "platform/registry/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>

FileLock::FileLock(const QString& path, Mode mode) {
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    int rc;
    do
        rc = ::flock(fd, mode == Exclusive ? LOCK_EX : LOCK_SH);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return;
    }
    FFd = fd;
}

FileLock::~FileLock() {
    if (FFd >= 0) {
        ::flock(FFd, LOCK_UN);
        ::close(FFd);
    }
}
