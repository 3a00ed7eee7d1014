#include "platform/os/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

// Written on POSIX calls rather than QSaveFile: QSaveFile commits a file that a full disk cut
// short (a short write is not reported), which is exactly the case this function exists for.

namespace AtomicFile {

namespace {

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// New files get the permissions that the umask allows; a replaced file keeps its own.
mode_t ModeFor(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool Write(const QString& path, const QByteArray& content, QString* error) {
    const QByteArray target = QFile::encodeName(path);
    // Hidden beside the target, so that a write cut short by a crash leaves no half file among
    // the user's pictures or settings, only a dot-file that nothing lists.
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temp = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    int failure = 0;
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        failure = errno;
    } else {
        if (::fchmod(fd, ModeFor(target)) != 0 ||
            !WriteAll(fd, content.constData(), content.size()) || ::fsync(fd) != 0)
            failure = errno;
        if (::close(fd) != 0 && failure == 0)
            failure = errno;
        if (failure == 0 && ::rename(temp.constData(), target.constData()) != 0)
            failure = errno;
        if (failure != 0)
            ::unlink(temp.constData());
    }
    if (failure != 0 && error)
        *error = QString::fromLocal8Bit(std::strerror(failure));
    return failure == 0;
}

bool Read(const QString& path, QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    content = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace AtomicFile
