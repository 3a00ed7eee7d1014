#include "platform/ui/MessageQueue.h"

#include "platform/ui/Application.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

namespace kelvara::ui {

namespace {

const QEvent::Type WakeEventType = QEvent::Type(QEvent::registerEventType());

// Receives the wake-up events that the queue posts to the GUI thread's event loop.
class TWaker final : public QObject {
public:
    explicit TWaker(TMessageQueue& queue) : FQueue(queue) {}

protected:
    void customEvent(QEvent* event) override {
        if (event->type() == WakeEventType)
            FQueue.OnWakeEvent();
    }

private:
    TMessageQueue& FQueue;
};

// Runs a handler; an exception that escapes it goes to the application's error report, as one
// escaping a window procedure would, and the message's result stays what the handler had set.
void RunHandler(const std::function<void(TMessage&)>& handler, TMessage& message) {
    if (!handler)
        return;
    try {
        handler(message);
    } catch (const std::exception& e) {
        Application().ShowException(e);
    } catch (...) {
        Application().ShowException(std::runtime_error("Unknown error in a message handler"));
    }
}

} // namespace

TMessageQueue& TMessageQueue::Instance() {
    static TMessageQueue queue;
    return queue;
}

TMessageQueue::TMessageQueue() {
    const QCoreApplication* app = QCoreApplication::instance();
    FGuiThread = app ? app->thread() : QThread::currentThread();
    // Never deleted: wake-up events may still be posted while the process winds down.
    FWaker = new TWaker(*this);
    if (FWaker->thread() != FGuiThread)
        FWaker->moveToThread(FGuiThread);
}

bool TMessageQueue::IsGuiThread() const {
    return QThread::currentThread() == FGuiThread;
}

bool TMessageQueue::Post(const std::shared_ptr<TWindowState>& window, const TMessage& message) {
    std::lock_guard lock(FLock);
    if (!window || !window->Alive)
        return false;
    EnqueueLocked({window, message, nullptr});
    return true;
}

LRESULT TMessageQueue::Send(const std::shared_ptr<TWindowState>& window, const TMessage& message) {
    if (!window)
        return 0;
    if (IsGuiThread()) {
        {
            std::lock_guard lock(FLock);
            if (!window->Alive)
                return 0;
        }
        TMessage m = message;
        RunHandler(window->Handler, m);
        return m.Result;
    }
    std::unique_lock lock(FLock);
    if (!window->Alive)
        return 0;
    auto slot = std::make_shared<TSendSlot>();
    EnqueueLocked({window, message, slot});
    FSendDone.wait(lock, [&] { return slot->Done; });
    return slot->Result;
}

bool TMessageQueue::IsAlive(const std::shared_ptr<TWindowState>& window) const {
    std::lock_guard lock(FLock);
    return window->Alive;
}

void TMessageQueue::Destroy(const std::shared_ptr<TWindowState>& window) {
    std::lock_guard lock(FLock);
    window->Alive = false;
    for (auto it = FEntries.begin(); it != FEntries.end();) {
        if (it->Window != window) {
            ++it;
            continue;
        }
        if (it->Send) {
            it->Send->Result = 0;
            it->Send->Done = true;
        }
        it = FEntries.erase(it);
    }
    for (const auto& slot : window->InFlight) {
        slot->Result = 0;
        slot->Done = true;
    }
    window->InFlight.clear();
    FSendDone.notify_all();
}

size_t TMessageQueue::Serve(size_t max) {
    if (!IsGuiThread())
        return 0;
    size_t handled = 0;
    while (handled < max) {
        TEntry entry;
        {
            std::lock_guard lock(FLock);
            if (FEntries.empty())
                break;
            entry = std::move(FEntries.front());
            FEntries.pop_front();
        }
        Dispatch(entry);
        ++handled;
    }
    return handled;
}

size_t TMessageQueue::Pending() const {
    std::lock_guard lock(FLock);
    return FEntries.size();
}

void TMessageQueue::WaitForArrival(int timeoutMs, bool returnIfQueued) {
    std::unique_lock lock(FLock);
    if ((returnIfQueued && !FEntries.empty()) || timeoutMs <= 0)
        return;
    const uint64_t seen = FArrivals;
    FArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return FArrivals != seen; });
}

void TMessageQueue::Wake() {
    std::lock_guard lock(FLock);
    ++FArrivals;
    FArrived.notify_all();
}

void TMessageQueue::OnWakeEvent() {
    size_t queued;
    {
        std::lock_guard lock(FLock);
        FWakeEventPending = false;
        queued = FEntries.size();
    }
    // What arrives while these run posts a new wake-up event, so nothing is left behind.
    Serve(queued);
}

void TMessageQueue::EnqueueLocked(TEntry entry) {
    FEntries.push_back(std::move(entry));
    ++FArrivals;
    FArrived.notify_all();
    RequestWakeEventLocked();
}

void TMessageQueue::RequestWakeEventLocked() {
    if (FWakeEventPending)
        return;
    FWakeEventPending = true;
    QCoreApplication::postEvent(FWaker, new QEvent(WakeEventType));
}

void TMessageQueue::Dispatch(TEntry& entry) {
    if (entry.Send) {
        std::lock_guard lock(FLock);
        entry.Window->InFlight.push_back(entry.Send);
    }
    TMessage m = entry.Message;
    RunHandler(entry.Window->Handler, m);
    if (!entry.Send)
        return;
    std::lock_guard lock(FLock);
    auto& inFlight = entry.Window->InFlight;
    const auto it = std::find(inFlight.begin(), inFlight.end(), entry.Send);
    if (it == inFlight.end())
        return; // released when the window was destroyed during the handler
    inFlight.erase(it);
    entry.Send->Result = m.Result;
    entry.Send->Done = true;
    FSendDone.notify_all();
}

} // namespace kelvara::ui
