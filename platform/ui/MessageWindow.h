#pragma once
// The hidden message window of a component: it lives on the GUI thread and hands the messages
// posted or sent to it, in order, to its owner's window procedure on that thread.
//
// - Post(msg, wparam, lparam): from any thread; queued; returns at once (false when the window is
//   gone). Handled later on the GUI thread, in the order of posting.
// - Send(msg, wparam, lparam): from another thread it is queued like a post (so posts and sends
//   to a window are handled in the order they were made) and blocks until the handler returned
//   on the GUI thread, then returns the handler's Result. From the GUI thread it calls the handler
//   at once. See ProcessMessages.h for the wait that the GUI thread must use while a streaming
//   thread may be blocked in Send.
// - Destroying the window (GUI thread) drops its queued posts and releases every pending Send
//   with the result 0. A TWindowHandle outlives its window: Post then returns false and Send 0,
//   at once, so no thread ever waits on a dead window.
//
// An exception escaping the handler is reported through Application().ShowException and does
// not reach the sender; the Result is whatever the handler had set.
#include "platform/ui/Messages.h"

#include <memory>

namespace kelvara::ui {
struct TWindowState;
}

// A thread-safe reference to a message window, like a window handle: copy it freely and give it
// to other threads. A default-constructed handle refers to no window.
class TWindowHandle {
public:
    TWindowHandle() = default;

    bool Post(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;
    LRESULT Send(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;
    // True while the window exists (a snapshot: it may be destroyed right after).
    bool IsWindow() const;

private:
    friend class TMessageWindow;
    explicit TWindowHandle(std::shared_ptr<kelvara::ui::TWindowState> state);
    std::shared_ptr<kelvara::ui::TWindowState> FState;
};

class TMessageWindow {
public:
    using THandler = std::function<void(TMessage&)>;

    // Create on the GUI thread. The handler is the owner's window procedure; it must stay valid
    // until the window is destroyed.
    explicit TMessageWindow(THandler handler);
    ~TMessageWindow();
    TMessageWindow(const TMessageWindow&) = delete;
    TMessageWindow& operator=(const TMessageWindow&) = delete;

    bool Post(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;
    LRESULT Send(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;
    TWindowHandle Handle() const;

private:
    std::shared_ptr<kelvara::ui::TWindowState> FState;
};
