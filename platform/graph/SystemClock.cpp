#include "platform/graph/SystemClock.h"

#include <chrono>

HRESULT CSystemClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IReferenceClock)
        return GetInterface(static_cast<IReferenceClock*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CSystemClock::GetTime(REFERENCE_TIME* pTime) {
    if (!pTime)
        return E_POINTER;
    using namespace std::chrono;
    *pTime = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() / 100;
    return S_OK;
}
