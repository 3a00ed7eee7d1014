#pragma once
// A timer whose clock is a worker thread rather than the GUI thread's event loop, so that it keeps
// its rhythm while the GUI thread is busy; each tick still runs on the GUI thread.
//
// Thread contract: the worker waits on an event with Interval as time-out. On a time-out it sends
// a message to the timer's own hidden window and is blocked until the GUI thread has run the tick
// (OnTimer, synchronously). A tick is skipped while the timer is disabled or being destroyed; an
// exception from OnTimer is swallowed. Disabling (or an Interval of 0) suspends the worker;
// changing Interval restarts the current wait. Destruction marks the timer as being destroyed,
// destroys the hidden window first (which releases a worker blocked waiting for the GUI thread),
// signals the event and joins the worker. Properties are set on the GUI thread only.
#include "platform/ui/MessageWindow.h"
#include "platform/ui/Messages.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class TThreadedTimer {
public:
    explicit TThreadedTimer(QObject* owner = nullptr);
    ~TThreadedTimer();
    TThreadedTimer(const TThreadedTimer&) = delete;
    TThreadedTimer& operator=(const TThreadedTimer&) = delete;

    int32_t Interval() const;
    void SetInterval(int32_t ms);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // Runs on the GUI thread at each tick; the sender is the timer's owner.
    TNotifyEvent OnTimer;

private:
    static constexpr UINT TickMessage = WM_KELVARA - 1;

    void Execute();
    void Tick();

    QObject* FOwner;
    mutable std::mutex FLock;
    // guarded by FLock
    int32_t FInterval = 1000;
    bool FEnabled = true;
    bool FTerminated = false;
    uint64_t FSignals = 0; // each SetEvent adds one
    // end of fields guarded by FLock
    std::condition_variable FEvent;
    bool FDestroying = false; // GUI thread only
    std::unique_ptr<TMessageWindow> FWindow;
    TWindowHandle FWindowHandle;
    std::thread FWorker;
};
