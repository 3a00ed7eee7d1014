#include "platform/graph/Enumerators.h"

#include <algorithm>

namespace {

// The shared Next logic of the three enumerators.
template <typename Item, typename Out, typename Copy>
HRESULT NextItems(const std::vector<Item>& items, size_t& position, ULONG count, Out* out,
                  ULONG* fetched, Copy copy) {
    if (!out)
        return E_POINTER;
    if (count != 1 && !fetched)
        return E_POINTER;
    ULONG n = 0;
    while (n < count && position < items.size())
        out[n++] = copy(items[position++]);
    if (fetched)
        *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

HRESULT SkipItems(size_t size, size_t& position, ULONG count) {
    const size_t left = size - std::min(size, position);
    position += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
}

} // namespace

CEnumPins::CEnumPins(std::vector<ComPtr<IPin>> pins, size_t position)
    : FPins(std::move(pins)), FPosition(position) {}

HRESULT CEnumPins::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IEnumPins)
        return GetInterface(static_cast<IEnumPins*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CEnumPins::Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) {
    return NextItems(FPins, FPosition, cPins, ppPins, pcFetched, [](const ComPtr<IPin>& p) {
        p->AddRef();
        return p.Get();
    });
}

HRESULT CEnumPins::Skip(ULONG cPins) {
    return SkipItems(FPins.size(), FPosition, cPins);
}

HRESULT CEnumPins::Reset() {
    FPosition = 0;
    return S_OK;
}

HRESULT CEnumPins::Clone(IEnumPins** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    return ComPtr<IEnumPins>(MakeComObject<CEnumPins>(FPins, FPosition)).CopyTo(ppEnum);
}

CEnumMediaTypes::CEnumMediaTypes(std::vector<AM_MEDIA_TYPE> types, size_t position)
    : FTypes(std::move(types)), FPosition(position) {}

HRESULT CEnumMediaTypes::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IEnumMediaTypes)
        return GetInterface(static_cast<IEnumMediaTypes*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CEnumMediaTypes::Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) {
    return NextItems(FTypes, FPosition, cMediaTypes, ppMediaTypes, pcFetched,
                     [](const AM_MEDIA_TYPE& t) { return CreateMediaType(t); });
}

HRESULT CEnumMediaTypes::Skip(ULONG cMediaTypes) {
    return SkipItems(FTypes.size(), FPosition, cMediaTypes);
}

HRESULT CEnumMediaTypes::Reset() {
    FPosition = 0;
    return S_OK;
}

HRESULT CEnumMediaTypes::Clone(IEnumMediaTypes** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    return ComPtr<IEnumMediaTypes>(MakeComObject<CEnumMediaTypes>(FTypes, FPosition))
        .CopyTo(ppEnum);
}

CEnumFilters::CEnumFilters(std::vector<ComPtr<IBaseFilter>> filters, size_t position)
    : FFilters(std::move(filters)), FPosition(position) {}

HRESULT CEnumFilters::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IEnumFilters)
        return GetInterface(static_cast<IEnumFilters*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CEnumFilters::Next(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) {
    return NextItems(FFilters, FPosition, cFilters, ppFilter, pcFetched,
                     [](const ComPtr<IBaseFilter>& f) {
                         f->AddRef();
                         return f.Get();
                     });
}

HRESULT CEnumFilters::Skip(ULONG cFilters) {
    return SkipItems(FFilters.size(), FPosition, cFilters);
}

HRESULT CEnumFilters::Reset() {
    FPosition = 0;
    return S_OK;
}

HRESULT CEnumFilters::Clone(IEnumFilters** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    return ComPtr<IEnumFilters>(MakeComObject<CEnumFilters>(FFilters, FPosition)).CopyTo(ppEnum);
}

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter) {
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> pinEnum;
    if (!filter || FAILED(filter->EnumPins(pinEnum.ReleaseAndGetAddressOf())) || !pinEnum)
        return pins;
    IPin* pin = nullptr;
    while (pinEnum->Next(1, &pin, nullptr) == S_OK) {
        ComPtr<IPin> held;
        held.Attach(pin);
        pins.push_back(std::move(held));
    }
    return pins;
}

std::vector<AM_MEDIA_TYPE> MediaTypesOf(IPin* pin, size_t limit) {
    std::vector<AM_MEDIA_TYPE> types;
    ComPtr<IEnumMediaTypes> typeEnum;
    if (!pin || FAILED(pin->EnumMediaTypes(typeEnum.ReleaseAndGetAddressOf())) || !typeEnum)
        return types;
    AM_MEDIA_TYPE* type = nullptr;
    while (types.size() < limit && typeEnum->Next(1, &type, nullptr) == S_OK) {
        MediaTypePtr held(type);
        if (held)
            types.push_back(*held);
    }
    return types;
}

std::vector<ComPtr<IBaseFilter>> FiltersOf(IFilterGraph* graph) {
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> e;
    if (!graph || FAILED(graph->EnumFilters(e.ReleaseAndGetAddressOf())) || !e)
        return filters;
    IBaseFilter* f = nullptr;
    while (e->Next(1, &f, nullptr) == S_OK) {
        filters.emplace_back(f);
        f->Release();
    }
    return filters;
}

ComPtr<IBaseFilter> FilterOf(IPin* pin) {
    ComPtr<IBaseFilter> filter;
    PIN_INFO info;
    if (pin && SUCCEEDED(pin->QueryPinInfo(&info)))
        filter.Attach(info.pFilter);
    return filter;
}

PIN_DIRECTION DirectionOf(IPin* pin) {
    PIN_DIRECTION dir = PINDIR_INPUT;
    if (pin)
        pin->QueryDirection(&dir);
    return dir;
}
