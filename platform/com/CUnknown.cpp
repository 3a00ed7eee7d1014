#include "platform/com/CUnknown.h"

namespace {
std::atomic<long> gActiveObjects{0};
}

CUnknown::CUnknown() {
    ++gActiveObjects;
}

CUnknown::~CUnknown() {
    --gActiveObjects;
}

long CUnknown::ActiveObjects() {
    return gActiveObjects.load();
}

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
