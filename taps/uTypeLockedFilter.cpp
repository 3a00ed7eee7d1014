#include "taps/uTypeLockedFilter.h"

namespace {

bool Matches(REFGUID locked, REFGUID offered) {
    return locked == GUID_NULL || locked == offered;
}

} // namespace

TTypeLockedFilter::TTypeLockedFilter(const QString& objectName, REFCLSID clsid, bool modifiesData)
    : CTransInPlaceFilter(objectName, clsid, modifiesData) {}

HRESULT TTypeLockedFilter::CheckInputType(const CMediaType* mtIn) {
    if (!mtIn)
        return E_POINTER;
    const TMediaTypeKey locked = LockedType();
    return Matches(locked.Major, mtIn->majortype) && Matches(locked.Sub, mtIn->subtype) &&
                   Matches(locked.Format, mtIn->formattype)
               ? S_OK
               : E_FAIL;
}

HRESULT TTypeLockedFilter::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
    if (!mtIn || !mtOut)
        return E_POINTER;
    return mtIn->majortype == mtOut->majortype && mtIn->subtype == mtOut->subtype
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TTypeLockedFilter::CompleteConnect(PIN_DIRECTION direction, IPin* pReceivePin) {
    if (pReceivePin) {
        AM_MEDIA_TYPE type;
        if (SUCCEEDED(pReceivePin->ConnectionMediaType(&type)))
            Lock(type);
    }
    return CTransInPlaceFilter::CompleteConnect(direction, pReceivePin);
}

HRESULT TTypeLockedFilter::StartStreaming() {
    const HRESULT hr = CTransInPlaceFilter::StartStreaming();
    if (InputPin()->IsConnected())
        Lock(InputPin()->CurrentMediaType());
    return hr;
}

TMediaTypeKey TTypeLockedFilter::LockedType() const {
    std::lock_guard lock(FLockedLock);
    return FLocked;
}

void TTypeLockedFilter::Lock(const AM_MEDIA_TYPE& type) {
    std::lock_guard lock(FLockedLock);
    FLocked = {type.majortype, type.subtype, type.formattype};
}
