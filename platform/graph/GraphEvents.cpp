#include "platform/graph/GraphEvents.h"

#include "platform/graph/GraphTrace.h"
#include "platform/graph/GraphWait.h"

#include <chrono>

#include <QCoreApplication>
#include <QMetaObject>

std::shared_ptr<TGraphEventQueue> TGraphEventQueue::Create() {
    return std::shared_ptr<TGraphEventQueue>(new TGraphEventQueue());
}

void TGraphEventQueue::Raise(LONG code, LONG_PTR param1, LONG_PTR param2) {
    std::unique_lock lock(FLock);
    if (FShutdown)
        return;
    if (code == EC_COMPLETE && FDefaultComplete) {
        if (param2 != 0 && !FCompleted.insert(param2).second)
            return; // this renderer completed already
        if (FAILED(HRESULT(param1)) && SUCCEEDED(FCompletionResult))
            FCompletionResult = HRESULT(param1);
        if (param2 != 0 && int(FCompleted.size()) < FRenderers)
            return;
        if (FCompletionRaised)
            return;
        FCompletionRaised = true;
        GRAPH_TRACE(QStringLiteral("complete: %1 renderer(s) at their end").arg(FCompleted.size()));
        DeliverLocked({EC_COMPLETE, LONG_PTR(FCompletionResult), 0}, lock);
        return;
    }
    DeliverLocked({code, param1, param2}, lock);
}

void TGraphEventQueue::DeliverLocked(const TEvent& event, std::unique_lock<std::mutex>& lock) {
    // An abort stays the outcome: the end of the stream that follows it completes nothing.
    if (event.code == EC_ERRORABORT || event.code == EC_USERABORT ||
        (event.code == EC_COMPLETE && FEndCode == 0))
        FEndCode = event.code;
    QCoreApplication* app = QCoreApplication::instance();
    if (!FCallback || !app) {
        FQueue.push_back(event);
        lock.unlock();
        FArrived.notify_all();
        GraphWakeWaiters();
        return;
    }
    lock.unlock();
    FArrived.notify_all();
    GraphWakeWaiters();
    std::weak_ptr<TGraphEventQueue> weak = weak_from_this();
    QMetaObject::invokeMethod(
        app,
        [weak, event] {
            if (auto self = weak.lock())
                self->RunCallback(event);
        },
        Qt::QueuedConnection);
}

void TGraphEventQueue::RunCallback(const TEvent& event) {
    TGraphEventCallback callback;
    {
        std::lock_guard lock(FLock);
        if (FShutdown || !FCallback)
            return;
        callback = FCallback;
    }
    callback(event.code, event.param1, event.param2);
}

void TGraphEventQueue::SetCallback(TGraphEventCallback callback) {
    std::lock_guard lock(FLock);
    FCallback = std::move(callback);
}

HRESULT TGraphEventQueue::GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) {
    if (!code || !param1 || !param2)
        return E_POINTER;
    std::unique_lock lock(FLock);
    auto available = [this] { return !FQueue.empty(); };
    if (!available()) {
        lock.unlock();
        const bool arrived = GraphWaitUntil(
            [this] {
                std::lock_guard inner(FLock);
                return !FQueue.empty();
            },
            msTimeout < 0 ? -1 : int(msTimeout));
        lock.lock();
        if (!arrived || FQueue.empty())
            return E_ABORT;
    }
    const TEvent event = FQueue.front();
    FQueue.pop_front();
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    return S_OK;
}

HRESULT TGraphEventQueue::WaitForCompletion(LONG msTimeout, LONG* code) {
    if (!code)
        return E_POINTER;
    const bool ended = GraphWaitUntil(
        [this] {
            std::lock_guard lock(FLock);
            return FEndCode != 0;
        },
        msTimeout < 0 ? -1 : int(msTimeout));
    std::lock_guard lock(FLock);
    *code = ended ? FEndCode : 0;
    return ended ? S_OK : E_ABORT;
}

HRESULT TGraphEventQueue::CancelDefaultHandling(LONG code) {
    if (code != EC_COMPLETE)
        return E_INVALIDARG;
    std::lock_guard lock(FLock);
    FDefaultComplete = false;
    return S_OK;
}

HRESULT TGraphEventQueue::RestoreDefaultHandling(LONG code) {
    if (code != EC_COMPLETE)
        return E_INVALIDARG;
    std::lock_guard lock(FLock);
    FDefaultComplete = true;
    return S_OK;
}

void TGraphEventQueue::ResetCompletion(int renderers) {
    std::lock_guard lock(FLock);
    FRenderers = renderers;
    FCompleted.clear();
    FCompletionResult = S_OK;
    FCompletionRaised = false;
    FEndCode = 0;
}

void TGraphEventQueue::Shutdown() {
    std::lock_guard lock(FLock);
    FShutdown = true;
    FCallback = nullptr;
}
