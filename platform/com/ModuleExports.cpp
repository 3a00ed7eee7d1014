#include "platform/com/ModuleExports.h"

HRESULT ModuleGetClassObject(std::initializer_list<TModuleClass> classes, REFCLSID clsid,
                             REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const TModuleClass& c : classes)
        if (c.clsid == clsid && c.create)
            return MakeClassFactory(c.create)->QueryInterface(riid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}
