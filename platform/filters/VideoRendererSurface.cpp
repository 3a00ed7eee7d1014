#include "platform/filters/VideoRendererSurface.h"

#include "platform/filters/VideoRendererPresenter.h"

#include <QCoreApplication>
#include <QPainter>
#include <QThread>

TVideoSurface::TVideoSurface(std::shared_ptr<const TVideoPresenter> presenter, QWidget* parent)
    : QWidget(parent), FPresenter(std::move(presenter)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("VideoRendererSurface"));
}

void TVideoSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    FPresenter->Paint(painter, rect());
}

void TVideoSurface::Refresh() {
    const RECT dst = FPresenter->Destination();
    const QRect area(QPoint(dst.left, dst.top), QSize(dst.right - dst.left, dst.bottom - dst.top));
    setGeometry(area);
    const bool visible = !area.isEmpty() && FPresenter->HasFrame();
    if (visible && isHidden()) {
        show();
        raise();
    } else if (!visible && !isHidden()) {
        hide();
    }
    if (visible)
        update();
}

bool IsGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void PostSurfaceRefresh(QPointer<TVideoSurface> surface,
                        const std::shared_ptr<std::atomic<bool>>& pending) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || pending->exchange(true))
        return;
    QMetaObject::invokeMethod(
        app,
        [surface, pending] {
            pending->store(false);
            if (surface)
                surface->Refresh();
        },
        Qt::QueuedConnection);
}
