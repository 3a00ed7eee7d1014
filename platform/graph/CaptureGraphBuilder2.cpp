#include "platform/graph/CaptureGraphBuilder2.h"

#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MiscInterfaces.h"

namespace {

bool HasCategory(IPin* pin, const GUID& category) {
    ComPtr<IKsPropertySet> props = QueryInterfaceOf<IKsPropertySet>(pin);
    if (!props)
        return false;
    GUID actual = GUID_NULL;
    DWORD returned = 0;
    if (FAILED(props->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &actual,
                          sizeof actual, &returned)) ||
        returned != sizeof actual)
        return false;
    return actual == category;
}

bool HasMajorType(IPin* pin, const GUID& major) {
    AM_MEDIA_TYPE connected;
    if (SUCCEEDED(pin->ConnectionMediaType(&connected)))
        return connected.majortype == major;
    for (const AM_MEDIA_TYPE& type : MediaTypesOf(pin))
        if (type.majortype == major)
            return true;
    return false;
}

} // namespace

bool PinMatches(IPin* pin, PIN_DIRECTION dir, const GUID* category, const GUID* type,
                bool unconnected) {
    if (!pin || DirectionOf(pin) != dir)
        return false;
    if (unconnected) {
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            return false;
    }
    if (category && !HasCategory(pin, *category))
        return false;
    return !type || HasMajorType(pin, *type);
}

HRESULT CCaptureGraphBuilder2::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_ICaptureGraphBuilder2)
        return GetInterface(static_cast<ICaptureGraphBuilder2*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CCaptureGraphBuilder2::SetFiltergraph(IGraphBuilder* pfg) {
    if (!pfg)
        return E_POINTER;
    if (FGraph)
        return E_UNEXPECTED;
    FGraph = pfg;
    return S_OK;
}

HRESULT CCaptureGraphBuilder2::GetFiltergraph(IGraphBuilder** ppfg) {
    if (!ppfg)
        return E_POINTER;
    *ppfg = nullptr;
    return FGraph ? FGraph.CopyTo(ppfg) : E_UNEXPECTED;
}

HRESULT CCaptureGraphBuilder2::FindPin(IUnknown* pSource, PIN_DIRECTION pindir,
                                       const GUID* pCategory, const GUID* pType, BOOL fUnconnected,
                                       int num, IPin** ppPin) {
    if (!pSource || !ppPin)
        return E_POINTER;
    *ppPin = nullptr;
    if (num < 0)
        return E_INVALIDARG;
    if (ComPtr<IPin> pin = QueryInterfaceOf<IPin>(pSource)) {
        if (num == 0 && PinMatches(pin.Get(), pindir, pCategory, pType, fUnconnected))
            return pin.CopyTo(ppPin);
        return E_FAIL;
    }
    ComPtr<IBaseFilter> filter = QueryInterfaceOf<IBaseFilter>(pSource);
    if (!filter)
        return E_NOINTERFACE;
    int seen = 0;
    for (const ComPtr<IPin>& pin : PinsOf(filter.Get()))
        if (PinMatches(pin.Get(), pindir, pCategory, pType, fUnconnected) && seen++ == num)
            return pin.CopyTo(ppPin);
    return E_FAIL;
}

HRESULT CCaptureGraphBuilder2::ConnectToSink(IPin* out, IBaseFilter* sink) {
    HRESULT result = VFW_E_CANNOT_CONNECT;
    for (const ComPtr<IPin>& in : PinsOf(sink)) {
        if (!PinMatches(in.Get(), PINDIR_INPUT, nullptr, nullptr, true))
            continue;
        const HRESULT hr = FGraph->Connect(out, in.Get());
        if (SUCCEEDED(hr))
            return hr;
        result = hr;
    }
    return result;
}

HRESULT CCaptureGraphBuilder2::RenderStream(const GUID* pCategory, const GUID* pType,
                                            IUnknown* pSource, IBaseFilter* pIntermediate,
                                            IBaseFilter* pSink) {
    if (!pSource)
        return E_POINTER;
    if (!FGraph)
        return E_UNEXPECTED;
    ComPtr<IPin> out = QueryInterfaceOf<IPin>(pSource);
    if (!out) {
        HRESULT hr =
            FindPin(pSource, PINDIR_OUTPUT, pCategory, pType, 1, 0, out.ReleaseAndGetAddressOf());
        if (FAILED(hr))
            return hr;
    } else if (!PinMatches(out.Get(), PINDIR_OUTPUT, pCategory, pType, true)) {
        return E_FAIL;
    }
    if (pIntermediate) {
        HRESULT hr = ConnectToSink(out.Get(), pIntermediate);
        if (FAILED(hr))
            return hr;
        if (!pSink) {
            ComPtr<IPin> next;
            if (FAILED(FindPin(pIntermediate, PINDIR_OUTPUT, nullptr, nullptr, 1, 0,
                               next.ReleaseAndGetAddressOf())))
                return S_OK;
            return FGraph->Render(next.Get());
        }
        ComPtr<IPin> next;
        hr = FindPin(pIntermediate, PINDIR_OUTPUT, nullptr, nullptr, 1, 0,
                     next.ReleaseAndGetAddressOf());
        return FAILED(hr) ? hr : ConnectToSink(next.Get(), pSink);
    }
    const HRESULT hr = pSink ? ConnectToSink(out.Get(), pSink) : FGraph->Render(out.Get());
    GRAPH_TRACE(QStringLiteral("render stream %1: %2").arg(TraceName(out.Get()), HResultName(hr)));
    return hr;
}

HRESULT CCaptureGraphBuilder2::FindInterface(const GUID* pCategory, const GUID* pType,
                                             IBaseFilter* pf, REFIID riid, void** ppint) {
    if (!pf || !ppint)
        return E_POINTER;
    *ppint = nullptr;
    if (SUCCEEDED(pf->QueryInterface(riid, ppint)))
        return S_OK;
    for (const ComPtr<IPin>& pin : PinsOf(pf))
        if (PinMatches(pin.Get(), DirectionOf(pin.Get()), nullptr, pType, false) &&
            SUCCEEDED(pin->QueryInterface(riid, ppint)))
            return S_OK;
    const bool up = !pCategory || *pCategory != LOOK_DOWNSTREAM_ONLY;
    const bool down = !pCategory || *pCategory != LOOK_UPSTREAM_ONLY;
    for (const ComPtr<IPin>& pin : PinsOf(pf)) {
        const PIN_DIRECTION dir = DirectionOf(pin.Get());
        if ((dir == PINDIR_INPUT && !up) || (dir == PINDIR_OUTPUT && !down))
            continue;
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            continue;
        const GUID* onward = dir == PINDIR_INPUT ? &LOOK_UPSTREAM_ONLY : &LOOK_DOWNSTREAM_ONLY;
        if (SUCCEEDED(FindInterface(onward, pType, FilterOf(peer.Get()).Get(), riid, ppint)))
            return S_OK;
    }
    return E_NOINTERFACE;
}
