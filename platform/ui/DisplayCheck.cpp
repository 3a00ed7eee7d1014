#include "platform/ui/DisplayCheck.h"

#include <cstring>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>

namespace {

// Connects to the X server named by DISPLAY and disconnects again; the reason when it fails.
QString XServerProblem() {
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("DISPLAY is not set");
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb)
        return QStringLiteral("the X client library libxcb.so.1 is missing");
    using TConnect = void* (*)(const char*, int*);
    using THasError = int (*)(void*);
    using TDisconnect = void (*)(void*);
    auto connect = reinterpret_cast<TConnect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<THasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<TDisconnect>(dlsym(xcb, "xcb_disconnect"));
    QString problem;
    if (!connect || !hasError || !disconnect) {
        problem = QStringLiteral("libxcb.so.1 lacks xcb_connect");
    } else {
        int screen = 0;
        void* connection = connect(display.constData(), &screen);
        if (hasError(connection) != 0) // xcb_connect never returns null
            problem = QStringLiteral("no X server answers on DISPLAY=%1")
                          .arg(QString::fromLocal8Bit(display));
        disconnect(connection);
    }
    dlclose(xcb);
    return problem;
}

QString WaylandProblem() {
    QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        name = "wayland-0";
    QString path = QString::fromLocal8Bit(name);
    if (!path.startsWith(QLatin1Char('/'))) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return QStringLiteral("XDG_RUNTIME_DIR is not set for the Wayland socket");
        path = QDir(QString::fromLocal8Bit(runtime)).filePath(path);
    }
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    if (size_t(native.size()) >= sizeof(address.sun_path))
        return QStringLiteral("the Wayland socket path is too long");
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return QStringLiteral("no socket for Wayland");
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok ? QString() : QStringLiteral("no Wayland compositor answers on %1").arg(path);
}

} // namespace

TDisplayCheck CheckDisplay() {
    QString platform = QString::fromLocal8Bit(qgetenv("QT_QPA_PLATFORM"));
    platform = platform.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0).trimmed();
    TDisplayCheck check;
    if (platform == QLatin1String("xcb")) {
        check.Reason = XServerProblem();
    } else if (platform.startsWith(QLatin1String("wayland"))) {
        check.Reason = WaylandProblem();
    } else if (platform.isEmpty()) {
        const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                                    qgetenv("XDG_SESSION_TYPE") == "wayland";
        if (!waylandSession || !WaylandProblem().isEmpty())
            check.Reason = XServerProblem();
    }
    check.Usable = check.Reason.isEmpty();
    return check;
}
