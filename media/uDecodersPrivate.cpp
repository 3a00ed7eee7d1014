#include "media/uDecodersPrivate.h"

#include "platform/com/Guid.h"
#include "platform/com/ModuleTrust.h"
#include "platform/ui/DialogService.h"

#include <algorithm>
#include <vector>

#include <QFileInfo>
#include <QSet>

namespace {

std::vector<std::unique_ptr<TPrivateFactory>>& Factories() {
    // Freed at exit in reverse order: each factory is released before its module is unloaded.
    static std::vector<std::unique_ptr<TPrivateFactory>> factories;
    return factories;
}

// A module refused as unsafe is told once per file, not once per class it offers.
void TellRefusal(const QString& file, const QString& why) {
    static QSet<QString> told;
    if (told.contains(file))
        return;
    told.insert(file);
    DialogService().MessageDlg(why, mtWarning, mbOK);
}

} // namespace

TPrivateFactory::TPrivateFactory(REFCLSID clsid, const QString& moduleFile) : FClsid(clsid) {
    QString why;
    if (!QFileInfo::exists(moduleFile)) {
        FError = QStringLiteral("\"%1\" does not exist").arg(moduleFile);
        return;
    }
    if (!ModulePathIsTrusted(moduleFile, &why)) {
        FError = why;
        TellRefusal(moduleFile, why);
        return;
    }
    FModule = std::make_unique<TComModule>();
    if (!FModule->Load(moduleFile)) {
        FError = FModule->ErrorText();
        return;
    }
    const HRESULT hr = FModule->GetClassObject(clsid, IidOf<IClassFactory>(),
                                               FFactory.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) {
        FFactory.Reset();
        FError = QStringLiteral("\"%1\" offers no class %2").arg(moduleFile, GuidToString(clsid));
    }
}

TPrivateFactory::TPrivateFactory(REFCLSID clsid, ComPtr<IClassFactory> factory)
    : FClsid(clsid), FFactory(std::move(factory)) {}

TPrivateFactory::~TPrivateFactory() {
    FFactory.Reset();
    FModule.reset();
}

TPrivateFactory& TPrivateFactories::Add(REFCLSID clsid, const QString& moduleFile) {
    Factories().push_back(std::make_unique<TPrivateFactory>(clsid, moduleFile));
    return *Factories().back();
}

TPrivateFactory& TPrivateFactories::Add(REFCLSID clsid, ComPtr<IClassFactory> factory) {
    Factories().push_back(std::make_unique<TPrivateFactory>(clsid, std::move(factory)));
    return *Factories().back();
}

void TPrivateFactories::Remove(REFCLSID clsid) {
    std::erase_if(Factories(), [&](const auto& f) { return f->Clsid() == clsid; });
}

ComPtr<IClassFactory> TPrivateFactories::Find(REFCLSID clsid) {
    const auto& list = Factories();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if ((*it)->Clsid() == clsid)
            return ComPtr<IClassFactory>((*it)->ClassFactory());
    return {};
}

int TPrivateFactories::Count(REFCLSID clsid) {
    return int(std::count_if(Factories().begin(), Factories().end(),
                             [&](const auto& f) { return f->Clsid() == clsid; }));
}
