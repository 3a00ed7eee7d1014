#pragma once
// Base of every filter: identity (class, object name, name in the graph), the filter lock, the
// run state with the pins' Active / Run / Inactive around it, the reference clock, and events to
// the graph. A subclass owns its pins and lists them through GetPinCount / GetPin.
//
// Thread contract: the state methods, JoinFilterGraph, SetSyncSource and pin connections come
// from the thread that drives the graph. The filter lock serialises the filter's own state
// changes; it is never held while the filter calls another filter or waits for a streaming
// thread. Streaming threads never take it; they read the state, the start time and the clock,
// which are safe to read from any thread. The lock is plain (GraphMutex.h): code that holds it
// calls PauseLocked / RunLocked, never the public state methods.
#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/FilterInterfaces.h"
#include "platform/graph/GraphMutex.h"
#include "platform/graph/GraphWait.h"

#include <atomic>
#include <functional>
#include <mutex>

#include <QString>

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter {
public:
    CBaseFilter(const QString& objectName, REFCLSID clsid);
    ~CBaseFilter() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetClassID(CLSID* pClassID) override;

    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) override;
    HRESULT SetSyncSource(IReferenceClock* pClock) override;
    HRESULT GetSyncSource(IReferenceClock** pClock) override;

    HRESULT EnumPins(IEnumPins** ppEnum) override;
    HRESULT FindPin(LPCWSTR Id, IPin** ppPin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* pInfo) override;
    HRESULT JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) override;
    HRESULT QueryVendorInfo(QString* pVendorInfo) override;

    virtual int GetPinCount() = 0;
    virtual CBasePin* GetPin(int n) = 0;

    TGraphMutex& FilterLock() const { return FFilterLock; }
    FILTER_STATE State() const { return FState.load(); }
    bool IsStopped() const { return FState.load() == State_Stopped; }
    bool IsActive() const { return FState.load() != State_Stopped; }
    // The reference time of stream time 0, given by the last Run.
    REFERENCE_TIME StartTime() const { return FStart.load(); }
    ComPtr<IReferenceClock> Clock() const;
    // Clock time minus the start time; VFW_E_NO_CLOCK without a clock.
    HRESULT StreamTime(REFERENCE_TIME* streamTime) const;
    // Raises an event in the graph; E_NOTIMPL outside a graph.
    HRESULT NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2);
    IFilterGraph* Graph() const { return FGraph.load(); }
    // Waits for this filter's streaming threads (see GraphWait.h): through the graph the filter
    // joined, else with GraphWaitUntil. True when done() became true.
    bool WaitForThreads(const std::function<bool()>& done, int timeoutMs = -1) const;
    // Wakes such waits; for streaming threads that changed what a wait looks at.
    void WakeWaiters() const;
    QString Name() const;
    QString ObjectName() const { return FObjectName; }

protected:
    IUnknown* UnknownInterface() override { return static_cast<IBaseFilter*>(this); }

    // The base's part of Pause and Run, for a subclass that holds the filter lock. RunLocked
    // expects a paused filter: Run pauses a stopped one first, through the (overridable) Pause,
    // before it takes the lock.
    HRESULT PauseLocked();
    HRESULT RunLocked(REFERENCE_TIME tStart);
    // Pause (the subclass's) when stopped; for Run overrides, before they take the filter lock.
    HRESULT PauseIfStopped();

    mutable TGraphMutex FFilterLock;
    std::atomic<FILTER_STATE> FState{State_Stopped};
    std::atomic<REFERENCE_TIME> FStart{0};

private:
    QString FObjectName;
    CLSID FClsid;
    mutable std::mutex FInfoLock;
    // guarded by FInfoLock
    QString FName;
    ComPtr<IReferenceClock> FClock;
    // end of fields guarded by FInfoLock
    std::atomic<IFilterGraph*> FGraph{nullptr};
    std::atomic<IMediaEventSink*> FSink{nullptr};
    std::atomic<IGraphWaitService*> FWaitService{nullptr};
};
