#include "platform/com/CUnknown.h"

HRESULT CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown)
        return GetInterface(UnknownInterface(), ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CUnknown::NonDelegatingAddRef() {
    return ++FRef;
}

ULONG CUnknown::NonDelegatingRelease() {
    const ULONG left = --FRef;
    if (left == 0)
        delete this;
    return left;
}
