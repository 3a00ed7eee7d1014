#include "platform/graph/FilterGraph.h"

#include "platform/com/ClassRegistry.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/graph/SourceInterfaces.h"

#include <algorithm>
#include <cassert>

bool IsRendererFilter(IBaseFilter* filter) {
    if (!filter)
        return false;
    if (ComPtr<IAMFilterMiscFlags> flags = QueryInterfaceOf<IAMFilterMiscFlags>(filter))
        if (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_RENDERER)
            return true;
    bool inputs = false;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        if (DirectionOf(pin.Get()) == PINDIR_OUTPUT)
            return false;
        inputs = true;
    }
    return inputs;
}

CFilterGraph::CFilterGraph() : FEvents(TGraphEventQueue::Create()) {}

CFilterGraph::~CFilterGraph() {
    FEvents->Shutdown();
    std::lock_guard lock(FLock);
    StopLocked(false);
    for (const TEntry& entry : FFilters) {
        for (const ComPtr<IPin>& pin : PinsOf(entry.filter.Get())) {
            ComPtr<IPin> peer;
            if (SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
                peer->Disconnect();
            pin->Disconnect();
        }
    }
    for (const TEntry& entry : FFilters) {
        entry.filter->SetSyncSource(nullptr);
        entry.filter->JoinFilterGraph(nullptr, nullptr);
    }
    FFilters.clear();
}

HRESULT CFilterGraph::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IGraphBuilder || riid == IID_IFilterGraph)
        return GetInterface(static_cast<IGraphBuilder*>(this), ppv);
    if (riid == IID_IMediaControl)
        return GetInterface(static_cast<IMediaControl*>(this), ppv);
    if (riid == IID_IMediaSeeking)
        return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    if (riid == IID_IMediaFilter || riid == IID_IPersist)
        return GetInterface(static_cast<IMediaFilter*>(this), ppv);
    if (riid == IID_IMediaEventEx || riid == IID_IMediaEvent)
        return GetInterface(static_cast<IMediaEventEx*>(this), ppv);
    if (riid == IID_IMediaEventSink)
        return GetInterface(static_cast<IMediaEventSink*>(this), ppv);
    if (riid == IID_IObjectWithSite)
        return GetInterface(static_cast<IObjectWithSite*>(this), ppv);
    if (riid == IID_IGraphWaitService)
        return GetInterface(static_cast<IGraphWaitService*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

bool CFilterGraph::ContainsLocked(IBaseFilter* filter) const {
    return std::any_of(FFilters.begin(), FFilters.end(),
                       [&](const TEntry& e) { return e.filter.Get() == filter; });
}

bool CFilterGraph::NameInUseLocked(const QString& name) const {
    return std::any_of(FFilters.begin(), FFilters.end(),
                       [&](const TEntry& e) { return e.name == name; });
}

QString CFilterGraph::UniqueNameLocked(const QString& base) const {
    const QString stem = base.isEmpty() ? QStringLiteral("Filter") : base.left(MAX_FILTER_NAME - 6);
    if (!base.isEmpty() && !NameInUseLocked(stem))
        return stem;
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1 %2").arg(stem).arg(n, 4, 10, QLatin1Char('0'));
        if (!NameInUseLocked(candidate))
            return candidate;
    }
}

std::vector<ComPtr<IBaseFilter>> CFilterGraph::FiltersLocked() const {
    std::vector<ComPtr<IBaseFilter>> filters;
    for (const TEntry& e : FFilters)
        filters.push_back(e.filter);
    return filters;
}

bool CFilterGraph::RefusesReentry(const char* call) {
    if (!InsideGraphWait())
        return false;
    GRAPH_TRACE(QStringLiteral("%1 refused: called by a message handler while the graph waits")
                    .arg(QLatin1String(call)));
    assert(!"a message handler that runs during a graph wait drives the graph");
    return true;
}

HRESULT CFilterGraph::AddFilter(IBaseFilter* pFilter, LPCWSTR pName) {
    if (RefusesReentry("AddFilter"))
        return VFW_E_WRONG_STATE;
    if (!pFilter)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "AddFilter");
    if (!lock)
        return VFW_E_WRONG_STATE;
    if (ContainsLocked(pFilter))
        return E_INVALIDARG;
    QString name = FromWStr(pName).left(MAX_FILTER_NAME - 1);
    if (name.isEmpty())
        name = UniqueNameLocked(QString());
    else if (NameInUseLocked(name)) {
        GRAPH_TRACE(QStringLiteral("add \"%1\": name in use").arg(name));
        return VFW_S_DUPLICATE_NAME;
    }
    return AddFilterLocked(pFilter, name);
}

HRESULT CFilterGraph::AddFilterLocked(IBaseFilter* filter, const QString& name) {
    const HRESULT hr = filter->JoinFilterGraph(static_cast<IGraphBuilder*>(this), WStr(name));
    if (FAILED(hr))
        return hr;
    if (FClockChosen)
        filter->SetSyncSource(FClock.Get());
    FFilters.push_back({ComPtr<IBaseFilter>(filter), name});
    GRAPH_TRACE(QStringLiteral("add \"%1\"").arg(name));
    return S_OK;
}

void CFilterGraph::FlushAndStopForRemoval(IBaseFilter* filter) {
    // Threads may be blocked inside the filter or below it (a paused renderer holds a sample):
    // a flush around the filter releases them, so that its Stop can wait for its threads.
    std::vector<ComPtr<IPin>> inputs, peers;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            continue;
        if (DirectionOf(pin.Get()) == PINDIR_INPUT)
            inputs.push_back(pin);
        else
            peers.push_back(peer);
    }
    for (const ComPtr<IPin>& pin : inputs)
        pin->BeginFlush();
    for (const ComPtr<IPin>& peer : peers)
        peer->BeginFlush();
    filter->Stop();
    for (const ComPtr<IPin>& pin : inputs)
        pin->EndFlush();
    for (const ComPtr<IPin>& peer : peers)
        peer->EndFlush();
}

HRESULT CFilterGraph::RemoveFilter(IBaseFilter* pFilter) {
    if (RefusesReentry("RemoveFilter"))
        return VFW_E_WRONG_STATE;
    if (!pFilter)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "RemoveFilter");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return RemoveFilterLocked(pFilter);
}

HRESULT CFilterGraph::RemoveFilterLocked(IBaseFilter* pFilter) {
    auto it = std::find_if(FFilters.begin(), FFilters.end(),
                           [&](const TEntry& e) { return e.filter.Get() == pFilter; });
    if (it == FFilters.end())
        return VFW_E_NOT_FOUND;
    const ComPtr<IBaseFilter> held = it->filter;
    GRAPH_TRACE(QStringLiteral("remove \"%1\"").arg(it->name));
    if (FState != State_Stopped)
        FlushAndStopForRemoval(pFilter);
    for (const ComPtr<IPin>& pin : PinsOf(pFilter)) {
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            peer->Disconnect();
        pin->Disconnect();
    }
    FFilters.erase(std::find_if(FFilters.begin(), FFilters.end(),
                                [&](const TEntry& e) { return e.filter.Get() == pFilter; }));
    pFilter->SetSyncSource(nullptr);
    pFilter->JoinFilterGraph(nullptr, nullptr);
    return S_OK;
}

HRESULT CFilterGraph::EnumFilters(IEnumFilters** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "EnumFilters");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return ComPtr<IEnumFilters>(MakeComObject<CEnumFilters>(FiltersLocked())).CopyTo(ppEnum);
}

HRESULT CFilterGraph::FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) {
    if (!pName || !ppFilter)
        return E_POINTER;
    *ppFilter = nullptr;
    const QString name = FromWStr(pName);
    const TGraphCallLock lock(FLock, "FindFilterByName");
    if (!lock)
        return VFW_E_WRONG_STATE;
    for (const TEntry& e : FFilters)
        if (e.name == name)
            return e.filter.CopyTo(ppFilter);
    return VFW_E_NOT_FOUND;
}

HRESULT CFilterGraph::ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) {
    if (RefusesReentry("ConnectDirect"))
        return VFW_E_WRONG_STATE;
    if (!ppinOut || !ppinIn)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "ConnectDirect");
    if (!lock)
        return VFW_E_WRONG_STATE;
    if (!ContainsLocked(FilterOf(ppinOut).Get()) || !ContainsLocked(FilterOf(ppinIn).Get()))
        return VFW_E_NOT_IN_GRAPH;
    if (DirectionOf(ppinOut) != PINDIR_OUTPUT || DirectionOf(ppinIn) != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (FState != State_Stopped)
        return VFW_E_NOT_STOPPED;
    const HRESULT hr = ppinOut->Connect(ppinIn, pmt);
    GRAPH_TRACE(QStringLiteral("connect %1 -> %2: %3")
                    .arg(TraceName(ppinOut), TraceName(ppinIn), HResultName(hr)));
    return hr;
}

HRESULT CFilterGraph::Reconnect(IPin* ppin) {
    if (RefusesReentry("Reconnect"))
        return VFW_E_WRONG_STATE;
    if (!ppin)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "Reconnect");
    if (!lock)
        return VFW_E_WRONG_STATE;
    if (FState != State_Stopped)
        return VFW_E_NOT_STOPPED;
    ComPtr<IPin> peer;
    HRESULT hr = ppin->ConnectedTo(peer.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    AM_MEDIA_TYPE type;
    ppin->ConnectionMediaType(&type);
    IPin* out = DirectionOf(ppin) == PINDIR_OUTPUT ? ppin : peer.Get();
    IPin* in = out == ppin ? peer.Get() : ppin;
    out->Disconnect();
    in->Disconnect();
    hr = out->Connect(in, &type);
    if (FAILED(hr))
        hr = out->Connect(in, nullptr);
    return hr;
}

HRESULT CFilterGraph::Disconnect(IPin* ppin) {
    if (RefusesReentry("Disconnect"))
        return VFW_E_WRONG_STATE;
    if (!ppin)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "Disconnect");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return ppin->Disconnect();
}

HRESULT CFilterGraph::AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                                      IBaseFilter** ppFilter) {
    if (!lpcwstrFileName || !ppFilter)
        return E_POINTER;
    *ppFilter = nullptr;
    ComPtr<IBaseFilter> source = CreateInstanceOf<IBaseFilter>(CLSID_AsyncReader);
    ComPtr<IFileSourceFilter> file = source.As<IFileSourceFilter>();
    if (!file)
        return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
    HRESULT hr = file->Load(lpcwstrFileName, nullptr);
    if (FAILED(hr))
        return hr;
    const TGraphCallLock lock(FLock, "AddSourceFilter");
    if (!lock)
        return VFW_E_WRONG_STATE;
    const QString wanted =
        lpcwstrFilterName ? FromWStr(lpcwstrFilterName) : FromWStr(lpcwstrFileName);
    hr = AddFilterLocked(source.Get(), UniqueNameLocked(wanted));
    if (FAILED(hr))
        return hr;
    return source.CopyTo(ppFilter);
}

HRESULT CFilterGraph::RenderFile(LPCWSTR lpcwstrFile, LPCWSTR) {
    if (RefusesReentry("RenderFile"))
        return VFW_E_WRONG_STATE;
    ComPtr<IBaseFilter> source;
    HRESULT hr = AddSourceFilter(lpcwstrFile, nullptr, source.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    const TGraphCallLock lock(FLock, "RenderFile");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return RenderOutputsOf(source.Get(), 0);
}

HRESULT CFilterGraph::Abort() {
    FAbort = true;
    return S_OK;
}

HRESULT CFilterGraph::ShouldOperationContinue() {
    return FAbort ? S_FALSE : S_OK;
}

HRESULT CFilterGraph::SetSite(IUnknown* pUnkSite) {
    const TGraphCallLock lock(FLock, "SetSite");
    if (!lock)
        return VFW_E_WRONG_STATE;
    FSite = pUnkSite;
    return S_OK;
}

HRESULT CFilterGraph::GetSite(REFIID riid, void** ppvSite) {
    if (!ppvSite)
        return E_POINTER;
    *ppvSite = nullptr;
    const TGraphCallLock lock(FLock, "GetSite");
    if (!lock)
        return VFW_E_WRONG_STATE;
    if (!FSite)
        return E_FAIL;
    return FSite->QueryInterface(riid, ppvSite);
}

HRESULT CFilterGraph::GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                               LONG msTimeout) {
    return FEvents->GetEvent(lEventCode, lParam1, lParam2, msTimeout);
}

HRESULT CFilterGraph::WaitForCompletion(LONG msTimeout, LONG* pEvCode) {
    return FEvents->WaitForCompletion(msTimeout, pEvCode);
}

HRESULT CFilterGraph::CancelDefaultHandling(LONG lEvCode) {
    return FEvents->CancelDefaultHandling(lEvCode);
}

HRESULT CFilterGraph::RestoreDefaultHandling(LONG lEvCode) {
    return FEvents->RestoreDefaultHandling(lEvCode);
}

HRESULT CFilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR) {
    return S_OK;
}

HRESULT CFilterGraph::SetNotifyCallback(TGraphEventCallback callback) {
    FEvents->SetCallback(std::move(callback));
    return S_OK;
}

HRESULT CFilterGraph::SetNotifyFlags(LONG) {
    return S_OK;
}

HRESULT CFilterGraph::GetNotifyFlags(LONG* lplNoNotifyFlags) {
    if (!lplNoNotifyFlags)
        return E_POINTER;
    *lplNoNotifyFlags = 0;
    return S_OK;
}

HRESULT CFilterGraph::Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) {
    FEvents->Raise(EventCode, EventParam1, EventParam2);
    return S_OK;
}

bool CFilterGraph::WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    return GraphWaitUntil(done, timeoutMs);
}

void CFilterGraph::WakeWaiters() {
    GraphWakeWaiters();
}
