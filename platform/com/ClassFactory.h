#pragma once
// Creates objects of one class; what a module's DllGetClassObject hands out.
#include "platform/com/Unknown.h"

struct IClassFactory : IUnknown {
    static constexpr IID iid{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

    // outer must be null (aggregation is not supported: CLASS_E_NOAGGREGATION).
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;
};

inline constexpr const IID& IID_IClassFactory = IClassFactory::iid;

// The signature of a module's exported entry point.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID clsid, REFIID riid, void** ppv);
