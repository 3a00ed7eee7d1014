#include "platform/ui/ThreadedTimer.h"

TThreadedTimer::TThreadedTimer(QObject* owner)
    : FOwner(owner), FWindow(std::make_unique<TMessageWindow>([this](TMessage& m) {
          if (m.Msg == TickMessage)
              Tick();
          else
              DefWindowProc(m);
      })),
      FWindowHandle(FWindow->Handle()) {
    FWorker = std::thread([this] { Execute(); });
}

TThreadedTimer::~TThreadedTimer() {
    FDestroying = true;
    {
        std::lock_guard lock(FLock);
        FTerminated = true;
    }
    FWindow.reset();
    {
        std::lock_guard lock(FLock);
        ++FSignals;
    }
    FEvent.notify_all();
    FWorker.join();
}

int32_t TThreadedTimer::Interval() const {
    std::lock_guard lock(FLock);
    return FInterval;
}

void TThreadedTimer::SetInterval(int32_t ms) {
    {
        std::lock_guard lock(FLock);
        if (ms == FInterval)
            return;
        FInterval = ms;
        ++FSignals;
    }
    FEvent.notify_all();
}

bool TThreadedTimer::Enabled() const {
    std::lock_guard lock(FLock);
    return FEnabled;
}

void TThreadedTimer::SetEnabled(bool enabled) {
    {
        std::lock_guard lock(FLock);
        if (enabled == FEnabled)
            return;
        FEnabled = enabled;
        ++FSignals;
    }
    FEvent.notify_all();
}

void TThreadedTimer::Execute() {
    std::unique_lock lock(FLock);
    for (;;) {
        // Suspended while disabled.
        FEvent.wait(lock, [&] { return FTerminated || (FEnabled && FInterval > 0); });
        if (FTerminated)
            return;
        const uint64_t seen = FSignals;
        const bool signalled = FEvent.wait_for(lock, std::chrono::milliseconds(FInterval),
                                               [&] { return FTerminated || FSignals != seen; });
        if (FTerminated)
            return;
        if (signalled)
            continue;
        lock.unlock();
        FWindowHandle.Send(TickMessage);
        lock.lock();
    }
}

void TThreadedTimer::Tick() {
    if (FDestroying || !Enabled() || !OnTimer)
        return;
    // A copy, so that a handler that destroys the timer does not destroy itself while it runs.
    const TNotifyEvent handler = OnTimer;
    try {
        handler(FOwner);
    } catch (...) {
        // A failing tick must not stop the timer or reach the worker.
    }
}
