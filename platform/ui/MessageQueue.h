#pragma once
// The process-wide queue behind every hidden message window. Used through TMessageWindow,
// TWindowHandle, ProcessMessages and WaitServingMessages; nothing else should need it.
//
// Thread contract: Post and Send may be called from any thread. Everything that runs a handler
// (Serve, the wake-up event, direct sends) runs on the GUI thread: the application object's
// thread. A worker's Send waits on a
// condition variable until the GUI thread has run the handler or the window is destroyed.
#include "platform/ui/Messages.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class QObject;
class QThread;

namespace kelvara::ui {

// Where a worker's Send waits for its result.
struct TSendSlot {
    LRESULT Result = 0;
    bool Done = false;
};

// What a window and the handles to it share. The handler is fixed at creation; the rest is
// guarded by the queue's lock: Alive turns false when the window is destroyed, and InFlight holds
// the sends whose handler is running, so that destroying the window from inside a handler still
// releases their senders.
struct TWindowState {
    std::function<void(TMessage&)> Handler;
    bool Alive = true;
    std::vector<std::shared_ptr<TSendSlot>> InFlight;
};

class TMessageQueue {
public:
    static TMessageQueue& Instance();

    bool IsGuiThread() const;

    // False when the window is gone.
    bool Post(const std::shared_ptr<TWindowState>& window, const TMessage& message);
    // Blocks until the GUI thread handled the message; 0 when the window is or becomes gone.
    LRESULT Send(const std::shared_ptr<TWindowState>& window, const TMessage& message);
    bool IsAlive(const std::shared_ptr<TWindowState>& window) const;
    // Marks the window gone, drops its posts and releases the senders waiting on it.
    void Destroy(const std::shared_ptr<TWindowState>& window);

    // GUI thread: handles at most max queued messages in order; returns how many were handled.
    size_t Serve(size_t max);
    size_t Pending() const;

    // Waits until a message arrives or Wake is called, at most timeoutMs; with returnIfQueued it
    // returns at once while messages are queued.
    void WaitForArrival(int timeoutMs, bool returnIfQueued);
    void Wake();

    // The wake-up event's handler (GUI thread): serves what was queued when it was posted.
    void OnWakeEvent();

private:
    struct TEntry {
        std::shared_ptr<TWindowState> Window;
        TMessage Message;
        std::shared_ptr<TSendSlot> Send; // none for a post
    };

    TMessageQueue();
    void EnqueueLocked(TEntry entry);
    void RequestWakeEventLocked();
    void Dispatch(TEntry& entry);

    mutable std::mutex FLock;
    // guarded by FLock
    std::deque<TEntry> FEntries;
    bool FWakeEventPending = false;
    uint64_t FArrivals = 0;
    // end of fields guarded by FLock
    std::condition_variable FSendDone;
    std::condition_variable FArrived;
    QThread* FGuiThread = nullptr; // the application's thread, else the one that made the queue
    QObject* FWaker = nullptr;     // lives on the GUI thread for the rest of the process
};

} // namespace kelvara::ui
