#pragma once
// Creation functions for the classes of the private modules (see ModuleExports.h).
#include "modules/support/PrivateDecoders.h"
#include "platform/com/ModuleExports.h"

template <typename TDecoder, typename... Args>
HRESULT CreatePrivateDecoder(IUnknown* outer, REFIID riid, void** ppv, Args&&... args) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return MakeComObject<TDecoder>(std::forward<Args>(args)...)->QueryInterface(riid, ppv);
}
