#include "platform/graph/BaseFilter.h"

#include "platform/graph/BasePin.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphWait.h"

#include <vector>

CBaseFilter::CBaseFilter(const QString& objectName, REFCLSID clsid)
    : FObjectName(objectName), FClsid(clsid) {}

CBaseFilter::~CBaseFilter() = default;

HRESULT CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist)
        return GetInterface(static_cast<IBaseFilter*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseFilter::GetClassID(CLSID* pClassID) {
    if (!pClassID)
        return E_POINTER;
    *pClassID = FClsid;
    return S_OK;
}

HRESULT CBaseFilter::Stop() {
    {
        std::lock_guard lock(FFilterLock);
        if (FState.load() == State_Stopped)
            return S_OK;
    }
    // Every pin, connected or not: a pin may have lost its connection while active (its peer
    // was removed from a running graph) and must still stop its work. Inactive may wait for a
    // streaming thread, so the filter lock is not held meanwhile.
    HRESULT result = S_OK;
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin)
            continue;
        const HRESULT hr = pin->Inactive();
        if (FAILED(hr) && hr != VFW_E_NO_ALLOCATOR && SUCCEEDED(result))
            result = hr;
    }
    std::lock_guard lock(FFilterLock);
    FState.store(State_Stopped);
    return result;
}

HRESULT CBaseFilter::Pause() {
    std::lock_guard lock(FFilterLock);
    return PauseLocked();
}

HRESULT CBaseFilter::PauseLocked() {
    if (FState.load() == State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) {
                const HRESULT hr = pin->Active();
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    FState.store(State_Paused);
    return S_OK;
}

HRESULT CBaseFilter::PauseIfStopped() {
    return FState.load() == State_Stopped ? Pause() : S_OK;
}

HRESULT CBaseFilter::Run(REFERENCE_TIME tStart) {
    const HRESULT paused = PauseIfStopped();
    if (FAILED(paused))
        return paused;
    std::lock_guard lock(FFilterLock);
    return RunLocked(tStart);
}

HRESULT CBaseFilter::RunLocked(REFERENCE_TIME tStart) {
    FStart.store(tStart);
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* pin = GetPin(i);
        if (pin && pin->IsConnected()) {
            const HRESULT hr = pin->Run(tStart);
            if (FAILED(hr))
                return hr;
        }
    }
    FState.store(State_Running);
    return S_OK;
}

HRESULT CBaseFilter::GetState(DWORD, FILTER_STATE* State) {
    if (!State)
        return E_POINTER;
    *State = FState.load();
    return S_OK;
}

HRESULT CBaseFilter::SetSyncSource(IReferenceClock* pClock) {
    std::lock_guard lock(FInfoLock);
    FClock = pClock;
    return S_OK;
}

HRESULT CBaseFilter::GetSyncSource(IReferenceClock** pClock) {
    if (!pClock)
        return E_POINTER;
    std::lock_guard lock(FInfoLock);
    *pClock = nullptr;
    if (FClock)
        FClock.CopyTo(pClock);
    return S_OK;
}

ComPtr<IReferenceClock> CBaseFilter::Clock() const {
    std::lock_guard lock(FInfoLock);
    return FClock;
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME* streamTime) const {
    if (!streamTime)
        return E_POINTER;
    ComPtr<IReferenceClock> clock = Clock();
    if (!clock)
        return VFW_E_NO_CLOCK;
    REFERENCE_TIME now = 0;
    const HRESULT hr = clock->GetTime(&now);
    if (FAILED(hr))
        return hr;
    *streamTime = now - FStart.load();
    return S_OK;
}

HRESULT CBaseFilter::EnumPins(IEnumPins** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    std::vector<ComPtr<IPin>> pins;
    for (int i = 0; i < GetPinCount(); ++i)
        if (CBasePin* pin = GetPin(i))
            pins.emplace_back(static_cast<IPin*>(pin));
    return ComPtr<IEnumPins>(MakeComObject<CEnumPins>(std::move(pins))).CopyTo(ppEnum);
}

HRESULT CBaseFilter::FindPin(LPCWSTR Id, IPin** ppPin) {
    if (!Id || !ppPin)
        return E_POINTER;
    *ppPin = nullptr;
    const QString wanted = FromWStr(Id);
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* pin = GetPin(i);
        if (pin && pin->Name() == wanted) {
            *ppPin = pin;
            pin->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT CBaseFilter::QueryFilterInfo(FILTER_INFO* pInfo) {
    if (!pInfo)
        return E_POINTER;
    CopyToNameBuffer(Name(), pInfo->achName, MAX_FILTER_NAME);
    pInfo->pGraph = FGraph.load();
    if (pInfo->pGraph)
        pInfo->pGraph->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) {
    std::lock_guard lock(FFilterLock);
    // The sink and the wait service are kept without a reference, like the graph: the graph
    // outlives the membership (it leaves its filters before it is gone), and a streaming thread
    // must never hold the last reference on it.
    IMediaEventSink* sink = nullptr;
    IGraphWaitService* service = nullptr;
    if (pGraph) {
        if (SUCCEEDED(pGraph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink))))
            sink->Release();
        else
            sink = nullptr;
        if (SUCCEEDED(
                pGraph->QueryInterface(IID_IGraphWaitService, reinterpret_cast<void**>(&service))))
            service->Release();
        else
            service = nullptr;
    }
    FGraph.store(pGraph);
    FSink.store(sink);
    FWaitService.store(service);
    std::lock_guard info(FInfoLock);
    FName = pGraph ? FromWStr(pName) : QString();
    return S_OK;
}

HRESULT CBaseFilter::QueryVendorInfo(QString*) {
    return E_NOTIMPL;
}

HRESULT CBaseFilter::NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = FSink.load();
    if (!sink)
        return E_NOTIMPL;
    return sink->Notify(code, param1, param2);
}

QString CBaseFilter::Name() const {
    std::lock_guard lock(FInfoLock);
    return FName;
}

bool CBaseFilter::WaitForThreads(const std::function<bool()>& done, int timeoutMs) const {
    if (IGraphWaitService* service = FWaitService.load())
        return service->WaitUntil(done, timeoutMs);
    return GraphWaitUntil(done, timeoutMs);
}

void CBaseFilter::WakeWaiters() const {
    if (IGraphWaitService* service = FWaitService.load())
        service->WakeWaiters();
    else
        GraphWakeWaiters();
}
