#include "platform/com/ClassRegistry.h"

#include "platform/com/CUnknown.h"

#include <algorithm>

namespace {

class TFunctionClassFactory : public CUnknown, public IClassFactory {
public:
    explicit TFunctionClassFactory(TCreateInstanceFn create) : FCreate(std::move(create)) {}
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IClassFactory)
            return GetInterface(static_cast<IClassFactory*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return FCreate(outer, riid, ppv);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    IUnknown* UnknownInterface() override { return static_cast<IClassFactory*>(this); }
    TCreateInstanceFn FCreate;
};

} // namespace

ComPtr<IClassFactory> MakeClassFactory(TCreateInstanceFn create) {
    return ComPtr<IClassFactory>(MakeComObject<TFunctionClassFactory>(std::move(create)));
}

TClassRegistry& TClassRegistry::Instance() {
    static TClassRegistry registry;
    return registry;
}

void TClassRegistry::RegisterClass(REFCLSID clsid, ComPtr<IClassFactory> factory) {
    std::lock_guard lock(FLock);
    FFactories[clsid] = std::move(factory);
}

void TClassRegistry::RegisterClass(REFCLSID clsid, TCreateInstanceFn create) {
    RegisterClass(clsid, MakeClassFactory(std::move(create)));
}

void TClassRegistry::RegisterFilter(const TRegFilter& filter) {
    std::lock_guard lock(FLock);
    auto same = [&](const TRegFilter& f) { return f.clsid == filter.clsid; };
    auto it = std::find_if(FFilters.begin(), FFilters.end(), same);
    if (it != FFilters.end())
        *it = filter;
    else
        FFilters.push_back(filter);
}

void TClassRegistry::Unregister(REFCLSID clsid) {
    ComPtr<IClassFactory> released; // released outside the lock
    std::lock_guard lock(FLock);
    if (auto it = FFactories.find(clsid); it != FFactories.end()) {
        released = std::move(it->second);
        FFactories.erase(it);
    }
    std::erase_if(FFilters, [&](const TRegFilter& f) { return f.clsid == clsid; });
}

HRESULT TClassRegistry::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    {
        std::lock_guard lock(FLock);
        auto it = FFactories.find(clsid);
        if (it == FFactories.end())
            return REGDB_E_CLASSNOTREG;
        factory = it->second;
    }
    return factory->QueryInterface(riid, ppv);
}

std::optional<TRegFilter> TClassRegistry::FindFilter(REFCLSID clsid) const {
    std::lock_guard lock(FLock);
    for (const TRegFilter& f : FFilters)
        if (f.clsid == clsid)
            return f;
    return std::nullopt;
}

std::vector<TRegFilter> TClassRegistry::Filters() const {
    std::vector<TRegFilter> filters;
    {
        std::lock_guard lock(FLock);
        filters = FFilters;
    }
    std::stable_sort(filters.begin(), filters.end(),
                     [](const TRegFilter& a, const TRegFilter& b) { return a.merit > b.merit; });
    return filters;
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void*, REFIID riid, void** ppv) {
    if (!(dwClsContext & CLSCTX_INPROC)) {
        if (ppv)
            *ppv = nullptr;
        return REGDB_E_CLASSNOTREG;
    }
    return TClassRegistry::Instance().GetClassObject(rclsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                  factory.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(pUnkOuter, riid, ppv);
}
