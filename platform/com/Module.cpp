#include "platform/com/Module.h"

#include "platform/com/ModuleTrust.h"

#include <dlfcn.h>

namespace {
using DllCanUnloadNowFn = HRESULT (*)();
}

TComModule::~TComModule() {
    Unload();
}

bool TComModule::Load(const QString& path) {
    Unload();
    FPath = path;
    FError.clear();
    if (!ModulePathIsTrusted(path, &FError))
        return false;
    const QByteArray native = path.toLocal8Bit();
    FHandle = dlopen(native.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!FHandle) {
        const char* why = dlerror();
        FError = why ? QString::fromLocal8Bit(why) : QStringLiteral("cannot load the module");
        return false;
    }
    FGetClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(FHandle, "DllGetClassObject"));
    if (!FGetClassObject) {
        FError = QStringLiteral("the module exports no DllGetClassObject");
        dlclose(FHandle);
        FHandle = nullptr;
        return false;
    }
    return true;
}

HRESULT TComModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!FGetClassObject)
        return CO_E_DLLNOTFOUND;
    return FGetClassObject(clsid, riid, ppv);
}

void TComModule::Unload() {
    if (!FHandle)
        return;
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(FHandle, "DllCanUnloadNow"));
    // Without the answer, or with objects still alive, the code stays mapped for the rest of the
    // process: unmapping it under a live object would crash later.
    if (canUnload && canUnload() == S_OK)
        dlclose(FHandle);
    FHandle = nullptr;
    FGetClassObject = nullptr;
}
