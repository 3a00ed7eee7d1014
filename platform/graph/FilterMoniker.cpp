#include "platform/graph/FilterMoniker.h"

#include "platform/graph/MediaGuids.h"

CFilterMoniker::CFilterMoniker(TRegFilter filter) : FFilter(std::move(filter)) {}

HRESULT CFilterMoniker::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMoniker)
        return GetInterface(static_cast<IMoniker*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CFilterMoniker::BindToObject(IUnknown* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                                     void** ppvResult) {
    if (!ppvResult)
        return E_POINTER;
    *ppvResult = nullptr;
    if (pbc || pmkToLeft)
        return E_INVALIDARG;
    std::lock_guard lock(FLock);
    if (!FObject) {
        const HRESULT hr = CoCreateInstance(FFilter.clsid, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IUnknown, FObject.ReleaseAndGetVoidAddressOf());
        if (FAILED(hr))
            return hr;
    }
    return FObject->QueryInterface(riidResult, ppvResult);
}

HRESULT CFilterMoniker::GetDisplayName(QString* displayName) {
    if (!displayName)
        return E_POINTER;
    const GUID category =
        FFilter.category == GUID_NULL ? CLSID_LegacyAmFilterCategory : FFilter.category;
    *displayName = QStringLiteral("@device:sw:%1\\%2")
                       .arg(GuidToString(category), GuidToString(FFilter.clsid));
    return S_OK;
}

HRESULT CFilterMoniker::GetFriendlyName(QString* name) {
    if (!name)
        return E_POINTER;
    *name = FFilter.name;
    return S_OK;
}

HRESULT CFilterMoniker::GetClassID(CLSID* pClassID) {
    if (!pClassID)
        return E_POINTER;
    *pClassID = FFilter.clsid;
    return S_OK;
}

namespace {

bool TakesType(const TRegFilterPin& pin, const AM_MEDIA_TYPE& type) {
    for (const REGPINTYPES& t : pin.mediaTypes) {
        const bool major = t.clsMajorType == GUID_NULL || t.clsMajorType == type.majortype;
        const bool minor = t.clsMinorType == GUID_NULL || t.clsMinorType == type.subtype;
        if (major && minor)
            return true;
    }
    return pin.mediaTypes.empty();
}

bool Matches(const TRegFilter& filter, const std::vector<AM_MEDIA_TYPE>& types,
             bool renderersOnly) {
    for (const TRegFilterPin& pin : filter.pins) {
        if (pin.bOutput || (renderersOnly && !pin.bRendered))
            continue;
        if (types.empty())
            return true;
        for (const AM_MEDIA_TYPE& type : types)
            if (TakesType(pin, type))
                return true;
    }
    return false;
}

} // namespace

std::vector<ComPtr<IMoniker>> MatchingFilters(const std::vector<AM_MEDIA_TYPE>& types,
                                              bool renderersOnly) {
    std::vector<ComPtr<IMoniker>> monikers;
    for (const TRegFilter& filter : TClassRegistry::Instance().Filters()) {
        if (filter.merit <= MERIT_DO_NOT_USE || !Matches(filter, types, renderersOnly))
            continue;
        monikers.emplace_back(MakeComObject<CFilterMoniker>(filter));
    }
    return monikers;
}
