#include "platform/ui/MessageWindow.h"

#include "platform/ui/MessageQueue.h"

using kelvara::ui::TMessageQueue;
using kelvara::ui::TWindowState;

TWindowHandle::TWindowHandle(std::shared_ptr<TWindowState> state) : FState(std::move(state)) {}

bool TWindowHandle::Post(UINT msg, WPARAM wparam, LPARAM lparam) const {
    if (!FState)
        return false;
    return TMessageQueue::Instance().Post(FState, TMessage{msg, wparam, lparam, 0});
}

LRESULT TWindowHandle::Send(UINT msg, WPARAM wparam, LPARAM lparam) const {
    if (!FState)
        return 0;
    return TMessageQueue::Instance().Send(FState, TMessage{msg, wparam, lparam, 0});
}

bool TWindowHandle::IsWindow() const {
    return FState && TMessageQueue::Instance().IsAlive(FState);
}

TMessageWindow::TMessageWindow(THandler handler) : FState(std::make_shared<TWindowState>()) {
    FState->Handler = std::move(handler);
    TMessageQueue::Instance(); // fixes the GUI thread before any other thread can use the queue
}

TMessageWindow::~TMessageWindow() {
    TMessageQueue::Instance().Destroy(FState);
}

bool TMessageWindow::Post(UINT msg, WPARAM wparam, LPARAM lparam) const {
    return Handle().Post(msg, wparam, lparam);
}

LRESULT TMessageWindow::Send(UINT msg, WPARAM wparam, LPARAM lparam) const {
    return Handle().Send(msg, wparam, lparam);
}

TWindowHandle TMessageWindow::Handle() const {
    return TWindowHandle(FState);
}
