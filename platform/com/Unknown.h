#pragma once
// The root of every COM-style interface: interface discovery by IID and reference counting.
// An interface declares its IID as a static member `iid`, so that ComPtr and GetInterface can
// find it; the global IID_<Interface> constants name the same values.
#include "platform/com/ComTypes.h"
#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

struct IUnknown {
    static constexpr IID iid{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

inline constexpr const IID& IID_IUnknown = IUnknown::iid;

// The IID of an interface type.
template <typename T>
constexpr const IID& IidOf() {
    return T::iid;
}

// Hands out `object` as the interface asked for: adds a reference and stores it in *ppv.
inline HRESULT GetInterface(IUnknown* object, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = object;
    object->AddRef();
    return S_OK;
}
