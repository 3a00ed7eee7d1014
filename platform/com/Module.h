#pragma once
// A loaded class module: a shared library that exports
//     extern "C" HRESULT DllGetClassObject(REFCLSID, REFIID, void**)
// (and optionally extern "C" HRESULT DllCanUnloadNow()), built against the same interface
// headers with the same compiler. The library stays loaded while the TComModule lives; at its
// destruction it is unloaded only when DllCanUnloadNow answers S_OK (objects created from it may
// still be alive otherwise, and their code must stay mapped until the process ends).
#include "platform/com/ClassFactory.h"

#include <QString>

class TComModule {
public:
    TComModule() = default;
    ~TComModule();
    TComModule(const TComModule&) = delete;
    TComModule& operator=(const TComModule&) = delete;

    // Loads the library; false (with ErrorText set) when it cannot be loaded, does not export
    // DllGetClassObject, or its file or a folder on its path is not safe from other users
    // (ModuleTrust.h: nothing of it is run then).
    bool Load(const QString& path);
    bool IsLoaded() const { return FHandle != nullptr; }
    QString Path() const { return FPath; }
    QString ErrorText() const { return FError; }

    // The module's class object; CO_E_DLLNOTFOUND when nothing is loaded.
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const;

private:
    void Unload();

    void* FHandle = nullptr;
    DllGetClassObjectFn FGetClassObject = nullptr;
    QString FPath;
    QString FError;
};
