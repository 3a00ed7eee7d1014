#pragma once
// A moniker for a registered filter: names it without creating it; binding creates it once
// and hands out that same object on later binds (so that a callback that binds the moniker to
// look at the filter and the graph that uses it see one instance).
#include "platform/com/CUnknown.h"
#include "platform/com/ClassRegistry.h"
#include "platform/graph/BuilderInterfaces.h"

#include <mutex>

class CFilterMoniker : public CUnknown, public IMoniker {
public:
    explicit CFilterMoniker(TRegFilter filter);
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT BindToObject(IUnknown* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                         void** ppvResult) override;
    HRESULT GetDisplayName(QString* displayName) override;
    HRESULT GetFriendlyName(QString* name) override;
    HRESULT GetClassID(CLSID* pClassID) override;

    const TRegFilter& Filter() const { return FFilter; }

private:
    IUnknown* UnknownInterface() override { return static_cast<IMoniker*>(this); }

    TRegFilter FFilter;
    std::mutex FLock;
    ComPtr<IUnknown> FObject; // guarded by FLock
};

// Registered filters with merit above MERIT_DO_NOT_USE that take one of `types` on an input pin
// (GUID_NULL fields of a registered type match anything; an empty `types` matches every
// filter), highest merit first. With renderersOnly, only filters that have a rendered input pin.
std::vector<ComPtr<IMoniker>> MatchingFilters(const std::vector<AM_MEDIA_TYPE>& types,
                                              bool renderersOnly = false);
