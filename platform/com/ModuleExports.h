#pragma once
// For writing a class module (see Module.h): a table of the module's classes and the two
// exported entry points built on it. A module's source writes
//
//     KELVARA_MODULE_CLASSES({CLSID_A, &CreateComInstance<TA>}, {CLSID_B, &CreateB});
//
// once; DllCanUnloadNow answers S_OK when no object (class factories included) is alive: every
// CUnknown counts itself in the process's one count (the platform's shared library holds it), so
// a module stays loaded while any object of the process lives, its own among them.
#include "platform/com/CUnknown.h"
#include "platform/com/ClassRegistry.h"

#include <initializer_list>

struct TModuleClass {
    CLSID clsid;
    HRESULT (*create)(IUnknown* outer, REFIID riid, void** ppv);
};

HRESULT ModuleGetClassObject(std::initializer_list<TModuleClass> classes, REFCLSID clsid,
                             REFIID riid, void** ppv);

#define KELVARA_MODULE_CLASSES(...)                                                                \
    extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(                   \
        REFCLSID clsid, REFIID riid, void** ppv) {                                                 \
        return ModuleGetClassObject({__VA_ARGS__}, clsid, riid, ppv);                              \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {                  \
        return CUnknown::ActiveObjects() == 0 ? S_OK : S_FALSE;                                    \
    }
