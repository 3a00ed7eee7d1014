#include "platform/filters/VideoRendererMonitors.h"

#include "platform/graph/GraphTypes.h"

#include <QGuiApplication>
#include <QScreen>

std::vector<VMR9MonitorInfo> ListMonitors() {
    std::vector<VMR9MonitorInfo> monitors;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return monitors;
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (int i = 0; i < screens.size(); ++i) {
        const QScreen* screen = screens[i];
        VMR9MonitorInfo info;
        info.uDevID = UINT(i);
        const QRect g = screen->geometry();
        info.rcMonitor = RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
        info.dwFlags = screen == primary ? MONITORINFOF_PRIMARY : 0;
        CopyToNameBuffer(screen->name(), info.szDevice, 32);
        CopyToNameBuffer(screen->manufacturer().isEmpty()
                             ? screen->model()
                             : screen->manufacturer() + QLatin1Char(' ') + screen->model(),
                         info.szDescription, 512);
        monitors.push_back(info);
    }
    return monitors;
}
