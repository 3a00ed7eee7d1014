#pragma once
// The event queue of a graph. Filters raise events from any thread (IMediaEventSink::Notify);
// they are queued for GetEvent, or, once a callback is set, handed to it on the GUI thread in
// the order they were raised. EC_COMPLETE is handled by default: each renderer's completion is
// noted and one EC_COMPLETE (parameter 2 null) is raised when every renderer counted at the
// last start or seek has completed.
#include "platform/graph/ControlInterfaces.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>

class TGraphEventQueue : public std::enable_shared_from_this<TGraphEventQueue> {
public:
    static std::shared_ptr<TGraphEventQueue> Create();

    void Raise(LONG code, LONG_PTR param1, LONG_PTR param2);
    void SetCallback(TGraphEventCallback callback);
    HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout);
    HRESULT WaitForCompletion(LONG msTimeout, LONG* code);
    HRESULT CancelDefaultHandling(LONG code);
    HRESULT RestoreDefaultHandling(LONG code);
    // A new run or segment: `renderers` completions make the next EC_COMPLETE.
    void ResetCompletion(int renderers);
    // Drops the callback: nothing is delivered after this returns (the graph is going away).
    void Shutdown();

private:
    struct TEvent {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };
    TGraphEventQueue() = default;
    void DeliverLocked(const TEvent& event, std::unique_lock<std::mutex>& lock);
    void RunCallback(const TEvent& event);

    std::mutex FLock;
    std::condition_variable FArrived;
    // guarded by FLock
    std::deque<TEvent> FQueue;
    TGraphEventCallback FCallback;
    bool FShutdown = false;
    bool FDefaultComplete = true;
    int FRenderers = 0;
    std::set<LONG_PTR> FCompleted;
    HRESULT FCompletionResult = S_OK;
    bool FCompletionRaised = false;
    // EC_COMPLETE / EC_ERRORABORT / EC_USERABORT seen, for WaitForCompletion (an abort is not
    // overwritten by a completion after it)
    LONG FEndCode = 0;
};
