// Intelligent connect and render of the filter graph manager.
#include "platform/graph/Enumerators.h"
#include "platform/graph/FilterGraph.h"
#include "platform/graph/FilterMoniker.h"
#include "platform/graph/GraphTrace.h"

#include <algorithm>

namespace {

// How many filters intelligent connect may chain between two pins.
constexpr int kMaxDepth = 5;

std::vector<ComPtr<IPin>> FreePins(IBaseFilter* filter, PIN_DIRECTION dir) {
    std::vector<ComPtr<IPin>> pins;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        ComPtr<IPin> peer;
        if (DirectionOf(pin.Get()) == dir &&
            FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            pins.push_back(pin);
    }
    return pins;
}

// Refusals that say why a stream cannot be shown whatever filters are tried.
bool IsDecisiveFailure(HRESULT hr) {
    return hr == E_OUTOFMEMORY || hr == KELVARA_E_PICTURE_TOO_LARGE;
}

} // namespace

HRESULT CFilterGraph::TryConnectLocked(IPin* out, IPin* in) {
    const HRESULT hr = out->Connect(in, nullptr);
    if (IsDecisiveFailure(hr) && SUCCEEDED(FDecisiveFailure))
        FDecisiveFailure = hr;
    return hr;
}

HRESULT CFilterGraph::FailureLocked(HRESULT otherwise) const {
    return FAILED(FDecisiveFailure) ? FDecisiveFailure : otherwise;
}

bool CFilterGraph::IsUpstreamOfLocked(IBaseFilter* candidate, IBaseFilter* of, int depth) const {
    if (!candidate || !of || depth > 64)
        return false;
    for (const ComPtr<IPin>& pin : PinsOf(of)) {
        if (DirectionOf(pin.Get()) != PINDIR_INPUT)
            continue;
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            continue;
        ComPtr<IBaseFilter> above = FilterOf(peer.Get());
        if (above.Get() == candidate || IsUpstreamOfLocked(candidate, above.Get(), depth + 1))
            return true;
    }
    return false;
}

void CFilterGraph::UndoConnection(IPin* out) {
    ComPtr<IPin> peer;
    if (SUCCEEDED(out->ConnectedTo(peer.ReleaseAndGetAddressOf())))
        peer->Disconnect();
    out->Disconnect();
}

ComPtr<IBaseFilter> CFilterGraph::CreateRegistered(IMoniker* moniker) {
    QString name;
    moniker->GetFriendlyName(&name);
    ComPtr<IAMGraphBuilderCallback> callback =
        FSite ? FSite.As<IAMGraphBuilderCallback>() : ComPtr<IAMGraphBuilderCallback>();
    if (callback && FAILED(callback->SelectedFilter(moniker))) {
        GRAPH_TRACE(QStringLiteral("registered \"%1\": refused by the site").arg(name));
        return {};
    }
    ComPtr<IBaseFilter> filter;
    if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                     filter.ReleaseAndGetVoidAddressOf()))) {
        GRAPH_TRACE(QStringLiteral("registered \"%1\": cannot be created").arg(name));
        return {};
    }
    if (callback && FAILED(callback->CreatedFilter(filter.Get()))) {
        GRAPH_TRACE(QStringLiteral("registered \"%1\": refused after creation").arg(name));
        return {};
    }
    return filter;
}

HRESULT CFilterGraph::Connect(IPin* ppinOut, IPin* ppinIn) {
    if (RefusesReentry("Connect"))
        return VFW_E_WRONG_STATE;
    if (!ppinOut || !ppinIn)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "Connect");
    if (!lock)
        return VFW_E_WRONG_STATE;
    FAbort = false;
    if (!ContainsLocked(FilterOf(ppinOut).Get()) || !ContainsLocked(FilterOf(ppinIn).Get()))
        return VFW_E_NOT_IN_GRAPH;
    if (DirectionOf(ppinOut) != PINDIR_OUTPUT || DirectionOf(ppinIn) != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (FState != State_Stopped)
        return VFW_E_NOT_STOPPED;
    FDecisiveFailure = S_OK;
    HRESULT hr = ConnectVia(ppinOut, ppinIn, 0);
    if (FAILED(hr))
        hr = FailureLocked(hr);
    GRAPH_TRACE(QStringLiteral("intelligent connect %1 -> %2: %3")
                    .arg(TraceName(ppinOut), TraceName(ppinIn), HResultName(hr)));
    return hr;
}

HRESULT CFilterGraph::ConnectVia(IPin* out, IPin* in, int depth) {
    HRESULT hr = TryConnectLocked(out, in);
    GRAPH_TRACE(QStringLiteral("  direct %1 -> %2: %3")
                    .arg(TraceName(out), TraceName(in), HResultName(hr)));
    if (SUCCEEDED(hr))
        return hr;
    if (depth >= kMaxDepth || FAbort)
        return VFW_E_CANNOT_CONNECT;
    if (SUCCEEDED(ConnectThroughGraphFilters(out, in, depth)))
        return S_OK;
    if (SUCCEEDED(ConnectThroughRegistered(out, in, depth)))
        return S_OK;
    return VFW_E_CANNOT_CONNECT;
}

HRESULT CFilterGraph::ConnectThroughGraphFilters(IPin* out, IPin* in, int depth) {
    const ComPtr<IBaseFilter> outFilter = FilterOf(out);
    const ComPtr<IBaseFilter> inFilter = FilterOf(in);
    for (const ComPtr<IBaseFilter>& f : FiltersLocked()) {
        if (f == outFilter || f == inFilter || IsUpstreamOfLocked(f.Get(), outFilter.Get()) ||
            IsUpstreamOfLocked(inFilter.Get(), f.Get()))
            continue;
        for (const ComPtr<IPin>& pin : FreePins(f.Get(), PINDIR_INPUT)) {
            if (FAILED(TryConnectLocked(out, pin.Get())))
                continue;
            GRAPH_TRACE(QStringLiteral("  through %1 (in the graph)").arg(TraceName(f.Get())));
            for (const ComPtr<IPin>& next : FreePins(f.Get(), PINDIR_OUTPUT))
                if (SUCCEEDED(ConnectVia(next.Get(), in, depth + 1)))
                    return S_OK;
            UndoConnection(out);
        }
    }
    return VFW_E_CANNOT_CONNECT;
}

HRESULT CFilterGraph::ConnectThroughRegistered(IPin* out, IPin* in, int depth) {
    for (const ComPtr<IMoniker>& moniker : MatchingFilters(MediaTypesOf(out))) {
        if (FAbort)
            break;
        ComPtr<IBaseFilter> filter = CreateRegistered(moniker.Get());
        if (!filter)
            continue;
        QString name;
        moniker->GetFriendlyName(&name);
        if (FAILED(AddFilterLocked(filter.Get(), UniqueNameLocked(name))))
            continue;
        GRAPH_TRACE(QStringLiteral("  trying registered \"%1\"").arg(name));
        for (const ComPtr<IPin>& pin : FreePins(filter.Get(), PINDIR_INPUT)) {
            if (FAILED(TryConnectLocked(out, pin.Get())))
                continue;
            for (const ComPtr<IPin>& next : FreePins(filter.Get(), PINDIR_OUTPUT))
                if (SUCCEEDED(ConnectVia(next.Get(), in, depth + 1)))
                    return S_OK;
            UndoConnection(out);
        }
        RemoveFilterLocked(filter.Get());
    }
    return VFW_E_CANNOT_CONNECT;
}

HRESULT CFilterGraph::Render(IPin* ppinOut) {
    if (RefusesReentry("Render"))
        return VFW_E_WRONG_STATE;
    if (!ppinOut)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "Render");
    if (!lock)
        return VFW_E_WRONG_STATE;
    FAbort = false;
    if (!ContainsLocked(FilterOf(ppinOut).Get()))
        return VFW_E_NOT_IN_GRAPH;
    if (DirectionOf(ppinOut) != PINDIR_OUTPUT)
        return VFW_E_INVALID_DIRECTION;
    ComPtr<IPin> peer;
    if (SUCCEEDED(ppinOut->ConnectedTo(peer.ReleaseAndGetAddressOf())))
        return VFW_E_ALREADY_CONNECTED;
    if (FState != State_Stopped)
        return VFW_E_NOT_STOPPED;
    FDecisiveFailure = S_OK;
    HRESULT hr = RenderVia(ppinOut, 0);
    if (FAILED(hr))
        hr = FailureLocked(hr);
    GRAPH_TRACE(QStringLiteral("render %1: %2").arg(TraceName(ppinOut), HResultName(hr)));
    return hr;
}

HRESULT CFilterGraph::RenderVia(IPin* out, int depth) {
    if (depth >= kMaxDepth || FAbort)
        return VFW_E_CANNOT_RENDER;
    HRESULT hr = RenderThroughGraphFilters(out, depth);
    if (SUCCEEDED(hr))
        return hr;
    hr = RenderThroughRegistered(out, depth);
    return SUCCEEDED(hr) ? hr : VFW_E_CANNOT_RENDER;
}

HRESULT CFilterGraph::RenderOutputsOf(IBaseFilter* filter, int depth) {
    const std::vector<ComPtr<IPin>> outputs = FreePins(filter, PINDIR_OUTPUT);
    if (outputs.empty())
        return S_OK; // a renderer, or nothing left to render
    size_t rendered = 0;
    for (const ComPtr<IPin>& pin : outputs)
        if (SUCCEEDED(RenderVia(pin.Get(), depth + 1)))
            ++rendered;
    if (rendered == 0)
        return VFW_E_CANNOT_RENDER;
    return rendered == outputs.size() ? S_OK : VFW_S_PARTIAL_RENDER;
}

HRESULT CFilterGraph::RenderThroughGraphFilters(IPin* out, int depth) {
    const ComPtr<IBaseFilter> outFilter = FilterOf(out);
    for (const ComPtr<IBaseFilter>& f : FiltersLocked()) {
        if (f == outFilter || IsUpstreamOfLocked(f.Get(), outFilter.Get()))
            continue;
        // A filter whose output already leads somewhere is part of another stream.
        const std::vector<ComPtr<IPin>> pins = PinsOf(f.Get());
        const size_t outputs =
            size_t(std::count_if(pins.begin(), pins.end(), [](const ComPtr<IPin>& p) {
                return DirectionOf(p.Get()) == PINDIR_OUTPUT;
            }));
        if (FreePins(f.Get(), PINDIR_OUTPUT).size() != outputs)
            continue;
        for (const ComPtr<IPin>& pin : FreePins(f.Get(), PINDIR_INPUT)) {
            if (FAILED(TryConnectLocked(out, pin.Get())))
                continue;
            GRAPH_TRACE(
                QStringLiteral("  render through %1 (in the graph)").arg(TraceName(f.Get())));
            const HRESULT hr = RenderOutputsOf(f.Get(), depth);
            if (SUCCEEDED(hr))
                return hr;
            UndoConnection(out);
        }
    }
    return VFW_E_CANNOT_RENDER;
}

HRESULT CFilterGraph::RenderThroughRegistered(IPin* out, int depth) {
    for (const ComPtr<IMoniker>& moniker : MatchingFilters(MediaTypesOf(out))) {
        if (FAbort)
            break;
        ComPtr<IBaseFilter> filter = CreateRegistered(moniker.Get());
        if (!filter)
            continue;
        QString name;
        moniker->GetFriendlyName(&name);
        if (FAILED(AddFilterLocked(filter.Get(), UniqueNameLocked(name))))
            continue;
        GRAPH_TRACE(QStringLiteral("  render trying registered \"%1\"").arg(name));
        for (const ComPtr<IPin>& pin : FreePins(filter.Get(), PINDIR_INPUT)) {
            if (FAILED(TryConnectLocked(out, pin.Get())))
                continue;
            const HRESULT hr = RenderOutputsOf(filter.Get(), depth);
            if (SUCCEEDED(hr))
                return hr;
            UndoConnection(out);
        }
        RemoveFilterLocked(filter.Get());
    }
    return VFW_E_CANNOT_RENDER;
}
