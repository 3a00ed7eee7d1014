#pragma once
// A reference clock that moves only when the test says so, for deterministic timing tests.
#include "platform/com/CUnknown.h"
#include "platform/graph/FilterInterfaces.h"

#include <atomic>

namespace kelvara::test {

class TManualClock : public CUnknown, public IReferenceClock {
public:
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IReferenceClock)
            return GetInterface(static_cast<IReferenceClock*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    HRESULT GetTime(REFERENCE_TIME* pTime) override {
        if (!pTime)
            return E_POINTER;
        *pTime = FNow.load();
        return S_OK;
    }
    void Set(REFERENCE_TIME now) { FNow.store(now); }
    void Advance(REFERENCE_TIME by) { FNow.fetch_add(by); }
    REFERENCE_TIME Now() const { return FNow.load(); }

private:
    IUnknown* UnknownInterface() override { return static_cast<IReferenceClock*>(this); }
    std::atomic<REFERENCE_TIME> FNow{0};
};

} // namespace kelvara::test
