#include "platform/os/ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QGuiApplication>

namespace kelvara::os {

namespace {

bool HasScreen() {
    const QString platform = QGuiApplication::platformName();
    return !platform.isEmpty() && platform != QLatin1String("offscreen") &&
           platform != QLatin1String("minimal");
}

const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString Path = QStringLiteral("/org/freedesktop/ScreenSaver");

} // namespace

bool TScreenSaverInhibit::Inhibit(const QString& application, const QString& reason) {
    if (FActive)
        return true;
    if (!HasScreen() || !QDBusConnection::sessionBus().isConnected())
        return false;
    QDBusInterface service(Service, Path, Service, QDBusConnection::sessionBus());
    if (!service.isValid())
        return false;
    const QDBusReply<uint32_t> cookie =
        service.call(QStringLiteral("Inhibit"), application, reason);
    if (!cookie.isValid())
        return false;
    FCookie = cookie.value();
    FActive = true;
    return true;
}

void TScreenSaverInhibit::Release() {
    if (!FActive)
        return;
    FActive = false;
    QDBusInterface service(Service, Path, Service, QDBusConnection::sessionBus());
    if (service.isValid())
        service.call(QStringLiteral("UnInhibit"), FCookie);
}

} // namespace kelvara::os
