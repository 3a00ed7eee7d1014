#pragma once
// The class factories of the private decoder packages. A TPrivateFactory loads one module file
// and asks it for the class factory of one class; TPrivateFactories is the process-wide list of
// them, searched from its end so that the newest factory of a class is the one used. Factories
// stay in the list until the process ends (releasing each one's class factory, then its module).
//
// A module that cannot be loaded (missing, not a shared library, no DllGetClassObject, a path
// other users can write to) leaves its factory empty; nothing is raised. Why is kept
// (ErrorText) and, for a path refused as unsafe, told to the user once per file.
//
// Thread contract: GUI thread only.
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Module.h"

#include <memory>

#include <QString>

class TPrivateFactory {
public:
    // Loads the module and asks it for the class's factory.
    TPrivateFactory(REFCLSID clsid, const QString& moduleFile);
    // A factory handed in (tests, built-in classes): no module.
    TPrivateFactory(REFCLSID clsid, ComPtr<IClassFactory> factory);
    ~TPrivateFactory();
    TPrivateFactory(const TPrivateFactory&) = delete;
    TPrivateFactory& operator=(const TPrivateFactory&) = delete;

    const CLSID& Clsid() const { return FClsid; }
    IClassFactory* ClassFactory() const { return FFactory.Get(); }
    bool HasModule() const { return FModule && FModule->IsLoaded(); }
    const QString& ErrorText() const { return FError; }

private:
    CLSID FClsid;
    std::unique_ptr<TComModule> FModule;
    ComPtr<IClassFactory> FFactory;
    QString FError;
};

class TPrivateFactories {
public:
    static TPrivateFactory& Add(REFCLSID clsid, const QString& moduleFile);
    static TPrivateFactory& Add(REFCLSID clsid, ComPtr<IClassFactory> factory);
    // Takes every factory of the class out of the list.
    static void Remove(REFCLSID clsid);
    // The class factory of the newest factory of the class; empty when there is none, or when
    // the newest one has no class factory.
    static ComPtr<IClassFactory> Find(REFCLSID clsid);
    static int Count(REFCLSID clsid);
};
