#pragma once
// The widget in which the video renderer shows its picture: a child of the clipping window that
// covers the destination rectangle and paints the presenter's image there, letter-boxed as
// asked. It lets mouse events through to the window beneath, so that clicks, menus and drops
// reach the program's own window as if the video were painted on it.
//
// GUI thread only.
#include <atomic>
#include <memory>

#include <QPointer>
#include <QWidget>

class TVideoPresenter;

class TVideoSurface : public QWidget {
public:
    TVideoSurface(std::shared_ptr<const TVideoPresenter> presenter, QWidget* parent);

    // Follows the presenter: covers the destination rectangle, shown while there is a frame
    // and a destination (brought to the front when it appears), and repainted.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<const TVideoPresenter> FPresenter;
};

// True on the thread of the application object (false without one).
bool IsGuiThread();

// Has the GUI thread refresh the surface (unless it is gone by then). Requests made before the
// GUI thread gets to them make one: `pending` is set while one is on its way.
void PostSurfaceRefresh(QPointer<TVideoSurface> surface,
                        const std::shared_ptr<std::atomic<bool>>& pending);
